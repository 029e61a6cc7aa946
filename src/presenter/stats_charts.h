#pragma once
// The statistics window's charts as pictures: the line chart of the
// completed percentage (the recent samples, or the whole run thinned into
// 200 columns) and the map chart (rows done, and the line fragments of the
// current row coloured by their state). The window adds the text labels and
// shows the pictures; everything else about them is here.

#include <cstdint>
#include <random>
#include <span>
#include <vector>

#include "generator/search/run_buffers.h"

namespace zorvane {

struct ChartColour {
    std::uint8_t R = 0, G = 0, B = 0;
    friend bool operator==(const ChartColour&, const ChartColour&) = default;
};
inline constexpr ChartColour ChartWhite{255, 255, 255};
inline constexpr ChartColour ChartBlack{0, 0, 0};

// A 24-bit picture, top row first.
struct ChartPicture {
    int Width = 0;
    int Height = 0;
    std::vector<ChartColour> Px;

    void Reset(int width, int height, ChartColour fill);
    ChartColour At(int x, int y) const { return Px[static_cast<std::size_t>(y) * Width + x]; }
    void Set(int x, int y, ChartColour c);  // ignores points outside
};

enum class LineChartKind { Recent, WholeRun };
enum class ChartVisibility { Shown, Hidden };

class LineChart {
public:
    static constexpr int AxisRow = 60;
    static constexpr int AxisColumn = 10;
    static constexpr int PlotLeft = 11;
    static constexpr int PlotTop = 10;
    static constexpr int PlotColumns = 200;
    static constexpr int PlotHeight = 50;
    static constexpr int LastPlotColumn = PlotLeft + PlotColumns - 1;  // 210

    // `seed` feeds the whole-run chart's choice of the samples it keeps.
    explicit LineChart(LineChartKind kind, std::uint64_t seed = std::random_device{}());

    // A fresh history on a white picture of the control's size with its axes.
    void InitChart(int width, int height);
    // One percentage 0..100; a hidden chart only counts it.
    void AddSample(int percent, ChartVisibility visibility = ChartVisibility::Shown);
    // Merges one plot column of the whole-run chart with its right neighbour;
    // returns the column merged.
    int DropColumn();

    // The picture row of a percentage (row 60 and below are not drawn).
    static int RowOf(int percent);

    const ChartPicture& Picture() const { return picture_; }
    LineChartKind Kind() const { return kind_; }
    int SamplesShown() const { return shown_; }
    int SamplesReceived() const { return received_; }

private:
    void DrawPoint(int column, int percent);

    LineChartKind kind_;
    std::mt19937_64 rng_;
    ChartPicture picture_;
    int fillState_ = 0;
    int shown_ = 0;
    int received_ = 0;
    int lastValue_ = 0;
    int sweepSegments_ = 10;
    int sweepPosition_ = 10;
    int sweepStep_ = 0;
    int sweepCounter_ = 10;
    int sweepOffset_ = 19;
    int sweepOffsetLimit_ = 19;
};

// One line fragment of the row being generated, as the map chart draws it.
struct ChartSegment {
    bool Busy = false;
    int Start = 0;   // first column; neighbouring fragments share their border column
    int Length = 0;  // columns
    int State = 0;   // 0 searching, 1 has variants, 2 done, 3 exhausted, 4 frozen
};
// The fragments of the current row; read on the thread that runs the
// generation (the counts are not shared with other threads).
std::vector<ChartSegment> ChartSegmentsOf(std::span<const SubChainRecord> chains);

// The simplified first line paints its whole chart row yellow.
struct FirstLineDrawing {
    bool Simplified = false;
    int StartingLine = 0;  // a map row
};

class MapChart {
public:
    static constexpr int MaxSide = 202;

    void InitMapChart(int width, int height);
    // Chart rows a..b (either order) dark green when a < b, else black.
    void FillRows(int a, int b);
    void LoadSubchains(std::vector<ChartSegment> segments) { segments_ = std::move(segments); }
    void DrawRow(int row, const FirstLineDrawing& firstLine);

    const ChartPicture& Picture() const { return picture_; }
    int Scale() const { return scale_; }
    int LastRow() const { return lastRow_; }

    static ChartColour SegmentColour(const ChartSegment& segment);

private:
    ChartPicture picture_;
    int width_ = 0;
    int height_ = 0;
    int scale_ = 1;
    int lastRow_ = 0;  // survives re-initialisation
    std::vector<ChartSegment> segments_;
};

}  // namespace zorvane
