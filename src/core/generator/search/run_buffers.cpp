#include "generator/search/run_buffers.h"

#include <algorithm>
#include <string>
#include <unordered_map>

#include "platform/error.h"

namespace zorvane {

namespace {

constexpr int kOldSquaresSide = MaxRowColumns;  // map columns and rows 2..203
constexpr int kOldSquaresFirst = BorderWidth;

}  // namespace

void SubChainRecord::Clear() {
    Busy = false;
    Owner = -1;
    Len = 0;
    MaxVariants = 0;
    VariantCount = 0;
    Tries = 0;
    Done = false;
    Exhausted = false;
    Pairs.clear();
    PairCounts.clear();
    Variants.clear();
    Cursor.clear();
    Below.clear();
    Focus.clear();
    Restricted = false;
    LookAhead.clear();
    Frozen = false;
    FreezePoints = 0;
    start = 0;
}

void RunState::Reset() {
    LocalAttempts = 0;
    LocalAttemptsAtLastRepeat = 0;
    Row = 0;
    FarthestRow = 0;
    FloorRow = 0;
    LastRow = 0;
    SnapshotRow = 0;
    FirstLineAttempt = -1;
    Failures = 0;
    FailingColumn = -1;
    ApprovalAttempts = 0;
    Approved.fill(false);
    ManualRepeat = 0;
    Reuse = false;
    TimedOut = false;
    RowTime = {};
}

RunBuffers::RunBuffers() { ClearOldSquares(); }

void RunBuffers::LoadCandidates(const LearnedData& learned, int square, JoinDir dir, std::vector<std::int32_t>& out) {
    out.clear();
    if (square < 0) {
        // A random entry of the list of a random square (the empty square,
        // last, left out), drawn until one is found.
        const int pool = learned.SquareCount() - 1;
        bool any = false;
        for (int i = 0; i < pool && !any; ++i) any = !learned.List(i, dir).empty();
        if (!any) return;
        std::uniform_int_distribution<int> pick(0, pool - 1);
        for (;;) {
            const auto& list = learned.List(pick(Rng), dir);
            if (list.empty()) continue;
            std::uniform_int_distribution<std::size_t> entry(0, list.size() - 1);
            square = list[entry(Rng)];
            break;
        }
    }
    const auto& list = learned.List(square, dir);
    if (list.size() > static_cast<std::size_t>(MaxListEntries)) LearnedData::ListFull(square, dir);
    out.assign(list.begin(), list.end());
}

void RunBuffers::LoadCandidatesFromAbove(const LearnedData& learned, int square) {
    LoadCandidates(learned, square, JoinDir::Down, CandidatesFromAbove);
}
void RunBuffers::LoadCandidatesFromLeft(const LearnedData& learned, int square) {
    LoadCandidates(learned, square, JoinDir::Right, CandidatesFromLeft);
}

void RunBuffers::IntersectCandidates() {
    // Length of the first run of every index in CandidatesFromAbove.
    std::unordered_map<std::int32_t, std::size_t> firstRun;
    for (std::size_t i = 0; i < CandidatesFromAbove.size();) {
        std::size_t j = i;
        while (j < CandidatesFromAbove.size() && CandidatesFromAbove[j] == CandidatesFromAbove[i]) ++j;
        firstRun.try_emplace(CandidatesFromAbove[i], j - i);
        i = j;
    }
    CandidatesFromBoth.clear();
    for (std::size_t i = 0; i < CandidatesFromLeft.size();) {
        std::size_t j = i;
        while (j < CandidatesFromLeft.size() && CandidatesFromLeft[j] == CandidatesFromLeft[i]) ++j;
        auto it = firstRun.find(CandidatesFromLeft[i]);
        if (it != firstRun.end())
            CandidatesFromBoth.insert(CandidatesFromBoth.end(), std::min(j - i, it->second), CandidatesFromLeft[i]);
        i = j;
    }
}

std::int32_t& RunBuffers::OldSquare(int mapColumn, int mapRow) {
    return oldSquares_[static_cast<std::size_t>(mapRow - kOldSquaresFirst) * kOldSquaresSide +
                       static_cast<std::size_t>(mapColumn - kOldSquaresFirst)];
}

std::int32_t RunBuffers::OldSquare(int mapColumn, int mapRow) const {
    return oldSquares_[static_cast<std::size_t>(mapRow - kOldSquaresFirst) * kOldSquaresSide +
                       static_cast<std::size_t>(mapColumn - kOldSquaresFirst)];
}

void RunBuffers::ClearOldSquares() {
    oldSquares_.assign(static_cast<std::size_t>(kOldSquaresSide) * kOldSquaresSide, -1);
}

void RunBuffers::PrepareRowBuffers(int columns) {
    if (columns < 1 || columns > MaxRowColumns)
        throw Error("A row of " + std::to_string(columns) + " columns is beyond the generator's " +
                    std::to_string(MaxRowColumns) + ".");
    ColumnCandidates.resize(static_cast<std::size_t>(columns));
    for (auto& c : ColumnCandidates) c.clear();
    ColumnPairJoins.resize(static_cast<std::size_t>(columns - 1));
    for (auto& j : ColumnPairJoins) j.clear();
    EliminatedJoins.resize(static_cast<std::size_t>(columns - 1));
    for (auto& o : EliminatedJoins) o.clear();
    LastColumn = columns - 1;
}

void RunBuffers::ClearSubChains() {
    for (auto& sc : SubChains) sc.Clear();
    SubChainCount = 0;
    SubChainBorders.clear();
    for (auto& c : Chosen) c = 0;
}

}  // namespace zorvane
