// Tile set paths longer than their place: on the "New map" window's button
// and in the "Project Properties" window they are cut in the middle to the
// width there is, cut again when the window grows, and shown whole in the
// tooltip; the whole path is the one used.

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <filesystem>

#include "editor/new_map_window.h"
#include "editor/properties_window.h"
#include "editor_fixture.h"
#include "model/creatures.h"
#include "model/map_file.h"

namespace zorvane::testing {
namespace {

const QChar kEllipsis(0x2026);

class TileSetPathTest : public EditorTest {
protected:
    // A tile set in a folder whose name alone is wider than either window.
    std::string LongTileSet(const std::string& name) {
        const std::string folder = "tile sets of the southern campaign, second revision, with the river maps";
        const std::string path = folder + "/" + name;
        std::filesystem::create_directories(std::filesystem::path(dir.file(path)).parent_path());
        return MakeTileSet(path, 3);
    }

    // `shown` is `path` cut once in the middle: its start and its end, and
    // no wider than `width`.
    static void ExpectCutInTheMiddle(const QString& shown, const std::string& path, const QFontMetrics& metrics,
                                     int width) {
        const QString whole = QString::fromStdString(path);
        ASSERT_EQ(shown.count(kEllipsis), 1) << shown.toStdString();
        EXPECT_TRUE(whole.startsWith(shown.section(kEllipsis, 0, 0))) << shown.toStdString();
        EXPECT_TRUE(whole.endsWith(shown.section(kEllipsis, 1))) << shown.toStdString();
        EXPECT_TRUE(shown.endsWith(QStringLiteral("/terrain.zp"))) << "the file name stays whole";
        EXPECT_LE(metrics.horizontalAdvance(shown), width);
    }
};

TEST_F(TileSetPathTest, NewMapButtonShowsTheMiddleCutPathAndCreatesWithTheWholeOne) {
    const std::string path = LongTileSet("terrain.zp");
    dialogs.files.push_back(path);
    bool ran = false;
    WhenModal([&] {
        auto& w = window.newMapWindow();
        ran = true;
        const int widthBefore = w.width();
        QTest::mouseClick(w.BtnSelectZP, Qt::LeftButton);
        QApplication::processEvents();
        EXPECT_EQ(w.width(), widthBefore) << "a long path does not widen the window";
        EXPECT_EQ(w.BtnSelectZP->toolTip().toStdString(), path);
        const QString narrow = w.BtnSelectZP->text();
        ExpectCutInTheMiddle(narrow, path, w.BtnSelectZP->fontMetrics(), w.BtnSelectZP->width());

        w.resize(w.width() + 200, w.height());
        QApplication::processEvents();
        const QString wide = w.BtnSelectZP->text();
        EXPECT_GT(wide.size(), narrow.size()) << "a wider window shows more of the path";
        ExpectCutInTheMiddle(wide, path, w.BtnSelectZP->fontMetrics(), w.BtnSelectZP->width());

        w.SEsizeX->setValue(10);
        w.SEsizeY->setValue(10);
        QTest::mouseClick(w.BtnCreate, Qt::LeftButton);
        if (w.isVisible()) w.reject();
    });
    Trigger("MNew");
    ASSERT_TRUE(ran);
    EXPECT_EQ(window.project().ZpPath, path);
    EXPECT_EQ(window.project().BitmapCount, 3);
    EXPECT_FALSE(window.project().NoProject);
}

TEST_F(TileSetPathTest, PropertiesShowTheMiddleCutPathOnOneLine) {
    const std::string zp = LongTileSet("terrain.zp");
    Project map;
    SilentUi silent;
    map.MapWidth = map.MapHeight = 14;
    map.ZpPath = zp;
    map.Multiplayer = 1;
    ResetCreatures(map, silent);
    map.FlatSquares.assign(14 * 14, MapSquare{0, NoBitmap, 0});
    const std::string zm = dir.file("lake.zm");
    WriteBytes(zm, EncodeZM(map, TileSetVariant::Zmpe));
    dialogs.files.push_back(zm);
    Trigger("MOpenZM");
    ASSERT_EQ(window.project().ZpPath, zp);

    const std::string other = LongTileSet("other/terrain.zp");
    bool ran = false;
    WhenModal([&] {
        auto& w = window.propertiesWindow();
        ran = true;
        for (const std::string& path : {zp, other}) {
            const QStringList lines = w.Label3->text().split(QLatin1Char('\n'));
            ASSERT_EQ(lines.size(), 3) << w.Label3->text().toStdString();
            EXPECT_EQ(lines[0], QStringLiteral("*.zp path:"));
            EXPECT_EQ(lines[2], QStringLiteral("(zmpe version)"));
            ExpectCutInTheMiddle(lines[1], path, w.Label3->fontMetrics(), w.Label3->width());
            EXPECT_EQ(w.Label3->toolTip().toStdString(), path);
            dialogs.files.push_back(other);
            QTest::mouseClick(w.BtnChangeZp, Qt::LeftButton);
        }
        QTest::mouseClick(w.BtnCancel, Qt::LeftButton);
    });
    Trigger("MMapProperties");
    EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace zorvane::testing
