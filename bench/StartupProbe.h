#pragma once

// The start-up benchmarks run each case in a fresh process: this program again, started with
// "--probe=<case>", prints its milestones as monotonic-clock nanoseconds on its output.

#include <chrono>
#include <cstdint>
#include <filesystem>
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

} // namespace kw27::bench
