// Start-up benchmark: runs the utility's start, the floor (a bare Qt Widgets
// window) and a bare window with one line of text in turn, each as a fresh
// process, and reports for each the median time from process start to its
// window shown and idle, and the median peak resident memory. Needs a display: run it under xvfb-run, or with
// QT_QPA_PLATFORM=offscreen.
//
//   startup_bench [runs]
//
// Process handling is POSIX (posix_spawn, a pipe, wait4): this file is the one
// place of the project that depends on it.

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Run {
    double millis = 0;  // process start to "ready"
    double peakMiB = 0; // the child's peak resident set
    bool ok = false;
};

Run runOnce(const char* program) {
    Run run;
    int out[2];
    if (pipe(out) != 0) return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    char* argv[] = {const_cast<char*>(program), nullptr};

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        std::fprintf(stderr, "cannot start %s: %s\n", program, std::strerror(spawned));
        return run;
    }
    std::string line;
    char c = 0;
    while (read(out[0], &c, 1) == 1 && c != '\n') line += c;
    const auto ready = std::chrono::steady_clock::now();
    close(out[0]);

    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.millis = std::chrono::duration<double, std::milli>(ready - start).count();
    run.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
    run.ok = line == "ready" && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!run.ok) std::fprintf(stderr, "%s did not report its window (status %d)\n", program, status);
    return run;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    constexpr int kPrograms = 3;
    const char* programs[kPrograms] = {STARTUP_FLOOR, STARTUP_TEXT, STARTUP_UTILITY};
    const char* names[kPrograms] = {"floor (empty Qt window)", "window with one label", "utility (main window)"};

    // One unmeasured start of each fills the file cache.
    for (const char* program : programs)
        if (!runOnce(program).ok) return 1;

    std::vector<double> millis[kPrograms], peak[kPrograms];
    for (int i = 0; i < runs; ++i) {
        // Rotate which goes first, so that drift falls on all alike.
        for (int k = 0; k < kPrograms; ++k) {
            const int which = (i + k) % kPrograms;
            const Run run = runOnce(programs[which]);
            if (!run.ok) return 1;
            millis[which].push_back(run.millis);
            peak[which].push_back(run.peakMiB);
        }
    }

    double t[kPrograms], m[kPrograms];
    for (int k = 0; k < kPrograms; ++k) {
        t[k] = median(millis[k]);
        m[k] = median(peak[k]);
    }
    std::printf("%d runs each, in turn; medians\n", runs);
    std::printf("%-26s %12s %14s\n", "", "to shown, ms", "peak RSS, MiB");
    for (int k = 0; k < kPrograms; ++k) std::printf("%-26s %12.1f %14.1f\n", names[k], t[k], m[k]);
    const double timeRatio = t[2] / t[0];
    const double memoryRatio = m[2] / m[0];
    std::printf("%-26s %12.2fx %13.2fx\n", "utility / floor", timeRatio, memoryRatio);
    std::printf("%-26s %12.2fx %13.2fx\n", "utility / one label", t[2] / t[1], m[2] / m[1]);
    const bool met = timeRatio <= 1.2 && memoryRatio <= 1.2;
    std::printf("target at most 1.2x the floor in both: %s\n", met ? "met" : "NOT met");
    return 0;
}
