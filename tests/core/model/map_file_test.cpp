#include "model/map_file.h"

#include <gtest/gtest.h>

#include "builders.h"
#include "byte_fixtures.h"
#include "fake_ui.h"
#include "model/creatures.h"
#include "zm_fixtures.h"

using namespace zorvane;
using namespace zorvane::testing;

// --- Reading -----------------------------------------------------------------

TEST(ParseZM, ReadsEveryFieldOfAHandBuiltFile) {
    const std::string path = "C:\\maps\\desert.zp";
    Bytes file = ZmFile(path, 1, 3, 2, CreatureFixture());
    ASSERT_EQ(file.size(), 15 + path.size() + 5 * 3 * 2 + CreatureFixture().size());
    MapFile map = ParseZM(file);
    EXPECT_EQ(map.ZpPath, path);
    EXPECT_EQ(map.Multiplayer, 1u);
    EXPECT_EQ(map.Width, 3);
    EXPECT_EQ(map.Height, 2);
    ASSERT_EQ(map.Squares.size(), 6u);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(map.Squares[i], FixtureSquare(i % 3, i / 3)) << i;
    EXPECT_EQ(map.Creatures, CreatureFixture());
}

TEST(ParseZM, AcceptsAnEmptyPathAndNoCreatureBlock) {
    MapFile map = ParseZM(ZmFile("", 0, 1, 1, {}));
    EXPECT_EQ(map.ZpPath, "");
    EXPECT_TRUE(map.Creatures.empty());
    EXPECT_EQ(map.Squares.size(), 1u);
}

TEST(ParseZM, RefusesForeignAndDamagedFiles) {
    Bytes foreign = ZmFile("a.zp", 1, 2, 2, {});
    foreign[3] = '4';
    EXPECT_THROW(ParseZM(foreign), Error);

    Bytes badBlock = ZmFile("a.zp", 1, 2, 2, {'X', 'S', 'T', '0', 1, 2});
    EXPECT_THROW(ParseZM(badBlock), Error);

    EXPECT_THROW(ParseZM(ZmFile("a.zp", 1, 0, 5, {})), Error);
    EXPECT_THROW(ParseZM(ZmFile("a.zp", 1, 5, 0, {})), Error);
}

TEST(ParseZM, EveryTruncationIsRefused) {
    Bytes file = ZmFile("set.zp", 1, 4, 3, CreatureFixture());
    const std::size_t blockStart = 15 + 6 + 5 * 4 * 3;
    for (std::size_t n = 0; n < file.size(); ++n) {
        Bytes cut(file.begin(), file.begin() + n);
        bool readable = n == blockStart || n >= blockStart + 4;  // no block, or one from "CST0" on
        if (readable)
            EXPECT_NO_THROW(ParseZM(cut)) << n;
        else
            EXPECT_THROW(ParseZM(cut), Error) << n;
    }
}

TEST(ParseZM, ALargeDeclaredSizeWithFewBytesIsRefused) {
    Bytes file = ZmFile("", 0, 1, 1, {});
    file[13] = 255;  // width
    file[14] = 255;  // height
    EXPECT_THROW(ParseZM(file), Error);
}

// --- Writing -----------------------------------------------------------------

TEST(EncodeZM, WritesTheLayoutWithImpassableBorders) {
    Project p = FlatProject(5, 5, "d.zp");
    p.Creatures = CreatureFixture();
    Bytes out = EncodeZM(p, TileSetVariant::Zmpe);

    Bytes expected;
    PutText(expected, "ZLF5");
    expected.push_back(4);
    PutText(expected, "d.zp");
    Put32(expected, 1);
    PutText(expected, "MAP0");
    expected.push_back(5);
    expected.push_back(5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            MapSquare s = FixtureSquare(x, y);
            Put16(expected, s.Gnd);
            Put16(expected, s.Top);
            expected.push_back(x == 2 && y == 2 ? s.Atr : AtrImpassable);
        }
    PutText(expected, "CST0");
    const Bytes block = CreatureFixture();
    expected.insert(expected.end(), block.begin() + 4, block.end());
    EXPECT_EQ(out, expected);
}

TEST(EncodeZM, RoundTripKeepsSquaresPathAndCreatures) {
    Project p = FlatProject(7, 6);
    for (auto& s : p.FlatSquares) s.Atr = 3;  // borders aside, the attributes must survive too
    p.FlatSquares[2 * 7 + 3].Atr = 9;
    FakeUi ui;
    ResetCreatures(p, ui);
    MapFile map = ParseZM(EncodeZM(p, TileSetVariant::Zmpe));
    EXPECT_EQ(map.ZpPath, p.ZpPath);
    EXPECT_EQ(map.Width, 7);
    EXPECT_EQ(map.Height, 6);
    EXPECT_EQ(map.Squares, p.FlatSquares);
    EXPECT_EQ(map.Creatures, p.Creatures);
}

TEST(EncodeZM, DefaultZmpeBlockSurvivesAZmeRoundTrip) {
    Project p = FlatProject(4, 4);
    FakeUi ui;
    ResetCreatures(p, ui);
    const Bytes original = p.Creatures;
    Project back = FlatProject(4, 4);
    back.Creatures = ParseZM(EncodeZM(p, TileSetVariant::Zme)).Creatures;
    back.ZmeVariant = true;
    EXPECT_EQ(ParseZM(EncodeZM(back, TileSetVariant::Zmpe)).Creatures, original);
}

TEST(EncodeZM, RefusesValuesThatDoNotFit) {
    Project longPath = FlatProject(4, 4, std::string(256, 'p'));
    EXPECT_THROW(EncodeZM(longPath, TileSetVariant::Zmpe), Error);
    Project exact = FlatProject(4, 4, std::string(255, 'p'));
    EXPECT_NO_THROW(EncodeZM(exact, TileSetVariant::Zmpe));

    Project notFlat = FlatProject(4, 4);
    notFlat.FlatSquares.pop_back();
    EXPECT_THROW(EncodeZM(notFlat, TileSetVariant::Zmpe), Error);

    Project wide = FlatProject(256, 1);
    EXPECT_THROW(EncodeZM(wide, TileSetVariant::Zmpe), Error);
}
