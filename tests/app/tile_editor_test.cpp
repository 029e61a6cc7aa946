// The tile editor window worked as a user works it: opened from the menu in
// each mode, layers added from *.bmp files through the buttons, colours
// picked on the view with the mouse, keys passed to the input controller,
// and Apply putting the tile into the tiles list.

#include <QGroupBox>
#include <QPushButton>
#include <QSpinBox>
#include <QToolBar>

#include "tile_editor_fixture.h"
#include "model/layered_file.h"
#include "tile_editing/apply.h"
#include "tile_editor/layer_bmp.h"
#include "tile_editor/tile_edit_window.h"

namespace zorvane::testing {
namespace {

TEST_F(TileEditorTest, NewTileFromTwoPicturesIsAppliedIntoTheList) {
    Project& p = window.project();
    p.NewTiles.push_back(MakeTile(1, 1, 0, 0, 0));
    window.RefreshInterface({.last = 0, .rebuildList = true});
    list->setCurrentRow(0);
    const std::string ground = Bmp("g.bmp", 2, 3, 20), top = Bmp("t.bmp", 2, 3, 40), odd = Bmp("o.bmp", 2, 2, 40);
    Run("MNewTile", [&] {
        EXPECT_EQ(editor.windowTitle(), "Edit Tile");
        dialogs.files = {ground, odd, top};
        Click(editor.BtnAddGnd);
        EXPECT_EQ(editor.State().Ground.Width, 64);
        EXPECT_EQ(editor.State().Atr.Rows, 3);
        Click(editor.BtnAddTop);  // 64 x 64 beside 64 x 96: refused
        EXPECT_TRUE(dialogs.Saw(ImproperBitmapCaption, ImproperBitmapText));
        EXPECT_FALSE(editor.State().Top.Present());
        Click(editor.BtnAddTop);
        EXPECT_TRUE(editor.State().Top.Present());
        EXPECT_EQ(dialogs.dialogs.back().name, "ODbmp");
        EXPECT_EQ(dialogs.dialogs.back().filter, "bitmaps|*.bmp");
        Click(editor.BtnSave);
    });
    ASSERT_EQ(p.NewTiles.size(), 2u);
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(list->currentRow(), 0) << "the selected item stays selected";
    const MapTile& t = *p.NewTiles[1];
    EXPECT_EQ(t.Width, 2);
    EXPECT_EQ(t.Height, 3);
    EXPECT_EQ(p.BitmapCount, 12 + 12);
    EXPECT_EQ(p.Bitmap(t.GndAt(1, 2))[1], 25);
    EXPECT_EQ(p.Bitmap(t.TopAt(0, 1))[1], 42);
    EXPECT_TRUE(p.ZpModified);
    EXPECT_TRUE(editor.State().Atr.Values.empty()) << "closing empties the editor";
}

TEST_F(TileEditorTest, EditingATileAndApplyingUnchangedAddsNoBitmap) {
    Project& p = window.project();
    p.NewTiles.push_back(MakeTile(1, 1, 0, 0, 0));
    p.NewTiles.push_back(MakeTile(2, 2, 0, 0, 3, 5, 4));
    window.RefreshInterface({.last = 1, .rebuildList = true});
    list->setCurrentRow(1);
    Run("MEditTile", [&] {
        EXPECT_EQ(editor.State().EditedTile, 1);
        EXPECT_EQ(editor.State().Ground.Width, 64);
        EXPECT_EQ(editor.State().Ground.At(40, 40), 4);
        EXPECT_EQ(editor.State().Atr.At(1, 1), 4);
        Click(editor.BtnCancel);
    });
    EXPECT_EQ(p.NewTiles[1]->GndAt(0, 0), 3);
    Run("MEditTile", [&] { Click(editor.BtnSave); });
    EXPECT_EQ(p.BitmapCount, 12);
    ASSERT_EQ(p.NewTiles.size(), 2u);
    EXPECT_EQ(p.NewTiles[1]->Sq, (std::vector<MapSquare>(4, MapSquare{3, 5, 4})));
    EXPECT_EQ(list->currentRow(), 1);
}

// The Apply is one undo step: undone, the list and the tile set are as
// before the editor opened; redone, the tile and its bitmaps come back.
TEST_F(TileEditorTest, AnAppliedTileIsUndoneAndRedone) {
    Project& p = window.project();
    p.NewTiles.push_back(MakeTile(1, 1, 0, 0, 0));
    window.RefreshInterface({.last = 0, .rebuildList = true});
    window.document().Opened(dir.file("tiles.zl"));
    window.ProjectOpened();
    const auto before = EncodeZL(p);
    const std::string ground = Bmp("g.bmp", 2, 2, 20);
    Run("MNewTile", [&] {
        dialogs.files = {ground};
        Click(editor.BtnAddGnd);
        Click(editor.BtnSave);
    });
    ASSERT_EQ(p.NewTiles.size(), 2u);
    const auto after = EncodeZL(p);
    EXPECT_EQ(window.Action("MUndo")->text(), "Undo Apply tile");
    Trigger("MUndo");
    EXPECT_TRUE(EncodeZL(p) == before);
    EXPECT_EQ(p.BitmapCount, 12);
    EXPECT_EQ(list->count(), 1);
    EXPECT_FALSE(window.Action("MUndo")->isEnabled()) << "one step for the Apply";
    Trigger("MRedo");
    EXPECT_TRUE(EncodeZL(p) == after);
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(p.Bitmap(p.NewTiles[1]->GndAt(1, 1))[1], 23);
}

// From a selection; then removing both layers leaves Apply nothing to do.
TEST_F(TileEditorTest, CreatingFromTheMapSelection) {
    Add(2, 1, 4, 4, 0, 1);
    Add(1, 1, 5, 4, 2);
    Refresh();
    Click(4, 4);
    Click(5, 4);
    ASSERT_EQ(window.project().Selection.size(), 2u);
    Run("MCreateTileFromSel", [&] {
        ASSERT_EQ(editor.State().Ground.Width, 64);
        EXPECT_EQ(editor.State().Top.At(40, 10), 0) << "the higher ground hides the lower top";
        EXPECT_EQ(editor.State().Top.At(10, 10), 2);
        Click(editor.BtnDelGnd);
        Click(editor.BtnDelTop);
        Click(editor.BtnSave);
        EXPECT_TRUE(editor.isVisible()) << "nothing to apply";
    });
    EXPECT_TRUE(window.project().NewTiles.empty());
}

// Picking reads the drawn view: the mouse over a block shows its colour in
// the caption and a left release there takes its palette index.
TEST_F(TileEditorTest, PickingAColourWithTheMouse) {
    auto* fogBox = editor.findChild<QGroupBox*>("GroupBox5");
    Project& p = window.project();
    for (int i : {7, 8}) p.Palette[i * 4] = static_cast<std::uint8_t>(12 + i), p.Palette[i * 4 + 1] = p.Palette[i * 4 + 2] = 100;
    const std::string ground = Bmp("g.bmp", 3, 2, 30);
    Run("MNewTile", [&] {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
        dialogs.files = {ground};
        Click(editor.BtnAddGnd);
        Click(editor.BtnPickTransp);
        EXPECT_EQ(editor.Picking(), editor::PickMode::Transparent);
        const QPoint at(32 + 10, 32 + 10);  // block (1, 1): index 34
        // A move without buttons, as the platform delivers it to the view
        // (QTest only moves the cursor of the offscreen platform).
        QMouseEvent move(QEvent::MouseMove, at, editor.ImgRender->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(editor.ImgRender, &move);
        const Rgb c = EditorPaletteOf(window.project())[34];
        EXPECT_EQ(editor.windowTitle(), QStringLiteral("Edit Tile RGB=(%1,%2,%3)").arg(c.R).arg(c.G).arg(c.B));
        QTest::mousePress(editor.ImgRender, Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseRelease(editor.ImgRender, Qt::LeftButton, Qt::NoModifier, at);
        EXPECT_EQ(editor.SEtranspId->value(), 34);
        EXPECT_EQ(editor.Picking(), editor::PickMode::None);
        EXPECT_EQ(editor.windowTitle(), "Edit Tile");
        Click(editor.BtnPickFog);
        QTest::mouseClick(editor.BtnAddTop, Qt::RightButton);
        EXPECT_EQ(editor.Picking(), editor::PickMode::None) << "a right press ends picking";
        // Fog box caption: white up to a colour sum of 219, black from 220.
        editor.SEfogId->setValue(7);
        EXPECT_EQ(fogBox->palette().color(QPalette::Window), QColor(100, 100, 19));
        EXPECT_EQ(fogBox->palette().color(QPalette::WindowText), QColor(Qt::white));
        for (auto role : {QPalette::ButtonText, QPalette::WindowText})  // the spin edit's arrows stay visible
            EXPECT_EQ(editor.SEfogId->palette().color(role), QApplication::palette().color(role));
        editor.SEfogId->setValue(8);
        EXPECT_EQ(fogBox->palette().color(QPalette::WindowText), QColor(Qt::black));
    });
    EXPECT_EQ(editor.SEtranspId->value(), 34) << "kept for the next opening";
}

TEST_F(TileEditorTest, KeysReachTheInputControllerAndExportWritesTheLayer) {
    const std::string ground = Bmp("g.bmp", 1, 1, 50);
    window.controller().Enable();
    Run("MNewTile", [&] {
        QTest::keyPress(editor.BtnSave, Qt::Key_Control);
        EXPECT_TRUE(window.controller().CtrlDown);
        QTest::keyRelease(editor.BtnSave, Qt::Key_Control);
        EXPECT_FALSE(window.controller().CtrlDown);
        dialogs.files = {ground, dir.file("out.png")};
        Click(editor.BtnAddGnd);
        Click(editor.BtnExpGnd);
        EXPECT_EQ(dialogs.dialogs.back().name, "SDbmp");
    });
    const LoadedPicture back = editor::ReadLayerBmp(dir.file("out.bmp"));
    EXPECT_EQ(back.Image.At(5, 5), 50);
    EXPECT_EQ(back.Palette, EditorPaletteOf(window.project()));
}

// Keys typed into an edit control stay there: Del clears the spin box's
// text and leaves the map's selection alone, while a modifier still reaches
// the controller and Del with a button focused still deletes.
TEST_F(TileEditorTest, KeysTypedIntoASpinBoxStayInIt) {
    Add(2, 2, 5, 5, 1);
    Add(1, 1, 9, 9, 2);
    Refresh();
    Click(5, 5);
    ASSERT_EQ(Selected(), std::vector<int>{0});
    Run("MNewTile", [&] {
        editor.activateWindow();
        editor.SEtranspId->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        ASSERT_TRUE(editor.SEtranspId->hasFocus());
        editor.SEtranspId->setValue(5);
        QTest::keyClick(editor.SEtranspId, Qt::Key_Down);
        EXPECT_EQ(editor.SEtranspId->value(), 4);
        EXPECT_EQ(sby->value(), 0) << "Down stayed in the spin box";
        QTest::keyClick(editor.SEtranspId, Qt::Key_Home);
        for (int i = 0; i < 3; ++i) QTest::keyClick(editor.SEtranspId, Qt::Key_Delete);
        QTest::keyClicks(editor.SEtranspId, "7");
        EXPECT_EQ(editor.SEtranspId->text(), "7");
        EXPECT_EQ(window.project().UsedTiles.size(), 2u) << "no tile deleted behind the window";
        EXPECT_EQ(Selected(), std::vector<int>{0});
        QTest::keyPress(editor.SEtranspId, Qt::Key_Control);
        EXPECT_TRUE(window.controller().CtrlDown);
        QTest::keyRelease(editor.SEtranspId, Qt::Key_Control);
        EXPECT_FALSE(window.controller().CtrlDown);
        editor.BtnCancel->setFocus(Qt::TabFocusReason);
        QTest::keyClick(editor.BtnCancel, Qt::Key_Delete);
        EXPECT_EQ(window.project().UsedTiles.size(), 1u) << "a key no control takes reaches the controller";
    });
}

}  // namespace
}  // namespace zorvane::testing
