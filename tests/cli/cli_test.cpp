// Drives the zorvane program as a user would: real files, exit statuses,
// standard output and standard error.

#include <gtest/gtest.h>

#include <filesystem>

#include <nlohmann/json.hpp>

#include "builders.h"
#include "cli_runner.h"
#include "model/layered_file.h"
#include "model/map_file.h"
#include "model/tileset_file.h"
#include "platform/file_io.h"
#include "platform/file_names.h"

using namespace zorvane;
using namespace zorvane::testing;

namespace {

// A tile set of three bitmaps and one 2 x 1 tile.
Project SmallTileSet() {
    Project p;
    FillTestPalette(p);
    AddPatternBitmaps(p, 3);
    p.NewTiles.push_back(MakeTile(2, 1, 0, 0, 1, NoBitmap, 4));
    return p;
}

// A 14 x 14 map project naming `zpPath`, every square showing bitmap 0.
std::vector<std::uint8_t> SmallMap(const std::string& zpPath) {
    Project p;
    p.ZpPath = zpPath;
    p.MapWidth = p.MapHeight = 14;
    p.FlatSquares.assign(14 * 14, MapSquare{0, NoBitmap, 0});
    return EncodeZM(p, TileSetVariant::Zmpe);
}

}  // namespace

TEST(Cli, InfoDescribesTileSetAsJson) {
    TempDir dir;
    WriteBytes(dir.file("set.zp"), EncodeZP(SmallTileSet(), TileSetVariant::Zmpe));
    CliOutcome r = RunZorvane("info set.zp --json", dir);
    ASSERT_EQ(r.status, 0) << r.err;
    auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["format"], "tile set");
    EXPECT_EQ(j["variant"], "zmpe");
    EXPECT_EQ(j["bitmaps"], 3);
    EXPECT_EQ(j["tiles"], 1);
}

TEST(Cli, InfoRefusesForeignAndMissingFiles) {
    TempDir dir;
    WriteBytes(dir.file("junk.zp"), {'J', 'U', 'N', 'K', 1, 2, 3});
    CliOutcome junk = RunZorvane("info junk.zp", dir);
    EXPECT_NE(junk.status, 0);
    EXPECT_NE(junk.err.find("junk.zp"), std::string::npos);
    EXPECT_TRUE(junk.out.empty());
    EXPECT_NE(RunZorvane("info nothing-here.zm", dir).status, 0);
}

TEST(Cli, ConvertsTileSetBetweenVariants) {
    TempDir dir;
    WriteBytes(dir.file("set.zp"), EncodeZP(SmallTileSet(), TileSetVariant::Zmpe));
    CliOutcome r = RunZorvane("convert set.zp out.zp --variant zme", dir);
    ASSERT_EQ(r.status, 0) << r.err;
    TileSet ts = ParseZP(ReadWholeFile(dir.file("out.zp")));
    EXPECT_TRUE(ts.Zme);
    EXPECT_EQ(ts.BitmapCount, 3);
    CliOutcome info = RunZorvane("info out.zp --json", dir);
    // The "zme" variant stores the file's own full path.
    EXPECT_EQ(nlohmann::json::parse(info.out)["stored_path"], dir.file("out.zp"));
}

TEST(Cli, ConvertsMapToLayeredWithReplacementTileSet) {
    TempDir dir;
    WriteBytes(dir.file("set.zp"), EncodeZP(SmallTileSet(), TileSetVariant::Zmpe));
    WriteBytes(dir.file("map.zm"), SmallMap("/nowhere/lost.zp"));

    CliOutcome without = RunZorvane("convert map.zm map.zl", dir);
    EXPECT_NE(without.status, 0);
    EXPECT_FALSE(FileExists(dir.file("map.zl")));

    CliOutcome with = RunZorvane("convert map.zm map.zl --zp set.zp", dir);
    ASSERT_EQ(with.status, 0) << with.err;
    Project p = ParseZL(ReadWholeFile(dir.file("map.zl")));
    EXPECT_EQ(p.MapWidth, 14);
    EXPECT_EQ(p.UsedTiles.size(), 14u * 14u);
    EXPECT_EQ(p.BitmapCount, 3);
    EXPECT_EQ(p.ZpPath, "/nowhere/lost.zp");  // the map keeps naming its tile set
}

TEST(Cli, ExportNeedingNewTileSetWritesNothingWithoutZp) {
    TempDir dir;
    WriteBytes(dir.file("set.zp"), EncodeZP(SmallTileSet(), TileSetVariant::Zmpe));
    WriteBytes(dir.file("map.zm"), SmallMap(dir.file("set.zp")));
    ASSERT_EQ(RunZorvane("convert map.zm map.zl", dir).status, 0);

    // The tile set was read as "zmpe"; exporting "zme" needs a new one.
    CliOutcome refused = RunZorvane("export map.zl out.zm --variant zme", dir);
    EXPECT_NE(refused.status, 0);
    EXPECT_NE(refused.err.find("--zp"), std::string::npos) << refused.err;
    EXPECT_FALSE(FileExists(dir.file("out.zm")));

    CliOutcome done = RunZorvane("export map.zl out.zm --variant zme --zp new.zp", dir);
    ASSERT_EQ(done.status, 0) << done.err;
    MapFile m = ParseZM(ReadWholeFile(dir.file("out.zm")));
    EXPECT_EQ(m.ZpPath, dir.file("new.zp"));
    EXPECT_TRUE(ParseZP(ReadWholeFile(dir.file("new.zp"))).Zme);
    EXPECT_EQ(m.Squares[0].Atr, AtrImpassable);  // borders are impassable in the file
    EXPECT_EQ(m.Squares[2 * 14 + 2].Gnd, 0);

    // Same variant, nothing changed: the stored tile set serves as it is.
    CliOutcome again = RunZorvane("export map.zl again.zm --variant zmpe", dir);
    EXPECT_EQ(again.status, 0) << again.err;
}

// Nobody answers the command line's questions: the commands pass what
// their options say to the operations, and nothing is asked even where the
// editor asks (a map's missing tile set, the new tile set of an export).
TEST(Cli, CommandsAskNothingAndDoWhatTheirOptionsSay) {
    TempDir dir;
    WriteBytes(dir.file("set.zp"), EncodeZP(SmallTileSet(), TileSetVariant::Zmpe));
    WriteBytes(dir.file("lost.zm"), SmallMap("/nowhere/lost.zp"));
    auto expectUnasked = [](const CliOutcome& r) {
        for (const char* asked : {"internal error", "manually?", "Create new *.zp", "select the path", "replace it?"})
            EXPECT_EQ(r.err.find(asked), std::string::npos) << asked << " in:\n" << r.err;
    };

    // The stored tile set is missing: an error naming it, or --zp read in its place.
    CliOutcome r = RunZorvane("convert lost.zm lost.zl -v", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("zorvane convert: error opening /nowhere/lost.zp!"), std::string::npos) << r.err;
    expectUnasked(r);
    r = RunZorvane("convert lost.zm lost.zl --zp set.zp -v", dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find(dir.file("set.zp") + " opened."), std::string::npos) << r.err;
    expectUnasked(r);
    r = RunZorvane("learn lost.zm -o out.zg -v", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Learning interrupted - Could not find /nowhere/lost.zp."), std::string::npos) << r.err;
    expectUnasked(r);
#ifdef ZORVANE_WITH_RENDER
    r = RunZorvane("render lost.zm lost.png --zp set.zp -v", dir);
    EXPECT_EQ(r.status, 0) << r.err;
    expectUnasked(r);
#endif

    // Exporting "zme" from a "zmpe" tile set needs a new one: refused without
    // --zp, written to it (".zp" added) with it, and never over another file.
    r = RunZorvane("export lost.zl out.zm --variant zme -v", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("needs a new tile set file: name it with --zp NEW.zp. Nothing was written."),
              std::string::npos);
    expectUnasked(r);
    WriteBytes(dir.file("kept.zp"), {'k'});
    r = RunZorvane("export lost.zl out.zm --variant zme --zp kept.tmp -v", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(dir.file("kept.zp")), std::string::npos) << r.err;
    EXPECT_EQ(ReadWholeFile(dir.file("kept.zp")), std::vector<std::uint8_t>{'k'});
    expectUnasked(r);
    EXPECT_FALSE(FileExists(dir.file("out.zm")));
    r = RunZorvane("export lost.zl out.zm --variant zme --zp new -v", dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ParseZM(ReadWholeFile(dir.file("out.zm"))).ZpPath, dir.file("new.zp"));
    EXPECT_TRUE(ParseZP(ReadWholeFile(dir.file("new.zp"))).Zme);
    expectUnasked(r);
}

#ifdef ZORVANE_WITH_RENDER
TEST(Cli, RendersMapToPngOfThirtyTwoPixelsPerSquare) {
    TempDir dir;
    WriteBytes(dir.file("set.zp"), EncodeZP(SmallTileSet(), TileSetVariant::Zmpe));
    WriteBytes(dir.file("map.zm"), SmallMap(dir.file("set.zp")));
    CliOutcome r = RunZorvane("render map.zm map.png --grid --attributes", dir);
    ASSERT_EQ(r.status, 0) << r.err;
    auto png = ReadWholeFile(dir.file("map.png"));
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
    auto be32 = [&](std::size_t at) { return png[at] << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3]; };
    EXPECT_EQ(be32(16), 14 * 32);  // IHDR width
    EXPECT_EQ(be32(20), 14 * 32);  // IHDR height

    CliOutcome missing = RunZorvane("render nothing.zm out.png", dir);
    EXPECT_NE(missing.status, 0);
    EXPECT_FALSE(FileExists(dir.file("out.png")));
}
#endif

// Folder names beyond ASCII: a "zme" tile set stores its path in the
// Windows code page and a map naming a tile set there finds it again; a
// name the code page lacks is refused for a "zme" file (nothing written) and
// is no matter for "zmpe", which stores no path and is copied byte for byte.
TEST(Cli, StoredPathsAreInTheWindowsCodePage) {
    TempDir dir;
    const std::string karten = "Karten für €", mapy = "Mapy_ŻÓŁW";
    std::filesystem::create_directory(dir.path() / karten);
    std::filesystem::create_directory(dir.path() / mapy);
    const std::vector<std::uint8_t> set = EncodeZP(SmallTileSet(), TileSetVariant::Zmpe);
    WriteBytes(dir.file(karten + "/set.zp"), set);
    WriteBytes(dir.file(karten + "/map.zm"), SmallMap(dir.file(karten + "/set.zp")));

    CliOutcome zme = RunZorvane("convert '" + karten + "/set.zp' '" + karten + "/out.zp' --variant zme", dir);
    ASSERT_EQ(zme.status, 0) << zme.err;
    const std::vector<std::uint8_t> out = ReadWholeFile(dir.file(karten + "/out.zp"));
    EXPECT_EQ(std::string(out.begin() + 5, out.begin() + 5 + out[4]), StoredPathFromUtf8(dir.file(karten + "/out.zp")));
    EXPECT_NE(std::string(out.begin() + 5, out.begin() + 5 + out[4]).find("f\xFCr \x80"), std::string::npos);

    CliOutcome layered = RunZorvane("convert '" + karten + "/map.zm' '" + karten + "/map.zl'", dir);
    ASSERT_EQ(layered.status, 0) << layered.err;
    EXPECT_EQ(ParseZL(ReadWholeFile(dir.file(karten + "/map.zl"))).ZpPath, dir.file(karten + "/set.zp"));

    CliOutcome refused = RunZorvane("convert '" + karten + "/set.zp' " + mapy + "/out.zp --variant zme", dir);
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("Ż (U+017B)"), std::string::npos) << refused.err;
    EXPECT_FALSE(std::filesystem::exists(dir.path() / mapy / "out.zp"));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path() / mapy));
    CliOutcome zmpe = RunZorvane("convert '" + karten + "/set.zp' " + mapy + "/out.zp", dir);
    ASSERT_EQ(zmpe.status, 0) << zmpe.err;
    EXPECT_EQ(ReadWholeFile(dir.file(mapy + "/out.zp")), set);
}
