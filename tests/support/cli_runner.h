#pragma once
// Runs the zorvane program (ZORVANE_CLI_PATH) in a folder and collects its
// exit status, standard output and standard error.

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include <sys/wait.h>

#include "builders.h"

namespace zorvane::testing {

struct CliOutcome {
    int status = -1;
    std::string out;
    std::string err;
};

// What the program may use; zero is no limit.
struct RunLimits {
    long fileSizeBlocks = 0;  // largest file it may write, in blocks of 512 bytes
};

// Runs `program` (a shell word, quoted as needed) with `args` in `dir`.
inline CliOutcome RunProgram(const std::string& program, const std::string& args, const TempDir& dir,
                             RunLimits limits = {}) {
    const std::string errFile = dir.file("stderr.txt");
    const std::string limit = limits.fileSizeBlocks > 0 ? "ulimit -f " + std::to_string(limits.fileSizeBlocks) + " && " : "";
    const std::string cmd = "cd '" + dir.path().string() + "' && " + limit + program + " " + args +
                            " 2>'" + errFile + "'";
    CliOutcome r;
    FILE* pipe = ::popen(cmd.c_str(), "r");
    if (!pipe) return r;
    std::array<char, 4096> buf;
    std::size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0) r.out.append(buf.data(), n);
    const int st = ::pclose(pipe);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    std::ifstream e(errFile);
    std::stringstream ss;
    ss << e.rdbuf();
    r.err = ss.str();
    return r;
}

inline CliOutcome RunZorvane(const std::string& args, const TempDir& dir, RunLimits limits = {}) {
    return RunProgram("'" ZORVANE_CLI_PATH "'", args, dir, limits);
}

}  // namespace zorvane::testing
