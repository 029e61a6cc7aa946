#pragma once
// How the programs meet the system's signals and their console: Ctrl+C
// (a signal on POSIX systems, a console event on Windows), the file size
// limit, and whether standard error shows on a terminal.

namespace zorvane {

// A file size limit makes a write past it fail (EFBIG) like a full disk
// instead of killing the process; called once at the start of a program.
void IgnoreFileSizeLimitSignal();

// Counts the Ctrl+C presses while it lives, instead of letting them end the
// process; the handler only adds to a lock-free counter. One at a time.
class InterruptCounter {
public:
    InterruptCounter();
    ~InterruptCounter();
    InterruptCounter(const InterruptCounter&) = delete;
    InterruptCounter& operator=(const InterruptCounter&) = delete;

    int Presses() const;
};

bool StandardErrorIsTerminal();

}  // namespace zorvane
