#pragma once
// What one learning run works on beside the learned data: the map projects
// of the learning list as read, and the connector groups. The learning
// keeps them for its own length only.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "model/project.h"

namespace zorvane {

// One learned map project, kept while learning runs.
struct LearnedMapProject {
    std::string ZpPath;  // the tile set file used for this map
    int Width = 0;       // squares, borders included
    int Height = 0;
    std::vector<MapSquare> Squares;                                      // row by row
    std::vector<std::pair<std::uint16_t, std::uint16_t>> BmpMap;  // (id in its tile set, id in the project)
};

struct LearningRun {
    std::vector<LearnedMapProject> ZmData;                             // one per learning list entry
    std::vector<std::vector<std::int32_t>> ConnectorGroups;  // one per entry; empty unless a connector map
};

}  // namespace zorvane
