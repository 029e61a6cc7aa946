#include "model/flatten.h"

#include <algorithm>
#include <cstring>

namespace zorvane {

namespace {

// Pixels are handled eight at a time as 64-bit words.
constexpr int Words = BitmapBytes / 8;

std::uint64_t Word(const std::uint8_t* p, int i) {
    std::uint64_t w;
    std::memcpy(&w, p + i * 8, 8);
    return w;
}

bool IsBlank(const std::uint8_t* pixels) {
    std::uint64_t any = 0;
    for (int i = 0; i < Words; ++i) any |= Word(pixels, i);
    return any == 0;
}

// Copies every pixel of `src` that is not 0 over `dst`.
void Overlay(std::uint8_t* dst, const std::uint8_t* src) {
    constexpr std::uint64_t low7 = 0x7F7F7F7F7F7F7F7FULL;
    for (int i = 0; i < Words; ++i) {
        std::uint64_t s = Word(src, i);
        // The high bit of each byte of `shown` is set where that byte of s is not 0.
        std::uint64_t shown = (((s & low7) + low7) | s) & ~low7;
        std::uint64_t mask = (shown >> 7) * 0xFF;
        std::uint64_t d = (Word(dst, i) & ~mask) | s;
        std::memcpy(dst + i * 8, &d, 8);
    }
}

// The columns (or rows) first..last of a tile clipped to 0..size-1; empty
// when first > last. Tile positions are free, so the sums run in 64 bits.
struct Span {
    int first;
    int last;
};
Span Clip(int pos, int length, int size) {
    std::int64_t first = std::max<std::int64_t>(pos, 0);
    std::int64_t last = std::min<std::int64_t>(static_cast<std::int64_t>(pos) + length - 1, size - 1);
    if (length <= 0 || first > last) return {0, -1};
    return {static_cast<int>(first), static_cast<int>(last)};
}

}  // namespace

Flattener::Flattener(Project& project) : project_(project), index_(project) { IndexTiles(); }

void Flattener::IndexTiles() {
    const int w = std::max(project_.MapWidth, 0);
    const int h = std::max(project_.MapHeight, 0);
    cellStart_.assign(static_cast<std::size_t>(w) * h + 1, 0);
    auto forEachCell = [&](const MapTile& t, auto&& visit) {
        Span cols = Clip(t.X, t.Width, w);
        Span rows = Clip(t.Y, t.Height, h);
        for (int y = rows.first; y <= rows.last; ++y)
            for (int x = cols.first; x <= cols.last; ++x) visit(static_cast<std::size_t>(y) * w + x);
    };
    for (const auto& t : project_.UsedTiles) forEachCell(*t, [&](std::size_t cell) { ++cellStart_[cell + 1]; });
    for (std::size_t i = 1; i < cellStart_.size(); ++i) cellStart_[i] += cellStart_[i - 1];
    cellTiles_.resize(static_cast<std::size_t>(cellStart_.back()));
    std::vector<int> next(cellStart_.begin(), cellStart_.end() - 1);
    for (std::size_t i = 0; i < project_.UsedTiles.size(); ++i)
        forEachCell(*project_.UsedTiles[i], [&](std::size_t cell) { cellTiles_[next[cell]++] = static_cast<int>(i); });
}

std::span<const int> Flattener::TilesAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= project_.MapWidth || y >= project_.MapHeight) return {};
    std::size_t cell = static_cast<std::size_t>(y) * project_.MapWidth + x;
    return {cellTiles_.data() + cellStart_[cell], static_cast<std::size_t>(cellStart_[cell + 1] - cellStart_[cell])};
}

const Flattener::BitmapFacts& Flattener::Facts(int id) {
    if (static_cast<std::size_t>(id) >= facts_.size()) facts_.resize(static_cast<std::size_t>(project_.BitmapCount));
    BitmapFacts& f = facts_[static_cast<std::size_t>(id)];
    if (!f.known) {
        const std::uint8_t* px = project_.Bitmap(id);
        f.known = true;
        f.opaque = std::memchr(px, 0, BitmapBytes) == nullptr;
        f.alone = IsBlank(px) ? NoBitmap : static_cast<std::uint16_t>(index_.Canonical(id));
    }
    return f;
}

std::uint16_t Flattener::Composite(int x, int y, bool top) {
    // Gather the pictures that show, from the top tile down to the first one
    // that hides everything below it. Ids at or above the bitmap count are
    // blank and show nothing.
    layers_.clear();
    auto tiles = TilesAt(x, y);
    for (auto it = tiles.rbegin(); it != tiles.rend(); ++it) {
        const MapTile& t = *project_.UsedTiles[static_cast<std::size_t>(*it)];
        if (!t.Contains(x, y, TileArea::Bitmaps)) continue;
        std::uint16_t id = top ? t.GetTop(x, y) : t.GetGnd(x, y);
        if (id >= project_.BitmapCount) continue;
        layers_.push_back(id);
        if (Facts(id).opaque) break;
    }
    if (layers_.empty()) return NoBitmap;
    if (layers_.size() == 1) return Facts(layers_.front()).alone;

    std::memcpy(scratch_.data(), project_.Bitmap(layers_.back()), BitmapBytes);
    for (auto it = layers_.rbegin() + 1; it != layers_.rend(); ++it) Overlay(scratch_.data(), project_.Bitmap(*it));
    if (IsBlank(scratch_.data())) return NoBitmap;
    int found = index_.Find(scratch_.data());
    if (found >= 0) return static_cast<std::uint16_t>(found);
    int id = project_.AddBitmap(scratch_.data());
    index_.Add(id);
    return static_cast<std::uint16_t>(id);
}

std::uint16_t Flattener::FlatGndToBitmap(int x, int y) { return Composite(x, y, false); }
std::uint16_t Flattener::FlatTopToBitmap(int x, int y) { return Composite(x, y, true); }

std::uint8_t Flattener::FlatAtrOfSq(int x, int y) const {
    auto tiles = TilesAt(x, y);
    for (auto it = tiles.rbegin(); it != tiles.rend(); ++it) {
        const MapTile& t = *project_.UsedTiles[static_cast<std::size_t>(*it)];
        const MapSquare& sq = t.SqAt(x - t.X, y - t.Y);
        if (sq.Atr != 0 || sq.Gnd != NoBitmap) return sq.Atr;
    }
    return AtrImpassable;
}

bool FlatMap(Project& project, UserInterface& ui) {
    ProgressScope progress(ui);
    ui.setStatus("flattening map...");
    const int before = project.BitmapCount;
    const int w = std::max(project.MapWidth, 0);
    const int count = w * std::max(project.MapHeight, 0);
    try {
        Flattener flattener(project);
        project.FlatSquares.assign(static_cast<std::size_t>(count), MapSquare{});
        ui.prepareProgress(0, count);
        for (int i = 0; i < count; ++i) {
            const int x = i % w;
            const int y = i / w;
            MapSquare& sq = project.FlatSquares[static_cast<std::size_t>(i)];
            sq.Gnd = flattener.FlatGndToBitmap(x, y);
            sq.Top = flattener.FlatTopToBitmap(x, y);
            sq.Atr = flattener.FlatAtrOfSq(x, y);
            ui.updateProgress(i, 1000);
        }
    } catch (...) {
        project.SetBitmapCount(before);
        project.FlatSquares.clear();
        throw;
    }
    ui.setStatus("flattening complete.");
    const bool added = project.BitmapCount != before;
    if (added) ui.changed(BitmapsChanged());
    return added;
}

}  // namespace zorvane
