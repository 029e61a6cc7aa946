#pragma once
// How the programs meet the system's signals.

namespace zorvane {

// A file size limit makes a write past it fail (EFBIG) like a full disk
// instead of killing the process; called once at the start of a program.
void IgnoreFileSizeLimitSignal();

}  // namespace zorvane
