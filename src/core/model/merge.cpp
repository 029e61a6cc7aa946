#include "model/merge.h"

#include <cstring>
#include <exception>
#include <unordered_map>
#include <vector>

#include "model/bitmap_index.h"
#include "model/tile_catalogue.h"
#include "model/tileset_file.h"
#include "platform/file_io.h"

namespace zorvane {

namespace {

constexpr int kReportStep = 50;

void Report(UserInterface& ui, const char* text, int n) {
    if (n % kReportStep != 0) return;
    ui.setStatus(text + std::to_string(n));
    ui.updateProgress(n, kReportStep);
    ui.processEvents();
}

// Takes over the file's bitmaps: each maps to the lowest equal project
// bitmap, or is added. Fills `idMap` (file id -> project id); returns false
// when the bitmap limit stopped it.
bool MergeBitmaps(Project& project, UserInterface& ui, const TileSet& set, std::vector<std::uint16_t>& idMap,
                  MergeCounts& counts) {
    BitmapIndex index(project);
    idMap.assign(static_cast<std::size_t>(set.BitmapCount), 0);
    ui.prepareProgress(0, set.BitmapCount);
    for (int i = 0; i < set.BitmapCount; ++i) {
        Report(ui, "Comparing bitmaps... ", i);
        const std::uint8_t* pixels = set.Pixels.data() + static_cast<std::size_t>(i) * BitmapBytes;
        int id = index.Find(pixels);
        if (id >= 0) {
            if (id != i) ++counts.ChangedIds;
        } else {
            if (project.BitmapCount >= MaxBitmaps) {
                ui.error("Error", TooManyBitmapsText);
                return false;
            }
            id = project.AddBitmap(pixels);
            index.Add(id);
            ++counts.AddedBitmaps;
        }
        idMap[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(id);
    }
    return true;
}

void Renumber(MapTile& tile, const std::vector<std::uint16_t>& idMap) {
    for (MapSquare& s : tile.Sq) {
        if (s.Gnd < idMap.size()) s.Gnd = idMap[s.Gnd];
        if (s.Top < idMap.size()) s.Top = idMap[s.Top];
    }
}

// Renumbers the file's tiles and appends those that the tiles list lacks.
void MergeTiles(Project& project, UserInterface& ui, TileSet& set, const std::vector<std::uint16_t>& idMap,
                MergeCounts& counts) {
    TileCatalogue catalogue(project.NewTiles);
    ui.prepareProgress(0, static_cast<int>(set.Tiles.size()));
    for (std::size_t n = 0; n < set.Tiles.size(); ++n) {
        Report(ui, "Gathering tile sets... ", static_cast<int>(n));
        auto& tile = set.Tiles[n];
        Renumber(*tile, idMap);
        if (catalogue.Contains(*tile)) continue;
        catalogue.Add(*tile);
        project.NewTiles.push_back(std::move(tile));
        ++counts.AddedTiles;
    }
}

}  // namespace

bool CompareBitmaps(const Project& project, int a, int b) {
    return std::memcmp(project.Bitmap(a), project.Bitmap(b), BitmapBytes) == 0;
}

bool MergeZP(Project& project, UserInterface& ui, const std::string& path, MergeCounts* counts) {
    ProgressScope progress(ui);
    project.ZpModified = true;
    project.ZpPath.clear();
    MergeCounts local;
    MergeCounts& c = counts ? *counts : local;
    c = MergeCounts{};

    TileSet set;
    try {
        set = ReadZP(path);
    } catch (const std::exception& e) {
        ui.error("Error", "Could not open " + path + "\r" + e.what());
        return false;
    }
    if (set.BottomUpRows != project.BottomUpRows)
        for (int i = 0; i < set.BitmapCount; ++i)
            FlipBitmapRows(set.Pixels.data() + static_cast<std::size_t>(i) * BitmapBytes);

    std::vector<std::uint16_t> idMap;
    const bool complete = MergeBitmaps(project, ui, set, idMap, c);
    if (c.AddedBitmaps > 0) ui.changed(BitmapsChanged());
    if (!complete) return false;
    MergeTiles(project, ui, set, idMap, c);

    ui.inform("Merging *.zp data", "*.zp data imported!\rchangedIds: " + std::to_string(c.ChangedIds) + "\r" +
                                       "addedBmps: " + std::to_string(c.AddedBitmaps) + "\r" +
                                       "addedTiles: " + std::to_string(c.AddedTiles));
    return true;
}

int RemoveUnusedBitmaps(Project& project, UserInterface& ui) {
    ui.setStatus("Removing unused bitmaps...");
    ProgressScope progress(ui);
    const int count = project.BitmapCount;

    std::vector<char> used(static_cast<std::size_t>(count), 0);
    auto mark = [&](const TileList& tiles) {
        for (const auto& t : tiles)
            for (const MapSquare& s : t->Sq) {
                if (s.Gnd < count) used[s.Gnd] = 1;
                if (s.Top < count) used[s.Top] = 1;
            }
    };
    mark(project.NewTiles);
    mark(project.UsedTiles);

    // newId[v] = v minus the unused ids below v; kept bitmaps move down.
    std::vector<std::uint16_t> newId(static_cast<std::size_t>(count));
    int kept = 0;
    for (int id = 0; id < count; ++id) {
        newId[static_cast<std::size_t>(id)] = static_cast<std::uint16_t>(kept);
        if (!used[static_cast<std::size_t>(id)]) continue;
        if (kept != id) std::memcpy(project.MutableBitmap(kept), project.MutableBitmap(id), BitmapBytes);
        ++kept;
    }
    const int removed = count - kept;

    auto renumber = [&](std::uint16_t& v) {
        if (v == NoBitmap) return;
        v = v < count ? newId[v] : static_cast<std::uint16_t>(v - removed);
    };
    for (TileList* tiles : {&project.NewTiles, &project.UsedTiles})
        for (auto& t : *tiles)
            for (MapSquare& s : t->Sq) {
                renumber(s.Gnd);
                renumber(s.Top);
            }

    project.SetBitmapCount(kept);
    project.ZpModified = true;
    project.ZpPath.clear();
    ui.changed(BitmapsChanged());
    ui.setStatus("Unused bitmaps removed.");
    return removed;
}

}  // namespace zorvane
