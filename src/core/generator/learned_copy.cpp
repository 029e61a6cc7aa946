#include "generator/learned_copy.h"

#include <algorithm>

namespace zorvane {

std::size_t LearnedCopy::Bytes() const {
    std::size_t bytes = sizeof(LearnedCopy) + Squares.capacity() * sizeof(LearnedSquare);
    for (const LearnedSquare& s : Squares) bytes += (s.Down.capacity() + s.Right.capacity()) * sizeof(std::int32_t);
    // A hash map entry: its node (key, value, link) and a bucket pointer.
    constexpr std::size_t entry = 2 * sizeof(std::uint64_t) + 2 * sizeof(void*);
    bytes += Counts.Squares.capacity() * sizeof(std::int64_t) + (Counts.Down.size() + Counts.Right.size()) * entry;
    bytes += (ObjSize.capacity() + ObjStarts.capacity()) * sizeof(std::int32_t);
    for (const auto& members : ObjMembers) bytes += sizeof(members) + members.capacity() * sizeof(std::int32_t);
    return bytes;
}

LearnedCopy CopyOf(const LearnedData& d) {
    return {d.Squares(), d.JoinsCount,    d.Counts,        d.ObjSize,
            d.ObjStarts, d.ObjMembers,    d.LargestObject, d.TallestObject};
}

namespace {
bool SameSquares(const std::vector<LearnedSquare>& a, const std::vector<LearnedSquare>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const LearnedSquare& x, const LearnedSquare& y) {
        return x.Gnd == y.Gnd && x.Top == y.Top && x.Atr == y.Atr && x.Down == y.Down && x.Right == y.Right;
    });
}
}  // namespace

bool Holds(const LearnedData& d, const LearnedCopy& c) {
    return d.JoinsCount == c.JoinsCount && d.LargestObject == c.LargestObject && d.TallestObject == c.TallestObject &&
           d.ObjSize == c.ObjSize && d.ObjStarts == c.ObjStarts && d.ObjMembers == c.ObjMembers &&
           SameSquares(d.Squares(), c.Squares) && d.Counts == c.Counts;
}

void Restore(LearnedData& d, const LearnedCopy& c) {
    d.SetSquares(c.Squares);  // rebuilds the indexes
    d.JoinsCount = c.JoinsCount;
    d.Counts = c.Counts;
    d.ObjSize = c.ObjSize;
    d.ObjStarts = c.ObjStarts;
    d.ObjMembers = c.ObjMembers;
    d.LargestObject = c.LargestObject;
    d.TallestObject = c.TallestObject;
}

}  // namespace zorvane
