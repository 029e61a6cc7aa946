#include "generator/search/row_preparation.h"

#include "generator/search/frequency_weights.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

namespace zorvane {

namespace {

constexpr std::int32_t kMixed = -1;
constexpr std::int32_t kNone = -2;

[[noreturn]] void TooManyPairs(int pair) {
    throw ListFullError("Column pair " + std::to_string(pair) + " of the row would hold more than " +
                        std::to_string(MaxListEntries) + " pairs of candidates.");
}

// Two distinct values of a set and whether it holds more than they tell:
// Allows(v) is true when the set holds something other than v.
struct OtherThan {
    bool any = false;  // some member is "anything"
    std::int32_t first = kNone;
    std::int32_t second = kNone;
    void Add(std::int32_t v) {
        if (v == first || v == second) return;
        if (first == kNone)
            first = v;
        else if (second == kNone)
            second = v;
    }
    bool Allows(std::int32_t v) const { return any || (first >= 0 && first != v) || (second >= 0 && second != v); }
};

}  // namespace

std::vector<double> ObjectSizeProbabilities(const ObjectSizeChart& chart, int largestObject) {
    const int n = std::max(largestObject, 0);
    std::vector<double> p(static_cast<std::size_t>(n) + 1, 1.0);
    const int count = chart.GetPointsCount();
    if (count == 0) return p;
    const double scale = chart.Scale() > 0 ? chart.Scale() : (n < 1 ? 1000.0 : 200.0 / n);
    std::vector<std::pair<std::int64_t, std::int64_t>> pts;
    pts.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) pts.push_back(chart.GetPointData(i));
    // Each size takes the first point beyond it (the last point when none
    // is). That point never lies further left for a larger size, whatever
    // the order of the points, so one pass over them serves every size.
    std::size_t beyond = 0;
    for (int s = 0; s < n; ++s) {
        while (beyond < pts.size() && !(s < pts[beyond].first)) ++beyond;
        const std::size_t w = std::min(beyond, pts.size() - 1);
        double& ps = p[static_cast<std::size_t>(s)];
        if (w == 0) {
            ps = static_cast<double>(pts[0].second) / 100.0;
            continue;
        }
        const auto [x0, y0] = pts[w - 1];
        const std::int64_t dx = pts[w].first - x0, dy = pts[w].second - y0;
        const std::int64_t u = RoundHalfEven(static_cast<double>(dx) * scale);
        if (u > 0 && s > 0)
            ps = (static_cast<double>(s - x0) * (static_cast<double>(dy) / static_cast<double>(u)) * scale +
                  static_cast<double>(y0)) / 100.0;
        else
            ps = static_cast<double>(y0) / 100.0;
    }
    p[static_cast<std::size_t>(n)] = static_cast<double>(pts.back().second) / 100.0;
    return p;
}

bool ObjectFilterInForce(const std::vector<double>& p) {
    for (std::size_t s = 0; s + 1 < p.size(); ++s)
        if (p[s] < 1.0) return true;
    return false;
}

std::vector<std::int32_t> OrderByWeight(std::span<const std::int64_t> weights, double j, GeneratorRng& rng) {
    const auto n = static_cast<std::int32_t>(weights.size());
    std::vector<std::int32_t> order(static_cast<std::size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    if (n == 0 || j == 0.5) return order;
    // Entries move in front of the first earlier entry whose key is smaller.
    // That entry is always a prefix minimum of the list, so only the chain of
    // strict prefix minima is searched: in list order their keys fall, and
    // the first one below k is the one with the largest key below k.
    const std::int64_t sign = j > 0.5 ? 1 : -1;
    auto key = [&](std::int32_t i) { return sign * weights[static_cast<std::size_t>(i)]; };
    const bool always = j == 0.0 || j == 1.0;
    const double threshold = std::abs(j - 0.5) * 2.0;
    // r^0.6 < threshold, decided without pow() away from the boundary.
    const double bound = std::pow(threshold, 1.0 / 0.6);
    auto drawMoves = [&] {
        const double r = UniformUnit(rng);
        if (r < bound * (1 - 1e-9)) return true;
        if (r > bound * (1 + 1e-9)) return false;
        return std::pow(r, 0.6) < threshold;
    };
    std::vector<std::int32_t> next(order.size(), -1), prev(order.size(), -1);
    std::int32_t head = 0, tail = 0;
    std::map<std::int64_t, std::int32_t> minima{{key(0), 0}};
    for (std::int32_t u = 1; u < n; ++u) {
        const bool moves = always || drawMoves();
        const std::int64_t k = key(u);
        auto above = minima.lower_bound(k);  // first prefix minimum with key >= k
        if (moves && above != minima.begin()) {
            const std::int32_t target = std::prev(above)->second;
            next[u] = target;
            prev[u] = prev[target];
            if (prev[target] >= 0) next[prev[target]] = u; else head = u;
            prev[target] = u;
            if (above == minima.end() || above->first > k) minima.emplace(k, u);
            continue;
        }
        prev[u] = tail;
        next[tail] = u;
        tail = u;
        if (k < minima.begin()->first) minima.emplace(k, u);
    }
    std::size_t i = 0;
    for (std::int32_t at = head; at >= 0; at = next[at]) order[i++] = at;
    return order;
}

RowPreparer::RowPreparer(const LearnedData& learned, RunBuffers& buffers, RowSettings settings)
    : learned_(learned), buffers_(buffers), settings_(std::move(settings)), liveRow_(learned, settings_.TwinsDisallowed) {
    const int w = settings_.MapWidth;
    if (w < MinUserMapSize + 2 * BorderWidth || w > MaxUserMapSize + 2 * BorderWidth)
        throw Error("A map of width " + std::to_string(w) + " cannot be generated: the width with borders is 14 to 206.");
    if (learned_.SquareCount() < 1) throw Error("Map generator is not ready.");
    columns_ = w - 2 * BorderWidth;
    filter_ = ObjectFilterInForce(settings_.P);
    if (learned_.Counts.Present()) {
        freq_ = std::make_unique<FrequencyWeights>(learned_, kGenerationShaping);
        placed_.assign(static_cast<std::size_t>(learned_.SquareCount()), 0);
    }
    BuildRunTables();
}

RowPreparer::~RowPreparer() = default;

void RowPreparer::BuildRunTables() {
    const std::size_t n = static_cast<std::size_t>(learned_.SquareCount());
    squareWeight_.resize(n);
    for (std::size_t s = 0; s < n; ++s) {
        const LearnedSquare& sq = learned_.Sq(static_cast<int>(s));
        squareWeight_[s] = settings_.Choice.ConnectorsWay ? (learned_.ObjectSizeOf(static_cast<int>(s)) == 0 ? 1 : 0)
                                                          : static_cast<std::int64_t>(sq.Down.size() + sq.Right.size());
    }
    counts_.assign(n, 0);
    stamp_.assign(n, 0);
    if (!filter_) return;
    isStart_.assign(n, 0);
    for (std::int32_t s : learned_.ObjStarts)
        if (s >= 0 && static_cast<std::size_t>(s) < n) isStart_[static_cast<std::size_t>(s)] = 1;
    rightSingle_.assign(n, kNone);
    leftCount_.assign(n, 0);
    leftFirst_.assign(n, kNone);
    for (std::size_t s = 0; s < n; ++s) {
        const auto& right = learned_.Sq(static_cast<int>(s)).Right;
        if (!right.empty())
            rightSingle_[s] = std::all_of(right.begin(), right.end(), [&](std::int32_t r) { return r == right[0]; })
                                  ? right[0]
                                  : kMixed;
        if (s + 1 == n) continue;  // the empty square names everyone and does not count
        const std::uint32_t seen = NextStamp();
        for (std::int32_t r : right) {
            const std::size_t ri = static_cast<std::size_t>(r);
            if (stamp_[ri] == seen) continue;
            stamp_[ri] = seen;
            if (leftCount_[ri] == 0) leftFirst_[ri] = static_cast<std::int32_t>(s);
            leftCount_[ri] = std::min(leftCount_[ri] + 1, 2);
        }
    }
}

std::uint32_t RowPreparer::NextStamp() {
    if (++stampNow_ == 0) {
        std::fill(stamp_.begin(), stamp_.end(), 0);
        stampNow_ = 1;
    }
    return stampNow_;
}

double RowPreparer::ProbabilityOf(std::int32_t square) const {
    if (settings_.P.empty()) return 1.0;
    const std::size_t size = static_cast<std::size_t>(std::max(learned_.ObjectSizeOf(square), 0));
    return settings_.P[std::min(size, settings_.P.size() - 1)];
}

bool RowPreparer::KeepBySize(std::int32_t square, GeneratorRng& rng) const {
    const double p = ProbabilityOf(square);
    return p > 0 && UniformUnit(rng) <= p;
}

void RowPreparer::BuildColumnCandidates(std::span<const std::int32_t> above, GeneratorRng& rng) {
    if (above.size() != static_cast<std::size_t>(columns_))
        throw Error("The row has " + std::to_string(columns_) + " columns, not " + std::to_string(above.size()) + ".");
    buffers_.PrepareRowBuffers(columns_);
    above_.assign(above.begin(), above.end());
    for (int c = 0; c < columns_; ++c) {
        std::int32_t sq = above[static_cast<std::size_t>(c)];
        if (sq < 0 || sq >= learned_.SquareCount()) sq = learned_.EmptySquare();
        const auto& down = learned_.Sq(sq).Down;
        if (down.size() > static_cast<std::size_t>(MaxListEntries))
            throw ListFullError("Column " + std::to_string(c) + " would hold more than " +
                                std::to_string(MaxListEntries) + " candidates.");
        auto& cands = buffers_.ColumnCandidates[static_cast<std::size_t>(c)];
        if (settings_.TwinsDisallowed)
            std::copy_if(down.begin(), down.end(), std::back_inserter(cands), [&](std::int32_t e) { return e != sq; });
        else
            cands.assign(down.begin(), down.end());
    }
    if (!filter_) return;
    liveRow_.Build(buffers_.ColumnCandidates);
    for (int c = 0; c < columns_; ++c) ThinObjectStarts(c, rng);
}

// Object starts leave a column by the object filter only where the column
// keeps another value and its neighbours can do without them. In a row that
// can be completed, the last copy of a square that some complete row uses
// leaves only when the row stays completable without it.
void RowPreparer::ThinObjectStarts(int column, GeneratorRng& rng) {
    auto& cands = buffers_.ColumnCandidates[static_cast<std::size_t>(column)];
    OtherThan left, right;
    if (column > 0) {
        for (std::int32_t a : buffers_.ColumnCandidates[static_cast<std::size_t>(column) - 1]) {
            const std::int32_t single = rightSingle_[Index(a)];
            if (single == kMixed) left.any = true;
            else if (single >= 0) left.Add(single);
        }
    }
    if (column < columns_ - 1) {
        for (std::int32_t r : buffers_.ColumnCandidates[static_cast<std::size_t>(column) + 1]) {
            if (leftCount_[Index(r)] >= 2) right.any = true;
            else if (leftCount_[Index(r)] == 1) right.Add(leftFirst_[Index(r)]);
        }
    }
    const bool complete = liveRow_.Complete();
    ThinStarts(
        cands, rng,
        [&](std::int32_t v, bool lastCopy) {
            if (column > 0 && !left.Allows(v)) return false;
            if (column < columns_ - 1 && !right.Allows(v)) return false;
            return !(lastCopy && complete && liveRow_.IsLive(column, v)) || liveRow_.CanRemove(column, v);
        },
        [&](std::int32_t v, bool lastCopy) {
            if (lastCopy && complete && liveRow_.IsLive(column, v)) liveRow_.Remove(column, v);
        });
}

// Last to first, each copy of an object start that `mayLeave` lets go (told
// whether it is the square's last copy in the list) leaves by the object
// filter's draw, `left` hears of it; the list always keeps some other square.
template <typename MayLeave, typename Left>
void RowPreparer::ThinStarts(std::vector<std::int32_t>& cands, GeneratorRng& rng, MayLeave mayLeave, Left left) {
    for (std::int32_t v : cands) ++counts_[Index(v)];
    removed_.assign(cands.size(), 0);
    std::int64_t live = static_cast<std::int64_t>(cands.size());
    for (std::size_t i = cands.size(); i-- > 0;) {
        const std::int32_t v = cands[i];
        if (!isStart_[Index(v)] || live - counts_[Index(v)] <= 0) continue;
        const bool lastCopy = counts_[Index(v)] == 1;
        if (!mayLeave(v, lastCopy) || KeepBySize(v, rng)) continue;
        left(v, lastCopy);
        removed_[i] = 1;
        --counts_[Index(v)];
        --live;
    }
    std::size_t out = 0;
    for (std::size_t i = 0; i < cands.size(); ++i)
        if (!removed_[i]) cands[out++] = cands[i];
    cands.resize(out);
    for (std::int32_t v : cands) counts_[Index(v)] = 0;
}

// The row above `row` joins the tally, after the rows at or below it that
// an earlier attempt left there.
void RowPreparer::TallyRowAbove(int row) {
    auto tally = [&](const std::vector<std::int32_t>& squares, std::int64_t sign) {
        for (std::int32_t s : squares)
            if (s >= 0 && s < learned_.EmptySquare()) placed_[Index(s)] += sign;
    };
    while (!placedRows_.empty() && placedRows_.back().first >= row - 1) {
        tally(placedRows_.back().second, -1);
        placedRows_.pop_back();
    }
    placedRows_.emplace_back(row - 1, above_);
    tally(above_, 1);
    freq_->Correct(placed_);
}

void RowPreparer::BuildColumnJoins(int row, GeneratorRng& rng) {
    const bool eliminated = !(settings_.Simplified && row == settings_.StartRow + 1);
    bool built = false;
    if (freq_) {
        TallyRowAbove(row);
        // Prepared again with nothing below it in between: the row failed.
        if (trim_.LastTrimmed && row <= trim_.LastRow) trim_.FullUpTo = std::max(trim_.FullUpTo, trim_.LastRow);
        trim_.LastRow = row;
        trim_.LastTrimmed = false;
        if (eliminated && FindLiveCandidates()) {
            built = true;
            trim_.LastTrimmed = BuildLiveJoins(row > trim_.FullUpTo ? freq_->Shaping().Trim : 0);
        }
    }
    if (!built) {
        BuildJoinLists();
        if (eliminated) Eliminate();
    }
    if (buffers_.Run.FailingColumn == -1) {
        RemoveEliminated();
        ShuffleAndOrderJoins(rng);
    }
}

// The pairs of the live candidates. With a share above 0, those less
// likely than that share of the likeliest of their column pair stay out of
// the row, and both eliminations run on what is left; true when that
// trimmed something and left every column pair some pairs (else the row
// takes all the pairs). When a trimmed row fails, it and the rows above it
// are prepared with all their pairs until the run passes it.
bool RowPreparer::BuildLiveJoins(double share) {
    bool trimmed = false;
    for (int c = 0; c + 1 < columns_; ++c) {
        if (share <= 0) {
            AppendJoinsOf(c, liveCands_);
            continue;
        }
        const std::size_t all = CollectJoins(c, liveCands_);
        const auto [left, right] = AboveOf(c);
        const auto weigh = freq_->ForColumns(left, right);
        auto& likelihood = trim_.Likelihood;
        likelihood.resize(all);
        double best = 0;
        for (std::size_t i = 0; i < all; ++i) best = std::max(best, likelihood[i] = weigh(collected_[i]));
        const double least = share * best;
        auto& pairs = buffers_.ColumnPairJoins[static_cast<std::size_t>(c)];
        pairs.resize(all);
        std::size_t out = 0;
        for (std::size_t i = 0; i < all; ++i)
            if (likelihood[i] >= least) pairs[out++] = collected_[i];
        trimmed = trimmed || out < all;
        pairs.resize(out);
        buffers_.EliminatedJoins[static_cast<std::size_t>(c)].assign(out, 0);
    }
    if (!trimmed) return false;
    trim_.Eliminating = true;
    Eliminate();
    trim_.Eliminating = false;
    for (int c = 0; c < ColumnPairs(); ++c) {
        if (PairCount(c) > 0) continue;
        for (int all = 0; all + 1 < columns_; ++all) AppendJoinsOf(all, liveCands_);
        return false;
    }
    return true;
}

void RowPreparer::BuildJoinLists() {
    if (static_cast<int>(buffers_.ColumnCandidates.size()) != columns_)
        throw Error("The column candidates of the row have not been built.");
    for (int c = 0; c + 1 < columns_; ++c) AppendJoinsOf(c, buffers_.ColumnCandidates);
}

// The rows of generation with occurrence counts hold many pairs that no
// complete row uses (the squares they favour have long lists). Here the
// candidates that some complete row uses are found first, on the distinct
// squares of each column: those a chain of joins reaches from the first
// column, then of them those from which one goes on to the last. The pairs
// of these live candidates are the very pairs the eliminations keep, in the
// same order. False when some column keeps no candidate (the usual way then
// names the failing column).
bool RowPreparer::FindLiveCandidates() {
    if (static_cast<int>(buffers_.ColumnCandidates.size()) != columns_)
        throw Error("The column candidates of the row have not been built.");
    if (!liveRow_.Build(buffers_.ColumnCandidates)) return false;
    // The live squares of each column with the copies and order of its candidates.
    liveCands_.resize(static_cast<std::size_t>(columns_));
    for (int c = 0; c < columns_; ++c) {
        const std::uint32_t alive = NextStamp();
        for (std::int32_t v : liveRow_.Column(c)) stamp_[Index(v)] = alive;
        auto& live = liveCands_[static_cast<std::size_t>(c)];
        live.clear();
        for (std::int32_t v : buffers_.ColumnCandidates[static_cast<std::size_t>(c)])
            if (stamp_[Index(v)] == alive) live.push_back(v);
    }
    return true;
}

void RowPreparer::AppendJoinsOf(int pair, const std::vector<std::vector<std::int32_t>>& cands) {
    const std::size_t all = CollectJoins(pair, cands);
    buffers_.ColumnPairJoins[static_cast<std::size_t>(pair)].assign(collected_.begin(),
                                                                collected_.begin() + static_cast<std::ptrdiff_t>(all));
    buffers_.EliminatedJoins[static_cast<std::size_t>(pair)].assign(all, 0);
}

// For every copy of a candidate a of the left column, every entry b of a's
// Right list and every copy of b among the right column's candidates, the
// pair (a, b), into the first entries of collected_ (a buffer of the
// largest list, written through a plain pointer). Copies of a stand in
// runs; a run's block of pairs is built once and repeated.
std::size_t RowPreparer::CollectJoins(int pair, const std::vector<std::vector<std::int32_t>>& cands) {
    const auto& left = cands[static_cast<std::size_t>(pair)];
    const auto& right = cands[static_cast<std::size_t>(pair) + 1];
    constexpr auto kMost = static_cast<std::size_t>(MaxListEntries);
    collected_.resize(kMost);
    SquarePair* const out = collected_.data();
    const std::int32_t* const copiesOf = counts_.data();
    const bool twins = settings_.TwinsDisallowed;
    std::size_t n = 0;
    for (std::int32_t b : right) ++counts_[Index(b)];
    for (std::size_t i = 0; i < left.size();) {
        const std::int32_t a = left[i];
        std::size_t run = 1;
        while (i + run < left.size() && left[i + run] == a) ++run;
        i += run;
        const std::size_t blockStart = n;
        const std::int32_t twin = twins ? a : -1;
        for (std::int32_t b : learned_.Sq(a).Right) {
            const auto copies = static_cast<std::size_t>(copiesOf[b]);
            if (copies == 0 || b == twin) continue;
            if (n + copies > kMost) TooManyPairs(pair);
            out[n] = {a, b};
            for (std::size_t k = 1; k < copies; ++k) out[n + k] = {a, b};
            n += copies;
        }
        const std::size_t block = n - blockStart;
        if (block == 0 || run == 1) continue;
        if (n + block * (run - 1) > kMost) TooManyPairs(pair);
        for (std::size_t r = 1; r < run; ++r) std::copy_n(out + blockStart, block, out + blockStart + r * block);
        n += block * (run - 1);
    }
    for (std::int32_t b : right) counts_[Index(b)] = 0;
    return n;
}

void RowPreparer::Eliminate() {
    if (EliminateBackward()) return;
    EliminateForward();
}

// A pair (a, b) of column pair c lives on only when column pair c+1 has a
// live pair starting with b.
bool RowPreparer::EliminateBackward() {
    for (int c = ColumnPairs() - 2; c >= 0; --c) {
        const std::uint32_t s = NextStamp();
        const auto& nextPairs = buffers_.ColumnPairJoins[static_cast<std::size_t>(c) + 1];
        const auto& nextOff = buffers_.EliminatedJoins[static_cast<std::size_t>(c) + 1];
        for (std::size_t i = 0; i < nextPairs.size(); ++i)
            if (!nextOff[i]) stamp_[Index(nextPairs[i].Left)] = s;
        const auto& pairs = buffers_.ColumnPairJoins[static_cast<std::size_t>(c)];
        auto& off = buffers_.EliminatedJoins[static_cast<std::size_t>(c)];
        for (std::size_t i = 0; i < pairs.size(); ++i)
            if (!off[i] && stamp_[Index(pairs[i].Right)] != s) off[i] = 1;
        if (FailIfDead(c)) return true;
    }
    return false;
}

// A pair of column pair c+1 lives on only when its left square is the right
// square of a live pair of column pair c.
bool RowPreparer::EliminateForward() {
    for (int c = 0; c + 1 < ColumnPairs(); ++c) {
        const std::uint32_t s = NextStamp();
        const auto& pairs = buffers_.ColumnPairJoins[static_cast<std::size_t>(c)];
        const auto& off = buffers_.EliminatedJoins[static_cast<std::size_t>(c)];
        for (std::size_t i = 0; i < pairs.size(); ++i)
            if (!off[i]) stamp_[Index(pairs[i].Right)] = s;
        const auto& nextPairs = buffers_.ColumnPairJoins[static_cast<std::size_t>(c) + 1];
        auto& nextOff = buffers_.EliminatedJoins[static_cast<std::size_t>(c) + 1];
        for (std::size_t i = 0; i < nextPairs.size(); ++i)
            if (!nextOff[i] && stamp_[Index(nextPairs[i].Left)] != s) nextOff[i] = 1;
        if (FailIfDead(c)) return true;
    }
    return false;
}

// The simplified first line, with no failing column yet: a column pair whose
// pairs all died becomes the failing column and the row is left with no
// pairs anywhere.
bool RowPreparer::FailIfDead(int pair) {
    if (!settings_.Simplified || trim_.Eliminating || buffers_.Run.FailingColumn != -1 || PairCount(pair) > 0)
        return false;
    buffers_.Run.FailingColumn = pair;
    for (auto& list : buffers_.ColumnPairJoins) list.clear();
    for (auto& list : buffers_.EliminatedJoins) list.clear();
    return true;
}

void RowPreparer::RemoveEliminated() {
    for (std::size_t c = 0; c < buffers_.ColumnPairJoins.size(); ++c) {
        auto& pairs = buffers_.ColumnPairJoins[c];
        auto& off = buffers_.EliminatedJoins[c];
        std::size_t out = 0;
        for (std::size_t i = 0; i < pairs.size(); ++i)
            if (!off[i]) pairs[out++] = pairs[i];
        pairs.resize(out);
        off.assign(out, 0);
    }
}

std::int64_t RowPreparer::PairWeight(const SquarePair& p) const {
    if (settings_.Choice.ConnectorsWay) return squareWeight_[Index(p.Left)] * squareWeight_[Index(p.Right)];
    return squareWeight_[Index(p.Left)] + squareWeight_[Index(p.Right)];
}

std::pair<std::int32_t, std::int32_t> RowPreparer::AboveOf(int pair) const {
    const auto c = static_cast<std::size_t>(pair);
    return {c < above_.size() ? above_[c] : -1, c + 1 < above_.size() ? above_[c + 1] : -1};
}

void RowPreparer::ShufflePairs(std::vector<SquarePair>& pairs, int pair, GeneratorRng& rng) const {
    if (!freq_) {
        ShuffleList(pairs, rng);
        return;
    }
    const auto [left, right] = AboveOf(pair);
    WeightedShuffle(pairs, freq_->ForColumns(left, right), rng);
}

void RowPreparer::ShufflePairPositions(std::vector<std::int32_t>& positions, const std::vector<SquarePair>& pairs,
                                       int pair, GeneratorRng& rng) const {
    if (!freq_) {
        ShuffleList(positions, rng);
        return;
    }
    const auto [left, right] = AboveOf(pair);
    const auto weigh = freq_->ForColumns(left, right);
    WeightedShuffle(positions, [&](std::int32_t i) { return weigh(pairs[static_cast<std::size_t>(i)]); }, rng);
}

void RowPreparer::ShuffleAndOrderJoins(GeneratorRng& rng) {
    for (std::size_t c = 0; c < buffers_.ColumnPairJoins.size(); ++c) {
        auto& pairs = buffers_.ColumnPairJoins[c];
        ShufflePairs(pairs, static_cast<int>(c), rng);
        if (settings_.Choice.J == 0.5) continue;
        weights_.resize(pairs.size());
        for (std::size_t i = 0; i < pairs.size(); ++i) weights_[i] = PairWeight(pairs[i]);
        const auto order = OrderByWeight(weights_, settings_.Choice.J, rng);
        std::vector<SquarePair> ordered(pairs.size());
        for (std::size_t i = 0; i < order.size(); ++i) ordered[i] = pairs[static_cast<std::size_t>(order[i])];
        pairs.swap(ordered);
    }
}

int RowPreparer::PairCount(int pair) const {
    const auto& off = buffers_.EliminatedJoins[static_cast<std::size_t>(pair)];
    return static_cast<int>(std::count(off.begin(), off.end(), std::uint8_t{0}));
}

int RowPreparer::SmallestPairCount() {
    int smallest = -1;
    for (int c = 0; c < ColumnPairs(); ++c) {
        const int count = PairCount(c);
        if (count == 0 && buffers_.Run.FailingColumn == -1) buffers_.Run.FailingColumn = c;
        if (smallest < 0 || count < smallest) smallest = count;
    }
    return std::max(smallest, 0);
}

void RowPreparer::FilterByObjectSize(std::vector<std::int32_t>& candidates, GeneratorRng& rng) {
    if (!filter_) return;
    ThinStarts(candidates, rng, [](std::int32_t, bool) { return true; }, [](std::int32_t, bool) {});
}

std::int32_t RowPreparer::ChooseSquare(std::span<const std::int32_t> candidates, GeneratorRng& rng,
                                       SquareNeighbours around) const {
    if (candidates.empty()) throw Error("There is no candidate to choose from.");
    if (settings_.Choice.J == 0.5 && freq_) {
        std::vector<double> upTo(candidates.size());
        double sum = 0;
        for (std::size_t i = 0; i < candidates.size(); ++i)
            upTo[i] = sum += freq_->Single(around.Above, around.Left, candidates[i]);
        const double r = UniformUnit(rng) * sum;
        const auto at = std::upper_bound(upTo.begin(), upTo.end(), r) - upTo.begin();
        return candidates[std::min(static_cast<std::size_t>(at), candidates.size() - 1)];
    }
    if (settings_.Choice.J == 0.5) return candidates[UniformBelow(rng, candidates.size())];
    std::vector<std::int32_t> list(candidates.begin(), candidates.end());
    if (freq_)
        WeightedShuffle(list, [&](std::int32_t s) { return freq_->Single(around.Above, around.Left, s); }, rng);
    else
        ShuffleList(list, rng);
    std::vector<std::int64_t> weights(list.size());
    for (std::size_t i = 0; i < list.size(); ++i) weights[i] = SquareWeight(list[i]);
    return list[static_cast<std::size_t>(OrderByWeight(weights, settings_.Choice.J, rng).front())];
}

}  // namespace zorvane
