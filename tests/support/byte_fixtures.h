#pragma once
// Building file bytes by hand, field by field, from the documented layouts.

#include <cstdint>
#include <string>
#include <vector>

namespace zorvane::testing {

using Bytes = std::vector<std::uint8_t>;

inline void Put16(Bytes& b, std::uint16_t v) {
    b.push_back(v & 0xFF);
    b.push_back(v >> 8);
}
inline void Put32(Bytes& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
inline void PutText(Bytes& b, const std::string& s) { b.insert(b.end(), s.begin(), s.end()); }

}  // namespace zorvane::testing
