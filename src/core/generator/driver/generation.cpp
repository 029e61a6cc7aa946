// The generation driver: the start of a run with its settings, the new map,
// the main loop over attempts at the start row, and the end of the run.

#include "generator/driver/generation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "commands/lifecycle.h"
#include "generator/driver/generation_run.h"
#include "generator/settings_table.h"
#include "platform/file_io.h"

namespace zorvane {

MapGenerationEngine::MapGenerationEngine(MapGenerator& generator)
    : gen_(generator), threads_(std::make_unique<GeneratorThreads>()),
      freezer_(std::make_unique<SubChainFreezer>()) {}

MapGenerationEngine::~MapGenerationEngine() { threads_->Stop(); }

bool MapGenerationEngine::ThreadsTerminated() const { return terminated_; }

std::int32_t MapGenerationEngine::CaughtErrors() const { return threads_->CaughtErrors.load(); }

GenerateOutcome MapGenerationEngine::Generate(Project& project, UserInterface& ui, GeneratorSettings& settings,
                                              GenerationRequests& requests, GenerationReport& report,
                                              const GenerateOptions& options) {
    if (terminated_) {
        ui.message(ThreadsTerminatedCaption, ThreadsTerminatedText, Icon::Warning);
        return GenerateOutcome::NotReady;
    }
    const GenerateOutcome outcome = GenerationRun(*this, project, ui, settings, requests, report, options).Run();
    if (outcome == GenerateOutcome::Terminated) terminated_ = true;
    return outcome;
}

GenerationRun::GenerationRun(MapGenerationEngine& engine, Project& project, UserInterface& ui,
                             GeneratorSettings& settings, GenerationRequests& requests, GenerationReport& report,
                             const GenerateOptions& options)
    : engine_(engine), learned_(engine.Generator()), threads_(engine.Threads()), freezer_(engine.Freezer()),
      project_(project), ui_(ui), userSettings_(settings), requests_(requests), report_(report), options_(options),
      run_(buffers_.Run) {
    threads_.BeginRun(learned_, buffers_);
    engine_.current_ = &buffers_;
}

GenerationRun::~GenerationRun() {
    engine_.current_ = nullptr;
    threads_.EndRun();
}

// A. Refuses a run that cannot be made. A backup directory that is missing
// may switch the backups off in the user's settings.
bool GenerationRun::Ready() {
    GeneratorSettings& settings = userSettings_;
    const int startRow = settings.StartLine;
    auto notReady = [&] {
        ui_.message("Information", NotReadyText, Icon::Information);
        return false;
    };
    if (!learned_.Ready()) return notReady();
    // The start row must be an inner row of the map: below it the run would
    // write outside the map. The user is told which rows the map has.
    const int height = settings.HeightWithoutBorders + 2 * BorderWidth;
    const int lastInnerRow = height - BorderWidth - 1;
    if (startRow < BorderWidth || startRow > lastInnerRow) {
        ui_.message("Warning",
                    "The start line " + std::to_string(startRow) + " is not a row of the map.\rA map " +
                        std::to_string(settings.HeightWithoutBorders) + " squares high starts from line " +
                        std::to_string(BorderWidth) + " to " + std::to_string(lastInnerRow) +
                        " (considering borders).",
                    Icon::Warning);
        return false;
    }
    // The settings window refuses a malformed schedule.
    if (CheckRepeats(settings.ScheduleOfRepeats)) return notReady();
    if ((settings.Backup || settings.SaveCompletedMap) && CheckBackupDir(settings.BackupPath)) {
        if (ui_.message("Warning", BackupDirQuestion, Icon::Warning, Buttons::YesNo, Answer::Yes) != Answer::Yes)
            return notReady();
        settings.Backup = false;
        settings.SaveCompletedMap = false;
    }
    return true;
}

// B. The run reads its own copy of the settings, taken once at its start
// (the settings window may change the user's meanwhile); here is what it
// builds from them.
void GenerationRun::ReadSettings() {
    settings_ = userSettings_;
    const GeneratorSettings& s = settings_;
    width_ = s.WidthWithoutBorders + 2 * BorderWidth;
    height_ = s.HeightWithoutBorders + 2 * BorderWidth;
    nextBackupRow_ = s.StartLine + s.BackupEveryLines;
    if (s.SaveCompletedMap) nextBackupRow_ = std::min(nextBackupRow_, height_ - 3);
    rules_.Schedule = PreparePlannedRepeats(s.ScheduleOfRepeats);
    rules_.TallestObject = learned_.TallestObject;
    rules_.FirstAttempts = s.OtherFirstAttempts;
    rules_.FirstAttemptsLimit = s.FirstAttempts;
    rules_.SecondRow = s.StartLine + 1;
    rowSettings_.MapWidth = width_;
    rowSettings_.TwinsDisallowed = s.NoIdenticalNeighbours;
    rowSettings_.Choice = {s.SquareChoiceFactor(), !s.PreferMostCombinations};
    rowSettings_.Simplified = s.SimplifiedFirstLine;
    rowSettings_.StartRow = s.StartLine;
    rowSettings_.P = ObjectSizeProbabilities(s.ObjectChart, learned_.LargestObject);
    threads_.Job.MapHeight = height_;
    threads_.Job.MaxThreads = std::clamp(s.WorkerThreads, 1, WorkerSlots);
    threads_.Job.SearchLimit = s.CombinationsLimitPosition <= 9 ? CalcMaxCombinations(s.CombinationsLimitPosition) : -1;
    stepped_ = options_.Seed.has_value() && threads_.Job.MaxThreads == 1;
    if (options_.Seed) buffers_.Rng.seed(*options_.Seed);
}

std::int64_t GenerationRun::ApprovalAttemptsRemembered() const {
    return settings_.RememberApprovedSquares ? settings_.AttemptsRememberingApprovedSquares : 0;
}

// A duration, whatever its length (a day or more included).
GenerationRun::Clock::duration GenerationRun::RowTimeLimit() const {
    return std::chrono::seconds(std::max(settings_.SecondsOfOneRow, 1));
}

std::string GenerationRun::BackupDescription() const {
    if (!settings_.Backup && !settings_.SaveCompletedMap) return "-";
    if (!settings_.Backup) return "at finish";
    return "every " + std::to_string(settings_.BackupEveryLines) + " lines" +
           (settings_.SaveCompletedMap ? " + at finish" : "") +
           " (next=" + std::to_string(nextBackupRow_) + ")";
}

namespace {

std::string OneDecimal(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", v);
    return buf;
}

std::string ObjectSizesText(const std::vector<double>& p, int largest) {
    if (!ObjectFilterInForce(p)) return "-";
    const int count = static_cast<int>(p.size());
    const int samples = std::min(10, count);
    std::string text = "[0;" + std::to_string(largest) + "]: ";
    for (int i = 0; i < samples; ++i) {
        const auto at = std::min<std::int64_t>(count - 1, RoundHalfEven(static_cast<double>(i) * count / samples));
        if (i > 0) text += " / ";
        text += OneDecimal(p[static_cast<std::size_t>(at)]);
    }
    return text;
}

}  // namespace

RunDescription GenerationRun::Describe() const {
    const GeneratorSettings& s = settings_;
    RunDescription d;
    d.MapWidth = width_;
    d.MapHeight = height_;
    d.StartingLine = s.StartLine;
    d.Simplified = s.SimplifiedFirstLine;
    d.ContinueOldSquares = s.ContinueExistingSquares;
    d.AvoidTwins = s.NoIdenticalNeighbours;
    d.ReduceLAC = s.ReduceLocalAttempts;
    d.MaxThreads = threads_.Job.MaxThreads;
    d.Max1stStatesAttempts = static_cast<int>(ApprovalAttemptsRemembered());
    d.ChoiceFactor = NumOfCombsHint(s.SquarePreferencePosition) +
                     (s.PreferMostCombinations ? "; by number of combinations" : "; by belonging to connectors group");
    d.ObjectSizes = ObjectSizesText(rowSettings_.P, learned_.LargestObject);
    d.MaxCombinations = FullnessHint(s.CombinationsLimitPosition);
    d.PlannedRepeats = s.ScheduleOfRepeats;
    d.FirstAttempts = s.OtherFirstAttempts ? std::to_string(s.FirstAttempts) : "Disabled";
    d.MaxReturn = s.LimitDistanceFromFarthestRow ? std::to_string(s.DistanceFromFarthestRow) : "Disabled";
    d.TimeWithdrawals = s.GoBackAfterRowTime
                            ? std::to_string(s.RowsToGoBack) + " rows after " + std::to_string(s.SecondsOfOneRow) + " s"
                            : "Disabled";
    d.Freezer = s.FreezeCorrectFragments ? "Enabled, hp=" + std::to_string(s.FreezePoints) : "Disabled";
    d.BackupFile = TextAsShown(SettingRowOf("Lbackup"), s.BackupPath);
    return d;
}

// The squares of the rows above the start row as the current map shows them
// (the last used tile covering a square wins), for "Continue existing
// squares"; rows 0..start row - 1, the new map's width.
std::vector<MapSquare> GenerationRun::KeptRows() const {
    std::vector<MapSquare> kept(static_cast<std::size_t>(width_) * settings_.StartLine,
                                MapSquare{NoBitmap, NoBitmap, 0});
    for (const auto& tile : project_.UsedTiles)
        for (int r = 0; r < tile->Height; ++r)
            for (int c = 0; c < tile->Width; ++c) {
                const int x = tile->X + c, y = tile->Y + r;
                if (x < 0 || x >= width_ || y < 0 || y >= settings_.StartLine) continue;
                kept[static_cast<std::size_t>(y) * width_ + x] = tile->SqAt(c, r);
            }
    return kept;
}

// C. The map side of the project is made anew: one 1 x 1 used tile per
// square, the rows above the start row kept when asked.
void GenerationRun::NewMap() {
    std::vector<MapSquare> kept;
    const bool keep = settings_.ContinueExistingSquares && !project_.UsedTiles.empty();
    if (keep) kept = KeptRows();
    ResetProject(project_, ui_, ResetSides::Map, ResetRedraw::No);
    requests_.Clear();
    run_.Reset();
    threads_.CaughtErrors = 0;
    // The start row's time counts from here (the statistics show it before
    // the row loop first reaches a row).
    run_.RowTime = Now();
    ui_.setStatus("Generating map...");
    report_.ResetHeartbeat();
    report_.ResetCharts(width_ - 2 * BorderWidth, height_ - 2 * BorderWidth);
    report_.ShowStatistics(GenerationStatistics{});
    report_.ShowIfRequested();
    report_.ShowSettings(Describe());
    report_.ShowBackupSchedule(BackupDescription());
    if (!CreateMap(project_, ui_,
                   {.Width = width_,
                    .Height = height_,
                    .Multiplayer = settings_.Multiplayer,
                    .TileSetPath = std::nullopt,
                    .FillBitmap = NoBitmap,
                    .FillTile = std::nullopt}))
        throw Error("The new map could not be created.");
    if (keep)
        for (int y = 0; y < settings_.StartLine; ++y)
            for (int x = 0; x < width_; ++x) MapSq(x, y) = kept[static_cast<std::size_t>(y) * width_ + x];
    report_.MapRowsChanged(0, height_ - 1);
    run_.Row = settings_.StartLine;
    run_.LastRow = 0;
    run_.LocalAttempts = 0;
    run_.LocalAttemptsAtLastRepeat = 0;
    buffers_.LastProgressRow = 0;
    // A run keeps no squares of an earlier run to restore.
    buffers_.ClearOldSquares();
    run_.SnapshotRow = 0;
    dirtyFrom_ = BorderWidth;
    buffers_.ClearSubChains();
    threads_.ForgetSubChains();
    if (settings_.FreezeCorrectFragments) freezer_.Reset();
    run_.FirstLineAttempt = -1;
}

// D. One pass per attempt at the start row, until the map is complete or
// the run is stopped.
void GenerationRun::MainLoop() {
    while (!StopRequested()) {
        ++run_.FirstLineAttempt;
        run_.Failures = 0;
        if (settings_.SimplifiedFirstLine && run_.Row <= settings_.StartLine) {
            FirstLine();
            if (run_.Failures > 0) continue;
        }
        run_.Row = settings_.SimplifiedFirstLine ? settings_.StartLine + 1 : settings_.StartLine;
        report_.MapRowsChanged(settings_.StartLine, run_.Row);
        RowLoop();
        if (run_.Failures == 0 || StopRequested()) break;
    }
}

GenerateOutcome GenerationRun::Run() {
    if (!Ready()) return GenerateOutcome::NotReady;
    started_ = Now();
    stoppedAtTimeLimit_ = false;
    ReadSettings();
    // The threads are made when a row is first handed to them.
    if (stepped_) threads_.Stop();
    try {
        prep_ = std::make_unique<RowPreparer>(learned_, buffers_, rowSettings_);
        tables_ = std::make_unique<SearchTables>(learned_);
        threads_.Job.Tables = tables_.get();
        NewMap();
        MainLoop();
    } catch (const Error& e) {
        return Fail(e.what());
    } catch (const std::bad_alloc&) {
        return Fail("Not enough memory to generate the map.");
    }
    if (Terminated()) {
        threads_.Stop();
        ui_.message(ThreadsTerminatedCaption, ThreadsTerminatedText, Icon::Warning);
        End(GenerateOutcome::Terminated);
        return GenerateOutcome::Terminated;
    }
    const GenerateOutcome outcome = StopRequested() ? GenerateOutcome::Stopped : GenerateOutcome::Completed;
    End(outcome);
    return outcome;
}

// After an error the threads may be anywhere in a row: they are ended (and
// made again by the next run), so that nothing touches the sub-chains.
GenerateOutcome GenerationRun::Fail(const std::string& reason) {
    threads_.Stop();
    ui_.message("Error", reason, Icon::Error);
    End(GenerateOutcome::Failed);
    return GenerateOutcome::Failed;
}

void GenerationRun::End(GenerateOutcome outcome) {
    buffers_.ClearSubChains();
    threads_.ForgetSubChains();
    threads_.Job.Tables = nullptr;
    const std::string time = ElapsedText(Now() - started_);
    report_.RunEnded();
    if (outcome == GenerateOutcome::Completed) {
        run_.Row = height_ - 3;
        GenerationStatistics s = Statistics(GeneratorState::Idle);
        s.Percent = 100;
        report_.ResetHeartbeat();
        report_.ShowStatistics(s);
        ui_.setStatus("Map generated in " + std::to_string(run_.FirstLineAttempt) +
                      " attempt. Generating time: " + time);
        return;
    }
    if (project_.UsedTiles.size() == static_cast<std::size_t>(width_) * height_ && width_ > 0) Restore();
    report_.MapRowsChanged(0, height_ - 1);
    report_.ResetHeartbeat();
    report_.SetGeneratorState(GeneratorState::Idle);
    const char* why = outcome == GenerateOutcome::Failed ? "Map generator stopped by an error."
                      : stoppedAtTimeLimit_                ? "Map generator stopped: time limit reached."
                                                           : "Map generator stopped by user.";
    ui_.setStatus(why + std::string(" Generating time: ") + time);
}

}  // namespace zorvane
