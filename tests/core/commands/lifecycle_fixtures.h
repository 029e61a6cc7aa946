#pragma once
// What the project lifecycle and project properties tests share.

#include <gtest/gtest.h>

#include <string>

#include "builders.h"
#include "fake_ui.h"
#include "model/creatures.h"
#include "model/tileset_file.h"

namespace zorvane::lifecycle_fixtures {

using testing::AddPatternBitmaps;
using testing::FakeUi;
using testing::MakeTile;
using testing::TempDir;
using testing::WriteBytes;

constexpr std::size_t kLevelTag = 6;  // the level record's "MCR0" in the default "zmpe" block

class RecordingGenerator : public TileSetObserver {
public:
    void tileSetRead() override { ++reads; }
    void tileSetReset() override { ++resets; }
    int reads = 0;
    int resets = 0;
};

// A tile set file of `bitmaps` pattern bitmaps and the given tiles, written
// with the tile set writer.
inline std::string WriteTileSet(const TempDir& dir, const std::string& name, int bitmaps, TileList tiles, int seed = 0) {
    Project source;
    AddPatternBitmaps(source, bitmaps, seed);
    source.NewTiles = std::move(tiles);
    std::string path = dir.file(name);
    WriteBytes(path, EncodeZP(source, TileSetVariant::Zmpe));
    return path;
}

inline TileList OneTile(int w, int h, std::uint16_t gnd) {
    TileList list;
    list.push_back(MakeTile(w, h, 0, 0, gnd, NoBitmap, 5));
    return list;
}

// A project as the editor holds it after opening something.
inline void MakeOpenProject(Project& p) {
    AddPatternBitmaps(p, 3);
    p.MapWidth = 20;
    p.MapHeight = 30;
    p.Multiplayer = 1;
    p.ZpPath = "/somewhere/tiles.zp";
    p.Creatures = {1, 2, 3};
    p.NewTiles.push_back(MakeTile(2, 2));
    p.UsedTiles.push_back(MakeTile(1, 1, 3, 3, 0));
    p.UsedTiles.back()->Selected = true;
    p.Selection.push_back({0, 3, 3});
    p.FlatSquares.resize(4);
    p.NoProject = false;
}

}  // namespace zorvane::lifecycle_fixtures
