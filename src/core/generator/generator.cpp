#include "generator/generator.h"

#include <algorithm>

#include "platform/file_io.h"

namespace zorvane {

namespace {

constexpr int kOldSquaresSide = MaxRowColumns;  // map columns and rows 2..203
constexpr int kOldSquaresFirst = BorderWidth;

[[noreturn]] void ListFull(int square, JoinDir dir) {
    throw ListFullError("The " + std::string(dir == JoinDir::Down ? "Down" : "Right") + " list of learned square " +
                        std::to_string(square) + " would hold more than " + std::to_string(MaxListEntries) +
                        " entries.");
}

}  // namespace

std::string LearnEntryText(const TLearnEntry& entry) {
    std::string text = ExtractFileName(entry.Path) + " [multi=" + std::to_string(entry.Multiplier) + "]";
    if (entry.Connector) text += " [connector]";
    return text;
}

void TSubChain::Clear() {
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
    sqlines.clear();
    Cursor.clear();
    Below.clear();
    Focus.clear();
    Restricted = false;
    LookAhead.clear();
    Frozen = false;
    hp = 0;
    start = 0;
}

void TRunState::Reset() {
    CLA = 0;
    LastRepeatCLA = 0;
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
    StopRequest = false;
    Terminate = false;
    CaughtErrors = 0;
}

TMapGenerator::TMapGenerator() {
    for (int k = 0; k < WorkerSlots; ++k) ThrFields[static_cast<std::size_t>(k)].Id = k;
    ClearOldSquares();
}

int TMapGenerator::FindSq(std::uint16_t gnd, std::uint16_t top) const {
    auto it = byBitmaps_.find(BitmapKey(gnd, top));
    return it == byBitmaps_.end() ? -1 : it->second;
}

int TMapGenerator::FindOrAddSq(std::uint16_t gnd, std::uint16_t top, std::uint8_t atr) {
    auto [it, inserted] = byBitmaps_.try_emplace(BitmapKey(gnd, top), SquareCount());
    if (inserted) {
        TSqMatch sq;
        sq.Gnd = gnd;
        sq.Top = top;
        sq.Atr = atr;
        squares_.push_back(std::move(sq));
        canonical_.push_back(it->second);
    }
    return it->second;
}

std::vector<std::int32_t>& TMapGenerator::MutableList(int square, JoinDir dir) {
    TSqMatch& s = squares_[static_cast<std::size_t>(square)];
    return dir == JoinDir::Down ? s.Down : s.Right;
}

int TMapGenerator::CountInList(int square, JoinDir dir, int neighbour) const {
    auto it = copies_.find(CountKey(square, dir, canonical_[static_cast<std::size_t>(neighbour)]));
    return it == copies_.end() ? 0 : it->second;
}

int TMapGenerator::AddJoin(int square, JoinDir dir, int neighbour, int weight) {
    const int missing = weight - std::min(CountInList(square, dir, neighbour), weight);
    if (missing > 0) AppendCopies(square, dir, neighbour, missing);
    return std::max(missing, 0);
}

void TMapGenerator::AppendCopies(int square, JoinDir dir, int neighbour, int copies) {
    if (copies <= 0) return;
    auto& list = MutableList(square, dir);
    if (list.size() + static_cast<std::size_t>(copies) > static_cast<std::size_t>(MaxListEntries))
        ListFull(square, dir);
    list.insert(list.end(), static_cast<std::size_t>(copies), neighbour);
    copies_[CountKey(square, dir, canonical_[static_cast<std::size_t>(neighbour)])] += copies;
    JoinsCount += copies;
}

void TMapGenerator::ClearLearned() {
    squares_.clear();
    byBitmaps_.clear();
    canonical_.clear();
    copies_.clear();
    ObjSize.clear();
    ObjStarts.clear();
    ObjMembers.clear();
    LargestObject = 0;
    TallestObject = 0;
    ConnectorGroups.clear();
    JoinsCount = 0;
}

void TMapGenerator::SetSquares(std::vector<TSqMatch> squares) {
    squares_ = std::move(squares);
    RebuildIndexes();
}

void TMapGenerator::RebuildIndexes() {
    byBitmaps_.clear();
    canonical_.clear();
    copies_.clear();
    JoinsCount = 0;
    for (int i = 0; i < SquareCount(); ++i)
        canonical_.push_back(byBitmaps_.try_emplace(BitmapKey(Sq(i).Gnd, Sq(i).Top), i).first->second);
    for (int i = 0; i < SquareCount(); ++i) {
        for (JoinDir dir : {JoinDir::Down, JoinDir::Right}) {
            for (std::int32_t e : List(i, dir)) {
                if (e < 0 || e >= SquareCount())
                    throw Error("Learned square " + std::to_string(i) + " names square " + std::to_string(e) +
                                ", which does not exist.");
                ++copies_[CountKey(i, dir, canonical_[static_cast<std::size_t>(e)])];
            }
            JoinsCount += static_cast<std::int64_t>(List(i, dir).size());
        }
    }
}

std::int32_t TMapGenerator::ObjectSizeOf(int square) const {
    if (square < 0 || static_cast<std::size_t>(square) >= ObjSize.size()) return 0;
    return ObjSize[static_cast<std::size_t>(square)];
}

void TMapGenerator::LoadCandidates(int square, JoinDir dir, std::vector<std::int32_t>& out) {
    out.clear();
    if (square < 0) {
        // A random entry of the list of a random square (the empty square,
        // last, left out), drawn until one is found.
        const int pool = SquareCount() - 1;
        bool any = false;
        for (int i = 0; i < pool && !any; ++i) any = !List(i, dir).empty();
        if (!any) return;
        std::uniform_int_distribution<int> pick(0, pool - 1);
        for (;;) {
            const auto& list = List(pick(Rng), dir);
            if (list.empty()) continue;
            std::uniform_int_distribution<std::size_t> entry(0, list.size() - 1);
            square = list[entry(Rng)];
            break;
        }
    }
    const auto& list = List(square, dir);
    if (list.size() > static_cast<std::size_t>(MaxListEntries)) ListFull(square, dir);
    out.assign(list.begin(), list.end());
}

void TMapGenerator::LoadCandAbove(int square) { LoadCandidates(square, JoinDir::Down, CandAbove); }
void TMapGenerator::LoadCandLeft(int square) { LoadCandidates(square, JoinDir::Right, CandLeft); }

void TMapGenerator::IntersectCandidates() {
    // Length of the first run of every index in CandAbove.
    std::unordered_map<std::int32_t, std::size_t> firstRun;
    for (std::size_t i = 0; i < CandAbove.size();) {
        std::size_t j = i;
        while (j < CandAbove.size() && CandAbove[j] == CandAbove[i]) ++j;
        firstRun.try_emplace(CandAbove[i], j - i);
        i = j;
    }
    CandBoth.clear();
    for (std::size_t i = 0; i < CandLeft.size();) {
        std::size_t j = i;
        while (j < CandLeft.size() && CandLeft[j] == CandLeft[i]) ++j;
        auto it = firstRun.find(CandLeft[i]);
        if (it != firstRun.end()) CandBoth.insert(CandBoth.end(), std::min(j - i, it->second), CandLeft[i]);
        i = j;
    }
}

std::int32_t& TMapGenerator::OldSquare(int mapColumn, int mapRow) {
    return oldSquares_[static_cast<std::size_t>(mapRow - kOldSquaresFirst) * kOldSquaresSide +
                       static_cast<std::size_t>(mapColumn - kOldSquaresFirst)];
}

std::int32_t TMapGenerator::OldSquare(int mapColumn, int mapRow) const {
    return oldSquares_[static_cast<std::size_t>(mapRow - kOldSquaresFirst) * kOldSquaresSide +
                       static_cast<std::size_t>(mapColumn - kOldSquaresFirst)];
}

void TMapGenerator::ClearOldSquares() {
    oldSquares_.assign(static_cast<std::size_t>(kOldSquaresSide) * kOldSquaresSide, -1);
}

void TMapGenerator::PrepareRowBuffers(int columns) {
    if (columns < 1 || columns > MaxRowColumns)
        throw Error("A row of " + std::to_string(columns) + " columns is beyond the generator's " +
                    std::to_string(MaxRowColumns) + ".");
    ColCands.resize(static_cast<std::size_t>(columns));
    for (auto& c : ColCands) c.clear();
    ColJoins.resize(static_cast<std::size_t>(columns - 1));
    for (auto& j : ColJoins) j.clear();
    ColJoinOff.resize(static_cast<std::size_t>(columns - 1));
    for (auto& o : ColJoinOff) o.clear();
    LastColumn = columns - 1;
}

void TMapGenerator::ClearSubChains() {
    for (auto& sc : SC) sc.Clear();
    SCCount = 0;
    SCBorders.clear();
    for (auto& c : Chosen) c = 0;
}

}  // namespace zorvane
