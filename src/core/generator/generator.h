#pragma once
// The map generator: what it has learned (LearnedData, learned_data.h), what
// a learning run works on (LearningRun, learning/learning_run.h) and the
// working buffers of a generation run (RunBuffers, driver/run_buffers.h),
// held together by one MapGenerator that is passed explicitly to every
// operation. The learned part is what the generator data file stores; the
// rest is rebuilt by every run.

#include "generator/driver/run_buffers.h"
#include "generator/learned_data.h"
#include "generator/learning/learning_run.h"
#include "model/project.h"

namespace zorvane {

class MapGenerator : public LearnedData, public LearningRun, public RunBuffers, public TileSetObserver {
public:
    // Empties the learned data and the connector groups; `Learned` and the
    // learned maps stay.
    void ClearLearned() {
        LearnedData::ClearLearned();
        ConnectorGroups.clear();
    }

    // Copies the square's Down (Right) list into CandidatesFromAbove (CandidatesFromLeft). Given
    // -1, the square is a random entry of the list of a random square among
    // 0..count-2; with nothing to draw from, the candidates are empty.
    void LoadCandidatesFromAbove(int square);
    void LoadCandidatesFromLeft(int square);

    // TileSetObserver: a tile set read anew clears `Learned`; a reset tile
    // set clears `Learned` and the learned data.
    void tileSetRead() override { Learned = false; }
    void tileSetReset() override {
        Learned = false;
        ClearLearned();
    }

private:
    void LoadCandidates(int square, JoinDir dir, std::vector<std::int32_t>& out);
};

}  // namespace zorvane
