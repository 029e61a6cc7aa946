// Filling an area: the fixed squares around it, the check of its edge, and
// the row-by-row search over the joined-up cells.

#include "generator/area/area_generation.h"

#include <algorithm>
#include <memory>
#include <random>

#include "generator/area/area_domains.h"
#include "generator/search/frequency_weights.h"
#include "generator/search/row_preparation.h"

namespace zorvane {

namespace {

using Clock = std::chrono::steady_clock;

// Choices of one row before the search backs up to the row above it, and
// rows chosen in all per row of the area before it gives up.
constexpr int kRowTries = 8;
constexpr std::int64_t kAttemptsPerRow = 400;

std::string BitmapText(const char* layer, std::uint16_t id) {
    return id == NoBitmap ? std::string("no ") + layer : std::string(layer) + " " + std::to_string(id);
}

std::string SquareText(int x, int y, const MapSquare& q) {
    return "square (" + std::to_string(x) + ", " + std::to_string(y) + ") [" + BitmapText("ground", q.Gnd) + ", " +
           BitmapText("top", q.Top) + "]";
}

// A fixed square next to the area: where it stands and its learned square.
struct EdgeSquare {
    int X = 0, Y = 0;
    std::int32_t Square = -1;  // -1: it constrains nothing
};

const char* SideText(JoinSide side) {
    switch (side) {
    case JoinSide::Below: return "below";
    case JoinSide::Right: return "right of";
    case JoinSide::Above: return "above";
    case JoinSide::Left: return "left of";
    }
    return "";
}

class AreaSearch {
public:
    AreaSearch(std::span<const MapSquare> visible, int mapWidth, int mapHeight, const MapArea& area, const LearnedData& gen,
               const AreaOptions& options, UserInterface& ui, GenerationRequests& requests, GenerationReport& report)
        : visible_(visible), mapWidth_(mapWidth), mapHeight_(mapHeight), area_(area), gen_(gen), options_(options),
          ui_(ui), requests_(requests), report_(report), joins_(gen, options.TwinsDisallowed),
          domains_(joins_, area.Width, area.Height) {
        rng_.seed(options.Seed ? *options.Seed : std::random_device{}());
        if (gen.Counts.Present()) freq_ = std::make_unique<FrequencyWeights>(gen, kGenerationShaping);
    }

    AreaFill Run();

private:
    MapSquare VisibleAt(int x, int y) const { return visible_[static_cast<std::size_t>(y) * mapWidth_ + x]; }
    Clock::time_point Now() const { return options_.Now ? options_.Now() : Clock::now(); }
    AreaFill Refuse(std::string text) const {
        AreaFill fill;
        fill.Outcome = AreaOutcome::Refused;
        fill.Message = std::move(text);
        return fill;
    }
    std::optional<std::string> ReadEdge();
    EdgeSquare FixedAt(int x, int y, std::optional<std::string>& problem) const;
    std::optional<std::string> NarrowEdge();
    std::string Neighbours(int column, int row) const;
    std::optional<AreaOutcome> Poll(int row, std::int64_t rowTries);
    void ShowProgress(int row, std::int64_t rowTries);
    void SampleRow(int row, std::vector<std::int32_t>& chosen);
    double Weight(std::int32_t above, std::int32_t left, std::int32_t s);
    void CorrectFrequencies(int row);

    std::span<const MapSquare> visible_;
    int mapWidth_, mapHeight_;
    MapArea area_;
    const LearnedData& gen_;
    const AreaOptions& options_;
    UserInterface& ui_;
    GenerationRequests& requests_;
    GenerationReport& report_;
    JoinSets joins_;
    AreaDomains domains_;
    GeneratorRng rng_;
    std::unique_ptr<FrequencyWeights> freq_;
    std::vector<EdgeSquare> above_, below_, left_, right_;  // per column / per row of the area
    std::vector<std::vector<std::int32_t>> rows_;           // the rows chosen
    std::vector<std::int64_t> placedOutside_;               // with counts: learned squares of the map outside
    std::vector<double> weights_;
    Clock::time_point started_{}, lastShown_{};
};

EdgeSquare AreaSearch::FixedAt(int x, int y, std::optional<std::string>& problem) const {
    EdgeSquare edge{x, y, -1};
    if (x < 0 || y < 0 || x >= mapWidth_ || y >= mapHeight_ || IsBorderSquare(x, y, mapWidth_, mapHeight_))
        return edge;
    const MapSquare q = VisibleAt(x, y);
    if (q.Gnd == NoBitmap && q.Top == NoBitmap) return edge;  // blank: nothing stands there yet
    edge.Square = gen_.FindSq(q.Gnd, q.Top);
    if (edge.Square < 0 && !problem)
        problem = "The " + SquareText(x, y, q) +
                  " next to the area is not a learned square, so no learned join can reach it.";
    if (edge.Square == gen_.EmptySquare()) edge.Square = -1;
    return edge;
}

std::optional<std::string> AreaSearch::ReadEdge() {
    std::optional<std::string> problem;
    for (int c = 0; c < area_.Width; ++c) {
        above_.push_back(FixedAt(area_.X + c, area_.Y - 1, problem));
        below_.push_back(FixedAt(area_.X + c, area_.Y + area_.Height, problem));
    }
    for (int r = 0; r < area_.Height; ++r) {
        left_.push_back(FixedAt(area_.X - 1, area_.Y + r, problem));
        right_.push_back(FixedAt(area_.X + area_.Width, area_.Y + r, problem));
    }
    return problem;
}

// The fixed squares next to a cell of the area, as text.
std::string AreaSearch::Neighbours(int column, int row) const {
    std::vector<std::pair<const EdgeSquare*, JoinSide>> around;
    if (row == 0) around.emplace_back(&above_[static_cast<std::size_t>(column)], JoinSide::Below);
    if (row == area_.Height - 1) around.emplace_back(&below_[static_cast<std::size_t>(column)], JoinSide::Above);
    if (column == 0) around.emplace_back(&left_[static_cast<std::size_t>(row)], JoinSide::Right);
    if (column == area_.Width - 1) around.emplace_back(&right_[static_cast<std::size_t>(row)], JoinSide::Left);
    std::string text;
    for (const auto& [edge, side] : around) {
        if (edge->Square < 0) continue;
        text += text.empty() ? "" : " and ";
        text += std::string(SideText(side)) + " " + SquareText(edge->X, edge->Y, VisibleAt(edge->X, edge->Y));
    }
    return text;
}

// Each cell on the edge keeps the squares that join its fixed neighbours;
// a cell that keeps none is refused at once, with those neighbours.
std::optional<std::string> AreaSearch::NarrowEdge() {
    const int w = area_.Width, h = area_.Height;
    auto narrow = [&](int c, int r, const EdgeSquare& edge, JoinSide side) {
        if (edge.Square >= 0) domains_.Narrow(c, r, side, edge.Square);
    };
    for (int c = 0; c < w; ++c) {
        narrow(c, 0, above_[static_cast<std::size_t>(c)], JoinSide::Below);
        narrow(c, h - 1, below_[static_cast<std::size_t>(c)], JoinSide::Above);
    }
    for (int r = 0; r < h; ++r) {
        narrow(0, r, left_[static_cast<std::size_t>(r)], JoinSide::Right);
        narrow(w - 1, r, right_[static_cast<std::size_t>(r)], JoinSide::Left);
    }
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c)
            if (domains_.Empty(c, r))
                return "No learned square can stand at (" + std::to_string(area_.X + c) + ", " +
                       std::to_string(area_.Y + r) + "): none may stand " + Neighbours(c, r) + ".";
    return std::nullopt;
}

// The statistics as far as row `row` of the area (the area's height: done).
void AreaSearch::ShowProgress(int row, std::int64_t rowTries) {
    GenerationStatistics s;
    s.State = row < area_.Height ? GeneratorState::Line : GeneratorState::Idle;
    s.Percent = 100.0 * row / area_.Height;
    s.CurrentRow = area_.Y + std::min(row, area_.Height - 1);
    s.LocalAttempt = rowTries;
    s.Elapsed = Now() - started_;
    s.RowTime = s.Elapsed;
    report_.ShowStatistics(s);
}

std::optional<AreaOutcome> AreaSearch::Poll(int row, std::int64_t rowTries) {
    const auto now = Now();
    if (Clock::now() - lastShown_ >= std::chrono::milliseconds(100)) {
        lastShown_ = Clock::now();
        ui_.processEvents();
        ShowProgress(row, rowTries);
        ui_.setStatus("Generating in the area... " + std::to_string(row * 100 / area_.Height) + "%");
    }
    if (requests_.StopRequest.load()) return AreaOutcome::Stopped;
    if (options_.TimeLimit && now - started_ >= *options_.TimeLimit) return AreaOutcome::TimedOut;
    return std::nullopt;
}

// The likelihood of square s below `above` and right of `left` (-1: none):
// with counts, the learned frequencies; otherwise the weights of the two
// neighbour lists (the copies of s in each).
double AreaSearch::Weight(std::int32_t above, std::int32_t left, std::int32_t s) {
    if (freq_) return freq_->Single(above < 0 ? gen_.EmptySquare() : above, left < 0 ? gen_.EmptySquare() : left, s);
    double w = 1;
    if (above >= 0) w *= gen_.CountInList(above, JoinDir::Down, s);
    if (left >= 0) w *= gen_.CountInList(left, JoinDir::Right, s);
    return w;
}

// Left to right, each square drawn among those the cell keeps that join
// the square chosen to its left. The row is joined up, so there always is one.
void AreaSearch::SampleRow(int row, std::vector<std::int32_t>& chosen) {
    const int words = joins_.Words();
    chosen.assign(static_cast<std::size_t>(area_.Width), -1);
    std::vector<std::int32_t> cands;
    for (int c = 0; c < area_.Width; ++c) {
        const std::int32_t above = row > 0 ? rows_[static_cast<std::size_t>(row) - 1][static_cast<std::size_t>(c)]
                                           : above_[static_cast<std::size_t>(c)].Square;
        const std::int32_t left = c > 0 ? chosen[static_cast<std::size_t>(c) - 1] : left_[static_cast<std::size_t>(row)].Square;
        const std::uint64_t* cell = domains_.Cell(c, row);
        const std::uint64_t* joinsLeft = c > 0 ? joins_.Of(JoinSide::Right, left) : nullptr;
        cands.clear();
        for (int w = 0; w < words; ++w)
            for (std::uint64_t bits = cell[w] & (joinsLeft ? joinsLeft[w] : ~std::uint64_t{0}); bits; bits &= bits - 1)
                cands.push_back(w * 64 + __builtin_ctzll(bits));
        if (cands.empty()) throw Error("The area's row " + std::to_string(area_.Y + row) + " does not join up.");
        weights_.resize(cands.size());
        double sum = 0;
        for (std::size_t i = 0; i < cands.size(); ++i) sum += weights_[i] = std::max(Weight(above, left, cands[i]), 1e-12);
        double at = UniformUnit(rng_) * sum;
        std::size_t pick = 0;
        while (pick + 1 < cands.size() && at >= weights_[pick]) at -= weights_[pick++];
        chosen[static_cast<std::size_t>(c)] = cands[pick];
    }
}

// With counts: the squares of the map outside the area and of the rows
// chosen so far steer the next row towards the learned shares.
void AreaSearch::CorrectFrequencies(int row) {
    if (!freq_) return;
    std::vector<std::int64_t> placed = placedOutside_;
    for (int r = 0; r < row; ++r)
        for (std::int32_t s : rows_[static_cast<std::size_t>(r)]) ++placed[static_cast<std::size_t>(s)];
    freq_->Correct(placed);
}

AreaFill AreaSearch::Run() {
    started_ = Now();
    if (auto problem = ReadEdge()) return Refuse(*problem);
    if (auto problem = NarrowEdge()) return Refuse(*problem);
    std::vector<int> all(static_cast<std::size_t>(area_.Height));
    for (int r = 0; r < area_.Height; ++r) all[static_cast<std::size_t>(r)] = r;
    if (!domains_.Propagate(0, all)) {
        const auto at = *domains_.WipedOut();
        return Refuse("The squares around the area admit no fill: no learned square can stand at (" +
                      std::to_string(area_.X + at.Column) + ", " + std::to_string(area_.Y + at.Row) +
                      ") so that every join to the area's edge is learned.");
    }
    if (freq_) {
        placedOutside_.assign(static_cast<std::size_t>(gen_.SquareCount()), 0);
        for (int y = BorderWidth; y < mapHeight_ - BorderWidth; ++y)
            for (int x = BorderWidth; x < mapWidth_ - BorderWidth; ++x) {
                if (x >= area_.X && x < area_.X + area_.Width && y >= area_.Y && y < area_.Y + area_.Height) continue;
                const MapSquare q = VisibleAt(x, y);
                const int s = gen_.FindSq(q.Gnd, q.Top);
                if (s >= 0 && s < gen_.EmptySquare()) ++placedOutside_[static_cast<std::size_t>(s)];
            }
    }
    const int h = area_.Height;
    rows_.assign(static_cast<std::size_t>(h), {});
    std::vector<std::size_t> marks(static_cast<std::size_t>(h), 0);
    std::vector<int> tries(static_cast<std::size_t>(h), 0);
    const std::int64_t maxAttempts = kAttemptsPerRow * h;
    AreaFill fill;
    int row = 0;
    while (row < h) {
        const auto r = static_cast<std::size_t>(row);
        if (auto stop = Poll(row, tries[r])) {
            fill.Outcome = *stop;
            if (*stop == AreaOutcome::TimedOut)
                fill.Message = "The area could not be filled within the time limit (at row " +
                               std::to_string(area_.Y + row) + "); nothing was changed.";
            return fill;
        }
        if (fill.RowAttempts >= maxAttempts)
            return Refuse("No fill of the area joins its edge: " + std::to_string(fill.RowAttempts) +
                          " rows were tried, the last at row " + std::to_string(area_.Y + row) + ".");
        if (tries[r] == 0)
            marks[r] = domains_.Mark();
        else
            domains_.UndoTo(marks[r]);
        if (tries[r] >= kRowTries && row > 0) {
            tries[r] = 0;
            --row;  // the row above is chosen again
            continue;
        }
        ++tries[r];
        ++fill.RowAttempts;
        CorrectFrequencies(row);
        SampleRow(row, rows_[r]);
        for (int c = 0; c < area_.Width; ++c) domains_.Fix(c, row, rows_[r][static_cast<std::size_t>(c)]);
        const int touched[] = {row};
        if (!domains_.Propagate(row, touched)) continue;
        ++row;
        if (row < h) tries[static_cast<std::size_t>(row)] = 0;
    }
    ShowProgress(h, 0);
    fill.Outcome = AreaOutcome::Completed;
    fill.Squares.reserve(static_cast<std::size_t>(area_.Width) * h);
    for (const auto& chosen : rows_)
        for (std::int32_t s : chosen) {
            const LearnedSquare& sq = gen_.Sq(s);
            fill.Squares.push_back(MapSquare{sq.Gnd, sq.Top, sq.Atr});
        }
    return fill;
}

}  // namespace

AreaFill FillArea(std::span<const MapSquare> visible, int mapWidth, int mapHeight, const MapArea& area, const LearnedData& gen,
                  const AreaOptions& options, UserInterface& ui, GenerationRequests& requests,
                  GenerationReport& report) {
    if (auto outside = AreaOutsideMap(area, mapWidth, mapHeight)) throw Error(*outside);
    if (visible.size() != static_cast<std::size_t>(mapWidth) * mapHeight)
        throw Error("The map's squares do not fill its size.");
    if (!gen.Ready()) throw Error(NotReadyText);
    return AreaSearch(visible, mapWidth, mapHeight, area, gen, options, ui, requests, report).Run();
}

}  // namespace zorvane
