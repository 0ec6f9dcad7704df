// Start-up time of Chimelab against a minimal Qt Widgets window, each measured in a fresh
// process from the moment it is spawned: to the splash fully painted (the moment the first
// start-up note is asked for) and to the main window's first paint. The start-up scale is
// asked of a silent player, so its playing time is not part of the figures. The two programs
// run in turn in every iteration, and the counters give the ratios of each pair, so that a
// busy machine slows both sides alike.
//
// A second reference, a window with one line of Japanese text, shows how much of the difference
// is the price that any Japanese window pays for loading its fonts.
//
// Runs offscreen, whatever the display: this measures the programs' own work. Start-up on a
// real X server, the programs as they ship, is first_paint_bench's.

#include "Program.h"
#include "StartupProbe.h"
#include "Unit1.h"
#include "WavPlayer.h"

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

// Prints the time of the first complete paint of a window of the given class, then ends the
// event loop. "Complete" is after the paint pass: the moment the event loop gets back to its
// queue, where a zero timer posted from the top-level paint event runs.
class FirstPaint : public QObject {
public:
    FirstPaint(const char* className, const char* label)
        : QObject(qApp), className_(className), label_(label) {
        qApp->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!done_ && event->type() == QEvent::Paint && watched->inherits(className_) &&
            static_cast<QWidget*>(watched)->isWindow()) {
            done_ = true;
            QTimer::singleShot(0, qApp, [this] {
                std::printf("%s %lld\n", label_, static_cast<long long>(nowNs()));
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return false;
    }

private:
    const char* className_;
    const char* label_;
    bool done_ = false;
};

// The start-up scale in silence; the first request marks the splash as fully painted.
class SilentPlayer : public kw27::SoundPlayer {
public:
    bool play(const QString&, unsigned) override {
        if (!first_) {
            first_ = true;
            std::printf("splash %lld\n", static_cast<long long>(nowNs()));
        }
        return true;
    }

private:
    bool first_ = false;
};

void watchChimelab() {
    new FirstPaint("chimelab::TForm1", "main"); // owned by the application
}

int probeChimelab(int argc, char** argv) {
    SilentPlayer silent;
    kw27::setSoundPlayer(&silent);
    qAddPreRoutine(watchChimelab);
    return runChimelab(argc, argv);
}

void watchReference() {
    new FirstPaint("QWidget", "main"); // owned by the application
}

struct Times {
    double splashMs = 0;
    double mainMs = 0;
};

// Runs one probe; the milestones from the moment of the spawn.
std::optional<Times> runProbe(const char* which) {
    const std::optional<kw27::bench::ProbeRun> run = kw27::bench::runProbe(which);
    if (!run)
        return std::nullopt;
    const std::string& output = run->output;
    const std::int64_t spawnedNs = run->spawnedNs;

    Times times;
    bool sawMain = false;
    char label[16];
    long long ns = 0;
    for (const char* line = output.c_str(); *line;) {
        if (std::sscanf(line, "%15s %lld", label, &ns) == 2) {
            const double ms = double(ns - spawnedNs) / 1e6;
            if (std::strcmp(label, "splash") == 0)
                times.splashMs = ms;
            if (std::strcmp(label, "main") == 0) {
                times.mainMs = ms;
                sawMain = true;
            }
        }
        const char* next = std::strchr(line, '\n');
        line = next ? next + 1 : line + std::strlen(line);
    }
    if (!sawMain)
        return std::nullopt;
    return times;
}

void BM_ChimelabStartup(benchmark::State& state) {
    kw27::bench::Averages averages;
    for (auto _ : state) {
        const auto reference = runProbe("minimal");
        const auto textReference = runProbe("text");
        const auto chimelab = runProbe("chimelab");
        if (!reference || !textReference || !chimelab || chimelab->splashMs <= 0) {
            state.SkipWithError("a probe did not report (no display, or no data folder?)");
            return;
        }
        state.SetIterationTime(chimelab->mainMs / 1000.0);
        averages.add("minimal_ms", reference->mainMs);
        averages.add("text_window_ms", textReference->mainMs);
        averages.add("main_to_text_window", chimelab->mainMs / textReference->mainMs);
        averages.add("splash_ms", chimelab->splashMs);
        averages.add("main_ms", chimelab->mainMs);
        averages.add("splash_ratio", chimelab->splashMs / reference->mainMs);
        averages.add("main_ratio", chimelab->mainMs / reference->mainMs);
    }
    averages.report(state);
}
BENCHMARK(BM_ChimelabStartup)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char** argv) {
    return kw27::bench::startupBenchMain(
        argc, argv, [](const std::string& which, int& probeArgc, char** probeArgv) {
            if (which == "chimelab") {
                kw27::bench::enterProgramFolder();
                return probeChimelab(probeArgc, probeArgv);
            }
            return kw27::bench::probeReferenceWindow(
                probeArgc, probeArgv, QSize(601, 398),
                which == "text" ? QStringLiteral("パイプチャイム制作･設計ソフト") : QString(),
                watchReference);
        });
}
