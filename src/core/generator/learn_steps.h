#pragma once
// The steps of learning that work on the learned data alone (used by
// learn.cpp; kept apart to keep each file to one concern).

#include <vector>

#include "generator.h"
#include "ui.h"

namespace zorvane::learning {

// Learns the joins of every map in generator.ZmData (inner positions only)
// with the multipliers of `list`, and fills generator.ConnectorGroups.
void LearnJoins(TMapGenerator& generator, const std::vector<TLearnEntry>& list, UserInterface& ui);

// Spreads the connector groups over the neighbour lists, then makes every
// member of a group hold the union of its group's lists.
void ProcessConnectors(TMapGenerator& generator, const std::vector<TLearnEntry>& list);

// Finds or adds the empty square and gives its lists every other square,
// each as often as it stands at most in any other square's list.
void FinishJoins(TMapGenerator& generator, UserInterface& ui);

}  // namespace zorvane::learning
