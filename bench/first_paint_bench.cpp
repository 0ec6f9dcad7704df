// Start-up as a pupil meets it: from the moment a program is started to the first paint of its
// first window, on a real X server, for the shipped programs themselves (Chimelab's
// first window is its splash, Triplay's its only window) against a Qt Widgets program that
// shows one empty 601 x 398 window. The floors beside them: that window with one Japanese
// label, and with Triplay's sound device opened and its twenty sounds loaded as well.
//
// Each program is started with a small library preloaded (first_paint_report.cpp) that reports
// the first paint and ends the process there: when the paint event reached the window, and
// when the painted window was handed to the X server. The second is the figure; the first
// shows how much of the paint itself (fonts loaded only when drawn, pictures) comes after. The
// cases run in turn in every round, in an order that rotates from round to round, so that a busy
// machine slows all of them alike; the figures are medians with their spread, the ratios those of
// the medians.
//
// Run it on an X server that does not reset between clients, and with a session bus, as on a
// desktop (without one, every Qt program forks to try to start one):
//   dbus-run-session -- xvfb-run -a -s -noreset nice build/bench/bin/first_paint_bench
// with, optionally, the number of rounds (15 if not given) and a folder. The folder (the output
// folder of another build, e.g. of an earlier commit, with its programs and data) adds its two
// programs to every round, for a comparison made under the same load. (The bench keeps a connection
// of its own open for the whole run, so the server cannot reset between two programs even without
// -noreset.) Triplay plays through OpenAL's null output unless ALSOFT_DRIVERS says otherwise.

#include <QFileInfo>
#include <QGuiApplication>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

std::int64_t nowNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

struct Case {
    const char* name;
    fs::path program;
    std::vector<std::string> args;
    const char* firstWindow; // the class whose paint is expected first
    fs::path folder;         // the working folder, with the data set
};

struct Sample {
    double eventMs = 0; // the first paint event
    double wallMs = 0;  // the painted window handed to the server
    double cpuMs = 0;   // the program's own processor time, user and system
};

constexpr int reportFd = 3;

// Starts the program in the data folder with the report preloaded; its first paint from the
// moment just before the start.
std::optional<Sample> runOnce(const Case& c, const fs::path& report) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, c.folder.c_str());
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], reportFd);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);

    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "LD_PRELOAD=", 11) != 0 &&
            std::strncmp(*e, "KW27_FIRST_PAINT", 16) != 0)
            env.emplace_back(*e);
    env.push_back("LD_PRELOAD=" + report.string());
    env.push_back("KW27_FIRST_PAINT_FD=" + std::to_string(reportFd));
    if (!std::getenv("ALSOFT_DRIVERS"))
        env.emplace_back("ALSOFT_DRIVERS=null");
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    std::string program = c.program.string();
    std::vector<std::string> args{program};
    args.insert(args.end(), c.args.begin(), c.args.end());
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    pid_t pid = 0;
    const std::int64_t startedNs = nowNs();
    const int spawned =
        posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned != 0) {
        close(pipeFds[0]);
        return std::nullopt;
    }
    std::string output;
    char buffer[256];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, std::size_t(n));
    close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    long long eventNs = 0, paintedNs = 0;
    char window[128] = {};
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
        std::sscanf(output.c_str(), "%lld %lld %127s", &eventNs, &paintedNs, window) != 3) {
        std::fprintf(stderr, "%s: no first paint reported\n", c.name);
        return std::nullopt;
    }
    if (std::strcmp(window, c.firstWindow) != 0) {
        std::fprintf(stderr, "%s: the first window painted was a %s, not a %s\n", c.name, window,
                     c.firstWindow);
        return std::nullopt;
    }
    const auto ms = [](const timeval& t) {
        return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3;
    };
    return Sample{double(eventNs - startedNs) / 1e6, double(paintedNs - startedNs) / 1e6,
                  ms(usage.ru_utime) + ms(usage.ru_stime)};
}

double quantile(std::vector<double> values, double q) {
    std::sort(values.begin(), values.end());
    const double at = q * double(values.size() - 1);
    const auto below = std::size_t(at);
    const std::size_t above = std::min(below + 1, values.size() - 1);
    return values[below] + (values[above] - values[below]) * (at - double(below));
}

std::string loadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    // Held for the whole run: the server never loses its last client between two programs.
    QGuiApplication display(argc, argv);
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        std::fprintf(
            stderr,
            "first_paint_bench needs an X server: dbus-run-session -- xvfb-run -a -s -noreset %s\n",
            argv[0]);
        return 2;
    }

    const fs::path bin = fs::read_symlink("/proc/self/exe").parent_path();
    const fs::path folder = bin / ".." / ".." / "KW-27";
    const fs::path report = bin / "libkw27_first_paint.so";
    const fs::path bare = bin / "bare_window";
    std::vector<Case> cases{
        {"bare window", bare, {}, "QWidget", folder},
        {"Chimelab (splash)", folder / "Chimelab", {}, "TForm2", folder},
        {"Triplay", folder / "Triplay", {}, "triplay::TForm1", folder},
        {"floor: + Japanese label", bare, {"--japanese"}, "QWidget", folder},
        {"floor: + label + sounds",
         bin / "bare_window_sound",
         {"--japanese", "--sound"},
         "QWidget",
         folder},
    };
    if (argc > 2) {
        const fs::path other = fs::absolute(argv[2]);
        cases.push_back({"Chimelab, other build", other / "Chimelab", {}, "TForm2", other});
        cases.push_back({"Triplay, other build", other / "Triplay", {}, "triplay::TForm1", other});
    }
    for (const Case& c : cases)
        if (!fs::exists(c.program) || !fs::exists(report)) {
            std::fprintf(stderr, "missing %s: build the programs and the bench first\n",
                         c.program.c_str());
            return 2;
        }

    const std::string loadBefore = loadAverage();
    // One round unmeasured, so that every file is in the cache.
    for (const Case& c : cases)
        if (!runOnce(c, report))
            return 1;
    std::vector<std::vector<Sample>> samples(cases.size());
    for (int round = 0; round < rounds; ++round)
        for (std::size_t i = 0; i < cases.size(); ++i) {
            const std::size_t which = (i + std::size_t(round)) % cases.size();
            const std::optional<Sample> sample = runOnce(cases[which], report);
            if (!sample)
                return 1;
            samples[which].push_back(*sample);
        }

    std::printf("first window painted, %d interleaved rounds, ms from the start: median "
                "[quartiles] range; median of the paint event; median processor time\n",
                rounds);
    std::vector<double> medians;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        std::vector<double> event, wall, cpu;
        for (const Sample& s : samples[i]) {
            event.push_back(s.eventMs);
            wall.push_back(s.wallMs);
            cpu.push_back(s.cpuMs);
        }
        medians.push_back(quantile(wall, 0.5));
        std::printf("  %-26s %6.1f [%5.1f %5.1f] %5.1f .. %5.1f   event %5.1f   cpu %5.1f\n",
                    cases[i].name, medians.back(), quantile(wall, 0.25), quantile(wall, 0.75),
                    *std::min_element(wall.begin(), wall.end()),
                    *std::max_element(wall.begin(), wall.end()), quantile(event, 0.5),
                    quantile(cpu, 0.5));
    }
    std::printf("  Chimelab / bare window    %5.2f x\n", medians[1] / medians[0]);
    std::printf("  Triplay / bare window     %5.2f x\n", medians[2] / medians[0]);
    std::printf("  floors / bare window      %5.2f x, %5.2f x\n", medians[3] / medians[0],
                medians[4] / medians[0]);
    if (medians.size() > 6)
        std::printf("  other build's / bare      %5.2f x, %5.2f x\n", medians[5] / medians[0],
                    medians[6] / medians[0]);
    std::printf("load average before: %s, after: %s\n", loadBefore.c_str(), loadAverage().c_str());
    return 0;
}
