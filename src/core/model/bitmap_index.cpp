#include "bitmap_index.h"

namespace zorvane {}  // namespace zorvane
