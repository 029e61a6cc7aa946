#include "history/project_change.h"

#include <algorithm>
#include <cstring>

namespace zorvane {
namespace {

const std::uint8_t* At(const std::vector<std::uint8_t>& bytes, int id) {
    return bytes.data() + static_cast<std::size_t>(id) * BitmapBytes;
}

BitmapChange DiffBitmaps(const Project& project, std::vector<std::uint8_t>& image) {
    BitmapChange change;
    const auto now = project.AllBitmapBytes();
    change.CountBefore = static_cast<int>(image.size() / BitmapBytes);
    change.CountAfter = project.BitmapCount;
    const int common = std::min(change.CountBefore, change.CountAfter);
    for (int id = 0; id < common; ++id) {
        const std::uint8_t* after = now.data() + static_cast<std::size_t>(id) * BitmapBytes;
        if (std::memcmp(At(image, id), after, BitmapBytes) == 0) continue;
        ChangedBitmap& c = change.Changed.emplace_back();
        c.Id = id;
        std::memcpy(c.Before.data(), At(image, id), BitmapBytes);
        std::memcpy(c.After.data(), after, BitmapBytes);
    }
    const std::size_t commonBytes = static_cast<std::size_t>(common) * BitmapBytes;
    change.DroppedTail.assign(image.begin() + static_cast<std::ptrdiff_t>(commonBytes), image.end());
    change.AppendedTail.assign(now.begin() + static_cast<std::ptrdiff_t>(commonBytes), now.end());
    if (!change.Empty()) image.assign(now.begin(), now.end());
    return change;
}

void ApplyBitmaps(const BitmapChange& change, Direction direction, Project& project) {
    const bool redo = direction == Direction::Redo;
    const int common = std::min(change.CountBefore, change.CountAfter);
    project.SetBitmapCount(common);
    for (const ChangedBitmap& c : change.Changed)
        std::memcpy(project.MutableBitmap(c.Id), (redo ? c.After : c.Before).data(), BitmapBytes);
    const std::vector<std::uint8_t>& tail = redo ? change.AppendedTail : change.DroppedTail;
    const int count = redo ? change.CountAfter : change.CountBefore;
    project.SetBitmapCount(count);
    if (!tail.empty())
        std::memcpy(project.MutableBitmap(common), tail.data(), tail.size());
}

}  // namespace

ProjectImage ImageOf(const Project& project) {
    const auto bytes = project.AllBitmapBytes();
    return {ImageOf(project.UsedTiles), ImageOf(project.NewTiles), {bytes.begin(), bytes.end()}, project.Fields()};
}

std::size_t ProjectChange::Bytes() const {
    std::size_t bytes = sizeof(ProjectChange) + UsedTiles.Bytes() + TilesList.Bytes() + Bitmaps.Bytes();
    for (const auto* f : {FieldsBefore.get(), FieldsAfter.get()})
        if (f) bytes += sizeof(ProjectFields) + f->Creatures.capacity() + f->ZpPath.capacity();
    if (AttachedAfter) bytes += AttachedAfter->Bytes();  // the copy before belongs to an earlier position
    return bytes;
}

ProjectChange DiffProject(const Project& project, const AttachedData* attached, ProjectImage& image, Parts parts) {
    ProjectChange change;
    if (Has(parts, Parts::UsedTiles)) change.UsedTiles = DiffList(project.UsedTiles, image.UsedTiles);
    if (Has(parts, Parts::TilesList)) change.TilesList = DiffList(project.NewTiles, image.TilesList);
    if (Has(parts, Parts::Bitmaps)) change.Bitmaps = DiffBitmaps(project, image.Bitmaps);
    else change.Bitmaps.CountBefore = change.Bitmaps.CountAfter = project.BitmapCount;
    if (Has(parts, Parts::Fields)) {
        ProjectFields now = project.Fields();
        if (!(now == image.Fields)) {
            change.FieldsBefore = std::make_unique<ProjectFields>(std::move(image.Fields));
            change.FieldsAfter = std::make_unique<ProjectFields>(now);
            image.Fields = std::move(now);
        }
    }
    if (attached && Has(parts, Parts::Attached)) {
        auto now = attached->Capture(image.Attached);
        if (now != image.Attached) {
            change.AttachedBefore = std::move(image.Attached);
            change.AttachedAfter = now;
            image.Attached = std::move(now);
        }
    }
    return change;
}

void ApplyProjectChange(const ProjectChange& change, Direction direction, Project& project, AttachedData* attached,
                        ProjectImage& image) {
    ApplyListChange(change.UsedTiles, direction, project.UsedTiles, image.UsedTiles);
    ApplyListChange(change.TilesList, direction, project.NewTiles, image.TilesList);
    if (!change.Bitmaps.Empty()) {
        ApplyBitmaps(change.Bitmaps, direction, project);
        const auto bytes = project.AllBitmapBytes();
        image.Bitmaps.assign(bytes.begin(), bytes.end());
    }
    if (change.FieldsBefore) {
        image.Fields = direction == Direction::Redo ? *change.FieldsAfter : *change.FieldsBefore;
        project.Fields() = image.Fields;
    }
    if (change.AttachedAfter && attached) {
        image.Attached = direction == Direction::Redo ? change.AttachedAfter : change.AttachedBefore;
        attached->Restore(*image.Attached);
    }
}

}  // namespace zorvane
