#include "option_rules.h"

#include <charconv>
#include <cmath>
#include <filesystem>

#include "generator/search/run_buffers.h"
#include "generator/learned_data.h"
#include "model/project.h"
#include "platform/file_names.h"

namespace zorvane::cli {

namespace {

// A whole number of plain digits (no sign, no spaces) from `low` to `high`.
std::optional<long long> WholeNumber(std::string_view text, long long low, long long high) {
    if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    long long n = 0;
    std::from_chars(text.data(), text.data() + text.size(), n);
    if (n < low || n > high) return std::nullopt;
    return n;
}

std::string RangeText(long long low, long long high) { return std::to_string(low) + ".." + std::to_string(high); }

CLI::Validator WholeNumberRule(long long low, long long high, std::string what) {
    return CLI::Validator(
        [=](std::string& text) -> std::string {
            if (WholeNumber(text, low, high)) return {};
            return what + " is a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
                   ", not " + text;
        },
        RangeText(low, high));
}

}  // namespace

std::optional<MapSize> ParseMapSize(const std::string& text) {
    const auto x = text.find_first_of("xX");
    if (x == std::string::npos) return std::nullopt;
    const auto w = WholeNumber(std::string_view(text).substr(0, x), MinUserMapSize, MaxUserMapSize);
    const auto h = WholeNumber(std::string_view(text).substr(x + 1), MinUserMapSize, MaxUserMapSize);
    if (!w || !h) return std::nullopt;
    return MapSize{static_cast<int>(*w), static_cast<int>(*h)};
}

const CLI::Validator& SeedRule() {
    static const CLI::Validator rule = WholeNumberRule(0, 4294967295LL, "a seed");
    return rule;
}

const CLI::Validator& ExistingFileRule() {
    // The name taken through the file-name seam, so that a name beyond the
    // ANSI code page is found on Windows too.
    static const CLI::Validator rule(
        [](std::string& name) -> std::string {
            std::error_code ec;
            const auto status = std::filesystem::status(PathFromUtf8(name), ec);
            if (!std::filesystem::exists(status)) return "File does not exist: " + name;
            if (std::filesystem::is_directory(status)) return "File is actually a directory: " + name;
            return {};
        },
        "FILE");
    return rule;
}

const CLI::Validator& MapSizeRule() {
    static const CLI::Validator rule(
        [](std::string& text) -> std::string {
            if (ParseMapSize(text)) return {};
            return "a map size is WxH with each side from " + RangeText(MinUserMapSize, MaxUserMapSize) + ", not " +
                   text;
        },
        "WxH " + RangeText(MinUserMapSize, MaxUserMapSize));
    return rule;
}

const CLI::Validator& ThreadsRule() {
    static const CLI::Validator rule = WholeNumberRule(1, WorkerSlots, "the number of threads");
    return rule;
}

const CLI::Validator& TimeoutRule() {
    static const CLI::Validator rule(
        [](std::string& text) -> std::string {
            double seconds = 0;
            const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
            const bool number = error == std::errc() && end == text.data() + text.size();
            if (number && std::isfinite(seconds) && seconds > 0 && seconds <= MaxTimeoutSeconds) return {};
            return "a time limit is a number of seconds above 0 and at most 1000000000, not " + text;
        },
        "(0..1000000000]");
    return rule;
}

const CLI::Validator& VariantRule() {
    static const CLI::Validator rule(
        [](std::string& text) -> std::string {
            if (text == "zme" || text == "zmpe") return {};
            return "the variant is zme or zmpe, not " + text;
        },
        "zme|zmpe");
    return rule;
}

const CLI::Validator& MultiplierRule() {
    static const CLI::Validator rule(
        [](std::string& text) -> std::string {
            const auto eq = text.rfind('=');
            if (eq != std::string::npos && eq > 0 &&
                WholeNumber(std::string_view(text).substr(eq + 1), MinMultiplier, MaxMultiplier))
                return {};
            return "a multiplier is MAP=N with N from " + RangeText(MinMultiplier, MaxMultiplier) + ", not " + text;
        },
        "MAP=" + RangeText(MinMultiplier, MaxMultiplier));
    return rule;
}

const CLI::Validator& CompressionRule() {
    static const CLI::Validator rule = WholeNumberRule(0, 9, "the compression level");
    return rule;
}

}  // namespace zorvane::cli
