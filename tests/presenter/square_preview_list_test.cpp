// The preview window's record list: record sizes and stacking, which
// neighbour a point falls on (against a reference read from the learned
// lists), the selected mark and scrolling a record into view.

#include <gtest/gtest.h>

#include <random>

#include "fake_ui.h"
#include "presenter/square_preview_list.h"

using namespace zorvane;
using namespace zorvane::testing;

namespace {

// `count` squares with ground i + 1 and random weighted joins, then the
// empty square (also named as a neighbour now and then).
void RandomLearned(MapGenerator& g, int count, std::uint32_t seed) {
    std::mt19937 rng(seed);
    for (int i = 0; i < count; ++i) g.FindOrAddSq(static_cast<std::uint16_t>(i + 1), NoBitmap, static_cast<std::uint8_t>(i % 7));
    const int empty = g.FindOrAddSq(NoBitmap, NoBitmap, AtrImpassable);
    EXPECT_EQ(empty, count);
    for (int i = 0; i < count; ++i) {
        for (int n = static_cast<int>(rng() % 5); n > 0; --n)
            g.AddJoinRight(i, static_cast<int>(rng() % (count + 1)), static_cast<int>(rng() % 3 + 1));
        for (int n = static_cast<int>(rng() % 4); n > 0; --n)
            g.AddJoinDown(i, static_cast<int>(rng() % (count + 1)), static_cast<int>(rng() % 2 + 1));
    }
}

// What a click at content point (cx, cy) should open, read from the
// generator's lists: record i shows square i.
int ReferenceHit(const MapGenerator& g, const SqPreviewList& list, int cx, int cy) {
    for (const SqPreviewRecord& rec : list.Records()) {
        if (cy < rec.Top || cy >= rec.Bottom()) continue;
        const int dx = cx - 192, dy = cy - rec.Top;
        if (dx < 0 || dy < 32 || dy >= 128 || (dy >= 64 && dy < 96)) return -1;
        const int column = dx / 32;
        if (column % 2) return -1;
        const auto& entries = dy < 64 ? g.Sq(rec.Id).Right : g.Sq(rec.Id).Down;
        if (column / 2 >= static_cast<int>(entries.size())) return -1;
        const int sq = entries[static_cast<std::size_t>(column / 2)];
        return sq == g.EmptySquare() ? -1 : sq;
    }
    return -1;
}

}  // namespace

TEST(SqPreviewList, RecordSizesStackAndWidenTheContent) {
    SqPreviewList list;
    EXPECT_EQ(list.ContentWidth(), 300);
    EXPECT_EQ(list.ContentHeight(), 0);
    // A square with three right neighbours and one below.
    list.AddNewRecord({.Neighbours = true, .Id = 7, .StripHeight = 3, .StripWidth = 5, .MainHeight = 1,
                       .MainWidth = 1, .SouthCount = 1, .EastCount = 3});
    const SqPreviewRecord& first = list.Records()[0];
    EXPECT_EQ(first.Top, 0);
    EXPECT_EQ(first.Height, 160);
    EXPECT_EQ(first.Width, 416);
    EXPECT_EQ(first.Strip->Width, 5);
    EXPECT_EQ(first.Strip->Height, 3);
    EXPECT_EQ(list.ContentWidth(), 448);
    EXPECT_EQ(first.Main->SqAt(0, 0), MapSquare{});
    // An object of 3 x 5 squares: no neighbour tile, a narrower record.
    list.AddNewRecord({.Neighbours = false, .Id = 15, .MainHeight = 5, .MainWidth = 3});
    const SqPreviewRecord& object = list.Records()[1];
    EXPECT_EQ(object.Top, 160);
    EXPECT_EQ(object.Height, 5 * 32 + 64);
    EXPECT_EQ(object.Width, 3 * 32 + 64);
    EXPECT_EQ(object.Strip->Width, 1);
    EXPECT_EQ(list.ContentWidth(), 448);
    EXPECT_EQ(list.ContentHeight(), 160 + 224);
    // A tall main tile makes the neighbour record taller than three rows.
    list.AddNewRecord({.Neighbours = true, .StripHeight = 3, .StripWidth = 1, .MainHeight = 4, .MainWidth = 12});
    EXPECT_EQ(list.Records()[2].Height, 4 * 32 + 64);
    EXPECT_EQ(list.Records()[2].Width, 12 * 32 + 192);
    EXPECT_EQ(list.ContentWidth(), 12 * 32 + 192 + 32);
    list.SetSqToLastRec(PreviewTile::Main, 11, MapSquare{4, 5, 6}, 3);
    list.SetSqToLastRec(PreviewTile::Strip, 0, MapSquare{8, 9, 1}, 2);
    EXPECT_EQ(list.Records()[2].Main->SqAt(11, 3), (MapSquare{4, 5, 6}));
    EXPECT_EQ(list.Records()[2].Strip->SqAt(0, 2), (MapSquare{8, 9, 1}));
    list.SelectSq(1);
    list.ClearList();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.ContentWidth(), 300);
    EXPECT_EQ(list.ContentHeight(), 0);
    EXPECT_EQ(list.SelectedIndex(), -1);
}

TEST(SqPreviewList, FillCopiesThePreparedRecords) {
    MapGenerator g;
    const int a = g.FindOrAddSq(1, NoBitmap, 0), b = g.FindOrAddSq(2, 3, 0), c = g.FindOrAddSq(4, NoBitmap, 2);
    g.AddJoinRight(a, b, 2);
    g.AddJoinRight(a, c, 1);
    g.AddJoinDown(a, c, 1);
    g.FindOrAddSq(NoBitmap, NoBitmap, AtrImpassable);
    FakeUi ui;
    SqPreviewList list;
    list.Fill(PrepareSqMatchesPreview(g, ui));
    ASSERT_EQ(list.Count(), 3);
    const SqPreviewRecord& rec = list.Records()[0];
    EXPECT_EQ(rec.Height, 160);
    EXPECT_EQ(rec.Width, 416);
    EXPECT_EQ(list.ContentWidth(), 448);
    EXPECT_EQ(rec.Strip->SqAt(2, 0), (MapSquare{2, 3, 0}));
    EXPECT_EQ(rec.Strip->SqAt(4, 0), (MapSquare{4, NoBitmap, 2}));
    EXPECT_EQ(rec.Strip->SqAt(0, 2), (MapSquare{4, NoBitmap, 2}));
    EXPECT_EQ(list.Records()[1].Top, 160);
    EXPECT_EQ(list.ContentHeight(), 3 * 160);
    EXPECT_EQ(list.GetSqRecId(2, 3), 1);
    EXPECT_EQ(list.GetSqRecId(2, NoBitmap), -1);
}

TEST(SqPreviewList, PointsFallOnTheNeighbourTheReferenceNames) {
    for (std::uint32_t seed = 1; seed <= 4; ++seed) {
        MapGenerator g;
        RandomLearned(g, 30, seed);
        FakeUi ui;
        SqPreviewList list;
        list.Fill(PrepareSqMatchesPreview(g, ui));
        std::mt19937 rng(seed * 77);
        int hits = 0;
        for (int n = 0; n < 20000; ++n) {
            const ScrollPosition scroll{static_cast<int>(rng() % 200), static_cast<int>(rng() % 4000)};
            const int x = static_cast<int>(rng() % 700), y = static_cast<int>(rng() % 400);
            const int expected = ReferenceHit(g, list, x + scroll.X, y + scroll.Y);
            ASSERT_EQ(list.GetIdOfSqAtXY(x, y, scroll), expected)
                << "seed " << seed << " at " << x << "," << y << " scrolled " << scroll.X << "," << scroll.Y;
            hits += expected >= 0;
        }
        EXPECT_GT(hits, 100);
    }
}

TEST(SqPreviewList, EdgesOfTheNeighbourSquares) {
    MapGenerator g;
    for (int i = 0; i < 4; ++i) g.FindOrAddSq(static_cast<std::uint16_t>(10 + i), NoBitmap, 0);
    g.AddJoinRight(0, 1, 1);
    g.AddJoinRight(0, 2, 1);
    g.AddJoinRight(0, 3, 1);
    g.AddJoinDown(0, 2, 1);
    g.FindOrAddSq(NoBitmap, NoBitmap, AtrImpassable);
    FakeUi ui;
    SqPreviewList list;
    list.Fill(PrepareSqMatchesPreview(g, ui));
    const ScrollPosition top{};
    EXPECT_EQ(list.GetIdOfSqAtXY(192, 32, top), 1);
    EXPECT_EQ(list.GetIdOfSqAtXY(191, 32, top), -1);
    EXPECT_EQ(list.GetIdOfSqAtXY(192, 31, top), -1);
    EXPECT_EQ(list.GetIdOfSqAtXY(223, 63, top), 1);
    EXPECT_EQ(list.GetIdOfSqAtXY(224, 40, top), -1);  // the gap column
    EXPECT_EQ(list.GetIdOfSqAtXY(256, 40, top), 2);
    EXPECT_EQ(list.GetIdOfSqAtXY(320 + 31, 40, top), 3);
    EXPECT_EQ(list.GetIdOfSqAtXY(352, 40, top), -1);  // past the last neighbour
    EXPECT_EQ(list.GetIdOfSqAtXY(200, 64, top), -1);  // row 1 is empty
    EXPECT_EQ(list.GetIdOfSqAtXY(200, 96, top), 2);
    EXPECT_EQ(list.GetIdOfSqAtXY(256, 100, top), -1);  // one neighbour below only
    // Scrolled: the same squares under other view points.
    EXPECT_EQ(list.GetIdOfSqAtXY(56, 8, ScrollPosition{200, 24}), 2);
    EXPECT_EQ(list.GetIdOfSqAtXY(200, 40, ScrollPosition{0, 160}), -1);  // record 1 has no neighbours
    EXPECT_EQ(list.GetIdOfSqAtXY(200, 40, ScrollPosition{0, 4 * 160}), -1);  // below the last record
    // Object records have no neighbours to click.
    list.Fill(PrepareSqWeightsTable(g, ui));
    EXPECT_EQ(list.GetIdOfSqAtXY(200, 40, top), -1);
}

TEST(SqPreviewList, SelectionAndScrollingARecordIntoView) {
    SqPreviewList list;
    for (int i = 0; i < 10; ++i)
        list.AddNewRecord({.Neighbours = true, .Id = i, .StripHeight = 3, .StripWidth = 1, .SouthCount = 1});
    list.SelectSq(3);
    list.SelectSq(5);
    EXPECT_EQ(list.SelectedIndex(), 5);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(list.Records()[i].Selected, i == 5);
    list.SelectSq(-1);
    EXPECT_EQ(list.SelectedIndex(), -1);
    for (int i = 0; i < 10; ++i) EXPECT_FALSE(list.Records()[i].Selected);

    // Records are 160 high; a view 350 high scrolled to 500 shows 340..660.
    EXPECT_EQ(list.GoToRecord(1, {40, 500}, 350), (ScrollPosition{0, 160}));   // above: its top at the top
    EXPECT_EQ(list.GoToRecord(3, {40, 500}, 350), (ScrollPosition{0, 480}));   // partly above
    EXPECT_EQ(list.GoToRecord(4, {40, 500}, 350), (ScrollPosition{0, 500}));   // inside: stays
    EXPECT_EQ(list.GoToRecord(5, {40, 500}, 350), (ScrollPosition{0, 610}));   // below: its bottom at the bottom
    EXPECT_EQ(list.GoToRecord(9, {0, 0}, 350), (ScrollPosition{0, 1250}));
    EXPECT_EQ(list.GoToRecord(-1, {40, 500}, 350), (ScrollPosition{40, 500}));

    EXPECT_EQ(list.FirstVisible(0), 0u);
    EXPECT_EQ(list.FirstVisible(160), 0u);  // record 0's bottom edge is still drawn
    EXPECT_EQ(list.FirstVisible(161), 1u);
    EXPECT_EQ(list.FirstVisible(2000), 10u);
}

TEST(SqPreviewList, ObjectStartsMatchByBitmapsOnly) {
    SqPreviewList list;
    list.ObjStartList = {MapSquare{4, NoBitmap, 2}, MapSquare{7, 8, 0}};
    EXPECT_TRUE(list.IsObjectStart(MapSquare{4, NoBitmap, 9}));
    EXPECT_TRUE(list.IsObjectStart(MapSquare{7, 8, 0}));
    EXPECT_FALSE(list.IsObjectStart(MapSquare{7, NoBitmap, 0}));
    EXPECT_FALSE(list.IsObjectStart(MapSquare{}));
}
