// Generation favouring frequent squares: the weighted order against its
// probabilities, the likelihoods against a hand count, and maps made with
// occurrence counts (valid, repeatable, nearer the learned frequencies).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

#include "generation_fixtures.h"
#include "generator/search/frequency_weights.h"

using namespace zorvane;
using namespace zorvane::testing;

TEST(FrequencyWeights, WeightedShuffleDrawsEachPlaceInProportionToTheWeights) {
    const std::vector<double> weights{1, 2, 7, 0};
    GeneratorRng rng(5);
    std::vector<int> first(4, 0), secondAfterHeavy(4, 0);
    int heavyFirst = 0;
    constexpr int kDraws = 20000;
    for (int i = 0; i < kDraws; ++i) {
        std::vector<int> list{0, 1, 2, 3};
        WeightedShuffle(list, [&](int v) { return weights[static_cast<std::size_t>(v)]; }, rng);
        std::vector<int> sorted = list;
        std::sort(sorted.begin(), sorted.end());
        ASSERT_EQ(sorted, (std::vector<int>{0, 1, 2, 3}));
        ++first[static_cast<std::size_t>(list[0])];
        if (list[0] == 2) {
            ++heavyFirst;
            ++secondAfterHeavy[static_cast<std::size_t>(list[1])];
        }
        EXPECT_EQ(list[3], 3);  // weight 0 comes last
    }
    EXPECT_NEAR(first[0] / double(kDraws), 0.1, 0.015);
    EXPECT_NEAR(first[1] / double(kDraws), 0.2, 0.015);
    EXPECT_NEAR(first[2] / double(kDraws), 0.7, 0.015);
    // With the heaviest gone, the next place is drawn among the rest: 1 : 2.
    EXPECT_NEAR(secondAfterHeavy[1] / double(heavyFirst), 2.0 / 3.0, 0.02);

    // The same numbers give the same order.
    GeneratorRng a(9), b(9);
    std::vector<int> x(50), y(50);
    std::iota(x.begin(), x.end(), 0);
    std::iota(y.begin(), y.end(), 0);
    auto w = [](int v) { return 1.0 + v % 7; };
    WeightedShuffle(x, w, a);
    WeightedShuffle(y, w, b);
    EXPECT_EQ(x, y);
}

TEST(FrequencyWeights, LikelihoodsFollowTheCountsWithSmoothing) {
    // Squares 0, 1, 2 and the empty square 3.
    LearnedData d;
    std::vector<LearnedSquare> squares(4);
    for (int i = 0; i < 4; ++i) squares[static_cast<std::size_t>(i)].Gnd = static_cast<std::uint16_t>(i);
    squares[3].Gnd = NoBitmap;
    d.SetSquares(squares);
    d.Counts.Squares = {6, 3, 1, 0};
    d.Counts.AddJoin(JoinDir::Down, 0, 0, 4);
    d.Counts.AddJoin(JoinDir::Down, 0, 1, 2);
    d.Counts.AddJoin(JoinDir::Right, 0, 1, 3);
    d.Counts.AddJoin(JoinDir::Right, 0, 2, 1);
    const FrequencyWeights f(d);
    // P(s) = (count + 0.5) / (10 + 0.5 x 4); a conditional the same over the
    // joins counted from the square.
    EXPECT_DOUBLE_EQ(f.Square(0), 6.5 / 12);
    EXPECT_DOUBLE_EQ(f.Square(3), 0.5 / 12);
    EXPECT_DOUBLE_EQ(f.Below(0, 1), 2.5 / 8);
    EXPECT_DOUBLE_EQ(f.Below(0, 2), 0.5 / 8);
    EXPECT_DOUBLE_EQ(f.RightOf(0, 1), 3.5 / 6);
    // No evidence above (the empty square, a square never counted with a
    // join below, nothing): the square's own frequency.
    EXPECT_DOUBLE_EQ(f.Below(3, 1), f.Square(1));
    EXPECT_DOUBLE_EQ(f.Below(2, 1), f.Square(1));
    EXPECT_DOUBLE_EQ(f.Below(-1, 1), f.Square(1));
    EXPECT_DOUBLE_EQ(f.Pair(0, 3, {0, 1}), (4.5 / 8) * (3.5 / 6) * f.Square(1) / f.Square(1));
    EXPECT_DOUBLE_EQ(f.Single(0, 0, 1), (2.5 / 8) * (3.5 / 6) / f.Square(1));
    // The weigher of a column pair gives every pair's likelihood.
    for (std::int32_t upA : {-1, 0, 1, 3})
        for (std::int32_t upB : {0, 2, 7}) {
            const auto weigh = f.ForColumns(upA, upB);
            for (std::int32_t a = 0; a < 4; ++a)
                for (std::int32_t b = 0; b < 4; ++b) EXPECT_DOUBLE_EQ(weigh({a, b}), f.Pair(upA, upB, {a, b}));
        }
}

namespace {

// The sample maps learned with occurrence counts.
const std::vector<std::uint8_t>& CountedKnowledgeBytes() {
    static const auto bytes = [] {
        TempDir dir;
        samples::WriteSampleFiles(samples::BuildSampleFiles(dir.path().string(), 11));
        Project project;
        MapGenerator gen;
        project.Generator = &gen;
        GeneratorSettings settings;
        settings.LearnFrequencies = true;
        for (const char* name : {"meadow", "lakes", "village", "grass_connector"})
            settings.LearnList.push_back({dir.file(std::string("zmpe/") + name + ".zm"), 1,
                                          std::string(name) == "grass_connector"});
        SilentUi ui;
        if (!Learn(project, ui, gen, settings).Completed) throw Error("learning the sample maps failed");
        return EncodeZG(project, gen, settings);
    }();
    return bytes;
}

// Total-variation distance between a map's inner squares and the counted
// shares of the learned squares.
double DistanceToCounts(const GenerationSetup& s, const OccurrenceCounts& counts) {
    const auto squares = s.Squares();
    const int w = s.project.MapWidth, h = s.project.MapHeight;
    std::map<int, double> share;
    double n = 0;
    for (int y = 2; y < h - 2; ++y)
        for (int x = 2; x < w - 2; ++x) {
            const MapSquare& q = squares[static_cast<std::size_t>(y) * w + x];
            share[s.gen.FindSq(q.Gnd, q.Top)] += 1;
            n += 1;
        }
    const double total = std::accumulate(counts.Squares.begin(), counts.Squares.end(), 0.0);
    double d = 0;
    for (std::size_t i = 0; i < counts.Squares.size(); ++i)
        d += std::abs(share[static_cast<int>(i)] / n - static_cast<double>(counts.Squares[i]) / total);
    return d / 2;
}

// A quick 30 x 30 run on the counted sample knowledge.
void UseCounts(GenerationSetup& s) {
    ApplyPreset(ParseZG(CountedKnowledgeBytes()), s.project, s.gen, s.settings);
    s.settings.WidthWithoutBorders = s.settings.HeightWithoutBorders = 30;
    s.settings.WorkerThreads = 1;
    s.settings.Backup = false;
    s.settings.SaveCompletedMap = false;
}

}  // namespace

TEST(FrequencyWeights, MapsFromCountsAreValidRepeatableAndNearerTheLearnedFrequencies) {
    const OccurrenceCounts counts = ParseZG(CountedKnowledgeBytes()).Counts;
    ASSERT_TRUE(counts.Present());
    double withCounts = 0, without = 0;
    std::vector<MapSquare> firstMap;
    for (std::uint64_t seed : {1, 2, 3}) {
        SCOPED_TRACE(seed);
        GenerationSetup s(30, 30, 1);
        UseCounts(s);
        ASSERT_EQ(s.Generate(seed), GenerateOutcome::Completed);
        ExpectCompleteMap(s);
        withCounts += DistanceToCounts(s, counts);
        if (seed == 1) firstMap = s.Squares();

        GenerationSetup plain(30, 30, 1);  // the same squares and lists, no counts
        ASSERT_EQ(plain.Generate(seed), GenerateOutcome::Completed);
        without += DistanceToCounts(plain, counts);
    }
    EXPECT_LT(withCounts, without * 0.8) << withCounts / 3 << " against " << without / 3;

    GenerationSetup again(30, 30, 1);
    UseCounts(again);
    ASSERT_EQ(again.Generate(1), GenerateOutcome::Completed);
    EXPECT_TRUE(again.Squares() == firstMap);
}
