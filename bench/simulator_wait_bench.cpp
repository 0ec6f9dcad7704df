// Processor time that Chimelab spends while the simulator runs: the simulation page's button is
// pressed with a stand-in simulator that sleeps for the given seconds, and the handler returns
// when it has ended. Counters: processor seconds of the whole process and of the window thread
// during the press, and the whole process's share of one core over the wall time of the press.
//
// The reference case polls the child the way a test-without-waiting loop does (handle messages,
// test again at once), to show what the event loop's wait saves.

#include "BenchMain.h"
#include "KwApplication.h"
#include "MessageBoxes.h"
#include "Unit1.h"
#include "WavPlayer.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <sys/resource.h>

namespace {

double cpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

class Silence : public kw27::SoundPlayer {
public:
    bool play(const QString&, unsigned) override { return true; }
};

class NoBoxes : public kw27::MessageSink {
public:
    void show(QWidget*, const QString&, const QString&, kw27::MessageIcon) override {}
};

// A working folder holding a stand-in simulator that sleeps for the given seconds.
QString prepareFolder(QTemporaryDir& folder, int seconds) {
    const QString path = folder.filePath(QStringLiteral("Triplay"));
    QFile script(path);
    script.open(QIODevice::WriteOnly | QIODevice::Truncate);
    script.write(QStringLiteral("#!/bin/sh\nexec sleep %1\n").arg(seconds).toUtf8());
    script.close();
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QDir::setCurrent(folder.path());
    return path;
}

template <class Press> void measure(benchmark::State& state, Press press) {
    double process = 0, thread = 0, wall = 0;
    for (auto _ : state) {
        const double p0 = cpuSeconds(RUSAGE_SELF), t0 = cpuSeconds(RUSAGE_THREAD);
        const auto w0 = std::chrono::steady_clock::now();
        press();
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - w0).count();
        process += cpuSeconds(RUSAGE_SELF) - p0;
        thread += cpuSeconds(RUSAGE_THREAD) - t0;
    }
    const double n = double(state.iterations());
    state.counters["process_cpu_s"] = process / n;
    state.counters["window_thread_cpu_s"] = thread / n;
    state.counters["core_percent"] = 100.0 * process / wall;
}

void BM_Chimelab_WaitsForSimulator(benchmark::State& state) {
    QTemporaryDir folder;
    prepareFolder(folder, int(state.range(0)));
    Silence silence;
    kw27::setSoundPlayer(&silence);
    NoBoxes boxes;
    kw27::setMessageSink(&boxes);
    chimelab::TForm1 form;
    form.show();
    form.ui->PageControl1->setCurrentWidget(form.ui->TabSheet3);
    QCoreApplication::processEvents();
    measure(state, [&form] { form.simulationPage.BitBtn1->click(); });
    kw27::setMessageSink(nullptr);
    kw27::setSoundPlayer(nullptr);
}

void BM_Reference_PollsTheSimulator(benchmark::State& state) {
    QTemporaryDir folder;
    const QString program = prepareFolder(folder, int(state.range(0)));
    measure(state, [&program] {
        QProcess child;
        child.start(program, {});
        child.waitForStarted(-1);
        while (child.state() != QProcess::NotRunning) {
            QCoreApplication::processEvents();
            child.waitForFinished(0);
        }
    });
}

BENCHMARK(BM_Chimelab_WaitsForSimulator)
    ->Arg(10)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();
BENCHMARK(BM_Reference_PollsTheSimulator)
    ->Arg(2)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    kw27::bench::useHeadlessDefaults();
    KwApplication app(argc, argv);
    return kw27::bench::runBenchmarks(argc, argv);
}
