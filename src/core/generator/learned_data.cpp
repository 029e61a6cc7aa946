#include "generator/learned_data.h"

#include <algorithm>

#include "platform/file_io.h"

namespace zorvane {

std::string LearnEntryText(const LearnEntry& entry) {
    std::string text = ExtractFileName(entry.Path) + " [multi=" + std::to_string(entry.Multiplier) + "]";
    if (entry.Connector) text += " [connector]";
    return text;
}

void LearnedData::ListFull(int square, JoinDir dir) {
    throw ListFullError("The " + std::string(dir == JoinDir::Down ? "Down" : "Right") + " list of learned square " +
                        std::to_string(square) + " would hold more than " + std::to_string(MaxListEntries) +
                        " entries.");
}

int LearnedData::FindSq(std::uint16_t gnd, std::uint16_t top) const {
    auto it = byBitmaps_.find(BitmapKey(gnd, top));
    return it == byBitmaps_.end() ? -1 : it->second;
}

int LearnedData::FindOrAddSq(std::uint16_t gnd, std::uint16_t top, std::uint8_t atr) {
    auto [it, inserted] = byBitmaps_.try_emplace(BitmapKey(gnd, top), SquareCount());
    if (inserted) {
        LearnedSquare sq;
        sq.Gnd = gnd;
        sq.Top = top;
        sq.Atr = atr;
        squares_.push_back(std::move(sq));
        canonical_.push_back(it->second);
    }
    return it->second;
}

std::vector<std::int32_t>& LearnedData::MutableList(int square, JoinDir dir) {
    LearnedSquare& s = squares_[static_cast<std::size_t>(square)];
    return dir == JoinDir::Down ? s.Down : s.Right;
}

int LearnedData::CountInList(int square, JoinDir dir, int neighbour) const {
    auto it = copies_.find(CountKey(square, dir, canonical_[static_cast<std::size_t>(neighbour)]));
    return it == copies_.end() ? 0 : it->second;
}

int LearnedData::AddJoin(int square, JoinDir dir, int neighbour, int weight) {
    const int missing = weight - std::min(CountInList(square, dir, neighbour), weight);
    if (missing > 0) AppendCopies(square, dir, neighbour, missing);
    return std::max(missing, 0);
}

void LearnedData::AppendCopies(int square, JoinDir dir, int neighbour, int copies) {
    if (copies <= 0) return;
    auto& list = MutableList(square, dir);
    if (list.size() + static_cast<std::size_t>(copies) > static_cast<std::size_t>(MaxListEntries))
        ListFull(square, dir);
    list.insert(list.end(), static_cast<std::size_t>(copies), neighbour);
    copies_[CountKey(square, dir, canonical_[static_cast<std::size_t>(neighbour)])] += copies;
    JoinsCount += copies;
}

void LearnedData::ClearLearned() {
    squares_.clear();
    byBitmaps_.clear();
    canonical_.clear();
    copies_.clear();
    ObjSize.clear();
    ObjStarts.clear();
    ObjMembers.clear();
    LargestObject = 0;
    TallestObject = 0;
    JoinsCount = 0;
    Counts.Clear();
}

void LearnedData::SetSquares(std::vector<LearnedSquare> squares) {
    squares_ = std::move(squares);
    RebuildIndexes();
}

void LearnedData::RebuildIndexes() {
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

std::int32_t LearnedData::ObjectSizeOf(int square) const {
    if (square < 0 || static_cast<std::size_t>(square) >= ObjSize.size()) return 0;
    return ObjSize[static_cast<std::size_t>(square)];
}

}  // namespace zorvane
