#include "creatures.h"

namespace zorvane {}  // namespace zorvane
