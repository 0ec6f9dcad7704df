// Start-up time of Triplay against a minimal Qt Widgets window of the same size, each measured
// in a fresh process from the moment it is spawned to the window's first complete paint.
// Triplay runs in its output folder with the generated data set, on OpenAL's null output (a
// device that opens and mixes without a sound card), so its twenty sounds are really loaded;
// the probe reports how many were. The programs run in turn in every iteration, and the
// counters give the ratio of each pair, so that a busy machine slows both sides alike.
//
// A second reference, the same window with one line of Japanese text, shows how much of the
// difference is the price that any Japanese window pays for loading its fonts; Triplay with
// no sound device (nothing loaded) shows how much is the sound device and the loading.
//
// Runs offscreen, whatever the display: this measures the program's own work. Start-up on a
// real X server, the program as it ships, is first_paint_bench's.

#include "MixingDevice.h"
#include "StartupProbe.h"
#include "TriplayProgram.h"
#include "Unit2.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

namespace {

using kw27::bench::nowNs;

// Prints the time of the first complete paint of a top-level window (after the paint pass,
// where a zero timer posted from the paint event runs) and the number of sounds the window
// holds, then ends the event loop.
class FirstPaint : public QObject {
public:
    FirstPaint() : QObject(qApp) { qApp->installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!done_ && event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow()) {
            done_ = true;
            auto* form = qobject_cast<triplay::TForm1*>(watched);
            QTimer::singleShot(0, qApp, [form] {
                const long long paintedNs = nowNs();
                // The sounds finish loading after the paint: counted once they are in.
                int loaded = 0;
                if (form) {
                    form->FinishLoading();
                    for (int p = 0; p < kw27::PipeCount; ++p)
                        loaded += form->Wave(p) != nullptr && form->Wave(p)->buffer() != nullptr;
                }
                std::printf("%lld %d\n", paintedNs, loaded);
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return false;
    }

private:
    bool done_ = false;
};

void watchFirstPaint() {
    new FirstPaint(); // owned by the application
}

struct Shown {
    double ms = 0;
    int loaded = 0;
};

// Runs one probe; its first paint from the moment of the spawn.
std::optional<Shown> runProbe(const char* which) {
    const std::optional<kw27::bench::ProbeRun> run = kw27::bench::runProbe(which);
    if (!run)
        return std::nullopt;
    long long ns = 0;
    Shown shown;
    if (std::sscanf(run->output.c_str(), "%lld %d", &ns, &shown.loaded) != 2)
        return std::nullopt;
    shown.ms = double(ns - run->spawnedNs) / 1e6;
    return shown;
}

void BM_TriplayStartup(benchmark::State& state) {
    kw27::bench::Averages averages;
    for (auto _ : state) {
        const auto reference = runProbe("minimal");
        const auto textReference = runProbe("text");
        const auto shown = runProbe("triplay");
        const auto silent = runProbe("silent");
        if (!reference || !textReference || !shown || !silent) {
            state.SkipWithError("a probe did not report (no display?)");
            return;
        }
        if (shown->loaded != kw27::PipeCount || silent->loaded != 0) {
            state.SkipWithError("Triplay did not load its twenty sounds (no data folder?)");
            return;
        }
        state.SetIterationTime(shown->ms / 1000.0);
        averages.add("minimal_ms", reference->ms);
        averages.add("text_window_ms", textReference->ms);
        averages.add("triplay_ms", shown->ms);
        averages.add("no_device_ms", silent->ms);
        averages.add("no_device_ratio", silent->ms / reference->ms);
        averages.add("ratio", shown->ms / reference->ms);
        averages.add("to_text_window", shown->ms / textReference->ms);
    }
    averages.report(state);
}
BENCHMARK(BM_TriplayStartup)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char** argv) {
    return kw27::bench::startupBenchMain(
        argc, argv, [](const std::string& which, int& probeArgc, char** probeArgv) {
            if (which == "triplay" || which == "silent") {
                kw27::bench::enterProgramFolder();
                if (!qEnvironmentVariableIsSet("ALSOFT_DRIVERS"))
                    qputenv("ALSOFT_DRIVERS", "null");
                kw27::ds::OpenAlDeviceFactory missing("no such output device");
                if (which == "silent")
                    kw27::ds::setDeviceFactory(&missing);
                qAddPreRoutine(watchFirstPaint);
                return runTriplay(probeArgc, probeArgv);
            }
            return kw27::bench::probeReferenceWindow(
                probeArgc, probeArgv, QSize(508, 354),
                which == "text" ? QStringLiteral("パイプを3本まとめて鳴らす") : QString(),
                watchFirstPaint);
        });
}
