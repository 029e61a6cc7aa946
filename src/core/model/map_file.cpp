#include "map_file.h"

namespace zorvane {}  // namespace zorvane
