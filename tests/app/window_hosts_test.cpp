// The windows below the main window work through their narrow interfaces
// alone: the tile editor and the statistics window driven with stand-ins
// for their owner that record what the windows ask of it.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <utility>

#include "builders.h"
#include "fake_ui.h"
#include "generator/generator.h"
#include "monitor/stats_window.h"
#include "tile_editor/layer_bmp.h"
#include "tile_editor/tile_edit_window.h"

namespace zorvane::testing {
namespace {

// An owner that takes keys as a widget does and keeps the project.
class KeyRecordingOwner : public QWidget {
public:
    std::vector<std::pair<QEvent::Type, int>> keys;

protected:
    void keyPressEvent(QKeyEvent* e) override { keys.emplace_back(e->type(), e->key()); }
    void keyReleaseEvent(QKeyEvent* e) override { keys.emplace_back(e->type(), e->key()); }
};

class FakeTileEditorOwner : public KeyRecordingOwner, public editor::TileEditorHost {
public:
    QWidget& Widget() override { return *this; }
    Project& project() override { return project_; }
    EditCommands& commands() override { return commands_; }
    UserInterface& ui() override { return ui_; }
    void Guarded(const std::function<void()>& command) override { command(); }
    bool TakesKeys() const override { return takesKeys; }
    int SelectedTile() const override { return selected; }
    void SelectTile(int index) override {
        selected = index;
        selections.push_back(index);
    }
    void ShowChangedTiles(int first, int last) override { shown.emplace_back(first, last); }
    void PrepareBitmapsPx() override { ++bitmapsPrepared; }
    void FullRedraw() override { ++fullRedraws; }
    void LongOperationEnded() override { ++longOperationsEnded; }

    Document document_;
    Project& project_ = document_.project();
    FakeUi ui_;
    EditState editState_;
    EditCommands commands_{document_, editState_, ui_};
    bool takesKeys = true;
    int selected = -1;
    std::vector<int> selections;
    std::vector<std::pair<int, int>> shown;
    int bitmapsPrepared = 0, fullRedraws = 0, longOperationsEnded = 0;
};

TEST(WindowHosts, TheTileEditorAppliesThroughItsOwnerAndPassesKeysWhileTheyAreTaken) {
    TempDir dir;
    FakeTileEditorOwner owner;
    Project& p = owner.project_;
    FillTestPalette(p);
    for (int i = 0; i < 12; ++i) p.AddBitmap(FilledBitmap(static_cast<std::uint8_t>(i + 1)).data());
    p.NewTiles.push_back(MakeTile(1, 1, 0, 0, 0));
    p.NoProject = false;
    owner.selected = 0;
    LayerImage picture;
    picture.Reset(64, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x) picture.At(x, y) = static_cast<std::uint8_t>(x < 32 ? 30 : 31);
    const std::string ground = dir.file("ground.bmp"), exported = dir.file("Żółw");
    editor::WriteLayerBmp(picture, EditorPaletteOf(p), ground);

    editor::TileEditWindow editor(owner);
    bool ran = false;
    QTimer::singleShot(0, [&] {
        ran = true;
        owner.ui_.files = {ground, exported};
        QTest::mouseClick(editor.BtnAddGnd, Qt::LeftButton);
        QTest::mouseClick(editor.BtnExpGnd, Qt::LeftButton);
        QTest::keyClick(editor.BtnSave, Qt::Key_Control);
        owner.takesKeys = false;
        QTest::keyClick(editor.BtnSave, Qt::Key_Shift);
        QTest::mouseClick(editor.BtnSave, Qt::LeftButton);
    });
    editor.Execute(TileEditMode::New, -1);
    ASSERT_TRUE(ran);

    ASSERT_EQ(p.NewTiles.size(), 2u);
    EXPECT_EQ(p.NewTiles[1]->Width, 2);
    EXPECT_EQ(owner.shown, (std::vector<std::pair<int, int>>{{1, 1}})) << "only the new entry is shown again";
    EXPECT_EQ(owner.selections, std::vector<int>{0}) << "the selected entry stays selected";
    EXPECT_EQ(owner.bitmapsPrepared, 1);
    EXPECT_EQ(owner.fullRedraws, 0) << "the palette stayed";
    EXPECT_EQ(owner.document_.history().UndoName(), "Apply tile");
    EXPECT_EQ(owner.longOperationsEnded, 1);
    EXPECT_EQ(owner.keys, (std::vector<std::pair<QEvent::Type, int>>{{QEvent::KeyPress, Qt::Key_Control},
                                                                      {QEvent::KeyRelease, Qt::Key_Control}}));
    // The exported name got its extension, its characters kept.
    const LoadedPicture back = editor::ReadLayerBmp(dir.file("Żółw.bmp"));
    EXPECT_EQ(back.Image.At(40, 5), 31);
}

class FakeStatsOwner : public QWidget, public editor::StatsWindowHost {
public:
    QWidget& Widget() override { return *this; }
    double Ppi() const override { return 96.0; }
    const Project& project() const override { return project_; }
    void PassKey(const QKeyEvent& key) override { keys.emplace_back(key.type(), key.key()); }

    Project project_;
    std::vector<std::pair<QEvent::Type, int>> keys;
};

TEST(WindowHosts, TheStatisticsWindowBelongsToItsOwnerAndHandsItsKeysOn) {
    FakeStatsOwner owner;
    owner.setGeometry(40, 40, 300, 200);
    owner.show();
    MapGenerator generator;
    MapGenerationEngine engine(generator);
    editor::StatsWindow stats(owner, engine);
    stats.show();
    QApplication::processEvents();
    EXPECT_EQ(stats.parentWidget(), &owner) << "it stays above its owner";
    QTest::keyClick(&stats, Qt::Key_Escape);
    EXPECT_EQ(owner.keys, (std::vector<std::pair<QEvent::Type, int>>{{QEvent::KeyPress, Qt::Key_Escape},
                                                                     {QEvent::KeyRelease, Qt::Key_Escape}}));
}

}  // namespace
}  // namespace zorvane::testing
