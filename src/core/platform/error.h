#pragma once
// The one exception type of the core.

#include <stdexcept>

namespace zorvane {

// Any failure the user is told about: a refused value, a bad file, a write
// that did not go through. The text is shown as it stands.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace zorvane
