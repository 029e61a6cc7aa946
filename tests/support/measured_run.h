#pragma once
// Runs a program as a child process, without a shell, and measures what the
// whole process cost: its wall time, its CPU time and its peak resident
// memory (from the kernel's own account of the child, wait4).

#include <chrono>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zorvane::testing {

struct MeasuredRun {
    int status = -1;         // the exit status, -1 when it did not exit
    double seconds = 0;      // wall time from start to exit
    long peakKiB = 0;        // the most resident memory it held
    double cpuSeconds = 0;   // user and system CPU time
};

// Runs `argv` (the program first) in `dir` with standard output into
// `outputFile` and standard error discarded.
inline MeasuredRun RunMeasured(const std::vector<std::string>& argv, const std::string& dir,
                               const std::string& outputFile = "/dev/null") {
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int null = ::open("/dev/null", O_WRONLY);
        if (out < 0 || null < 0 || ::dup2(out, 1) < 0 || ::dup2(null, 2) < 0 || ::chdir(dir.c_str()) != 0) ::_exit(127);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    MeasuredRun run;
    if (pid < 0) return run;
    int status = 0;
    rusage usage{};
    if (::wait4(pid, &status, 0, &usage) != pid) return run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peakKiB = usage.ru_maxrss;
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    run.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    return run;
}

}  // namespace zorvane::testing
