#pragma once
// The table of the generator settings: one row per setting of the "Generator
// Settings" window (apart from the learning list and the object size chart)
// with its field, its range and default, how the generator data file stores
// it and its key in the command-line tool's JSON. The defaults of
// GeneratorSettings, ClampToRanges, the data file's reader and writer and
// the JSON summary all go through this table, so a new setting is its field
// in GeneratorSettings and one row here.

#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "generator/settings.h"

namespace zorvane {

// How the generator data file stores a setting.
enum class ZgEncoding {
    Flag,       // one byte, true only as 1
    U8,         // unsigned 8-bit; the writer refuses a value beyond 0..255
    I32,        // signed 32-bit
    ShortText,  // one byte length, then the characters (at most 255)
    LongText,   // signed 32-bit length, then the characters
};

// Where in the data file: the controls come before the object size chart,
// the backup settings after it; the occurrence options only in the optional
// block of occurrence counts at the end (absent: their defaults).
enum class ZgPart { BeforeChart, AfterChart, CountsBlock };

// The field a row describes.
using SettingField =
    std::variant<bool GeneratorSettings::*, int GeneratorSettings::*, std::string GeneratorSettings::*>;

struct SettingRow {
    std::string_view Control;  // the control's name in the settings window (the field has it too)
    std::string_view JsonKey;  // its key in `zorvane info`: words joined by "_", shown with spaces
    std::string_view Words;    // the setting in words, for messages
    SettingField Field;
    IntRange Range{};                 // numbers: the control's range and default
    bool FlagDefault = false;         // flags
    std::string_view TextDefault{};   // texts
    // Texts: what the window shows, and the data file stores, for an empty
    // text (the caption of a label that is clicked to choose the text).
    std::string_view EmptyText{};
    ZgEncoding Encoding = ZgEncoding::Flag;
    ZgPart Part = ZgPart::BeforeChart;
    int JsonPlace = 0;  // position among the keys of the JSON's "settings" object
};

// Every setting, in the order of the generator data file.
std::span<const SettingRow> GeneratorSettingRows();
// The row of a control's setting; throws Error for a name the table lacks.
const SettingRow& SettingRowOf(std::string_view control);

// A text setting as the window shows it and the data file stores it: an
// empty text as the row's EmptyText, any other as it is.
std::string TextAsShown(const SettingRow& row, const std::string& text);
// The text a shown or stored one stands for: the row's EmptyText is empty.
std::string TextFromShown(const SettingRow& row, std::string shown);

// Calls f with the row's field of `settings` (bool&, int& or std::string&,
// const for const settings) and returns what f returns.
template <class Settings, class F>
decltype(auto) VisitSetting(const SettingRow& row, Settings& settings, F&& f) {
    return std::visit([&](auto member) -> decltype(auto) { return f(settings.*member); }, row.Field);
}

}  // namespace zorvane
