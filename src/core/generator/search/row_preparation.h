#pragma once
// Row preparation: turns a row of the map being generated into a chain
// problem for the worker threads.
//
// Columns of a row are numbered c = 0..W-5 (map column c + 2); column pair c
// joins columns c and c+1. Every column gets its candidate squares from the
// `Down` list of the learned square above it (ColumnCandidates); every column pair
// gets the compatible pairs of candidates (ColumnPairJoins). Pairs that cannot be
// part of a complete row are eliminated, backwards and then forwards; the
// lists are shuffled and ordered by the squares choice factor, and the row
// is cut into sub-chains (SubChains) of about ten column pairs that overlap by one
// column pair.
//
// The object size distribution chart gives each object size a probability
// P[size]; while some size below the largest is below 1, the candidates that
// start an object are thinned out by it (the object filter). The filter
// makes objects rarer, never a row impossible: in a row that can be
// completed it takes out only squares the row can do without, so a square
// that the row above or a neighbour forces always stays.
//
// The capacities hold: a candidate list or a column pair's list never grows
// beyond MaxListEntries entries (ListFullError), a row has at most
// MaxRowColumns columns and at most MaxSubChains sub-chains.

#include <cstdint>
#include <memory>
#include <random>
#include <span>
#include <utility>
#include <vector>

#include "generator/eq_chart.h"
#include "generator/learned_data.h"
#include "generator/search/live_row.h"
#include "generator/search/run_buffers.h"

namespace zorvane {

// The generator's random source, with distributions written out here so that
// a seed gives the same numbers everywhere.
using GeneratorRng = std::mt19937_64;
// Uniform in 0..n-1 (n >= 1).
inline std::uint64_t UniformBelow(GeneratorRng& rng, std::uint64_t n) {
    return static_cast<std::uint64_t>((static_cast<unsigned __int128>(rng()) * n) >> 64);
}
// Uniform in [0, 1).
inline double UniformUnit(GeneratorRng& rng) { return static_cast<double>(rng() >> 11) * 0x1.0p-53; }

// P[0..N] for N = the largest object, from the chart's points (sizes and
// percent, as GetPointData gives them) and its scale.
std::vector<double> ObjectSizeProbabilities(const ObjectSizeChart& chart, int largestObject);
// In force when P[s] < 1 for some s below N.
bool ObjectFilterInForce(const std::vector<double>& p);

// How the choice of squares prefers squares and pairs.
struct SquareChoice {
    double J = 0.5;             // squares choice factor 0..1, 0.5 neutral
    bool ConnectorsWay = true;  // weight 1 for connector squares; else the combinations way
};

// The order in which the choice of squares leaves a list of entries with
// these weights: from the second entry on, each entry (unless skipped at
// random, never when J is exactly 0 or 1) moves in front of the first
// earlier entry of smaller weight (J > 0.5) or larger weight (J < 0.5).
// Returns the entries' indices in their new order; J = 0.5 keeps the order.
std::vector<std::int32_t> OrderByWeight(std::span<const std::int64_t> weights, double j, GeneratorRng& rng);

// "For each position i, swap it with a uniformly random position."
template <typename T>
void ShuffleList(std::vector<T>& list, GeneratorRng& rng) {
    const std::uint64_t n = list.size();
    for (std::uint64_t i = 0; i < n; ++i) std::swap(list[i], list[UniformBelow(rng, n)]);
}

class FrequencyWeights;

// The learned squares around a square being chosen (-1: none).
struct SquareNeighbours {
    std::int32_t Above = -1;
    std::int32_t Left = -1;
};

// Inputs fixed for a generation run.
struct RowSettings {
    int MapWidth = 0;  // W, borders included (14..206)
    bool TwinsDisallowed = false;
    SquareChoice Choice;
    bool Simplified = false;  // simplified first line
    int StartRow = 2;
    std::vector<double> P;  // object size probabilities (ObjectSizeProbabilities)
};

// Prepares the rows of one generation run on the generator's buffers. The
// learned data must not change while it lives (it keeps tables built from
// it at construction).
class RowPreparer {
public:
    RowPreparer(const LearnedData& learned, RunBuffers& buffers, RowSettings settings);
    ~RowPreparer();

    int Columns() const { return columns_; }      // W - 4
    int ColumnPairs() const { return columns_ - 1; }  // W - 5
    bool FilterInForce() const { return filter_; }

    // Column candidates: `above` holds the learned square above each column
    // (-1, or any index that is not a learned square, for the empty square).
    // Thins out object starts when the object filter is in force.
    void BuildColumnCandidates(std::span<const std::int32_t> above, GeneratorRng& rng);

    // Column joins of map row `row`: builds the pairs, eliminates (unless the
    // simplified first line is on and the row is start row + 1), then with
    // no failing column removes the eliminated pairs, shuffles and orders.
    // The failing column is the generator's Run.FailingColumn.
    void BuildColumnJoins(int row, GeneratorRng& rng);
    // The steps of BuildColumnJoins.
    void BuildJoinLists();
    void Eliminate();
    void RemoveEliminated();
    void ShuffleAndOrderJoins(GeneratorRng& rng);

    // Live pairs of a column pair.
    int PairCount(int pair) const;
    // The smallest pair count over all column pairs; with no failing column
    // known, the first column pair without pairs becomes the failing column.
    int SmallestPairCount();

    // Cuts the row into sub-chains (SubChains, SubChainCount, SubChainBorders), each with the
    // live pairs of its column pairs.
    void SplitIntoSubChains();
    // Repreparation for another local attempt at the same row: freeze points
    // spent, unfinished sub-chains reset with their pair lists shuffled,
    // variants kept.
    void Reprepare(GeneratorRng& rng);

    // The object filter on a list of candidate squares, last to first: an
    // object start stays when P[its object size] > 0 and a uniform random
    // number is at most that, and always when no other square is left in the
    // list. Nothing changes while the filter is not in force.
    void FilterByObjectSize(std::vector<std::int32_t>& candidates, GeneratorRng& rng);
    // The choice of squares: one square of a non-empty candidate list. With
    // occurrence counts learned and J = 0.5, drawn in proportion to how
    // likely the square is next to its neighbours.
    std::int32_t ChooseSquare(std::span<const std::int32_t> candidates, GeneratorRng& rng,
                              SquareNeighbours around = {}) const;

    // The shuffle of column pair `pair`'s list: uniform, or with occurrence
    // counts learned in proportion to each pair's likelihood under the
    // squares above (frequency_weights.h).
    void ShufflePairs(std::vector<SquarePair>& pairs, int pair, GeneratorRng& rng) const;
    // The same shuffle of positions into that list.
    void ShufflePairPositions(std::vector<std::int32_t>& positions, const std::vector<SquarePair>& pairs, int pair,
                              GeneratorRng& rng) const;
    bool FavoursFrequent() const { return freq_ != nullptr; }
    // With occurrence counts learned: how often each learned square stands
    // in the rows above the row last prepared (that the row's preparation
    // feeds to the running correction). Rows the run went back over are
    // taken out again.
    const std::vector<std::int64_t>& Placed() const { return placed_; }

    // Weights used by the choice of squares.
    std::int64_t SquareWeight(std::int32_t square) const { return squareWeight_[Index(square)]; }
    std::int64_t PairWeight(const SquarePair& p) const;

private:
    std::size_t Index(std::int32_t square) const { return static_cast<std::size_t>(square); }
    double ProbabilityOf(std::int32_t square) const;
    bool KeepBySize(std::int32_t square, GeneratorRng& rng) const;
    void BuildRunTables();
    void TallyRowAbove(int row);
    bool BuildLiveJoins(double share);
    // The learned squares above the two columns of a column pair (-1: none).
    std::pair<std::int32_t, std::int32_t> AboveOf(int pair) const;
    void ThinObjectStarts(int column, GeneratorRng& rng);
    template <typename MayLeave, typename Left>
    void ThinStarts(std::vector<std::int32_t>& cands, GeneratorRng& rng, MayLeave mayLeave, Left left);
    bool LeftAllowsOthers(int column, std::int32_t v) const;
    bool RightReachableWithout(int column, std::int32_t v) const;
    void AppendJoinsOf(int pair, const std::vector<std::vector<std::int32_t>>& cands);
    std::size_t CollectJoins(int pair, const std::vector<std::vector<std::int32_t>>& cands);
    bool FindLiveCandidates();
    bool EliminateBackward();
    bool EliminateForward();
    bool FailIfDead(int pair);
    std::uint32_t NextStamp();

    const LearnedData& learned_;
    RunBuffers& buffers_;
    RowSettings settings_;
    int columns_ = 0;
    bool filter_ = false;

    // Per learned square, built once per run.
    std::vector<std::uint8_t> isStart_;       // an object start
    std::vector<std::int32_t> rightSingle_;   // its Right list's one value; -1 mixed, -2 empty
    std::vector<std::int32_t> leftCount_;     // distinct squares (the last aside) naming it in Right, at most 2
    std::vector<std::int32_t> leftFirst_;     // the first of them
    std::vector<std::int64_t> squareWeight_;  // weight for the choice of squares
    std::unique_ptr<FrequencyWeights> freq_;  // with occurrence counts learned
    std::vector<std::int32_t> above_;         // the squares above the row's columns
    // The squares placed so far (with occurrence counts): per learned
    // square, and the rows they came from, topmost first.
    std::vector<std::int64_t> placed_;
    std::vector<std::pair<int, std::vector<std::int32_t>>> placedRows_;
    // Trimming the unlikely pairs (with occurrence counts): the row last
    // prepared and whether its lists were trimmed, the rows up to which
    // the full lists serve after a trimmed row failed, and scratch.
    struct TrimState {
        int LastRow = -1;
        bool LastTrimmed = false;
        int FullUpTo = -1;
        bool Eliminating = false;  // the eliminations after a trim mark no failing column
        std::vector<double> Likelihood;
    } trim_;
    std::vector<std::vector<std::int32_t>> liveCands_;  // per column, the candidates some complete row uses
    LiveRow liveRow_;                                    // the distinct ones, kept so while thinning

    // Scratch, sized by the learned squares.
    std::vector<std::int32_t> counts_;
    std::vector<std::uint32_t> stamp_;
    std::uint32_t stampNow_ = 0;
    std::vector<std::uint8_t> removed_;
    std::vector<std::int64_t> weights_;
    std::vector<SquarePair> collected_;  // CollectJoins
};

}  // namespace zorvane
