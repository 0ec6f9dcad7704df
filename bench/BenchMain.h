#pragma once

// What the benchmark programs' main functions share: no display, no sound card, and the
// benchmarks named on the command line.

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QtGlobal>

namespace kw27::bench {

// The offscreen platform and OpenAL Soft's null driver, unless the environment names others.
inline void useHeadlessDefaults() {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("ALSOFT_DRIVERS"))
        qputenv("ALSOFT_DRIVERS", "null");
}

// Runs the benchmarks the command line selects; an option it does not know fails the run.
inline int runBenchmarks(int& argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace kw27::bench
