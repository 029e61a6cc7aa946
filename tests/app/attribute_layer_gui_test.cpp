// The tile editor's attribute layer worked with the mouse: values chosen
// from the toolbar's drop-down menus, painted by dragging over the view, an
// underground region drawn in internal mode and saved by Apply, and the mask
// picture exported, imported and refused.

#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <fstream>

#include "tile_editing/attribute_layer.h"
#include "tile_editor/attribute_icons.h"
#include "tile_editor/attribute_toolbar.h"
#include "tile_editor_fixture.h"

namespace zorvane::testing {
namespace {

class AttributeLayerGuiTest : public TileEditorTest {
protected:
    editor::AttributeToolbar& Bar() { return *editor.AtrBar(); }

    // Opens button `pos`'s drop-down with a click on its arrow and clicks the
    // item for `value`; then lets the toolbar update run.
    void Choose(int pos, int value) {
        QToolButton* b = Bar().ButtonAt(pos);
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr) << "the drop-down did not open";
            for (QAction* a : menu->actions())
                if (a->data().toInt() == value) QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
            if (menu->isVisible()) menu->close();
        });
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(b->width() - 4, b->height() / 2));
        Settled();
    }
    void Face(int pos) {
        QToolButton* b = Bar().ButtonAt(pos);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
        Settled();
    }
    void Settled() {
        QTest::qWait(5);
        QApplication::processEvents();
        EXPECT_FALSE(Bar().TBatrTimer->isActive());
    }
    // A press on square `from`, moves with the button held through the
    // squares to `to` (same row), a release there.
    void Drag(QPoint from, QPoint to) {
        auto centre = [](QPoint sq) { return QPoint(sq.x() * 32 + 16, sq.y() * 32 + 16); };
        QTest::mousePress(editor.ImgRender, Qt::LeftButton, Qt::NoModifier, centre(from));
        for (int c = from.x(); c <= to.x(); ++c) {
            const QPoint at = centre(QPoint(c, from.y()));
            QMouseEvent move(QEvent::MouseMove, at, editor.ImgRender->mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                             Qt::NoModifier);
            QApplication::sendEvent(editor.ImgRender, &move);
        }
        QTest::mouseRelease(editor.ImgRender, Qt::LeftButton, Qt::NoModifier, centre(to));
    }
    int Atr(int c, int r) { return editor.State().Atr.At(c, r); }
};

TEST_F(AttributeLayerGuiTest, PaintedAttributesAndASavedUndergroundRegionReachTheTile) {
    Project& p = window.project();
    const std::string ground = Bmp("g.bmp", 3, 2, 20);
    Run("MNewTile", [&] {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
        dialogs.files = {ground};
        Click(editor.BtnAddGnd);
        Drag({0, 0}, {1, 0});  // nothing selected: nothing painted
        EXPECT_TRUE(IsAtrArrayEmpty(editor.State()));

        Choose(3, 7);  // swamp
        EXPECT_TRUE(Bar().ButtonAt(3)->isChecked());
        EXPECT_FALSE(Bar().ButtonAt(0)->isChecked());
        EXPECT_EQ(Bar().ShownValue(3), 7);
        Drag({0, 1}, {2, 1});
        EXPECT_EQ(Atr(0, 1), 7);
        EXPECT_EQ(Atr(2, 1), 7);
        EXPECT_EQ(Atr(0, 0), 0);
        // The painted square shows the swamp icon over the picture.
        const QImage& icon = editor::AttributeIcon(7);
        EXPECT_EQ(editor.ImgRender->Surface.pixelColor(4, 32 + 4), icon.pixelColor(4, 4));

        Face(0);
        EXPECT_EQ(editor.State().SelectedAtr, NoAttributeSelected);
        Face(3);  // the face selects the value it shows
        EXPECT_EQ(editor.State().SelectedAtr, 7);

        // Internal mode: a region in the top-left square, one ring square
        // re-classified as cliff.
        Choose(8, TatrRegion);
        EXPECT_TRUE(editor.State().InternalMode);
        Drag({0, 0}, {0, 0});
        Choose(8, TatrCliff);
        Drag({1, 1}, {1, 1});
        EXPECT_EQ(editor.State().InternalAtr.At(1, 1), TatrCliff);
        EXPECT_EQ(editor.State().InternalAtr.At(2, 0), TatrOutside);
        dialogs.answers = {Answer::Yes};
        Choose(3, 7);  // leaving internal mode converts the region and its ring
        EXPECT_EQ(Atr(1, 1), 18) << "cliff SE";
        EXPECT_EQ(editor.windowTitle(), "Edit Tile") << "no angle of a converted cliff is left in the title";
        Choose(8, TatrRegion);  // internal again: Apply asks once more, with nothing new to convert
        dialogs.answers = {Answer::Yes};
        Click(editor.BtnSave);
    });
    EXPECT_TRUE(dialogs.Saw(InternalAttributesCaption, SaveInternalQuestion));
    ASSERT_EQ(p.NewTiles.size(), 1u);
    const MapTile& t = *p.NewTiles[0];
    const auto name = [&](int c, int r) { return std::string(AttributeTable()[t.AtrAt(c, r)].Name); };
    EXPECT_EQ(name(0, 0), "underground");
    EXPECT_EQ(name(1, 1), "cliff SE");
    EXPECT_EQ(name(1, 0), "impassable");
    EXPECT_EQ(name(0, 1), "impassable");
    EXPECT_EQ(name(2, 1), "swamp");
    EXPECT_EQ(name(2, 0), "open");
}

TEST_F(AttributeLayerGuiTest, TheSelectionAndInternalModeOutliveAClosing) {
    const std::string ground = Bmp("g.bmp", 2, 2, 20);
    Run("MNewTile", [&] {
        dialogs.files = {ground};
        Click(editor.BtnAddGnd);
        Choose(8, TatrRegion);
        Drag({0, 0}, {0, 0});
    });  // closed with Cancel
    Run("MNewTile", [&] {
        EXPECT_TRUE(editor.State().InternalMode);
        EXPECT_EQ(editor.State().SelectedAtr, TatrRegion);
        EXPECT_TRUE(Bar().ButtonAt(8)->isChecked());
        dialogs.files = {ground};
        Click(editor.BtnAddGnd);
        EXPECT_EQ(editor.State().InternalAtr.At(0, 0), 0) << "the internal array starts cleared";
        Drag({1, 1}, {1, 1});
        EXPECT_EQ(editor.State().InternalAtr.At(1, 1), TatrRegion);
        EXPECT_TRUE(IsAtrArrayEmpty(editor.State()));
    });
}

TEST_F(AttributeLayerGuiTest, MaskExportImportAndRefusals) {
    const std::string ground = Bmp("g.bmp", 4, 3, 20);
    const std::string mask = dir.file("mask.bmp");
    const std::string small = dir.file("small.bmp");
    RgbPicture two;
    two.Width = two.Height = 2;
    two.Px.assign(4, Rgb{0xFF, 0xFF, 0xFF});
    editor::WriteMaskBmp(two, small);
    Run("MNewTile", [&] {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
        dialogs.files = {ground};
        Click(editor.BtnAddGnd);
        Choose(4, 16);  // cliff NE
        Drag({0, 0}, {3, 0});
        Choose(2, 35);  // underground
        Drag({1, 2}, {2, 2});
        const auto painted = editor.State().Atr.Values;
        dialogs.files = {dir.file("mask.png")};  // the extension becomes .bmp
        Click(editor.BtnExportAtr);
        ASSERT_TRUE(std::filesystem::exists(mask));

        Choose(3, 10);
        Drag({0, 1}, {3, 1});
        EXPECT_NE(editor.State().Atr.Values, painted);
        dialogs.files = {mask};
        Click(editor.BtnImportAtr);
        EXPECT_EQ(editor.State().Atr.Values, painted) << "export then import gives the same attributes";

        const auto before = editor.State().Atr.Values;
        dialogs.files = {small};
        Click(editor.BtnImportAtr);
        EXPECT_EQ(dialogs.messages.back().caption, "Import Error");
        // A mask cut short is refused with its reason, nothing changes.
        std::filesystem::resize_file(mask, std::filesystem::file_size(mask) - 5);
        dialogs.files = {mask};
        const std::size_t shown = dialogs.messages.size();
        Click(editor.BtnImportAtr);
        ASSERT_EQ(dialogs.messages.size(), shown + 1);
        EXPECT_NE(dialogs.messages.back().text.find("mask.bmp"), std::string::npos);
        EXPECT_EQ(editor.State().Atr.Values, before);

        Click(editor.BtnInfoAtr);
        const std::string help = dialogs.messages.back().text;
        EXPECT_EQ(std::count(help.begin(), help.end(), '\r'), 2 + AttributeCount - 1);
    });
}

TEST(AttributeIcons, EveryValueHasItsOwnIcon) {
    const auto& icons = editor::AttributeIcons();
    for (std::size_t a = 0; a < icons.size(); ++a) {
        EXPECT_EQ(icons[a].size(), QSize(32, 32));
        for (std::size_t b = a + 1; b < icons.size(); ++b) EXPECT_NE(icons[a], icons[b]) << a << " and " << b;
    }
}

}  // namespace
}  // namespace zorvane::testing
