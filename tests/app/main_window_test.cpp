// The main window driven as a user would: menu, status bar, layout,
// messages, progress.

#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QScrollBar>
#include <QTest>
#include <QWidget>

#include "editor_fixture.h"
#include "info/controls_text.h"
#include "render/scaling.h"

namespace zorvane::testing {
namespace {

struct MenuItem {
    const char* name;
    const char* caption;
    const char* shortcut;
    bool enabled;
    int checked;  // -1 not checkable, else the check mark at start
};

const MenuItem kMenu[] = {
    {"MNew", "New map", "Ctrl+N", true, -1},
    {"MOpenZM", "Open *.zm", "Ctrl+I", true, -1},
    {"MOpenZL", "Open *.zl", "Ctrl+O", true, -1},
    {"MSaveZL", "Save to *.zl", "Ctrl+S", true, -1},
    {"MExport_o", "Export to *.zm (zme)", "", true, -1},
    {"MExport", "Export to *.zm (zmpe)", "", true, -1},
    {"MMakeZp_o", "Make *.zp (zme)", "", true, -1},
    {"MMakeZp", "Make *.zp (zmpe)", "", true, -1},
    {"MMergeZp", "Merge *.zp data", "", true, -1},
    {"MMapProperties", "Project Properties", "", true, -1},
    {"MResetProject", "Reset Project", "", true, -1},
    {"MExit", "Exit", "", true, -1},
    {"MSelectAll", "Select All", "Ctrl+A", true, -1},
    {"MSelectNone", "Deselect All", "Ctrl+D", true, -1},
    {"MClone", "Clone Selection", "Ctrl+C", true, -1},
    {"MExtendStep", "Skip to The Nearest Layer", "", true, 1},
    {"MSelUp", "Selection Step Up (Shift+Lmb)", "", true, -1},
    {"MSelDown", "Selection Step Down (Shift + Rmb)", "", true, -1},
    {"MSelToTop", "Selection to Top", "Ctrl+U", true, -1},
    {"MSelToBottom", "Selection to Bottom", "Ctrl+B", true, -1},
    {"MSwap", "Swap 2 Selected Tiles", "", true, -1},
    {"MTiles", "Tiles List", "", true, -1},
    {"MNewTile", "Add New Tile", "Ctrl+T", true, -1},
    {"MCreateTileFromSel", "Create Tile from Selection", "", false, -1},
    {"MEditTile", "Edit Selected Tile", "Ctrl+E", false, -1},
    {"MMoveTile", "Move Selected Tile", "", false, -1},
    {"MDelTile", "Delete Selected Tile", "", false, -1},
    {"MSplitSelected", "Split Selection into Single Squares", "", true, -1},
    {"MDeleteSelected", "Delete Selection", "", true, -1},
    {"MShowGnd", "Show Ground Layer", "Ctrl+1", true, 1},
    {"MShowTop", "Show Top Layer", "Ctrl+2", true, 1},
    {"MShowAtr", "Show Attributes", "Ctrl+3", true, 0},
    {"MShowId", "Show Id", "Ctrl+4", true, 0},
    {"MShowGrid", "Show Grid", "Ctrl+5", true, 0},
    {"MShowBorder", "Show Borders", "Ctrl+6", true, 1},
    {"MMiniMap", "Mini Map", "Ctrl+M", true, 0},
    {"MFastRender", "Fast Rendering", "", false, 1},  // hidden, so Qt reports it disabled
    {"MGeneratorSettings", "Generator Settings", "", true, -1},
    {"MGenerateMap", "Generate Map", "Ctrl+G", true, -1},
    {"MGenerateInSelection", "Generate in Selection", "Ctrl+Shift+G", true, -1},
    {"MUpdateDisplay", "Update Display", "", true, 1},
    {"MStatsWindow", "Statistics Window", "Ctrl+L", true, 0},
    {"MManualRepeats", "Enable Manual Repeating Rows (1-9)", "", true, 0},
    {"MClearBrokenRepeats", "Enable Manual Reseting Local Attempts and Current Row Time (0)", "", true, 0},
    {"MControls", "Controls", "F1", true, -1},
    {"MTutorials", "Tutorials", "", true, -1},
    {"MAbout", "About...", "", true, -1},
    {"MMDonate", "Shout me a beer!", "", true, -1},
};

TEST_F(EditorTest, MenuHoldsEveryCommandWithCaptionShortcutAndCheckMark) {
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Zorvane Terrain Editor"));
    for (const auto& item : kMenu) {
        QAction* a = window.Action(item.name);
        ASSERT_NE(a, nullptr) << item.name;
        EXPECT_EQ(a->text().toStdString(), item.caption) << item.name;
        EXPECT_EQ(a->shortcut().toString().toStdString(), item.shortcut) << item.name;
        EXPECT_EQ(a->isEnabled(), item.enabled) << item.name;
        EXPECT_EQ(a->isCheckable(), item.checked >= 0) << item.name;
        if (item.checked >= 0) {
            EXPECT_EQ(a->isChecked(), item.checked == 1) << item.name;
        }
    }
    EXPECT_FALSE(window.Action("MFastRender")->isVisible());
}

TEST_F(EditorTest, StatusBarStartsReadyWithSevenPanels) {
    EXPECT_EQ(Panel(0), "ready");
    EXPECT_EQ(Panel(1), "");
    EXPECT_EQ(Panel(4), "(0,0)");
    EXPECT_EQ(Panel(5), "selected tiles = 0");
    EXPECT_EQ(Panel(6), "used tiles = 0");
    EXPECT_TRUE(window.project().NoProject);
}

TEST_F(EditorTest, LayoutFollowsTheWindowSize) {
    auto* list = window.findChild<QListWidget*>("LBNewTiles");
    auto* view = window.findChild<QWidget*>("ImgRender");
    auto* sbx = window.findChild<QScrollBar*>("SBx");
    auto* sby = window.findChild<QScrollBar*>("SBy");
    auto* depth = window.findChild<QScrollBar*>("SBDepth");
    auto* status = window.findChild<QWidget*>("StatusBar");
    for (QSize size : {QSize(1000, 700), QSize(400, 300), QSize(1300, 900)}) {
        window.resize(size);
        QApplication::processEvents();
        const int w = window.centralWidget()->width(), h = window.centralWidget()->height();
        EXPECT_EQ(list->width(), render::ScaleDim(160, window.Ppi()));
        EXPECT_EQ(status->height(), render::ScaleDim(19, window.Ppi()));
        EXPECT_EQ(status->geometry().bottom(), h - 1);
        EXPECT_EQ(view->x(), list->width());
        EXPECT_EQ(sby->x(), view->geometry().right() + 1);
        EXPECT_EQ(depth->geometry().right(), w - 1);
        EXPECT_EQ(sby->height(), view->height());
        EXPECT_EQ(sbx->x(), view->x());
        EXPECT_EQ(sbx->width(), view->width());
        EXPECT_EQ(sbx->y(), view->geometry().bottom() + 1);
        EXPECT_EQ(sbx->geometry().bottom() + 1, status->y());
        EXPECT_EQ(window.renderer().Width(), sbx->width());
        EXPECT_EQ(window.renderer().Height(), sby->height());
        // The panels side by side; on a wide bar at their design widths, on
        // the smallest one the message panel still has room and no longest
        // text is cut.
        // The zoom panel after them takes what the message panel has beyond a third.
        auto* zoom = window.findChild<QLabel*>(QStringLiteral("Panel7"));
        const int designed = w - 3 * render::ScaleDim(50, window.Ppi()) - 3 * render::ScaleDim(100, window.Ppi()) - 16 -
                             zoom->width();
        EXPECT_LE(zoom->width(), render::ScaleDim(280, window.Ppi()));
        window.SetPanel(0, QStringLiteral("selection deleted."));
        window.SetPanel(1, QStringLiteral("CTRL"));
        window.SetPanel(3, QStringLiteral("SHIFT"));
        window.SetPanel(4, QStringLiteral("(205,205)"));
        window.SetPanel(5, QStringLiteral("selected tiles = 1234"));
        window.SetPanel(6, QStringLiteral("used tiles = 42436"));
        int x = 0;
        for (int i = 0; i < 7; ++i) {
            auto* panel = window.findChild<QLabel*>(QStringLiteral("Panel%1").arg(i));
            EXPECT_EQ(panel->x(), x) << i;
            x += panel->width();
            if (i == 0 && designed >= w / 3) {
                EXPECT_EQ(panel->width(), designed);
            }
            const int needed = i > 0 ? panel->sizeHint().width() : panel->sizeHint().width() / 2;
            EXPECT_GE(panel->width(), needed) << "panel " << i << " at " << w;
        }
        EXPECT_EQ(x + zoom->width(), w - 16);
        window.UpdateStatusBar();
    }
    EXPECT_GE(window.minimumWidth(), 400);
    EXPECT_GE(window.minimumHeight(), 300);
}

TEST_F(EditorTest, ControlsBoxShowsTheControlsText) {
    Trigger("MControls");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, "Controls");
    EXPECT_EQ(dialogs.messages[0].icon, Icon::Information);
    const std::string& text = dialogs.messages[0].text;
    EXPECT_EQ(text, info::ControlsText());
    EXPECT_EQ(text.rfind("Basic Controls:\rLmb - Select/Drop Tile\rLAlt+Lmb - Select Tile", 0), 0u);
    EXPECT_NE(text.find("Shift+Arrows- Fast Scrolling through Map\r\rKeyboard Shortcuts:\rCtrl+N - New Map"),
              std::string::npos);
    const std::string tail = "0 - Reset localAttempts (if enabled)\rF1 - Controls List";
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    EXPECT_EQ(app::ShownText(text).count(QLatin1Char('\n')), 48)
        << "49 lines (with the undo and zoom keys and Generate in Selection)";
}

TEST_F(EditorTest, EmptyCommandsRefuseWithTheirMessages) {
    Trigger("MSaveZL");
    Trigger("MExport");
    Trigger("MExport_o");
    Trigger("MMakeZp");
    Trigger("MMapProperties");
    Trigger("MMergeZp");
    ASSERT_EQ(dialogs.messages.size(), 6u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(dialogs.messages[i].caption, "Information");
        EXPECT_EQ(dialogs.messages[i].text, "Nothing to save.");
        EXPECT_EQ(dialogs.messages[i].icon, Icon::Information);
    }
    EXPECT_EQ(dialogs.messages[4].text, "The project is empty.");
    EXPECT_EQ(dialogs.messages[5].text, "The project is empty.");
    EXPECT_TRUE(dialogs.dialogs.empty());
}

TEST_F(EditorTest, ResetProjectOnAFreshStartDoesNotAsk) {
    Trigger("MResetProject");
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(window.project().NoProject);
}

TEST_F(EditorTest, OpenDialogsUseTheirFilters) {
    Trigger("MOpenZM");
    Trigger("MOpenZL");
    ASSERT_EQ(dialogs.dialogs.size(), 2u);
    EXPECT_EQ(dialogs.dialogs[0].name, "ODzm");
    EXPECT_EQ(dialogs.filters[0], QStringLiteral("zme/zmpe project (*.zm)"));
    EXPECT_EQ(dialogs.dialogs[1].name, "ODzl");
    EXPECT_EQ(dialogs.filters[1], QStringLiteral("layered project (*.zl)"));
    EXPECT_TRUE(window.controller().Enabled) << "the busy run enables the controller again";
}

TEST_F(EditorTest, ViewCommandsToggleOptionAndCheckMark) {
    const std::pair<const char*, bool render::ViewOptions::*> items[] = {
        {"MShowGnd", &render::ViewOptions::ShowGnd},   {"MShowTop", &render::ViewOptions::ShowTop},
        {"MShowAtr", &render::ViewOptions::ShowAtr},   {"MShowId", &render::ViewOptions::ShowId},
        {"MShowGrid", &render::ViewOptions::ShowGrid}, {"MShowBorder", &render::ViewOptions::ShowBorder},
        {"MFastRender", &render::ViewOptions::FastRender}};
    for (auto [name, option] : items) {
        const bool before = window.renderer().Options.*option;
        Trigger(name);
        EXPECT_EQ(window.renderer().Options.*option, !before) << name;
        EXPECT_EQ(window.Action(name)->isChecked(), !before) << name;
        Trigger(name);
        EXPECT_EQ(window.renderer().Options.*option, before) << name;
    }
    Trigger("MShowGrid");
    EXPECT_EQ(window.renderer().Picture().pixel(32, 5) & 0xFFFFFF, 0xA0A0A0u);
}

TEST_F(EditorTest, ProgressBarScalesAndMovesOnSteps) {
    window.ShowProgress(false);
    EXPECT_TRUE(window.ProgressVisible());
    window.ui().prepareProgress(5, 5);
    window.ui().updateProgress(6, 1);
    EXPECT_EQ(window.ProgressPosition(), 100);
    window.ui().prepareProgress(0, 1000);
    window.ui().updateProgress(150, 100);
    EXPECT_EQ(window.ProgressPosition(), 100) << "150 is not a multiple of 100";
    window.ui().updateProgress(200, 100);
    EXPECT_EQ(window.ProgressPosition(), 20);
    window.HideProgress(false);
    EXPECT_FALSE(window.ProgressVisible());
}

TEST_F(EditorTest, BusyProgressShowsTheHourglass) {
    window.ShowProgress(true);
    EXPECT_EQ(window.cursor().shape(), Qt::WaitCursor);
    window.HideProgress(true);
    EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor);
}

TEST_F(EditorTest, ModifierKeysShowInTheStatusBarAndAreDiscarded) {
    window.controller().Enable();
    auto* sbx = window.findChild<QScrollBar*>("SBx");
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
    QApplication::sendEvent(sbx, &press);
    EXPECT_EQ(Panel(1), "CTRL");
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
    QApplication::sendEvent(sbx, &release);
    EXPECT_EQ(Panel(1), "");
    QKeyEvent shift(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
    QApplication::sendEvent(&window, &shift);
    EXPECT_EQ(Panel(3), "SHIFT");
}

TEST_F(EditorTest, AboutAndDonateBoxes) {
    Trigger("MAbout");
    QWidget* about = window.findChild<QWidget*>("AboutBox");
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    about->close();
    dialogs.answers.push_back(Answer::Cancel);
    Trigger("MMDonate");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].buttons, Buttons::OkCancel);
}

// One about box at a time; a click closes it for good, and the window
// closes afterwards without touching it.
TEST_F(EditorTest, AboutShowsOneBoxThatAClickClosesForGood) {
    Trigger("MAbout");
    Trigger("MAbout");
    auto boxes = window.findChildren<QWidget*>("AboutBox");
    ASSERT_EQ(boxes.size(), 1) << "About again shows the same box";
    QPointer<QWidget> box = boxes[0];
    EXPECT_TRUE(box->isVisible());
    QTest::mouseClick(box, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(box.isNull()) << "the click closed and deleted it";
    Trigger("MAbout");
    boxes = window.findChildren<QWidget*>("AboutBox");
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0]->isVisible()) << "and About shows a new one";
    QTest::mouseClick(boxes[0], Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    window.close();
    EXPECT_FALSE(window.isVisible());
}

TEST(QtUiTest, FiltersAndTextsAreShownTheQtWay) {
    EXPECT_EQ(app::QtFilter("tile set file|*.zp"), QStringLiteral("tile set file (*.zp)"));
    EXPECT_EQ(app::QtFilter("a|*.x|b|*.y;*.z"), QStringLiteral("a (*.x);;b (*.y *.z)"));
    EXPECT_EQ(app::ShownText("All creatures data will be ereased!\rThis operation cannot be undone!"),
              QStringLiteral("All creatures data will be ereased!\nThis operation cannot be undone!"));
    EXPECT_EQ(app::ShownText("a\r\nb"), QStringLiteral("a\nb"));
}

}  // namespace
}  // namespace zorvane::testing
