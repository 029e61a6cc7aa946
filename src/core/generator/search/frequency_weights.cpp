#include "generator/search/frequency_weights.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace zorvane {

namespace {

// Added to every count: a join the lists allow but no learned map showed
// keeps a small chance.
constexpr double kSmoothing = 0.5;
// The most squares for which the conditionals are kept in tables (8 MiB each).
constexpr std::size_t kDenseSquares = 1024;
// The running correction: placed squares count against this many squares
// in the target shares.
constexpr double kPseudoSquares = 2000;

}  // namespace

FrequencyWeights::FrequencyWeights(const LearnedData& learned, FrequencyShaping shaping)
    : learned_(learned), shaping_(shaping) {
    const auto n = static_cast<std::size_t>(learned.SquareCount());
    outDown_.assign(n, 0);
    outRight_.assign(n, 0);
    for (JoinDir dir : {JoinDir::Down, JoinDir::Right}) {
        auto& out = dir == JoinDir::Down ? outDown_ : outRight_;
        for (const auto& [key, count] : learned.Counts.Joins(dir)) {
            const auto s = static_cast<std::size_t>(OccurrenceCounts::KeySquare(key));
            if (s < n) out[s] += static_cast<double>(count);
        }
    }
    for (std::int64_t c : learned.Counts.Squares) total_ += static_cast<double>(c);
    n_ = n;
    boost_.assign(n, 1.0);
    weighted_.resize(n);
    for (std::size_t s = 0; s < n; ++s) weighted_[s] = Sharpened(static_cast<std::int32_t>(s));
    if (n == 0 || n > kDenseSquares) return;
    std::vector<double> down(n * n), right(n * n);
    for (std::size_t from = 0; from < n; ++from)
        for (std::size_t s = 0; s < n; ++s) {
            down[from * n + s] = Lift(JoinDir::Down, static_cast<std::int32_t>(from), static_cast<std::int32_t>(s));
            right[from * n + s] = Lift(JoinDir::Right, static_cast<std::int32_t>(from), static_cast<std::int32_t>(s));
        }
    square_.resize(n);
    for (std::size_t s = 0; s < n; ++s) square_[s] = Counted(static_cast<std::int32_t>(s));
    down_ = std::move(down);
    right_ = std::move(right);
}

bool FrequencyWeights::Evidence(std::int32_t square) const {
    return square >= 0 && square < learned_.EmptySquare();
}

double FrequencyWeights::Counted(std::int32_t s) const {
    const double n = static_cast<double>(learned_.SquareCount());
    return (static_cast<double>(learned_.Counts.SquareCount(s)) + kSmoothing) / (total_ + kSmoothing * n);
}

double FrequencyWeights::Sharpened(std::int32_t s) const {
    const double p = Counted(s);
    return shaping_.Sharpness == 1 ? p : std::pow(p, shaping_.Sharpness);
}

double FrequencyWeights::Square(std::int32_t s) const {
    return square_.empty() ? Counted(s) : square_[static_cast<std::size_t>(s)];
}

double FrequencyWeights::Conditional(JoinDir dir, std::int32_t from, std::int32_t s) const {
    if (!Evidence(from)) return Square(s);
    const double out = (dir == JoinDir::Down ? outDown_ : outRight_)[static_cast<std::size_t>(from)];
    if (out <= 0) return Square(s);
    const double n = static_cast<double>(learned_.SquareCount());
    return (static_cast<double>(learned_.Counts.JoinCount(dir, from, s)) + kSmoothing) / (out + kSmoothing * n);
}

// The shaped lift: read from the tables when there are tables.
double FrequencyWeights::Lift(JoinDir dir, std::int32_t from, std::int32_t s) const {
    if (!down_.empty()) return (dir == JoinDir::Down ? down_ : right_)[Row(from) + static_cast<std::size_t>(s)];
    const double power = (dir == JoinDir::Down ? shaping_.Down : shaping_.Across) * shaping_.Sharpness;
    const double lift = Conditional(dir, from, s) / Square(s);
    return power == 1 ? lift : std::pow(lift, power);
}

double FrequencyWeights::Below(std::int32_t above, std::int32_t s) const {
    return Conditional(JoinDir::Down, above, s);
}

double FrequencyWeights::RightOf(std::int32_t left, std::int32_t s) const {
    return Conditional(JoinDir::Right, left, s);
}

double FrequencyWeights::Pair(std::int32_t aboveLeft, std::int32_t aboveRight, const SquarePair& p) const {
    const auto a = static_cast<std::size_t>(p.Left), b = static_cast<std::size_t>(p.Right);
    return weighted_[a] * Lift(JoinDir::Down, aboveLeft, p.Left) * weighted_[b] *
           Lift(JoinDir::Right, p.Left, p.Right) * Lift(JoinDir::Down, aboveRight, p.Right);
}

double FrequencyWeights::Single(std::int32_t above, std::int32_t left, std::int32_t s) const {
    return weighted_[static_cast<std::size_t>(s)] * Lift(JoinDir::Down, above, s) * Lift(JoinDir::Right, left, s);
}

void FrequencyWeights::Correct(std::span<const std::int64_t> placed) {
    if (shaping_.Feedback == 0) return;
    const std::size_t counted = std::min(placed.size(), n_ == 0 ? 0 : n_ - 1);  // the empty square aside
    double total = 0;
    for (std::size_t s = 0; s < counted; ++s) total += static_cast<double>(placed[s]);
    for (std::size_t s = 0; s < n_; ++s) {
        const double target = Counted(static_cast<std::int32_t>(s));
        const double got = s < counted ? static_cast<double>(placed[s]) : 0;
        const double share = (got + kPseudoSquares * target) / (total + kPseudoSquares);
        boost_[s] = std::clamp(std::pow(target / share, shaping_.Feedback), 1 / shaping_.LargestCorrection,
                               shaping_.LargestCorrection);
        weighted_[s] = Sharpened(static_cast<std::int32_t>(s)) * boost_[s];
    }
}

FrequencyWeights::PairWeigher FrequencyWeights::ForColumns(std::int32_t aboveLeft, std::int32_t aboveRight) const {
    PairWeigher w;
    w.weights_ = this;
    w.aboveLeft_ = aboveLeft;
    w.aboveRight_ = aboveRight;
    if (down_.empty()) return w;
    w.downLeft_ = down_.data() + Row(aboveLeft);
    w.downRight_ = down_.data() + Row(aboveRight);
    w.right_ = right_.data();
    w.square_ = weighted_.data();
    w.n_ = n_;
    return w;
}

void SortPackedKeys(std::vector<std::uint64_t>& keys, std::vector<std::uint64_t>& scratch) {
    constexpr std::size_t kShortList = 64;
    if (keys.size() < kShortList) {
        std::sort(keys.begin(), keys.end());
        return;
    }
    // The positions below the keys start ascending, and each pass over a
    // byte of the key keeps the order of equal bytes: the keys end sorted.
    scratch.resize(keys.size());
    for (int shift = 32; shift < 64; shift += 8) {
        std::size_t start[257] = {};
        for (std::uint64_t k : keys) ++start[((k >> shift) & 0xFF) + 1];
        if (std::find(start + 1, start + 257, keys.size()) != start + 257) continue;  // one byte for all
        for (std::size_t b = 1; b < 257; ++b) start[b] += start[b - 1];
        for (std::uint64_t k : keys) scratch[start[(k >> shift) & 0xFF]++] = k;
        keys.swap(scratch);
    }
}

}  // namespace zorvane
