#include "presenter/square_preview.h"

#include <algorithm>
#include <unordered_map>

#include "generator/learning/objects.h"

namespace zorvane {

namespace {

MapSquare SquareOf(const MapGenerator& g, int index) {
    const LearnedSquare& s = g.Sq(index);
    return {s.Gnd, s.Top, s.Atr};
}

std::vector<MapSquare> StartSquares(const MapGenerator& g) {
    std::vector<MapSquare> out;
    out.reserve(g.ObjStarts.size());
    for (std::int32_t s : g.ObjStarts)
        if (s >= 0 && s < g.SquareCount()) out.push_back(SquareOf(g, s));
    return out;
}

// One object picture: a canvas of 4j x 4j cells (j = max(1, object size))
// holding square indices, kept sparse so that only placed cells take room,
// and the bounds of what has been placed.
class ObjectPicture {
public:
    ObjectPicture(int size, int first) : size_(size), side_(4 * static_cast<std::int64_t>(std::max(1, size))) {
        const auto c = static_cast<int>(side_ / 2);
        Put(c, c, first);
        left_ = right_ = c;
        top_ = bottom_ = c;
    }

    // Places squares through their 1-to-1 neighbours until a pass over the
    // bounds places nothing.
    void Grow(const MapGenerator& g, const OneToOne& links, std::vector<bool>& placed) {
        for (bool again = true; again;) {
            again = false;
            const int top = top_, bottom = bottom_, left = left_, right = right_;
            for (int r = top; r <= bottom; ++r) {
                for (int c = left; c <= right; ++c) {
                    const int s = At(c, r);
                    if (s < 0 || s == g.EmptySquare()) continue;
                    again |= TryPlace(g, c, r - 1, links.Above(s), placed);
                    again |= TryPlace(g, c, r + 1, links.Below(s), placed);
                    again |= TryPlace(g, c - 1, r, links.Left(s), placed);
                    again |= TryPlace(g, c + 1, r, links.Right(s), placed);
                }
            }
        }
    }

    PreviewRecord Record(const MapGenerator& g) const {
        PreviewRecord rec;
        rec.Id = size_;
        rec.Main = std::make_unique<MapTile>(right_ - left_ + 1, bottom_ - top_ + 1);
        const MapSquare empty = SquareOf(g, g.EmptySquare());
        for (int r = top_; r <= bottom_; ++r)
            for (int c = left_; c <= right_; ++c)
                rec.Main->SqAt(c - left_, r - top_) = At(c, r) < 0 ? empty : SquareOf(g, At(c, r));
        return rec;
    }

private:
    static std::int64_t Key(int c, int r) { return static_cast<std::int64_t>(r) * (std::int64_t{1} << 32) + c; }
    int At(int c, int r) const {
        auto it = cells_.find(Key(c, r));
        return it == cells_.end() ? -1 : it->second;
    }
    void Put(int c, int r, int s) { cells_[Key(c, r)] = s; }

    bool TryPlace(const MapGenerator& g, int c, int r, int s, std::vector<bool>& placed) {
        // Object sizes of connector squares are 0: their pictures may need
        // more room than the canvas has, and nothing is placed outside it.
        if (s < 0 || placed[static_cast<std::size_t>(s)] || c < 0 || r < 0 || c >= side_ || r >= side_) return false;
        const int held = At(c, r);
        if (held >= 0 && !IsBlankSquare(g.Sq(held))) return false;
        Put(c, r, s);
        placed[static_cast<std::size_t>(s)] = true;
        left_ = std::min(left_, c);
        right_ = std::max(right_, c);
        top_ = std::min(top_, r);
        bottom_ = std::max(bottom_, r);
        return true;
    }

    int size_;
    std::int64_t side_;
    std::unordered_map<std::int64_t, int> cells_;
    int left_ = 0, right_ = 0, top_ = 0, bottom_ = 0;
};

}  // namespace

bool HasSomethingToShow(const MapGenerator& generator, UserInterface& ui) {
    if (generator.SquareCount() > 0) return true;
    ui.message("Map Generator", "Nothing to show.", Icon::Information);
    return false;
}

PreviewData PrepareSqMatchesPreview(const MapGenerator& g, UserInterface& ui) {
    ProgressScope progress(ui);
    PreviewData data;
    data.StartSquares = StartSquares(g);
    const int last = g.SquareCount() - 1;
    const MapSquare empty = last >= 0 ? SquareOf(g, last) : MapSquare{};
    ui.prepareProgress(0, std::max(last - 1, 0));
    for (int i = 0; i < last; ++i) {
        ui.updateProgress(i, 100);
        const auto& right = g.Sq(i).Right;
        const auto& down = g.Sq(i).Down;
        const int r = static_cast<int>(right.size());
        const int d = static_cast<int>(down.size());
        const int w = std::max(1, 2 * std::max(r, d) - 1);
        PreviewRecord rec;
        rec.Neighbours = true;
        rec.Id = i;
        rec.EastCount = r;
        rec.SouthCount = d;
        rec.Main = std::make_unique<MapTile>(1, 1);
        rec.Main->SqAt(0, 0) = SquareOf(g, i);
        rec.Strip = std::make_unique<MapTile>(w, 3);
        for (MapSquare& s : rec.Strip->Sq) s = empty;
        for (int k = 0; k < r; ++k) rec.Strip->SqAt(2 * k, 0) = SquareOf(g, right[static_cast<std::size_t>(k)]);
        for (int k = 0; k < d; ++k) rec.Strip->SqAt(2 * k, 2) = SquareOf(g, down[static_cast<std::size_t>(k)]);
        data.Records.push_back(std::move(rec));
    }
    return data;
}

PreviewData PrepareSqWeightsTable(const MapGenerator& g, UserInterface& ui) {
    ProgressScope progress(ui);
    PreviewData data;
    data.StartSquares = StartSquares(g);
    const int last = g.SquareCount() - 1;
    std::vector<int> order;
    for (int i = 0; i < last; ++i) order.push_back(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return g.ObjectSizeOf(a) > g.ObjectSizeOf(b); });
    const OneToOne links(g);
    std::vector<bool> placed(static_cast<std::size_t>(std::max(last + 1, 0)), false);
    ui.prepareProgress(0, std::max(last - 1, 0));
    for (std::size_t n = 0; n < order.size(); ++n) {
        ui.updateProgress(static_cast<int>(n), 100);
        const int s = order[n];
        if (placed[static_cast<std::size_t>(s)]) continue;
        placed[static_cast<std::size_t>(s)] = true;
        ObjectPicture picture(g.ObjectSizeOf(s), s);
        picture.Grow(g, links, placed);
        data.Records.push_back(picture.Record(g));
    }
    return data;
}

}  // namespace zorvane
