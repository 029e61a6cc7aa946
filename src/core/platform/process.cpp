#include "platform/process.h"

#ifdef _WIN32
#include "platform/windows_api.h"
#else
#include <cerrno>
#include <signal.h>
#include <unistd.h>
#endif

namespace zorvane {

#ifdef _WIN32

long CurrentProcessId() { return static_cast<long>(::GetCurrentProcessId()); }

bool ProcessIsRunning(long pid) {
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (process == nullptr) return ::GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    const bool running = ::GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    ::CloseHandle(process);
    return running;
}

#else

long CurrentProcessId() { return static_cast<long>(::getpid()); }

bool ProcessIsRunning(long pid) { return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM; }

#endif

}  // namespace zorvane
