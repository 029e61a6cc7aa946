#pragma once
// Checks a map against learned data: every inner square must be a learned
// square, and every pair of inner neighbours an allowed join (the square
// below in the Down list of the one above, the square to the right in the
// Right list of the one to its left). What a generated map always satisfies.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "generator/generator.h"
#include "model/project.h"

namespace zorvane {

// The squares of the map as they show: for each square, the last used tile
// (in depth order) covering it; squares no tile covers are blank. Row by row,
// MapWidth x MapHeight.
std::vector<TSq> VisibleSquares(const Project& project);

// The first violation, in row order, or nothing when the map satisfies the
// learned data. `squares` row by row, width x height, borders included.
std::optional<std::string> FirstJoinViolation(std::span<const TSq> squares, int width, int height,
                                              const TMapGenerator& gen);
std::optional<std::string> FirstJoinViolation(const Project& project, const TMapGenerator& gen);

}  // namespace zorvane
