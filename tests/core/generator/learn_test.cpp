// Learning from map project files.

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

#include "fake_ui.h"
#include "generator/driver/generation.h"
#include "generator/learning/learn.h"
#include "generator/learning/learn_steps.h"
#include "generator/search/row_preparation.h"
#include "learn_fixtures.h"
#include "platform/file_io.h"
#include "samples/samples.h"
#include "learned_run.h"

using namespace zorvane;
using namespace zorvane::testing;

namespace {

std::vector<int> Seeds(int first, int count) {
    std::vector<int> s;
    for (int i = 0; i < count; ++i) s.push_back(first + i);
    return s;
}

// Inner squares 0..99 of a 14 x 14 map, all different.
TestMap DistinctMap() {
    return MakeMap(14, 14, [](int x, int y) {
        return MapSquare{static_cast<std::uint16_t>((y - 2) * 10 + (x - 2)), NoBitmap, static_cast<std::uint8_t>(x % 4)};
    });
}

struct LearnFixture : ::testing::Test {
    TempDir dir;
    Project project;
    LearnedRun gen;
    GeneratorSettings settings;
    FakeUi ui;

    LearnFixture() { project.Generator = &gen; }

    std::string AddMap(const std::string& name, const std::string& zp, const TestMap& m, int multiplier = 1,
                       bool connector = false) {
        const std::string path = dir.file(name);
        WriteMapFile(path, zp, m);
        settings.LearnList.push_back({path, multiplier, connector});
        return path;
    }
    bool SawGeneratorStatus(const std::string& text) const {
        return std::find(ui.activities.begin(), ui.activities.end(), text) != ui.activities.end();
    }
    void ExpectMatchesReference(const ReferenceResult& ref) {
        ASSERT_EQ(gen.SquareCount(), static_cast<int>(ref.Squares.size()));
        for (int i = 0; i < gen.SquareCount(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(gen.Sq(i).Gnd, ref.Squares[i].Gnd);
            EXPECT_EQ(gen.Sq(i).Top, ref.Squares[i].Top);
            EXPECT_EQ(gen.Sq(i).Atr, ref.Squares[i].Atr);
            ASSERT_EQ(gen.Sq(i).Down, ref.Squares[i].Down);
            ASSERT_EQ(gen.Sq(i).Right, ref.Squares[i].Right);
        }
        EXPECT_EQ(gen.JoinsCount, ref.Joins);
        EXPECT_EQ(gen.ObjSize, ref.ObjSize);
        EXPECT_EQ(gen.ObjStarts, ref.ObjStarts);
        EXPECT_EQ(gen.ObjMembers, ref.ObjMembers);
        EXPECT_EQ(gen.LargestObject, ref.Largest);
        EXPECT_EQ(gen.TallestObject, ref.Tallest);
    }
};

}  // namespace

TEST_F(LearnFixture, SmallestMapLearnsItsInnerSquaresAndReportsTheSummary) {
    const std::string zp = dir.file("a.zp");
    WriteTileSetFile(zp, Seeds(0, 100));
    AddMap("a.zm", zp, DistinctMap());
    const LearnOutcome out = Learn(project, ui, gen, settings);
    ASSERT_TRUE(out.Completed);
    EXPECT_TRUE(gen.Learned);
    ASSERT_EQ(gen.SquareCount(), 101);  // 10 x 10 inner squares and the empty square
    int right = 0, down = 0;
    for (int i = 0; i < 100; ++i) {
        right += static_cast<int>(gen.Sq(i).Right.size());
        down += static_cast<int>(gen.Sq(i).Down.size());
    }
    EXPECT_EQ(right, 90);
    EXPECT_EQ(down, 90);
    const LearnedSquare& empty = gen.Sq(100);
    EXPECT_EQ(empty.Gnd, NoBitmap);
    EXPECT_EQ(empty.Atr, AtrImpassable);
    EXPECT_EQ(empty.Down.size(), 100u);  // every square once, also the ones never below another
    EXPECT_EQ(gen.JoinsCount, 380);
    EXPECT_EQ(out.Summary, "380 joins of 100 bitmaps; 0 changed id's; 0 added bmp's; 0 added tile sets;");
    EXPECT_EQ(ui.activities.back(), out.Summary);
    EXPECT_TRUE(SawGeneratorStatus("Loading maps... (1/1)"));
    EXPECT_TRUE(SawGeneratorStatus("Learning... 0 joins in 1/1 files found."));
    EXPECT_TRUE(SawGeneratorStatus("Processing connectors..."));
    EXPECT_TRUE(SawGeneratorStatus("Tracking relationships 1 to 1..."));
    EXPECT_TRUE(SawGeneratorStatus("Finishing joins array..."));
    EXPECT_TRUE(ui.sawStatus("Learning combinations..."));
    EXPECT_EQ(ui.status(), "Learning finished.");
    EXPECT_FALSE(ui.progressVisible);
    // Every square has one right and one lower neighbour that nobody else
    // has: the whole inner area is one rigid object.
    EXPECT_EQ(gen.LargestObject, 100);
    EXPECT_EQ(gen.TallestObject, 10);
    EXPECT_EQ(gen.ObjStarts, std::vector<std::int32_t>{0});
    EXPECT_EQ(settings.ObjectChart.Largest(), 100);
    EXPECT_EQ(project.ZpPath, zp);
    EXPECT_EQ(project.BitmapCount, 100);
}

TEST_F(LearnFixture, AttributeOfTheFirstOccurrenceAndMultiplierWeights) {
    const std::string zp = dir.file("a.zp");
    WriteTileSetFile(zp, Seeds(0, 3));
    // Columns alternate ground 0 and 1; the attribute differs per row.
    auto stripes = [](int x, int y) { return MapSquare{static_cast<std::uint16_t>(x % 2), NoBitmap, static_cast<std::uint8_t>(y)}; };
    AddMap("a.zm", zp, MakeMap(14, 14, stripes), 3);
    AddMap("b.zm", zp, MakeMap(14, 14, stripes), 5);
    ASSERT_TRUE(Learn(project, ui, gen, settings).Completed);
    const int zero = gen.FindSq(0, NoBitmap), one = gen.FindSq(1, NoBitmap);
    EXPECT_EQ(gen.Sq(zero).Atr, 2);  // row 2 is the first inner row
    // Weight 3 from the first map and 5 from the second leave 5 copies.
    EXPECT_EQ(gen.Sq(zero).Right, std::vector<std::int32_t>(5, one));
    EXPECT_EQ(gen.Sq(zero).Down, std::vector<std::int32_t>(5, zero));
}

TEST_F(LearnFixture, SecondTileSetIsMergedAndItsMapTranslated) {
    const std::string a = dir.file("a.zp"), b = dir.file("b.zp");
    WriteTileSetFile(a, {10, 11, 12});
    WriteTileSetFile(b, {12, 99, 10, 98}, true);  // rows stored bottom-up: compared after turning
    AddMap("a.zm", a, MakeMap(14, 14, [](int x, int) { return MapSquare{static_cast<std::uint16_t>(x % 3), NoBitmap, 0}; }));
    AddMap("b.zm", b, MakeMap(14, 14, [](int x, int) { return MapSquare{static_cast<std::uint16_t>(x % 4), NoBitmap, 0}; }));
    AddMap("c.zm", b, MakeMap(14, 14, [](int, int y) { return MapSquare{3, static_cast<std::uint16_t>(y % 2 ? 1 : NoBitmap), 0}; }));
    const LearnOutcome out = Learn(project, ui, gen, settings);
    ASSERT_TRUE(out.Completed);
    // b's 0 is a's 2, b's 2 is a's 0 (changed ids); 99 and 98 are added as 3 and 4.
    EXPECT_EQ(out.ChangedIds, 2);
    EXPECT_EQ(out.AddedBitmaps, 2);
    EXPECT_EQ(project.BitmapCount, 5);
    EXPECT_EQ(0, std::memcmp(project.Bitmap(3), PatternBitmap(99).data(), BitmapBytes));
    EXPECT_TRUE(project.ZpPath.empty());
    EXPECT_TRUE(project.ZpModified);
    // Squares of b and c in project ids only.
    EXPECT_GE(gen.FindSq(4, NoBitmap), 0);      // b's 3
    EXPECT_GE(gen.FindSq(4, 3), 0);             // c: ground b3, top b1 -> 4, 3
    for (const LearnedSquare& s : gen.Squares()) {
        EXPECT_TRUE(s.Gnd == NoBitmap || s.Gnd < 5);
        EXPECT_TRUE(s.Top == NoBitmap || s.Top < 5);
    }
    // c shares b's tile set: compared once.
    int comparing = 0;
    for (auto& s : ui.activities) comparing += s.rfind("Comparing bitmaps... 0 (file", 0) == 0;
    EXPECT_EQ(comparing, 1);
    EXPECT_TRUE(SawGeneratorStatus("Comparing bitmaps... 0 (file 2/3)"));
    EXPECT_TRUE(SawGeneratorStatus("Arranging bitmaps... 0 (file 3/3)"));
    EXPECT_EQ(out.Summary, std::to_string(gen.JoinsCount) + " joins of 5 bitmaps; 2 changed id's; 2 added bmp's; 0 added tile sets;");
}

TEST_F(LearnFixture, GatheringTileSetsAddsTheMissingTilesRenumbered) {
    const std::string a = dir.file("a.zp"), b = dir.file("b.zp");
    TileList aTiles;
    aTiles.push_back(MakeTile(1, 1, 0, 0, 0));
    WriteTileSetFile(a, {10, 11}, false, std::move(aTiles));
    TileList bTiles;
    bTiles.push_back(MakeTile(1, 1, 0, 0, 1));      // b1 = a0: already there
    bTiles.push_back(MakeTile(2, 1, 0, 0, 0, 1));   // b0 (new), top b1
    WriteTileSetFile(b, {77, 10}, false, std::move(bTiles));
    auto fill = [](int, int) { return MapSquare{0, NoBitmap, 0}; };
    AddMap("a.zm", a, MakeMap(14, 14, fill));
    AddMap("b.zm", b, MakeMap(14, 14, fill));
    settings.CollectTileSets = true;
    const LearnOutcome out = Learn(project, ui, gen, settings);
    ASSERT_TRUE(out.Completed);
    EXPECT_EQ(out.AddedTiles, 1);
    ASSERT_EQ(project.NewTiles.size(), 2u);
    EXPECT_EQ(project.NewTiles[1]->SqAt(0, 0), (MapSquare{2, 0, 0}));
    EXPECT_TRUE(SawGeneratorStatus("Gathering tile sets... 0 (file 2/2)"));
}

TEST_F(LearnFixture, ForcedTileSetServesEveryMap) {
    const std::string forced = dir.file("forced.zp");
    WriteTileSetFile(forced, Seeds(0, 100));
    AddMap("a.zm", dir.file("gone.zp"), DistinctMap());
    AddMap("b.zm", dir.file("also-gone.zp"), DistinctMap());
    settings.ForceTileSet = true;
    project.ZpPath = forced;
    ASSERT_TRUE(Learn(project, ui, gen, settings).Completed);
    EXPECT_EQ(project.ZpPath, forced);
    EXPECT_FALSE(project.ZpModified);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LearnFixture, MissingMapFileCanBeReplacedOrEndsLearningSilently) {
    const std::string zp = dir.file("a.zp");
    WriteTileSetFile(zp, Seeds(0, 100));
    const std::string real = AddMap("real.zm", zp, DistinctMap());
    settings.LearnList[0].Path = dir.file("moved/real.zm");
    gen.FindOrAddSq(1, 2, 3);  // something learned before
    ui.files.push_back(std::nullopt);
    EXPECT_FALSE(Learn(project, ui, gen, settings).Completed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Could not find *.zm file");
    EXPECT_EQ(ui.messages[0].text, "File does not exist:\r" + dir.file("moved/real.zm") +
                                       "\rSelect this file in it's new directory or stop learning process "
                                       "(click Cancel in the Open Dialog).");
    EXPECT_EQ(ui.dialogs[0].name, "ODzm");
    EXPECT_TRUE(ui.dialogs[0].fileMustExist);
    EXPECT_EQ(gen.SquareCount(), 1);  // nothing changed
    EXPECT_TRUE(ui.activities.empty());

    ui.files.push_back(real);
    EXPECT_TRUE(Learn(project, ui, gen, settings).Completed);
    EXPECT_EQ(settings.LearnList[0].Path, real);
}

TEST_F(LearnFixture, MissingTileSetAnsweredNoInterruptsWithAnEmptyGenerator) {
    AddMap("a.zm", dir.file("nowhere.zp"), DistinctMap());
    gen.FindOrAddSq(1, 2, 3);
    ui.answers.push_back(Answer::No);
    EXPECT_FALSE(Learn(project, ui, gen, settings).Completed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Missing *.zp file");
    EXPECT_EQ(ui.messages[0].text, "Could not find " + dir.file("nowhere.zp") + "\rDo you want to select it manually?");
    EXPECT_EQ(ui.activities.back(), "Learning interrupted - Could not find " + dir.file("nowhere.zp") + ".");
    EXPECT_EQ(gen.SquareCount(), 0);
    EXPECT_FALSE(gen.Ready());

    // Yes and a chosen file: learning goes on with it.
    const std::string zp = dir.file("a.zp");
    WriteTileSetFile(zp, Seeds(0, 100));
    ui.answers.push_back(Answer::Yes);
    ui.files.push_back(zp);
    EXPECT_TRUE(Learn(project, ui, gen, settings).Completed);
    EXPECT_EQ(project.ZpPath, zp);
}

TEST_F(LearnFixture, DamagedMapEndsLearningWithNothingHalfLearned) {
    const std::string zp = dir.file("a.zp");
    WriteTileSetFile(zp, Seeds(0, 100));
    AddMap("a.zm", zp, DistinctMap());
    const std::string bad = dir.file("bad.zm");
    Bytes bytes = MapFileBytes(zp, 14, 14, DistinctMap().Squares);
    bytes.erase(bytes.end() - 7, bytes.end());  // cut short
    WriteBytes(bad, bytes);
    settings.LearnList.push_back({bad, 1, false});
    gen.Learned = true;
    EXPECT_FALSE(Learn(project, ui, gen, settings).Completed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Error");
    EXPECT_EQ(ui.messages[0].icon, Icon::Error);
    EXPECT_NE(ui.messages[0].text.find(bad), std::string::npos);
    EXPECT_EQ(gen.SquareCount(), 0);
    EXPECT_FALSE(gen.Learned);
    EXPECT_FALSE(ui.progressVisible);
}

TEST_F(LearnFixture, BitmapLimitStopsLearningWithTheCriticalError) {
    const std::string a = dir.file("a.zp"), b = dir.file("b.zp");
    {
        Project big;
        std::vector<std::uint8_t> px(BitmapBytes);
        for (int i = 0; i < MaxBitmaps; ++i) {
            std::memcpy(px.data(), &i, sizeof i);
            big.AddBitmap(px.data());
        }
        WriteBytes(a, EncodeZP(big, TileSetVariant::Zmpe));
    }
    WriteTileSetFile(b, {5});
    auto fill = [](int, int) { return MapSquare{0, NoBitmap, 0}; };
    AddMap("a.zm", a, MakeMap(14, 14, fill));
    AddMap("b.zm", b, MakeMap(14, 14, fill));
    EXPECT_FALSE(Learn(project, ui, gen, settings).Completed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Error");
    EXPECT_EQ(ui.messages[0].text, "Critical Error! Too many bitmaps!");
    EXPECT_FALSE(gen.Learned);
    EXPECT_EQ(gen.SquareCount(), 0);
    EXPECT_EQ(project.BitmapCount, MaxBitmaps);
}

TEST_F(LearnFixture, ConnectorSquaresBecomeInterchangeable) {
    const std::string zp = dir.file("a.zp");
    WriteTileSetFile(zp, Seeds(0, 10));
    // Map 1: ground 5 above ground 0 everywhere. Connector map: grass 0, 1, 2.
    AddMap("a.zm", zp, MakeMap(14, 14, [](int, int y) { return MapSquare{static_cast<std::uint16_t>(y % 2 ? 5 : 0), NoBitmap, 0}; }));
    AddMap("grass.zm", zp, MakeMap(14, 14, [](int x, int y) { return MapSquare{static_cast<std::uint16_t>((x + 2 * y) % 3), NoBitmap, 0}; }), 2, true);
    ASSERT_TRUE(Learn(project, ui, gen, settings).Completed);
    const int five = gen.FindSq(5, NoBitmap);
    const int g0 = gen.FindSq(0, NoBitmap), g1 = gen.FindSq(1, NoBitmap), g2 = gen.FindSq(2, NoBitmap);
    // 5 was followed by grass 0 only; now by every member, each at least twice.
    for (int g : {g0, g1, g2}) EXPECT_GE(gen.CountInList(five, JoinDir::Down, g), 2);
    // Members share the union of their lists: each may stand above 5.
    for (int g : {g0, g1, g2}) EXPECT_EQ(gen.CountInList(g, JoinDir::Down, five), gen.CountInList(g0, JoinDir::Down, five));
    EXPECT_EQ(gen.ObjectSizeOf(g0), 0);
}

TEST_F(LearnFixture, MatchesThePlainDefinitionsOnMapsWithRepeatedStructure) {
    const std::string zp = dir.file("a.zp");
    WriteTileSetFile(zp, Seeds(0, 40));
    std::vector<TestMap> maps{StructuredMap(30, 24, 1, 6, 20), StructuredMap(24, 30, 2, 6, 20),
                              MakeMap(16, 16, [](int x, int y) { return MapSquare{static_cast<std::uint16_t>((x * 7 + y * 3) % 4), NoBitmap, 1}; }),
                              StructuredMap(40, 20, 3, 5, 20)};
    const int multipliers[] = {1, 3, 2, 1};
    const bool connectors[] = {false, false, true, false};
    for (std::size_t i = 0; i < maps.size(); ++i)
        AddMap("m" + std::to_string(i) + ".zm", zp, maps[i], multipliers[i], connectors[i]);
    ASSERT_TRUE(Learn(project, ui, gen, settings).Completed);
    std::vector<ReferenceMap> ref;
    for (std::size_t i = 0; i < maps.size(); ++i)
        ref.push_back({maps[i].Width, maps[i].Height, &maps[i].Squares, multipliers[i], connectors[i]});
    ExpectMatchesReference(ReferenceLearning().Run(ref));
    EXPECT_GT(gen.LargestObject, 1);

    // Learning the same list again gives the same squares in the same order.
    std::vector<LearnedSquare> first = gen.Squares();
    ASSERT_TRUE(Learn(project, ui, gen, settings).Completed);
    ASSERT_EQ(gen.SquareCount(), static_cast<int>(first.size()));
    for (int i = 0; i < gen.SquareCount(); ++i) ASSERT_EQ(gen.Sq(i).Down, first[i].Down);
}

TEST_F(LearnFixture, MatchesThePlainDefinitionsOnTheSampleMaps) {
    auto files = samples::BuildSampleFiles(dir.file("samples"), 5);
    samples::WriteSampleFiles(files);
    const auto tiles = samples::BuildSampleTileSet();
    auto maps = samples::ComposeSampleMaps(tiles, 5);
    // The smaller maps and the connector map keep the plain reference quick.
    std::vector<ReferenceMap> ref;
    for (const auto& m : maps) {
        if (m.Width > 44 && !m.Connector) continue;
        const std::string path = dir.file("samples/zmpe/" + m.Name + ".zm");
        ASSERT_TRUE(FileExists(path)) << path;
        settings.LearnList.push_back({path, m.Connector ? 2 : 1, m.Connector});
        ref.push_back({m.Width, m.Height, &m.Squares, m.Connector ? 2 : 1, m.Connector});
    }
    ASSERT_GE(ref.size(), 2u);
    ASSERT_TRUE(Learn(project, ui, gen, settings).Completed);
    ExpectMatchesReference(ReferenceLearning().Run(ref));
}

TEST_F(LearnFixture, LearnCommandAsksRefusesAndKeepsTheForcedTileSet) {
    project.NoProject = false;
    ui.answers.push_back(Answer::Cancel);
    EXPECT_FALSE(LearnCommand(project, ui, gen, settings));
    EXPECT_EQ(ui.messages.back().text, "This operation may affect the current project!");

    EXPECT_FALSE(LearnCommand(project, ui, gen, settings));  // Yes, then an empty list
    EXPECT_EQ(ui.messages.back().text, "Add *.zm files first!");
    EXPECT_EQ(ui.messages.back().caption, "Warning");

    settings.ForceTileSet = true;
    project.ZpPath = dir.file("none.zp");
    EXPECT_FALSE(LearnCommand(project, ui, gen, settings));
    EXPECT_EQ(ui.messages.back().text, "Select *.zp file first!");

    const std::string forced = dir.file("forced.zp");
    WriteTileSetFile(forced, Seeds(0, 100));
    project.ZpPath = forced;
    AddMap("a.zm", dir.file("gone.zp"), DistinctMap());
    EXPECT_TRUE(LearnCommand(project, ui, gen, settings));
    EXPECT_EQ(project.ZpPath, forced);
    EXPECT_FALSE(project.NoProject);
    EXPECT_TRUE(gen.Ready());
}

TEST_F(LearnFixture, MultipliersThatWouldOutgrowTheGeneratorAreRefusedAndWhatIsLearnedGenerates) {
    auto files = samples::BuildSampleFiles(dir.file("samples"), 11);
    samples::WriteSampleFiles(files);
    std::vector<int> refused;
    for (int m = 1; m <= 8; ++m) {
        SCOPED_TRACE(m);
        settings = GeneratorSettings{};
        for (const char* name : {"meadow", "lakes", "village"})
            settings.LearnList.push_back({dir.file("samples/zmpe/" + std::string(name) + ".zm"), m, false});
        ui.messages.clear();
        if (!Learn(project, ui, gen, settings).Completed) {
            refused.push_back(m);
            EXPECT_FALSE(gen.Ready());
            ASSERT_EQ(ui.messages.size(), 1u);
            const std::string& text = ui.messages[0].text;
            EXPECT_NE(text.find("meadow.zm [multi=" + std::to_string(m) + "]"), std::string::npos) << text;
            EXPECT_NE(text.find("Lower the multipliers"), std::string::npos) << text;
            continue;
        }
        // Whatever is learned generates without an error, also with the
        // first row made under the border.
        settings.WidthWithoutBorders = 12;
        settings.HeightWithoutBorders = 10;
        settings.WorkerThreads = 1;
        settings.SimplifiedFirstLine = false;
        MapGenerationEngine engine(gen);
        GenerationRequests requests;
        GenerationReport report;
        GenerateOptions options;
        options.Seed = 3;
        options.TimeLimit = std::chrono::seconds(20);
        EXPECT_NE(engine.Generate(project, ui, settings, requests, report, options), GenerateOutcome::Failed)
            << (ui.messages.empty() ? ui.status() : ui.messages.back().text);
        // Under the border every column pair holds as many pairs as the
        // learned data lets a column pair hold at most.
        RowSettings rowSettings;
        rowSettings.MapWidth = 14;
        RowPreparer prep(gen, gen, rowSettings);
        GeneratorRng rng(m);
        prep.BuildColumnCandidates(std::vector<std::int32_t>(10, -1), rng);
        prep.BuildJoinLists();
        EXPECT_EQ(gen.ColumnPairJoinCount(0),
                  learning::DemandOf(gen.Squares(), learning::EmptySquare::Included).ColumnPairs);
        EXPECT_EQ(gen.ColumnPairJoinCount(8), gen.ColumnPairJoinCount(0));
    }
    // These maps at multiplier 7 or 8 (and even 5) outgrow the lists; once
    // refused, any larger multiplier is refused too.
    ASSERT_FALSE(refused.empty());
    EXPECT_LE(refused.front(), 7);
    EXPECT_EQ(refused.back(), 8);
    EXPECT_EQ(refused.size(), static_cast<std::size_t>(9 - refused.front()));
}

TEST_F(LearnFixture, ManyDifferentSquaresAtAHighMultiplierAreRefusedNamingIt) {
    // 784 different squares: at multiplier 100 the empty square's lists
    // alone would outgrow their capacity; the pairs under the border, about
    // 784 x m x m x m, outgrow it from multiplier 5 on.
    const std::string zp = dir.file("a.zp");
    WriteTileSetFile(zp, Seeds(0, 100));
    AddMap("many.zm", zp, MakeMap(32, 32, [](int x, int y) {
               const int i = (y - 2) * 28 + (x - 2);
               return MapSquare{static_cast<std::uint16_t>(i % 100), static_cast<std::uint16_t>(i / 100), 0};
           }));
    for (int m : {100, 5, 4}) {
        SCOPED_TRACE(m);
        settings.LearnList[0].Multiplier = m;
        ui.messages.clear();
        const bool learned = Learn(project, ui, gen, settings).Completed;
        EXPECT_EQ(learned, m == 4);
        EXPECT_EQ(gen.Ready(), m == 4);
        if (learned) continue;
        ASSERT_EQ(ui.messages.size(), 1u);
        const std::string& text = ui.messages[0].text;
        EXPECT_NE(text.find("many.zm [multi=" + std::to_string(m) + "]"), std::string::npos) << text;
        EXPECT_NE(text.find("Lower the multipliers"), std::string::npos) << text;
        EXPECT_EQ(text.find("learned square"), std::string::npos) << text;
    }
}
