// File commands and project windows through the real main window: new map,
// open, save, reopen, export, project properties, reset, mini map.

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <climits>

#include "editor/elided_path.h"
#include "editor/mini_map.h"
#include "editor/new_map_window.h"
#include "editor/properties_window.h"
#include "editor_fixture.h"
#include "model/creatures.h"
#include "model/map_file.h"
#include "platform/file_io.h"
#include "render_fixture.h"

namespace zorvane::testing {
namespace {

class FileCommandsTest : public EditorTest {
protected:
    // A 10 x 10 map project (14 x 14 with borders) over a tile set of three
    // bitmaps: square (x, y) shows bitmap (x + y) % 3.
    std::string MakeMap(const std::string& name) {
        zp = MakeTileSet("terrain.zp", 3);
        Project p;
        SilentUi silent;
        p.MapWidth = p.MapHeight = 14;
        p.ZpPath = zp;
        p.Multiplayer = 1;
        ResetCreatures(p, silent);
        SetLvlInfo(p, true);
        p.FlatSquares.resize(14 * 14);
        for (int y = 0; y < 14; ++y)
            for (int x = 0; x < 14; ++x)
                p.FlatSquares[y * 14 + x] = MapSquare{static_cast<std::uint16_t>((x + y) % 3), NoBitmap, 0};
        const std::string path = dir.file(name);
        WriteBytes(path, EncodeZM(p, TileSetVariant::Zmpe));
        return path;
    }
    void OpenMap() {
        dialogs.files.push_back(MakeMap("lake.zm"));
        Trigger("MOpenZM");
        ASSERT_EQ(Panel(6), "used tiles = 196");
    }
    // The colour square (x, y) of the map shows at view pixel offset (dx, dy)
    // with the view at the origin: bitmap (x + y) % 3 is filled with index
    // (x + y) % 3 + 1.
    std::uint32_t SquareColour(int x, int y) const { return PaletteRgb(window.project(), (x + y) % 3 + 1); }
    std::uint32_t ViewPixel(int x, int y) const { return PixelAt(window.renderer().Picture(), x, y); }

    std::string zp;
};

TEST_F(FileCommandsTest, NewMapFilledWithABitmapFromATileSet) {
    const std::string path = MakeTileSet("new.zp", 3);
    dialogs.files.push_back(path);
    bool ran = false;
    WhenModal([&] {
        auto& w = window.newMapWindow();
        ran = w.isVisible();
        EXPECT_EQ(w.windowTitle(), QStringLiteral("New map"));
        EXPECT_EQ(w.SEsizeX->value(), 100);
        EXPECT_TRUE(w.RBMulti->isChecked());
        EXPECT_EQ(w.BtnSelectZP->text(), QStringLiteral("Select *.zp"));
        w.SEsizeX->setValue(10);
        w.SEsizeY->setValue(12);
        w.CBfillMap->setChecked(true);
        w.SEfill->setValue(1);
        w.BtnSelectZP->click();
        EXPECT_EQ(w.BtnSelectZP->toolTip().toStdString(), path);
        w.BtnCreate->click();
        if (w.isVisible()) w.reject();
    });
    Trigger("MNew");
    EXPECT_TRUE(ran);
    ASSERT_EQ(dialogs.dialogs.size(), 1u);
    EXPECT_EQ(dialogs.dialogs[0].name, "ODzp");
    EXPECT_EQ(dialogs.filters[0], QStringLiteral("ZP files (*.zp)"));
    EXPECT_EQ(Panel(0), "New map created!");
    EXPECT_EQ(Panel(6), "used tiles = 224");
    EXPECT_EQ(window.project().MapWidth, 14);
    EXPECT_EQ(window.project().MapHeight, 16);
    EXPECT_EQ(window.project().Multiplayer, 1u);
    EXPECT_EQ(ViewPixel(70, 70), PaletteRgb(window.project(), 2)) << "bitmap 1 inside the border";
    EXPECT_EQ(ViewPixel(10, 10), 0u) << "border squares show nothing";
    EXPECT_EQ(ViewPixel(64, 80), 0xA0A0A0u) << "border line";
    auto* list = window.findChild<QListWidget*>("LBNewTiles");
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("0 (2,1):"));
    EXPECT_EQ(window.findChild<QScrollBar*>("SBx")->maximum(), 13);
    EXPECT_TRUE(window.controller().Enabled);
}

TEST_F(FileCommandsTest, NewMapWithoutATileSetStaysOpenAndSaysWhatIsMissing) {
    bool stayedOpen = false;
    WhenModal([&] {
        auto& w = window.newMapWindow();
        w.BtnCreate->click();
        stayedOpen = w.isVisible();
        w.BtnCancel->click();
    });
    Trigger("MNew");
    EXPECT_TRUE(stayedOpen);
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_EQ(dialogs.messages.back().caption, "Error");
    // The button's caption is no path: the box asks for a tile set.
    EXPECT_EQ(dialogs.messages.back().text.find("Could not find"), std::string::npos) << dialogs.messages.back().text;
    EXPECT_NE(dialogs.messages.back().text.find("tile set"), std::string::npos) << dialogs.messages.back().text;
    EXPECT_TRUE(window.project().NoProject);
}

TEST_F(FileCommandsTest, OpenZmShowsEverySquareOfTheMap) {
    OpenMap();
    EXPECT_EQ(Panel(0), dir.file("lake.zm") + " opened");
    EXPECT_FALSE(window.project().NoProject);
    for (int y = 2; y < 12; ++y)
        for (int x = 2; x < 12; ++x) ASSERT_EQ(ViewPixel(x * 32 + 5, y * 32 + 7), SquareColour(x, y)) << x << "," << y;

    // Scrolling with the scroll bar shows what a full redraw there shows.
    window.findChild<QScrollBar*>("SBx")->setValue(3);
    window.findChild<QScrollBar*>("SBy")->setValue(2);
    EXPECT_EQ(window.renderer().ScrollX, 3);
    EXPECT_EQ(ViewPixel(5, 7), SquareColour(3, 2));
    render::MapRenderer reference(window.project(), window.bitmapInfo());
    reference.Options = window.renderer().Options;
    reference.DepthLimit = INT_MAX;
    reference.Resize(window.renderer().Width(), window.renderer().Height());
    reference.ScrollX = 3;
    reference.ScrollY = 2;
    reference.FullRedraw();
    EXPECT_TRUE(reference.Picture() == window.renderer().Picture());
}

TEST_F(FileCommandsTest, OpeningOverAProjectAsksTheCloseQuestion) {
    OpenMap();
    dialogs.answers.push_back(Answer::Cancel);
    Trigger("MOpenZL");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, "Warning");
    EXPECT_EQ(dialogs.messages[0].text, "This operation will close current project and erease map generator data!");
    EXPECT_EQ(dialogs.messages[0].icon, Icon::Warning);
    EXPECT_EQ(dialogs.messages[0].buttons, Buttons::OkCancel);
    EXPECT_EQ(Panel(6), "used tiles = 196") << "Cancel changes nothing";
}

TEST_F(FileCommandsTest, SavedLayeredProjectReopensWithTheSameView) {
    OpenMap();
    const QImage before = window.renderer().Picture();
    const std::string zl = dir.file("lake.zl");
    dialogs.files.push_back(zl);
    Trigger("MSaveZL");
    ASSERT_TRUE(FileExists(zl));
    EXPECT_EQ(dialogs.dialogs.back().name, "SDzl");
    EXPECT_EQ(dialogs.filters.back(), QStringLiteral("layered project (*.zl)"));

    dialogs.files.push_back(zl);
    Trigger("MResetProject");  // answered OK
    EXPECT_EQ(Panel(6), "used tiles = 0");
    EXPECT_EQ(ViewPixel(100, 100), 0u);
    Trigger("MOpenZL");
    EXPECT_EQ(Panel(6), "used tiles = 196");
    EXPECT_TRUE(window.renderer().Picture() == before);
}

TEST_F(FileCommandsTest, ExportWritesMapProjectsInBothVariants) {
    OpenMap();
    for (bool zme : {false, true}) {
        const std::string out = dir.file(zme ? "out_zme.zm" : "out_zmpe.zm");
        dialogs.files.clear();
        dialogs.files.push_back(out);
        dialogs.files.push_back(dir.file(zme ? "out_zme.zp" : "out_zmpe.zp"));
        Trigger(zme ? "MExport_o" : "MExport");
        ASSERT_TRUE(FileExists(out)) << zme;
        MapFile map = ParseZM(ReadWholeFile(out));
        EXPECT_EQ(map.Width, 14);
        EXPECT_EQ(map.Squares[5 * 14 + 4].Gnd, (4 + 5) % 3);
        EXPECT_EQ(map.Squares[0].Atr, AtrImpassable);
    }
    ASSERT_GE(dialogs.dialogs.size(), 2u);
    EXPECT_EQ(dialogs.dialogs[1].name, "SDzm") << "after ODzm";
    EXPECT_EQ(dialogs.filters[1], QStringLiteral("zme/zmpe project (*.zm)"));
    EXPECT_TRUE(dialogs.Saw("Create new *.zp",
                            "It's necessary to create a new *.zp file.\rTo continue exporting map, select the path and "
                            "name for new file."))
        << "the zme export needs a tile set of its own variant";
}

TEST_F(FileCommandsTest, ProjectPropertiesShowTheProjectAndApplyANewSize) {
    OpenMap();
    bool ran = false;
    WhenModal([&] {
        auto& w = window.propertiesWindow();
        ran = w.isVisible();
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Project Properties"));
        EXPECT_EQ(w.SEsizeX->value(), 10);
        EXPECT_TRUE(w.RBMulti->isChecked());
        EXPECT_FALSE(w.CBmoveCreatures->isChecked());
        EXPECT_EQ(w.Label4->text(), QStringLiteral("Creatures count = 1 (level info)"));
        EXPECT_EQ(w.Label5->text(), QStringLiteral("Number of bitmaps = 3\nNumber of tiles in the list = 1\n"
                                                   "Number of tiles in the map = 196"));
        const QStringList lines = w.Label3->text().split(QLatin1Char('\n'));
        EXPECT_EQ(lines.first(), QStringLiteral("*.zp path:"));
        EXPECT_EQ(lines.last(), QStringLiteral("(zmpe version)"));
        EXPECT_EQ(lines.size(), 3) << "the path on one line";
        EXPECT_EQ(w.Label3->toolTip().toStdString(), zp);
        QFontMetrics metrics(w.Label3->font());
        for (const QString& line : lines.mid(1, lines.size() - 2))
            EXPECT_LE(metrics.horizontalAdvance(line), w.Label3->width());
        w.SEsizeX->setValue(20);
        w.RBSingle->setChecked(true);
        w.BtnApply->click();
        if (w.isVisible()) w.reject();
    });
    Trigger("MMapProperties");
    EXPECT_TRUE(ran);
    EXPECT_EQ(window.project().MapWidth, 24);
    EXPECT_EQ(window.project().Multiplayer, 0u);
    EXPECT_EQ(window.findChild<QScrollBar*>("SBx")->maximum(), 23);
}

TEST_F(FileCommandsTest, RemovingUnusedBitmapsAsksAndUpdatesTheCount) {
    OpenMap();
    WhenModal([&] {
        auto& w = window.propertiesWindow();
        dialogs.answers.push_back(Answer::Cancel);
        w.BtnRemoveUnusedBitmaps->click();
        w.BtnCancel->click();
    });
    Trigger("MMapProperties");
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_EQ(dialogs.messages.back().caption, "Warning");
    EXPECT_EQ(dialogs.messages.back().text, "Are you sure?\rThis operation cannot be undone!");
}

// A path wider than its place loses characters from its middle only, and
// only as many as it must.
TEST_F(FileCommandsTest, TileSetPathIsCutInTheMiddleToTheWidth) {
    QFont font(QStringLiteral("Arial"), 9);
    QFontMetrics metrics(font);
    const QString path = QStringLiteral("/a/rather/long/folder/name/for/tile/sets/terrain.zp");
    const QChar ellipsis(0x2026);
    QString previous;
    for (int width = 40; width <= metrics.horizontalAdvance(path) + 10; width += 7) {
        const QString text = editor::ElideMiddle(path, metrics, width);
        EXPECT_LE(metrics.horizontalAdvance(text), width);
        if (metrics.horizontalAdvance(path) <= width) {
            EXPECT_EQ(text, path);
            continue;
        }
        ASSERT_EQ(text.count(ellipsis), 1) << width;
        EXPECT_TRUE(path.startsWith(text.section(ellipsis, 0, 0))) << width;
        EXPECT_TRUE(path.endsWith(text.section(ellipsis, 1))) << width;
        EXPECT_GE(text.size(), previous.size()) << "more room shows more of the path";
        previous = text;
    }
}

// The box that tells what a merge took over is its end: behind it the
// status bar no longer shows the last step and no progress bar covers the
// horizontal scroll bar; afterwards the status names the merged file. So
// for a tile set with new bitmaps, and for one that adds nothing.
TEST_F(FileCommandsTest, MergeResultBoxStandsOverATidyStatusBar) {
    OpenMap();
    const std::string other = MakeTileSet("other.zp", 60);  // enough to report steps
    std::vector<std::pair<std::string, bool>> behindBoxes;  // status panel 0, progress bar shown
    dialogs.onMessage = [&](const app::ShownMessage&) { behindBoxes.emplace_back(Panel(0), window.ProgressVisible()); };
    for (int merge = 0; merge < 2; ++merge) {
        dialogs.files.push_back(other);
        Trigger("MMergeZp");
        ASSERT_EQ(behindBoxes.size(), merge + 1u);
        EXPECT_EQ(dialogs.messages.back().icon, Icon::Information);
        EXPECT_EQ(behindBoxes.back().first, "") << "merge " << merge;
        EXPECT_FALSE(behindBoxes.back().second) << "merge " << merge;
        EXPECT_EQ(window.project().BitmapCount, 60);
        EXPECT_EQ(Panel(0), other + " data imported successfully.");
        EXPECT_FALSE(window.ProgressVisible());
    }
}

TEST_F(FileCommandsTest, MiniMapShowsTheMapAtTwoPixelsPerSquare) {
    OpenMap();
    Trigger("MMiniMap");
    auto& mini = window.miniMapWindow();
    EXPECT_TRUE(mini.isVisible());
    EXPECT_EQ(mini.windowTitle(), QStringLiteral("Mini Map"));
    EXPECT_TRUE(window.Action("MMiniMap")->isChecked());
    const QImage& picture = mini.Picture();
    ASSERT_EQ(picture.size(), QSize(28, 28));
    EXPECT_EQ(picture.pixel(2 * 5 + 1, 2 * 6) & 0xFFFFFF, SquareColour(5, 6));
    mini.close();
    EXPECT_FALSE(window.Action("MMiniMap")->isChecked());
}

}  // namespace
}  // namespace zorvane::testing

namespace zorvane::testing {
namespace {

TEST_F(FileCommandsTest, AFailedOpenLeavesAnEmptyBlackView) {
    OpenMap();
    const std::string bad = dir.file("bad.zm");
    WriteBytes(bad, {'Z', 'L', 'F', '5', 200});
    dialogs.files.push_back(bad);
    Trigger("MOpenZM");  // close question answered OK
    EXPECT_TRUE(window.project().NoProject);
    EXPECT_EQ(Panel(6), "used tiles = 0");
    EXPECT_EQ(dialogs.messages.back().icon, Icon::Error);
    EXPECT_EQ(ViewPixel(100, 100), 0u);
    EXPECT_EQ(window.findChild<QScrollBar*>("SBx")->maximum(), 0);
}

TEST_F(FileCommandsTest, ResettingRestoresTheDefaultViewOptions) {
    OpenMap();
    Trigger("MShowGrid");
    Trigger("MShowGnd");
    Trigger("MResetProject");
    EXPECT_EQ(dialogs.messages.back().text, "This operation will close current project and erease map generator data!");
    EXPECT_TRUE(window.Action("MShowGnd")->isChecked());
    EXPECT_FALSE(window.Action("MShowGrid")->isChecked());
    EXPECT_TRUE(window.renderer().Options.ShowGnd);
    EXPECT_FALSE(window.renderer().Options.ShowGrid);
    EXPECT_EQ(window.findChild<QListWidget*>("LBNewTiles")->count(), 0);
}

}  // namespace
}  // namespace zorvane::testing
