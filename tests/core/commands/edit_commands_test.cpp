// The editor's commands as a user gives them, on a document: random
// gestures and menu commands, each of which must leave nothing unrecorded
// once no drag goes on; undoing every step gives the first project back.
// And the commands that run in windows of their own: one step each, what
// was left unrecorded before them a step of its own, a new map of no file.

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <stdexcept>

#include "../editing/editing_support.h"
#include "commands/edit_commands.h"
#include "model/layered_file.h"

namespace zorvane::testing {
namespace {

struct CommandBench {
    Document document;
    Project& p = document.project();
    EditState s;
    FakeUi ui;
    EditCommands commands{document, s, ui};

    CommandBench() {
        FillTestPalette(p);
        AddPatternBitmaps(p, 6);
        p.MapWidth = p.MapHeight = 16;
        p.NoProject = false;
        for (int k = 0; k < 4; ++k) p.NewTiles.push_back(MakeTile(1 + k % 2, 1 + k / 2, 0, 0, std::uint16_t(k)));
        for (int k = 0; k < 14; ++k)
            p.UsedTiles.push_back(MakeTile(1 + k % 3, 1 + k % 2, (k * 5) % 13, (k * 3) % 12, std::uint16_t(k % 6)));
        UpdateSBDepth(p, s);
        document.Opened("/maps/a.zl");
    }
};

TEST(EditCommands, RandomGesturesRecordEveryChangeAsOneNamedStep) {
    for (unsigned seed = 1; seed <= 8; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        CommandBench b;
        const auto first = EncodeZL(b.p);
        std::mt19937 rng(seed);
        auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        const std::set<std::string> names = {
            "Selection Step Up", "Selection Step Down", "Drag", "Clone", "Place tile", "Selection to Top",
            "Selection to Bottom", "Swap", "Split", "Delete", "Move tile", "Delete tile", "Pick tile"};
        for (int move = 0; move < 150; ++move) {
            const int entries = static_cast<int>(b.p.NewTiles.size());
            const int x = pick(0, 15), y = pick(0, 15);
            const int kind = pick(0, 14);
            switch (kind) {
            case 0: case 1: case 2: b.commands.LeftClickOn(x, y, {pick(0, 1) == 1, pick(0, 3) == 0, false}); break;
            case 3: b.commands.RightClickOn(x, y, {pick(0, 1) == 1, false, false}); break;
            case 4: case 5: b.commands.DragOver(x, y); break;
            case 6: b.commands.StoreNew(pick(0, entries - 1), 0, 0); break;
            case 7: b.commands.CloneSelected(x, y); break;
            case 8: b.commands.SelectionStepUp(); b.commands.SelectionToBottom(); break;
            case 9: b.commands.SwapSelected(); b.commands.SelectionToTop(); break;
            case 10: b.commands.SplitSelected(); break;
            case 11: if (pick(0, 2) == 0) b.commands.DeleteSelected(); else b.commands.AbandonDrag(); break;
            default:  // the tiles list, also during a drag
                if (kind == 12) b.commands.MoveTile(pick(0, entries - 1), pick(0, entries - 1));
                if (kind == 13 && entries > 2) b.commands.DeleteTile(pick(0, entries - 1));
                if (kind == 14 && !b.p.UsedTiles.empty())
                    b.commands.PickTile(pick(0, static_cast<int>(b.p.UsedTiles.size()) - 1), 0);
            }
            ASSERT_EQ(SelectionFaults(b.p, b.s), "") << "move " << move;
            if (b.s.DragState != DragIdle) continue;
            ASSERT_FALSE(b.document.RecordPending()) << "a change left unrecorded at move " << move << " kind " << kind;
            if (b.document.history().CanUndo()) {
                ASSERT_TRUE(names.count(b.document.history().UndoName()));
            }
        }
        b.commands.AbandonDrag();
        ASSERT_FALSE(b.document.RecordPending());
        EXPECT_TRUE(b.document.Modified());
        while (b.document.Undo()) {}
        EXPECT_TRUE(EncodeZL(b.p) == first);
        EXPECT_FALSE(b.document.Modified());
    }
}

TEST(EditCommands, WindowCommandsAreOneStepEachAndANewMapHasNoFile) {
    CommandBench b;
    b.p.Creatures = {9};  // changed and not recorded
    b.commands.Run(ProjectCommand::ProjectProperties, [&] { b.p.Multiplayer = 1; });
    EXPECT_EQ(b.document.history().UndoName(), "Project properties");
    EXPECT_THROW(b.commands.Run(ProjectCommand::Merge, [&] {
        b.p.UsedTiles.pop_back();
        throw std::runtime_error("disk full");
    }), std::runtime_error);
    EXPECT_EQ(b.document.history().UndoName(), "Merge") << "what a failed command changed is still its step";
    b.commands.Run(ProjectCommand::NewMap, [&] { b.p.UsedTiles.clear(); });
    EXPECT_EQ(b.document.File(), "");
    b.commands.Run(ProjectCommand::Learning, [] {});  // nothing changed: no step
    EXPECT_EQ(b.document.history().UndoName(), "New map");

    ASSERT_TRUE(b.document.Undo());
    EXPECT_EQ(b.document.File(), "/maps/a.zl");
    ASSERT_TRUE(b.document.Undo());
    ASSERT_TRUE(b.document.Undo());
    EXPECT_EQ(b.p.Multiplayer, 0);
    EXPECT_EQ(b.p.Creatures, std::vector<std::uint8_t>{9}) << "the change made before the command is a step of its own";
    EXPECT_EQ(b.document.history().UndoName(), "Change");
}

}  // namespace
}  // namespace zorvane::testing
