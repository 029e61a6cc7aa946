#pragma once
// Generating inside an area of an existing map: new squares for a rectangle
// of the map, made from the learned data, joined to everything around it.
//
// The squares around the rectangle stay as they are and constrain it from
// all four sides: every join across the rectangle's edge, and every join
// inside it, is a learned join. The rectangle is filled row by row; before
// a row is chosen the squares each cell may still take are joined up over
// the whole rest of the rectangle down to the fixed row below it
// (area_domains.h), so a row is only taken when the rows under it can still
// be completed, and an edge that admits no fill is refused before any
// search. Multi-square objects that reach into the rectangle from outside
// are completed by their joins (their squares have no other partner).
//
// Nothing changes on failure: FillArea only computes squares, and
// GenerateInArea writes them into the project only when the fill is whole.
// With occurrence counts learned the squares are drawn in proportion to
// their learned frequencies, corrected by what the map already holds. The
// same seed and the same map give the same squares.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "generator/driver/generation.h"
#include "generator/learned_data.h"
#include "model/project.h"
#include "ui/ui.h"

namespace zorvane {

// A rectangle of map squares, borders included in the coordinates.
struct MapArea {
    int X = 0, Y = 0;
    int Width = 0, Height = 0;
    friend bool operator==(const MapArea&, const MapArea&) = default;
};
// "X,Y,W,H"; nullopt for anything else (negative numbers included).
std::optional<MapArea> ParseMapArea(const std::string& text);
// The smallest rectangle covering the selected used tiles, nullopt when
// nothing is selected.
std::optional<MapArea> SelectedArea(const Project& project);

// Why the area cannot be generated in a map of this size (the area must lie
// inside the inner squares, at least one square), or nothing.
std::optional<std::string> AreaOutsideMap(const MapArea& area, int mapWidth, int mapHeight);
// Used tiles that lie partly inside the area and partly outside block it:
// the text names the first of them and its squares inside the area.
std::optional<std::string> TilesBlockingArea(const Project& project, const MapArea& area);

struct AreaOptions {
    std::optional<std::uint64_t> Seed;  // none: drawn from the generator's random numbers
    std::optional<std::chrono::steady_clock::duration> TimeLimit;
    std::function<std::chrono::steady_clock::time_point()> Now;  // the steady clock when empty
    bool TwinsDisallowed = false;  // no square next to a copy of itself
};

enum class AreaOutcome {
    Completed,  // Squares holds the area
    Refused,    // the area or its edge admits no fill; Message says where
    Stopped,    // Esc
    TimedOut,   // the time limit ran out; Message says so
};

struct AreaFill {
    AreaOutcome Outcome = AreaOutcome::Refused;
    std::string Message;
    std::vector<MapSquare> Squares;  // Width x Height, row by row, when completed
    std::int64_t RowAttempts = 0;  // rows chosen, those taken back included
};

// Computes new squares for the area of a map shown as `visible` (row by row,
// mapWidth x mapHeight, VisibleSquares). The area must lie inside the map
// (AreaOutsideMap). Polls `ui.processEvents` and `requests` between rows
// and tells `report` how far it got.
AreaFill FillArea(std::span<const MapSquare> visible, int mapWidth, int mapHeight, const MapArea& area,
                  const LearnedData& gen, const AreaOptions& options, UserInterface& ui, GenerationRequests& requests,
                  GenerationReport& report);

// Replaces the area's squares of the project: the used tiles inside the
// area leave, one 1 x 1 used tile per square comes in (on top); the map
// selection is emptied. No tile may cross the area's edge.
void PlaceAreaSquares(Project& project, const MapArea& area, std::span<const MapSquare> squares);

// The whole command: checks the area, fills it and places the squares.
// Refusals and failures are shown with ui.message and change nothing.
AreaOutcome GenerateInArea(Project& project, UserInterface& ui, const LearnedData& gen, const MapArea& area,
                           const AreaOptions& options, GenerationRequests& requests, GenerationReport& report);

}  // namespace zorvane
