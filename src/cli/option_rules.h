#pragma once
// The range of every option value, in one place: each rule is a CLI11
// validator, so a value out of range is wrong usage (exit status 2) before
// any work starts, and its description is what --help shows after the
// option. Commands read values that passed these rules and never check the
// ranges again.

#include <CLI/CLI.hpp>

#include <optional>
#include <string>

namespace zorvane::cli {

// The longest --timeout, in seconds (about 31 years): within it the run's
// clock counts nanoseconds without overflowing.
inline constexpr double MaxTimeoutSeconds = 1e9;

// The size of a map without its borders, WxH.
struct MapSize {
    int width = 0;
    int height = 0;
};
// "WxH" (or "WXH") with both sides in the editor's range; nullopt otherwise.
std::optional<MapSize> ParseMapSize(const std::string& text);

const CLI::Validator& SeedRule();         // 0..4294967295, as written
const CLI::Validator& ExistingFileRule();  // a file (not a folder) that exists
const CLI::Validator& MapSizeRule();      // WxH, 10..202 each
const CLI::Validator& ThreadsRule();      // 1..4
const CLI::Validator& TimeoutRule();      // a finite number of seconds above 0, at most MaxTimeoutSeconds
const CLI::Validator& VariantRule();      // zme or zmpe
const CLI::Validator& MultiplierRule();   // MAP=N, N 1..100
const CLI::Validator& CompressionRule();  // 0..9

}  // namespace zorvane::cli
