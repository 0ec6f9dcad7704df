#pragma once

// The start-up benchmarks run each case in a fresh process: this program again, started with
// "--probe=<case>", prints its milestones as monotonic-clock nanoseconds on its output.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLabel>
#include <QSize>
#include <QString>
#include <QWidget>
#include <QtGlobal>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kw27::bench {

// CLOCK_MONOTONIC: the same clock in every process.
inline std::int64_t nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

inline std::filesystem::path selfPath() {
    return std::filesystem::read_symlink("/proc/self/exe");
}

struct ProbeRun {
    std::int64_t spawnedNs = 0; // just before the probe was spawned
    std::string output;
};

// Spawns the probe and collects its output; nothing when it could not start or did not end
// cleanly.
inline std::optional<ProbeRun> runProbe(const char* which) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeFds[1]);

    const std::string self = selfPath().string();
    std::string mode = std::string("--probe=") + which;
    char* args[] = {const_cast<char*>(self.c_str()), mode.data(), nullptr};
    pid_t pid = 0;
    ProbeRun run;
    run.spawnedNs = nowNs();
    const int spawned = posix_spawn(&pid, self.c_str(), &actions, nullptr, args, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned != 0) {
        close(pipeFds[0]);
        return std::nullopt;
    }
    char buffer[256];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        run.output.append(buffer, std::size_t(n));
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return run;
}

// The programs expect their own folder, with the data set, as the working directory.
inline void enterProgramFolder() {
    std::filesystem::current_path(selfPath().parent_path() / ".." / ".." / "KW-27");
}

// A program's reference: a bare Qt Widgets window of its size or, with text, one holding a line
// of Japanese text, which pays the price any Japanese window pays for loading its fonts. watch
// runs before the window shows.
inline int probeReferenceWindow(int argc, char** argv, QSize size, const QString& text,
                                void (*watch)()) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(size);
    if (!text.isEmpty())
        new QLabel(text, &window);
    watch();
    window.show();
    return app.exec();
}

// Figures summed over the iterations, reported as their averages.
class Averages {
public:
    void add(const std::string& name, double value) { sums_[name] += value; }
    void report(benchmark::State& state) const {
        for (const auto& [name, sum] : sums_)
            state.counters[name] = benchmark::Counter(sum, benchmark::Counter::kAvgIterations);
    }

private:
    std::map<std::string, double> sums_;
};

// A start-up bench's main. Started as "--probe=<case>", it runs probe(case, argc, argv) with
// the program's name alone for arguments; otherwise the benchmarks. Offscreen either way: the
// benches measure the programs' own work.
template <class Probe> int startupBenchMain(int argc, char** argv, Probe probe) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 1 && std::strncmp(argv[1], "--probe=", 8) == 0) {
        int probeArgc = 1; // outlives the probe's application, which keeps a reference to it
        return probe(std::string(argv[1] + 8), probeArgc, argv);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace kw27::bench
