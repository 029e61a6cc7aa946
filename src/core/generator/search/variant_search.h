#pragma once
// The work of the generator's threads on one row: the search bursts of the
// workers, which find variants of a sub-chain (a sequence of learned squares
// over its columns in which every neighbouring pair is one of the column
// pair's compatible pairs, and which passes a look-ahead test on the rows
// below), and the linking pass of the linker, which picks one variant of
// every sub-chain so that neighbouring sub-chains agree on the column they
// share.
//
// The threads exchange work only through the atomic flags of RowFlags, the
// atomic fields of the sub-chains (SubChains) and the worker slots (WorkerExchange). A
// sub-chain's lists are written only by the worker that owns it (Owner,
// Busy); the linker reads only the variants below VariantCount (published
// with release order after the variant is written) and writes the focus
// list of a sub-chain that is neither done nor restricted (published by
// setting Restricted), which its worker reads only once Restricted is set.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <span>
#include <vector>

#include "generator/learned_data.h"
#include "generator/search/run_buffers.h"

namespace zorvane {

// Facts of the learned data that validation asks for, built once per run.
// A list "names one square" when it has exactly one entry; several copies
// of one square (a join learned with a multiplier above 1) name none.
class SearchTables {
public:
    explicit SearchTables(const LearnedData& learned);

    int Squares() const { return static_cast<int>(downSingle_.size()); }
    bool DownEmpty(std::int32_t s) const { return downSingle_[Index(s)] == kEmpty; }
    bool RightEmpty(std::int32_t s) const { return rightSingle_[Index(s)] == kEmpty; }
    // The one square the list names, or -1.
    std::int32_t DownSingle(std::int32_t s) const { return std::max(downSingle_[Index(s)], -1); }
    std::int32_t RightSingle(std::int32_t s) const { return std::max(rightSingle_[Index(s)], -1); }
    // Learned squares (the last one excepted) whose Right list names b: how
    // many (0, 1, or 2 for "more than one") and the first.
    int LeftCount(std::int32_t b) const { return leftCount_[Index(b)]; }
    std::int32_t LeftFirst(std::int32_t b) const { return leftFirst_[Index(b)]; }
    // b stands in a's Right list.
    bool RightContains(std::int32_t a, std::int32_t b) const;
    // Some square of a's Down list has in its Right list a square of b's
    // Down list (the squares below a and b can stand side by side).
    bool BelowJoinable(std::int32_t a, std::int32_t b) const;

private:
    static constexpr std::int32_t kEmpty = -2;
    static constexpr std::int32_t kMixed = -1;
    std::size_t Index(std::int32_t s) const { return static_cast<std::size_t>(s); }
    std::int32_t RightPos(std::int32_t a, std::int32_t b) const;

    std::vector<std::int32_t> downSingle_, rightSingle_;
    std::vector<std::int32_t> leftCount_, leftFirst_;
    std::vector<std::vector<std::int32_t>> rightSorted_;    // distinct Right entries, ascending
    std::vector<std::vector<std::uint8_t>> belowJoinable_;  // per entry of rightSorted_
};

// The row the threads work on, written by the driver while the manager is
// idle and published by ManagerStart.
struct RowJob {
    int MapHeight = 0;
    int Row = 0;      // the row being generated
    int LastRow = 0;  // the last row worked on (the linker's look-ahead depth)
    int MaxThreads = 1;
    std::int64_t SearchLimit = -1;  // tries per first pair; -1: no limit
    const SearchTables* Tables = nullptr;
};

// The flags of the row protocol; each has one writer at a time.
struct RowFlags {
    std::atomic<bool> Shutdown{false};
    std::atomic<bool> ManagerStart{false};  // driver sets, manager clears
    std::atomic<bool> ManagerIdle{true};    // manager
    std::atomic<bool> ManagerExit{true};    // driver
    std::atomic<bool> StopRow{false};       // driver, manager, linker
    std::atomic<bool> AllDone{false};       // manager
    std::atomic<bool> RowFailed{false};     // linker, manager
    std::atomic<bool> RowLinked{false};     // linker
    std::atomic<bool> RowComplete{false};   // manager
    std::atomic<bool> LinkerReady{true};    // linker, manager
    std::atomic<bool> LinkerStart{false};   // manager sets, linker clears
    std::atomic<bool> LinkerRestart{false}; // linker (on error), driver
    std::atomic<bool> HandOutBlocked{false};  // driver, manager
    std::atomic<std::int32_t> RunningThreads{0};  // manager
    std::atomic<std::int32_t> HandOutPos{0};      // manager, workers going on (where the next look starts)
    std::atomic<bool> Activity{false};  // threads set, the driver's statistics clear
};

// What a worker keeps per sub-chain, so only its owner touches it: an index
// of the pairs of every column pair by their left square, so that a scan
// for the pairs continuing a square jumps from one to the next (counting
// every pair it passes as a step); and the link squares (column Len-2)
// found with the first square being searched, so that duplicates are
// dropped and a part of the search that can only repeat them is passed
// over (its pairs still counted as steps and tries).
struct SubChainScratch {
    struct LevelIndex {
        std::vector<std::int32_t> NextSame;  // per pair, the next pair with its left square (or the end)
        // (left square, its first pair); ascending when EntryOf is empty
        std::vector<std::pair<std::int32_t, std::int32_t>> First;
        // Per entry of First: the pairs that scanning this column pair for
        // that left square examines, the deeper scans included; and the
        // link squares it can reach, as bits over the last column pair's
        // entries of First (Words words each).
        std::vector<std::int64_t> Cost;
        std::vector<std::uint64_t> Links;
        // Per learned square, its entry of First or -1, when the learned
        // squares are few enough (DenseSquares); else First is searched.
        std::vector<std::int32_t> EntryOf;
        // The entry of First for a left square, or -1.
        int Find(std::int32_t left) const {
            if (EntryOf.empty()) return Search(left);
            return left >= 0 && static_cast<std::size_t>(left) < EntryOf.size()
                       ? EntryOf[static_cast<std::size_t>(left)]
                       : -1;
        }
        int Search(std::int32_t left) const;
        // The first pair at or after `from` whose left square is `left`,
        // or the end of the list.
        std::int32_t NextOf(std::int32_t left, std::int32_t from) const;
    };
    // The most learned squares for which every level keeps EntryOf.
    static constexpr int DenseSquares = 4096;
    std::vector<LevelIndex> Levels;
    int Words = 0;
    bool IndexValid = false;  // the pair lists have not changed since Levels was made
    std::vector<std::int32_t> Seen;  // per learned square, while the index is made
    // The link squares found with one first square.
    std::int32_t Known = 0;   // variants looked at
    std::int32_t First = -1;  // the first square they are for
    std::vector<std::uint64_t> KnownLinks;  // bits as in LevelIndex::Links

    void Clear() {
        Known = 0;
        First = -1;
        IndexValid = false;
    }
    void BuildIndex(const SubChainRecord& sc, int squares);
    // Takes in the variants among the first `count` with this first square.
    void Sync(const SubChainRecord& sc, std::int32_t count, std::int32_t first);
    // Whether such a variant has this link square.
    bool HasKey(const SubChainRecord& sc, std::int32_t count, std::int32_t first, std::int32_t link);
    // Whether every link square that scanning column pair `level` for entry
    // `entry` of its First can reach has been found with `first`.
    bool AllKnown(const SubChainRecord& sc, std::int32_t count, std::int32_t first, int level, int entry);
};

// Validates a complete variant of a sub-chain (only while the row is at
// most map height - 4): the squares below must be possible and joinable,
// and the forced squares of up to 10 rows below must agree. Fills the
// variant's look-ahead table (column-major, LookAheadRows per column).
bool ValidateVariant(const SearchTables& tables, int mapHeight, int row, std::span<const std::int32_t> variant,
                     std::span<std::int32_t> lookAhead);

// One search burst of worker slot `slot` on sub-chain `s` (owned by it).
// Ends on StopRow, AllDone, the sub-chain done, `cancel`, or after 10000
// steps (50000 while the sub-chain has no variant).
void RunBurst(RunBuffers& buffers, int s, WorkerExchange& slot, RowFlags& flags, const RowJob& job, SubChainScratch& scratch,
              const std::atomic<bool>& cancel);

// The linker's state between passes (only buffers).
class Linker {
public:
    // One linking pass over the sub-chains; sets RowLinked (with Chosen) or
    // RowFailed, or returns to wait for more variants.
    void Pass(const LearnedData& learned, RunBuffers& buffers, RowFlags& flags, const RowJob& job);

private:
    bool Focus(const LearnedData& learned, RunBuffers& buffers, RowFlags& flags);
    bool CheckNeighbours(const LearnedData& learned, RunBuffers& buffers, RowFlags& flags);
    bool Search(const LearnedData& learned, RunBuffers& buffers, RowFlags& flags, int depth);
    bool Links(const SubChainRecord& a, int va, const SubChainRecord& b, int vb, int depth) const;

    // A new mark for the learned squares of `gen`.
    void NewMark(const LearnedData& learned);
    void Mark(std::int32_t square) {
        if (static_cast<std::size_t>(square) < mark_.size()) mark_[static_cast<std::size_t>(square)] = stamp_;
    }
    // Marks the link squares of the first `count` variants of `sc`.
    void MarkLinkSquares(const LearnedData& learned, const SubChainRecord& sc, std::int32_t count);
    bool Marked(std::int32_t square) const {
        return static_cast<std::size_t>(square) < mark_.size() && mark_[static_cast<std::size_t>(square)] == stamp_;
    }

    std::vector<std::int32_t> counts_;
    std::vector<std::uint8_t> done_;
    std::vector<std::vector<std::uint8_t>> good_;
    // Per learned square: the mark of the squares in hand (stamp_), and the
    // first of the good variants of the right sub-chain that start with it,
    // each naming the next (ascending).
    std::vector<std::uint32_t> mark_;
    std::uint32_t stamp_ = 0;
    std::vector<std::int32_t> firstWith_, nextWith_;
};

// The look-ahead rows that count at `row` of a map `mapHeight` high:
// min(9, mapHeight - row - 3) + 1, at least 0.
int LookAheadDepth(int mapHeight, int row);

}  // namespace zorvane
