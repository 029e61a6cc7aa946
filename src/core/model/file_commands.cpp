#include "file_commands.h"

namespace zorvane {}  // namespace zorvane
