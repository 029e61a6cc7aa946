#pragma once
// What was learned, as the undo history keeps it with the project: the
// learned squares with their lists, the object tables and the occurrence
// counts, without the lookup indexes (rebuilt when the copy is put back)
// and without `Learned`. A copy is never changed once taken.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "generator/learned_data.h"

namespace zorvane {

struct LearnedCopy {
    std::vector<LearnedSquare> Squares;
    std::int64_t JoinsCount = 0;
    OccurrenceCounts Counts;
    std::vector<std::int32_t> ObjSize;
    std::vector<std::int32_t> ObjStarts;
    std::vector<std::vector<std::int32_t>> ObjMembers;
    std::int32_t LargestObject = 0;
    std::int32_t TallestObject = 0;
    // The memory the copy takes, roughly.
    std::size_t Bytes() const;
};

LearnedCopy CopyOf(const LearnedData& data);
// Whether the data is what the copy holds.
bool Holds(const LearnedData& data, const LearnedCopy& copy);
// Makes the data what the copy holds (`Learned` stays as it is).
void Restore(LearnedData& data, const LearnedCopy& copy);

}  // namespace zorvane
