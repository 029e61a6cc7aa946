// Opening and exporting with explicit options in place of the user's
// answers: each option does exactly what the matching answer does, and
// nobody is asked anything.

#include <gtest/gtest.h>

#include <filesystem>

#include "builders.h"
#include "byte_fixtures.h"
#include "commands/open_commands.h"
#include "commands/save_commands.h"
#include "fake_ui.h"
#include "model/layered_file.h"
#include "model/map_file.h"
#include "model/tileset_file.h"
#include "platform/file_io.h"

using namespace zorvane;
using namespace zorvane::testing;

namespace {

std::string WriteTileSet(const TempDir& dir, const std::string& name, int bitmaps) {
    Project set;
    FillTestPalette(set);
    AddPatternBitmaps(set, bitmaps, bitmaps);
    set.NewTiles.push_back(MakeTile(2, 1, 0, 0, 1, NoBitmap, 4));
    WriteBytes(dir.file(name), EncodeZP(set, TileSetVariant::Zmpe));
    return dir.file(name);
}

// An 8 x 7 map project naming the tile set `zpPath`.
std::string WriteMap(const TempDir& dir, const std::string& name, const std::string& zpPath) {
    Project p;
    p.ZpPath = zpPath;
    p.MapWidth = 8;
    p.MapHeight = 7;
    p.Multiplayer = 1;
    for (int i = 0; i < 8 * 7; ++i)
        p.FlatSquares.push_back(MapSquare{static_cast<std::uint16_t>(i % 3), NoBitmap, static_cast<std::uint8_t>(i % 36)});
    WriteBytes(dir.file(name), EncodeZM(p, TileSetVariant::Zmpe));
    return dir.file(name);
}

// Nobody was asked: no question, no dialog (error boxes may be shown).
void ExpectNothingAsked(const FakeUi& ui) {
    EXPECT_TRUE(ui.dialogs.empty());
    for (const auto& m : ui.messages) EXPECT_EQ(m.buttons, Buttons::Ok) << m.caption << ": " << m.text;
}

// Everything a project would store, and whether it is open.
void ExpectSameProject(const Project& a, const Project& b) {
    EXPECT_EQ(a.NoProject, b.NoProject);
    EXPECT_EQ(EncodeZL(a), EncodeZL(b));
}

}  // namespace

TEST(OpenOptions, EachOptionOpensAsTheMatchingAnswersDoWithoutAsking) {
    TempDir dir;
    const std::string present = WriteTileSet(dir, "present.zp", 3);
    const std::string replacement = WriteTileSet(dir, "replacement.zp", 5);
    const std::string damaged = dir.file("damaged.zp");
    WriteBytes(damaged, {'Z', 'T', 'P', '0', 1});
    const std::string lost = WriteMap(dir, "lost.zm", dir.file("gone.zp"));
    const std::string found = WriteMap(dir, "found.zm", present);

    struct Case {
        const char* what;
        std::string map;
        std::deque<Answer> answers;                   // what the user answers...
        std::deque<std::optional<std::string>> files;
        OpenOptions options;                          // ...and the options that stand for it
        bool opens;
    };
    const Case cases[] = {
        {"declined", lost, {Answer::No}, {}, OpenOptions::FailingWhenMissing(), false},
        {"replaced", lost, {Answer::Yes}, {replacement}, OpenOptions::ReadingInstead(replacement), true},
        {"replaced by a damaged file", lost, {Answer::Yes}, {damaged}, OpenOptions::ReadingInstead(damaged), false},
        {"present, nothing to replace", found, {}, {}, OpenOptions::ReadingInstead(replacement), true},
        {"present, nothing to fail", found, {}, {}, OpenOptions::FailingWhenMissing(), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Project asked, told;
        FakeUi askedUi, toldUi;
        askedUi.answers = c.answers;
        askedUi.files = c.files;
        EXPECT_EQ(OpenZMFile(asked, askedUi, c.map), c.opens);
        EXPECT_EQ(OpenZMFile(told, toldUi, c.map, c.options), c.opens);
        ExpectSameProject(told, asked);
        EXPECT_EQ(toldUi.statuses, askedUi.statuses);
        EXPECT_EQ(toldUi.newProjects, askedUi.newProjects);
        ExpectNothingAsked(toldUi);
        EXPECT_EQ(askedUi.answers.size() + askedUi.files.size(), 0u);  // the scripted user was asked
    }
}

namespace {

// A project whose map needs a new tile set file when exported: its tile
// set was never written.
Project Unsaved() {
    Project p;
    FillTestPalette(p);
    AddPatternBitmaps(p, 3);
    p.MapWidth = p.MapHeight = 6;
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) p.UsedTiles.push_back(MakeTile(1, 1, x, y, static_cast<std::uint16_t>(x % 3)));
    p.NoProject = false;
    return p;
}

struct Written {
    ExportResult result;
    Bytes zm, zp;
    std::string zpPath;
};

// Exports `p` to dir/out.zm; a new tile set would be dir/set.zp. Takes the
// files written and removes them.
Written Export(Project& p, FakeUi& ui, const TempDir& dir, const ExportOptions& options) {
    Written w{ExportToZmZpFile(p, ui, dir.file("out.zm"), TileSetVariant::Zme, options), {}, {}, p.ZpPath};
    for (auto [name, bytes] : {std::pair{"out.zm", &w.zm}, std::pair{"set.zp", &w.zp}})
        if (FileExists(dir.file(name))) {
            *bytes = ReadWholeFile(dir.file(name));
            std::filesystem::remove(dir.file(name));
        }
    return w;
}

}  // namespace

TEST(ExportOptions, ANamedTileSetIsWrittenAsTheChosenOneWithoutAsking) {
    TempDir dir;
    for (const std::string named : {"set", "set.zp"}) {
        SCOPED_TRACE(named);
        Project asked = Unsaved(), told = Unsaved();
        FakeUi askedUi, toldUi;
        askedUi.files.push_back(dir.file(named));
        const Written a = Export(asked, askedUi, dir, {});
        const Written t = Export(told, toldUi, dir, ExportOptions::WritingTileSetTo(dir.file(named)));
        ASSERT_EQ(a.result, ExportResult::Exported);
        EXPECT_EQ(t.result, ExportResult::Exported);
        EXPECT_EQ(t.zpPath, dir.file("set.zp"));
        EXPECT_EQ(t.zpPath, a.zpPath);
        EXPECT_EQ(t.zm, a.zm);
        EXPECT_EQ(t.zp, a.zp);
        EXPECT_FALSE(t.zp.empty());
        ExpectSameProject(told, asked);
        EXPECT_EQ(toldUi.statuses, askedUi.statuses);
        ExpectNothingAsked(toldUi);
        EXPECT_TRUE(toldUi.messages.empty());  // not even "Create new *.zp"
    }

    // Exported once, the map needs no new tile set in that variant: a
    // refusal or another name changes nothing.
    Project p = Unsaved();
    FakeUi ui;
    ASSERT_EQ(Export(p, ui, dir, ExportOptions::WritingTileSetTo(dir.file("first.zp"))).result, ExportResult::Exported);
    const Written refused = Export(p, ui, dir, ExportOptions::RefusingNewTileSet());
    EXPECT_EQ(refused.result, ExportResult::Exported);
    EXPECT_FALSE(refused.zm.empty());
    EXPECT_EQ(Export(p, ui, dir, ExportOptions::WritingTileSetTo(dir.file("set.zp"))).zp, Bytes{});
    EXPECT_EQ(p.ZpPath, dir.file("first.zp"));
    ExpectNothingAsked(ui);
}

TEST(ExportOptions, ARefusedOrBlockedTileSetWritesNothing) {
    TempDir dir;
    // Refused: nothing written, nothing shown, the project's tile set as it was.
    Project p = Unsaved();
    p.ZpPath = "/kept/as.zp";
    p.ZpModified = true;
    FakeUi ui;
    const Written refused = Export(p, ui, dir, ExportOptions::RefusingNewTileSet());
    EXPECT_EQ(refused.result, ExportResult::NeedsNewTileSet);
    EXPECT_TRUE(refused.zm.empty());
    EXPECT_TRUE(refused.zp.empty());
    EXPECT_EQ(p.ZpPath, "/kept/as.zp");
    EXPECT_TRUE(p.ZpModified);
    EXPECT_TRUE(p.FlatSquares.empty());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(ui.dialogs.empty());

    // A name whose forced extension leads to another file: that file is kept,
    // as the user keeps it when asked.
    const Bytes other = {'o', 't', 'h', 'e', 'r'};
    WriteBytes(dir.file("set.zp"), other);
    Project asked = Unsaved(), told = Unsaved();
    FakeUi askedUi, toldUi;
    askedUi.files.push_back(dir.file("set"));
    askedUi.answers.push_back(Answer::No);
    EXPECT_EQ(ExportToZmZpFile(asked, askedUi, dir.file("out.zm"), TileSetVariant::Zme), ExportResult::Failed);
    EXPECT_EQ(ExportToZmZpFile(told, toldUi, dir.file("out.zm"), TileSetVariant::Zme,
                               ExportOptions::WritingTileSetTo(dir.file("set"))),
              ExportResult::Failed);
    EXPECT_EQ(ReadWholeFile(dir.file("set.zp")), other);
    EXPECT_FALSE(FileExists(dir.file("out.zm")));
    ExpectSameProject(told, asked);
    ExpectNothingAsked(toldUi);
    ASSERT_EQ(toldUi.messages.size(), 1u);
    EXPECT_EQ(toldUi.messages[0].caption, "Error");
    EXPECT_NE(toldUi.messages[0].text.find(dir.file("set.zp")), std::string::npos);
}
