#pragma once
// What one step did to the project beyond its tile lists: the bitmap table
// (bitmaps changed in place, appended or dropped at its end) and the rest of
// the project's fields (sizes, palette, headers, tile set path, creatures),
// each compared with an image of the project after the last step, and the
// data attached to the project from outside (attached_data.h).

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "history/attached_data.h"
#include "history/tile_list_change.h"
#include "model/project.h"

namespace zorvane {

struct ChangedBitmap {
    int Id = 0;
    BitmapPixels Before{};
    BitmapPixels After{};
};
struct BitmapChange {
    int CountBefore = 0;
    int CountAfter = 0;
    std::vector<ChangedBitmap> Changed;      // ids below both counts
    std::vector<std::uint8_t> DroppedTail;   // bitmaps CountAfter .. CountBefore - 1
    std::vector<std::uint8_t> AppendedTail;  // bitmaps CountBefore .. CountAfter - 1
    bool Empty() const { return CountBefore == CountAfter && Changed.empty(); }
    std::size_t Bytes() const {
        return sizeof(BitmapChange) + Changed.capacity() * sizeof(ChangedBitmap) + DroppedTail.capacity() +
               AppendedTail.capacity();
    }
};

// Which parts of the project a step compares; a command names the parts it
// may have touched (every part by default).
enum class Parts : unsigned { UsedTiles = 1, TilesList = 2, Bitmaps = 4, Fields = 8, Attached = 16, All = 31 };
constexpr Parts operator|(Parts a, Parts b) { return Parts(unsigned(a) | unsigned(b)); }
constexpr bool Has(Parts set, Parts part) { return (unsigned(set) & unsigned(part)) != 0; }

// The project as the last step left it.
struct ProjectImage {
    ListImage UsedTiles;
    ListImage TilesList;
    std::vector<std::uint8_t> Bitmaps;
    ProjectFields Fields;
    std::shared_ptr<const AttachedCopy> Attached;  // null when no data is attached
};
// The image of the project's own parts (Attached left null).
ProjectImage ImageOf(const Project& project);

struct ProjectChange {
    ListChange UsedTiles;
    ListChange TilesList;
    BitmapChange Bitmaps;
    std::unique_ptr<ProjectFields> FieldsBefore;  // both or neither
    std::unique_ptr<ProjectFields> FieldsAfter;
    std::shared_ptr<const AttachedCopy> AttachedBefore;  // both or neither
    std::shared_ptr<const AttachedCopy> AttachedAfter;
    bool Empty() const {
        return UsedTiles.Empty() && TilesList.Empty() && Bitmaps.Empty() && !FieldsBefore && !AttachedAfter;
    }
    std::size_t Bytes() const;
    // The parts that the change touches (a window redraws what they show).
    Parts Touched() const {
        unsigned parts = 0;
        if (!UsedTiles.Empty()) parts |= unsigned(Parts::UsedTiles);
        if (!TilesList.Empty()) parts |= unsigned(Parts::TilesList);
        if (!Bitmaps.Empty()) parts |= unsigned(Parts::Bitmaps);
        if (FieldsBefore) parts |= unsigned(Parts::Fields);
        if (AttachedAfter) parts |= unsigned(Parts::Attached);
        return Parts(parts);
    }
};

// The change from the image to the project (and to the attached data, when
// there is any) in the given parts; the image then shows them.
ProjectChange DiffProject(const Project& project, const AttachedData* attached, ProjectImage& image, Parts parts);
void ApplyProjectChange(const ProjectChange& change, Direction direction, Project& project, AttachedData* attached,
                        ProjectImage& image);

}  // namespace zorvane
