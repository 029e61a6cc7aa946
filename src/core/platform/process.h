#pragma once
// This process and others, by their system process id: the safe save names
// its temporary files with it and removes those of processes that are gone.

namespace zorvane {

long CurrentProcessId();
// Whether a process of that id runs now (also one of another user).
bool ProcessIsRunning(long pid);

}  // namespace zorvane
