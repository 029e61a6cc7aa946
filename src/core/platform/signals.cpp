#include "platform/signals.h"

#include <atomic>
#include <csignal>
#include <cstdio>

#ifdef _WIN32
#include <io.h>

#include "platform/windows_api.h"
#else
#include <unistd.h>
#endif

namespace zorvane {

namespace {

std::atomic<int> gInterrupts{0};
static_assert(std::atomic<int>::is_always_lock_free);

#ifdef _WIN32
BOOL WINAPI OnConsoleEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    gInterrupts.fetch_add(1, std::memory_order_relaxed);
    return TRUE;
}
#else
extern "C" void OnInterrupt(int) { gInterrupts.fetch_add(1, std::memory_order_relaxed); }

struct sigaction gPrevious {};
#endif

}  // namespace

void IgnoreFileSizeLimitSignal() {
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

InterruptCounter::InterruptCounter() {
    gInterrupts = 0;
#ifdef _WIN32
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
#else
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &gPrevious);
#endif
}

InterruptCounter::~InterruptCounter() {
#ifdef _WIN32
    ::SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
#else
    sigaction(SIGINT, &gPrevious, nullptr);
#endif
}

int InterruptCounter::Presses() const { return gInterrupts.load(std::memory_order_relaxed); }

bool StandardErrorIsTerminal() {
#ifdef _WIN32
    return ::_isatty(::_fileno(stderr)) != 0;
#else
    return ::isatty(STDERR_FILENO) != 0;
#endif
}

}  // namespace zorvane
