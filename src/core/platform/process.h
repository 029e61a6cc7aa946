#pragma once
// This process and others, by their system process id: the safe save names
// its temporary files with it and removes those of processes that are gone;
// the program's arguments as the system hands them over.

#include <string>
#include <vector>

namespace zorvane {

long CurrentProcessId();
// Whether a process of that id runs now (also one of another user).
bool ProcessIsRunning(long pid);

// The program's arguments as UTF-8, the program's name first. On Windows
// they come from the wide-character command line, so that a name beyond
// the ANSI code page arrives whole; elsewhere they are `argv` as it is.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

}  // namespace zorvane
