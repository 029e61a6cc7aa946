#include "platform/signals.h"

#include <csignal>

namespace zorvane {

void IgnoreFileSizeLimitSignal() {
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

}  // namespace zorvane
