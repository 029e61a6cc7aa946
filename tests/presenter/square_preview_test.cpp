// Neighbour and object preview records, and the 1-to-1 neighbours they use.

#include <gtest/gtest.h>

#include "fake_ui.h"
#include "generator/learning/learn.h"
#include "generator/learning/objects.h"
#include "presenter/square_preview.h"
#include "learn_fixtures.h"

using namespace zorvane;
using namespace zorvane::testing;

namespace {

// Squares a..d as a 2 x 2 object, e standing alone, then the empty square.
void TwoByTwoAndAFiller(MapGenerator& g) {
    const int e = g.FindOrAddSq(9, NoBitmap, 0);
    const int a = g.FindOrAddSq(1, NoBitmap, 0), b = g.FindOrAddSq(2, NoBitmap, 0);
    const int c = g.FindOrAddSq(3, NoBitmap, 0), d = g.FindOrAddSq(4, NoBitmap, 0);
    g.AddJoinRight(a, b, 1);
    g.AddJoinRight(c, d, 1);
    g.AddJoinDown(a, c, 1);
    g.AddJoinDown(b, d, 1);
    g.AddJoinRight(b, e, 1);
    g.AddJoinRight(d, e, 1);
    g.AddJoinRight(e, a, 1);
    g.AddJoinRight(e, c, 1);
    g.AddJoinRight(e, e, 1);
    g.AddJoinDown(e, a, 1);
    g.AddJoinDown(c, e, 2);
    g.AddJoinDown(d, e, 1);
    g.AddJoinDown(e, e, 1);
    TrackObjects(g, {});
    const int empty = g.FindOrAddSq(NoBitmap, NoBitmap, AtrImpassable);
    for (int i = 0; i < empty; ++i) {
        g.AddJoinDown(empty, i, 1);
        g.AddJoinRight(empty, i, 1);
    }
}

}  // namespace

TEST(OneToOneNeighbours, FollowOnlyExclusiveSingleNeighbours) {
    MapGenerator g;
    TwoByTwoAndAFiller(g);
    const OneToOne links(g);
    EXPECT_EQ(links.Right(1), 2);
    EXPECT_EQ(links.Left(2), 1);
    EXPECT_EQ(links.Below(1), 3);
    EXPECT_EQ(links.Above(3), 1);
    EXPECT_EQ(links.Right(2), -1);  // e is named by others too
    EXPECT_EQ(links.Right(0), -1);  // e has several right neighbours
    EXPECT_EQ(links.Below(3), -1);
    // The empty square names everybody but is never anyone's exclusive.
    EXPECT_EQ(links.Left(0), -1);
    EXPECT_EQ(g.ObjSize, (std::vector<std::int32_t>{1, 4, 4, 4, 4, 0}));
    EXPECT_EQ(g.ObjStarts, (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(g.TallestObject, 2);
}

TEST(SquarePreview, NeighbourRecordsSpreadTheListsOverTheStrip) {
    MapGenerator g;
    const int a = g.FindOrAddSq(1, NoBitmap, 4), b = g.FindOrAddSq(2, 7, 0);
    g.AddJoinDown(a, b, 2);
    g.AddJoinDown(a, a, 1);
    g.AddJoinRight(b, a, 1);
    g.FindOrAddSq(NoBitmap, NoBitmap, AtrImpassable);
    FakeUi ui;
    PreviewData data = PrepareSqMatchesPreview(g, ui);
    ASSERT_EQ(data.Records.size(), 2u);  // the empty square has none
    const PreviewRecord& r = data.Records[0];
    EXPECT_TRUE(r.Neighbours);
    EXPECT_EQ(r.Id, 0);
    EXPECT_EQ(r.EastCount, 0);
    EXPECT_EQ(r.SouthCount, 3);
    EXPECT_EQ(r.Main->SqAt(0, 0), (MapSquare{1, NoBitmap, 4}));
    ASSERT_EQ(r.Strip->Width, 5);  // an empty Right list and three Down entries
    ASSERT_EQ(r.Strip->Height, 3);
    const MapSquare empty{NoBitmap, NoBitmap, AtrImpassable};
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(r.Strip->SqAt(c, 0), empty);
        EXPECT_EQ(r.Strip->SqAt(c, 1), empty);
    }
    EXPECT_EQ(r.Strip->SqAt(0, 2), (MapSquare{2, 7, 0}));
    EXPECT_EQ(r.Strip->SqAt(1, 2), empty);
    EXPECT_EQ(r.Strip->SqAt(2, 2), (MapSquare{2, 7, 0}));
    EXPECT_EQ(r.Strip->SqAt(4, 2), (MapSquare{1, NoBitmap, 4}));
    EXPECT_EQ(data.Records[1].Strip->Width, 1);
}

TEST(SquarePreview, ObjectPicturesPlaceEachSquareOnceLargestFirst) {
    MapGenerator g;
    TwoByTwoAndAFiller(g);
    FakeUi ui;
    PreviewData data = PrepareSqWeightsTable(g, ui);
    ASSERT_EQ(data.Records.size(), 2u);
    const PreviewRecord& obj = data.Records[0];
    EXPECT_FALSE(obj.Neighbours);
    EXPECT_EQ(obj.Id, 4);
    ASSERT_EQ(obj.Main->Width, 2);
    ASSERT_EQ(obj.Main->Height, 2);
    EXPECT_EQ(obj.Main->SqAt(0, 0).Gnd, 1);
    EXPECT_EQ(obj.Main->SqAt(1, 0).Gnd, 2);
    EXPECT_EQ(obj.Main->SqAt(0, 1).Gnd, 3);
    EXPECT_EQ(obj.Main->SqAt(1, 1).Gnd, 4);
    EXPECT_EQ(data.Records[1].Id, 1);
    EXPECT_EQ(data.Records[1].Main->SqAt(0, 0).Gnd, 9);
    ASSERT_EQ(data.StartSquares.size(), 2u);
    EXPECT_EQ(data.StartSquares[1], (MapSquare{1, NoBitmap, 0}));
}

TEST(SquarePreview, WithoutObjectsPicturesFollowIndexOrderSizesBeforeConnectors) {
    MapGenerator g;
    for (int i = 0; i < 4; ++i) g.FindOrAddSq(static_cast<std::uint16_t>(i), NoBitmap, 0);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) g.AddJoinRight(i, j, 1);
    TrackObjects(g, {{1, 3}});
    g.FindOrAddSq(NoBitmap, NoBitmap, AtrImpassable);
    FakeUi ui;
    PreviewData data = PrepareSqWeightsTable(g, ui);
    std::vector<int> order;
    for (auto& r : data.Records) order.push_back(r.Main->SqAt(0, 0).Gnd);
    EXPECT_EQ(order, (std::vector<int>{0, 2, 1, 3}));
    EXPECT_EQ(data.Records[2].Id, 0);
}

TEST(SquarePreview, ConnectorObjectsLargerThanTheirCanvasStayInside) {
    // Three squares in a row joined 1-to-1, all of a connector group: their
    // object size is 0, so the canvas is 4 x 4 and cannot hold what lies
    // beyond its edge.
    MapGenerator g;
    for (int i = 0; i < 4; ++i) g.FindOrAddSq(static_cast<std::uint16_t>(i), NoBitmap, 0);
    for (int i = 0; i < 3; ++i) g.AddJoinRight(i, i + 1, 1);
    TrackObjects(g, {{0, 1, 2, 3}});
    g.FindOrAddSq(NoBitmap, NoBitmap, AtrImpassable);
    FakeUi ui;
    PreviewData data = PrepareSqWeightsTable(g, ui);
    int shown = 0;
    for (auto& r : data.Records) {
        EXPECT_LE(r.Main->Width, 4);
        for (auto& s : r.Main->Sq) shown += s.Gnd != NoBitmap;
    }
    EXPECT_EQ(shown, 4);  // every square still shows, in some picture
}

TEST(SquarePreview, NothingToShowWithoutLearnedSquares) {
    MapGenerator g;
    FakeUi ui;
    EXPECT_FALSE(HasSomethingToShow(g, ui));
    EXPECT_EQ(ui.messages.back().caption, "Map Generator");
    EXPECT_EQ(ui.messages.back().text, "Nothing to show.");
    EXPECT_EQ(ui.messages.back().icon, Icon::Information);
}
