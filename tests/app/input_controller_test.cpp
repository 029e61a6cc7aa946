// The input controller through the real window: middle-button scrolling,
// arrows, the keys that the scroll bars and the tiles list never see, the
// generator's keys, and the view's edges.

#include <QListWidget>
#include <QMenuBar>
#include <map>

#include "generator/driver/generation.h"
#include "map_edit_fixture.h"

namespace zorvane::testing {
namespace {

class ControllerTest : public MapEditTest {
protected:
    ControllerTest() {
        Add(1, 1, 2, 2, 0);
        Refresh();
    }
    int ScrollX() const { return window.renderer().ScrollX; }
    int ScrollY() const { return window.renderer().ScrollY; }
    void MiddleMove(QPoint p) { QTest::mouseMove(view, p); }
    editor::InputController& c = window.controller();
};

TEST_F(ControllerTest, MiddleButtonScrollsOneSquarePerTwoPixels) {
    const QPoint start(200, 200);
    QTest::mousePress(view, Qt::MiddleButton, Qt::NoModifier, start);
    EXPECT_EQ(view->cursor().shape(), Qt::SizeAllCursor);
    MiddleMove(start + QPoint(1, 0));
    MiddleMove(start + QPoint(2, 0));
    EXPECT_EQ(ScrollX(), 0) << "one pixel at a time rounds 0.5 to 0";
    MiddleMove(start + QPoint(5, 0));
    EXPECT_EQ(ScrollX(), 2) << "three pixels: Round(1.5) = 2";
    MiddleMove(start + QPoint(5, 7));
    EXPECT_EQ(ScrollY(), 4) << "seven pixels: Round(3.5) = 4";
    MiddleMove(start + QPoint(-300, 7));
    EXPECT_EQ(ScrollX(), 0) << "kept within the scroll range";
    MiddleMove(start + QPoint(-300, 300));
    EXPECT_EQ(ScrollY(), sby->maximum());
    EXPECT_EQ(sbx->value(), ScrollX());
    EXPECT_EQ(sby->value(), ScrollY());
    QTest::mouseRelease(view, Qt::MiddleButton, Qt::NoModifier, start + QPoint(-300, 300));
    EXPECT_NE(view->cursor().shape(), Qt::SizeAllCursor);
    MiddleMove(start);
    EXPECT_EQ(ScrollY(), sby->maximum()) << "released: no more scrolling";
    EXPECT_FALSE(c.MiddleDragging);
}

TEST_F(ControllerTest, ArrowsScrollByOneAndWithShiftByTen) {
    QTest::keyClick(view, Qt::Key_Right);
    QTest::keyClick(view, Qt::Key_Down);
    EXPECT_EQ(ScrollX(), 1);
    EXPECT_EQ(ScrollY(), 1);
    EXPECT_EQ(PixelAt(window.renderer().Picture(), 32 + 6, 32 + 2), Plain(0)) << "tile 0 at view square (1, 1)";
    QTest::keyPress(view, Qt::Key_Shift);
    EXPECT_EQ(Panel(3), "SHIFT");
    QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(ScrollX(), 11);
    EXPECT_EQ(ScrollY(), 11);
    QTest::keyClick(view, Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(view, Qt::Key_Up, Qt::ShiftModifier);
    QTest::keyClick(view, Qt::Key_Up, Qt::ShiftModifier);
    QTest::keyRelease(view, Qt::Key_Shift);
    EXPECT_EQ(ScrollX(), 1);
    EXPECT_EQ(ScrollY(), 0) << "kept within the scroll range";
    QTest::keyClick(view, Qt::Key_Left);
    EXPECT_EQ(ScrollX(), 0);
    EXPECT_EQ(sbx->value(), 0);
    EXPECT_EQ(Pixel(2, 2), Plain(0));
    MoveTo(5, 4);
    EXPECT_EQ(Panel(4), "(5,4)");
    QTest::keyClick(view, Qt::Key_Right);
    EXPECT_EQ(Panel(4), "(6,4)") << "the square under the mouse follows the scrolling";
}

TEST_F(ControllerTest, ScrollBarsAndTheTilesListNeverSeeTheKeys) {
    QTest::keyClick(sbx, Qt::Key_Right);
    EXPECT_EQ(sbx->value(), 1) << "moved once, by the controller only";
    QTest::keyClick(sbx, Qt::Key_PageDown);
    QTest::keyClick(sby, Qt::Key_End);
    EXPECT_EQ(sbx->value(), 1);
    EXPECT_EQ(sby->value(), 0);
    QTest::keyClick(sbDepth, Qt::Key_Down);
    EXPECT_EQ(sbDepth->value(), 0);
    EXPECT_EQ(ScrollY(), 1) << "Down scrolls the map whichever control has the focus";

    window.project().NewTiles.push_back(MakeTile(1, 1, 0, 0, 1));
    window.project().NewTiles.push_back(MakeTile(1, 1, 0, 0, 2));
    window.project().NewTiles.push_back(MakeTile(1, 1, 0, 0, 3));
    window.RefreshInterface({.last = 2, .rebuildList = true});
    auto* list = window.findChild<QListWidget*>("LBNewTiles");
    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_End);
    QTest::keyClicks(list, "2");
    EXPECT_EQ(list->currentRow(), 0) << "neither keys nor typing move the list's selection";
    EXPECT_EQ(ScrollY(), 2);
}

// Counts the key events that reach the widgets it watches.
class KeySpy : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::KeyPress) ++presses[watched];
        if (e->type() == QEvent::KeyRelease) ++releases[watched];
        return false;
    }
    std::map<QObject*, int> presses, releases;
};

// The controller hears every key once. Only the key presses of the window,
// its scroll bars and the tiles list are kept from them; key releases, and
// the keys of the map view and the menu bar, reach their widgets.
TEST_F(ControllerTest, OnlyKeyPressesOfTheWindowScrollBarsAndListAreDiscarded) {
    auto* list = window.findChild<QListWidget*>("LBNewTiles");
    QWidget* menu = window.menuBar();
    KeySpy spy;
    for (QWidget* w : {static_cast<QWidget*>(sbx), static_cast<QWidget*>(sby), static_cast<QWidget*>(sbDepth),
                       static_cast<QWidget*>(list), view, menu, static_cast<QWidget*>(&window)})
        w->installEventFilter(&spy);
    int scrolled = 0;
    for (QWidget* w : {static_cast<QWidget*>(sbx), static_cast<QWidget*>(sby), static_cast<QWidget*>(sbDepth),
                       static_cast<QWidget*>(list), view, static_cast<QWidget*>(&window)}) {
        const std::string name = w->objectName().toStdString();
        QTest::keyClick(w, Qt::Key_Right);
        EXPECT_EQ(ScrollX(), ++scrolled) << name << ": one step, however far the key travels";
        EXPECT_EQ(spy.presses[w], w == view ? 1 : 0) << name;
        EXPECT_GE(spy.releases[w], 1) << name;
        QTest::keyPress(w, Qt::Key_Shift);
        EXPECT_EQ(Panel(3), "SHIFT") << name;
        QTest::keyRelease(w, Qt::Key_Shift);
        EXPECT_EQ(Panel(3), "") << name;
    }
    QTest::keyClick(menu, Qt::Key_Right);
    EXPECT_EQ(spy.presses[menu], 1);
    EXPECT_EQ(spy.releases[menu], 1);
}

TEST_F(ControllerTest, MenuShortcutsWorkWhateverControlHasTheFocus) {
    window.project().NewTiles.push_back(MakeTile(1, 1, 0, 0, 1));
    window.RefreshInterface({.last = 0, .rebuildList = true});
    auto* list = window.findChild<QListWidget*>("LBNewTiles");
    for (QWidget* focus : {static_cast<QWidget*>(list), static_cast<QWidget*>(sbx), view}) {
        focus->setFocus();
        QApplication::processEvents();
        QTest::keyClick(focus, Qt::Key_A, Qt::ControlModifier);
        EXPECT_EQ(window.project().Selection.size(), 1u) << focus->objectName().toStdString();
        QTest::keyClick(focus, Qt::Key_D, Qt::ControlModifier);
        EXPECT_TRUE(window.project().Selection.empty()) << focus->objectName().toStdString();
    }
}

TEST_F(ControllerTest, EscAndDigitsOnlySetTheGeneratorsRequests) {
    GenerationRequests requests;
    c.SetGenerationRequests(&requests);
    QTest::keyClick(view, Qt::Key_Escape);
    EXPECT_TRUE(requests.StopRequest.load());
    EXPECT_FALSE(requests.Terminate.load());
    QTest::keyClick(view, Qt::Key_Escape);
    EXPECT_TRUE(requests.Terminate.load()) << "a second Esc while a stop is pending";

    QTest::keyClick(view, Qt::Key_5);
    QTest::keyClick(view, Qt::Key_0);
    EXPECT_EQ(requests.ManualRepeat.load(), 0) << "manual repeating is off";
    EXPECT_FALSE(requests.ResetRequest.load());
    Trigger("MManualRepeats");
    Trigger("MClearBrokenRepeats");
    EXPECT_TRUE(window.ManualRepeats());
    EXPECT_TRUE(window.ManualReset());
    QTest::keyClick(view, Qt::Key_7, Qt::KeypadModifier);
    EXPECT_EQ(requests.ManualRepeat.load(), 0) << "the numeric keypad does nothing";
    QTest::keyClick(view, Qt::Key_7);
    EXPECT_EQ(requests.ManualRepeat.load(), 7);
    QTest::keyClick(view, Qt::Key_0);
    EXPECT_TRUE(requests.ResetRequest.load());
    EXPECT_EQ(requests.ManualRepeat.load(), 7);

    // A new run clears its requests: one Esc only stops it again.
    requests.Clear();
    QTest::keyClick(view, Qt::Key_Escape);
    EXPECT_TRUE(requests.StopRequest.load());
    EXPECT_FALSE(requests.Terminate.load());

    // Without a running generation the keys ask nothing of anyone.
    c.SetGenerationRequests(nullptr);
    requests.Clear();
    QTest::keyClick(view, Qt::Key_Escape);
    QTest::keyClick(view, Qt::Key_3);
    QTest::keyClick(view, Qt::Key_0);
    EXPECT_FALSE(requests.StopRequest.load() || requests.ResetRequest.load());
    EXPECT_EQ(requests.ManualRepeat.load(), 0);
    Trigger("MUpdateDisplay");
    EXPECT_FALSE(window.UpdateDisplay());
}

TEST_F(ControllerTest, MouseDownAcceptsOnePixelPastTheViewAndNothingBeyond) {
    const int w = window.renderer().Width(), h = window.renderer().Height();
    c.MouseMove(w, h);
    c.MouseDown(editor::RightButton);
    EXPECT_TRUE(c.RightDown) << "one pixel past the last still counts";
    c.MouseUp(editor::RightButton);
    c.MouseMove(w + 1, 0);
    c.MouseDown(editor::LeftButton);
    EXPECT_FALSE(c.LeftDown);
    c.MouseMove(0, -1);
    c.MouseDown(editor::LeftButton);
    EXPECT_FALSE(c.LeftDown);
    c.MouseMove(32 * 2 + 5, 32 * 2 + 5);
    c.MouseDown(editor::LeftButton);
    EXPECT_TRUE(c.LeftDown);
    EXPECT_EQ(window.project().Selection.size(), 1u);
}

TEST_F(ControllerTest, DisablingClearsTheStateButLeavesTheTilesWhereTheyAre) {
    Click(2, 2);
    ClickWith(Qt::Key_Control, 2, 2);
    MoveTo(4, 5);
    QTest::keyPress(view, Qt::Key_Control);
    QTest::mousePress(view, Qt::MiddleButton, Qt::NoModifier, At(4, 5));
    c.Disable();
    EXPECT_FALSE(c.Enabled);
    EXPECT_FALSE(c.CtrlDown);
    EXPECT_FALSE(c.MiddleDown);
    EXPECT_EQ(c.DragState(), 0);
    EXPECT_NE(view->cursor().shape(), Qt::SizeAllCursor);
    EXPECT_EQ(Tile(0).X, 4) << "not moved back";
    EXPECT_EQ(window.project().Selection[0].OrigX, 2) << "and no new origin";
    QTest::mouseRelease(view, Qt::MiddleButton, Qt::NoModifier, At(4, 5));
    QTest::keyRelease(view, Qt::Key_Control);
    Click(9, 9);
    EXPECT_EQ(window.project().Selection.size(), 1u) << "a disabled controller ignores the view";
    c.Enable();
    EXPECT_TRUE(c.Enabled);
    Click(4, 5, Qt::RightButton);
    EXPECT_TRUE(window.project().Selection.empty());
}

}  // namespace
}  // namespace zorvane::testing
