#pragma once
// What the map generator has learned: the learned squares with their
// neighbour lists, the joins counter and the object tables. Learning fills
// it, the generator data file stores it, generation only reads it.
//
// For the generator a square is the pair (ground id, top id); the attribute
// rides along (the first one met). Learned squares are numbered from 0 in the
// order first met; that number, the square index, is what every other table
// holds. Each learned square keeps two weighted neighbour lists, `Down` and
// `Right`: plain arrays in which a square index standing k times has weight
// k, so a weighted random choice is one uniform index.
//
// After learning the last learned square is the empty square (no ground, no
// top, attribute 3), whose lists name every other square: it stands for map
// squares without a learned counterpart, such as the borders of a new map.
//
// Lookups that the data defines as scans from index 0 (a square by its
// bitmaps, the copies of a neighbour in a list) go through hash indexes that
// give exactly the scan's answer.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "generator/occurrence_counts.h"
#include "model/project.h"

namespace zorvane {

// A neighbour list, a candidate list and a column pair's list of pairs hold
// at most MaxListEntries entries; whatever would grow beyond is refused with
// ListFullError.
inline constexpr int MaxListEntries = 65536;
inline constexpr int MinMultiplier = 1;
inline constexpr int MaxMultiplier = 100;

// A list that would hold more than MaxListEntries entries.
class ListFullError : public Error {
public:
    using Error::Error;
};

// One learned square.
struct LearnedSquare {
    std::uint16_t Gnd = NoBitmap;
    std::uint16_t Top = NoBitmap;
    std::uint8_t Atr = 0;
    std::vector<std::int32_t> Down;   // squares that may stand directly below
    std::vector<std::int32_t> Right;  // squares that may stand directly to the right
};

// One entry of the learning list.
struct LearnEntry {
    std::string Path;        // full path of the map project
    int Multiplier = 1;      // 1..100: the weight of every join learned from it
    bool Connector = false;  // its inner squares are interchangeable
};

// The list box line of a learning list entry: file name + " [multi=" +
// multiplier + "]" + (" [connector]").
std::string LearnEntryText(const LearnEntry& entry);

class LearnedData {
public:
    bool Learned = false;         // learning or loading completed
    std::int64_t JoinsCount = 0;  // entries ever added to the neighbour lists
    OccurrenceCounts Counts;      // kept when learning counts occurrences; empty otherwise

    const std::vector<LearnedSquare>& Squares() const { return squares_; }
    int SquareCount() const { return static_cast<int>(squares_.size()); }
    const LearnedSquare& Sq(int index) const { return squares_[static_cast<std::size_t>(index)]; }
    const std::vector<std::int32_t>& List(int index, JoinDir dir) const {
        const LearnedSquare& s = Sq(index);
        return dir == JoinDir::Down ? s.Down : s.Right;
    }
    // The empty square: the last learned square (-1 with none).
    int EmptySquare() const { return SquareCount() - 1; }
    // Learned, with at least one learned square: generation may run.
    bool Ready() const { return Learned && !squares_.empty(); }

    // The first learned square with these bitmaps, or -1.
    int FindSq(std::uint16_t gnd, std::uint16_t top) const;
    // FindSq, appending a new square (with this attribute) when there is none.
    int FindOrAddSq(std::uint16_t gnd, std::uint16_t top, std::uint8_t atr);

    // Adds the join with weight w: the list gets as many more copies of the
    // neighbour as it lacks to hold w of them (squares compared by their
    // bitmaps); returns the number appended (also added to JoinsCount).
    int AddJoinDown(int square, int neighbour, int weight) { return AddJoin(square, JoinDir::Down, neighbour, weight); }
    int AddJoinRight(int square, int neighbour, int weight) { return AddJoin(square, JoinDir::Right, neighbour, weight); }
    int AddJoin(int square, JoinDir dir, int neighbour, int weight);
    // Appends `copies` copies of the neighbour (connector processing and
    // finishing) and adds them to JoinsCount.
    void AppendCopies(int square, JoinDir dir, int neighbour, int copies);
    // How many entries of the list name a square with the neighbour's bitmaps.
    int CountInList(int square, JoinDir dir, int neighbour) const;

    // Empties the learned squares with their lists, the object tables and
    // the occurrence counts; JoinsCount 0. `Learned` stays.
    void ClearLearned();
    // Takes over a complete set of learned squares (the data file reader);
    // JoinsCount becomes the number of list entries.
    void SetSquares(std::vector<LearnedSquare> squares);

    // --- Object tables (learning's "relationships 1 to 1") -------------------
    std::vector<std::int32_t> ObjSize;    // per learned square: size of its object (0 for connector squares)
    std::vector<std::int32_t> ObjStarts;  // per object: its highest member
    std::vector<std::vector<std::int32_t>> ObjMembers;  // per object, members in the order reached
    std::int32_t LargestObject = 0;
    std::int32_t TallestObject = 0;
    // Object size of a square, 0 for an index the table does not cover.
    std::int32_t ObjectSizeOf(int square) const;

    // Refuses a list that would hold more than MaxListEntries entries.
    [[noreturn]] static void ListFull(int square, JoinDir dir);

private:
    static std::uint64_t CountKey(int square, JoinDir dir, int canonical) {
        return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(square)) << 33) |
               (static_cast<std::uint64_t>(dir == JoinDir::Right) << 32) | static_cast<std::uint32_t>(canonical);
    }
    static std::uint32_t BitmapKey(std::uint16_t gnd, std::uint16_t top) {
        return (static_cast<std::uint32_t>(gnd) << 16) | top;
    }
    std::vector<std::int32_t>& MutableList(int square, JoinDir dir);
    void RebuildIndexes();

    std::vector<LearnedSquare> squares_;
    std::unordered_map<std::uint32_t, std::int32_t> byBitmaps_;  // (gnd, top) -> first square index
    std::vector<std::int32_t> canonical_;                        // per square: first square with its bitmaps
    std::unordered_map<std::uint64_t, std::int32_t> copies_;     // (square, list, canonical neighbour) -> count
};

}  // namespace zorvane
