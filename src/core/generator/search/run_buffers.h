#pragma once
// The working buffers of one generation run: the candidates of the square
// being chosen, the candidates and pairs of every column of the row being
// generated, the squares of the map as last snapshotted, the sub-chains and
// the run state. A run makes them when it starts and they end with it; they
// are sized once for the largest map, so that generating a row allocates
// little. The learned data they are filled from is read, never kept here.

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <random>
#include <vector>

#include "generator/learned_data.h"
#include "generator/settings.h"
#include "model/project.h"

namespace zorvane {

inline constexpr int MaxRowColumns = MaxUserMapSize;     // inner columns of the largest map (202)
inline constexpr int MaxColumnPairs = MaxRowColumns - 1;  // 201
inline constexpr int MaxSubChains = 21;                   // a tenth of the column pairs, rounded up
inline constexpr int LookAheadRows = 10;
inline constexpr std::int32_t UnknownSquare = 65535;  // "not known" in look-ahead tables

// A compatible pair of candidates of two neighbouring columns.
struct SquarePair {
    std::int32_t Left = 0;
    std::int32_t Right = 0;
    friend bool operator==(const SquarePair&, const SquarePair&) = default;
};

// A line fragment of the row being generated. The flags and counters that
// the worker threads, the linker and the main thread poll are atomic; the
// lists are written only by the thread that owns the sub-chain (Owner, Busy)
// or by the main thread while no worker runs.
struct SubChainRecord {
    std::atomic<bool> Busy{false};
    std::atomic<std::int32_t> Owner{-1};
    std::int32_t Len = 0;          // columns (squares)
    std::int32_t MaxVariants = 0;  // min(100000, pairs of first column pair x pairs of last)
    std::atomic<std::int32_t> VariantCount{0};
    std::atomic<std::int32_t> Tries{0};
    std::atomic<bool> Done{false};
    std::atomic<bool> Exhausted{false};
    std::vector<std::vector<SquarePair>> Pairs;   // per column pair inside it (Len - 1)
    std::vector<std::int32_t> PairCounts;         // per column pair
    std::vector<std::vector<std::int32_t>> Variants;  // variants, Len square indices each
    std::vector<std::int32_t> Cursor;             // per column pair, the search position in Pairs
    std::vector<std::vector<std::int32_t>> Below;  // per column, candidates of the square below
    std::vector<std::int32_t> Focus;              // first-column-pair pair indices that link leftwards
    std::atomic<bool> Restricted{false};
    std::vector<std::vector<std::int32_t>> LookAhead;  // per variant, Len x LookAheadRows squares
    std::atomic<bool> Frozen{false};
    std::atomic<std::int32_t> FreezePoints{0};
    std::int32_t start = 0;  // its first column (column 0 = map column 2)

    // Back to the state of a sub-chain that holds nothing.
    void Clear();
};

// The exchange record of one worker slot (kept by the threads, which
// outlive runs).
struct WorkerExchange {
    std::int32_t Id = 0;
    std::atomic<bool> Idle{true};
    std::atomic<bool> StartReq{false};
    std::atomic<bool> Error{false};
    std::atomic<std::int32_t> SubChain{-1};
    std::atomic<std::int32_t> Steps{0};
};

// The state of a generation run (shown by the statistics window).
struct RunState {
    std::int64_t LocalAttempts = 0;              // local attempts counter
    std::int64_t LocalAttemptsAtLastRepeat = 0;    // counter value at the last scheduled repeat
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

    void Reset();
};

class RunBuffers {
public:
    RunBuffers();

    // --- Candidates of the square being chosen --------------------------------
    std::vector<std::int32_t> CandidatesFromAbove;  // Down list of the square above
    std::vector<std::int32_t> CandidatesFromLeft;   // Right list of the square to the left
    // Copies the square's Down (Right) list into CandidatesFromAbove
    // (CandidatesFromLeft). Given -1, the square is a random entry of the
    // list of a random square among 0..count-2; with nothing to draw from,
    // the candidates are empty.
    void LoadCandidatesFromAbove(const LearnedData& learned, int square);
    void LoadCandidatesFromLeft(const LearnedData& learned, int square);
    std::vector<std::int32_t> CandidatesFromBoth;   // their intersection as multisets
    // CandidatesFromBoth: for each run of equal indices in CandidatesFromLeft, in order, min(run
    // length, length of that index's first run in CandidatesFromAbove) copies.
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
    std::vector<std::vector<std::int32_t>> ColumnCandidates;  // per column, its candidates
    std::vector<std::vector<SquarePair>> ColumnPairJoins;     // per column pair, the compatible pairs
    std::vector<std::vector<std::uint8_t>> EliminatedJoins;   // per entry of ColumnPairJoins, 1 when eliminated
    int ColumnPairJoinCount(int pair) const {
        return static_cast<int>(ColumnPairJoins[static_cast<std::size_t>(pair)].size());
    }
    // Sizes ColumnCandidates to `columns` empty lists and ColumnPairJoins / EliminatedJoins to
    // columns - 1 (refuses more than MaxRowColumns columns).
    void PrepareRowBuffers(int columns);

    // --- Sub-chains and threads ---------------------------------------------
    std::array<SubChainRecord, MaxSubChains> SubChains;
    std::int32_t SubChainCount = 0;
    std::vector<std::int32_t> SubChainBorders;  // column pair borders: sub-chain i covers SubChainBorders[i]..SubChainBorders[i+1]
    std::array<std::atomic<std::int32_t>, MaxSubChains> Chosen{};  // variant per sub-chain of the linked row
    void ClearSubChains();

    // --- Run state ------------------------------------------------------------
    RunState Run;

private:
    void LoadCandidates(const LearnedData& learned, int square, JoinDir dir, std::vector<std::int32_t>& out);

    std::vector<std::int32_t> oldSquares_;
};

}  // namespace zorvane
