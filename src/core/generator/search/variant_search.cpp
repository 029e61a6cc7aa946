// The workers' side of a row: tables of the learned data, validation of a
// variant with its look-ahead, and the search burst.

#include "generator/search/variant_search.h"

#include <algorithm>
#include <utility>

namespace zorvane {

namespace {

constexpr std::int32_t kBurstSteps = 10000;
constexpr std::int32_t kFirstVariantBurstSteps = 50000;
constexpr std::int64_t kFlagPollSteps = 256;  // the flags are looked at every so many steps

// The entry of a list of exactly one entry, -1 when it holds more (also
// copies of one square), -2 when it is empty.
std::int32_t SingleOf(const std::vector<std::int32_t>& list) {
    if (list.empty()) return -2;
    return list.size() == 1 ? list.front() : -1;
}

std::vector<std::int32_t> DistinctSorted(const std::vector<std::int32_t>& list) {
    std::vector<std::int32_t> out(list);
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

}  // namespace

int LookAheadDepth(int mapHeight, int row) { return std::max(0, std::min(9, mapHeight - row - 3) + 1); }

int SubChainScratch::LevelIndex::Search(std::int32_t left) const {
    const auto it = std::lower_bound(First.begin(), First.end(), std::pair<std::int32_t, std::int32_t>{left, -1});
    return it == First.end() || it->first != left ? -1 : static_cast<int>(it - First.begin());
}

std::int32_t SubChainScratch::LevelIndex::NextOf(std::int32_t left, std::int32_t from) const {
    const int entry = Find(left);
    if (entry < 0) return static_cast<std::int32_t>(NextSame.size());
    std::int32_t p = First[static_cast<std::size_t>(entry)].second;
    while (p < from) p = NextSame[static_cast<std::size_t>(p)];
    return p;
}

namespace {

std::int64_t SaturatingAdd(std::int64_t a, std::int64_t b) {
    constexpr std::int64_t kMax = INT64_MAX / 4;
    return a > kMax - b ? kMax : a + b;
}

}  // namespace

void SubChainScratch::BuildIndex(const SubChainRecord& sc, int squares) {
    const std::size_t levels = sc.Pairs.size();
    Levels.resize(levels);
    // Seen is back to -1 everywhere after every level.
    if (Seen.size() != static_cast<std::size_t>(squares)) Seen.assign(static_cast<std::size_t>(squares), -1);
    for (std::size_t l = 0; l < levels; ++l) {
        const auto& pairs = sc.Pairs[l];
        LevelIndex& ix = Levels[l];
        const auto n = static_cast<std::int32_t>(pairs.size());
        ix.NextSame.resize(pairs.size());
        // The table is cleared where the last index set it.
        for (const auto& entry : ix.First) {
            const auto square = static_cast<std::size_t>(entry.first);
            if (square < ix.EntryOf.size()) ix.EntryOf[square] = -1;
        }
        ix.First.clear();
        // From the end: each pair's next with the same left square is the
        // one seen last, and the last one seen is the square's first pair.
        // (Pairs hold learned squares; any other left square is never
        // looked for.)
        for (std::int32_t p = n - 1; p >= 0; --p) {
            const std::int32_t left = pairs[static_cast<std::size_t>(p)].Left;
            ix.NextSame[static_cast<std::size_t>(p)] = n;
            if (left < 0 || left >= squares) continue;
            std::int32_t& seen = Seen[static_cast<std::size_t>(left)];
            if (seen >= 0)
                ix.NextSame[static_cast<std::size_t>(p)] = seen;
            else
                ix.First.emplace_back(left, -1);
            seen = p;
        }
        for (auto& [left, first] : ix.First) {
            first = std::exchange(Seen[static_cast<std::size_t>(left)], -1);
        }
        // The entries' order is free (the bits of Links follow it); a
        // search needs them ascending.
        if (squares > DenseSquares) {
            std::sort(ix.First.begin(), ix.First.end());
            ix.EntryOf.clear();
            continue;
        }
        ix.EntryOf.resize(static_cast<std::size_t>(squares), -1);
        for (std::size_t e = 0; e < ix.First.size(); ++e)
            ix.EntryOf[static_cast<std::size_t>(ix.First[e].first)] = static_cast<std::int32_t>(e);
    }
    // What scanning each column pair for each left square costs and can
    // reach, from the last column pair back. The last column pair is
    // scanned to its end; any other up to its first match, and then from
    // match to match (one step each, the jumps between them not counted),
    // each match with the scan of the next column pair below it. A square
    // that nothing continues costs a scan to the end.
    Words = levels == 0 ? 0 : static_cast<int>((Levels.back().First.size() + 63) / 64);
    const std::size_t words = static_cast<std::size_t>(Words);
    for (std::size_t l = levels; l-- > 1;) {
        LevelIndex& ix = Levels[l];
        const auto size = static_cast<std::int64_t>(sc.Pairs[l].size());
        ix.Cost.assign(ix.First.size(), size);
        ix.Links.assign(ix.First.size() * words, 0);
        for (std::size_t e = 0; e < ix.First.size(); ++e) {
            std::uint64_t* links = ix.Links.data() + e * words;
            if (l + 1 == levels) {
                links[e / 64] |= std::uint64_t{1} << (e % 64);
                continue;
            }
            const LevelIndex& next = Levels[l + 1];
            const auto nextSize = static_cast<std::int64_t>(sc.Pairs[l + 1].size());
            ix.Cost[e] = ix.First[e].second;
            for (std::int32_t p = ix.First[e].second; p < static_cast<std::int32_t>(ix.NextSame.size());
                 p = ix.NextSame[static_cast<std::size_t>(p)]) {
                ix.Cost[e] = SaturatingAdd(ix.Cost[e], 1);
                const int j = next.Find(sc.Pairs[l][static_cast<std::size_t>(p)].Right);
                if (j < 0) {
                    ix.Cost[e] = SaturatingAdd(ix.Cost[e], nextSize);
                    continue;
                }
                ix.Cost[e] = SaturatingAdd(ix.Cost[e], next.Cost[static_cast<std::size_t>(j)]);
                const std::uint64_t* deeper = next.Links.data() + static_cast<std::size_t>(j) * words;
                for (std::size_t w = 0; w < words; ++w) links[w] |= deeper[w];
            }
        }
    }
    KnownLinks.assign(words, 0);
    Known = 0;
    First = -1;
    IndexValid = true;
}

void SubChainScratch::Sync(const SubChainRecord& sc, std::int32_t count, std::int32_t first) {
    if (first != First || count < Known) {
        std::fill(KnownLinks.begin(), KnownLinks.end(), 0);
        First = first;
        Known = 0;
    }
    if (Levels.empty()) return;
    for (; Known < count; ++Known) {
        const auto& v = sc.Variants[static_cast<std::size_t>(Known)];
        if (v.front() != first) continue;
        const int e = Levels.back().Find(v[v.size() - 2]);
        if (e >= 0) KnownLinks[static_cast<std::size_t>(e) / 64] |= std::uint64_t{1} << (e % 64);
    }
}

bool SubChainScratch::HasKey(const SubChainRecord& sc, std::int32_t count, std::int32_t first, std::int32_t link) {
    Sync(sc, count, first);
    const int e = Levels.empty() ? -1 : Levels.back().Find(link);
    if (e < 0) {
        // A link square no pair leads to (a variant placed as it stood).
        for (std::int32_t k = 0; k < count; ++k) {
            const auto& v = sc.Variants[static_cast<std::size_t>(k)];
            if (v.front() == first && v[v.size() - 2] == link) return true;
        }
        return false;
    }
    return (KnownLinks[static_cast<std::size_t>(e) / 64] >> (e % 64)) & 1;
}

bool SubChainScratch::AllKnown(const SubChainRecord& sc, std::int32_t count, std::int32_t first, int level, int entry) {
    Sync(sc, count, first);
    const std::size_t words = static_cast<std::size_t>(Words);
    const std::uint64_t* links = Levels[static_cast<std::size_t>(level)].Links.data() + static_cast<std::size_t>(entry) * words;
    for (std::size_t w = 0; w < words; ++w)
        if (links[w] & ~KnownLinks[w]) return false;
    return true;
}

SearchTables::SearchTables(const LearnedData& learned) {
    const int n = learned.SquareCount();
    const std::size_t un = static_cast<std::size_t>(n);
    downSingle_.resize(un);
    rightSingle_.resize(un);
    leftCount_.assign(un, 0);
    leftFirst_.assign(un, -1);
    rightSorted_.resize(un);
    std::vector<std::vector<std::int32_t>> downSorted(un);
    for (int s = 0; s < n; ++s) {
        downSingle_[Index(s)] = SingleOf(learned.Sq(s).Down);
        rightSingle_[Index(s)] = SingleOf(learned.Sq(s).Right);
        rightSorted_[Index(s)] = DistinctSorted(learned.Sq(s).Right);
        downSorted[Index(s)] = DistinctSorted(learned.Sq(s).Down);
    }
    for (int a = 0; a + 1 < n; ++a)  // the empty square (last) names everyone and does not count
        for (std::int32_t b : rightSorted_[Index(a)]) {
            if (leftCount_[Index(b)] == 0) leftFirst_[Index(b)] = a;
            leftCount_[Index(b)] = std::min(leftCount_[Index(b)] + 1, 2);
        }
    // Whether the squares below a and b can stand side by side, for every
    // learned join a-b: some x below a has some y below b in its Right list.
    std::vector<std::uint32_t> mark(un, 0);
    std::uint32_t stamp = 0;
    belowJoinable_.resize(un);
    for (int a = 0; a < n; ++a) {
        const auto& rights = rightSorted_[Index(a)];
        auto& out = belowJoinable_[Index(a)];
        out.assign(rights.size(), 0);
        for (std::size_t i = 0; i < rights.size(); ++i) {
            ++stamp;
            for (std::int32_t y : downSorted[Index(rights[i])]) mark[Index(y)] = stamp;
            bool joinable = false;
            for (std::int32_t x : downSorted[Index(a)]) {
                for (std::int32_t y : rightSorted_[Index(x)])
                    if (mark[Index(y)] == stamp) {
                        joinable = true;
                        break;
                    }
                if (joinable) break;
            }
            out[i] = joinable;
        }
    }
}

std::int32_t SearchTables::RightPos(std::int32_t a, std::int32_t b) const {
    const auto& list = rightSorted_[Index(a)];
    auto it = std::lower_bound(list.begin(), list.end(), b);
    return it != list.end() && *it == b ? static_cast<std::int32_t>(it - list.begin()) : -1;
}

bool SearchTables::RightContains(std::int32_t a, std::int32_t b) const { return RightPos(a, b) >= 0; }

bool SearchTables::BelowJoinable(std::int32_t a, std::int32_t b) const {
    const std::int32_t pos = RightPos(a, b);
    return pos >= 0 && belowJoinable_[Index(a)][static_cast<std::size_t>(pos)] != 0;
}

namespace {

// Fills the unknown squares of look-ahead row `l` that its neighbours force,
// until nothing changes; false when two neighbours cannot stand side by side.
bool PropagateRow(const SearchTables& t, std::span<std::int32_t> la, int len, int l) {
    auto at = [&](int col) -> std::int32_t& { return la[static_cast<std::size_t>(col) * LookAheadRows + l]; };
    for (bool changed = true; changed;) {
        changed = false;
        for (int u = 0; u + 1 < len; ++u) {
            std::int32_t& x = at(u);
            std::int32_t& y = at(u + 1);
            const bool xKnown = x != UnknownSquare, yKnown = y != UnknownSquare;
            if (!xKnown && yKnown) {
                if (t.LeftCount(y) == 0) return false;
                if (t.LeftCount(y) == 1) {
                    x = t.LeftFirst(y);
                    changed = true;
                }
            } else if (xKnown && !yKnown) {
                if (t.RightEmpty(x)) return false;
                if (t.RightSingle(x) >= 0) {
                    y = t.RightSingle(x);
                    changed = true;
                }
            } else if (xKnown && yKnown) {
                if (!t.RightContains(x, y)) return false;
            }
        }
    }
    return true;
}

}  // namespace

bool ValidateVariant(const SearchTables& t, int mapHeight, int row, std::span<const std::int32_t> v,
                     std::span<std::int32_t> la) {
    const int len = static_cast<int>(v.size());
    std::fill(la.begin(), la.end(), UnknownSquare);
    if (row > mapHeight - 4) return true;  // no row below inside the map
    for (std::int32_t s : v)
        if (t.DownEmpty(s)) return false;
    for (int u = 0; u + 1 < len; ++u)
        if (!t.BelowJoinable(v[static_cast<std::size_t>(u)], v[static_cast<std::size_t>(u) + 1])) return false;
    const int depth = LookAheadDepth(mapHeight, row);
    for (int l = 0; l < depth; ++l) {
        bool any = false;
        for (int col = 0; col < len; ++col) {
            const std::size_t cell = static_cast<std::size_t>(col) * LookAheadRows + l;
            const std::int32_t above = l == 0 ? v[static_cast<std::size_t>(col)] : la[cell - 1];
            if (above == UnknownSquare) continue;
            const std::int32_t forced = t.DownSingle(above);
            if (forced < 0) continue;
            la[cell] = forced;
            any = true;
        }
        if (!any) break;
        if (!PropagateRow(t, la, len, l)) return false;
    }
    return true;
}

namespace {

// The search of one burst; the cursors and the variant being built persist
// in the sub-chain between bursts.
class Burst {
public:
    Burst(RunBuffers& buffers, int s, WorkerExchange& slot, RowFlags& flags, const RowJob& job, SubChainScratch& scratch,
          const std::atomic<bool>& cancel)
        : sc_(buffers.SubChains[static_cast<std::size_t>(s)]), slot_(slot), flags_(flags), job_(job),
          scratch_(scratch), cancel_(cancel), last_(sc_.Len - 2), variants_(sc_.VariantCount.load()),
          tries_(sc_.Tries.load()) {}

    void Run();

private:
    bool Interrupted() const {
        return flags_.StopRow.load(std::memory_order_relaxed) || flags_.AllDone.load(std::memory_order_relaxed) ||
               cancel_.load(std::memory_order_relaxed);
    }
    bool Stopped() const { return Interrupted() || sc_.Done.load(std::memory_order_relaxed); }
    std::size_t Size(int level) const { return sc_.Pairs[static_cast<std::size_t>(level)].size(); }
    const SquarePair& Pair(int level, std::int32_t i) const {
        return sc_.Pairs[static_cast<std::size_t>(level)][static_cast<std::size_t>(i)];
    }
    std::int32_t& Cur(int level) { return sc_.Cursor[static_cast<std::size_t>(level)]; }
    std::vector<std::int32_t>& Building() { return sc_.Variants[static_cast<std::size_t>(variants_)]; }
    bool Realign();
    void FocusRunOut();
    std::int64_t Budget() const { return variants_ > 0 ? kBurstSteps : kFirstVariantBurstSteps; }
    bool SkipFits(int level, std::int64_t cost) const;
    std::int32_t NextMatch(int level, std::int32_t left);
    void Count(std::int64_t pairs);
    void Scan();
    void Complete();
    void AdvanceSameLeft(int level);
    void Backtrack(int scanned);
    bool KnownKey(std::int32_t first, std::int32_t link);
    bool Duplicate(const std::vector<std::int32_t>& v);
    void Accept();
    void EndSearch(bool exhausted);

    SubChainRecord& sc_;
    WorkerExchange& slot_;
    RowFlags& flags_;
    const RowJob& job_;
    SubChainScratch& scratch_;
    const std::atomic<bool>& cancel_;
    const int last_;  // the last level (column pair) of the sub-chain
    std::int32_t variants_;
    std::int64_t tries_;  // held as the sub-chain's Tries, at most the largest 32-bit value
    std::int64_t steps_ = 0;
    std::int64_t pollAt_ = kFlagPollSteps;
    bool interrupted_ = false;
    int depth_ = 0;
};

// A restricted sub-chain searches only the first pairs of its focus list.
bool Burst::Realign() {
    const auto& focus = sc_.Focus;
    std::int32_t next = -1;
    for (std::int32_t f : focus) {
        if (f == Cur(0)) return true;
        if (f > Cur(0) && f < static_cast<std::int32_t>(Size(0)) && (next < 0 || f < next)) next = f;
    }
    if (next < 0) {
        FocusRunOut();
        return false;
    }
    Cur(0) = next;
    std::fill(sc_.Cursor.begin() + 1, sc_.Cursor.end(), 0);
    tries_ = 0;
    return true;
}

// None of the first pairs that can link to the left neighbour is left: the
// sub-chain is exhausted and done whatever it found, and its row fails.
void Burst::FocusRunOut() {
    sc_.Exhausted.store(true);
    sc_.Done.store(true);
}

// Whether the scan of `level` from its start may pass over everything it
// would examine, `cost` pairs, at once. The search would look at its limit
// and its step budget after every level scanned on the way, so the pairs
// must fit below both; and a burst that resumes the search goes down the
// levels it was at again (counting the pair in use at each), which is not
// a scan from the start while a deeper level's cursor is not 0.
bool Burst::SkipFits(int level, std::int64_t cost) const {
    const std::int64_t limit = job_.SearchLimit;
    if (limit >= 0 && tries_ + cost > limit) return false;
    if (steps_ + cost >= Budget()) return false;
    for (int m = level + 1; m <= last_; ++m)
        if (sc_.Cursor[static_cast<std::size_t>(m)] != 0) return false;
    return true;
}

// The first pair at or after the level's cursor whose left square is
// `left` (or the end): the cursor's own pair, the one after the pair before
// it (where a scan goes on), or one found in the index.
std::int32_t Burst::NextMatch(int level, std::int32_t left) {
    const std::int32_t cur = Cur(level);
    const std::int32_t size = static_cast<std::int32_t>(Size(level));
    if (cur >= size) return size;
    if (Pair(level, cur).Left == left) return cur;
    const auto& ix = scratch_.Levels[static_cast<std::size_t>(level)];
    if (cur > 0 && Pair(level, cur - 1).Left == left) return ix.NextSame[static_cast<std::size_t>(cur) - 1];
    return ix.NextOf(left, cur);
}

// Every pair examined counts as a step and a try.
void Burst::Count(std::int64_t pairs) {
    steps_ += pairs;
    tries_ += pairs;
    if (steps_ >= pollAt_) {
        pollAt_ = steps_ + kFlagPollSteps;
        interrupted_ = Interrupted();
    }
}

// Scans level depth+1 from its cursor for the pairs that continue the pair
// in use at level depth: goes one level deeper at the first, or, at the
// last level, completes a variant with every one of them.
void Burst::Scan() {
    const SquarePair& k = Pair(depth_, Cur(depth_));
    // The slot being built changes when a variant is accepted.
    if (depth_ == 0) Building()[0] = k.Left;
    const int level = depth_ + 1;
    const std::int32_t size = static_cast<std::int32_t>(Size(level));
    std::int32_t& cur = Cur(level);
    if (cur == 0) {
        // A scan from the start of the column pair: when nothing continues
        // the square, or everything that does could only repeat first and
        // link squares already found (and the search would not stop on the
        // way), its pairs are counted, not visited.
        const auto& ix = scratch_.Levels[static_cast<std::size_t>(level)];
        const int entry = ix.Find(k.Right);
        if (entry < 0) {
            Count(size);
            cur = size;
            return;
        }
        const std::int64_t cost = ix.Cost[static_cast<std::size_t>(entry)];
        if (SkipFits(level, cost) && scratch_.AllKnown(sc_, variants_, Building()[0], level, entry)) {
            Count(cost);
            cur = size;
            return;
        }
    }
    while (cur < size && !interrupted_) {
        const std::int32_t match = NextMatch(level, k.Right);
        if (match >= size) {
            Count(size - cur);
            cur = size;
            return;
        }
        Count(match - cur + 1);
        cur = match;
        auto& v = Building();
        v[static_cast<std::size_t>(level)] = k.Right;
        if (level < last_) {
            ++depth_;
            return;
        }
        v[static_cast<std::size_t>(level) + 1] = Pair(level, cur).Right;
        const std::int32_t before = variants_;
        Complete();
        ++cur;
        if (variants_ >= sc_.MaxVariants) return;
        if (variants_ > before) {
            // The rest of the level would only repeat the variant's keys.
            Count(size - cur);
            cur = size;
            return;
        }
    }
}

void Burst::Complete() {
    const auto& v = Building();
    if (Duplicate(v)) return;
    auto& la = sc_.LookAhead[static_cast<std::size_t>(variants_)];
    if (!ValidateVariant(*job_.Tables, job_.MapHeight, job_.Row, v, la)) return;
    Accept();
}

bool Burst::KnownKey(std::int32_t first, std::int32_t link) {
    // Variants found before (also by other workers, or placed by the
    // freezer) count too.
    return scratch_.HasKey(sc_, variants_, first, link);
}

bool Burst::Duplicate(const std::vector<std::int32_t>& v) { return KnownKey(v.front(), v[v.size() - 2]); }

// Publishes the variant being built and starts the next one from its prefix.
// The variant lists have room for every variant wanted, so adding one never
// moves those the linker may be reading.
void Burst::Accept() {
    const auto& v = Building();
    ++variants_;
    if (variants_ < sc_.MaxVariants) {
        if (sc_.Variants.size() <= static_cast<std::size_t>(variants_)) sc_.Variants.push_back(v);
        if (sc_.LookAhead.size() <= static_cast<std::size_t>(variants_))
            sc_.LookAhead.emplace_back(static_cast<std::size_t>(sc_.Len) * LookAheadRows, UnknownSquare);
    }
    sc_.VariantCount.store(variants_, std::memory_order_release);
    flags_.Activity.store(true, std::memory_order_relaxed);
}

// The next pair of the level whose left square is that of its current pair.
void Burst::AdvanceSameLeft(int level) {
    std::int32_t& cur = Cur(level);
    cur = scratch_.Levels[static_cast<std::size_t>(level)].NextSame[static_cast<std::size_t>(cur)];
}

// The level scanned last, when its cursor ran past its list, starts again
// from 0 and the level before moves on to its next pair with the same left
// square, and so on down; only the scanned level can have run past. The
// search ends (depth -1) when level 0 runs past its list.
void Burst::Backtrack(int scanned) {
    for (int m = scanned; m >= 1 && Cur(m) >= static_cast<std::int32_t>(Size(m)); --m) {
        Cur(m) = 0;
        depth_ = std::max(m - 2, 0);
        if (Cur(m - 1) < static_cast<std::int32_t>(Size(m - 1))) AdvanceSameLeft(m - 1);
        if (m == 1) tries_ = 0;  // a new first pair starts
    }
    if (Cur(0) >= static_cast<std::int32_t>(Size(0))) depth_ = -1;
}

// The search space is exhausted: without a variant the sub-chain cannot be
// completed.
void Burst::EndSearch(bool exhausted) {
    if (exhausted && variants_ == 0) sc_.Exhausted.store(true);
    if (exhausted || variants_ >= sc_.MaxVariants) sc_.Done.store(true);
}

void Burst::Run() {
    if (sc_.Len < 2 || sc_.Variants.empty()) {
        EndSearch(true);
        return;
    }
    if (sc_.Variants.size() <= static_cast<std::size_t>(variants_)) {
        // A placed variant (freezer) without a slot after it.
        sc_.Variants.emplace_back(sc_.Variants.back());
        sc_.LookAhead.emplace_back(static_cast<std::size_t>(sc_.Len) * LookAheadRows, UnknownSquare);
    }
    if (!scratch_.IndexValid) scratch_.BuildIndex(sc_, job_.Tables->Squares());
    if (sc_.Restricted.load(std::memory_order_acquire) && !Realign()) return;
    slot_.Steps.store(0, std::memory_order_relaxed);
    depth_ = 0;
    const std::int64_t limit = job_.SearchLimit;
    while (!Stopped()) {
        if (last_ == 0) {
            // One column pair: every pair is a variant.
            for (; Cur(0) < static_cast<std::int32_t>(Size(0)) && variants_ < sc_.MaxVariants; ++Cur(0)) {
                ++steps_;
                Building()[0] = Pair(0, Cur(0)).Left;
                Building()[1] = Pair(0, Cur(0)).Right;
                Complete();
            }
            depth_ = -1;
            break;
        }
        const int scanned = depth_ + 1;
        if (Cur(depth_) < static_cast<std::int32_t>(Size(depth_))) Scan();
        if (interrupted_ || variants_ >= sc_.MaxVariants) break;
        if (limit >= 0 && tries_ > limit) {
            ++Cur(0);
            std::fill(sc_.Cursor.begin() + 1, sc_.Cursor.end(), 0);
            tries_ = 0;
            depth_ = 0;
            if (sc_.Restricted.load(std::memory_order_acquire) && !Realign()) break;
        }
        Backtrack(scanned);
        if (depth_ < 0 || variants_ >= sc_.MaxVariants || steps_ >= Budget()) break;
    }
    sc_.Tries.store(static_cast<std::int32_t>(std::min<std::int64_t>(tries_, INT32_MAX)), std::memory_order_relaxed);
    slot_.Steps.store(static_cast<std::int32_t>(std::min<std::int64_t>(steps_, INT32_MAX)), std::memory_order_relaxed);
    if (steps_ > 0) flags_.Activity.store(true, std::memory_order_relaxed);
    if (sc_.Done.load()) return;  // ended by Realign, or by the linker
    if (depth_ < 0)
        EndSearch(true);
    else if (variants_ >= sc_.MaxVariants)
        EndSearch(false);
}

}  // namespace

void RunBurst(RunBuffers& buffers, int s, WorkerExchange& slot, RowFlags& flags, const RowJob& job, SubChainScratch& scratch,
              const std::atomic<bool>& cancel) {
    Burst(buffers, s, slot, flags, job, scratch, cancel).Run();
}

}  // namespace zorvane
