// The "Project Properties" window driven by clicks: changing the tile set.

#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <functional>

#include "editor/properties_window.h"
#include "editor_fixture.h"
#include "model/creatures.h"
#include "model/map_file.h"
#include "platform/file_io.h"

namespace zorvane::testing {
namespace {

class PropertiesWindowTest : public EditorTest {
protected:
    // Opens a 10 x 10 map (14 x 14 with borders) over a tile set of three
    // bitmaps through "Open *.zm".
    void OpenMap() {
        Project p;
        SilentUi silent;
        p.MapWidth = p.MapHeight = 14;
        p.ZpPath = MakeTileSet("terrain.zp", 3);
        p.Multiplayer = 1;
        ResetCreatures(p, silent);
        for (int i = 0; i < 14 * 14; ++i) p.FlatSquares.push_back(MapSquare{static_cast<std::uint16_t>(i % 3), NoBitmap, 0});
        const std::string path = dir.file("lake.zm");
        WriteBytes(path, EncodeZM(p, TileSetVariant::Zmpe));
        dialogs.files.push_back(path);
        Trigger("MOpenZM");
        ASSERT_EQ(Panel(6), "used tiles = 196");
    }

    // Opens the window, chooses `zp` with "Change *.zp path", answers OK to
    // the compatibility question and presses "Apply"; then `after` runs
    // while the window is still up, and "Cancel" closes it if Apply did not.
    void ApplyTileSet(const std::string& zp, const std::function<void(editor::MapPropertiesWindow&)>& after) {
        bool ran = false;
        WhenModal([&] {
            auto& w = window.propertiesWindow();
            ran = w.isVisible();
            dialogs.files.push_back(zp);
            QTest::mouseClick(w.BtnChangeZp, Qt::LeftButton);
            dialogs.answers.push_back(Answer::Ok);
            w.SEsizeX->setValue(30);
            QTest::mouseClick(w.BtnApply, Qt::LeftButton);
            after(w);
            if (w.isVisible()) QTest::mouseClick(w.BtnCancel, Qt::LeftButton);
        });
        Trigger("MMapProperties");
        EXPECT_TRUE(ran);
    }
};

TEST_F(PropertiesWindowTest, ADamagedTileSetIsRefusedAndTheMapStays) {
    OpenMap();
    const std::string oldZp = window.project().ZpPath;
    const std::string bad = dir.file("damaged.zp");
    const auto whole = ReadWholeFile(MakeTileSet("whole.zp", 5));
    WriteBytes(bad, std::vector<std::uint8_t>(whole.begin(), whole.begin() + 2000));

    ApplyTileSet(bad, [&](editor::MapPropertiesWindow& w) {
        EXPECT_TRUE(w.isVisible()) << "the window stays open for another choice";
        EXPECT_EQ(w.Label3->toolTip().toStdString(), bad) << "the chosen path is shown";
    });
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_EQ(dialogs.messages.back().caption, "Error");
    EXPECT_EQ(dialogs.messages.back().text.rfind("Could not open " + bad, 0), 0u) << dialogs.messages.back().text;
    const Project& p = window.project();
    EXPECT_FALSE(p.NoProject);
    EXPECT_EQ(p.UsedTiles.size(), 196u);
    EXPECT_EQ(p.MapWidth, 14);
    EXPECT_EQ(p.BitmapCount, 3);
    EXPECT_EQ(p.ZpPath, oldZp);
    EXPECT_EQ(CreaturesCount(p), 1);
    EXPECT_EQ(Panel(6), "used tiles = 196");

    // A whole tile set is then taken with the rest of the window's values.
    const std::string good = MakeTileSet("other.zp", 5);
    ApplyTileSet(good, [](editor::MapPropertiesWindow& w) { EXPECT_FALSE(w.isVisible()); });
    EXPECT_EQ(window.project().ZpPath, good);
    EXPECT_EQ(window.project().BitmapCount, 5);
    EXPECT_EQ(window.project().MapWidth, 34);
    EXPECT_EQ(window.project().UsedTiles.size(), 196u);
}

}  // namespace
}  // namespace zorvane::testing
