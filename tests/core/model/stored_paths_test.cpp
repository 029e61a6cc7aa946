// The tile set path stored in the game's files: bytes in the Windows code
// page in the files, UTF-8 in the program, converted where the files are
// read and written; plain ASCII files unchanged.

#include <gtest/gtest.h>

#include <filesystem>

#include "builders.h"
#include "commands/open_commands.h"
#include "fake_ui.h"
#include "model/layered_file.h"
#include "model/map_file.h"
#include "model/tileset_file.h"
#include "platform/file_names.h"
#include "platform/safe_save.h"
#include "zm_fixtures.h"

using namespace zorvane;
using namespace zorvane::testing;
namespace fs = std::filesystem;

namespace {

const std::string kUtf8Path = "C:\\Karten für Übungen €\\set.zp";
const std::string kStoredPath = "C:\\Karten f\xFCr \xDC" "bungen \x80\\set.zp";

std::string StoredMapPath(const Bytes& file) { return std::string(file.begin() + 5, file.begin() + 5 + file[4]); }

}  // namespace

// A map made on Windows reads with its path as UTF-8 and writes back byte
// for byte; one made here stores the code page's bytes; an ASCII one is the
// same file either way.
TEST(StoredPaths, MapFilesRoundTripThroughUtf8) {
    for (const std::string& stored : {kStoredPath, std::string("C:\\maps\\plain.zp"), std::string("C:\\\x81\x9D\\x.zp")}) {
        const Bytes file = ZmFile(stored, 1, 5, 4, {});
        const MapFile map = ParseZM(file);
        EXPECT_EQ(map.ZpPath, Utf8FromStoredPath(stored));
        Project p = FlatProject(5, 4, map.ZpPath);
        p.FlatSquares = map.Squares;
        p.Creatures = map.Creatures;
        const Bytes again = EncodeZM(p, TileSetVariant::Zmpe);
        EXPECT_EQ(StoredMapPath(again), stored);
        EXPECT_EQ(ParseZM(again).ZpPath, map.ZpPath);
    }
    EXPECT_EQ(ParseZM(ZmFile(kStoredPath, 0, 4, 4, {})).ZpPath, kUtf8Path);
    EXPECT_EQ(StoredMapPath(EncodeZM(FlatProject(4, 4, kUtf8Path), TileSetVariant::Zme)), kStoredPath);
    EXPECT_EQ(StoredMapPath(EncodeZM(FlatProject(4, 4, "/maps/set.zp"), TileSetVariant::Zme)), "/maps/set.zp");
}

// A map or "zme" tile set naming a path the code page cannot hold is
// refused; a "zme" path counts its stored bytes, not its UTF-8 ones.
TEST(StoredPaths, WritersRefuseWhatTheCodePageCannotHold) {
    EXPECT_THROW(EncodeZM(FlatProject(4, 4, "C:\\Mapy_ŻÓŁW\\set.zp"), TileSetVariant::Zmpe), Error);
    Project set;
    AddPatternBitmaps(set, 1);
    set.ZpPath = "C:\\Mapy_ŻÓŁW\\set.zp";
    EXPECT_THROW(EncodeZP(set, TileSetVariant::Zme), Error);
    EXPECT_NO_THROW(EncodeZP(set, TileSetVariant::Zmpe));  // "zmpe" stores no path
    set.ZpPath = "éé";  // four bytes of UTF-8, two stored: too short for a "zme" file
    EXPECT_THROW(EncodeZP(set, TileSetVariant::Zme), Error);
    set.ZpPath = kUtf8Path;
    const std::vector<std::uint8_t> zme = EncodeZP(set, TileSetVariant::Zme);
    EXPECT_EQ(std::string(zme.begin() + 5, zme.begin() + 5 + zme[4]), kStoredPath);
}

// The layered project keeps UTF-8; one that holds a path in the code page
// (converted from a map by an older version) reads as the map would.
TEST(StoredPaths, LayeredProjectsKeepUtf8AndReadCodePageBytes) {
    Project p = FlatProject(4, 4, kUtf8Path);
    p.ZmeVariant = true;
    const std::vector<std::uint8_t> utf8 = EncodeZL(p);
    EXPECT_EQ(ParseZL(utf8).ZpPath, kUtf8Path);
    p.ZpPath = kStoredPath;
    EXPECT_EQ(ParseZL(EncodeZL(p)).ZpPath, kUtf8Path);
}

// Written here into a folder named beyond ASCII, a map finds its tile set
// again through the path it stored.
TEST(StoredPaths, AMapOpensTheTileSetItNamesInAFolderBeyondAscii) {
    TempDir dir;
    const std::string folder = Utf8FromPath(dir.path()) + "/Karten für Übungen";
    ASSERT_TRUE(fs::create_directory(PathFromUtf8(folder)));
    Project set;
    FillTestPalette(set);
    AddPatternBitmaps(set, 2);
    set.ZpPath = folder + "/set.zp";
    SaveFileAtomically(set.ZpPath, EncodeZP(set, TileSetVariant::Zmpe));
    SaveFileAtomically(folder + "/map.zm", EncodeZM(FlatProject(5, 5, set.ZpPath), TileSetVariant::Zme));

    Project opened;
    FakeUi ui;
    ASSERT_TRUE(OpenZMFile(opened, ui, folder + "/map.zm", OpenOptions::FailingWhenMissing())) << ui.status();
    EXPECT_EQ(opened.ZpPath, set.ZpPath);
    EXPECT_EQ(opened.BitmapCount, 2);
    EXPECT_TRUE(std::equal(opened.AllBitmapBytes().begin(), opened.AllBitmapBytes().end(),
                           set.AllBitmapBytes().begin(), set.AllBitmapBytes().end()));
}
