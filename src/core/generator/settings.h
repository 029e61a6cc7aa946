#pragma once
// What the "Generator Settings" window holds: the learning list, the map to
// generate, the calculation limits, the schedule of repeats, the square and
// object size preferences and the backup options. Fields carry the names of
// their controls; each control's range and default is next to it. Learning
// and the generation driver read this struct when they start; the generator
// data file stores and restores it.

#include <cstdint>
#include <string>
#include <vector>

#include "generator/eq_chart.h"
#include "generator/generator.h"
#include "ui/ui.h"

namespace zorvane {

struct IntRange {
    int Min;
    int Max;
    int Default;
    int Clamp(int v) const { return v < Min ? Min : v > Max ? Max : v; }
};

inline constexpr int MaxInt32 = 2147483647;
inline constexpr IntRange SEzmMultiplierRange{MinMultiplier, MaxMultiplier, 1};
inline constexpr IntRange SEsizeRange{MinUserMapSize, MaxUserMapSize, 100};
inline constexpr IntRange SEstartingLineRange{2, 204, 2};
inline constexpr IntRange SEmaxThreadsRange{1, WorkerSlots, 2};
inline constexpr IntRange TBfullnessRange{0, 10, 2};
inline constexpr IntRange SEfirstAttemptsRange{1, MaxInt32, 10};
inline constexpr IntRange SEmax1stStatesAttemtpsRange{1, MaxInt32, 2000};
inline constexpr IntRange SEmaxReturnRange{1, 206, 10};
inline constexpr IntRange SElineTmaxRowsRange{1, 206, 2};
inline constexpr IntRange SElineTmaxTimeRange{1, MaxInt32, 60};
inline constexpr IntRange SEfreezerRange{1, MaxInt32, 3};
inline constexpr IntRange TBnumOfCombsRange{0, 40, 20};
inline constexpr IntRange SEpointYRange{0, 100, 100};
inline constexpr IntRange SEbackupRange{1, 255, 10};

inline const char* const DefaultPlannedRepeats = "100-1; 1000-2; 5000-3; 50000-10";
inline const char* const FallbackPlannedRepeats = "500-1; 1500-2; 10000-10";  // "set it default?" answered Yes
inline const char* const NoBackupPathCaption = "[click to choose path/name]";

struct GeneratorSettings {
    // "Learning"
    std::vector<TLearnEntry> LearnList;  // LBzmPaths
    bool CBselectZp = false;             // force the project's ZpPath as every map's tile set
    bool CBgatherTS = false;             // collect the tiles lists of all tile sets
    // "Map Settings"
    int SEsizeX = SEsizeRange.Default;  // without borders
    int SEsizeY = SEsizeRange.Default;
    bool RBmulti = true;  // false: RBsingle
    // "General"
    int SEstartingLine = SEstartingLineRange.Default;
    bool CBcontinueOldSquares = false;
    // "Calculations"
    int SEmaxThreads = SEmaxThreadsRange.Default;
    int TBfullness = TBfullnessRange.Default;
    bool CBsimplified1stLine = true;
    // "Repeats"
    std::string EPlannedRepeats = DefaultPlannedRepeats;
    bool CBreduceLAC = true;
    bool CBfirstAttempts = true;
    int SEfirstAttempts = SEfirstAttemptsRange.Default;
    bool CBmax1stStatesAttempts = true;
    int SEmax1stStatesAttemtps = SEmax1stStatesAttemtpsRange.Default;
    bool CBmaxReturn = true;
    int SEmaxReturn = SEmaxReturnRange.Default;
    bool CBlineTmax = true;
    int SElineTmaxRows = SElineTmaxRowsRange.Default;
    int SElineTmaxTime = SElineTmaxTimeRange.Default;  // seconds
    bool CBfreezer = false;
    int SEfreezer = SEfreezerRange.Default;
    // "Map Characteristics"
    int TBnumOfCombs = TBnumOfCombsRange.Default;
    bool RBLnocWay = false;  // false: RBConnectorsWay
    bool CBavoidTwins = false;
    TEqChart ImgObjChart;
    // "Backup settings"
    bool CBbackup = false;
    int SEbackup = SEbackupRange.Default;
    bool CBsaveCompleted = false;
    std::string Lbackup = NoBackupPathCaption;  // the backup file path

    // Puts every value into its control's range, as the controls would.
    void ClampToRanges();
    // Squares choice factor J = TBnumOfCombs / 40 (0.5 neutral).
    double SquareChoiceFactor() const { return TBnumOfCombs / 40.0; }
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

// The combination limit of TBfullness positions 0..9: (100 p^3 + 1) x 1000.
std::int64_t CalcMaxCombinations(int position);
// "HH:MM:SS", each part at least two digits (hours may have more).
std::string SecToHMS(std::int64_t seconds);

// The caption of CBselectZp: "force using *.zp: " + the project's ZpPath
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
std::string MaxReturnHint(int tallestObject);  // the hint of CBmaxReturn
// True when the directory part of the backup path does not exist.
bool CheckBackupDir(const std::string& backupPath);

}  // namespace zorvane
