#include "fuzz_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zorvane::fuzz::FeedZG(data, size);
    return 0;
}
