// Undo and redo in the editor through real key events: a mistaken delete
// taken back with Ctrl+Z and done again with Ctrl+Y, a drag as one step,
// the captions of the Edit menu, the title's unsaved-changes mark through
// save and undo, and the question before closing over unsaved changes.

#include <QAction>
#include <QMenuBar>
#include <algorithm>

#include "editor/mini_map.h"
#include "editor/tiles_list.h"

#include "map_edit_fixture.h"
#include "model/layered_file.h"

namespace zorvane::testing {
namespace {

using V = std::vector<int>;

class UndoGuiTest : public MapEditTest {
protected:
    // Five tiles in a row, then the history starts as after opening a file.
    void MakeRow() {
        for (int k = 0; k < 5; ++k) Add(1, 1, 2 + k, 3, static_cast<std::uint16_t>(k));
        Refresh();
        window.document().Opened(dir.file("row.zl"));
        window.ProjectOpened();
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(&window, key, modifiers);
        QApplication::processEvents();
    }
    std::string Caption(const char* action) const { return window.Action(action)->text().toStdString(); }
    std::string Title() const { return window.windowTitle().toStdString(); }
};

TEST_F(UndoGuiTest, AMistakenDeleteIsUndoneWithCtrlZAndRedoneWithCtrlY) {
    MakeRow();
    EXPECT_FALSE(window.Action("MUndo")->isEnabled());
    EXPECT_FALSE(window.Action("MRedo")->isEnabled());
    EXPECT_EQ(Title(), "row.zl - Zorvane Terrain Editor");
    const auto before = EncodeZL(window.project());
    Click(3, 3);
    Click(5, 3);
    EXPECT_FALSE(window.Action("MUndo")->isEnabled()) << "selecting changes nothing";
    QTest::keyClick(view, Qt::Key_Delete);
    ASSERT_EQ(Order(), V({0, 2, 4}));
    const auto after = EncodeZL(window.project());
    EXPECT_EQ(Caption("MUndo"), "Undo Delete");
    EXPECT_EQ(Title(), "row.zl* - Zorvane Terrain Editor");

    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Order(), V({0, 1, 2, 3, 4}));
    EXPECT_TRUE(EncodeZL(window.project()) == before);
    EXPECT_EQ(Panel(6), "used tiles = 5");
    EXPECT_EQ(Pixel(3, 3), Plain(1)) << "the view shows the tile again";
    EXPECT_EQ(sbDepth->maximum(), 4);
    EXPECT_EQ(Title(), "row.zl - Zorvane Terrain Editor") << "back at the opened state";
    EXPECT_FALSE(window.Action("MUndo")->isEnabled());
    EXPECT_EQ(Caption("MRedo"), "Redo Delete");

    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Order(), V({0, 2, 4}));
    EXPECT_TRUE(EncodeZL(window.project()) == after);
    EXPECT_EQ(Pixel(3, 3), 0u);
    Key(Qt::Key_Z, Qt::ControlModifier);
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Order(), V({0, 2, 4})) << "Ctrl+Shift+Z redoes too";
    EXPECT_FALSE(window.Action("MRedo")->isEnabled());
}

TEST_F(UndoGuiTest, AWholeDragIsOneStep) {
    MakeRow();
    Click(2, 3);
    Click(3, 3);
    QTest::keyPress(view, Qt::Key_Control);
    Press(3, 3);
    QTest::keyRelease(view, Qt::Key_Control);
    for (int col = 4; col <= 9; ++col) MoveTo(col, 6 + col % 2);
    Click(9, 8);
    ASSERT_EQ(DragState(), DragIdle);
    const MapTile& moved = Tile(1);
    ASSERT_NE(moved.Y, 3) << "the drag moved the tiles";
    EXPECT_EQ(Caption("MUndo"), "Undo Drag");
    Key(Qt::Key_Z, Qt::ControlModifier);
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(Tile(k).X, 2 + k);
        EXPECT_EQ(Tile(k).Y, 3);
    }
    EXPECT_FALSE(window.Action("MUndo")->isEnabled()) << "one step for the whole drag";
}

TEST_F(UndoGuiTest, SavingMarksTheProjectCleanAndClosingAsksOverChanges) {
    MakeRow();
    Click(4, 3);
    Trigger("MDeleteSelected");
    const std::string saved = dir.file("saved.zl");
    dialogs.files = {saved};
    Trigger("MSaveZL");
    EXPECT_EQ(Caption("MUndo"), "Undo Delete") << "the save is no step";
    EXPECT_EQ(Title(), "saved.zl - Zorvane Terrain Editor");
    Key(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(Order(), V({0, 1, 2, 3, 4}));
    EXPECT_EQ(Title(), "saved.zl* - Zorvane Terrain Editor") << "the file holds the delete";
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Title(), "saved.zl - Zorvane Terrain Editor");
    Key(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(Order(), V({0, 1, 2, 3, 4}));

    dialogs.answers = {Answer::Cancel};
    window.close();
    EXPECT_TRUE(window.isVisible()) << "Cancel keeps the window";
    EXPECT_EQ(dialogs.messages.back().caption, "Unsaved changes");
    ASSERT_EQ(Order(), V({0, 1, 2, 3, 4}));
    EXPECT_EQ(dialogs.messages.back().buttons, Buttons::SaveDiscardCancel);
    dialogs.answers = {Answer::Save};
    dialogs.files = {dir.file("closing.zl")};
    window.close();
    EXPECT_FALSE(window.isVisible()) << "saved, then closed";
    EXPECT_EQ(ParseZL(ReadWholeFile(dir.file("closing.zl"))).UsedTiles.size(), 5u);
}

// An undo or redo that changes only the palette shows the colours it
// brings at once: in the view, the mini map and the tiles list's pictures.
TEST_F(UndoGuiTest, UndoOfAPaletteChangeRecoloursTheMiniMapAndTheTilePictures) {
    window.project().NewTiles.push_back(MakeTile(1, 1, 0, 0, 1));
    window.RefreshInterface({.last = 0, .rebuildList = true});
    MakeRow();
    Key(Qt::Key_M, Qt::ControlModifier);
    auto& mini = window.miniMapWindow();
    ASSERT_TRUE(mini.isVisible());
    auto* list = static_cast<editor::TilesList*>(window.findChild<QListWidget*>("LBNewTiles"));
    auto colours = [&] {
        mini.Tick();
        return std::vector<std::uint32_t>{Pixel(3, 3), mini.Picture().pixel(2 * 3, 2 * 3) & 0xFFFFFF,
                                          list->Picture(0)->pixel(4, 4) & 0xFFFFFF};
    };
    const std::uint32_t old = Plain(1);
    ASSERT_EQ(colours(), std::vector<std::uint32_t>(3, old));

    // What the tile editor's Apply leaves when it changes only a colour.
    auto& entry = window.project().Palette;
    entry[2 * 4] ^= 0x80, entry[2 * 4 + 1] ^= 0x40;
    const std::uint32_t recoloured = Plain(1);
    window.PrepareBitmapsPx();
    window.RefreshInterface({.last = 0, .redrawView = true, .rebuildList = true});
    window.document().Record("Apply tile");
    ASSERT_EQ(colours(), std::vector<std::uint32_t>(3, recoloured));

    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(colours(), std::vector<std::uint32_t>(3, old)) << "view, mini map, tiles list";
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(colours(), std::vector<std::uint32_t>(3, recoloured));
}

// F1 lists the keys of every menu command, the undo keys among them: each
// shortcut begins a line of the Controls text. (The text has never listed
// Show Borders' Ctrl+6.)
TEST_F(UndoGuiTest, TheControlsTextListsTheKeysOfTheMenus) {
    Key(Qt::Key_F1, Qt::NoModifier);
    ASSERT_FALSE(dialogs.messages.empty());
    ASSERT_EQ(dialogs.messages.back().caption, "Controls");
    const QStringList lines = QString::fromStdString(dialogs.messages.back().text).split(QLatin1Char('\r'));
    int keys = 0;
    for (QAction* a : window.menuBar()->findChildren<QAction*>())
        for (const QKeySequence& shortcut : a->shortcuts()) {
            const QString key = shortcut.toString(QKeySequence::PortableText);
            if (key == QLatin1String("Ctrl+6")) continue;
            ++keys;
            const bool listed = std::any_of(lines.begin(), lines.end(),
                                            [&](const QString& line) { return line.startsWith(key + " - "); });
            EXPECT_TRUE(listed) << key.toStdString() << " (" << a->text().toStdString() << ")";
        }
    EXPECT_GE(keys, 20);
}

}  // namespace
}  // namespace zorvane::testing
