#include "generator/driver/freezer.h"

#include <algorithm>

namespace zorvane {

void SubChainFreezer::Reset() {
    mask_.fill(false);
    told_ = false;
}

void SubChainFreezer::SetColumns(const SubChainRecord& sc, bool on) {
    for (int c = sc.start; c < sc.start + sc.Len && c < MaskColumns; ++c) mask_[static_cast<std::size_t>(c)] = on;
}

void SubChainFreezer::Unfreeze(SubChainRecord& sc) {
    sc.Frozen = false;
    sc.FreezePoints = 0;
}

void SubChainFreezer::RowFailed(const RunBuffers& buffers) {
    for (int i = 0; i < buffers.SubChainCount; ++i) {
        const SubChainRecord& sc = buffers.SubChains[static_cast<std::size_t>(i)];
        SetColumns(sc, !sc.Exhausted.load());
    }
    told_ = true;
}

void SubChainFreezer::RowDone(const RunBuffers& buffers) {
    for (int i = 0; i < buffers.SubChainCount; ++i) {
        const SubChainRecord& sc = buffers.SubChains[static_cast<std::size_t>(i)];
        SetColumns(sc, sc.Frozen.load());
    }
    told_ = true;
}

void SubChainFreezer::Place(const LearnedData& learned, RunBuffers& buffers, std::span<const MapSquare> mapRow, int hp) {
    told_ = false;
    const int columns = static_cast<int>(mapRow.size()) - 2 * BorderWidth;
    // 1. Flags whose square is blank, not learned, or no longer a candidate
    // of its column are cleared.
    bool any = false;
    for (int c = 0; c < MaskColumns; ++c) {
        bool& flag = mask_[static_cast<std::size_t>(c)];
        if (!flag) continue;
        if (c >= columns || c >= static_cast<int>(buffers.ColumnCandidates.size())) {
            flag = false;
            continue;
        }
        const MapSquare& q = mapRow[static_cast<std::size_t>(c + BorderWidth)];
        const int square = q.Gnd == NoBitmap && q.Top == NoBitmap ? -1 : learned.FindSq(q.Gnd, q.Top);
        const auto& cands = buffers.ColumnCandidates[static_cast<std::size_t>(c)];
        if (square < 0 || std::find(cands.begin(), cands.end(), square) == cands.end()) flag = false;
        any = any || flag;
    }
    if (!any) return;
    // 2. A sub-chain is frozen when all its own columns (the last two are
    // the next one's) are flagged.
    const int n = buffers.SubChainCount;
    for (int i = 0; i < n; ++i) {
        SubChainRecord& sc = buffers.SubChains[static_cast<std::size_t>(i)];
        const int own = i + 1 < n ? sc.Len - 2 : sc.Len;
        bool all = true;
        for (int c = sc.start; c < sc.start + own; ++c) all = all && mask_[static_cast<std::size_t>(c)];
        if (!all) {
            for (int c = sc.start; c < sc.start + own; ++c) mask_[static_cast<std::size_t>(c)] = false;
            Unfreeze(sc);
        } else {
            sc.Frozen = true;
            sc.FreezePoints = hp;
        }
    }
    // 3. Thinning: a sub-chain that is not frozen unfreezes its two
    // neighbours on either side; the next two are then passed over.
    int skip = 0;
    for (int i = 0; i < n; ++i) {
        if (skip > 0) {
            --skip;
            continue;
        }
        if (buffers.SubChains[static_cast<std::size_t>(i)].Frozen.load()) continue;
        for (int j = std::max(0, i - 2); j <= std::min(n - 1, i + 2); ++j)
            if (j != i) Unfreeze(buffers.SubChains[static_cast<std::size_t>(j)]);
        skip = 2;
    }
    // 4. Frozen sub-chains take their squares as their only variant.
    for (int i = 0; i < n; ++i) {
        SubChainRecord& sc = buffers.SubChains[static_cast<std::size_t>(i)];
        if (!sc.Frozen.load() || sc.Variants.empty()) continue;
        auto& v = sc.Variants.front();
        v.resize(static_cast<std::size_t>(sc.Len));
        for (int k = 0; k < sc.Len; ++k) {
            const MapSquare& q = mapRow[static_cast<std::size_t>(sc.start + BorderWidth + k)];
            v[static_cast<std::size_t>(k)] = learned.FindSq(q.Gnd, q.Top);
        }
        if (sc.LookAhead.empty()) sc.LookAhead.emplace_back();
        sc.LookAhead.front().assign(static_cast<std::size_t>(sc.Len) * LookAheadRows, UnknownSquare);
        sc.VariantCount = 1;
        sc.Done = true;
    }
}

}  // namespace zorvane
