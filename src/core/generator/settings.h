#pragma once
// What the "Generator Settings" window holds: the learning list, the map to
// generate, the calculation limits, the schedule of repeats, the square and
// object size preferences and the backup options. Fields carry the names of
// their controls; each control's range, default and stored form is a row of
// the table of settings (settings_table.h). Learning and the generation
// driver read this struct when they start; the generator data file stores
// and restores it.

#include <cstdint>
#include <string>
#include <vector>

#include "generator/eq_chart.h"
#include "generator/learned_data.h"
#include "model/project.h"
#include "ui/ui.h"

namespace zorvane {

struct IntRange {
    int Min;
    int Max;
    int Default;
    int Clamp(int v) const { return v < Min ? Min : v > Max ? Max : v; }
};

inline constexpr int MaxInt32 = 2147483647;
// The ranges of the controls outside the table of settings (settings_table.h).
inline constexpr IntRange SEzmMultiplierRange{MinMultiplier, MaxMultiplier, 1};
inline constexpr IntRange SEpointYRange{0, 100, 100};
// The CombinationsLimitPosition position that calculates all possible combinations.
inline constexpr int AllCombinationsPosition = 10;
// The most worker threads a run may use (the worker slots of the threads).
inline constexpr int WorkerSlots = 4;

inline constexpr const char* DefaultPlannedRepeats = "100-1; 1000-2; 5000-3; 50000-10";
inline constexpr const char* FallbackPlannedRepeats = "500-1; 1500-2; 10000-10";  // "set it default?" answered Yes
inline constexpr const char* NoBackupPathCaption = "[click to choose path/name]";

struct GeneratorSettings {
    // Every control at the default of its row in the table of settings
    // (settings_table.h), which also gives its range and its place in the
    // generator data file; the learning list empty, the chart flat.
    GeneratorSettings();

    // "Learning"
    std::vector<LearnEntry> LearnList;  // LBzmPaths
    bool ForceTileSet;  // force the project's ZpPath as every map's tile set
    bool CollectTileSets;  // collect the tiles lists of all tile sets
    bool LearnFrequencies;  // CBlearnFrequencies: also count how often squares and joins occur
    // "Map Settings"
    int WidthWithoutBorders;  // without borders
    int HeightWithoutBorders;
    bool Multiplayer;  // false: RBsingle
    // "General"
    int StartLine;
    bool ContinueExistingSquares;
    // "Calculations"
    int WorkerThreads;
    int CombinationsLimitPosition;
    bool SimplifiedFirstLine;
    // "Repeats"
    std::string ScheduleOfRepeats;
    bool ReduceLocalAttempts;
    bool OtherFirstAttempts;
    int FirstAttempts;
    bool RememberApprovedSquares;
    int AttemptsRememberingApprovedSquares;
    bool LimitDistanceFromFarthestRow;
    int DistanceFromFarthestRow;
    bool GoBackAfterRowTime;
    int RowsToGoBack;
    int SecondsOfOneRow;  // seconds
    bool FreezeCorrectFragments;
    int FreezePoints;  // the points a frozen sub-chain starts with (spent as its neighbours thaw)
    // "Map Characteristics"
    int SquarePreferencePosition;
    bool PreferMostCombinations;  // false: RBConnectorsWay
    bool NoIdenticalNeighbours;
    ObjectSizeChart ObjectChart;
    // "Backup settings"
    bool Backup;
    int BackupEveryLines;
    bool SaveCompletedMap;
    std::string BackupPath;  // the backup file path

    // Puts every value into its control's range, as the controls would.
    void ClampToRanges();
    // Squares choice factor J = SquarePreferencePosition / 40 (0.5 neutral).
    double SquareChoiceFactor() const { return SquarePreferencePosition / 40.0; }
};

// One pair of the schedule of repeats.
struct RepeatStep {
    std::int32_t Attempts = 0;  // local attempts
    std::int32_t Lines = 0;     // lines to go back
    friend bool operator==(const RepeatStep&, const RepeatStep&) = default;
};

// True when the schedule text is invalid (blanks ignored): it must be pairs
// "attempts-lines" separated by ";", numbers 1..2147483647, a ";" after the
// last pair allowed.
bool CheckRepeats(const std::string& text);
// The schedule as pairs sorted by attempts (pairs with equal attempts keep
// their order). Meant for a text CheckRepeats accepts.
std::vector<RepeatStep> PreparePlannedRepeats(const std::string& text);

// The combination limit of CombinationsLimitPosition positions 0..9: (100 p^3 + 1) x 1000.
std::int64_t CalcMaxCombinations(int position);
// "HH:MM:SS", each part at least two digits (hours may have more).
std::string SecToHMS(std::int64_t seconds);

// The caption of ForceTileSet: "force using *.zp: " + the project's ZpPath
// when checked, else "force using another *.zp (click to select file)".
std::string SelectZpCaption(bool checked, const std::string& zpPath);

// "Close" of the settings window: an invalid schedule asks "Improper repeats
// format. Do you want to set it default?" (Yes puts the fallback schedule in);
// a backup option without its directory asks "The backup directory doesn't
// exist. Uncheck this option?" (Yes unchecks both options). In either case
// the window stays open: the result is whether it may close.
bool MayCloseSettings(UserInterface& ui, GeneratorSettings& settings);

// Whether "Learn" and "Load" first ask "This operation may affect the
// current project!": there are used tiles or a project is open.
inline bool ProjectInUse(const Project& project) { return !project.UsedTiles.empty() || !project.NoProject; }

// Hints that follow the settings.
std::string FullnessHint(int position);      // "all possible combinations" or n + " combinations"
std::string NumOfCombsHint(int position);    // position / 40 as a decimal number ("0.5")
std::string MaxReturnHint(int tallestObject);  // the hint of LimitDistanceFromFarthestRow
// True when the directory part of the backup path does not exist.
bool CheckBackupDir(const std::string& backupPath);

}  // namespace zorvane
