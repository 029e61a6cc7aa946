#pragma once
// The summary of a generator data file (*.zg) for zorvane info.

#include <cstdint>
#include <span>

#include <nlohmann/json.hpp>

namespace zorvane::cli {

// Learned squares, joins, objects, the learning list and every setting;
// throws Error for a damaged file.
nlohmann::ordered_json GeneratorDataInfo(std::span<const std::uint8_t> bytes);

}  // namespace zorvane::cli
