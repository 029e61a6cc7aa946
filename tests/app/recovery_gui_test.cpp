// Crash recovery in the editor: an editor killed after edits leaves a copy
// that the next start offers and restores, and one killed at a random moment
// of its work loses no more than ten seconds of it; the copy follows the
// edits, never in the middle of a drag; "Keep for later", "Discard" and a
// damaged copy; writing a copy changes nothing and a failing one says so
// once; a long operation takes a copy as it starts and as it ends.
//
// Every case points XDG_DATA_HOME at a folder of its own, so the user's data
// folder is never touched.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <filesystem>
#include <iostream>
#include <map>
#include <random>

#include "commands/recovery.h"
#include "editor/recovery_guard.h"
#include "generator/generator_settings.h"
#include "map_edit_fixture.h"
#include "model/layered_file.h"
#include "platform/app_data.h"
#include "samples/samples.h"

namespace zorvane::testing {
namespace {

constexpr const char* ChildSwitch = "ZORVANE_RECOVERY_CHILD";
constexpr const char* StatesFolder = "ZORVANE_RECOVERY_STATES";
constexpr const char* EditCount = "ZORVANE_RECOVERY_EDITS";
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
        window.document().Opened(dir.file("row.zl"));
        window.ProjectOpened();
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
    // Ctrl-drags the selected first tile to (x, y).
    void DragFirstTileTo(int x, int y) {
        ClickWith(Qt::Key_Control, Tile(0).X, Tile(0).Y);
        MoveTo(x, y);
        Click(x, y);
    }
    std::string Title() const { return window.windowTitle().toStdString(); }
    static std::vector<RecoveryCopy> Copies() {
        return FindRecoveryCopies(AppDataFolder(AppDataFolderUse::Find));
    }
    // The copies in the data folder, also those of an editor that runs.
    static std::vector<RecoveryCopy> AllCopies() {
        std::vector<RecoveryCopy> copies;
        const std::string folder = AppDataFolder(AppDataFolderUse::Find);
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
            if (entry.path().extension() == ".zlr")
                copies.push_back(RecoveryCopyNamed(folder, entry.path().stem().string().substr(9)));
        return copies;
    }
    static std::vector<std::uint8_t> OnlyCopy() {
        const auto copies = AllCopies();
        EXPECT_EQ(copies.size(), 1u);
        return copies.empty() ? std::vector<std::uint8_t>() : EncodeZL(ReadRecoveryCopy(copies[0]).Restored);
    }
    static void Spin(std::chrono::milliseconds time) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < time.count()) {
            QCoreApplication::processEvents();
            QThread::msleep(2);
        }
    }

    // An editor process of this program that edits and goes on until it is
    // killed (ChildEditsUntilKilled).
    struct ChildEditor {
        QProcess Process;
        qint64 Id = 0;
        QByteArray Out;
        QElapsedTimer Clock;  // started with the child
        // The time each state was announced, by its number.
        std::map<int, qint64> StateTimes;
    };
    void StartChild(ChildEditor& child, const TempDir& data, int edits) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(ChildSwitch, "1");
        environment.insert(StatesFolder, QString::fromStdString(data.path().string()));
        environment.insert(EditCount, QString::number(edits));
        environment.insert("XDG_DATA_HOME", QString::fromStdString(data.path().string()));
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        child.Process.setProcessEnvironment(environment);
        child.Process.start(QCoreApplication::applicationFilePath(),
                            {QStringLiteral("--gtest_filter=RecoveryGuiTest.ChildEditsUntilKilled")});
        ASSERT_TRUE(child.Process.waitForStarted());
        child.Id = child.Process.processId();
        child.Clock.start();
    }
    // Reads what the child says until `done` holds of it.
    static void ReadChild(ChildEditor& child, const std::function<bool()>& done) {
        // A bound only against a child that hangs, far beyond what it needs.
        const QDeadlineTimer bound(std::chrono::minutes(5));
        while (!done() && child.Process.state() == QProcess::Running && !bound.hasExpired()) {
            if (!child.Process.waitForReadyRead(20)) continue;
            child.Out += child.Process.readAllStandardOutput();
            for (const QByteArray& line : child.Out.split('\n'))
                if (line.startsWith("state ")) child.StateTimes.try_emplace(line.mid(6).toInt(), child.Clock.elapsed());
        }
    }
    static void Kill(ChildEditor& child) {
        child.Process.kill();
        ASSERT_TRUE(child.Process.waitForFinished());
        for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::temp_directory_path()))
            if (entry.path().filename().string().starts_with("zorvane-test-" + std::to_string(child.Id) + "-"))
                std::filesystem::remove_all(entry.path());  // the killed child's own folder
    }
};

// Run only as the child of the tests below: edits a row, then drags a tile
// every 400 ms, $ZORVANE_RECOVERY_EDITS times, writing each state k it made
// to state-k.zl in $ZORVANE_RECOVERY_STATES and saying so, says when a copy
// is written, and goes on until it is killed.
TEST_F(RecoveryGuiTest, ChildEditsUntilKilled) {
    if (!qEnvironmentVariableIsSet(ChildSwitch)) GTEST_SKIP() << "started by the tests below";
    editor::RecoveryGuard guard(window);
    guard.CopyWritten = [] { std::cout << WrittenLine << std::endl; };
    const std::string states = qEnvironmentVariable(StatesFolder).toStdString();
    const int edits = qEnvironmentVariableIntValue(EditCount);
    auto stateMade = [&](int k) {
        WriteBytes(states + "/state-" + std::to_string(k) + ".zl", EncodeZL(window.project()));
        std::cout << "state " << k << std::endl;
    };
    EditARow();
    stateMade(0);
    for (int k = 1;; ++k) {
        Spin(std::chrono::milliseconds(400));
        if (k > edits) continue;
        DragFirstTileTo(10 + k % 7, 10 + k % 5);
        stateMade(k);
    }
}

TEST_F(RecoveryGuiTest, AKilledEditorsChangesAreOfferedAndRestored) {
    TempDir data;
    DataHome home(data.path().string());
    ChildEditor child;
    StartChild(child, data, 0);
    ReadChild(child, [&] { return child.Out.contains(WrittenLine); });
    ASSERT_TRUE(child.Out.contains(WrittenLine)) << child.Out.toStdString()
                                                 << child.Process.readAllStandardError().toStdString();
    Kill(child);

    ASSERT_EQ(Copies().size(), 1u);
    editor::RecoveryGuard guard(window);
    dialogs.answers = {Answer::Open};
    guard.OfferAtStart();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].buttons, Buttons::OpenKeepDiscard);
    EXPECT_NE(dialogs.messages[0].text.find("row.zl"), std::string::npos) << "the offer names the file";
    EXPECT_TRUE(EncodeZL(window.project()) == ReadWholeFile(data.file("state-0.zl")))
        << "the map is the one the killed editor had made";
    EXPECT_EQ(Panel(6), "used tiles = 3");
    EXPECT_EQ(Pixel(3, 7), Plain(0)) << "the view shows the dragged tile";
    EXPECT_EQ(Pixel(3, 3), 0u) << "and not the deleted one";
    EXPECT_TRUE(window.ModifiedProject());
    EXPECT_FALSE(window.Action("MUndo")->isEnabled()) << "the history starts at the recovered project";
    EXPECT_EQ(std::filesystem::path(window.CurrentFile()).filename().string(), "row.zl");
    EXPECT_EQ(Title(), "row.zl* - Zorvane Terrain Editor");
    EXPECT_EQ(AllCopies().size(), 1u) << "kept until a clean exit";

    dialogs.answers = {Answer::Discard};
    window.close();
    ASSERT_FALSE(window.isVisible());
    EXPECT_EQ(dialogs.messages.back().buttons, Buttons::SaveDiscardCancel);
    guard.CleanExit();
    EXPECT_TRUE(AllCopies().empty());
}

// An editor killed at a random moment while a map maker drags tiles (and
// after the edits stopped): the next start restores a state the editor had
// made no more than ten seconds before the kill, or offers nothing when
// all its edits came within those ten seconds.
TEST_F(RecoveryGuiTest, AKillAtAnyMomentLosesAtMostTenSecondsOfEdits) {
    constexpr qint64 MostLost = 10000;
    std::mt19937 random(std::random_device{}());
    for (int round = 0; round < 3; ++round) {
        TempDir data;
        DataHome home(data.path().string());
        ChildEditor child;
        StartChild(child, data, 30);
        ReadChild(child, [&] { return !child.StateTimes.empty(); });
        ASSERT_FALSE(child.StateTimes.empty()) << child.Process.readAllStandardError().toStdString();
        // Early, in the middle, and after the edits went on for over ten seconds.
        const qint64 bands[][2] = {{300, 3000}, {3000, 9000}, {10300, 14300}};
        const qint64 killAt = child.StateTimes.at(0) + bands[round][0] +
                              static_cast<qint64>(random() % (bands[round][1] - bands[round][0]));
        ReadChild(child, [&] { return child.Clock.elapsed() >= killAt; });
        ASSERT_EQ(child.Process.state(), QProcess::Running);
        const qint64 killed = child.Clock.elapsed();
        Kill(child);

        const auto copies = Copies();
        SCOPED_TRACE("killed " + std::to_string(killed - child.StateTimes.at(0)) + " ms after the first state");
        if (copies.empty()) {
            EXPECT_LE(killed - child.StateTimes.at(0), MostLost) << "the edits of the first seconds were lost";
            continue;
        }
        ASSERT_EQ(copies.size(), 1u);
        editor::RecoveryGuard guard(window);
        dialogs.answers = {Answer::Open};
        guard.OfferAtStart();
        const auto restored = EncodeZL(window.project());
        int state = -1;
        for (const auto& entry : child.StateTimes)
            if (ReadWholeFile(data.file("state-" + std::to_string(entry.first) + ".zl")) == restored) state = entry.first;
        ASSERT_GE(state, 0) << "the restored map is one the editor made";
        const auto next = child.StateTimes.find(state + 1);
        if (next != child.StateTimes.end()) {
            EXPECT_LE(killed - next->second, MostLost) << "state " << state << " was replaced long before";
        }
        guard.CleanExit();
    }
}

TEST_F(RecoveryGuiTest, WritingACopyChangesNothingAndTheNextStartMayKeepOrDiscardIt) {
    TempDir data;
    DataHome home(data.path().string());
    EditARow();
    auto writer = std::make_unique<editor::RecoveryGuard>(window);
    const auto steps = window.history().StepCount();
    const std::string title = Title(), file = window.CurrentFile();
    const auto before = EncodeZL(window.project());
    ASSERT_TRUE(writer->Checkpoint());
    writer->WaitForCopies();
    EXPECT_EQ(window.history().StepCount(), steps);
    EXPECT_EQ(Title(), title);
    EXPECT_EQ(window.CurrentFile(), file);
    EXPECT_TRUE(window.ModifiedProject());
    EXPECT_TRUE(EncodeZL(window.project()) == before);
    EXPECT_TRUE(OnlyCopy() == before);
    EXPECT_TRUE(Copies().empty()) << "its editor runs: not offered";
    writer.reset();  // the editor dies: its lock goes, its copy stays
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
    auto described = ReadWholeFile(Copies()[0].InfoPath);
    described[described.size() - 20] ^= 0x5A;
    WriteBytes(Copies()[0].InfoPath, described);
    asked.answers = {Answer::No};
    offer.OfferAtStart();
    ASSERT_EQ(asked.messages.size(), 2u) << "a damaged copy is not offered for opening";
    EXPECT_EQ(asked.messages[1].icon, Icon::Error);
    EXPECT_NE(asked.messages[1].text.find(" is damaged: "), std::string::npos) << asked.messages[1].text;
    EXPECT_TRUE(next.project().UsedTiles.empty());
    EXPECT_EQ(Copies().size(), 1u) << "not discarded unasked";
    asked.answers = {Answer::Yes};
    offer.OfferAtStart();
    EXPECT_TRUE(AllCopies().empty());

    writer = std::make_unique<editor::RecoveryGuard>(window);
    ASSERT_TRUE(writer->Checkpoint());
    writer->WaitForCopies();
    writer.reset();
    asked.answers = {Answer::Discard};
    offer.OfferAtStart();
    EXPECT_TRUE(AllCopies().empty());
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

TEST_F(RecoveryGuiTest, LongOperationsTakeACopyAsTheyStartAndAsTheyEnd) {
    TempDir data;
    DataHome home(data.path().string());
    EditARow();
    editor::RecoveryGuard guard(window);
    ASSERT_TRUE(AllCopies().empty());
    Trigger("MMergeZp");  // its file dialog cancelled
    guard.WaitForCopies();
    ASSERT_EQ(AllCopies().size(), 1u);
    EXPECT_TRUE(ReadRecoveryCopy(AllCopies()[0]).OriginalFile == dir.file("row.zl"));
    guard.CleanExit();

    dialogs.answers = {Answer::Cancel};
    Trigger("MGenerateMap");
    EXPECT_TRUE(AllCopies().empty()) << "nothing is taken when the user declines";

    // A map generated from learned samples is in the copy as the run ends.
    samples::WriteSampleFiles(samples::BuildSampleFiles(dir.file("samples"), 3));
    auto& settings = window.generatorSettingsWindow();
    for (const char* map : {"meadow.zm", "village.zm", "lakes.zm"})
        settings.settings().LearnList.push_back({dir.file("samples") + "/zmpe/" + map, 1, false});
    settings.BtnLearnClick();
    ASSERT_TRUE(settings.generator().Ready()) << window.ui().status();
    settings.settings().WidthWithoutBorders = settings.settings().HeightWithoutBorders = 12;
    settings.settings().WorkerThreads = 1;
    settings.ShowSettings();
    guard.WaitForCopies();
    const auto beforeRun = OnlyCopy();
    dialogs.answers = {Answer::Ok};
    Trigger("MGenerateMap");
    ASSERT_EQ(window.project().UsedTiles.size(), 16u * 16u) << window.ui().status();
    guard.WaitForCopies();
    EXPECT_TRUE(OnlyCopy() == EncodeZL(window.project())) << "the generated map is kept";
    EXPECT_FALSE(beforeRun == EncodeZL(window.project()));
}

}  // namespace
}  // namespace zorvane::testing
