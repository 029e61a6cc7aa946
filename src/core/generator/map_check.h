#pragma once
// Checks a map against learned data: every inner square must be a learned
// square, and every pair of inner neighbours an allowed join (the square
// below in the Down list of the one above, the square to the right in the
// Right list of the one to its left). What a generated map always satisfies.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "generator/learned_data.h"
#include "model/project.h"

namespace zorvane {

// The squares of the map as they show: for each square, the last used tile
// (in depth order) covering it; squares no tile covers are blank. Row by row,
// MapWidth x MapHeight.
std::vector<MapSquare> VisibleSquares(const Project& project);

// A square of the map that breaks the learned data: one not learned, or
// one whose join with the learned square left of it or above it
// (`neighbour`) was never learned.
struct JoinViolation {
    enum class Kind { NotLearned, NotRightOf, NotBelow };
    struct Place {
        int X = 0, Y = 0;  // borders included
        MapSquare Square{};
    };
    Kind What = Kind::NotLearned;
    Place At;
    Place Neighbour;  // for the joins
};

// Every violation in row order, the first `limit` of them listed, and
// their count. Throws Error when the map has no inner squares or its
// squares do not fill its size. `squares` row by row, width x height.
struct JoinCheck {
    std::vector<JoinViolation> Listed;
    std::int64_t Count = 0;
};
JoinCheck CheckJoins(std::span<const MapSquare> squares, int width, int height, const LearnedData& gen,
                     std::size_t limit);

// "square (5, 7) [ground 12, no top] may not stand below square (5, 6) [...]."
std::string ViolationText(const JoinViolation& violation);

// The first violation, in row order, or nothing when the map satisfies the
// learned data. `squares` row by row, width x height, borders included.
std::optional<std::string> FirstJoinViolation(std::span<const MapSquare> squares, int width, int height,
                                              const LearnedData& gen);
std::optional<std::string> FirstJoinViolation(const Project& project, const LearnedData& gen);

}  // namespace zorvane
