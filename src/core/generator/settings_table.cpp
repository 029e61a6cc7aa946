#include "generator/settings_table.h"

#include <array>

#include "generator/settings.h"
#include "platform/error.h"

namespace zorvane {

namespace {

using S = GeneratorSettings;
constexpr auto Before = ZgPart::BeforeChart;
constexpr auto After = ZgPart::AfterChart;
constexpr auto Counted = ZgPart::CountsBlock;

constexpr SettingRow Flag(std::string_view control, std::string_view key, bool S::*field, bool byDefault, int jsonPlace,
                         ZgPart part) {
    SettingRow row{control, key, control, field};
    row.FlagDefault = byDefault;
    row.Encoding = ZgEncoding::Flag;
    row.Part = part;
    row.JsonPlace = jsonPlace;
    return row;
}

constexpr SettingRow Number(std::string_view control, std::string_view key, std::string_view words, int S::*field,
                            IntRange range, ZgEncoding encoding, int jsonPlace, ZgPart part) {
    SettingRow row{control, key, words, field};
    row.Range = range;
    row.Encoding = encoding;
    row.Part = part;
    row.JsonPlace = jsonPlace;
    return row;
}

constexpr SettingRow Text(std::string_view control, std::string_view key, std::string_view words,
                          std::string S::*field, std::string_view byDefault, ZgEncoding encoding, int jsonPlace,
                          ZgPart part) {
    SettingRow row{control, key, words, field};
    row.TextDefault = byDefault;
    row.Encoding = encoding;
    row.Part = part;
    row.JsonPlace = jsonPlace;
    return row;
}

constexpr auto U8 = ZgEncoding::U8;
constexpr auto I32 = ZgEncoding::I32;

// In the order of the generator data file. The keys say what the window's
// captions say, in a few words ("_" between them).
constexpr std::array kRows{
    // "Learning"
    Flag("CBgatherTS", "collect_tile_sets", &S::CollectTileSets, false, 25, Before),
    Flag("CBselectZp", "force_tile_set", &S::ForceTileSet, false, 24, Before),
    // "Map Settings"
    Flag("RBmulti", "multiplayer", &S::Multiplayer, true, 2, Before),  // unchecked: RBsingle
    Number("SEsizeX", "map_width", "map size x", &S::WidthWithoutBorders, {MinUserMapSize, MaxUserMapSize, 100}, U8, 0, Before),
    Number("SEsizeY", "map_height", "map size y", &S::HeightWithoutBorders, {MinUserMapSize, MaxUserMapSize, 100}, U8, 1, Before),
    // "General", "Calculations", "Map Characteristics"
    Number("SEstartingLine", "start_line", "start line", &S::StartLine, {2, 204, 2}, I32, 3, Before),
    Flag("CBsimplified1stLine", "simplified_first_line", &S::SimplifiedFirstLine, true, 7, Before),
    Flag("CBcontinueOldSquares", "continue_existing_squares", &S::ContinueExistingSquares, false, 4, Before),
    Flag("CBavoidTwins", "no_identical_neighbours", &S::NoIdenticalNeighbours, false, 23, Before),
    Number("SEmaxThreads", "threads", "number of threads", &S::WorkerThreads, {1, WorkerSlots, 2}, U8, 5, Before),
    Number("TBfullness", "combinations_limit_position", "combinations position", &S::CombinationsLimitPosition,
           {0, AllCombinationsPosition, 2}, U8, 6, Before),
    Number("TBnumOfCombs", "square_preference_position", "square preference position", &S::SquarePreferencePosition,
           {0, 40, 20}, U8, 21, Before),
    Flag("RBLnocWay", "prefer_most_combinations", &S::PreferMostCombinations, false, 22, Before),  // unchecked: RBConnectorsWay
    // "Repeats"
    Text("EPlannedRepeats", "schedule_of_repeats", "schedule of repeats", &S::ScheduleOfRepeats, DefaultPlannedRepeats,
         ZgEncoding::ShortText, 8, Before),
    Flag("CBreduceLAC", "reduce_local_attempts", &S::ReduceLocalAttempts, true, 9, Before),
    Flag("CBfirstAttempts", "other_first_attempts", &S::OtherFirstAttempts, true, 10, Before),
    Number("SEfirstAttempts", "first_attempts", "first attempts", &S::FirstAttempts, {1, MaxInt32, 10}, I32, 11,
           Before),
    Flag("CBmax1stStatesAttempts", "remember_approved_squares", &S::RememberApprovedSquares, true, 12, Before),
    Number("SEmax1stStatesAttemtps", "attempts_remembering_approved_squares", "attempts remembering approved squares",
           &S::AttemptsRememberingApprovedSquares, {1, MaxInt32, 2000}, I32, 13, Before),
    Flag("CBmaxReturn", "limit_distance_from_farthest_row", &S::LimitDistanceFromFarthestRow, true, 14, Before),
    Number("SEmaxReturn", "distance_from_farthest_row", "distance from the farthest row", &S::DistanceFromFarthestRow,
           {1, 206, 10}, I32, 15, Before),
    Flag("CBlineTmax", "go_back_after_row_time", &S::GoBackAfterRowTime, true, 16, Before),
    Number("SElineTmaxRows", "rows_to_go_back", "rows to go back after a row's time", &S::RowsToGoBack,
           {1, 206, 2}, I32, 17, Before),
    Number("SElineTmaxTime", "seconds_of_one_row", "seconds of one row", &S::SecondsOfOneRow, {1, MaxInt32, 60}, I32,
           18, Before),
    Flag("CBfreezer", "freeze_correct_fragments", &S::FreezeCorrectFragments, false, 19, Before),
    Number("SEfreezer", "freeze_hp", "freeze hp", &S::FreezePoints, {1, MaxInt32, 3}, I32, 20, Before),
    // (the object size chart), "Backup settings"
    Flag("CBbackup", "backup", &S::Backup, false, 27, After),
    Flag("CBsaveCompleted", "save_completed_map", &S::SaveCompletedMap, false, 29, After),
    Number("SEbackup", "backup_every_lines", "backup interval", &S::BackupEveryLines, {1, 255, 10}, U8, 28, After),
    // No backup path until one is chosen; the label says how to choose it.
    [] {
        SettingRow row = Text("Lbackup", "backup_path", "backup path", &S::BackupPath, "", ZgEncoding::LongText, 30, After);
        row.EmptyText = NoBackupPathCaption;
        return row;
    }(),
    // "Learning", kept with the occurrence counts
    [] {
        SettingRow row = Flag("CBlearnFrequencies", "learn_frequencies", &S::LearnFrequencies, false, 26, Counted);
        row.Words = "Learn how often squares occur";
        return row;
    }(),
};

}  // namespace

std::span<const SettingRow> GeneratorSettingRows() { return kRows; }

std::string TextAsShown(const SettingRow& row, const std::string& text) {
    return text.empty() ? std::string(row.EmptyText) : text;
}

std::string TextFromShown(const SettingRow& row, std::string shown) {
    if (shown == row.EmptyText) shown.clear();
    return shown;
}

const SettingRow& SettingRowOf(std::string_view control) {
    for (const SettingRow& row : kRows)
        if (row.Control == control) return row;
    throw Error("There is no generator setting " + std::string(control) + ".");
}

}  // namespace zorvane
