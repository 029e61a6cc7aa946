// "Generate Map" from the main window as a user gives it: the question, the
// run with the window locked but responsive, Esc, and the result edited,
// saved and exported at once.

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "editor_fixture.h"
#include "generator/driver/generation.h"
#include "generator/generator_settings.h"
#include "generator/learned_copy.h"
#include "generator/map_check.h"
#include "monitor/stats_window.h"
#include "model/layered_file.h"
#include "model/project.h"
#include "samples/samples.h"

namespace zorvane::testing {
namespace {

class GenerateMapTest : public EditorTest {
protected:
    GenerateMapTest() {
        window.activateWindow();
        (void)QTest::qWaitForWindowActive(&window);
        view = window.findChild<QWidget*>(QStringLiteral("ImgRender"));
    }

    generator_ui::GeneratorSettingsWindow& Gen() { return window.generatorSettingsWindow(); }

    // Learns the sample maps and sets the size of the map to generate.
    void LearnSamples(int size) {
        samples::WriteSampleFiles(samples::BuildSampleFiles(dir.file("samples"), 3));
        const std::string zmpe = dir.file("samples") + "/zmpe/";
        for (const char* map : {"meadow.zm", "village.zm", "lakes.zm"})
            Gen().settings().LearnList.push_back({zmpe + map, 1, false});
        Gen().BtnLearnClick();
        ASSERT_TRUE(Gen().generator().Ready()) << window.ui().status();
        Gen().settings().WidthWithoutBorders = Gen().settings().HeightWithoutBorders = size;
        Gen().settings().WorkerThreads = 1;
        Gen().ShowSettings();
        dialogs.messages.clear();
    }

    // Learns the sample maps as a user does: the settings window opened
    // from the menu, Learn pressed, the window closed. Returns the folder of
    // the sample maps.
    std::string LearnThroughTheWindow(int size) {
        samples::WriteSampleFiles(samples::BuildSampleFiles(dir.file("samples"), 3));
        const std::string zmpe = dir.file("samples") + "/zmpe/";
        for (const char* map : {"meadow.zm", "village.zm", "lakes.zm"})
            Gen().settings().LearnList.push_back({zmpe + map, 1, false});
        Gen().settings().WidthWithoutBorders = Gen().settings().HeightWithoutBorders = size;
        Gen().settings().WorkerThreads = 1;
        WhenModal([this] {
            QTest::mouseClick(Gen().BtnLearn, Qt::LeftButton);
            QTest::mouseClick(Gen().BtnClose, Qt::LeftButton);
        });
        Trigger("MGeneratorSettings");
        return zmpe;
    }
    // A key to the main window, active again after a modal window.
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        window.activateWindow();
        (void)QTest::qWaitForWindowActive(&window);
        QTest::keyClick(&window, key, modifiers);
        QApplication::processEvents();
    }
    std::string Title() const { return window.windowTitle().toStdString(); }

    // Calls `step` from within the run, once the new map is in the project
    // and the controller takes input again; it returns true when done.
    void DuringRun(std::function<bool()> step) {
        auto* timer = new QTimer(&window);
        QObject::connect(timer, &QTimer::timeout, [this, timer, step] {
            const int side = Gen().settings().WidthWithoutBorders + 4;
            if (!window.GenerationRunning() || !window.controller().Enabled ||
                window.project().UsedTiles.size() != std::size_t(side) * side)
                return;
            if (step()) timer->deleteLater();
        });
        timer->start(1);
    }

    // The mouse moves to the point first, as a real one does: a press acts
    // where the last movement left it.
    void ClickView(QPoint p) {
        QTest::mouseMove(view, p + QPoint(1, 0));
        QTest::mouseMove(view, p);
        QTest::mouseClick(view, Qt::LeftButton, {}, p);
    }

    void PressCtrlG() {
        QTest::keyClick(&window, Qt::Key_G, Qt::ControlModifier);
        QApplication::processEvents();
    }

    // Map squares with a ground bitmap.
    int PaintedSquares() const {
        int n = 0;
        for (const auto& t : window.project().UsedTiles) n += t->SqAt(0, 0).Gnd != NoBitmap;
        return n;
    }

    QWidget* view = nullptr;
};

TEST_F(GenerateMapTest, GeneratesFromTheMenuWhileTheMapStaysOutOfReach) {
    LearnSamples(12);
    window.project().NoProject = false;  // a project is open: the question comes first
    dialogs.answers = {Answer::Cancel};
    PressCtrlG();
    EXPECT_TRUE(dialogs.Saw("Warning", "This operation will close or overwrite the current project!"));
    EXPECT_TRUE(window.project().UsedTiles.empty()) << "Cancel ends the command";

    bool checked = false;
    DuringRun([&] {
        checked = true;
        EXPECT_FALSE(window.Action("MOpenZL")->isEnabled());
        EXPECT_FALSE(window.Action("MGeneratorSettings")->isEnabled());
        EXPECT_TRUE(window.Action("MUpdateDisplay")->isEnabled());
        ClickView(QPoint(100, 100));
        QTest::keyClick(view, Qt::Key_Delete);
        EXPECT_TRUE(window.project().Selection.empty()) << "a click does not select under the run";
        return true;
    });
    window.document().Opened("");  // the history starts here, after learning
    window.ProjectOpened();
    const auto before = EncodeZL(window.project());
    dialogs.answers = {Answer::Ok};
    PressCtrlG();
    EXPECT_TRUE(checked);
    EXPECT_FALSE(window.GenerationRunning());
    EXPECT_EQ(window.project().MapWidth, 16);
    EXPECT_EQ(PaintedSquares(), 12 * 12);
    EXPECT_EQ(Panel(0).rfind("Map generated in ", 0), 0u) << Panel(0);
    EXPECT_NE(window.renderer().Picture().pixel(2 * 32 + 16, 2 * 32 + 16) & 0xFFFFFF, 0u) << "the view shows it";

    // The whole run is one undo step: undone, the project is as before the
    // run; redone, the generated map is back in the view.
    const auto generated = EncodeZL(window.project());
    EXPECT_EQ(window.Action("MUndo")->text(), "Undo Generate map");
    Trigger("MUndo");
    EXPECT_TRUE(EncodeZL(window.project()) == before);
    EXPECT_EQ(PaintedSquares(), 0);
    Trigger("MRedo");
    EXPECT_TRUE(EncodeZL(window.project()) == generated);
    EXPECT_NE(window.renderer().Picture().pixel(2 * 32 + 16, 2 * 32 + 16) & 0xFFFFFF, 0u);

    // The statistics window came up with the first run and followed it to
    // the end; Ctrl+L closes it with the menu's check mark.
    auto& stats = window.statsWindow();
    EXPECT_TRUE(stats.isVisible());
    EXPECT_EQ(stats.Value(editor::StatsLine::Percent)->text(), "100%");
    window.activateWindow();
    QTest::keyClick(&window, Qt::Key_L, Qt::ControlModifier);
    EXPECT_FALSE(stats.isVisible());
    EXPECT_FALSE(window.Action("MStatsWindow")->isChecked());

    // The map is the user's at once: editable, savable, exportable.
    EXPECT_TRUE(window.Action("MOpenZL")->isEnabled());
    ClickView(QPoint(3 * 32 + 5, 3 * 32 + 5));
    EXPECT_EQ(window.project().Selection.size(), 1u);
    dialogs.files = {dir.file("generated.zl")};
    Trigger("MSaveZL");
    EXPECT_TRUE(FileExists(dir.file("generated.zl"))) << Panel(0);
    dialogs.files = {dir.file("generated.zm"), dir.file("generated.zp")};
    Trigger("MExport_o");
    EXPECT_TRUE(FileExists(dir.file("generated.zm"))) << Panel(0);
}

TEST_F(GenerateMapTest, EscInTheViewStopsALongRunWithTheRowsMadeSoFar) {
    LearnSamples(202);
    int rowsBeforeEsc = 0;
    DuringRun([&] {
        if (PaintedSquares() < 3 * 202) return false;  // a few rows made
        rowsBeforeEsc = PaintedSquares() / 202;
        EXPECT_NE(window.renderer().Picture().pixel(2 * 32 + 16, 2 * 32 + 16) & 0xFFFFFF, 0u)
            << "Update Display draws rows as they are made";
        QTest::keyClick(view, Qt::Key_Escape);
        return true;
    });
    PressCtrlG();
    EXPECT_GE(rowsBeforeEsc, 3);
    EXPECT_EQ(Panel(0).rfind("Map generator stopped by user. Generating time: ", 0), 0u) << Panel(0);
    EXPECT_EQ(window.project().MapWidth, 206);
    EXPECT_GE(PaintedSquares(), 202 * (rowsBeforeEsc - 1)) << "the rows made are kept";
    EXPECT_TRUE(window.controller().Enabled);
    EXPECT_TRUE(window.Action("MGenerateMap")->isEnabled());
}

TEST_F(GenerateMapTest, ClosingTheWindowStopsTheRunThenCloses) {
    LearnSamples(202);
    DuringRun([&] {
        dialogs.answers = {Answer::Discard};  // the map made so far is discarded
        window.close();
        EXPECT_TRUE(window.isVisible()) << "the run is on the stack: it ends first";
        return true;
    });
    PressCtrlG();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(Panel(0).rfind("Map generator stopped by user.", 0), 0u) << Panel(0);
    EXPECT_EQ(dialogs.messages.back().caption, "Unsaved changes");
}

// Learning is one step of the history together with what it learned:
// undone, the tile set, the learned data and the status line go back, and
// Generate Map has nothing to work from; redone, all of it comes again and
// a map is generated from it.
TEST_F(GenerateMapTest, UndoOfLearningTakesTheLearnedDataBackAndRedoBringsItAgain) {
    LearnThroughTheWindow(12);
    MapGenerator& generator = Gen().generator();
    ASSERT_TRUE(generator.Ready()) << Panel(0);
    const LearnedCopy learned = CopyOf(generator);
    const QString summary = Gen().Lstatus->text();
    const int bitmaps = window.project().BitmapCount;
    ASSERT_GT(bitmaps, 0);
    EXPECT_EQ(window.Action("MUndo")->text(), "Undo Learning");

    Key(Qt::Key_Z);
    EXPECT_FALSE(generator.Ready());
    EXPECT_EQ(generator.SquareCount(), 0);
    EXPECT_FALSE(window.GeneratorHasData()) << "nothing for the close question to protect";
    EXPECT_EQ(Gen().Lstatus->text(), QString()) << "the status line of before the learning";
    EXPECT_EQ(window.project().BitmapCount, 0);
    Key(Qt::Key_G);
    EXPECT_TRUE(dialogs.Saw("Information", NotReadyText));
    EXPECT_TRUE(window.project().UsedTiles.empty()) << "no map from squares of a tile set that is gone";

    Key(Qt::Key_Y);
    EXPECT_TRUE(generator.Ready());
    EXPECT_TRUE(Holds(generator, learned));
    EXPECT_EQ(generator.JoinsCount, learned.JoinsCount);
    EXPECT_EQ(Gen().Lstatus->text(), summary);
    EXPECT_EQ(window.project().BitmapCount, bitmaps);
    dialogs.answers = {Answer::Ok};  // the open project may be overwritten
    Key(Qt::Key_G);
    EXPECT_EQ(PaintedSquares(), 12 * 12) << "generated from the learned data brought back";

    // Back to the start and forward again through both steps.
    Key(Qt::Key_Z);
    Key(Qt::Key_Z);
    EXPECT_EQ(generator.SquareCount(), 0);
    Key(Qt::Key_Y);
    Key(Qt::Key_Y);
    EXPECT_TRUE(Holds(generator, learned));
    EXPECT_EQ(PaintedSquares(), 12 * 12);
}

// A generated map is a new project of no file: the title and the question
// before closing name no file, and Save asks for one. Undone, the map that
// was open comes back under its name; redone, the generated map has none.
TEST_F(GenerateMapTest, AGeneratedMapIsANewProjectOfNoFile) {
    samples::WriteSampleFiles(samples::BuildSampleFiles(dir.file("samples"), 3));
    ASSERT_TRUE(window.OpenFile(dir.file("samples") + "/zmpe/village.zm"));
    dialogs.answers = {Answer::Ok};  // learning may affect the open project
    LearnThroughTheWindow(12);
    ASSERT_TRUE(Gen().generator().Ready()) << Panel(0);
    EXPECT_EQ(Title(), "village.zm* - Zorvane Terrain Editor");

    dialogs.answers = {Answer::Ok};
    Key(Qt::Key_G);
    ASSERT_EQ(PaintedSquares(), 12 * 12);
    EXPECT_EQ(Title(), "Untitled* - Zorvane Terrain Editor");
    dialogs.answers = {Answer::Cancel};
    window.close();
    ASSERT_TRUE(window.isVisible());
    EXPECT_EQ(dialogs.messages.back().caption, "Unsaved changes");
    EXPECT_EQ(dialogs.messages.back().text.find("village"), std::string::npos) << dialogs.messages.back().text;

    Key(Qt::Key_Z);
    EXPECT_EQ(Title(), "village.zm* - Zorvane Terrain Editor") << "the open map and its name";
    Key(Qt::Key_Y);
    EXPECT_EQ(Title(), "Untitled* - Zorvane Terrain Editor");

    const std::size_t asked = dialogs.dialogs.size();
    dialogs.files = {dir.file("made.zl")};
    Key(Qt::Key_S);
    EXPECT_EQ(dialogs.dialogs.size(), asked + 1) << "Save asked for a name";
    EXPECT_TRUE(FileExists(dir.file("made.zl")));
    EXPECT_EQ(Title(), "made.zl - Zorvane Terrain Editor");
    Key(Qt::Key_Z);
    EXPECT_EQ(Title(), "village.zm* - Zorvane Terrain Editor") << "the save named only the generated map";
}

}  // namespace
}  // namespace zorvane::testing

namespace zorvane::testing {
namespace {

// "Generate in Selection" on a generated map: the rectangle around two
// clicked tiles is made anew, the rest stays, and it is one undo step.
TEST_F(GenerateMapTest, GeneratesInTheSelectionAsOneUndoStep) {
    LearnSamples(20);
    PressCtrlG();
    ASSERT_EQ(PaintedSquares(), 20 * 20);
    Key(Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_FALSE(dialogs.messages.empty()) << "nothing selected: the user is told";
    EXPECT_EQ(dialogs.messages.back().caption, "Generate in Selection");

    const auto before = VisibleSquares(window.project());
    const int w = window.project().MapWidth;
    ClickView(QPoint(5 * 32 + 16, 5 * 32 + 16));
    ClickView(QPoint(12 * 32 + 16, 10 * 32 + 16));
    ASSERT_EQ(window.project().Selection.size(), 2u);
    Key(Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier);
    const auto after = VisibleSquares(window.project());
    int changed = 0;
    for (std::size_t i = 0; i < after.size(); ++i) {
        const int x = static_cast<int>(i) % w, y = static_cast<int>(i) / w;
        if (x >= 5 && x <= 12 && y >= 5 && y <= 10) {
            changed += !(after[i] == before[i]);
            continue;
        }
        ASSERT_EQ(after[i], before[i]) << x << "," << y;
    }
    EXPECT_GT(changed, 0);
    EXPECT_FALSE(FirstJoinViolation(window.project(), Gen().generator()));
    EXPECT_EQ(window.Action("MUndo")->text(), "Undo Generate in selection");
    Trigger("MUndo");
    EXPECT_EQ(VisibleSquares(window.project()), before);
    Trigger("MRedo");
    EXPECT_EQ(VisibleSquares(window.project()), after);
}

}  // namespace
}  // namespace zorvane::testing
