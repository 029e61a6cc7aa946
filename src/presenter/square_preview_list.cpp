#include "presenter/square_preview_list.h"

#include <algorithm>

namespace zorvane {

using namespace preview_layout;

void SqPreviewList::ClearList() {
    records_.clear();
    contentWidth_ = MinContentWidth;
    contentHeight_ = 0;
    selected_ = -1;
}

void SqPreviewList::AddNewRecord(const NewPreviewRecord& shape) {
    SqPreviewRecord rec;
    rec.Neighbours = shape.Neighbours;
    rec.Id = shape.Id;
    rec.EastCount = shape.EastCount;
    rec.SouthCount = shape.SouthCount;
    rec.Main = std::make_unique<MapTile>(shape.MainWidth, shape.MainHeight);
    rec.Strip = shape.Neighbours ? std::make_unique<MapTile>(shape.StripWidth, shape.StripHeight)
                                 : std::make_unique<MapTile>(1, 1);
    rec.Top = records_.empty() ? 0 : records_.back().Bottom();
    if (shape.Neighbours) {
        const int m = std::max(shape.EastCount, shape.SouthCount);
        rec.Width = (2 * m + shape.MainWidth) * 32 + StripX;
        rec.Height = std::max(shape.MainHeight, 3) * 32 + 64;
    } else {
        rec.Width = shape.MainWidth * 32 + 64;
        rec.Height = shape.MainHeight * 32 + 64;
    }
    contentWidth_ = std::max(contentWidth_, rec.Width + 32);
    contentHeight_ = std::max(contentHeight_, rec.Bottom());
    records_.push_back(std::move(rec));
}

void SqPreviewList::SetSqToLastRec(PreviewTile tile, int column, const MapSquare& square, int row) {
    if (records_.empty()) return;
    MapTile& t = tile == PreviewTile::Main ? *records_.back().Main : *records_.back().Strip;
    if (column < 0 || row < 0 || column >= t.Width || row >= t.Height) return;
    t.SqAt(column, row) = square;
}

void SqPreviewList::Fill(const PreviewData& data) {
    ClearList();
    records_.reserve(data.Records.size());
    for (const PreviewRecord& rec : data.Records) {
        NewPreviewRecord shape;
        shape.Neighbours = rec.Neighbours && rec.Strip;
        shape.Id = rec.Id;
        shape.MainWidth = rec.Main->Width;
        shape.MainHeight = rec.Main->Height;
        if (shape.Neighbours) {
            shape.StripWidth = rec.Strip->Width;
            shape.StripHeight = rec.Strip->Height;
        }
        shape.EastCount = rec.EastCount;
        shape.SouthCount = rec.SouthCount;
        AddNewRecord(shape);
        auto copy = [this](PreviewTile into, const MapTile& from) {
            for (int c = 0; c < from.Width; ++c)
                for (int r = 0; r < from.Height; ++r) SetSqToLastRec(into, c, from.SqAt(c, r), r);
        };
        copy(PreviewTile::Main, *rec.Main);
        if (shape.Neighbours) copy(PreviewTile::Strip, *rec.Strip);
    }
    ObjStartList = data.StartSquares;
}

int SqPreviewList::GetSqRecId(std::uint16_t gnd, std::uint16_t top) const {
    for (std::size_t i = 0; i < records_.size(); ++i) {
        const MapTile& main = *records_[i].Main;
        if (main.Width > 0 && main.Height > 0 && main.GndAt(0, 0) == gnd && main.TopAt(0, 0) == top)
            return static_cast<int>(i);
    }
    return -1;
}

std::size_t SqPreviewList::FirstVisible(int scrollY) const {
    // Records are stacked, so their bottoms grow with the index.
    auto it = std::lower_bound(records_.begin(), records_.end(), scrollY,
                               [](const SqPreviewRecord& r, int y) { return r.Bottom() < y; });
    return static_cast<std::size_t>(it - records_.begin());
}

int SqPreviewList::GetIdOfSqAtXY(int x, int y, ScrollPosition scroll) const {
    const int cy = y + scroll.Y;
    auto it = std::upper_bound(records_.begin(), records_.end(), cy,
                               [](int v, const SqPreviewRecord& r) { return v < r.Bottom(); });
    if (it == records_.end() || it->Top > cy || !it->Neighbours) return -1;
    const SqPreviewRecord& rec = *it;
    const int dx = x + scroll.X - StripX;
    if (dx < 0 || dx >= 64 * std::max(rec.EastCount, rec.SouthCount) - 32) return -1;
    const int dy = cy - rec.Top;
    int row, limit;
    if (dy >= 32 && dy < 64) {
        row = 0;
        limit = rec.EastCount;
    } else if (dy >= 96 && dy < 128) {
        row = 2;
        limit = rec.SouthCount;
    } else {
        return -1;
    }
    const int column = dx / 32;
    if (column % 2 == 1 || dx / 64 >= limit) return -1;
    const MapTile& strip = *rec.Strip;
    if (column >= strip.Width || row >= strip.Height) return -1;
    return GetSqRecId(strip.GndAt(column, row), strip.TopAt(column, row));
}

void SqPreviewList::SelectSq(int index) {
    if (selected_ >= 0 && selected_ < Count()) records_[static_cast<std::size_t>(selected_)].Selected = false;
    if (index >= 0 && index < Count()) {
        records_[static_cast<std::size_t>(index)].Selected = true;
        selected_ = index;
    } else {
        selected_ = -1;
    }
}

ScrollPosition SqPreviewList::GoToRecord(int index, ScrollPosition scroll, int viewHeight) const {
    if (index < 0 || index >= Count()) return scroll;
    ScrollPosition to{0, scroll.Y};
    const SqPreviewRecord& rec = records_[static_cast<std::size_t>(index)];
    if (rec.Top < scroll.Y)
        to.Y = rec.Top;
    else if (rec.Bottom() > scroll.Y + viewHeight)
        to.Y = rec.Bottom() - viewHeight;
    return to;
}

bool SqPreviewList::IsObjectStart(const MapSquare& square) const {
    return std::any_of(ObjStartList.begin(), ObjStartList.end(),
                       [&](const MapSquare& s) { return s.Gnd == square.Gnd && s.Top == square.Top; });
}

}  // namespace zorvane
