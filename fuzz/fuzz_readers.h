#pragma once
// One entry per file reader, fed from a memory buffer. The libFuzzer
// targets call these, and the normal test build replays every file of the
// seed corpora (and every crash input kept there) through them.

#include <cstddef>
#include <cstdint>
#include <span>

#include "generator/zg_file.h"
#include "model/layered_file.h"
#include "model/map_file.h"
#include "model/tileset_file.h"

namespace zorvane::fuzz {

// A reader may refuse the bytes (Error); anything else is a fault.
template <typename Parse>
inline void Feed(Parse parse, const std::uint8_t* data, std::size_t size) {
    try {
        (void)parse(std::span<const std::uint8_t>(data, size));
    } catch (const Error&) {
    }
}

inline void FeedZP(const std::uint8_t* d, std::size_t n) { Feed(ParseZP, d, n); }
inline void FeedZM(const std::uint8_t* d, std::size_t n) { Feed(ParseZM, d, n); }
inline void FeedZL(const std::uint8_t* d, std::size_t n) { Feed(ParseZL, d, n); }
inline void FeedZG(const std::uint8_t* d, std::size_t n) { Feed(ParseZG, d, n); }

}  // namespace zorvane::fuzz
