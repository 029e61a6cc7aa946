#pragma once
// How much room learned squares need in the generator's lists, checked
// when learning ends and when a data file is loaded.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "generator/learned_data.h"

namespace zorvane::learning {

// What learned squares ask of the generator's lists. A column of a new map's
// row takes its candidates from the Down list of the square above it, and
// the pair of two neighbouring columns holds, for every candidate a on the
// left and every entry b of a's Right list, one pair per copy of b among the
// right column's candidates: with the weights of the multipliers in all
// three lists, the pairs grow with the cube of the multipliers. They are
// most under the empty square (the top border, and squares not learned),
// whose Down list holds every square as often as any Down list holds it.
struct ListDemand {
    std::int64_t EmptyDown = 0;    // entries of the empty square's lists
    std::int64_t EmptyRight = 0;
    std::int64_t ColumnPairs = 0;  // the most pairs of one column pair (counted up to just beyond the capacity)
};
// Whether the squares hold the empty square already, or are learned up to
// finishing and the empty square, which lists every square at least once,
// is yet to come.
enum class EmptySquare { Included, ToCome };
ListDemand DemandOf(const std::vector<LearnedSquare>& squares, EmptySquare empty);
// Why these squares cannot be generated from (a list or a column pair
// beyond MaxListEntries entries), or nothing.
std::optional<std::string> CapacityProblem(const std::vector<LearnedSquare>& squares, EmptySquare empty);
// The problem with its likely cause: the multipliers of the learning list
// (named, with the advice to lower them), or with all of them at 1 the
// number of different squares learned.
std::string TooMuchToLearnText(const std::string& problem, const std::vector<LearnEntry>& list);

}  // namespace zorvane::learning
