#include "layered_file.h"

namespace zorvane {}  // namespace zorvane
