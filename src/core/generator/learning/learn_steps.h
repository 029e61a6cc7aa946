#pragma once
// The steps of learning that work on the learned data alone (used by
// learn.cpp; kept apart to keep each file to one concern).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "generator/generator.h"
#include "ui/ui.h"

namespace zorvane::learning {

// Whether learning also counts how often squares and joins occur.
enum class Occurrences { Ignored, Counted };

// Learns the joins of every map in generator.ZmData (inner positions only)
// with the multipliers of `list`, and fills generator.ConnectorGroups.
// Counted: generator.Counts gets every inner square and every join learned,
// each occurrence with its map's multiplier.
void LearnJoins(MapGenerator& generator, const std::vector<LearnEntry>& list, UserInterface& ui,
                Occurrences occurrences = Occurrences::Ignored);

// Spreads the connector groups over the neighbour lists, then makes every
// member of a group hold the union of its group's lists.
void ProcessConnectors(MapGenerator& generator, const std::vector<LearnEntry>& list);

// Finds or adds the empty square and gives its lists every other square,
// each as often as it stands at most in any other square's list.
void FinishJoins(MapGenerator& generator, UserInterface& ui);

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
