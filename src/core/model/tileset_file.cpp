#include "tileset_file.h"

namespace zorvane {}  // namespace zorvane
