// Pictures and texts of the tiles list, and the list worked as a user
// does: the popup menu, dragging to reorder or to take a tile, moving and
// deleting a tile.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>

#include "builders.h"
#include "editor/move_tile_window.h"
#include "editor/tiles_list.h"
#include "map_edit_fixture.h"
#include "render_fixture.h"

namespace zorvane::testing {
namespace {

class TilePictureTest : public ::testing::Test {
protected:
    TilePictureTest() {
        FillTestPalette(p);
        p.AddBitmap(FilledBitmap(7).data());
    }
    // Opaque extent of the picture: the last opaque column and row + 1.
    QSize Extent(const QImage& img) const {
        int w = 0, h = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (qAlpha(img.pixel(x, y)) != 0) {
                    w = std::max(w, x + 1);
                    h = std::max(h, y + 1);
                }
        return {w, h};
    }
    Project p;
};

TEST_F(TilePictureTest, SmallTilesAreDrawnAtFullSize) {
    auto tile = MakeTile(2, 3, 0, 0, 0);
    QImage img = editor::TilePicture(p, *tile);
    EXPECT_EQ(img.size(), QSize(128, 128));
    EXPECT_EQ(Extent(img), QSize(64, 96));
    EXPECT_EQ(img.pixel(10, 10) & 0xFFFFFF, PaletteRgb(p, 7));
    EXPECT_EQ(editor::TileItemText(4, *tile), QStringLiteral("4 (2,3):"));
}

TEST_F(TilePictureTest, LargeTilesAreShrunkInProportion) {
    auto tile = MakeTile(10, 5, 0, 0, 0);
    EXPECT_EQ(Extent(editor::TilePicture(p, *tile)), QSize(128, 64)) << "s = 2.5";
}

TEST_F(TilePictureTest, TopWithoutGroundShowsOnlyItsOpaquePixels) {
    auto top = FilledBitmap(0);
    top[0] = 9;
    int t = p.AddBitmap(top.data());
    auto tile = MakeTile(1, 1, 0, 0, NoBitmap, static_cast<std::uint16_t>(t));
    QImage img = editor::TilePicture(p, *tile);
    EXPECT_EQ(Extent(img), QSize(1, 1));
    EXPECT_EQ(img.pixel(0, 0) & 0xFFFFFF, PaletteRgb(p, 9));
}

// Random tiles of every size, with missing and unknown bitmaps and either row
// order, against the plain definition: picture pixel (px, py) shows pixel
// (floor(px s) mod 32, floor(py s) mod 32) of square (floor(px s / 32),
// floor(py s / 32)), ground then top, where the index is not 0; colours
// equal to palette entry 0's are transparent.
TEST_F(TilePictureTest, RandomTilesLookAsThePlainDefinitionSays) {
    std::mt19937 rng(4);
    p.Palette[13 * 4] = p.Palette[0], p.Palette[13 * 4 + 1] = p.Palette[1], p.Palette[13 * 4 + 2] = p.Palette[2];
    for (int i = 0; i < 20; ++i) {
        BitmapPixels px{};
        for (auto& v : px) v = rng() % 3 ? 0 : static_cast<std::uint8_t>(rng() % 16);
        p.AddBitmap(px.data());
    }
    for (int round = 0; round < 30; ++round) {
        p.BottomUpRows = round % 2 == 1;
        auto tile = MakeTile(1 + static_cast<int>(rng() % 12), 1 + static_cast<int>(rng() % 9));
        auto id = [&] {
            const int k = static_cast<int>(rng() % 8);
            return static_cast<std::uint16_t>(k == 0 ? NoBitmap : k == 1 ? p.BitmapCount + 5 : rng() % p.BitmapCount);
        };
        for (MapSquare& s : tile->Sq) s = MapSquare{id(), id(), 0};
        const QImage img = editor::TilePicture(p, *tile);
        ASSERT_EQ(img.size(), QSize(128, 128));
        const double s = std::max({tile->Width * 32.0 / 128, tile->Height * 32.0 / 128, 1.0});
        ASSERT_EQ(editor::TilePictureExtent(*tile), QSize(static_cast<int>(std::floor(tile->Width * 32 / s)),
                                                          static_cast<int>(std::floor(tile->Height * 32 / s))));
        for (int y = 0; y < 128; ++y)
            for (int x = 0; x < 128; ++x) {
                int v = 0;
                const int sx = static_cast<int>(std::floor(x * s / 32)), sy = static_cast<int>(std::floor(y * s / 32));
                if (x < std::floor(tile->Width * 32 / s) && y < std::floor(tile->Height * 32 / s) && sx < tile->Width &&
                    sy < tile->Height) {
                    const int ix = static_cast<int>(std::floor(x * s)) % 32, iy = static_cast<int>(std::floor(y * s)) % 32;
                    for (std::uint16_t b : {tile->GndAt(sx, sy), tile->TopAt(sx, sy)}) {
                        if (b >= p.BitmapCount) continue;
                        const int bit = p.Bitmap(b)[(p.BottomUpRows ? 31 - iy : iy) * 32 + ix];
                        if (bit != 0) v = bit;
                    }
                }
                const QRgb got = img.pixel(x, y);
                if (PaletteRgb(p, v) == PaletteRgb(p, 0))
                    ASSERT_EQ(qAlpha(got), 0) << "round " << round << " at " << x << "," << y;
                else
                    ASSERT_EQ(got, 0xFF000000u | PaletteRgb(p, v)) << "round " << round << " at " << x << "," << y;
            }
    }
}

// --- The list worked through the window ---------------------------------------

class TilesListTest : public MapEditTest {
protected:
    // `n` list tiles; tile k is k + 1 squares wide, `height` high and shows
    // bitmap k.
    void Fill(int n, int height = 1) {
        Project& p = window.project();
        for (int k = 0; k < n; ++k) p.NewTiles.push_back(MakeTile(k + 1, height, 0, 0, static_cast<std::uint16_t>(k)));
        p.ZpPath = dir.file("tiles.zp");
        list = window.findChild<QListWidget*>("LBNewTiles");
        window.RefreshInterface({.last = n - 1, .rebuildList = true});
    }
    // The bitmap shown by every list tile, in list order.
    std::vector<int> Ids() const {
        std::vector<int> ids;
        for (const auto& t : window.project().NewTiles) ids.push_back(t->Sq[0].Gnd);
        return ids;
    }
    QPoint Centre(int row) const { return list->visualItemRect(list->item(row)).center(); }
    void ListPress(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(list->viewport(), button, Qt::NoModifier, at);
    }
    void ListMove(QPoint to) { QTest::mouseMove(list->viewport(), to); }
    void ListRelease(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseRelease(list->viewport(), button, Qt::NoModifier, at);
    }
    // Which of the five commands of a menu ("M" or "PM") are enabled.
    std::vector<bool> Enabled(const char* prefix) const {
        std::vector<bool> on;
        for (const char* name : {"NewTile", "CreateTileFromSel", "EditTile", "MoveTile", "DelTile"}) {
            auto* a = window.findChild<QAction*>(QString::fromLatin1(prefix) + QString::fromLatin1(name));
            on.push_back(a && a->isEnabled());
        }
        return on;
    }
    // Clicks a command of the open popup menu.
    void ClickPopup(const char* name) {
        auto* menu = window.findChild<QMenu*>("PMntList");
        auto* a = window.findChild<QAction*>(name);
        ASSERT_TRUE(menu->isVisible());
        QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(a).center());
        QApplication::processEvents();
    }

    QListWidget* list = nullptr;
};

using B = std::vector<bool>;
using V = std::vector<int>;

// Pressing the right button on an item selects it and opens the popup menu,
// whose commands are those of the Edit menu's submenu, enabled alike: the
// tile editor's three wait for the editor, Move and Delete need an item.
TEST_F(TilesListTest, ARightClickSelectsTheItemAndOpensThePopupMenu) {
    Fill(4);
    Add(1, 1, 0, 0, 7);
    Refresh();
    EXPECT_EQ(list->currentRow(), -1);
    EXPECT_EQ(Enabled("M"), B({true, false, false, false, false})) << "no item selected: only Add";
    auto* popup = window.findChild<QMenu*>("PMntList");
    ASSERT_NE(popup, nullptr);
    EXPECT_FALSE(popup->isVisible());

    QTest::mouseClick(list->viewport(), Qt::RightButton, Qt::NoModifier, Centre(2));
    EXPECT_EQ(list->currentRow(), 2);
    EXPECT_TRUE(popup->isVisible());
    QStringList captions;
    for (QAction* a : popup->actions()) captions << a->text();
    EXPECT_EQ(captions, QStringList({"Add New Tile", "Create Tile from Selection", "Edit Selected Tile",
                                     "Move Selected Tile", "Delete Selected Tile", "", "Compact List"}));
    EXPECT_EQ(Enabled("PM"), B({true, false, true, true, true}));
    EXPECT_EQ(Enabled("M"), Enabled("PM"));
    popup->close();

    Click(0, 0);
    ASSERT_EQ(Selected(), V({0})) << "a map selection to create a tile from";
    QTest::mouseClick(list->viewport(), Qt::RightButton, Qt::NoModifier, Centre(1));
    EXPECT_EQ(list->currentRow(), 1) << "another item under the right button";
    EXPECT_EQ(Enabled("PM"), B({true, true, true, true, true}));
    popup->close();
}

// Once the mouse has moved over the list for more than 100 ms, the drag
// reorders: the tile travels one item at a time, the list scrolling at its
// edges, and the tile set no longer matches its file. Released, nothing is taken; a quick gesture
// afterwards takes the dragged tile from its new place.
TEST_F(TilesListTest, ASlowDragReordersAndAQuickOneTakesTheTile) {
    Fill(6, 4);  // rows of the full picture height, more than the list shows
    Add(1, 1, 3, 3, 7);
    Refresh();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, Centre(0));
    ListPress(Centre(0));  // on the selected item
    ListMove(Centre(0) + QPoint(0, 20));
    QTest::qWait(250);
    EXPECT_EQ(Ids(), V({0, 1, 2, 3, 4, 5})) << "waiting moves nothing";
    for (int row = 1; row <= 3; ++row) {
        ListMove(Centre(row) - QPoint(0, 10));
        ListMove(Centre(row));
        EXPECT_EQ(list->currentRow(), row) << "the dragged tile stays selected";
    }
    // Down into the bottom visible item, which is cut off: the list scrolls
    // by one item and the tile takes one more step; up into the top item
    // scrolls back and the tile returns.
    const int bottom = list->viewport()->height() - 4;
    auto top = [&] { return list->indexAt({5, 1}).row(); };
    ASSERT_EQ(list->indexAt({5, bottom}).row(), 4);
    ListMove({Centre(3).x(), bottom});
    EXPECT_EQ(top(), 1) << "scrolled down by one item";
    EXPECT_EQ(Ids(), V({1, 2, 3, 4, 0, 5}));
    ListMove({Centre(3).x(), bottom + 2});
    EXPECT_EQ(top(), 2) << "scrolled to the end";
    EXPECT_EQ(list->indexAt({5, bottom + 2}).row(), -1) << "below the last item now";
    EXPECT_EQ(Ids(), V({1, 2, 3, 4, 0, 5}));
    ListMove({Centre(3).x(), 20});
    EXPECT_EQ(top(), 1) << "scrolled up by one item";
    EXPECT_EQ(Ids(), V({1, 2, 3, 0, 4, 5}));
    ListMove({Centre(3).x(), bottom + 2});
    ListRelease({Centre(3).x(), bottom + 2});
    EXPECT_EQ(list->currentRow(), 3);
    EXPECT_TRUE(list->item(3)->isSelected()) << "released below the items, the dragged tile stays selected";
    EXPECT_EQ(Ids(), V({1, 2, 3, 0, 4, 5})) << "three places lower";
    EXPECT_EQ(list->item(3)->text(), QStringLiteral("3 (1,4):"));
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("0 (2,4):"));
    EXPECT_TRUE(window.project().ZpModified);
    EXPECT_EQ(window.project().ZpPath, "");
    EXPECT_EQ(Panel(0), "Tile moved.");
    EXPECT_EQ(DragState(), 0) << "a long drag only reorders";
    EXPECT_EQ(Panel(6), "used tiles = 1");
    EXPECT_EQ(Order(), V({7}));

    // Straight from press to release: the tile goes to the map.
    ListPress(Centre(3));
    ListMove(Centre(3) + QPoint(0, 30));
    ListRelease(Centre(3) + QPoint(0, 30));
    ASSERT_EQ(DragState(), 2);
    EXPECT_EQ(Order(), V({7, 0})) << "the tile dragged down before";
    EXPECT_EQ(list->currentRow(), 3);
    Click(10, 10);
    EXPECT_EQ(DragState(), 0);
}

// The compact form: a grid of the pictures at their own size, captions on
// hover, the same drags; kept in the settings for the next run.
TEST_F(TilesListTest, TheCompactListIsAGridWithTheSameGestures) {
    QSettings().remove(QStringLiteral("tilesList/compact"));
    Fill(3);
    Add(1, 1, 3, 3, 7);
    Refresh();
    QTest::mouseClick(list->viewport(), Qt::RightButton, Qt::NoModifier, Centre(0));
    ClickPopup("PMCompactList");
    EXPECT_TRUE(QSettings().value(QStringLiteral("tilesList/compact")).toBool());
    const QRect first = list->visualItemRect(list->item(0)), second = list->visualItemRect(list->item(1));
    EXPECT_EQ(first.size(), QSize(36, 36)) << "a 1 x 1 tile's picture and a margin of 2";
    EXPECT_EQ(second.size(), QSize(68, 36));
    EXPECT_EQ(second.top(), first.top()) << "side by side";
    EXPECT_GT(list->visualItemRect(list->item(2)).top(), first.top()) << "the third wraps";

    ListPress(Centre(0));  // a slow drag to the third place
    ListMove(Centre(0) + QPoint(0, 20));
    QTest::qWait(250);
    for (int row = 1; row <= 2; ++row) {
        ListMove(Centre(row) - QPoint(3, 0));
        ListMove(Centre(row));
        EXPECT_EQ(list->currentRow(), row);
    }
    ListRelease(Centre(2));
    EXPECT_EQ(Ids(), V({1, 2, 0}));
    EXPECT_EQ(DragState(), 0);
    ListPress(Centre(2));  // a quick one takes the tile
    ListMove(Centre(2) + QPoint(0, 30));
    ListRelease(Centre(2) + QPoint(0, 30));
    EXPECT_EQ(DragState(), 2);
    EXPECT_EQ(Order(), V({7, 0}));
    Click(10, 10);

    QTest::mouseClick(list->viewport(), Qt::RightButton, Qt::NoModifier, Centre(0));
    ClickPopup("PMCompactList");
    EXPECT_FALSE(QSettings().value(QStringLiteral("tilesList/compact")).toBool());
    EXPECT_EQ(list->visualItemRect(list->item(0)).height(), static_cast<editor::TilesList*>(list)->ItemHeight(0));
}

// A reordering drag over several places is one undo step. Undo puts the
// tile back where the drag started, Redo where it ended, each with the tile
// selected; so do Undo and Redo of the move dialog and of a delete.
TEST_F(TilesListTest, AReorderingDragIsOneUndoStepAndUndoSelectsTheTile) {
    Fill(6);
    window.document().Opened(dir.file("tiles.zl"));
    window.ProjectOpened();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, Centre(1));
    ListPress(Centre(1));
    ListMove(Centre(1) + QPoint(0, 20));
    QTest::qWait(250);
    for (int row = 2; row <= 4; ++row) {
        ListMove(Centre(row) - QPoint(0, 4));
        ListMove(Centre(row));
    }
    ListRelease(Centre(4));
    ASSERT_EQ(Ids(), V({0, 2, 3, 4, 1, 5}));
    EXPECT_EQ(window.Action("MUndo")->text(), QStringLiteral("Undo Move tile"));
    auto key = [&](Qt::Key k) {
        QTest::keyClick(&window, k, Qt::ControlModifier);
        QApplication::processEvents();
    };
    list->setCurrentRow(0);  // the user looks elsewhere meanwhile
    key(Qt::Key_Z);
    EXPECT_EQ(Ids(), V({0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(list->currentRow(), 1) << "the tile, back where the drag started";
    EXPECT_FALSE(window.Action("MUndo")->isEnabled()) << "one step for the whole drag";
    EXPECT_EQ(window.windowTitle(), QStringLiteral("tiles.zl - Zorvane Terrain Editor"));
    key(Qt::Key_Y);
    EXPECT_EQ(Ids(), V({0, 2, 3, 4, 1, 5}));
    EXPECT_EQ(list->currentRow(), 4);
    EXPECT_EQ(list->item(4)->text(), QStringLiteral("4 (2,1):"));

    WhenModal([&] {
        QTest::keyClicks(window.moveTileWindow().SEnewPos, "0");
        QTest::mouseClick(window.moveTileWindow().BtnMove, Qt::LeftButton);
    });
    Trigger("MMoveTile");
    ASSERT_EQ(Ids(), V({1, 0, 2, 3, 4, 5}));
    list->setCurrentRow(5);
    Trigger("MUndo");
    EXPECT_EQ(list->currentRow(), 4);
    Trigger("MRedo");
    EXPECT_EQ(list->currentRow(), 0);

    list->setCurrentRow(2);
    dialogs.answers = {Answer::Yes};
    Trigger("MDelTile");
    ASSERT_EQ(Ids(), V({1, 0, 3, 4, 5}));
    Trigger("MUndo");
    EXPECT_EQ(Ids(), V({1, 0, 2, 3, 4, 5}));
    EXPECT_EQ(list->currentRow(), 2) << "the tile the delete took";
}

// The move dialog moves the selected tile to the chosen place; the items
// between are renumbered and the moved one is selected. The position stays
// for the next use; Cancel moves nothing.
TEST_F(TilesListTest, MoveSelectedTileThroughItsDialog) {
    Fill(7);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, Centre(5));
    ASSERT_EQ(list->currentRow(), 5);
    ASSERT_TRUE(window.Action("MMoveTile")->isEnabled());
    bool ran = false;
    WhenModal([&] {
        auto& w = window.moveTileWindow();
        ran = w.isVisible();
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Move Selected Tile"));
        EXPECT_EQ(w.SEnewPos->maximum(), 6);
        EXPECT_EQ(w.SEnewPos->value(), 0);
        QTest::keyClicks(w.SEnewPos, "2");
        QTest::mouseClick(w.BtnMove, Qt::LeftButton);
    });
    Trigger("MMoveTile");
    EXPECT_TRUE(ran);
    EXPECT_EQ(Ids(), V({0, 1, 5, 2, 3, 4, 6})) << "the former 2, 3, 4 at 3, 4, 5";
    EXPECT_EQ(list->currentRow(), 2);
    EXPECT_EQ(list->item(2)->text(), QStringLiteral("2 (6,1):"));
    EXPECT_EQ(list->item(5)->text(), QStringLiteral("5 (5,1):"));
    EXPECT_EQ(Panel(0), "Tile moved.");
    EXPECT_FALSE(window.project().ZpModified) << "moving keeps the tile set's file";
    EXPECT_EQ(window.project().ZpPath, dir.file("tiles.zp"));

    list->setCurrentRow(6);
    WhenModal([&] {
        auto& w = window.moveTileWindow();
        EXPECT_EQ(w.SEnewPos->value(), 2) << "the last position stays";
        QTest::mouseClick(w.BtnCancel, Qt::LeftButton);
    });
    Trigger("MMoveTile");
    EXPECT_EQ(Ids(), V({0, 1, 5, 2, 3, 4, 6}));
    EXPECT_EQ(list->currentRow(), 6);
}

// Delete from the popup menu asks first; on Yes the tile leaves the list
// (the map keeps its copies) and the next item, or the last one, is selected.
TEST_F(TilesListTest, DeleteSelectedTileAsksFirst) {
    Fill(3);
    Add(2, 1, 4, 4, 1);  // a copy of list tile 1 on the map
    Refresh();
    QTest::mouseClick(list->viewport(), Qt::RightButton, Qt::NoModifier, Centre(1));
    dialogs.answers = {Answer::No};
    ClickPopup("PMDelTile");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, "Deleting Tile");
    EXPECT_EQ(dialogs.messages[0].buttons, Buttons::YesNo);
    EXPECT_EQ(Ids(), V({0, 1, 2}));
    EXPECT_FALSE(window.project().ZpModified);

    QTest::mouseClick(list->viewport(), Qt::RightButton, Qt::NoModifier, Centre(1));
    dialogs.answers = {Answer::Yes};
    ClickPopup("PMDelTile");
    EXPECT_EQ(Ids(), V({0, 2}));
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(1)->text(), QStringLiteral("1 (3,1):"));
    EXPECT_EQ(list->currentRow(), 1);
    EXPECT_EQ(Panel(0), "Tile deleted from the list.");
    EXPECT_TRUE(window.project().ZpModified);
    EXPECT_EQ(window.project().ZpPath, "");
    EXPECT_EQ(Order(), V({1})) << "the map is not touched";
    EXPECT_EQ(Pixel(5, 4), Plain(1));

    dialogs.answers = {Answer::Yes};
    Trigger("MDelTile");
    EXPECT_EQ(Ids(), V({0}));
    EXPECT_EQ(list->currentRow(), 0) << "the last one deleted: the one before";
    dialogs.answers = {Answer::Yes};
    Trigger("MDelTile");
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(list->currentRow(), -1);
    EXPECT_EQ(Enabled("M"), B({true, false, false, false, false}));
}

}  // namespace
}  // namespace zorvane::testing
