// Generator data file: a hand-built file read field by field, byte-identical
// round trips, refusals of damaged files, and the Load and Save commands.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstring>

#include "byte_fixtures.h"
#include "fake_ui.h"
#include "generator/driver/generation.h"
#include "generator/learning/learn.h"
#include "generator/zg_file.h"
#include "learn_fixtures.h"
#include "platform/file_io.h"

using namespace zorvane;
using namespace zorvane::testing;

namespace {

void PutShort(Bytes& b, const std::string& s) {
    b.push_back(static_cast<std::uint8_t>(s.size()));
    PutText(b, s);
}
void PutList(Bytes& b, const std::vector<std::int32_t>& v) {
    Put32(b, static_cast<std::uint32_t>(v.size()));
    for (auto x : v) Put32(b, static_cast<std::uint32_t>(x));
}

// Where the parts of the fixture begin, for tests that damage them.
struct FixtureOffsets {
    std::size_t selectZp = 0;
    std::size_t chartCount = 0;
    std::size_t squares = 0;
    std::size_t firstDownEntry = 0;
    std::size_t objSizeCount = 0;
};

// A file laid out field by field: one learning list entry, every setting
// away from its default, a chart of three points over sizes 0..10, two
// bitmaps, one tile and three learned squares (the empty one last).
Bytes FixtureFile(FixtureOffsets* at = nullptr) {
    Bytes b;
    PutText(b, "ZGD1");
    b.push_back(1);
    PutShort(b, "/maps/a.zm");
    b.push_back(7);  // multiplier
    b.push_back(1);  // connector
    PutShort(b, "/sets/forced.zp");
    b.push_back(1);  // CBgatherTS
    if (at) at->selectZp = b.size();
    b.push_back(0);  // CBselectZp
    b.push_back(0);  // RBsingle
    b.push_back(50);
    b.push_back(60);
    Put32(b, 5);    // SEstartingLine
    b.push_back(0);  // CBsimplified1stLine
    b.push_back(1);  // CBcontinueOldSquares
    b.push_back(1);  // CBavoidTwins
    b.push_back(3);  // SEmaxThreads
    b.push_back(10);  // TBfullness
    b.push_back(33);  // TBnumOfCombs
    b.push_back(1);   // RBLnocWay
    PutShort(b, "10-1; 20-2");
    b.push_back(0);  // CBreduceLAC
    b.push_back(0);
    Put32(b, 11);
    b.push_back(0);
    Put32(b, 2222);
    b.push_back(0);
    Put32(b, 33);
    b.push_back(0);
    Put32(b, 4);
    Put32(b, 555);
    b.push_back(1);
    Put32(b, 6);
    const auto scale = std::bit_cast<std::uint64_t>(20.0);
    Put32(b, static_cast<std::uint32_t>(scale));
    Put32(b, static_cast<std::uint32_t>(scale >> 32));
    Put32(b, 10);  // N
    if (at) at->chartCount = b.size();
    Put32(b, 3);
    for (auto [x, y] : std::vector<std::pair<int, int>>{{0, 100}, {5, 40}, {10, 0}}) {
        Put32(b, static_cast<std::uint32_t>(x));
        Put32(b, static_cast<std::uint32_t>(y));
    }
    b.push_back(1);  // CBbackup
    b.push_back(0);  // CBsaveCompleted
    b.push_back(12);
    Put32(b, 13);
    PutText(b, "/back/up.zl.x");
    for (int i = 0; i < 1024; ++i) b.push_back(static_cast<std::uint8_t>(i * 3));
    Put32(b, 2);
    for (int i = 0; i < 2 * 1024; ++i) b.push_back(static_cast<std::uint8_t>(i % 251));
    Put32(b, 1);  // one tile: 2 x 1 at (-3, 4)
    b.push_back(2);
    b.push_back(1);
    Put32(b, static_cast<std::uint32_t>(-3));
    Put32(b, 4);
    for (int i = 0; i < 2; ++i) {
        Put16(b, static_cast<std::uint16_t>(i));
        Put16(b, NoBitmap);
        b.push_back(static_cast<std::uint8_t>(8 + i));
    }
    for (int i = 0; i < 44; ++i) b.push_back(i == 12 ? 32 : static_cast<std::uint8_t>(100 + i));
    for (int i = 0; i < 54; ++i) b.push_back(static_cast<std::uint8_t>(200 + i));
    b.push_back(0);  // "zmpe"
    if (at) at->squares = b.size();
    Put32(b, 3);
    Put16(b, 5);
    Put16(b, NoBitmap);
    b.push_back(1);
    if (at) at->firstDownEntry = b.size() + 4;
    PutList(b, {1, 1});
    PutList(b, {2});
    Put16(b, 6);
    Put16(b, 7);
    b.push_back(0);
    PutList(b, {});
    PutList(b, {0});
    Put16(b, NoBitmap);
    Put16(b, NoBitmap);
    b.push_back(3);
    PutList(b, {0, 1});
    PutList(b, {0, 1});
    if (at) at->objSizeCount = b.size();
    PutList(b, {1, 2, 3});
    PutList(b, {0, 1});
    Put32(b, 3);  // tallest
    return b;
}

void Overwrite32(Bytes& b, std::size_t at, std::int32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i));
}

struct ZgFixture : ::testing::Test {
    TempDir dir;
    Project project;
    MapGenerator gen;
    GeneratorSettings settings;
    FakeUi ui;
    ZgFixture() { project.Generator = &gen; }
};

}  // namespace

TEST(ZgFile, ReadsEveryFieldOfAHandBuiltFile) {
    GeneratorPreset p = ParseZG(FixtureFile());
    const GeneratorSettings& s = p.Settings;
    ASSERT_EQ(s.LearnList.size(), 1u);
    EXPECT_EQ(s.LearnList[0].Path, "/maps/a.zm");
    EXPECT_EQ(s.LearnList[0].Multiplier, 7);
    EXPECT_TRUE(s.LearnList[0].Connector);
    EXPECT_EQ(p.ZpPath, "/sets/forced.zp");
    EXPECT_TRUE(s.CollectTileSets);
    EXPECT_FALSE(s.ForceTileSet);
    EXPECT_FALSE(s.Multiplayer);
    EXPECT_EQ(s.WidthWithoutBorders, 50);
    EXPECT_EQ(s.HeightWithoutBorders, 60);
    EXPECT_EQ(s.StartLine, 5);
    EXPECT_FALSE(s.SimplifiedFirstLine);
    EXPECT_TRUE(s.ContinueExistingSquares);
    EXPECT_TRUE(s.NoIdenticalNeighbours);
    EXPECT_EQ(s.WorkerThreads, 3);
    EXPECT_EQ(s.CombinationsLimitPosition, 10);
    EXPECT_EQ(s.SquarePreferencePosition, 33);
    EXPECT_TRUE(s.PreferMostCombinations);
    EXPECT_EQ(s.ScheduleOfRepeats, "10-1; 20-2");
    EXPECT_FALSE(s.ReduceLocalAttempts);
    EXPECT_EQ(s.FirstAttempts, 11);
    EXPECT_EQ(s.AttemptsRememberingApprovedSquares, 2222);
    EXPECT_EQ(s.DistanceFromFarthestRow, 33);
    EXPECT_EQ(s.RowsToGoBack, 4);
    EXPECT_EQ(s.SecondsOfOneRow, 555);
    EXPECT_TRUE(s.FreezeCorrectFragments);
    EXPECT_EQ(s.FreezePoints, 6);
    EXPECT_EQ(s.ObjectChart.Largest(), 10);
    ASSERT_EQ(s.ObjectChart.GetPointsCount(), 3);
    EXPECT_EQ(s.ObjectChart.GetPointData(1), (std::pair<int, int>{5, 40}));
    EXPECT_EQ(s.ObjectChart.Points()[1].x, 100);
    EXPECT_TRUE(s.Backup);
    EXPECT_FALSE(s.SaveCompletedMap);
    EXPECT_EQ(s.BackupEveryLines, 12);
    EXPECT_EQ(s.BackupPath, "/back/up.zl.x");
    EXPECT_EQ(p.Palette[5], 15);
    EXPECT_EQ(p.BitmapCount, 2);
    EXPECT_EQ(p.Pixels[1024 + 3], (1024 + 3) % 251);
    ASSERT_EQ(p.Tiles.size(), 1u);
    EXPECT_EQ(p.Tiles[0]->X, -3);
    EXPECT_EQ(p.Tiles[0]->SqAt(1, 0), (MapSquare{1, NoBitmap, 9}));
    EXPECT_EQ(p.InfoHeader[13], 113);
    EXPECT_EQ(p.FileHeader[0], 200);
    EXPECT_FALSE(p.ZmeVariant);
    ASSERT_EQ(p.Squares.size(), 3u);
    EXPECT_EQ(p.Squares[0].Down, (std::vector<std::int32_t>{1, 1}));
    EXPECT_EQ(p.Squares[1].Top, 7);
    EXPECT_EQ(p.Squares[2].Right, (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(p.ObjSize, (std::vector<std::int32_t>{1, 2, 3}));
    EXPECT_EQ(p.ObjStarts, (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(p.TallestObject, 3);

    // A flag is true only as 1.
    FixtureOffsets at;
    for (std::uint8_t v : {1, 2, 255}) {
        Bytes b = FixtureFile(&at);
        b[at.selectZp] = v;
        EXPECT_EQ(ParseZG(b).Settings.ForceTileSet, v == 1);
    }
}

TEST(ZgFile, AppliedFileWritesBackByteForByte) {
    const Bytes bytes = FixtureFile();
    Project project;
    MapGenerator gen;
    GeneratorSettings settings;
    ApplyPreset(ParseZG(bytes), project, gen, settings);
    EXPECT_TRUE(gen.Learned);
    EXPECT_EQ(gen.JoinsCount, 8);                 // the entries of all lists
    EXPECT_EQ(gen.LargestObject, 2);              // the last object size aside
    EXPECT_TRUE(project.BottomUpRows);            // InfoHeader height +32
    EXPECT_EQ(project.ZpPath, "/sets/forced.zp");
    EXPECT_EQ(project.NewTiles.size(), 1u);
    EXPECT_EQ(EncodeZG(project, gen, settings), bytes);
}

TEST(ZgFile, RefusesEveryTruncationAndForeignBytes) {
    const Bytes bytes = FixtureFile();
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        Bytes cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_THROW(ParseZG(cut), Error) << n;
    }
    Bytes foreign = bytes;
    foreign[3] = '0';
    EXPECT_THROW(ParseZG(foreign), Error);
}

TEST(ZgFile, RefusesDamagedCountsAndIndices) {
    FixtureOffsets at;
    const Bytes good = FixtureFile(&at);
    auto refused = [&](std::size_t offset, std::int32_t value) {
        Bytes b = good;
        Overwrite32(b, offset, value);
        try {
            ParseZG(b);
        } catch (const Error& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    EXPECT_NE(refused(at.firstDownEntry, 3), "");           // no square 3
    EXPECT_NE(refused(at.firstDownEntry, -1), "");
    EXPECT_NE(refused(at.squares, -2), "");                 // negative count
    EXPECT_NE(refused(at.squares, 0x7FFFFFFF), "");         // more than the bytes hold
    EXPECT_NE(refused(at.objSizeCount, 2), "");             // fewer object sizes than squares
    EXPECT_NE(refused(at.objSizeCount + 4, -1), "");        // negative object size
    EXPECT_NE(refused(at.objSizeCount + 4, 4), "");         // an object larger than all squares
    EXPECT_NE(refused(at.objSizeCount + 28, -3), "");       // negative tallest object
    EXPECT_EQ(refused(at.objSizeCount + 4, 3), "");
    EXPECT_NE(refused(at.chartCount, 0), "");               // a chart without points
    EXPECT_NE(refused(at.chartCount - 4, 2000000000), "");  // a range no learned data could make
    EXPECT_NE(refused(at.squares, 2).find("damaged"), std::string::npos);
}

namespace {

// The fixture file with a chart over sizes 0..n of `count` points, each on
// the next size (wrapping round the range).
Bytes WithChart(std::int32_t n, std::int32_t count) {
    FixtureOffsets at;
    const Bytes good = FixtureFile(&at);
    Bytes b(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(at.chartCount) - 4);
    Put32(b, static_cast<std::uint32_t>(n));
    Put32(b, static_cast<std::uint32_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        Put32(b, static_cast<std::uint32_t>(i % (std::max(n, 0) + 1)));
        Put32(b, static_cast<std::uint32_t>(i % 101));
    }
    b.insert(b.end(), good.begin() + static_cast<std::ptrdiff_t>(at.chartCount) + 4 + 3 * 8, good.end());
    return b;
}

}  // namespace

TEST(ZgFile, AChartWithMorePointsThanItsSizesHoldIsRefused) {
    // One point per size, beyond 200 sizes one per chart unit (0..200), and
    // one to spare.
    for (auto [n, most] : std::vector<std::pair<int, int>>{{0, 2}, {1, 3}, {10, 12}, {250, 202}}) {
        SCOPED_TRACE(n);
        EXPECT_EQ(ParseZG(WithChart(n, most)).Settings.ObjectChart.GetPointsCount(), most);
        EXPECT_THROW(ParseZG(WithChart(n, most + 1)), Error);
    }
    // A crafted file's 300,000 points are named with the most the range holds.
    try {
        ParseZG(WithChart(10, 300000));
        ADD_FAILURE() << "read";
    } catch (const Error& e) {
        const std::string what = e.what();
        EXPECT_NE(what.find("chart"), std::string::npos) << what;
        EXPECT_NE(what.find("300000"), std::string::npos) << what;
        EXPECT_NE(what.find("12"), std::string::npos) << what;
    }
}

TEST(ZgFile, RefusesListsBeyondTheirCapacity) {
    FixtureOffsets at;
    Bytes b = FixtureFile(&at);
    Bytes head(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(at.squares));
    Put32(head, 1);
    Put16(head, 1);
    Put16(head, 1);
    head.push_back(0);
    PutList(head, std::vector<std::int32_t>(MaxListEntries + 1, 0));
    PutList(head, {});
    PutList(head, {1});
    PutList(head, {});
    Put32(head, 1);
    EXPECT_THROW(ParseZG(head), Error);
}

TEST(ZgFile, WriterRefusesValuesThatDoNotFit) {
    Project project;
    MapGenerator gen;
    GeneratorSettings settings;
    settings.LearnList.push_back({std::string(256, 'a'), 1, false});
    EXPECT_THROW(EncodeZG(project, gen, settings), Error);
    settings.LearnList.assign(256, {"a.zm", 1, false});
    EXPECT_THROW(EncodeZG(project, gen, settings), Error);
    settings.LearnList.clear();
    project.NewTiles.push_back(std::make_unique<MapTile>(256, 1));
    EXPECT_THROW(EncodeZG(project, gen, settings), Error);
}

TEST_F(ZgFixture, LearnedDataSurvivesSaveAndLoad) {
    const std::string zp = dir.file("a.zp");
    WriteTileSetFile(zp, {1, 2, 3, 4, 5, 6, 7, 8});
    const std::string map = dir.file("a.zm");
    WriteMapFile(map, zp, StructuredMap(30, 26, 9, 4, 4));
    settings.LearnList.push_back({map, 4, false});
    settings.WidthWithoutBorders = 77;
    ASSERT_TRUE(Learn(project, ui, gen, settings).Completed);
    const std::string path = dir.file("preset.zg");
    ASSERT_TRUE(SaveZGFile(project, ui, gen, settings, path));
    EXPECT_EQ(ui.status(), "Generator data saved.");

    Project p2;
    MapGenerator g2;
    GeneratorSettings s2;
    FakeUi ui2;
    ASSERT_TRUE(LoadZGFile(p2, ui2, g2, s2, path));
    EXPECT_EQ(ui2.activities.back(), std::to_string(gen.JoinsCount) + " joins found.");
    EXPECT_EQ(ui2.status(), "Generator data loaded.");
    ASSERT_EQ(g2.SquareCount(), gen.SquareCount());
    for (int i = 0; i < gen.SquareCount(); ++i) {
        ASSERT_EQ(g2.Sq(i).Down, gen.Sq(i).Down);
        ASSERT_EQ(g2.Sq(i).Right, gen.Sq(i).Right);
    }
    EXPECT_EQ(g2.JoinsCount, gen.JoinsCount);
    EXPECT_EQ(g2.LargestObject, gen.LargestObject);
    EXPECT_EQ(s2.WidthWithoutBorders, 77);
    EXPECT_EQ(s2.LearnList[0].Multiplier, 4);
    EXPECT_EQ(p2.BitmapCount, 8);
    EXPECT_EQ(EncodeZG(p2, g2, s2), ReadWholeFile(path));
}

TEST_F(ZgFixture, FailedLoadChangesNothingAndSaysSo) {
    project.ZpPath = "/kept.zp";
    gen.FindOrAddSq(1, 1, 1);
    settings.WidthWithoutBorders = 33;
    const std::string foreign = dir.file("foreign.zg");
    WriteBytes(foreign, {'Z', 'G', 'D', '2', 0, 0});
    EXPECT_FALSE(LoadZGFile(project, ui, gen, settings, foreign));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Error");
    EXPECT_EQ(ui.messages[0].text, "Error opening *.zg file.");
    EXPECT_EQ(ui.messages[0].icon, Icon::Error);
    EXPECT_EQ(ui.status(), "Error loading generator data!");

    Bytes cut = FixtureFile();
    cut.erase(cut.end() - 10, cut.end());
    const std::string truncated = dir.file("cut.zg");
    WriteBytes(truncated, cut);
    EXPECT_FALSE(LoadZGFile(project, ui, gen, settings, truncated));
    EXPECT_EQ(ui.messages[1].text.rfind("Error opening *.zg file.\r", 0), 0u);
    EXPECT_EQ(project.ZpPath, "/kept.zp");
    EXPECT_EQ(gen.SquareCount(), 1);
    EXPECT_EQ(settings.WidthWithoutBorders, 33);
    EXPECT_FALSE(ui.progressVisible);
}

TEST_F(ZgFixture, SaveCommandRefusesNothingAndForcesTheExtension) {
    EXPECT_FALSE(SaveZGCommand(project, ui, gen, settings));
    EXPECT_EQ(ui.messages.back().text, "Nothing to save.");
    EXPECT_EQ(ui.messages.back().caption, "Information");

    ApplyPreset(ParseZG(FixtureFile()), project, gen, settings);
    ui.files.push_back(dir.file("preset"));
    ASSERT_TRUE(SaveZGCommand(project, ui, gen, settings));
    EXPECT_EQ(ui.dialogs.back().name, "SDzg");
    EXPECT_EQ(ui.dialogs.back().filter, "Generator Data|*.zg");
    EXPECT_EQ(ReadWholeFile(dir.file("preset.zg")), FixtureFile());
}

TEST_F(ZgFixture, LoadCommandAsksResetsAndLoads) {
    const std::string path = dir.file("p.zg");
    WriteBytes(path, FixtureFile());
    project.NoProject = false;
    ui.answers.push_back(Answer::Cancel);
    EXPECT_FALSE(LoadZGCommand(project, ui, gen, settings));
    EXPECT_EQ(ui.messages.back().text, "This operation may affect the current project!");
    EXPECT_EQ(ui.messages.back().buttons, Buttons::OkCancel);

    ui.answers.push_back(Answer::Ok);
    ui.files.push_back(path);
    ASSERT_TRUE(LoadZGCommand(project, ui, gen, settings));
    EXPECT_EQ(ui.dialogs.back().name, "ODzg");
    EXPECT_FALSE(project.NoProject);
    EXPECT_TRUE(gen.Ready());
    EXPECT_EQ(settings.WidthWithoutBorders, 50);
    EXPECT_EQ(project.BitmapCount, 2);
}

TEST_F(ZgFixture, AnEmptySizeRangeKeepsTheChartEndsApartForTheNextLearning) {
    // A connector map alone: no objects, the chart's range is 0..0.
    const std::string zp = dir.file("a.zp");
    WriteTileSetFile(zp, {1, 2, 3, 4, 5, 6, 7, 8});
    const std::string fillers = dir.file("fillers.zm");
    WriteMapFile(fillers, zp, MakeMap(14, 14, [](int x, int y) {
                     return MapSquare{static_cast<std::uint16_t>((x + y) % 3), NoBitmap, 0};
                 }));
    settings.LearnList.push_back({fillers, 1, true});
    ASSERT_TRUE(Learn(project, ui, gen, settings).Completed);
    ASSERT_EQ(gen.LargestObject, 0);
    const std::string path = dir.file("fillers.zg");
    ASSERT_TRUE(SaveZGFile(project, ui, gen, settings, path));

    // Loaded in a later run of the program, then maps with objects learned.
    Project p2;
    MapGenerator g2;
    p2.Generator = &g2;
    GeneratorSettings s2;
    ASSERT_TRUE(LoadZGFile(p2, ui, g2, s2, path));
    const std::string objects = dir.file("objects.zm");
    WriteMapFile(objects, zp, StructuredMap(30, 26, 9, 4, 4));
    s2.LearnList = {{objects, 1, false}};
    ASSERT_TRUE(Learn(p2, ui, g2, s2).Completed);
    const int n = g2.LargestObject;
    ASSERT_GT(n, 2);
    ObjectSizeChart& chart = s2.ObjectChart;
    EXPECT_EQ(chart.GetPointData(chart.GetPointsCount() - 1).first, n);
    ASSERT_TRUE(chart.AddPoint());
    EXPECT_EQ(chart.GetPointsCount(), 3);
    EXPECT_GT(chart.GetPointData(1).first, 0);
    EXPECT_LT(chart.GetPointData(1).first, n);
}

namespace {

// `count` squares that may all stand anywhere, each `weight` times in every
// list (the empty square last, listing them as often), learned from one map
// with that multiplier.
void AnywhereSquares(MapGenerator& gen, GeneratorSettings& settings, int count, int weight) {
    std::vector<std::int32_t> all;
    for (int i = 0; i < count; ++i) all.insert(all.end(), static_cast<std::size_t>(weight), i);
    std::vector<LearnedSquare> squares(static_cast<std::size_t>(count) + 1);
    for (int i = 0; i <= count; ++i) {
        squares[static_cast<std::size_t>(i)].Gnd = i == count ? NoBitmap : static_cast<std::uint16_t>(i);
        squares[static_cast<std::size_t>(i)].Top = NoBitmap;
        squares[static_cast<std::size_t>(i)].Down = all;
        squares[static_cast<std::size_t>(i)].Right = all;
    }
    gen.SetSquares(std::move(squares));
    gen.ObjSize.assign(static_cast<std::size_t>(count) + 1, 1);
    gen.ObjSize.back() = 0;
    gen.ObjStarts.clear();
    gen.LargestObject = 1;
    gen.TallestObject = 1;
    gen.Learned = true;
    settings.ObjectChart.ResetPoints(1, 2);
    settings.LearnList = {{"/maps/anywhere.zm", weight, false}};
}

}  // namespace

TEST_F(ZgFixture, DataWhoseRowsWouldOutgrowTheGeneratorIsRefusedAtLoad) {
    // With weight 3 a pair of columns under the border holds 3 x 3 x 3 pairs
    // for every two squares: 27 x 49 x 49 = 64827 fit the 65536 a list
    // holds, 27 x 50 x 50 do not.
    for (int count : {49, 50}) {
        SCOPED_TRACE(count);
        Project p;
        MapGenerator g;
        p.Generator = &g;
        GeneratorSettings s;
        AnywhereSquares(g, s, count, 3);
        const std::string path = dir.file("anywhere" + std::to_string(count) + ".zg");
        WriteBytes(path, EncodeZG(p, g, s));

        Project loaded;
        MapGenerator lg;
        loaded.Generator = &lg;
        GeneratorSettings ls;
        FakeUi lui;
        const bool ok = LoadZGFile(loaded, lui, lg, ls, path);
        if (count == 50) {
            EXPECT_FALSE(ok);
            EXPECT_FALSE(lg.Ready());
            ASSERT_EQ(lui.messages.size(), 1u);
            EXPECT_EQ(lui.messages[0].caption, "Error");
            const std::string& text = lui.messages[0].text;
            EXPECT_NE(text.find("anywhere.zm [multi=3]"), std::string::npos) << text;
            EXPECT_NE(text.find("Lower the multipliers"), std::string::npos) << text;
            continue;
        }
        ASSERT_TRUE(ok) << (lui.messages.empty() ? "" : lui.messages[0].text);
        // A new map's first row made column by column, under the border.
        ls.WidthWithoutBorders = 12;
        ls.HeightWithoutBorders = 10;
        ls.WorkerThreads = 1;
        ls.SimplifiedFirstLine = false;
        ls.Backup = false;
        ls.SaveCompletedMap = false;
        MapGenerationEngine engine(lg);
        GenerationRequests requests;
        GenerationReport report;
        GenerateOptions options;
        options.Seed = 5;
        EXPECT_EQ(engine.Generate(loaded, lui, ls, requests, report, options), GenerateOutcome::Completed)
            << lui.status();
    }
}
