#pragma once
// The map generator's data: what it has learned (LearnedData,
// learned_data.h) and what a learning run works on (LearningRun,
// learning/learning_run.h), held together by one MapGenerator that is passed
// explicitly to every operation. The learned part is what the generator
// data file stores. A generation run keeps its working buffers itself
// (search/run_buffers.h).

#include "generator/learned_data.h"
#include "generator/learning/learning_run.h"
#include "model/project.h"

namespace zorvane {

class MapGenerator : public LearnedData, public LearningRun, public TileSetObserver {
public:
    // Empties the learned data and the connector groups; `Learned` and the
    // learned maps stay.
    void ClearLearned() {
        LearnedData::ClearLearned();
        ConnectorGroups.clear();
    }

    // TileSetObserver: a tile set read anew clears `Learned`; a reset tile
    // set clears `Learned` and the learned data.
    void tileSetRead() override { Learned = false; }
    void tileSetReset() override {
        Learned = false;
        ClearLearned();
    }
};

}  // namespace zorvane
