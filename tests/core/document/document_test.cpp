// The document as the editor, the command-line tool and the crash recovery
// use it: open, edit, undo, save, a failed open, a map read with its tile
// set, and a recovered copy taken in.

#include <gtest/gtest.h>

#include "../model/zl_fixtures.h"
#include "builders.h"
#include "commands/document_commands.h"
#include "commands/recovery.h"
#include "commands/save_commands.h"
#include "document/document.h"
#include "fake_ui.h"
#include "model/layered_file.h"
#include "platform/file_io.h"

namespace zorvane::testing {
namespace {

Project SampleProject() {
    Project p;
    FillTestPalette(p);
    AddPatternBitmaps(p, 5);
    p.MapWidth = 16;
    p.MapHeight = 12;
    p.ZpPath = "/maps/tiles.zp";
    p.Multiplayer = 1;
    p.Creatures = {1, 2, 3, 4, 5, 6};
    p.NewTiles.push_back(MakeTile(2, 1, 0, 0, 1, NoBitmap, 4));
    for (int k = 0; k < 7; ++k) p.UsedTiles.push_back(MakeTile(1 + k % 2, 1, k + 2, k % 3 + 2, k % 5, NoBitmap, 3));
    p.NoProject = false;
    return p;
}

// A document opened from a layered file of the sample project.
struct OpenedDocument {
    TempDir dir;
    std::string path = dir.file("a.zl");
    FakeUi ui;
    RecordingGenerator generator;
    Document document;
    OpenedDocument() {
        Project source = SampleProject();
        EXPECT_TRUE(SaveZLFile(source, ui, path));
        document.project().Generator = &generator;
        EXPECT_TRUE(OpenDocumentFile(document, ui, path, ProjectFileKind::Layered, AfterFailedOpen::KeepProject).Done());
    }
};

TEST(Document, OpensEditsUndoesAndSavesUnderTheFileItWrote) {
    OpenedDocument o;
    Document& doc = o.document;
    const auto opened = ReadWholeFile(o.path);
    EXPECT_EQ(EncodeZL(doc.project()), opened);
    EXPECT_EQ(doc.File(), o.path);
    EXPECT_FALSE(doc.Modified());
    EXPECT_EQ(doc.project().Generator, &o.generator);
    EXPECT_EQ(o.generator.resets, 1);

    bool dragging = true;
    doc.PauseRecordingWhile([&] { return dragging; });
    doc.project().UsedTiles[0]->X += 3;
    doc.project().Multiplayer = 0;
    EXPECT_FALSE(doc.Record("Move"));  // a gesture is recorded as it ends
    dragging = false;
    ASSERT_TRUE(doc.Record("Move"));
    EXPECT_TRUE(doc.Modified());
    const auto edited = EncodeZL(doc.project());
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(EncodeZL(doc.project()), opened);
    EXPECT_EQ(doc.project().Multiplayer, 1u);
    EXPECT_FALSE(doc.Modified());
    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(EncodeZL(doc.project()), edited);

    o.ui.files.push_back(o.dir.file("b"));
    const FileCommandResult saved = SaveDocumentCommand(doc, o.ui);
    ASSERT_TRUE(saved.Done());
    EXPECT_EQ(saved.File, o.dir.file("b.zl"));  // the file written, not the name typed
    EXPECT_EQ(doc.File(), saved.File);
    EXPECT_FALSE(doc.Modified());
    EXPECT_EQ(ReadWholeFile(saved.File), edited);
    ASSERT_TRUE(doc.Undo());
    EXPECT_TRUE(doc.Modified());
    EXPECT_EQ(doc.File(), saved.File);  // the position before the save belongs to the same file

    EXPECT_EQ(SaveDocumentCommand(doc, o.ui).End, FileCommandEnd::Failed);  // no file chosen
    EXPECT_EQ(doc.File(), saved.File);

    // A new map is a step of no file, told to the window like every step.
    std::vector<bool> heard;
    doc.WhenStepsChange([&](bool stepAdded) { heard.push_back(stepAdded); });
    EXPECT_FALSE(doc.Record("Nothing"));
    doc.project().UsedTiles.clear();
    ASSERT_TRUE(doc.Record("New map"));
    doc.StartUnnamed();
    EXPECT_EQ(heard, (std::vector<bool>{false, true, false}));
    EXPECT_EQ(doc.File(), "");
    EXPECT_EQ(doc.history().UndoName(), "New map");
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.File(), saved.File);
}

TEST(Document, AFailedOpenLeavesTheProjectItsHistoryAndTheWindowsAsTheyWere) {
    OpenedDocument o;
    Document& doc = o.document;
    doc.project().UsedTiles.pop_back();
    ASSERT_TRUE(doc.Record("Delete"));
    const std::string bad = o.dir.file("bad.zl");
    WriteBytes(bad, {'Z', 'L', 'P', '1', 200});
    const std::string orphan = o.dir.file("orphan.zm");  // names /maps/tiles.zp, which is not there
    ASSERT_EQ(ExportToZmZpFile(doc.project(), o.ui, orphan, TileSetVariant::Zmpe, ExportOptions::RefusingNewTileSet()),
              ExportResult::Exported);
    const auto before = EncodeZL(doc.project());
    const ProjectFields fields = doc.project().Fields();
    const auto failures = {std::pair{bad, ProjectFileKind::Layered}, std::pair{orphan, ProjectFileKind::Map}};
    for (const auto& [path, kind] : failures) {
        FakeUi quiet;
        quiet.answers.push_back(Answer::No);  // no replacement for the missing tile set
        const FileCommandResult r = OpenDocumentFile(doc, quiet, path, kind, AfterFailedOpen::KeepProject);
        EXPECT_EQ(r.End, FileCommandEnd::Failed) << path;
        EXPECT_EQ(quiet.status(), "error opening " + (kind == ProjectFileKind::Map ? "/maps/tiles.zp" : path) + "!");
        EXPECT_EQ(EncodeZL(doc.project()), before) << path;
        EXPECT_EQ(doc.project().Fields(), fields) << path;
        EXPECT_EQ(doc.File(), o.path);
        EXPECT_TRUE(doc.Modified());
        EXPECT_EQ(doc.history().UndoName(), "Delete");
        EXPECT_TRUE(quiet.changes.empty() && quiet.newProjects == 0) << path;
        EXPECT_EQ(o.generator.resets, 1) << path;
    }
    // The editor's Open closes the project after a failure: a new history.
    FakeUi ui;
    OpenDocumentFile(doc, ui, bad, ProjectFileKind::Layered, AfterFailedOpen::CloseProject);
    EXPECT_TRUE(doc.project().NoProject);
    EXPECT_TRUE(doc.project().UsedTiles.empty());
    EXPECT_FALSE(doc.history().CanUndo());
    EXPECT_EQ(doc.File(), "");
    EXPECT_EQ(o.generator.resets, 2);
}

// Records, at each notice, what the document's project holds then.
class WatchingUi : public FakeUi {
public:
    explicit WatchingUi(const Document& document) : document_(document) {}
    void changed(const ChangeNotice& notice) override {
        FakeUi::changed(notice);
        if (notice.Only(Changed::Bitmaps)) return;
        const char* what = notice.Has(Changed::NewProject) ? "reset " : "refresh ";
        seen.push_back(what + std::to_string(document_.project().UsedTiles.size()));
    }
    std::vector<std::string> seen;

private:
    const Document& document_;
};

TEST(Document, AMapOpenShowsTheOldProjectClosedThenTheReadOne) {
    OpenedDocument o;
    const std::string map = o.dir.file("m.zm"), tiles = o.dir.file("m.zp");
    o.document.project().ZpModified = true;  // the export writes the tile set too
    ASSERT_EQ(ExportToZmZpFile(o.document.project(), o.ui, map, TileSetVariant::Zmpe,
                               ExportOptions::WritingTileSetTo(tiles)),
              ExportResult::Exported);
    WatchingUi ui(o.document);
    const FileCommandResult r = OpenDocumentFile(o.document, ui, map, ProjectFileKind::Map, AfterFailedOpen::KeepProject);
    ASSERT_TRUE(r.Done());
    EXPECT_EQ(r.File, map);
    EXPECT_EQ(ui.seen, (std::vector<std::string>{"reset 0", "refresh 192"}));  // 16 x 12 squares
    EXPECT_EQ(ui.bitmapsChangedCount, 1);
    EXPECT_EQ(o.generator.resets, 2);
    EXPECT_EQ(o.generator.reads, 1);
    EXPECT_EQ(o.document.project().ZpPath, tiles);
    EXPECT_EQ(o.document.File(), map);
    EXPECT_FALSE(o.document.history().CanUndo());
}

TEST(Document, TakesARecoveredCopyInAsUnsavedChangesOfItsFile) {
    TempDir dir;
    const Project source = SampleProject();
    const RecoveryCopy copy = RecoveryCopyNamed(dir.path().string(), "test");
    WriteRecoveryCopy(copy, source, "/maps/a.zl");
    Document doc;
    FakeUi ui;
    TakeRecoveredProject(doc, ui, ReadRecoveryCopy(copy));
    EXPECT_EQ(EncodeZL(doc.project()), EncodeZL(source));
    EXPECT_EQ(doc.project().Fields(), source.Fields());
    EXPECT_EQ(doc.File(), "/maps/a.zl");
    EXPECT_TRUE(doc.Modified());
    EXPECT_FALSE(doc.history().CanUndo());
    EXPECT_EQ(ui.status(), "recovered /maps/a.zl.");
}

}  // namespace
}  // namespace zorvane::testing
