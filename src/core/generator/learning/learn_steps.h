#pragma once
// The steps of learning that work on the learned data alone (used by
// learn.cpp; kept apart to keep each file to one concern).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "generator/learned_data.h"
#include "generator/learning/learning_run.h"
#include "generator/list_capacity.h"
#include "ui/ui.h"

namespace zorvane::learning {

// Whether learning also counts how often squares and joins occur.
enum class Occurrences { Ignored, Counted };

// Learns the joins of every map in run.ZmData (inner positions only) with
// the multipliers of `list`, and fills run.ConnectorGroups. Counted:
// learned.Counts gets every inner square and every join learned, each
// occurrence with its map's multiplier.
void LearnJoins(LearnedData& learned, LearningRun& run, const std::vector<LearnEntry>& list, UserInterface& ui,
                Occurrences occurrences = Occurrences::Ignored);

// Spreads the connector groups over the neighbour lists, then makes every
// member of a group hold the union of its group's lists.
void ProcessConnectors(LearnedData& learned, const LearningRun& run, const std::vector<LearnEntry>& list);

// Finds or adds the empty square and gives its lists every other square,
// each as often as it stands at most in any other square's list.
void FinishJoins(LearnedData& learned, UserInterface& ui);

}  // namespace zorvane::learning
