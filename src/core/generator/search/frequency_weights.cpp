#include "generator/search/frequency_weights.h"

#include <bit>
#include <cmath>
#include <limits>

namespace zorvane {

namespace {

// Added to every count: a join the lists allow but no learned map showed
// keeps a small chance.
constexpr double kSmoothing = 0.5;
// Small enough for any likelihood of a real pair, large enough that every
// key stays a finite float.
constexpr double kSmallestWeight = 1e-30;
// The most squares for which the conditionals are kept in tables (8 MiB each).
constexpr std::size_t kDenseSquares = 1024;

}  // namespace

FrequencyWeights::FrequencyWeights(const LearnedData& learned) : learned_(learned) {
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
    if (n == 0 || n > kDenseSquares) return;
    std::vector<double> square(n), down(n * n), right(n * n);
    for (std::size_t s = 0; s < n; ++s) square[s] = Square(static_cast<std::int32_t>(s));
    for (std::size_t from = 0; from < n; ++from)
        for (std::size_t s = 0; s < n; ++s) {
            down[from * n + s] = Below(static_cast<std::int32_t>(from), static_cast<std::int32_t>(s));
            right[from * n + s] = RightOf(static_cast<std::int32_t>(from), static_cast<std::int32_t>(s));
        }
    square_ = std::move(square);
    down_ = std::move(down);
    right_ = std::move(right);
}

bool FrequencyWeights::Evidence(std::int32_t square) const {
    return square >= 0 && square < learned_.EmptySquare();
}

double FrequencyWeights::Square(std::int32_t s) const {
    if (!square_.empty()) return square_[static_cast<std::size_t>(s)];
    const double n = static_cast<double>(learned_.SquareCount());
    return (static_cast<double>(learned_.Counts.SquareCount(s)) + kSmoothing) / (total_ + kSmoothing * n);
}

double FrequencyWeights::Conditional(JoinDir dir, std::int32_t from, std::int32_t s) const {
    if (!down_.empty()) return (dir == JoinDir::Down ? down_ : right_)[Row(from) + static_cast<std::size_t>(s)];
    if (!Evidence(from)) return Square(s);
    const double out = (dir == JoinDir::Down ? outDown_ : outRight_)[static_cast<std::size_t>(from)];
    if (out <= 0) return Square(s);
    const double n = static_cast<double>(learned_.SquareCount());
    return (static_cast<double>(learned_.Counts.JoinCount(dir, from, s)) + kSmoothing) / (out + kSmoothing * n);
}

double FrequencyWeights::Below(std::int32_t above, std::int32_t s) const {
    return Conditional(JoinDir::Down, above, s);
}

double FrequencyWeights::RightOf(std::int32_t left, std::int32_t s) const {
    return Conditional(JoinDir::Right, left, s);
}

double FrequencyWeights::Pair(std::int32_t aboveLeft, std::int32_t aboveRight, const SqPair& p) const {
    return Below(aboveLeft, p.Left) * RightOf(p.Left, p.Right) * Below(aboveRight, p.Right) / Square(p.Right);
}

double FrequencyWeights::Single(std::int32_t above, std::int32_t left, std::int32_t s) const {
    return Below(above, s) * RightOf(left, s) / Square(s);
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
    w.square_ = square_.data();
    w.n_ = n_;
    return w;
}

std::uint64_t PackedKey(double weight, std::uint32_t position, GeneratorRng& rng) {
    const auto key = static_cast<float>(WeightedKey(weight, rng));
    return (static_cast<std::uint64_t>(std::bit_cast<std::uint32_t>(key)) << 32) | position;
}

double WeightedKey(double weight, GeneratorRng& rng) {
    const double w = weight > kSmallestWeight ? weight : kSmallestWeight;
    // 1 - u lies in (0, 1]: its logarithm is finite.
    return -std::log1p(-UniformUnit(rng)) / w;
}

}  // namespace zorvane
