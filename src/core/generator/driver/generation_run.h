#pragma once
// One run of the generation driver (internal to the generator): the state
// of the run besides the generator's run state, and its steps.

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

#include "generator/driver/freezer.h"
#include "generator/driver/generation.h"
#include "generator/search/generator_threads.h"
#include "generator/search/row_preparation.h"
#include "generator/search/variant_search.h"

namespace zorvane {

class GenerationRun {
public:
    GenerationRun(MapGenerationEngine& engine, Project& project, UserInterface& ui, GeneratorSettings& settings,
                  GenerationRequests& requests, GenerationReport& report, const GenerateOptions& options);
    ~GenerationRun();
    GenerationRun(const GenerationRun&) = delete;
    GenerationRun& operator=(const GenerationRun&) = delete;
    GenerateOutcome Run();

private:
    using Clock = std::chrono::steady_clock;

    // Start, settings, the new map (generation.cpp).
    bool Ready();
    void ReadSettings();
    // "Remember approved squares": the attempts, or 0.
    std::int64_t ApprovalAttemptsRemembered() const;
    Clock::duration RowTimeLimit() const;
    RunDescription Describe() const;
    std::string BackupDescription() const;
    std::vector<MapSquare> KeptRows() const;
    void NewMap();
    void MainLoop();
    void End(GenerateOutcome outcome);
    GenerateOutcome Fail(const std::string& reason);

    // The start row (generation_first_line.cpp).
    void FirstLine();
    void Approve();
    void SetApproved(int column, bool on);
    bool StartSquare(int column);
    void LoadStartCandidates(int above, int left);
    bool FitsLeft(int column);
    // Every square of the start row learned, allowed right of its left
    // neighbour and below the square above it (where that is learned).
    bool StartRowSound();

    // The row loop (generation_rows.cpp).
    void RowLoop();
    void Reprepare();
    bool PrepareRow();
    bool DeadRow();
    void RowCompleted();
    bool RowFailed();
    std::int32_t Decide();
    bool HopelessWithCounts() const;
    // Failed local attempts at a row, with occurrence counts, before the
    // run goes back.
    static constexpr int kLocalAttemptsWithCounts = 10;
    void GoBack(int rows);
    void WriteRow();
    void TakeSnapshot();
    void Restore();
    void BackupIfDue();

    // Computing a row with the threads (generation_compute.cpp).
    bool ComputeRow();
    void ComputeThreaded();
    void ComputeStepped();
    bool StepRow(std::int64_t budget);
    bool ShouldStopRow();
    void FinishThreaded();
    template <typename Done>
    bool WaitThreads(Done done, int killAfterPolls);

    // Map, requests and reports.
    MapSquare& MapSq(int column, int row);
    int LearnedAt(int column, int row);
    std::vector<MapSquare> MapRow(int row);
    bool StopRequested() const { return requests_.StopRequest.load() || requests_.Terminate.load(); }
    bool Terminated() const { return requests_.Terminate.load(); }
    // The run's time (GenerateOptions::Now).
    Clock::time_point Now() const { return options_.Now ? options_.Now() : Clock::now(); }
    void Poll();
    void ShowProgress(GeneratorState state);
    GenerationStatistics Statistics(GeneratorState state);
    std::string ProgressText() const;

    MapGenerationEngine& engine_;
    const LearnedData& learned_;  // what the run draws its squares from; only read
    GeneratorThreads& threads_;
    SubChainFreezer& freezer_;
    Project& project_;
    UserInterface& ui_;
    GeneratorSettings& userSettings_;
    GenerationRequests& requests_;
    GenerationReport& report_;
    GenerateOptions options_;
    RunBuffers buffers_;  // the run's working buffers, lent to the threads while it lasts
    RunState& run_;       // buffers_.Run

    // The run's settings (ReadSettings) and what it builds from them: the
    // map's size with its borders, the schedule's rules and the rows'
    // settings.
    GeneratorSettings settings_;
    int width_ = 0, height_ = 0, nextBackupRow_ = 0;
    bool stepped_ = false;
    RepeatRules rules_;
    RowSettings rowSettings_;
    std::unique_ptr<RowPreparer> prep_;
    std::unique_ptr<SearchTables> tables_;

    // Run state beyond the generator's.
    Clock::time_point started_{};
    bool stoppedAtTimeLimit_ = false;  // the run's time limit, not the user, asked it to stop
    Clock::time_point lastPoll_{}, lastStats_{};
    int dirtyFrom_ = 0;          // the first row written since the last snapshot
    int consecutive_ = 0;        // attempts at the same row
    int sinceCompletion_ = 0;    // attempts since a row was last completed
    bool lastComputeFailed_ = false;
    int smallestPairs_ = 0;
    std::int64_t lastCLA_ = 0;
    double favg_ = 0, lfavg_ = 0, topCLAavg_ = 0;
};

}  // namespace zorvane
