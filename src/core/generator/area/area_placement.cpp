// The area in the project: which rectangle, whether it may be generated,
// and putting the new squares in place of the old ones.

#include <algorithm>
#include <charconv>

#include "generator/area/area_generation.h"
#include "generator/map_check.h"

namespace zorvane {

namespace {

std::string AreaText(const MapArea& a) {
    return std::to_string(a.Width) + " x " + std::to_string(a.Height) + " squares at (" + std::to_string(a.X) + ", " +
           std::to_string(a.Y) + ")";
}

bool Inside(const MapTile& tile, const MapArea& a) {
    return tile.X >= a.X && tile.Y >= a.Y && tile.X + tile.Width <= a.X + a.Width &&
           tile.Y + tile.Height <= a.Y + a.Height;
}

}  // namespace

std::optional<MapArea> ParseMapArea(const std::string& text) {
    int values[4];
    const char* at = text.data();
    const char* end = text.data() + text.size();
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            if (at == end || *at != ',') return std::nullopt;
            ++at;
        }
        if (at == end || *at == '-' || *at == '+') return std::nullopt;
        const auto [next, error] = std::from_chars(at, end, values[i]);
        if (error != std::errc()) return std::nullopt;
        at = next;
    }
    if (at != end) return std::nullopt;
    return MapArea{values[0], values[1], values[2], values[3]};
}

std::optional<MapArea> SelectedArea(const Project& project) {
    std::optional<MapArea> bounds;
    for (const SelectionEntry& entry : project.Selection) {
        if (entry.Index < 0 || static_cast<std::size_t>(entry.Index) >= project.UsedTiles.size()) continue;
        const MapTile& t = *project.UsedTiles[static_cast<std::size_t>(entry.Index)];
        if (!bounds) {
            bounds = MapArea{t.X, t.Y, t.Width, t.Height};
            continue;
        }
        const int right = std::max(bounds->X + bounds->Width, t.X + t.Width);
        const int bottom = std::max(bounds->Y + bounds->Height, t.Y + t.Height);
        bounds->X = std::min(bounds->X, t.X);
        bounds->Y = std::min(bounds->Y, t.Y);
        bounds->Width = right - bounds->X;
        bounds->Height = bottom - bounds->Y;
    }
    return bounds;
}

std::optional<std::string> AreaOutsideMap(const MapArea& a, int mapWidth, int mapHeight) {
    if (a.Width < 1 || a.Height < 1) return "The area " + AreaText(a) + " is empty: it needs at least one square.";
    const int lastColumn = mapWidth - BorderWidth - 1, lastRow = mapHeight - BorderWidth - 1;
    if (lastColumn < BorderWidth || lastRow < BorderWidth) return std::string("The map has no inner squares.");
    if (a.X < BorderWidth || a.Y < BorderWidth || a.X > lastColumn - a.Width + 1 || a.Y > lastRow - a.Height + 1)
        return "The area " + AreaText(a) + " is not inside the map's inner squares: columns " +
               std::to_string(BorderWidth) + " to " + std::to_string(lastColumn) + ", rows " +
               std::to_string(BorderWidth) + " to " + std::to_string(lastRow) + " (borders counted).";
    return std::nullopt;
}

std::optional<std::string> TilesBlockingArea(const Project& project, const MapArea& a) {
    for (const auto& tile : project.UsedTiles) {
        const MapTile& t = *tile;
        if (!t.Overlaps(a.X, a.X + a.Width - 1, a.Y, a.Y + a.Height - 1) || Inside(t, a)) continue;
        const int x1 = std::max(t.X, a.X), y1 = std::max(t.Y, a.Y);
        const int x2 = std::min(t.X + t.Width, a.X + a.Width) - 1, y2 = std::min(t.Y + t.Height, a.Y + a.Height) - 1;
        return "The tile of " + std::to_string(t.Width) + " x " + std::to_string(t.Height) + " squares at (" +
               std::to_string(t.X) + ", " + std::to_string(t.Y) + ") crosses the area's edge: its squares (" +
               std::to_string(x1) + ", " + std::to_string(y1) + ") to (" + std::to_string(x2) + ", " +
               std::to_string(y2) + ") block the area. Move or split the tile, or choose an area that holds it whole.";
    }
    return std::nullopt;
}

void PlaceAreaSquares(Project& project, const MapArea& a, std::span<const MapSquare> squares) {
    if (squares.size() != static_cast<std::size_t>(a.Width) * a.Height)
        throw Error("The new squares do not fill the area.");
    if (auto blocked = TilesBlockingArea(project, a)) throw Error(*blocked);
    std::erase_if(project.UsedTiles, [&](const std::unique_ptr<MapTile>& t) { return Inside(*t, a); });
    for (auto& t : project.UsedTiles) t->Selected = false;
    project.Selection.clear();
    for (int r = 0; r < a.Height; ++r)
        for (int c = 0; c < a.Width; ++c) {
            auto tile = std::make_unique<MapTile>(1, 1);
            tile->X = a.X + c;
            tile->Y = a.Y + r;
            tile->Sq.front() = squares[static_cast<std::size_t>(r) * a.Width + c];
            project.UsedTiles.push_back(std::move(tile));
        }
}

AreaOutcome GenerateInArea(Project& project, UserInterface& ui, const LearnedData& gen, const MapArea& area,
                           const AreaOptions& options, GenerationRequests& requests, GenerationReport& report) {
    const auto refuse = [&](const std::string& text) {
        ui.message("Generate in Selection", text, Icon::Warning);
        return AreaOutcome::Refused;
    };
    if (!gen.Ready()) {
        ui.message("Information", NotReadyText, Icon::Information);
        return AreaOutcome::Refused;
    }
    if (auto outside = AreaOutsideMap(area, project.MapWidth, project.MapHeight)) return refuse(*outside);
    if (auto blocked = TilesBlockingArea(project, area)) return refuse(*blocked);
    requests.Clear();
    report.ResetHeartbeat();
    report.ShowIfRequested();
    const auto visible = VisibleSquares(project);
    AreaFill fill;
    try {
        fill = FillArea(visible, project.MapWidth, project.MapHeight, area, gen, options, ui, requests, report);
    } catch (const Error& e) {
        report.RunEnded();
        return refuse(e.what());
    }
    report.SetGeneratorState(GeneratorState::Idle);
    report.RunEnded();
    switch (fill.Outcome) {
    case AreaOutcome::Completed:
        PlaceAreaSquares(project, area, fill.Squares);
        report.MapRowsChanged(area.Y, area.Y + area.Height - 1);
        ui.setStatus("Generated " + AreaText(area) + ".");
        break;
    case AreaOutcome::Stopped: ui.setStatus("Generating in the area stopped by user; nothing was changed."); break;
    case AreaOutcome::Refused:
    case AreaOutcome::TimedOut: refuse(fill.Message); break;
    }
    return fill.Outcome;
}

}  // namespace zorvane
