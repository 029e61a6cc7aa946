// Picking and the depth order through the real window: clicks, sweeps,
// Alt clicks, the Edit menu's selection and layer commands, and the depth
// bar hiding the top of the stack.

#include "map_edit_fixture.h"

namespace zorvane::testing {
namespace {

using V = std::vector<int>;

TEST_F(MapEditTest, ClicksPickVisibleTilesAndAltReachesInvisibleOnes) {
    Add(3, 3, 5, 5, 0);
    Add(1, 1, 6, 6, NoBitmap);  // no bitmaps: invisible
    Refresh();

    Click(6, 6);
    EXPECT_EQ(Selected(), V({0})) << "the topmost tile with a visible square there";
    EXPECT_EQ(Panel(5), "selected tiles = 1");
    EXPECT_EQ(Pixel(5, 5), Bright(0)) << "selected tiles are drawn with the stripes";
    EXPECT_EQ(Pixel(5, 5, 5, 5) >> 8 & 0xFF, (Plain(0) >> 8 & 0xFF) - 16) << "green of the dark stripe, inside the frame";

    ClickWith(Qt::Key_Alt, 6, 6);
    EXPECT_EQ(Selected(), V({0, 1})) << "Alt: the topmost unselected tile covering the square";
    EXPECT_EQ(Pixel(6, 6), Bright(-1)) << "an invisible selected tile shows palette entry 0 with stripes";

    Click(6, 6, Qt::RightButton);
    EXPECT_EQ(Selected(), V({1})) << "the topmost visible tile was selected: deselected";
    ClickWith(Qt::Key_Alt, 6, 6, Qt::RightButton);
    EXPECT_TRUE(Selected().empty()) << "Alt: the topmost selected tile covering the square";
    EXPECT_EQ(Pixel(5, 5), Plain(0));
    EXPECT_EQ(Pixel(6, 6), Plain(0)) << "unselected, the invisible tile shows nothing";
    EXPECT_EQ(Panel(5), "selected tiles = 0");
}

TEST_F(MapEditTest, RightClickOnAnUnselectedTopTileChangesNothing) {
    Add(2, 2, 3, 3, 0);
    Add(1, 1, 3, 3, 1);
    Refresh();
    ClickWith(Qt::Key_Alt, 3, 3);  // tile 1, the topmost unselected
    ClickWith(Qt::Key_Alt, 3, 3);  // tile 0
    ASSERT_EQ(Selected(), V({1, 0}));
    Click(4, 4, Qt::RightButton);
    EXPECT_EQ(Selected(), V({1}));
    Click(3, 3);  // already selected: stays
    Click(3, 3, Qt::RightButton);
    EXPECT_TRUE(Selected().empty());
    Add(1, 1, 3, 3, 2);  // an unselected tile over a selected one
    Refresh();
    Click(4, 4);
    Click(3, 3, Qt::RightButton);
    EXPECT_EQ(Selected(), V({0})) << "the topmost visible tile there is not selected";
}

TEST_F(MapEditTest, HoldingAButtonSweepsOverTheSquaresPassed) {
    for (int x = 2; x <= 6; ++x) Add(1, 1, x, 10, static_cast<std::uint16_t>(x));
    Refresh();
    Press(2, 10);
    MoveTo(3, 10);
    MoveTo(4, 10);
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, At(4, 10));
    MoveTo(6, 10);
    EXPECT_EQ(Selected(), V({0, 1, 2}));
    EXPECT_EQ(Panel(4), "(6,10)");

    Press(4, 10, Qt::RightButton);
    MoveTo(3, 10);
    QTest::mouseRelease(view, Qt::RightButton, Qt::NoModifier, At(3, 10));
    EXPECT_EQ(Selected(), V({0}));

    // With Ctrl held, moving with the left button down selects nothing.
    Press(8, 8);
    QTest::keyPress(view, Qt::Key_Control);
    MoveTo(5, 10);
    MoveTo(6, 10);
    QTest::keyRelease(view, Qt::Key_Control);
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, At(6, 10));
    EXPECT_EQ(Selected(), V({0}));
    EXPECT_EQ(DragState(), 0);
}

// A press acts once, where the last movement left the mouse: a button
// already held does not act again when another one is pressed.
TEST_F(MapEditTest, APressActsOnceWhereTheMouseWasLastMoved) {
    for (std::uint16_t id = 0; id < 4; ++id) Add(1, 1, 4, 4, id);
    Add(1, 1, 8, 8, 4);
    Refresh();

    QTest::keyPress(view, Qt::Key_Alt);
    Press(4, 4);
    EXPECT_EQ(Selected(), V({3}));
    QTest::mousePress(view, Qt::RightButton, Qt::NoModifier, At(4, 4));
    EXPECT_TRUE(Selected().empty()) << "Alt + right: the selected tile is deselected, and no other selected";
    Release(4, 4, Qt::RightButton);
    Release(4, 4);
    QTest::keyRelease(view, Qt::Key_Alt);

    window.ShowMapChange(window.editing().SelectTile(1, true));
    QTest::keyPress(view, Qt::Key_Shift);
    Press(4, 4);
    EXPECT_EQ(Order(), V({0, 2, 1, 3, 4})) << "Shift + left: one step up";
    QTest::mousePress(view, Qt::RightButton, Qt::NoModifier, At(4, 4));
    EXPECT_EQ(Order(), V({0, 1, 2, 3, 4})) << "Shift + right: one step down, and no step up";
    Release(4, 4, Qt::RightButton);
    Release(4, 4);
    QTest::keyRelease(view, Qt::Key_Shift);

    Trigger("MSelectNone");
    MoveTo(8, 8);
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, At(4, 4));
    EXPECT_EQ(Selected(), V({4})) << "the click acts at the square the mouse was moved to";
}

TEST_F(MapEditTest, SelectAllAndDeselectAllRedrawTheView) {
    Add(1, 1, 3, 3, 0);
    Add(2, 1, 8, 4, 1);
    Refresh();
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Selected(), V({0, 1})) << "Ctrl+A";
    EXPECT_EQ(Pixel(3, 3), Bright(0));
    EXPECT_EQ(Pixel(9, 4), Bright(1));
    EXPECT_EQ(Panel(5), "selected tiles = 2");
    QTest::keyClick(view, Qt::Key_D, Qt::ControlModifier);
    EXPECT_TRUE(Selected().empty()) << "Ctrl+D";
    EXPECT_FALSE(Tile(0).Selected);
    EXPECT_EQ(Pixel(3, 3), Plain(0));
    EXPECT_EQ(Pixel(9, 4), Plain(1));
    EXPECT_EQ(Panel(5), "selected tiles = 0");
}

// Tiles 0..10 in a row, one square each except tile 7 (two squares); tile
// 10 lies over the right square of tile 7. Tiles 2 and 7 are selected.
class StepTest : public MapEditTest {
protected:
    static int Column(int k) { return 1 + 2 * k; }
    static constexpr int Row = 5;
    StepTest() {
        for (int k = 0; k <= 9; ++k) Add(k == 7 ? 2 : 1, 1, Column(k), Row, static_cast<std::uint16_t>(k));
        Add(1, 1, Column(7) + 1, Row, 10);
        Refresh();
        Click(Column(2), Row);
        Click(Column(7), Row);
    }
};

TEST_F(StepTest, ShiftClicksJumpToTheNearestOverlappingTile) {
    ASSERT_EQ(Selected(), V({2, 7}));
    ClickWith(Qt::Key_Shift, 0, 0);
    EXPECT_EQ(Order(), V({0, 1, 3, 4, 5, 6, 8, 9, 10, 2, 7}));
    EXPECT_EQ(Selected(), V({9, 10})) << "the entries follow their tiles";
    EXPECT_EQ(Panel(0), "selection moved up. (9 ... 10)");
    EXPECT_EQ(Pixel(Column(7) + 1, Row), Bright(7)) << "tile 7 is drawn over tile 10 now";

    ClickWith(Qt::Key_Shift, 0, 0, Qt::RightButton);
    EXPECT_EQ(Order(), V({0, 1, 3, 4, 5, 6, 8, 9, 2, 7, 10}));
    EXPECT_EQ(Panel(0), "selection moved down. (8 ... 9)");
    EXPECT_EQ(Pixel(Column(7) + 1, Row), Plain(10));
}

TEST_F(StepTest, MenuStepsGoOnePlaceWithoutSkipping) {
    Trigger("MExtendStep");
    EXPECT_FALSE(window.Action("MExtendStep")->isChecked());
    EXPECT_FALSE(window.editState().SkipNearest);
    Trigger("MSelUp");
    EXPECT_EQ(Order(), V({0, 1, 3, 2, 4, 5, 6, 8, 7, 9, 10}));
    EXPECT_EQ(Panel(0), "selection moved up. (3 ... 8)");
    Trigger("MSelDown");
    Trigger("MSelDown");
    EXPECT_EQ(Order(), V({0, 2, 1, 3, 4, 5, 7, 6, 8, 9, 10}));
    EXPECT_EQ(Panel(0), "selection moved down. (1 ... 6)");
    EXPECT_EQ(Panel(5), "selected tiles = 2");
}

TEST_F(StepTest, ToTopAndBottomKeepTheSelectionOrder) {
    Trigger("MSelectNone");
    Click(Column(5), Row);
    Click(Column(2), Row);
    QTest::keyClick(view, Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(Order(), V({0, 1, 3, 4, 6, 7, 8, 9, 10, 5, 2})) << "Ctrl+U: 5 was selected first";
    EXPECT_EQ(Selected(), V({9, 10}));
    EXPECT_EQ(Panel(0), "selection moved to top.");
    QTest::keyClick(view, Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(Order(), V({5, 2, 0, 1, 3, 4, 6, 7, 8, 9, 10})) << "Ctrl+B";
    EXPECT_EQ(Selected(), V({0, 1}));
    EXPECT_EQ(Panel(0), "selection moved to bottom.");
    EXPECT_EQ(Panel(6), "used tiles = 11");
}

TEST_F(StepTest, SwapNeedsExactlyTwoSelectedTiles) {
    Trigger("MSwap");
    EXPECT_EQ(Order(), V({0, 1, 7, 3, 4, 5, 6, 2, 8, 9, 10}));
    EXPECT_EQ(Selected(), V({7, 2})) << "the entries follow the swapped tiles";
    EXPECT_EQ(Panel(0), "tiles swapped.");
    EXPECT_EQ(Pixel(Column(7) + 1, Row), Plain(10)) << "tile 10 stays on top of tile 7";

    // A drag after the swap moves each tile from its own place.
    ClickWith(Qt::Key_Control, 0, 0);
    MoveTo(0, 1);
    EXPECT_EQ(Tile(7).X, Column(2));
    EXPECT_EQ(Tile(7).Y, Row + 1);
    EXPECT_EQ(Tile(2).X, Column(7));
    Click(0, 1);

    Click(Column(2), Row + 1, Qt::RightButton);
    ASSERT_EQ(Selected().size(), 1u);
    window.SetPanel(0, QStringLiteral("before"));
    Trigger("MSwap");
    EXPECT_EQ(Panel(0), "before");
    EXPECT_EQ(Order(), V({0, 1, 7, 3, 4, 5, 6, 2, 8, 9, 10}));
}

TEST_F(MapEditTest, DepthBarHidesTheTopOfTheStackFromDrawingAndPicking) {
    Add(1, 1, 4, 4, 0);
    Add(1, 1, 4, 4, 1);
    Add(1, 1, 4, 4, 2);
    Refresh();
    EXPECT_EQ(sbDepth->maximum(), 2);
    EXPECT_EQ(Pixel(4, 4), Plain(2));
    sbDepth->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    sbDepth->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(window.renderer().DepthLimit, 0);
    EXPECT_EQ(Pixel(4, 4), Plain(0)) << "the top two tiles are not drawn";
    Click(4, 4);
    EXPECT_EQ(Selected(), V({0})) << "nor picked";
    ClickWith(Qt::Key_Alt, 4, 4);
    EXPECT_EQ(Selected(), V({0})) << "not even with Alt";

    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(sbDepth->maximum(), 1) << "the bar follows the number of used tiles";
    EXPECT_EQ(sbDepth->value(), 1);
    EXPECT_EQ(window.renderer().DepthLimit, 0);
    EXPECT_EQ(Pixel(4, 4), Plain(1));
    sbDepth->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(Pixel(4, 4), Plain(2));
}

}  // namespace
}  // namespace zorvane::testing
