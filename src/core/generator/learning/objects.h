#pragma once
// Rigid objects: squares that always stand together.
//
// Square A stands in a 1-to-1 relationship with square B to its right when
// A's Right list holds copies of B alone and no learned square other than A
// (squares with neither ground nor top bitmap aside) has B in its Right
// list; the Down lists give the relationship downwards. An object is a
// maximal set of squares joined by such relationships; a square in none is
// an object of its own.

#include <cstdint>
#include <functional>
#include <vector>

#include "generator/learned_data.h"

namespace zorvane {

// The four 1-to-1 neighbours of every learned square, built once from the
// neighbour lists as they stand.
class OneToOne {
public:
    explicit OneToOne(const LearnedData& learned);

    // Square index of the 1-to-1 neighbour, or -1. A square with neither
    // ground nor top bitmap is never a left or upper neighbour.
    int Right(int square) const { return right_[static_cast<std::size_t>(square)]; }
    int Below(int square) const { return below_[static_cast<std::size_t>(square)]; }
    int Left(int square) const { return left_[static_cast<std::size_t>(square)]; }
    int Above(int square) const { return above_[static_cast<std::size_t>(square)]; }

private:
    void Build(const LearnedData& g, JoinDir dir, std::vector<int>& forward, std::vector<int>& backward);

    std::vector<int> right_, below_, left_, above_;
};

// Builds the object tables of the generator (ObjSize, ObjStarts,
// ObjMembers, LargestObject, TallestObject) from the learned squares as they
// stand; squares of the connector groups get object size 0. `progress` is
// called with each square index as it is reached (may be empty).
void TrackObjects(LearnedData& learned, const std::vector<std::vector<std::int32_t>>& connectorGroups,
                  const std::function<void(int)>& progress = {});

// Whether a learned square shows no bitmap at all.
inline bool IsBlankSquare(const LearnedSquare& s) { return s.Gnd == NoBitmap && s.Top == NoBitmap; }

}  // namespace zorvane
