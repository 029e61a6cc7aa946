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
// often b follows a and stands below uB. Generation shapes it further
// (FrequencyShaping): sharper joins and a correction as the map grows.

#include <algorithm>
#include <bit>
#include <cstdint>
#include <span>
#include <vector>

#include "generator/learned_data.h"
#include "generator/search/row_preparation.h"

namespace zorvane {

// How generation shapes the likelihoods. The likelihood of b next to a
// and below uB is P(b) x lift(a, b) x lift(uB, b), each lift the
// conditional over P(b). Raising the whole to a power above 1 makes what
// the maps favour more likely still (deep water and grass run on instead of
// giving way to transitions); the powers of the two lifts weigh the joins
// across against the joins down. The running correction multiplies P(s) by
// (learned share / share placed so far)^Feedback, so squares the map lacks
// come forward and those it has too many of step back.
struct FrequencyShaping {
    double Sharpness = 1; // power of the whole likelihood
    double Across = 1;    // power of the lift of the join to the left
    double Down = 1;      // power of the lift of the join above
    double Feedback = 0;  // power of the running correction (0: none)
    double LargestCorrection = 8;  // no P(s) moves by more than this factor
    // A row's pairs less likely than this share of the likeliest of their
    // column pair leave its lists, as long as the row still joins up (0: none).
    double Trim = 0;
};

// The shaping generation uses, measured on the sample content
// (bench/frequency_quality.sh): sharpened to 1.5, across more than down
// (land stretches top to bottom otherwise), and a correction to the fourth
// power up to 32 times (deep water, the commonest square of the examples,
// stays short of its share with less). Pairs below 0.4 % of their column
// pair's likeliest stay out of the row: they seldom come first, but the
// search goes through them whenever it backs up (on the sample content the
// maps come out nearer the examples and in about 60 % of the time).
inline constexpr FrequencyShaping kGenerationShaping{1.5, 1.3, 0.8, 4, 32, 4e-3};

class FrequencyWeights {
public:
    // The learned data must hold occurrence counts (Counts.Present()).
    // The default shaping gives the plain likelihoods.
    explicit FrequencyWeights(const LearnedData& learned, FrequencyShaping shaping = {});

    // P(s | the square above): `above` outside the learned squares, or the
    // empty square, gives P(s).
    double Below(std::int32_t above, std::int32_t s) const;
    // P(s | the square to the left), the same way.
    double RightOf(std::int32_t left, std::int32_t s) const;
    // P(s) among all counted squares.
    double Square(std::int32_t s) const;
    // The shaped likelihood of the pair (a, b) under the squares uA and uB
    // above: P(a) x lift(uA, a) x P(b) x lift(a, b) x lift(uB, b), each P
    // times its correction.
    double Pair(std::int32_t aboveLeft, std::int32_t aboveRight, const SquarePair& p) const;
    // The shaped likelihood of square s below `above` and right of `left`.
    double Single(std::int32_t above, std::int32_t left, std::int32_t s) const;

    // The running correction from the squares placed so far (per learned
    // square; the empty square and squares beyond the list do not count).
    // A pseudo-count of target shares keeps it mild while little is placed.
    void Correct(std::span<const std::int64_t> placed);
    double Correction(std::int32_t s) const { return boost_[static_cast<std::size_t>(s)]; }
    const FrequencyShaping& Shaping() const { return shaping_; }

    // Pair() for one column pair, from the tables when there are tables.
    class PairWeigher {
    public:
        double operator()(const SquarePair& p) const {
            if (!downLeft_) return weights_->Pair(aboveLeft_, aboveRight_, p);
            const auto a = static_cast<std::size_t>(p.Left), b = static_cast<std::size_t>(p.Right);
            return square_[a] * downLeft_[a] * square_[b] * right_[a * n_ + b] * downRight_[b];
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
    double Counted(std::int32_t s) const;
    double Sharpened(std::int32_t s) const;
    double Lift(JoinDir dir, std::int32_t from, std::int32_t s) const;
    // The row of a dense table for `from` (squares without evidence share
    // the empty square's row).
    std::size_t Row(std::int32_t from) const {
        return static_cast<std::size_t>(Evidence(from) ? from : learned_.EmptySquare()) * n_;
    }

    const LearnedData& learned_;
    FrequencyShaping shaping_;
    std::size_t n_ = 0;
    std::vector<double> outDown_, outRight_;  // per square: its counted joins of each side
    double total_ = 0;
    std::vector<double> boost_;     // per square: the running correction
    std::vector<double> weighted_;  // per square: P(s) x its correction
    // With few enough squares, every shaped lift ready in a table of n x n
    // (generation asks for them for every pair of every row).
    std::vector<double> down_, right_, square_;
};

// Puts the list in a random order in which, at every position, each entry
// left comes next with a probability in proportion to its weight (weights
// of 0 and below count as the smallest positive weight). The same numbers
// from `rng` give the same order.
template <typename T, typename Weight>
void WeightedShuffle(std::vector<T>& list, Weight&& weight, GeneratorRng& rng);

// -ln(x) for x in (0, 1], from its exponent and the series of ln around 1
// for its mantissa brought into [sqrt(1/2), sqrt(2)) (to about 1e-9): the
// same on every platform.
inline double NegativeLog(double x) {
    const auto bits = std::bit_cast<std::uint64_t>(x);
    int exponent = static_cast<int>((bits >> 52) & 0x7FF) - 1022;
    double m = std::bit_cast<double>((bits & 0x000FFFFFFFFFFFFFull) | (std::uint64_t{1022} << 52));  // [0.5, 1)
    if (m < 0.70710678118654752) {
        m *= 2;
        --exponent;
    }
    const double s = (m - 1) / (m + 1), s2 = s * s;
    const double lnM = 2 * s * (1 + s2 * (1.0 / 3 + s2 * (1.0 / 5 + s2 * (1.0 / 7 + s2 * (1.0 / 9)))));
    return -(exponent * 0.69314718055994531 + lnM);
}

// Keys for WeightedShuffle: per entry, an exponential variate of rate
// `weight` (at least 1e-30) from 32 random bits; ascending keys give the order.
inline double WeightedKey(double weight, std::uint32_t bits) {
    const double w = weight > 1e-30 ? weight : 1e-30;
    // A uniform number in (0, 1): its logarithm is finite.
    return NegativeLog((static_cast<double>(bits) + 0.5) * 0x1.0p-32) / w;
}

// A key as a 32-bit float (positive, so its bits order as it does) above
// the entry's position.
inline std::uint64_t PackedKey(double weight, std::uint32_t position, std::uint32_t bits) {
    const auto key = static_cast<float>(WeightedKey(weight, bits));
    return (static_cast<std::uint64_t>(std::bit_cast<std::uint32_t>(key)) << 32) | position;
}

// Sorts packed keys ascending (keys differ in their positions), with
// `scratch` for a radix sort of long lists.
void SortPackedKeys(std::vector<std::uint64_t>& keys, std::vector<std::uint64_t>& scratch);

template <typename T, typename Weight>
void WeightedShuffle(std::vector<T>& list, Weight&& weight, GeneratorRng& rng) {
    // Generation shuffles many lists a row: the buffers stay.
    thread_local std::vector<std::uint64_t> keys, scratch;
    thread_local std::vector<T> ordered;
    const std::size_t n = list.size();
    keys.resize(n);
    // Each random number gives the bits of two keys.
    for (std::size_t i = 0; i < n; i += 2) {
        const std::uint64_t r = rng();
        keys[i] = PackedKey(weight(list[i]), static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(r >> 32));
        if (i + 1 < n)
            keys[i + 1] = PackedKey(weight(list[i + 1]), static_cast<std::uint32_t>(i + 1), static_cast<std::uint32_t>(r));
    }
    SortPackedKeys(keys, scratch);
    ordered.clear();
    ordered.reserve(n);
    for (std::uint64_t k : keys) ordered.push_back(list[static_cast<std::size_t>(k & 0xFFFFFFFFu)]);
    list.swap(ordered);
}

}  // namespace zorvane
