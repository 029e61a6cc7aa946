// Crash recovery in the editor: an editor killed after edits leaves a copy
// that the next start offers and restores; "Keep for later", "Discard" and a
// damaged copy; writing a copy changes nothing and a failing one says so
// once; a long operation takes a copy first.
//
// Every case points XDG_DATA_HOME at a folder of its own, so the user's data
// folder is never touched.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>
#include <filesystem>
#include <iostream>

#include "commands/recovery.h"
#include "editor/recovery_guard.h"
#include "map_edit_fixture.h"
#include "model/layered_file.h"
#include "platform/app_data.h"

namespace zorvane::testing {
namespace {

constexpr const char* ChildSwitch = "ZORVANE_RECOVERY_CHILD";
constexpr const char* ExpectedFile = "ZORVANE_RECOVERY_EXPECTED";
constexpr const char* WrittenLine = "recovery copy written";

// XDG_DATA_HOME for the lifetime of the object.
class DataHome {
public:
    explicit DataHome(const std::string& folder)
        : had_(qEnvironmentVariableIsSet("XDG_DATA_HOME")), old_(qgetenv("XDG_DATA_HOME")) {
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(folder));
    }
    ~DataHome() {
        if (had_)
            qputenv("XDG_DATA_HOME", old_);
        else
            qunsetenv("XDG_DATA_HOME");
    }
    DataHome(const DataHome&) = delete;
    DataHome& operator=(const DataHome&) = delete;

private:
    bool had_;
    QByteArray old_;
};

class RecoveryGuiTest : public MapEditTest {
protected:
    // Five tiles in a row, opened from "row.zl"; then two of them deleted
    // and one dragged, with the mouse and the keyboard.
    void EditARow() {
        for (int k = 0; k < 5; ++k) Add(1, 1, 2 + k, 3, static_cast<std::uint16_t>(k));
        Refresh();
        window.ProjectOpened(dir.file("row.zl"));
        Click(3, 3);
        Click(5, 3);
        QTest::keyClick(view, Qt::Key_Delete);
        Click(2, 3);
        QTest::keyPress(view, Qt::Key_Control);
        Press(2, 3);
        QTest::keyRelease(view, Qt::Key_Control);
        for (int row = 4; row <= 7; ++row) MoveTo(2 + row % 2, row);
        Click(3, 7);
        ASSERT_EQ(Order(), std::vector<int>({0, 2, 4}));
        ASSERT_EQ(Tile(0).Y, 7) << "the drag moved the first tile";
    }
    std::string Title() const { return window.windowTitle().toStdString(); }
    static std::vector<RecoveryCopy> Copies() {
        return FindRecoveryCopies(AppDataFolder(AppDataFolderUse::Find));
    }
};

// Run only as the child of AKilledEditorsChangesAreOfferedAndRestored: edits,
// writes what it made to $ZORVANE_RECOVERY_EXPECTED, says when a copy is
// written and goes on until it is killed.
TEST_F(RecoveryGuiTest, ChildEditsUntilKilled) {
    if (!qEnvironmentVariableIsSet(ChildSwitch)) GTEST_SKIP() << "started by AKilledEditorsChangesAreOfferedAndRestored";
    EditARow();
    WriteBytes(qEnvironmentVariable(ExpectedFile).toStdString(), EncodeZL(window.project()));
    editor::RecoveryGuard guard(window, {.Interval = std::chrono::milliseconds(20)});
    guard.CopyWritten = [] { std::cout << WrittenLine << std::endl; };
    for (;;) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
}

TEST_F(RecoveryGuiTest, AKilledEditorsChangesAreOfferedAndRestored) {
    TempDir data;
    DataHome home(data.path().string());
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(ChildSwitch, "1");
    environment.insert(ExpectedFile, QString::fromStdString(data.file("expected.zl")));
    environment.insert("XDG_DATA_HOME", QString::fromStdString(data.path().string()));
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=RecoveryGuiTest.ChildEditsUntilKilled")});
    ASSERT_TRUE(child.waitForStarted());
    QByteArray out;
    // A bound only against a child that hangs, far beyond what it needs.
    const QDeadlineTimer bound(std::chrono::minutes(5));
    while (!out.contains(WrittenLine) && child.state() == QProcess::Running && !bound.hasExpired())
        if (child.waitForReadyRead(1000)) out += child.readAllStandardOutput();
    ASSERT_TRUE(out.contains(WrittenLine)) << out.toStdString() << child.readAllStandardError().toStdString();
    const qint64 childPid = child.processId();
    child.kill();
    ASSERT_TRUE(child.waitForFinished());
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::temp_directory_path()))
        if (entry.path().filename().string().starts_with("zorvane-test-" + std::to_string(childPid) + "-"))
            std::filesystem::remove_all(entry.path());  // the killed child's own folder

    ASSERT_EQ(Copies().size(), 1u);
    editor::RecoveryGuard guard(window);
    dialogs.answers = {Answer::Open};
    guard.OfferAtStart();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].buttons, Buttons::OpenKeepDiscard);
    EXPECT_NE(dialogs.messages[0].text.find("row.zl"), std::string::npos) << "the offer names the file";
    EXPECT_TRUE(EncodeZL(window.project()) == ReadWholeFile(data.file("expected.zl")))
        << "the map is the one the killed editor had made";
    EXPECT_EQ(Panel(6), "used tiles = 3");
    EXPECT_EQ(Pixel(3, 7), Plain(0)) << "the view shows the dragged tile";
    EXPECT_EQ(Pixel(3, 3), 0u) << "and not the deleted one";
    EXPECT_TRUE(window.ModifiedProject());
    EXPECT_FALSE(window.Action("MUndo")->isEnabled()) << "the history starts at the recovered project";
    EXPECT_EQ(std::filesystem::path(window.CurrentFile()).filename().string(), "row.zl");
    EXPECT_EQ(Title(), "row.zl* - Zorvane Terrain Editor");
    EXPECT_EQ(Copies().size(), 1u) << "kept until a clean exit";

    dialogs.answers = {Answer::Discard};
    window.close();
    ASSERT_FALSE(window.isVisible());
    EXPECT_EQ(dialogs.messages.back().buttons, Buttons::SaveDiscardCancel);
    guard.CleanExit();
    EXPECT_TRUE(Copies().empty());
}

TEST_F(RecoveryGuiTest, WritingACopyChangesNothingAndTheNextStartMayKeepOrDiscardIt) {
    TempDir data;
    DataHome home(data.path().string());
    EditARow();
    editor::RecoveryGuard writer(window);
    const auto steps = window.history().StepCount();
    const std::string title = Title(), file = window.CurrentFile();
    const auto before = EncodeZL(window.project());
    ASSERT_TRUE(writer.Checkpoint());
    EXPECT_EQ(window.history().StepCount(), steps);
    EXPECT_EQ(Title(), title);
    EXPECT_EQ(window.CurrentFile(), file);
    EXPECT_TRUE(window.ModifiedProject());
    EXPECT_TRUE(EncodeZL(window.project()) == before);
    ASSERT_EQ(Copies().size(), 1u);

    // The next start, keeping the copy for later, then meeting it damaged.
    editor::MainWindow next(false);
    ScriptedDialogs asked;
    next.ui().setAnswerer(&asked);
    editor::RecoveryGuard offer(next);
    asked.answers = {Answer::Keep};
    offer.OfferAtStart();
    EXPECT_TRUE(next.project().UsedTiles.empty());
    EXPECT_FALSE(next.ModifiedProject());
    EXPECT_EQ(Copies().size(), 1u) << "kept for later";
    auto layered = ReadWholeFile(Copies()[0].ProjectPath);
    layered[layered.size() / 2] ^= 0x5A;
    WriteBytes(Copies()[0].ProjectPath, layered);
    asked.answers = {Answer::Open, Answer::No};
    offer.OfferAtStart();
    ASSERT_EQ(asked.messages.size(), 3u);
    EXPECT_EQ(asked.messages[2].icon, Icon::Error);
    EXPECT_NE(asked.messages[2].text.find(" is damaged: "), std::string::npos) << asked.messages[2].text;
    EXPECT_TRUE(next.project().UsedTiles.empty());
    EXPECT_EQ(Copies().size(), 1u) << "not discarded unasked";
    asked.answers = {Answer::Open, Answer::Yes};
    offer.OfferAtStart();
    EXPECT_TRUE(Copies().empty());

    ASSERT_TRUE(writer.Checkpoint());
    asked.answers = {Answer::Discard};
    offer.OfferAtStart();
    EXPECT_TRUE(Copies().empty());
    EXPECT_TRUE(next.project().UsedTiles.empty());
}

TEST_F(RecoveryGuiTest, AFailingCopySaysSoOnceInTheStatusBar) {
    TempDir data;
    WriteBytes(data.file("blocked"), {1});  // a file where the data folder would go
    DataHome home(data.file("blocked"));
    EditARow();
    editor::RecoveryGuard guard(window);
    EXPECT_FALSE(guard.Checkpoint());
    EXPECT_EQ(Panel(0).rfind("The recovery copy could not be written: ", 0), 0u) << Panel(0);
    window.SetPanel(0, QStringLiteral("working"));
    EXPECT_FALSE(guard.Checkpoint());
    EXPECT_EQ(Panel(0), "working") << "told once";
    EXPECT_TRUE(dialogs.messages.empty()) << "no box";
    EXPECT_TRUE(window.ModifiedProject());
}

TEST_F(RecoveryGuiTest, LongOperationsTakeACopyBeforeTheyRun) {
    TempDir data;
    DataHome home(data.path().string());
    EditARow();
    editor::RecoveryGuard guard(window);
    ASSERT_TRUE(Copies().empty());
    Trigger("MMergeZp");  // its file dialog cancelled
    ASSERT_EQ(Copies().size(), 1u);
    EXPECT_TRUE(ReadRecoveryCopy(Copies()[0]).OriginalFile == dir.file("row.zl"));
    RemoveRecoveryCopy(Copies()[0]);

    dialogs.answers = {Answer::Cancel};
    Trigger("MGenerateMap");
    EXPECT_TRUE(Copies().empty()) << "nothing is taken when the user declines";
    dialogs.answers = {Answer::Ok};
    Trigger("MGenerateMap");
    EXPECT_EQ(Copies().size(), 1u);
}

}  // namespace
}  // namespace zorvane::testing
