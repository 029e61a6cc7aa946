#pragma once
// Data that belongs with the project but is kept outside it (the map
// generator's learned data, which a new map or learning changes together
// with the tile set). The history takes a copy of it whenever a step changed
// it and puts that copy back when the step is undone or redone, so the data
// always goes with the project it was made for. A copy is taken only when
// the data changed, and one copy serves every position that holds that data.

#include <cstddef>
#include <memory>

namespace zorvane {

// One state of the attached data, never changed once taken.
class AttachedCopy {
public:
    virtual ~AttachedCopy() = default;
    // The memory this copy holds of its own (not shared with other copies).
    virtual std::size_t Bytes() const = 0;
};

class AttachedData {
public:
    virtual ~AttachedData() = default;
    // The data as it is now: `last` itself when the data still equals it,
    // else a new copy (which may share what did not change with `last`).
    // `last` is null for the first copy.
    virtual std::shared_ptr<const AttachedCopy> Capture(const std::shared_ptr<const AttachedCopy>& last) const = 0;
    // Makes the data what `copy` holds.
    virtual void Restore(const AttachedCopy& copy) = 0;
};

}  // namespace zorvane
