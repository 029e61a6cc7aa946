#pragma once
// The map generator's learned data (LearnedData, learned_data.h) as the
// project's tile set observer sees it: a tile set read anew makes it not
// learned, a reset tile set empties it. The learned part is what the
// generator data file stores. A learning run and a generation run keep
// their working data themselves (learning/learning_run.h,
// search/run_buffers.h).

#include "generator/learned_data.h"
#include "model/project.h"

namespace zorvane {

class MapGenerator : public LearnedData, public TileSetObserver {
public:
    // TileSetObserver: a tile set read anew clears `Learned`; a reset tile
    // set clears `Learned` and the learned data.
    void tileSetRead() override { Learned = false; }
    void tileSetReset() override {
        Learned = false;
        ClearLearned();
    }
};

}  // namespace zorvane
