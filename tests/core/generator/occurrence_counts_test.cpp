// Occurrence counts: learned against a plain count of the maps, kept in the
// optional block of the generator data file (round trips, a file without
// the block, every damage refused).

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>

#include "byte_fixtures.h"
#include "fake_ui.h"
#include "generator/learning/learn.h"
#include "generator/settings_table.h"
#include "generator/zg_file.h"
#include "learn_fixtures.h"

using namespace zorvane;
using namespace zorvane::testing;

namespace {

struct CountsFixture : ::testing::Test {
    TempDir dir;
    Project project;
    MapGenerator gen;
    GeneratorSettings settings;
    FakeUi ui;
    std::vector<TestMap> maps{StructuredMap(30, 24, 1, 6, 20), StructuredMap(24, 30, 2, 6, 20),
                              MakeMap(16, 16, [](int x, int y) {
                                  return MapSquare{static_cast<std::uint16_t>((x * 7 + y * 3) % 4), NoBitmap, 1};
                              })};
    std::vector<int> multipliers{1, 3, 2};

    CountsFixture() {
        project.Generator = &gen;
        const std::string zp = dir.file("a.zp");
        WriteTileSetFile(zp, [] {
            std::vector<int> s(40);
            std::iota(s.begin(), s.end(), 0);
            return s;
        }());
        for (std::size_t i = 0; i < maps.size(); ++i) {
            const std::string path = dir.file("m" + std::to_string(i) + ".zm");
            WriteMapFile(path, zp, maps[i]);
            settings.LearnList.push_back({path, multipliers[i], i == 2});
        }
    }

    // Squares and joins of the inner areas, counted straight from the maps.
    OccurrenceCounts PlainCounts() const {
        OccurrenceCounts c;
        c.Squares.assign(static_cast<std::size_t>(gen.SquareCount()), 0);
        for (std::size_t i = 0; i < maps.size(); ++i) {
            const TestMap& m = maps[i];
            auto at = [&](int x, int y) {
                const MapSquare& s = m.Squares[static_cast<std::size_t>(y) * m.Width + x];
                return gen.FindSq(s.Gnd, s.Top);
            };
            for (int y = 2; y < m.Height - 2; ++y) {
                for (int x = 2; x < m.Width - 2; ++x) {
                    c.Squares[static_cast<std::size_t>(at(x, y))] += multipliers[i];
                    if (x + 1 < m.Width - 2) c.Right[OccurrenceCounts::JoinKey(at(x, y), at(x + 1, y))] += multipliers[i];
                    if (y + 1 < m.Height - 2) c.Down[OccurrenceCounts::JoinKey(at(x, y), at(x, y + 1))] += multipliers[i];
                }
            }
        }
        return c;
    }
};

// Where the block of occurrence counts begins: its magic, followed by the
// length of the rest of the file.
std::size_t BlockStart(const std::vector<std::uint8_t>& bytes) {
    for (std::size_t at = bytes.size() - 8; at-- > 0;) {
        std::uint32_t length = 0;
        std::memcpy(&length, bytes.data() + at + 4, 4);
        if (std::memcmp(bytes.data() + at, "ZGOC", 4) == 0 && length == bytes.size() - at - 8) return at;
    }
    return bytes.size();
}

}  // namespace

TEST_F(CountsFixture, LearningCountsEveryOccurrenceWithItsMultiplierAndOtherwiseLearnsTheSame) {
    ASSERT_TRUE(Learn(project, ui, gen, settings).Completed);
    EXPECT_FALSE(gen.Counts.Present());
    const std::vector<LearnedSquare> without = gen.Squares();
    const auto withoutBytes = EncodeZG(project, gen, settings);

    settings.LearnFrequencies = true;
    ASSERT_TRUE(Learn(project, ui, gen, settings).Completed);
    ASSERT_TRUE(gen.Counts.Present());
    EXPECT_EQ(gen.Counts, PlainCounts());
    EXPECT_EQ(gen.Counts.SquareCount(gen.EmptySquare()), 0);
    ASSERT_EQ(gen.SquareCount(), static_cast<int>(without.size()));
    for (int i = 0; i < gen.SquareCount(); ++i) {
        EXPECT_EQ(gen.Sq(i).Down, without[i].Down);
        EXPECT_EQ(gen.Sq(i).Right, without[i].Right);
    }
    // The file with counts is the file without them and one block more.
    const auto withBytes = EncodeZG(project, gen, settings);
    ASSERT_GT(withBytes.size(), withoutBytes.size());
    EXPECT_TRUE(std::equal(withoutBytes.begin(), withoutBytes.end(), withBytes.begin()));

    // Learning again without the option leaves no counts behind.
    settings.LearnFrequencies = false;
    ASSERT_TRUE(Learn(project, ui, gen, settings).Completed);
    EXPECT_FALSE(gen.Counts.Present());
    EXPECT_EQ(EncodeZG(project, gen, settings), withoutBytes);
}

TEST_F(CountsFixture, CountsSurviveTheDataFileAndAFileWithoutThemReadsAsBefore) {
    settings.LearnFrequencies = true;
    ASSERT_TRUE(Learn(project, ui, gen, settings).Completed);
    const auto bytes = EncodeZG(project, gen, settings);
    GeneratorPreset preset = ParseZG(bytes);
    EXPECT_TRUE(preset.Settings.LearnFrequencies);
    EXPECT_EQ(preset.Counts, gen.Counts);

    Project p2;
    MapGenerator g2;
    GeneratorSettings s2;
    ApplyPreset(std::move(preset), p2, g2, s2);
    EXPECT_EQ(g2.Counts, gen.Counts);
    EXPECT_EQ(EncodeZG(p2, g2, s2), bytes);

    // What readers of the layout without the block read: the same file up
    // to the block, the option off and no counts.
    const std::vector<std::uint8_t> head(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(BlockStart(bytes)));
    ASSERT_LT(head.size(), bytes.size());
    const GeneratorPreset old = ParseZG(head);
    EXPECT_FALSE(old.Settings.LearnFrequencies);
    EXPECT_FALSE(old.Counts.Present());
    EXPECT_EQ(old.Squares.size(), gen.Squares().size());

    // The option alone, before anything was counted, keeps an empty block.
    MapGenerator g3;
    g3.SetSquares(gen.Squares());
    g3.ObjSize = gen.ObjSize;
    GeneratorSettings s3;
    s3.LearnFrequencies = true;
    const GeneratorPreset optionOnly = ParseZG(EncodeZG(project, g3, s3));
    EXPECT_TRUE(optionOnly.Settings.LearnFrequencies);
    EXPECT_FALSE(optionOnly.Counts.Present());
}

TEST_F(CountsFixture, EveryDamageOfTheBlockIsRefusedAndNothingIsLoaded) {
    settings.LearnFrequencies = true;
    ASSERT_TRUE(Learn(project, ui, gen, settings).Completed);
    const auto bytes = EncodeZG(project, gen, settings);
    const std::size_t blockAt = BlockStart(bytes);
    ASSERT_LT(blockAt, bytes.size());
    // Every cut inside the block.
    for (std::size_t cut = blockAt + 1; cut < bytes.size(); ++cut)
        EXPECT_THROW(ParseZG(std::span(bytes.data(), cut)), Error) << cut;

    const std::size_t counted = blockAt + 8 + 1;  // magic, length, the option
    const auto squares = static_cast<std::size_t>(gen.SquareCount());
    const std::size_t firstJoin = counted + 4 + 8 * squares + 4;
    auto damaged = [&](std::size_t at, std::int32_t value) {
        auto b = bytes;
        std::memcpy(b.data() + at, &value, 4);
        return b;
    };
    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> cases{
        {"magic", [&] { auto b = bytes; b[blockAt + 3] = 'X'; return b; }()},
        {"length", damaged(blockAt + 4, static_cast<std::int32_t>(bytes.size() - blockAt - 8 + 1))},
        {"square count", damaged(counted, gen.SquareCount() - 1)},
        {"negative occurrences", damaged(counted + 4 + 4, -1)},  // the high word of the first square's
        {"join square", damaged(firstJoin, gen.SquareCount())},
        {"join neighbour", damaged(firstJoin + 4, -1)},
        {"zero count", [&] { auto b = damaged(firstJoin + 8, 0); std::memset(b.data() + firstJoin + 12, 0, 4); return b; }()},
        {"order", [&] {
             auto b = bytes;  // the second join swapped before the first
             std::swap_ranges(b.begin() + static_cast<std::ptrdiff_t>(firstJoin),
                              b.begin() + static_cast<std::ptrdiff_t>(firstJoin + 16),
                              b.begin() + static_cast<std::ptrdiff_t>(firstJoin + 16));
             return b;
         }()},
        {"trailing", [&] { auto b = bytes; b.push_back(0); return b; }()},
        {"foreign trailing", [&] { auto b = bytes; b.resize(blockAt); b.push_back(7); return b; }()},
    };
    for (const auto& [what, b] : cases) {
        SCOPED_TRACE(what);
        try {
            ParseZG(b);
            ADD_FAILURE() << "accepted";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find("damaged"), std::string::npos) << e.what();
        }
    }
    // A refused file loads nothing.
    const std::string path = dir.file("bad.zg");
    WriteBytes(path, cases.back().second);
    Project p2;
    MapGenerator g2;
    GeneratorSettings s2;
    FakeUi ui2;
    EXPECT_FALSE(LoadZGFile(p2, ui2, g2, s2, path));
    EXPECT_FALSE(g2.Counts.Present());
    EXPECT_EQ(g2.SquareCount(), 0);
}
