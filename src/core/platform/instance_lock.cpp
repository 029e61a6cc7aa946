#include "platform/instance_lock.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/error.h"
#include "platform/file_names.h"

#ifdef _WIN32
#include "platform/windows_api.h"
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace zorvane {

namespace {

constexpr std::intptr_t NoHandle = -1;

#ifdef _WIN32

std::intptr_t OpenLockFile(const std::string& path, DWORD disposition) {
    const HANDLE file = ::CreateFileW(PathFromUtf8(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, disposition,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    return file == INVALID_HANDLE_VALUE ? NoHandle : reinterpret_cast<std::intptr_t>(file);
}
std::intptr_t CreateLockFile(const std::string& path) { return OpenLockFile(path, OPEN_ALWAYS); }
std::intptr_t OpenExistingLockFile(const std::string& path) { return OpenLockFile(path, OPEN_EXISTING); }
std::string LastFailure() { return "system error " + std::to_string(::GetLastError()); }

// The first byte of the file, exclusively; false when another handle holds it.
bool TryLock(std::intptr_t handle) {
    OVERLAPPED at{};
    return ::LockFileEx(reinterpret_cast<HANDLE>(handle), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1,
                        0, &at) != 0;
}
void Close(std::intptr_t handle) { ::CloseHandle(reinterpret_cast<HANDLE>(handle)); }  // the lock goes with it

#else

std::intptr_t CreateLockFile(const std::string& path) { return ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644); }
std::intptr_t OpenExistingLockFile(const std::string& path) { return ::open(path.c_str(), O_RDONLY | O_CLOEXEC); }
std::string LastFailure() { return std::strerror(errno); }
// flock, not fcntl: its lock belongs to the open file, so that a second
// open of the same file in this process conflicts too, and closing another
// descriptor of the file does not drop it.
bool TryLock(std::intptr_t handle) {
    int result;
    do result = ::flock(static_cast<int>(handle), LOCK_EX | LOCK_NB);
    while (result != 0 && errno == EINTR);
    return result == 0;
}
void Close(std::intptr_t handle) { ::close(static_cast<int>(handle)); }

#endif

}  // namespace

InstanceLock::InstanceLock(const std::string& path) : path_(path), handle_(CreateLockFile(path)) {
    if (handle_ == NoHandle) throw Error("Could not open the lock file " + path + ": " + LastFailure());
    if (!TryLock(handle_)) {
        Close(handle_);
        throw Error("The lock file " + path + " is held by another process.");
    }
}

InstanceLock::InstanceLock(InstanceLock&& other) noexcept
    : path_(std::move(other.path_)), handle_(std::exchange(other.handle_, NoHandle)) {}

InstanceLock::~InstanceLock() {
    if (handle_ != NoHandle) Close(handle_);
}

bool InstanceLockHeld(const std::string& path) {
    const std::intptr_t handle = OpenExistingLockFile(path);
    if (handle == NoHandle) return false;
    const bool held = !TryLock(handle);
    Close(handle);  // a lock taken here goes with the handle
    return held;
}

}  // namespace zorvane
