#pragma once
// The sub-chain freezer ("Freeze correct fragments"): keeps, across attempts
// at a row, the parts of the row that were already right. Sub-chains whose
// squares in the map row are still valid are frozen: they get those squares
// as their only variant and are not searched again until their freeze
// points (hp) run out (the repreparation of a row spends them).
//
// It holds one flag per inner column (column 0 = map column 2); the mask
// survives between rows and attempts and is cleared only by Reset.

#include <array>
#include <cstdint>
#include <span>

#include "generator/learned_data.h"
#include "generator/search/run_buffers.h"

namespace zorvane {

class SubChainFreezer {
public:
    static constexpr int MaskColumns = MaxRowColumns + 1;  // 203

    // Clears the whole mask.
    void Reset();
    // After a failed row that did not time out: the columns of every
    // sub-chain that is not exhausted are set, those of exhausted ones
    // cleared (later sub-chains overwrite the shared columns).
    void RowFailed(const RunBuffers& buffers);
    // After a completed row: the columns of frozen sub-chains set, the
    // others cleared.
    void RowDone(const RunBuffers& buffers);
    // Whether RowFailed or RowDone happened since the last Place.
    bool Told() const { return told_; }

    // After the sub-chains of a row were cut: checks the mask against the
    // map row (`mapRow` holds the row's squares from map column 0, the map
    // width long), freezes the sub-chains whose own columns all stay
    // flagged with `hp` points, thins them out (a sub-chain that is not
    // frozen unfreezes the two on either side) and gives every frozen
    // sub-chain its squares as variant 0.
    void Place(const LearnedData& learned, RunBuffers& buffers, std::span<const MapSquare> mapRow, int hp);

    const std::array<bool, MaskColumns>& Mask() const { return mask_; }
    void SetMask(int column, bool on) { mask_[static_cast<std::size_t>(column)] = on; }

private:
    void SetColumns(const SubChainRecord& sc, bool on);
    void Unfreeze(SubChainRecord& sc);

    std::array<bool, MaskColumns> mask_{};
    bool told_ = false;
};

}  // namespace zorvane
