#include "generator/settings_table.h"

#include <array>

#include "generator/driver/run_buffers.h"
#include "platform/error.h"

namespace zorvane {

namespace {

using S = GeneratorSettings;
constexpr auto Before = ZgPart::BeforeChart;
constexpr auto After = ZgPart::AfterChart;

// Every setting's JSON key is its control's name.
constexpr SettingRow Flag(std::string_view control, bool S::*field, bool byDefault, int jsonPlace, ZgPart part) {
    SettingRow row{control, control, control, field};
    row.FlagDefault = byDefault;
    row.Encoding = ZgEncoding::Flag;
    row.Part = part;
    row.JsonPlace = jsonPlace;
    return row;
}

constexpr SettingRow Number(std::string_view control, std::string_view words, int S::*field, IntRange range,
                            ZgEncoding encoding, int jsonPlace, ZgPart part) {
    SettingRow row{control, control, words, field};
    row.Range = range;
    row.Encoding = encoding;
    row.Part = part;
    row.JsonPlace = jsonPlace;
    return row;
}

constexpr SettingRow Text(std::string_view control, std::string_view words, std::string S::*field,
                          std::string_view byDefault, ZgEncoding encoding, int jsonPlace, ZgPart part) {
    SettingRow row{control, control, words, field};
    row.TextDefault = byDefault;
    row.Encoding = encoding;
    row.Part = part;
    row.JsonPlace = jsonPlace;
    return row;
}

constexpr auto U8 = ZgEncoding::U8;
constexpr auto I32 = ZgEncoding::I32;

// In the order of the generator data file.
constexpr std::array kRows{
    // "Learning"
    Flag("CBgatherTS", &S::CBgatherTS, false, 25, Before),
    Flag("CBselectZp", &S::CBselectZp, false, 24, Before),
    // "Map Settings"
    Flag("RBmulti", &S::RBmulti, true, 2, Before),  // unchecked: RBsingle
    Number("SEsizeX", "map size x", &S::SEsizeX, {MinUserMapSize, MaxUserMapSize, 100}, U8, 0, Before),
    Number("SEsizeY", "map size y", &S::SEsizeY, {MinUserMapSize, MaxUserMapSize, 100}, U8, 1, Before),
    // "General", "Calculations", "Map Characteristics"
    Number("SEstartingLine", "start line", &S::SEstartingLine, {2, 204, 2}, I32, 3, Before),
    Flag("CBsimplified1stLine", &S::CBsimplified1stLine, true, 7, Before),
    Flag("CBcontinueOldSquares", &S::CBcontinueOldSquares, false, 4, Before),
    Flag("CBavoidTwins", &S::CBavoidTwins, false, 23, Before),
    Number("SEmaxThreads", "number of threads", &S::SEmaxThreads, {1, WorkerSlots, 2}, U8, 5, Before),
    Number("TBfullness", "combinations position", &S::TBfullness, {0, AllCombinationsPosition, 2}, U8, 6, Before),
    Number("TBnumOfCombs", "square preference position", &S::TBnumOfCombs, {0, 40, 20}, U8, 21, Before),
    Flag("RBLnocWay", &S::RBLnocWay, false, 22, Before),  // unchecked: RBConnectorsWay
    // "Repeats"
    Text("EPlannedRepeats", "schedule of repeats", &S::EPlannedRepeats, DefaultPlannedRepeats, ZgEncoding::ShortText,
         8, Before),
    Flag("CBreduceLAC", &S::CBreduceLAC, true, 9, Before),
    Flag("CBfirstAttempts", &S::CBfirstAttempts, true, 10, Before),
    Number("SEfirstAttempts", "first attempts", &S::SEfirstAttempts, {1, MaxInt32, 10}, I32, 11, Before),
    Flag("CBmax1stStatesAttempts", &S::CBmax1stStatesAttempts, true, 12, Before),
    Number("SEmax1stStatesAttemtps", "attempts remembering approved squares", &S::SEmax1stStatesAttemtps,
           {1, MaxInt32, 2000}, I32, 13, Before),
    Flag("CBmaxReturn", &S::CBmaxReturn, true, 14, Before),
    Number("SEmaxReturn", "distance from the farthest row", &S::SEmaxReturn, {1, 206, 10}, I32, 15, Before),
    Flag("CBlineTmax", &S::CBlineTmax, true, 16, Before),
    Number("SElineTmaxRows", "rows to go back after a row's time", &S::SElineTmaxRows, {1, 206, 2}, I32, 17, Before),
    Number("SElineTmaxTime", "seconds of one row", &S::SElineTmaxTime, {1, MaxInt32, 60}, I32, 18, Before),
    Flag("CBfreezer", &S::CBfreezer, false, 19, Before),
    Number("SEfreezer", "freeze hp", &S::SEfreezer, {1, MaxInt32, 3}, I32, 20, Before),
    // (the object size chart), "Backup settings"
    Flag("CBbackup", &S::CBbackup, false, 26, After),
    Flag("CBsaveCompleted", &S::CBsaveCompleted, false, 28, After),
    Number("SEbackup", "backup interval", &S::SEbackup, {1, 255, 10}, U8, 27, After),
    Text("Lbackup", "backup path", &S::Lbackup, NoBackupPathCaption, ZgEncoding::LongText, 29, After),
};

}  // namespace

std::span<const SettingRow> GeneratorSettingRows() { return kRows; }

const SettingRow& SettingRowOf(std::string_view control) {
    for (const SettingRow& row : kRows)
        if (row.Control == control) return row;
    throw Error("There is no generator setting " + std::string(control) + ".");
}

}  // namespace zorvane
