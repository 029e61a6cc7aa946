#include "generator/search/frequency_weights.h"

#include <cmath>
#include <limits>

namespace zorvane {

namespace {

// Added to every count: a join the lists allow but no learned map showed
// keeps a small chance.
constexpr double kSmoothing = 0.5;
constexpr double kSmallestWeight = 1e-300;
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

double WeightedKey(double weight, GeneratorRng& rng) {
    const double w = weight > kSmallestWeight ? weight : kSmallestWeight;
    // 1 - u lies in (0, 1]: its logarithm is finite.
    return -std::log1p(-UniformUnit(rng)) / w;
}

}  // namespace zorvane
