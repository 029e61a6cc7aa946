#include "platform/process.h"

#ifdef _WIN32
#include "platform/windows_api.h"
#include <shellapi.h>
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

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> args;
    for (int i = 0; i < count; ++i) {
        const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(length > 0 ? static_cast<std::size_t>(length) : 1u, '\0');
        if (length > 0) ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), length, nullptr, nullptr);
        arg.pop_back();  // the terminating zero
        args.push_back(std::move(arg));
    }
    ::LocalFree(wide);
    return args;
}

#else

long CurrentProcessId() { return static_cast<long>(::getpid()); }

bool ProcessIsRunning(long pid) { return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM; }

std::vector<std::string> Utf8Arguments(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }

#endif

}  // namespace zorvane
