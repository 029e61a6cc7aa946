#include "presenter/stats_charts.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace zorvane {

namespace {

constexpr ChartColour HundredLine{192, 96, 96};
constexpr ChartColour LineColour{255, 255, 0};
constexpr ChartColour RowsDone{0, 128, 0};
constexpr ChartColour SegmentHead{128, 0, 0};

}  // namespace

void ChartPicture::Reset(int width, int height, ChartColour fill) {
    Width = std::max(width, 0);
    Height = std::max(height, 0);
    Px.assign(static_cast<std::size_t>(Width) * static_cast<std::size_t>(Height), fill);
}

void ChartPicture::Set(int x, int y, ChartColour c) {
    if (x >= 0 && y >= 0 && x < Width && y < Height) Px[static_cast<std::size_t>(y) * Width + x] = c;
}

// ---- Line chart --------------------------------------------------------------

LineChart::LineChart(LineChartKind kind, std::uint64_t seed) : kind_(kind), rng_(seed) {}

void LineChart::InitChart(int width, int height) {
    picture_.Reset(width, height, ChartWhite);
    const int last = picture_.Width - 1;
    for (int x = PlotLeft; x <= last; ++x) picture_.Set(x, PlotTop - 1, HundredLine);
    for (int x = 0; x <= last; ++x) picture_.Set(x, AxisRow, ChartBlack);
    for (int k = 0; k <= 10; ++k) picture_.Set(last - std::abs(k - 5), 55 + k, ChartBlack);
    for (int y = 0; y < picture_.Height; ++y) picture_.Set(AxisColumn, y, ChartBlack);
    for (int k = 0; k <= 5; ++k) {
        picture_.Set(AxisColumn + k, k, ChartBlack);
        picture_.Set(AxisColumn - k, k, ChartBlack);
    }
    fillState_ = kind_ == LineChartKind::WholeRun ? 1 : 0;
    shown_ = received_ = lastValue_ = 0;
    sweepSegments_ = 10;
    sweepPosition_ = 10;
    sweepStep_ = 0;
    sweepCounter_ = 10;
    sweepOffset_ = 19;
    sweepOffsetLimit_ = static_cast<int>(std::lround(static_cast<double>(PlotColumns) / sweepSegments_)) - 1;
}

int LineChart::RowOf(int percent) {
    // (100 - p) * 50 / 100 = (100 - p) / 2, halves to even.
    const int q = 100 - percent;
    int half = q / 2;
    if (q % 2 != 0 && half % 2 != 0) half += q > 0 ? 1 : -1;
    return PlotTop + half;
}

void LineChart::DrawPoint(int column, int percent) {
    const int row = RowOf(percent);
    if (row >= AxisRow) return;
    const int previous = RowOf(lastValue_);
    for (int y = std::min(previous, row); y <= std::max(previous - 1, row); ++y) picture_.Set(column, y, LineColour);
}

void LineChart::AddSample(int percent, ChartVisibility visibility) {
    percent = std::clamp(percent, 0, 100);
    shown_ = std::min(shown_ + 1, PlotColumns);
    if (kind_ == LineChartKind::WholeRun) ++received_;
    if (visibility == ChartVisibility::Hidden) return;
    if (kind_ == LineChartKind::Recent) {
        for (int y = PlotTop; y < AxisRow; ++y) {
            for (int x = PlotLeft; x < LastPlotColumn; ++x) picture_.Set(x, y, picture_.At(x + 1, y));
            picture_.Set(LastPlotColumn, y, ChartWhite);
        }
        DrawPoint(LastPlotColumn, percent);
    } else {
        if (fillState_ == 1 && shown_ >= PlotColumns) fillState_ = 2;
        if (fillState_ == 1) {
            DrawPoint(AxisColumn + shown_, percent);
        } else {
            std::uniform_int_distribution<int> pick(0, received_ - 1);
            if (pick(rng_) < PlotColumns && DropColumn() != LastPlotColumn) DrawPoint(LastPlotColumn, percent);
        }
    }
    lastValue_ = percent;
}

int LineChart::DropColumn() {
    // Eight steps out from the middle (positions 4, 6, 3, 7, 2, 8, 1, 9), then
    // back to the middle one column further right: position 0 is never used,
    // so the first twenty plot columns, the start of the run, stay as drawn.
    if (sweepCounter_ < sweepSegments_ - 2) {
        sweepStep_ = sweepStep_ >= 0 ? -(std::abs(sweepStep_) + 1) : std::abs(sweepStep_) + 1;
        sweepPosition_ += sweepStep_;
        ++sweepCounter_;
    } else {
        sweepCounter_ = 0;
        sweepStep_ = 0;
        sweepPosition_ = sweepSegments_ / 2;
        sweepOffset_ = sweepOffset_ >= sweepOffsetLimit_ ? 0 : sweepOffset_ + 1;
    }
    const int c = sweepPosition_ * (sweepOffsetLimit_ + 1) + PlotLeft + sweepOffset_;
    if (picture_.Width <= LastPlotColumn) return c;
    for (int y = PlotTop; y < AxisRow && y < picture_.Height; ++y)
        for (int j = c; j < LastPlotColumn; ++j) {
            const ChartColour right = picture_.At(j + 1, y);
            if (right == ChartWhite) continue;
            picture_.Set(j, y, right);
            picture_.Set(j + 1, y, ChartWhite);
        }
    return c;
}

// ---- Map chart ---------------------------------------------------------------

std::vector<ChartSegment> ChartSegmentsOf(std::span<const SubChainRecord> chains) {
    std::vector<ChartSegment> out;
    out.reserve(chains.size());
    int start = 0;
    for (const SubChainRecord& sc : chains) {
        ChartSegment s;
        s.Busy = sc.Busy.load();
        s.Start = start;
        s.Length = sc.Len;
        s.State = sc.Exhausted.load() ? 3 : sc.Frozen.load() ? 4 : sc.Done.load() ? 2 : sc.VariantCount.load() != 0 ? 1 : 0;
        start += sc.Len - 1;
        out.push_back(s);
    }
    return out;
}

void MapChart::InitMapChart(int width, int height) {
    width_ = std::min(width, MaxSide);
    height_ = std::min(height, MaxSide);
    if (width_ < 1 || height_ < 1) {
        scale_ = 1;
        width_ = height_ = MaxSide;
    } else {
        scale_ = std::min(MaxSide / width_, MaxSide / height_);
    }
    picture_.Reset(width_ * scale_, height_ * scale_, ChartBlack);
}

void MapChart::FillRows(int a, int b) {
    const ChartColour c = a < b ? RowsDone : ChartBlack;
    for (int y = std::min(a, b) * scale_; y <= (std::max(a, b) + 1) * scale_ - 1; ++y)
        for (int x = 0; x < width_ * scale_; ++x) picture_.Set(x, y, c);
}

ChartColour MapChart::SegmentColour(const ChartSegment& segment) {
    static constexpr ChartColour ByState[] = {{255, 192, 0}, {255, 255, 0}, {0, 255, 0}, {255, 0, 0}, {0, 128, 255}};
    ChartColour c = ByState[std::clamp(segment.State, 0, 4)];
    if (!segment.Busy) {
        auto lower = [](std::uint8_t v) { return static_cast<std::uint8_t>(std::max(v - 48, 0)); };
        c = {lower(c.R), lower(c.G), lower(c.B)};
    }
    return c;
}

void MapChart::DrawRow(int row, const FirstLineDrawing& firstLine) {
    FillRows(std::min(lastRow_, height_ - 1), row);
    const int rowTop = row * scale_;
    if (firstLine.Simplified && row + 2 == firstLine.StartingLine) {
        for (int y = rowTop; y < rowTop + scale_; ++y)
            for (int x = 0; x < picture_.Width; ++x) picture_.Set(x, y, LineColour);
    } else {
        for (const ChartSegment& s : segments_) {
            const ChartColour colour = SegmentColour(s);
            const int first = s.Start * scale_;
            const int last = std::min((s.Start + s.Length - 1) * scale_, picture_.Width - 1);
            for (int y = rowTop; y < rowTop + scale_; ++y)
                for (int x = first; x <= last; ++x)
                    picture_.Set(x, y, x <= (s.Start + 1) * scale_ - 1 ? SegmentHead : colour);
        }
    }
    lastRow_ = row;
}

}  // namespace zorvane
