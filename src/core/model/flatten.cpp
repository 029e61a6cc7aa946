#include "flatten.h"

namespace zorvane {}  // namespace zorvane
