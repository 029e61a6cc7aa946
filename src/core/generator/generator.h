#pragma once
// The map generator's knowledge and working state.
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
// One TMapGenerator holds the learned data, the object tables, the working
// buffers of a generation run (candidates, column joins, sub-chains, thread
// records) and the run state; it is passed explicitly to every operation.
// Lookups that the data defines as scans from index 0 (a square by its
// bitmaps, the copies of a neighbour in a list) go through hash indexes that
// give exactly the scan's answer.

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <random>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "model/project.h"

namespace zorvane {

// Capacities of the generator's lists. A neighbour list, a candidate list
// and a column pair's list of pairs hold at most MaxListEntries entries;
// whatever would grow beyond is refused with ListFullError.
inline constexpr int MaxListEntries = 65536;
inline constexpr int MaxRowColumns = MaxUserMapSize;     // inner columns of the largest map (202)
inline constexpr int MaxColumnPairs = MaxRowColumns - 1;  // 201
inline constexpr int MaxSubChains = 21;                   // a tenth of the column pairs, rounded up
inline constexpr int WorkerSlots = 4;
inline constexpr int LookAheadRows = 10;
inline constexpr std::int32_t UnknownSquare = 65535;  // "not known" in look-ahead tables
inline constexpr int MinMultiplier = 1;
inline constexpr int MaxMultiplier = 100;

// A list that would hold more than MaxListEntries entries.
class ListFullError : public Error {
public:
    using Error::Error;
};

// One learned square.
struct TSqMatch {
    std::uint16_t Gnd = NoBitmap;
    std::uint16_t Top = NoBitmap;
    std::uint8_t Atr = 0;
    std::vector<std::int32_t> Down;   // squares that may stand directly below
    std::vector<std::int32_t> Right;  // squares that may stand directly to the right
};

enum class JoinDir { Down, Right };

// One entry of the learning list.
struct TLearnEntry {
    std::string Path;        // full path of the map project
    int Multiplier = 1;      // 1..100: the weight of every join learned from it
    bool Connector = false;  // its inner squares are interchangeable
};

// The list box line of a learning list entry: file name + " [multi=" +
// multiplier + "]" + (" [connector]").
std::string LearnEntryText(const TLearnEntry& entry);

// One learned map project, kept while learning runs.
struct TZmData {
    std::string ZpPath;  // the tile set file used for this map
    int Width = 0;       // squares, borders included
    int Height = 0;
    std::vector<TSq> Squares;                                      // row by row
    std::vector<std::pair<std::uint16_t, std::uint16_t>> BmpMap;  // (id in its tile set, id in the project)
};

// A compatible pair of candidates of two neighbouring columns.
struct SqPair {
    std::int32_t Left = 0;
    std::int32_t Right = 0;
    friend bool operator==(const SqPair&, const SqPair&) = default;
};

// A line fragment of the row being generated. The flags and counters that
// the worker threads, the linker and the main thread poll are atomic; the
// lists are written only by the thread that owns the sub-chain (Owner, Busy)
// or by the main thread while no worker runs.
struct TSubChain {
    std::atomic<bool> Busy{false};
    std::atomic<std::int32_t> Owner{-1};
    std::int32_t Len = 0;          // columns (squares)
    std::int32_t MaxVariants = 0;  // min(100000, pairs of first column pair x pairs of last)
    std::atomic<std::int32_t> VariantCount{0};
    std::atomic<std::int32_t> Tries{0};
    std::atomic<bool> Done{false};
    std::atomic<bool> Exhausted{false};
    std::vector<std::vector<SqPair>> Pairs;       // per column pair inside it (Len - 1)
    std::vector<std::int32_t> PairCounts;         // per column pair
    std::vector<std::vector<std::int32_t>> sqlines;  // variants, Len square indices each
    std::vector<std::int32_t> Cursor;             // per column pair, the search position in Pairs
    std::vector<std::vector<std::int32_t>> Below;  // per column, candidates of the square below
    std::vector<std::int32_t> Focus;              // first-column-pair pair indices that link leftwards
    std::atomic<bool> Restricted{false};
    std::vector<std::vector<std::int32_t>> LookAhead;  // per variant, Len x LookAheadRows squares
    std::atomic<bool> Frozen{false};
    std::atomic<std::int32_t> hp{0};
    std::int32_t start = 0;  // its first column (column 0 = map column 2)

    // Back to the state of a sub-chain that holds nothing.
    void Clear();
};

// The exchange record of one worker slot.
struct TThrField {
    std::int32_t Id = 0;
    std::atomic<bool> Idle{true};
    std::atomic<bool> StartReq{false};
    std::atomic<bool> Error{false};
    std::atomic<std::int32_t> SubChain{-1};
    std::atomic<std::int32_t> Steps{0};
};

// The state of a generation run (shown by the statistics window).
struct TRunState {
    std::int64_t CLA = 0;              // local attempts counter
    std::int64_t LastRepeatCLA = 0;    // counter value at the last scheduled repeat
    std::int32_t Row = 0;              // row being generated
    std::int32_t FarthestRow = 0;
    std::int32_t FloorRow = 0;         // the smallest row the run may go back to
    std::int32_t LastRow = 0;          // last row worked on
    std::int32_t SnapshotRow = 0;      // farthest row whose map is held in OldSquares
    std::int32_t FirstLineAttempt = -1;
    std::int32_t Failures = 0;         // failures of the current pass
    std::int32_t FailingColumn = -1;   // column pair index, -1 = none
    std::int32_t ApprovalAttempts = 0;
    std::array<bool, MaxRowColumns + 1> Approved{};  // start row columns kept between attempts
    std::int32_t ManualRepeat = 0;
    bool Reuse = false;    // retry the row with its sub-chains
    bool TimedOut = false;
    std::chrono::steady_clock::time_point RowTime{};  // when the row was first reached
    std::atomic<bool> StopRequest{false};  // Esc pressed once
    std::atomic<bool> Terminate{false};    // Esc pressed again
    std::atomic<std::int32_t> CaughtErrors{0};

    void Reset();
};

class TMapGenerator : public TileSetObserver {
public:
    TMapGenerator();

    // --- Learned data -----------------------------------------------------
    bool Learned = false;         // learning or loading completed
    std::int64_t JoinsCount = 0;  // entries ever added to the neighbour lists

    const std::vector<TSqMatch>& Squares() const { return squares_; }
    int SquareCount() const { return static_cast<int>(squares_.size()); }
    const TSqMatch& Sq(int index) const { return squares_[static_cast<std::size_t>(index)]; }
    const std::vector<std::int32_t>& List(int index, JoinDir dir) const {
        const TSqMatch& s = Sq(index);
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
    // the connector groups; JoinsCount 0. `Learned` and the learned maps stay.
    void ClearLearned();
    // Takes over a complete set of learned squares (the data file reader);
    // JoinsCount becomes the number of list entries.
    void SetSquares(std::vector<TSqMatch> squares);

    // --- Object tables (learning's "relationships 1 to 1") -------------------
    std::vector<std::int32_t> ObjSize;    // per learned square: size of its object (0 for connector squares)
    std::vector<std::int32_t> ObjStarts;  // per object: its highest member
    std::vector<std::vector<std::int32_t>> ObjMembers;  // per object, members in the order reached
    std::int32_t LargestObject = 0;
    std::int32_t TallestObject = 0;
    // Object size of a square, 0 for an index the table does not cover.
    std::int32_t ObjectSizeOf(int square) const;

    // --- Learning run (emptied when learning ends) ---------------------------
    std::vector<TZmData> ZmData;                           // one per learning list entry
    std::vector<std::vector<std::int32_t>> ConnectorGroups;  // one per entry; empty unless a connector map

    // --- Candidates of the square being chosen --------------------------------
    std::vector<std::int32_t> CandAbove;  // Down list of the square above
    std::vector<std::int32_t> CandLeft;   // Right list of the square to the left
    std::vector<std::int32_t> CandBoth;   // their intersection as multisets
    // Copies the square's Down (Right) list into CandAbove (CandLeft). Given
    // -1, the square is a random entry of the list of a random square among
    // 0..count-2; with nothing to draw from, the candidates are empty.
    void LoadCandAbove(int square);
    void LoadCandLeft(int square);
    // CandBoth: for each run of equal indices in CandLeft, in order, min(run
    // length, length of that index's first run in CandAbove) copies.
    void IntersectCandidates();
    std::mt19937_64 Rng{std::random_device{}()};  // the main thread's random numbers

    // --- Row buffers (column c = map column c + 2) ---------------------------
    std::int32_t LastProgressRow = 0;
    std::int32_t LastColumn = 0;  // last column of the row being generated (map width - 5)
    // Square index of each inner square of the map as it stood at the last
    // snapshot (-1 = not learned, -2 = not generated: blank with attribute
    // 0, as the new map has it); map columns and rows 2..203.
    std::int32_t& OldSquare(int mapColumn, int mapRow);
    std::int32_t OldSquare(int mapColumn, int mapRow) const;
    void ClearOldSquares();
    std::vector<std::vector<std::int32_t>> ColCands;  // per column, its candidates
    std::vector<std::vector<SqPair>> ColJoins;        // per column pair, the compatible pairs
    std::vector<std::vector<std::uint8_t>> ColJoinOff;  // per entry of ColJoins, 1 when eliminated
    int ColJoinCount(int pair) const { return static_cast<int>(ColJoins[static_cast<std::size_t>(pair)].size()); }
    // Sizes ColCands to `columns` empty lists and ColJoins / ColJoinOff to
    // columns - 1 (refuses more than MaxRowColumns columns).
    void PrepareRowBuffers(int columns);

    // --- Sub-chains and threads ---------------------------------------------
    std::array<TSubChain, MaxSubChains> SC;
    std::int32_t SCCount = 0;
    std::vector<std::int32_t> SCBorders;  // column pair borders: sub-chain i covers SCBorders[i]..SCBorders[i+1]
    std::array<std::atomic<std::int32_t>, MaxSubChains> Chosen{};  // variant per sub-chain of the linked row
    std::array<TThrField, WorkerSlots> ThrFields;
    void ClearSubChains();

    // --- Run state ------------------------------------------------------------
    TRunState Run;

    // TileSetObserver: a tile set read anew clears `Learned`; a reset tile
    // set clears `Learned` and the learned data.
    void tileSetRead() override { Learned = false; }
    void tileSetReset() override {
        Learned = false;
        ClearLearned();
    }

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
    void LoadCandidates(int square, JoinDir dir, std::vector<std::int32_t>& out);

    std::vector<TSqMatch> squares_;
    std::unordered_map<std::uint32_t, std::int32_t> byBitmaps_;  // (gnd, top) -> first square index
    std::vector<std::int32_t> canonical_;                        // per square: first square with its bitmaps
    std::unordered_map<std::uint64_t, std::int32_t> copies_;     // (square, list, canonical neighbour) -> count
    std::vector<std::int32_t> oldSquares_;
};

}  // namespace zorvane
