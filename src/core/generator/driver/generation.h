#pragma once
// Generating a map: the driver that builds a new map row by row from the
// learned squares, with its manager, worker and linker threads.
//
// The driver runs on the calling (main) thread. It builds the start row
// square by square, prepares every further row as a chain problem (column
// candidates, column joins, sub-chains), hands the sub-chains to the worker
// threads, which search variants of them, and lets the linker join one
// variant of every sub-chain into a complete row. A row that cannot be
// completed is retried (a local attempt); by the schedule of repeats the
// driver goes back rows and rebuilds them. The finished map is the project's
// map, one 1 x 1 used tile per square.
//
// The user reaches a running generation only through GenerationRequests
// (Esc, the digit keys), which the driver polls between its steps while it
// lets pending window messages run (UserInterface::processEvents). Progress
// goes to status panel 0 and to a GenerationReport (the statistics window).

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "generator/generator.h"
#include "generator/search/run_buffers.h"
#include "generator/settings.h"
#include "model/project.h"
#include "ui/ui.h"

namespace zorvane {

// What the user asks of a running generation. The editor's input controller
// (and the command-line tool's Ctrl+C handler) only set these; the driver
// reads them between its steps and clears them when a run starts. Every
// field is lock-free, so setting one is safe from any thread and from a
// signal handler.
struct GenerationRequests {
    std::atomic<bool> StopRequest{false};   // Esc: stop the run
    std::atomic<bool> Terminate{false};     // Esc again while a stop is pending: end the threads
    std::atomic<std::int32_t> ManualRepeat{0};  // digit 1..9: go back this many rows
    std::atomic<bool> ResetRequest{false};  // digit 0: local attempts counter to 0, row time to now

    // Esc: a second press while a stop is pending also terminates.
    void PressEsc() {
        if (StopRequest.load()) Terminate.store(true);
        StopRequest.store(true);
    }
    void Clear() {
        StopRequest = false;
        Terminate = false;
        ManualRepeat = 0;
        ResetRequest = false;
    }
};

// The statistics window's generator states.
enum class GeneratorState { Idle, FirstLine, Line, Waiting, Saving };
// "Idle ", "Generating 1st line... ", "Generating line... ", ...
std::string_view GeneratorStateText(GeneratorState state);

// The settings of a run as the statistics window shows them.
struct RunDescription {
    int MapWidth = 0;   // borders included
    int MapHeight = 0;
    int StartingLine = 2;
    bool Simplified = true;
    bool ContinueOldSquares = false;
    bool AvoidTwins = false;
    bool ReduceLAC = true;
    int MaxThreads = 2;
    int Max1stStatesAttempts = 0;
    std::string ChoiceFactor;       // "0.5; by belonging to connectors group"
    std::string ObjectSizes;        // "-" or "[0;N]: 1.0 / 0.8 / ..."
    std::string MaxCombinations;    // "801000 combinations" or "all possible combinations"
    std::string PlannedRepeats;     // the schedule as entered
    std::string FirstAttempts;      // the number, or "Disabled"
    std::string MaxReturn;          // the number, or "Disabled"
    std::string TimeWithdrawals;    // "2 rows after 60 s", or "Disabled"
    std::string Freezer;            // "Enabled, hp=3" or "Disabled"
    std::string BackupFile;
};

// One refresh of the statistics block.
struct GenerationStatistics {
    GeneratorState State = GeneratorState::Idle;
    double Percent = 0;  // floor(100 x row / map height)
    double TopCLAavg = 0;
    double Lfavg = 0;
    double Favg = 0;
    std::int32_t ThreadErrors = 0;
    std::int64_t LastCLA = 0;
    std::int32_t WeakestRight = 0;  // map columns of the weakest sub-chain
    std::int32_t WeakestLeft = 0;
    std::int32_t WeakestOptions = 0;
    std::int64_t SubChainVariants = 0;
    std::int64_t LocalAttempt = 0;
    std::int32_t FirstLineAttempt = 0;
    std::int32_t CurrentRow = 0;  // max(row, 2)
    std::int32_t RunningThreads = 0;
    std::chrono::steady_clock::duration RowTime{};
    std::chrono::steady_clock::duration Elapsed{};
};

// What the statistics window hears from a run; every operation does nothing
// by default. Called from the driver's thread only.
class GenerationReport {
public:
    virtual ~GenerationReport() = default;
    virtual void ResetHeartbeat() {}
    // `threadsWorked`: some worker or the linker worked since the last call.
    virtual void AdvanceHeartbeat(bool /*threadsWorked*/) {}
    virtual void ResetCharts(int /*innerWidth*/, int /*innerHeight*/) {}
    // The window is shown at the first run when a request to show it is pending.
    virtual void ShowIfRequested() {}
    virtual void ShowSettings(const RunDescription&) {}
    virtual void ShowBackupSchedule(std::string_view) {}
    virtual void ShowStatistics(const GenerationStatistics&) {}
    virtual void ShowElapsedTime(std::chrono::steady_clock::duration) {}
    virtual void SetGeneratorState(GeneratorState) {}
    // Map rows first..last (map rows) were rewritten ("Update Display").
    virtual void MapRowsChanged(int /*firstRow*/, int /*lastRow*/) {}
    // The run has ended (the editor writes its log then).
    virtual void RunEnded() {}
};

// Options beyond the settings window's.
struct GenerateOptions {
    // Seeds the random numbers of the run. With a seed and one worker thread
    // the manager, worker and linker steps run in a fixed order on the
    // driver's thread, so that the same seed gives the same map (as long as
    // no time limit is reached).
    std::optional<std::uint64_t> Seed;
    // Stops the run like Esc once this much time has passed.
    std::optional<std::chrono::steady_clock::duration> TimeLimit;
    // The run's time: the row times with their limit, the time limit above
    // and the generating time. The steady clock when empty. (How often the
    // driver polls, and when it gives up on threads that do not come to
    // rest, always follows the steady clock.)
    std::function<std::chrono::steady_clock::time_point()> Now;
};

enum class GenerateOutcome {
    NotReady,    // nothing generated (no learned data, refused settings, threads gone)
    Completed,   // every row generated
    Stopped,     // stopped by the user (or the time limit): the map as at the farthest row
    Terminated,  // stopped with the threads terminated
    Failed,      // ended by an error, shown in an error box
};

// Texts of the run.
inline const char* const NotReadyText = "Map generator is not ready.\rCheck Generator Settings.";
inline const char* const BackupDirQuestion = "The backup directory doesn't exist. Uncheck this option?";
inline const char* const ThreadsTerminatedText =
    "Threads terminated. To use map generator you have to restart application.";
inline const char* const ThreadsTerminatedCaption = "Threads terminated by user.";
inline const char* const StoppingText = "Stopping generating map... (press ESC again to terminate all threads)";

class GeneratorThreads;
class SubChainFreezer;

// The generator's engine: the threads and the sub-chain freezer beside one
// MapGenerator, for the life of the program (the settings window owns it).
class MapGenerationEngine {
public:
    explicit MapGenerationEngine(MapGenerator& generator);
    ~MapGenerationEngine();
    MapGenerationEngine(const MapGenerationEngine&) = delete;
    MapGenerationEngine& operator=(const MapGenerationEngine&) = delete;

    // "Generate Map": runs the whole generation and returns when it ended.
    GenerateOutcome Generate(Project& project, UserInterface& ui, GeneratorSettings& settings,
                             GenerationRequests& requests, GenerationReport& report,
                             const GenerateOptions& options = {});

    // After a terminate the threads are gone; no run starts again.
    bool ThreadsTerminated() const;
    // Threads killed and recreated (the statistics' caught errors).
    std::int32_t CaughtErrors() const;

    MapGenerator& Generator() { return gen_; }
    // The buffers of the run under way (its sub-chains, its state), for the
    // statistics window and tests; null between runs.
    const RunBuffers* CurrentRun() const { return current_; }
    RunBuffers* CurrentRun() { return current_; }
    SubChainFreezer& Freezer() { return *freezer_; }
    GeneratorThreads& Threads() { return *threads_; }

private:
    MapGenerator& gen_;
    std::unique_ptr<GeneratorThreads> threads_;
    std::unique_ptr<SubChainFreezer> freezer_;
    bool terminated_ = false;
    RunBuffers* current_ = nullptr;  // set by the run under way
    friend class GenerationRun;
};

// --- Pieces of the driver, for the statistics window and tests ------------

// The scheduled repeat decision's rules.
struct RepeatRules {
    std::vector<RepeatStep> Schedule;  // sorted by attempts
    std::int32_t TallestObject = 0;
    bool FirstAttempts = true;          // "Different number of attempts at the beginning"
    std::int64_t FirstAttemptsLimit = 10;
    std::int32_t SecondRow = 3;         // the row below the start row
};
// The number of rows to go back after a failure at `row`: a pending manual
// repeat (`manual` > 0, consumed by the caller) wins; otherwise the local
// attempts counter (run.LocalAttempts) counts the failure and the schedule decides.
// Changes run.LocalAttempts, run.LocalAttemptsAtLastRepeat and lastProgressRow.
std::int32_t ScheduledRepeat(RunState& run, std::int32_t& lastProgressRow, const RepeatRules& rules,
                             std::int32_t row, std::int32_t manual);

// A failed local attempt that the caller knows more attempts at the row
// cannot mend: the local attempts counter jumps to the next multiple of the
// schedule's first step, so that the schedule goes back as it would after
// the attempts left to that point had failed too (with more than one step;
// the last step alone counts beyond its attempts). 0 without a schedule.
std::int32_t SkipToScheduledRepeat(RunState& run, std::int32_t& lastProgressRow, const RepeatRules& rules,
                                   std::int32_t row);

// "HH:MM:SS" of a duration (hours may have more digits).
std::string ElapsedText(std::chrono::steady_clock::duration d);

}  // namespace zorvane
