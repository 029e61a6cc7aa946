#pragma once
// An advisory lock on a file that a process holds while it runs: the system
// lets it go when the process ends, however it ends (a kill, a crash, a
// power cut), and a process that has ended cannot hold it even while its
// id lingers. Another process, or another lock object of this one, asking
// for the same file finds it held. Exclusive locks only; the file's
// contents are never touched. flock on POSIX, LockFileEx on Windows.

#include <cstdint>
#include <string>

namespace zorvane {

class InstanceLock {
public:
    // Creates the file when missing and takes its lock; throws Error when
    // the file cannot be opened or someone else holds the lock.
    explicit InstanceLock(const std::string& path);
    ~InstanceLock();
    InstanceLock(InstanceLock&& other) noexcept;
    InstanceLock& operator=(InstanceLock&&) = delete;
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::intptr_t handle_;  // a file descriptor, or a Windows HANDLE
};

// Whether someone holds the lock on `path` now; false when there is no
// such file (or it cannot be opened).
bool InstanceLockHeld(const std::string& path);

}  // namespace zorvane
