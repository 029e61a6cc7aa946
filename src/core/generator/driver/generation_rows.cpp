// The row loop: preparing each row below the start row, computing it with
// the threads, writing it, and going back rows by the schedule of repeats
// when it cannot be completed; snapshots, restores and backups.

#include <algorithm>
#include <cmath>

#include "commands/save_commands.h"
#include "generator/driver/generation_run.h"
#include "model/layered_file.h"

namespace zorvane {

MapSquare& GenerationRun::MapSq(int column, int row) {
    // The new map holds one 1 x 1 used tile per square, row by row.
    if (project_.UsedTiles.size() != static_cast<std::size_t>(width_) * height_)
        throw Error("The map was changed while it was being generated.");
    return project_.UsedTiles[static_cast<std::size_t>(row) * width_ + column]->Sq.front();
}

int GenerationRun::LearnedAt(int column, int row) {
    const MapSquare& q = MapSq(column, row);
    return learned_.FindSq(q.Gnd, q.Top);
}

std::vector<MapSquare> GenerationRun::MapRow(int row) {
    std::vector<MapSquare> out;
    out.reserve(static_cast<std::size_t>(width_));
    for (int x = 0; x < width_; ++x) out.push_back(MapSq(x, row));
    return out;
}

std::string GenerationRun::ProgressText() const {
    return "Generating map... " + std::to_string(run_.Row * 100 / height_) + "% " +
           ElapsedText(Now() - started_);
}

GenerationStatistics GenerationRun::Statistics(GeneratorState state) {
    GenerationStatistics s;
    const auto now = Now();
    s.State = state;
    s.Percent = std::floor(100.0 * run_.Row / height_);
    s.TopCLAavg = topCLAavg_;
    s.Lfavg = lfavg_;
    s.Favg = favg_;
    s.ThreadErrors = threads_.CaughtErrors.load();
    s.LastCLA = lastCLA_;
    std::int32_t weakest = -1;
    for (int i = 0; i < buffers_.SubChainCount; ++i) {
        const SubChainRecord& sc = buffers_.SubChains[static_cast<std::size_t>(i)];
        const std::int32_t variants = sc.VariantCount.load(std::memory_order_relaxed);
        s.SubChainVariants += variants;
        if (weakest >= 0 && variants >= weakest) continue;
        weakest = variants;
        s.WeakestOptions = variants;
        s.WeakestLeft = sc.start + BorderWidth;
        s.WeakestRight = (i + 1 < buffers_.SubChainCount ? buffers_.SubChains[static_cast<std::size_t>(i) + 1].start
                                               : buffers_.SubChainBorders.empty() ? sc.start : buffers_.SubChainBorders.back()) +
                         BorderWidth;
    }
    s.LocalAttempt = run_.LocalAttempts;
    s.FirstLineAttempt = run_.FirstLineAttempt;
    s.CurrentRow = std::max(run_.Row, 2);
    s.RunningThreads = threads_.Flags.RunningThreads.load();
    s.RowTime = now - run_.RowTime;
    s.Elapsed = now - started_;
    return s;
}

void GenerationRun::ShowProgress(GeneratorState state) {
    ui_.setStatus(ProgressText());
    report_.AdvanceHeartbeat(threads_.TakeActivity());
    report_.ShowStatistics(Statistics(state));
    lastStats_ = Clock::now();
}

// Lets pending window messages run, so that the keys reach the run, and
// does what they ask that is not read elsewhere.
void GenerationRun::Poll() {
    ui_.processEvents();
    lastPoll_ = Clock::now();
    const auto now = Now();
    if (requests_.ResetRequest.exchange(false)) {
        run_.LocalAttempts = 0;
        run_.RowTime = now;
    }
    if (options_.TimeLimit && now - started_ >= *options_.TimeLimit && !requests_.StopRequest) {
        stoppedAtTimeLimit_ = true;
        requests_.StopRequest = true;
    }
}

void GenerationRun::RowLoop() {
    while (run_.Row <= height_ - 3) {
        if (StopRequested()) return;
        if (settings_.LimitDistanceFromFarthestRow) {
            if (run_.Row < run_.FloorRow) {
                run_.Row = run_.FloorRow;
                run_.Reuse = false;
            }
            const int farthest = settings_.DistanceFromFarthestRow;
            if (run_.Row >= run_.FloorRow + farthest) run_.FloorRow = run_.Row - farthest;
        }
        if (run_.Row == run_.LastRow) {
            ++consecutive_;
        } else {
            consecutive_ = 0;
            run_.RowTime = Now();
        }
        sinceCompletion_ = run_.LastRow < run_.Row ? 0 : sinceCompletion_ + 1;
        run_.LastRow = run_.Row;
        run_.FarthestRow = std::max(run_.FarthestRow, run_.Row);
        ShowProgress(GeneratorState::Line);
        Poll();
        if (run_.Reuse) {
            Reprepare();
        } else if (!PrepareRow()) {
            if (DeadRow()) return;
            continue;
        }
        if (ComputeRow())
            RowCompleted();
        else if (RowFailed())
            return;
    }
}

// F.4. Another local attempt at the row with its sub-chains. A sub-chain
// searched again is no longer narrowed to the link squares its left
// neighbour had when it was done: the neighbour may find others now, and
// the linker focuses it anew from all of them.
void GenerationRun::Reprepare() {
    prep_->Reprepare(buffers_.Rng);
    for (int i = 0; i < buffers_.SubChainCount; ++i) {
        SubChainRecord& sc = buffers_.SubChains[static_cast<std::size_t>(i)];
        if (sc.Done.load()) continue;
        sc.Restricted = false;
        sc.Focus.clear();
    }
    threads_.ReserveVariants();
}

// F.5 - F.7. False when some column pair has no pairs.
bool GenerationRun::PrepareRow() {
    run_.FailingColumn = -1;
    const int columns = width_ - 2 * BorderWidth;
    std::vector<std::int32_t> above(static_cast<std::size_t>(columns));
    for (int c = 0; c < columns; ++c) above[static_cast<std::size_t>(c)] = LearnedAt(c + BorderWidth, run_.Row - 1);
    prep_->BuildColumnCandidates(above, buffers_.Rng);
    prep_->BuildColumnJoins(run_.Row, buffers_.Rng);
    smallestPairs_ = prep_->SmallestPairCount();
    if (smallestPairs_ == 0) return false;
    prep_->SplitIntoSubChains();
    threads_.ForgetSubChains();
    if (settings_.FreezeCorrectFragments && freezer_.Told())
        freezer_.Place(learned_, buffers_, MapRow(run_.Row), settings_.FreezePoints);
    threads_.ReserveVariants();
    return true;
}

// F.6. A row with a dead column pair is a failed local attempt; true when
// the run went back to the start row.
bool GenerationRun::DeadRow() {
    ++run_.Failures;
    std::int32_t back = Decide();
    if (back == 0 && settings_.ReduceLocalAttempts)
        back = SkipToScheduledRepeat(run_, buffers_.LastProgressRow, rules_, run_.Row);
    GoBack(back);
    if (run_.Row <= settings_.StartLine) {
        run_.RowTime = Now();
        return true;
    }
    if (settings_.FreezeCorrectFragments) freezer_.Reset();
    return false;
}

// With occurrence counts every local attempt orders the row's lists by the
// same likelihoods: the search looks first where it looked before, and a
// row that failed a few times that way keeps failing (the rows above leave
// it no likely way through). The run then goes back at once, as the
// schedule would after many more attempts; a row above made anew mostly
// lets it through.
bool GenerationRun::HopelessWithCounts() const {
    return prep_->FavoursFrequent() && consecutive_ + 1 >= kLocalAttemptsWithCounts;
}

std::int32_t GenerationRun::Decide() {
    return ScheduledRepeat(run_, buffers_.LastProgressRow, rules_, run_.Row, requests_.ManualRepeat.exchange(0));
}

void GenerationRun::GoBack(int rows) { run_.Row -= rows; }

// F.9.
void GenerationRun::RowCompleted() {
    run_.Reuse = false;
    if (settings_.FreezeCorrectFragments) freezer_.RowDone(buffers_);
    WriteRow();
    BackupIfDue();
    if (run_.Row > run_.SnapshotRow) {
        TakeSnapshot();
        run_.SnapshotRow = run_.Row;
    }
    run_.Failures = 0;
    const int first = run_.Row - (settings_.SimplifiedFirstLine && run_.Row == settings_.StartLine + 1 ? 2 : 1);
    report_.MapRowsChanged(std::max(first, 0), std::min(run_.Row + 1, height_ - 1));
    ++run_.Row;
    if (settings_.ReduceLocalAttempts) run_.LocalAttempts = run_.LocalAttemptsAtLastRepeat;
    lastCLA_ = consecutive_;
    favg_ = 0.9 * favg_ + 0.1 * consecutive_;
    lfavg_ = 0.9 * lfavg_ + 0.1 * sinceCompletion_;
    topCLAavg_ = consecutive_ > topCLAavg_ ? consecutive_ : 0.9 * topCLAavg_ + 0.1 * consecutive_;
}

// F.10. True when the run went back to the start row.
bool GenerationRun::RowFailed() {
    if (run_.Row > run_.SnapshotRow) {
        TakeSnapshot();
        run_.SnapshotRow = run_.Row;
    }
    ++run_.Failures;
    if (run_.Row < run_.SnapshotRow && StopRequested()) Restore();
    const std::int32_t manual = requests_.ManualRepeat.exchange(0);
    if (manual > 0) {
        for (int i = 0; i < buffers_.SubChainCount; ++i) {
            buffers_.SubChains[static_cast<std::size_t>(i)].Done = true;
            buffers_.SubChains[static_cast<std::size_t>(i)].Exhausted = true;
        }
        if (run_.Row - manual < run_.FloorRow) run_.FloorRow = std::max(run_.Row - manual, settings_.StartLine);
    }
    std::int32_t answer = ScheduledRepeat(run_, buffers_.LastProgressRow, rules_, run_.Row, manual);
    if (answer == 0 && manual == 0 && HopelessWithCounts())
        answer = SkipToScheduledRepeat(run_, buffers_.LastProgressRow, rules_, run_.Row);
    std::int32_t back = answer;
    if (back == 0 && run_.TimedOut) back = std::max(0, std::min(settings_.RowsToGoBack, run_.Row - run_.FloorRow));
    run_.Reuse = back == 0;
    GoBack(back);
    if (settings_.LimitDistanceFromFarthestRow && run_.Row <= run_.FloorRow) {
        run_.Row = run_.FloorRow;
        run_.Reuse = false;
    }
    // A time-out acted on starts a new series of attempts. Mostly the run
    // went back and reaches the row anew; at the floor row it stays, and
    // without this every later attempt there would be out of time at once.
    if (run_.TimedOut) run_.RowTime = Now();
    if (run_.Row <= settings_.StartLine) {
        run_.RowTime = Now();
        return true;
    }
    if (settings_.FreezeCorrectFragments && !run_.TimedOut) freezer_.RowFailed(buffers_);
    if (answer == 0) run_.TimedOut = false;
    return false;
}

// The chosen variant of every sub-chain, without its last two columns
// (the next sub-chain's first ones), the last one whole.
void GenerationRun::WriteRow() {
    const int n = buffers_.SubChainCount;
    for (int i = 0; i < n; ++i) {
        const SubChainRecord& sc = buffers_.SubChains[static_cast<std::size_t>(i)];
        const auto& v = sc.Variants[static_cast<std::size_t>(buffers_.Chosen[static_cast<std::size_t>(i)].load())];
        const int own = i + 1 < n ? sc.Len - 2 : sc.Len;
        for (int k = 0; k < own; ++k) {
            const LearnedSquare& sq = learned_.Sq(v[static_cast<std::size_t>(k)]);
            MapSq(sc.start + k + BorderWidth, run_.Row) = MapSquare{sq.Gnd, sq.Top, sq.Atr};
        }
    }
    dirtyFrom_ = std::min(dirtyFrom_, run_.Row);
}

namespace {

// A square of the new map that no row written has reached: no bitmaps and
// the attribute of an inner square.
constexpr MapSquare kUngenerated{NoBitmap, NoBitmap, 0};
// Its entry in the snapshot. It is not the empty square (attribute 3),
// which a lookup of its bitmaps would give: restored as that, the blank
// farthest row and the rows above the start row would differ from the
// blank rows below.
constexpr std::int32_t kUngeneratedEntry = -2;

}  // namespace

// The snapshot holds every inner square up to the row being taken. Rows
// below it have not been written since the last snapshot (that row was the
// farthest), nor have rows above the first one written since; so only the
// rows from that one (or the row after the last snapshot) are taken.
void GenerationRun::TakeSnapshot() {
    const int first = std::max(BorderWidth, std::min(dirtyFrom_, run_.SnapshotRow + 1));
    for (int y = first; y <= std::min(run_.Row, height_ - BorderWidth - 1); ++y)
        for (int x = BorderWidth; x < width_ - BorderWidth; ++x)
            buffers_.OldSquare(x, y) = MapSq(x, y) == kUngenerated ? kUngeneratedEntry : LearnedAt(x, y);
    dirtyFrom_ = INT32_MAX;
}

// The map as the snapshot holds it. Before the first snapshot the start row
// is all there is: built square by square, it may have been left part-way
// (a stop, or no square fitting somewhere, leaves the squares right of that
// point as an earlier attempt had them); unless it is whole and every
// square fits its neighbours, it goes back to never generated.
void GenerationRun::Restore() {
    for (int y = BorderWidth; y < height_ - BorderWidth; ++y)
        for (int x = BorderWidth; x < width_ - BorderWidth; ++x) {
            const std::int32_t s = buffers_.OldSquare(x, y);
            if (s == kUngeneratedEntry) MapSq(x, y) = kUngenerated;
            if (s < 0 || s >= learned_.SquareCount()) continue;
            const LearnedSquare& sq = learned_.Sq(s);
            MapSq(x, y) = MapSquare{sq.Gnd, sq.Top, sq.Atr};
        }
    if (tables_ && !StartRowSound())
        for (int x = BorderWidth; x < width_ - BorderWidth; ++x) MapSq(x, settings_.StartLine) = kUngenerated;
    dirtyFrom_ = BorderWidth;
}

// I. Backups every so many rows, and the completed map.
void GenerationRun::BackupIfDue() {
    const bool due = (settings_.Backup && run_.Row == nextBackupRow_) ||
                     (settings_.SaveCompletedMap && run_.Row == height_ - 3);
    if (!due || CheckBackupDir(settings_.BackupPath)) return;
    report_.SetGeneratorState(GeneratorState::Saving);
    SaveZLFile(project_, ui_, settings_.BackupPath);
    nextBackupRow_ = run_.Row + settings_.BackupEveryLines;
    if (settings_.SaveCompletedMap) nextBackupRow_ = std::min(nextBackupRow_, height_ - 3);
    report_.ShowBackupSchedule(BackupDescription());
}

}  // namespace zorvane
