#include "merge.h"

namespace zorvane {}  // namespace zorvane
