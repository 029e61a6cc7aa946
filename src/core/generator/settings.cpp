#include "generator/settings.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <type_traits>

#include "generator/settings_table.h"
#include "platform/file_names.h"

namespace zorvane {

namespace {

std::string WithoutBlanks(const std::string& text) {
    std::string s;
    s.reserve(text.size());
    for (char c : text)
        if (c != ' ') s += c;
    return s;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The number of a run of digits, or -1 when it does not fit 32 bits.
std::int64_t NumberOf(const std::string& digits) {
    std::int64_t n = 0;
    for (char c : digits) {
        n = n * 10 + (c - '0');
        if (n > MaxInt32) return -1;
    }
    return n;
}

bool PositiveNumber(const std::string& digits) {
    if (digits.empty()) return false;
    return NumberOf(digits) >= 1;
}

}  // namespace

GeneratorSettings::GeneratorSettings() {
    for (const SettingRow& row : GeneratorSettingRows()) {
        VisitSetting(row, *this, [&row](auto& field) {
            using Field = std::remove_cvref_t<decltype(field)>;
            if constexpr (std::is_same_v<Field, bool>) field = row.FlagDefault;
            else if constexpr (std::is_same_v<Field, int>) field = row.Range.Default;
            else field = std::string(row.TextDefault);
        });
    }
}

void GeneratorSettings::ClampToRanges() {
    for (auto& e : LearnList) e.Multiplier = SEzmMultiplierRange.Clamp(e.Multiplier);
    for (const SettingRow& row : GeneratorSettingRows()) {
        VisitSetting(row, *this, [&row](auto& field) {
            if constexpr (std::is_same_v<std::remove_cvref_t<decltype(field)>, int>) field = row.Range.Clamp(field);
        });
    }
}

bool CheckRepeats(const std::string& text) {
    const std::string s = WithoutBlanks(text);
    if (s.size() <= 2 || s[0] < '1' || s[0] > '9') return true;
    std::string buffer;
    char last = ';';
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (IsDigit(c)) {
            buffer += c;
            if (i + 1 == s.size()) return !(last == '-' && PositiveNumber(buffer));
        } else if (c == '-' || c == ';') {
            if (c == last || !PositiveNumber(buffer)) return true;
            last = c;
            buffer.clear();
        } else {
            return true;
        }
    }
    // The text ends with a separator: valid after a complete pair only.
    return last != ';';
}

std::vector<RepeatStep> PreparePlannedRepeats(const std::string& text) {
    const std::string s = WithoutBlanks(text);
    std::vector<RepeatStep> steps;
    std::string buffer;
    char last = ';';
    auto take = [&](char separatorBefore) {
        const std::int64_t n = std::max<std::int64_t>(NumberOf(buffer), 0);
        if (separatorBefore == ';') steps.push_back({static_cast<std::int32_t>(n), 0});
        else if (!steps.empty()) steps.back().Lines = static_cast<std::int32_t>(n);
        buffer.clear();
    };
    for (char c : s) {
        if (IsDigit(c)) {
            buffer += c;
        } else if (c == '-' || c == ';') {
            take(last);
            last = c;
        }
    }
    if (!buffer.empty()) take(last);
    std::stable_sort(steps.begin(), steps.end(),
                     [](const RepeatStep& a, const RepeatStep& b) { return a.Attempts < b.Attempts; });
    return steps;
}

std::int64_t CalcMaxCombinations(int position) {
    const std::int64_t p = position;
    return (100 * p * p * p + 1) * 1000;
}

std::string SecToHMS(std::int64_t seconds) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*lld:%.*lld:%.*lld", 2, static_cast<long long>(seconds / 3600), 2,
                  static_cast<long long>((seconds / 60) % 60), 2, static_cast<long long>(seconds % 60));
    return text;
}

std::string FullnessHint(int position) {
    if (position >= AllCombinationsPosition) return "all possible combinations";
    return std::to_string(CalcMaxCombinations(position)) + " combinations";
}

std::string NumOfCombsHint(int position) {
    char text[32];
    auto [end, ec] = std::to_chars(text, text + sizeof text, position / 40.0);
    (void)ec;
    return std::string(text, end);
}

std::string MaxReturnHint(int tallestObject) {
    const std::string base = "Protects against too deep withdrawal";
    if (tallestObject == 0) return base;
    return base + "\rRecommended value for current data: " + std::to_string(std::max(10, tallestObject + 1));
}

bool CheckBackupDir(const std::string& backupPath) {
    const auto slash = backupPath.find_last_of("/\\");
    if (slash == std::string::npos) return true;
    std::error_code ec;
    return !std::filesystem::is_directory(PathFromUtf8(backupPath.substr(0, slash == 0 ? 1 : slash)), ec);
}

std::string SelectZpCaption(bool checked, const std::string& zpPath) {
    return checked ? "force using *.zp: " + zpPath : "force using another *.zp (click to select file)";
}

bool MayCloseSettings(UserInterface& ui, GeneratorSettings& settings) {
    if (CheckRepeats(settings.ScheduleOfRepeats)) {
        if (ui.askYesNo("Warning", "Improper repeats format. Do you want to set it default?", Icon::Warning))
            settings.ScheduleOfRepeats = FallbackPlannedRepeats;
        return false;
    }
    if ((settings.Backup || settings.SaveCompletedMap) && CheckBackupDir(settings.BackupPath)) {
        if (ui.askYesNo("Warning", "The backup directory doesn't exist. Uncheck this option?", Icon::Warning)) {
            settings.Backup = false;
            settings.SaveCompletedMap = false;
        }
        return false;
    }
    return true;
}

}  // namespace zorvane
