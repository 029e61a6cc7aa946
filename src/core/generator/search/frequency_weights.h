#pragma once
// Generation that favours frequent squares and joins: with occurrence
// counts learned, the pair lists of a row are put in a random order in which
// each pair comes first with a probability in proportion to how likely the
// learned maps make it, and the choice of a single square draws in the same
// proportion. The search and the lists themselves stay as they are: only
// their order changes, so every map is as valid as without the counts.
//
// The likelihood of a pair (a, b) of neighbouring columns under the squares
// uA and uB of the row above combines the three joins that meet there:
//   P(a | above uA) x P(b | left a) x P(b | above uB) / P(b)
// each probability taken from the counts with a small smoothing for joins
// that the lists allow but no map showed (connector squares, the empty
// square). The empty square above (the top border) gives no evidence: its
// factor is the square's own frequency. Given a (as the search does once
// the column to the left is chosen), this orders b in proportion to how
// often b follows a and stands below uB.

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "generator/generator.h"
#include "generator/search/row_preparation.h"

namespace zorvane {

class FrequencyWeights {
public:
    // The learned data must hold occurrence counts (Counts.Present()).
    explicit FrequencyWeights(const LearnedData& learned);

    // P(s | the square above): `above` outside the learned squares, or the
    // empty square, gives P(s).
    double Below(std::int32_t above, std::int32_t s) const;
    // P(s | the square to the left), the same way.
    double RightOf(std::int32_t left, std::int32_t s) const;
    // P(s) among all counted squares.
    double Square(std::int32_t s) const;
    // The likelihood of the pair (a, b) under the squares uA and uB above.
    double Pair(std::int32_t aboveLeft, std::int32_t aboveRight, const SqPair& p) const;
    // The likelihood of square s below `above` and right of `left`.
    double Single(std::int32_t above, std::int32_t left, std::int32_t s) const;

    // Pair() for one column pair, from the tables when there are tables.
    class PairWeigher {
    public:
        double operator()(const SqPair& p) const {
            if (!downLeft_) return weights_->Pair(aboveLeft_, aboveRight_, p);
            const auto a = static_cast<std::size_t>(p.Left), b = static_cast<std::size_t>(p.Right);
            return downLeft_[a] * right_[a * n_ + b] * downRight_[b] / square_[b];
        }

    private:
        friend class FrequencyWeights;
        const FrequencyWeights* weights_ = nullptr;
        std::int32_t aboveLeft_ = -1, aboveRight_ = -1;
        const double* downLeft_ = nullptr;
        const double* downRight_ = nullptr;
        const double* right_ = nullptr;
        const double* square_ = nullptr;
        std::size_t n_ = 0;
    };
    PairWeigher ForColumns(std::int32_t aboveLeft, std::int32_t aboveRight) const;

private:
    bool Evidence(std::int32_t square) const;
    double Conditional(JoinDir dir, std::int32_t from, std::int32_t s) const;
    // The row of a dense table for `from` (squares without evidence share
    // the empty square's row).
    std::size_t Row(std::int32_t from) const {
        return static_cast<std::size_t>(Evidence(from) ? from : learned_.EmptySquare()) * n_;
    }

    const LearnedData& learned_;
    std::size_t n_ = 0;
    std::vector<double> outDown_, outRight_;  // per square: its counted joins of each side
    double total_ = 0;
    // With few enough squares, every conditional ready in a table of n x n
    // (generation asks for them for every pair of every row).
    std::vector<double> down_, right_, square_;
};

// Puts the list in a random order in which, at every position, each entry
// left comes next with a probability in proportion to its weight (weights
// of 0 and below count as the smallest positive weight). The same numbers
// from `rng` give the same order.
template <typename T, typename Weight>
void WeightedShuffle(std::vector<T>& list, Weight&& weight, GeneratorRng& rng);

// Keys for WeightedShuffle: per entry, an exponential variate of rate
// `weight`; ascending keys give the order.
double WeightedKey(double weight, GeneratorRng& rng);

// A key as a 32-bit float (positive, so its bits order as it does) above
// the entry's position.
std::uint64_t PackedKey(double weight, std::uint32_t position, GeneratorRng& rng);

template <typename T, typename Weight>
void WeightedShuffle(std::vector<T>& list, Weight&& weight, GeneratorRng& rng) {
    std::vector<std::uint64_t> keys(list.size());
    for (std::size_t i = 0; i < list.size(); ++i) keys[i] = PackedKey(weight(list[i]), static_cast<std::uint32_t>(i), rng);
    std::sort(keys.begin(), keys.end());
    std::vector<T> ordered;
    ordered.reserve(list.size());
    for (std::uint64_t k : keys) ordered.push_back(list[static_cast<std::size_t>(k & 0xFFFFFFFFu)]);
    list.swap(ordered);
}

}  // namespace zorvane
