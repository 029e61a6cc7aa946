// The linker's pass: one variant of every sub-chain such that neighbouring
// sub-chains agree on the column they share, or a verdict that the row
// cannot be completed with these sub-chains.
//
// A variant a of sub-chain i links to a variant b of sub-chain i+1 when the
// link square (column Len-2 of a) is the first square of b and their
// look-ahead squares at that column agree wherever both are known.

#include <algorithm>

#include "generator/search/variant_search.h"

namespace zorvane {

namespace {

// Variant k of a sub-chain and its look-ahead table. Only variants below a
// VariantCount read with acquire order are looked at; they never change
// and their storage never moves while the row is computed.
const std::vector<std::int32_t>& VariantOf(const SubChainRecord& sc, std::int32_t k) {
    return sc.Variants.data()[static_cast<std::size_t>(k)];
}
const std::vector<std::int32_t>& LookAheadOf(const SubChainRecord& sc, std::int32_t k) {
    return sc.LookAhead.data()[static_cast<std::size_t>(k)];
}
std::int32_t LinkSquare(const SubChainRecord& sc, std::int32_t k) {
    const auto& v = VariantOf(sc, k);
    return v[v.size() - 2];
}

void GiveUp(SubChainRecord& sc) {
    sc.Exhausted.store(true);
    sc.Done.store(true);
}

}  // namespace

void Linker::NewMark(const LearnedData& learned) {
    mark_.resize(static_cast<std::size_t>(std::max(learned.SquareCount(), 0)), 0);
    if (++stamp_ == 0) {
        std::fill(mark_.begin(), mark_.end(), 0);
        stamp_ = 1;
    }
}

void Linker::MarkLinkSquares(const LearnedData& learned, const SubChainRecord& sc, std::int32_t count) {
    NewMark(learned);
    for (std::int32_t k = 0; k < count; ++k) Mark(LinkSquare(sc, k));
}

bool Linker::Links(const SubChainRecord& a, int va, const SubChainRecord& b, int vb, int depth) const {
    if (LinkSquare(a, va) != VariantOf(b, vb).front()) return false;
    const auto& la = LookAheadOf(a, va);
    const auto& lb = LookAheadOf(b, vb);
    const std::size_t colA = static_cast<std::size_t>(a.Len - 2) * LookAheadRows;
    for (int r = 0; r < depth && r < LookAheadRows; ++r) {
        const std::int32_t x = la[colA + static_cast<std::size_t>(r)];
        const std::int32_t y = lb[static_cast<std::size_t>(r)];
        if (x != UnknownSquare && y != UnknownSquare && x != y) return false;
    }
    return true;
}

// A sub-chain that is done narrows the first pairs of its right neighbour
// to those that can continue one of its link squares.
bool Linker::Focus(const LearnedData& learned, RunBuffers& buffers, RowFlags& flags) {
    const int n = buffers.SubChainCount;
    for (int i = 0; i + 1 < n; ++i) {
        if (flags.StopRow.load()) return false;
        SubChainRecord& left = buffers.SubChains[static_cast<std::size_t>(i)];
        SubChainRecord& right = buffers.SubChains[static_cast<std::size_t>(i) + 1];
        if (!done_[static_cast<std::size_t>(i)] || done_[static_cast<std::size_t>(i) + 1] || right.Restricted.load())
            continue;
        MarkLinkSquares(learned, left, counts_[static_cast<std::size_t>(i)]);
        const auto& firstPairs = right.Pairs.front();
        std::vector<std::int32_t> focus;
        for (std::size_t p = 0; p < firstPairs.size(); ++p)
            if (Marked(firstPairs[p].Left)) focus.push_back(static_cast<std::int32_t>(p));
        if (focus.empty()) {
            GiveUp(left);
            GiveUp(right);
            flags.RowFailed.store(true);
            return false;
        }
        right.Focus = std::move(focus);
        right.Restricted.store(true, std::memory_order_release);
    }
    return true;
}

// Neighbours without a common link square cannot link; when both are done
// they never will.
bool Linker::CheckNeighbours(const LearnedData& learned, RunBuffers& buffers, RowFlags& flags) {
    const int n = buffers.SubChainCount;
    for (int i = 0; i + 1 < n; ++i) {
        SubChainRecord& left = buffers.SubChains[static_cast<std::size_t>(i)];
        SubChainRecord& right = buffers.SubChains[static_cast<std::size_t>(i) + 1];
        if (left.Exhausted.load() || right.Exhausted.load()) {
            flags.RowFailed.store(true);
            return false;
        }
        MarkLinkSquares(learned, left, counts_[static_cast<std::size_t>(i)]);
        bool common = false;
        for (std::int32_t k = 0; k < counts_[static_cast<std::size_t>(i) + 1] && !common; ++k)
            common = Marked(VariantOf(right, k).front());
        if (common) continue;
        if (done_[static_cast<std::size_t>(i)] && done_[static_cast<std::size_t>(i) + 1]) {
            GiveUp(left);
            GiveUp(right);
            flags.RowFailed.store(true);
        }
        return false;
    }
    return true;
}

// Marks, from the right, the variants that have a linked continuation to
// the row's end, then takes the first such variant of each sub-chain in
// turn: the first complete choice in the order of the variants.
bool Linker::Search(const LearnedData& learned, RunBuffers& buffers, RowFlags& flags, int depth) {
    const int n = buffers.SubChainCount;
    good_.resize(static_cast<std::size_t>(n));
    good_.back().assign(static_cast<std::size_t>(counts_.back()), 1);
    for (int i = n - 2; i >= 0; --i) {
        if (flags.StopRow.load(std::memory_order_relaxed)) return false;
        const SubChainRecord& a = buffers.SubChains[static_cast<std::size_t>(i)];
        const SubChainRecord& b = buffers.SubChains[static_cast<std::size_t>(i) + 1];
        // The good variants of b by their first square, ascending.
        NewMark(learned);
        firstWith_.resize(mark_.size());
        const auto& goodB = good_[static_cast<std::size_t>(i) + 1];
        nextWith_.assign(goodB.size(), -1);
        for (std::int32_t k = counts_[static_cast<std::size_t>(i) + 1]; k-- > 0;) {
            const std::int32_t first = VariantOf(b, k).front();
            if (!goodB[static_cast<std::size_t>(k)] || static_cast<std::size_t>(first) >= mark_.size()) continue;
            if (!Marked(first)) {
                Mark(first);
                firstWith_[static_cast<std::size_t>(first)] = -1;
            }
            nextWith_[static_cast<std::size_t>(k)] = firstWith_[static_cast<std::size_t>(first)];
            firstWith_[static_cast<std::size_t>(first)] = k;
        }
        auto& goodA = good_[static_cast<std::size_t>(i)];
        goodA.assign(static_cast<std::size_t>(counts_[static_cast<std::size_t>(i)]), 0);
        bool any = false;
        for (std::int32_t k = 0; k < counts_[static_cast<std::size_t>(i)]; ++k) {
            const std::int32_t link = LinkSquare(a, k);
            if (!Marked(link)) continue;
            for (std::int32_t vb = firstWith_[static_cast<std::size_t>(link)]; vb >= 0;
                 vb = nextWith_[static_cast<std::size_t>(vb)])
                if (Links(a, k, b, vb, depth)) {
                    goodA[static_cast<std::size_t>(k)] = 1;
                    any = true;
                    break;
                }
        }
        if (!any) return false;
    }
    std::int32_t choice = 0;
    while (!good_[0][static_cast<std::size_t>(choice)]) ++choice;
    buffers.Chosen[0].store(choice, std::memory_order_relaxed);
    for (int i = 0; i + 1 < n; ++i) {
        const SubChainRecord& a = buffers.SubChains[static_cast<std::size_t>(i)];
        const SubChainRecord& b = buffers.SubChains[static_cast<std::size_t>(i) + 1];
        const auto& goodB = good_[static_cast<std::size_t>(i) + 1];
        std::int32_t next = 0;
        while (!goodB[static_cast<std::size_t>(next)] || !Links(a, choice, b, next, depth)) ++next;
        choice = next;
        buffers.Chosen[static_cast<std::size_t>(i) + 1].store(choice, std::memory_order_relaxed);
    }
    return true;
}

void Linker::Pass(const LearnedData& learned, RunBuffers& buffers, RowFlags& flags, const RowJob& job) {
    if (flags.RowLinked.load() || flags.RowComplete.load() || flags.StopRow.load()) return;
    const int n = buffers.SubChainCount;
    if (n <= 0) return;
    // Done first: the variants of a sub-chain seen done are all published.
    done_.assign(static_cast<std::size_t>(n), 0);
    counts_.assign(static_cast<std::size_t>(n), 0);
    bool allDone = true;
    for (int i = 0; i < n; ++i) {
        done_[static_cast<std::size_t>(i)] = buffers.SubChains[static_cast<std::size_t>(i)].Done.load(std::memory_order_acquire);
        allDone = allDone && done_[static_cast<std::size_t>(i)];
    }
    for (int i = 0; i < n; ++i)
        counts_[static_cast<std::size_t>(i)] =
            buffers.SubChains[static_cast<std::size_t>(i)].VariantCount.load(std::memory_order_acquire);
    if (n == 1) {
        if (counts_[0] > 0) {
            buffers.Chosen[0].store(0, std::memory_order_relaxed);
            flags.RowLinked.store(true, std::memory_order_release);
        }
        return;
    }
    for (int i = 0; i < n; ++i) {
        SubChainRecord& sc = buffers.SubChains[static_cast<std::size_t>(i)];
        if (sc.Exhausted.load() && sc.Done.load()) {
            flags.RowFailed.store(true);
            return;
        }
        if (counts_[static_cast<std::size_t>(i)] == 0 && flags.AllDone.load()) {
            GiveUp(sc);
            flags.RowFailed.store(true);
            return;
        }
    }
    if (!Focus(learned, buffers, flags) || !CheckNeighbours(learned, buffers, flags)) return;
    for (std::int32_t c : counts_)
        if (c == 0) return;
    if (Search(learned, buffers, flags, LookAheadDepth(job.MapHeight, job.LastRow))) {
        flags.RowLinked.store(true, std::memory_order_release);
        return;
    }
    if (allDone && !flags.StopRow.load()) {
        for (int i = 0; i < n; ++i) GiveUp(buffers.SubChains[static_cast<std::size_t>(i)]);
        flags.RowFailed.store(true);
    }
}

}  // namespace zorvane
