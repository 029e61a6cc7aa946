// Opening a file named at start, the Recent files submenu and the folders
// file dialogs remember, through the real main window.

#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QSettings>
#include <QTest>
#include <filesystem>

#include "commands/file_commands.h"
#include "commands/file_dialogs.h"
#include "editor/start_arguments.h"
#include "editor_fixture.h"
#include "samples/samples.h"

namespace zorvane::testing {
namespace {

class RecentFilesTest : public EditorTest {
protected:
    RecentFilesTest() {
        QSettings().clear();
        window.recentFiles().Clear();
    }

    // The sample content's zmpe folder with its maps and tile set.
    std::string WriteSamples() {
        samples::WriteSampleFiles(samples::BuildSampleFiles(dir.file("samples"), 3));
        return dir.file("samples") + "/zmpe/";
    }

    // As main.cpp does with the program's arguments.
    void Start(const std::vector<std::string>& files) {
        std::vector<std::string> arguments = {"zorvane-editor"};
        arguments.insert(arguments.end(), files.begin(), files.end());
        editor::OpenStartFiles(window, editor::StartFiles(arguments, static_cast<int>(arguments.size())));
        QApplication::processEvents();
    }

    // Opens File > Recent files and clicks entry `index` (0 the newest).
    void PickRecent(int index) {
        auto* menu = window.findChild<QMenu*>(QStringLiteral("MRecentFiles"));
        ASSERT_NE(menu, nullptr);
        menu->popup(window.mapToGlobal(QPoint(20, 20)));
        QApplication::processEvents();
        auto* entry = menu->findChild<QAction*>(QStringLiteral("MRecent%1").arg(index));
        ASSERT_NE(entry, nullptr) << index;
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
        QApplication::processEvents();
    }

    std::vector<std::string> Recent() { return window.recentFiles().Files(); }
    std::string Title() const { return window.windowTitle().toStdString(); }
};

TEST_F(RecentFilesTest, AMapGivenAtStartIsSavedUnderAnotherNameAndReopenedFromTheRecentFiles) {
    const std::string zmpe = WriteSamples();
    const std::string meadow = zmpe + "meadow.zm";
    Start({meadow});
    ASSERT_FALSE(window.project().NoProject);
    EXPECT_EQ(Panel(0), meadow + " opened");
    EXPECT_EQ(Title(), "meadow.zm - Zorvane Terrain Editor");
    const int width = window.project().MapWidth;
    const std::size_t squares = window.project().UsedTiles.size();
    EXPECT_EQ(width, 34);
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.messages.front().text;

    // Saved as "copy": the layered project's extension comes with it.
    dialogs.files.push_back(dir.file("copy"));
    Trigger("MSaveZL");
    const std::string copy = dir.file("copy.zl");
    ASSERT_TRUE(std::filesystem::exists(copy));
    EXPECT_EQ(Recent(), (std::vector<std::string>{copy, meadow}));

    // A relative name at start, over an open project: the close question.
    const QString current = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(zmpe));
    Start({"lakes.zm"});
    QDir::setCurrent(current);
    EXPECT_TRUE(dialogs.Saw("Warning", CloseQuestionText));
    EXPECT_EQ(Title(), "lakes.zm - Zorvane Terrain Editor");
    EXPECT_EQ(Recent(), (std::vector<std::string>{zmpe + "lakes.zm", copy, meadow}));

    // Picking the copy over a changed project, the question declined first.
    Trigger("MSelectAll");
    Trigger("MDeleteSelected");
    ASSERT_EQ(Title(), "lakes.zm* - Zorvane Terrain Editor");
    const std::size_t asked = dialogs.messages.size();
    dialogs.answers.push_back(Answer::Cancel);
    PickRecent(1);
    ASSERT_EQ(dialogs.messages.size(), asked + 1);
    EXPECT_EQ(dialogs.messages.back().text, CloseQuestionText);
    EXPECT_EQ(Title(), "lakes.zm* - Zorvane Terrain Editor");
    PickRecent(1);
    EXPECT_EQ(Panel(0), copy + " opened.");
    EXPECT_EQ(Title(), "copy.zl - Zorvane Terrain Editor");
    EXPECT_EQ(window.project().MapWidth, width);
    EXPECT_EQ(window.project().UsedTiles.size(), squares);
    EXPECT_EQ(Recent(), (std::vector<std::string>{copy, zmpe + "lakes.zm", meadow}));
    EXPECT_TRUE(dialogs.dialogs.size() == 1) << "no dialog but the save's";

    // The list is the settings store's: another window shows it.
    editor::MainWindow other(false);
    EXPECT_EQ(other.recentFiles().Files(), Recent());
}

TEST_F(RecentFilesTest, MissingWrongAndGoneFilesGiveAClearMessageAndAnEmptyEditor) {
    const std::string zmpe = WriteSamples();
    // A missing map: the message of the menu's Open of the same file.
    const std::string missing = dir.file("nowhere.zm");
    dialogs.files.push_back(missing);
    Trigger("MOpenZM");
    ASSERT_FALSE(dialogs.messages.empty());
    const app::ShownMessage fromMenu = dialogs.messages.back();
    dialogs.messages.clear();
    Start({missing});
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, fromMenu.caption);
    EXPECT_EQ(dialogs.messages[0].text, fromMenu.text);
    EXPECT_TRUE(window.project().NoProject);
    EXPECT_TRUE(Recent().empty());

    // A damaged layered project, a tile set, two files: refused, nothing opened.
    const std::string damaged = dir.file("damaged.zl");
    WriteBytes(damaged, {'Z', 'L', 0, 1});
    for (const auto& files : std::vector<std::vector<std::string>>{
             {damaged}, {zmpe + "samples.zp"}, {zmpe + "meadow.zm", zmpe + "lakes.zm"}}) {
        dialogs.messages.clear();
        Start(files);
        ASSERT_FALSE(dialogs.messages.empty()) << files[0];
        EXPECT_NE(dialogs.messages.back().icon, Icon::None);
        EXPECT_TRUE(window.project().NoProject) << files[0];
        EXPECT_EQ(Title(), "Zorvane Terrain Editor");
    }
    EXPECT_TRUE(Recent().empty());
    // Qt's own options, still among the arguments on Windows, are no files.
    EXPECT_EQ(editor::StartFiles({"zorvane-editor", "-style", "fusion", "map.zm"}, 2),
              std::vector<std::string>{"map.zm"});
    EXPECT_TRUE(editor::StartFiles({"zorvane-editor", "-style", "fusion"}, 1).empty());

    // A recent file that is gone leaves the list with a message; the open
    // project stays.
    std::filesystem::create_directory(dir.path() / "Mapy_ŻÓŁW 地図");
    const std::string gone = dir.file("Mapy_ŻÓŁW 地図/stará mapa.zm");
    std::filesystem::copy_file(zmpe + "meadow.zm", gone);
    Start({gone});
    EXPECT_EQ(Title(), "stará mapa.zm - Zorvane Terrain Editor");
    Start({zmpe + "lakes.zm"});
    ASSERT_EQ(Recent(), (std::vector<std::string>{zmpe + "lakes.zm", gone}));
    std::filesystem::remove(gone);
    dialogs.messages.clear();
    PickRecent(1);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].text.find(gone), std::string::npos) << dialogs.messages[0].text;
    EXPECT_EQ(Recent(), std::vector<std::string>{zmpe + "lakes.zm"});
    EXPECT_EQ(Title(), "lakes.zm - Zorvane Terrain Editor");

    // "Clear list" empties the stored list.
    Trigger("MRecentClear");
    EXPECT_TRUE(Recent().empty());
    EXPECT_EQ(window.Action("MRecent0"), nullptr);
    EXPECT_FALSE(window.Action("MRecentClear")->isEnabled());
}

TEST_F(RecentFilesTest, AFileDialogStartsInItsFolderOfTheLastRun) {
    for (const char* folder : {"maps/old", "saves", "sets"}) std::filesystem::create_directories(dir.path() / folder);
    auto absolute = [&](const char* folder) {
        return QDir(QString::fromStdString(dir.file(folder))).absolutePath().toStdString();
    };
    // An earlier run chose a map in maps/old and saved in saves.
    {
        app::QtUi earlier(window);
        earlier.setAnswerer(&dialogs);
        dialogs.files = {dir.file("maps/old/lake.zm"), dir.file("saves/copy.zl")};
        ASSERT_TRUE(earlier.chooseFile(OpenMapDialog()));
        ASSERT_TRUE(earlier.chooseFile(SaveLayeredDialog()));
    }
    // This run's dialogs, shown for real and cancelled.
    app::QtUi now(window);
    auto startsIn = [&](const FileDialog& dialog) {
        QString shown;
        WhenModal([&] {
            auto* fd = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!fd) return;
            shown = fd->directory().absolutePath();
            fd->reject();
        });
        EXPECT_FALSE(now.chooseFile(dialog));
        return shown.toStdString();
    };
    EXPECT_EQ(startsIn(OpenMapDialog()), absolute("maps/old"));
    EXPECT_EQ(startsIn(SaveLayeredDialog()), absolute("saves")) << "each dialog keeps its own folder";
    EXPECT_EQ(startsIn(OpenMapDialog()), absolute("maps/old")) << "a cancelled dialog forgets nothing";
    // A dialog whose initial path names a folder starts there.
    EXPECT_EQ(startsIn(OpenMapDialog(dir.file("sets/terrain.zm"))), absolute("sets"));
    // A remembered folder that is gone is no start.
    std::filesystem::remove_all(dir.path() / "maps");
    EXPECT_TRUE(app::QtUi::StartFolder(OpenMapDialog()).isEmpty());
    EXPECT_EQ(app::QtUi::StartFolder(SaveLayeredDialog()).toStdString(), absolute("saves"));
}

}  // namespace
}  // namespace zorvane::testing
