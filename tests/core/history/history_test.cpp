// The undo history against a model of it: random sequences of every kind of
// edit (map commands through MapEditing, the tiles list's commands, bitmaps,
// the palette and other fields, whole replacements of the project), each
// recorded as one step, with undo, redo and new edits interleaved. After
// every move the saved layered project must be byte-identical to the one
// the model holds for that position.

#include <gtest/gtest.h>

#include <random>

#include "builders.h"
#include "editing/map_editing.h"
#include "editing/tile_list_commands.h"
#include "fake_ui.h"
#include "history/history.h"
#include "model/layered_file.h"

namespace zorvane::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Data kept beside the project, as the generator keeps what it learned: a
// list of values and a flag. It counts the copies it makes.
class FakeAttached : public AttachedData {
public:
    struct Copy : AttachedCopy {
        std::vector<int> Values;
        bool Flag = false;
        std::size_t Bytes() const override { return sizeof(Copy) + Values.capacity() * sizeof(int); }
    };
    std::shared_ptr<const AttachedCopy> Capture(const std::shared_ptr<const AttachedCopy>& last) const override {
        const auto* before = static_cast<const Copy*>(last.get());
        if (before && before->Values == Values && before->Flag == Flag) return last;
        ++CopiesMade;
        auto copy = std::make_shared<Copy>();
        copy->Values = Values;
        copy->Flag = Flag;
        return copy;
    }
    void Restore(const AttachedCopy& copy) override {
        Values = static_cast<const Copy&>(copy).Values;
        Flag = static_cast<const Copy&>(copy).Flag;
    }
    std::vector<int> Values;
    bool Flag = false;
    mutable int CopiesMade = 0;
};

// The saved layered project and what it leaves out: the project's fields as
// a whole, where the tiles list's tiles stand, and the attached data.
struct State {
    Bytes Zl;
    ProjectFields Fields;
    std::vector<std::pair<int, int>> ListPositions;
    std::vector<int> Attached;
    bool AttachedFlag = false;
    friend bool operator==(const State&, const State&) = default;
};
State StateOf(const Project& p, const FakeAttached* attached = nullptr) {
    State s{EncodeZL(p), p.Fields(), {}, {}, false};
    for (const auto& t : p.NewTiles) s.ListPositions.emplace_back(t->X, t->Y);
    if (attached) {
        s.Attached = attached->Values;
        s.AttachedFlag = attached->Flag;
    }
    return s;
}

class EditSession {
public:
    explicit EditSession(unsigned seed) : rng_(seed) {
        p.MapWidth = p.MapHeight = 24;
        p.NoProject = false;
        p.ZpPath = "/maps/set.zp";
        FillTestPalette(p);
        AddPatternBitmaps(p, 40);
        for (int i = 0; i < 6; ++i) p.NewTiles.push_back(RandomTile());
        for (int i = 0; i < 30; ++i) p.UsedTiles.push_back(RandomTile());
        UpdateSBDepth(p, s);
    }

    // One user command, recorded under its name as the editor records it;
    // returns whether the history took a step.
    bool Edit(History& h) {
        const int n = static_cast<int>(p.UsedTiles.size());
        if (Pick(0, 2) == 0) {  // the selection changes: no step of its own
            ed.DeselectAll();
            for (int k = Pick(0, 4); k > 0 && n > 0; --k) ed.SelectTile(Pick(0, n - 1), false);
            if (h.Record(p, "Select", Parts::UsedTiles)) ADD_FAILURE() << "a selection made a step";
        }
        switch (Pick(0, 15)) {
        case 0: {
            if (p.Selection.empty()) return false;
            const MapTile& t = *p.UsedTiles[static_cast<std::size_t>(p.Selection[0].Index)];
            ed.SelDragStart(t.X, t.Y);
            for (int k = Pick(1, 4); k > 0; --k) ed.SelDragOver(Pick(0, 20), Pick(0, 20));
            Pick(0, 4) ? ed.SelDragDrop() : ed.SelDragCancel();
            return h.Record(p, "Drag", Parts::UsedTiles);
        }
        case 1:
            ed.CloneSelected(Pick(0, 20), Pick(0, 20));
            ed.SelDragOver(Pick(0, 20), Pick(0, 20));
            ed.SelDragDrop();
            return h.Record(p, "Clone", Parts::UsedTiles);
        case 2: ed.SplitSelected(); return h.Record(p, "Split", Parts::UsedTiles);
        case 3: ed.DeleteSelected(false); return h.Record(p, "Delete", Parts::UsedTiles);
        case 4: ed.SelectionToTop(); return h.Record(p, "Selection to Top", Parts::UsedTiles);
        case 5: ed.SelectionToBottom(); return h.Record(p, "Selection to Bottom", Parts::UsedTiles);
        case 6:
            Pick(0, 1) ? ed.SelectionStepUp(false) : ed.SelectionStepDown(false);
            return h.Record(p, "Selection Step", Parts::UsedTiles);
        case 7:
            ed.StoreNew(Pick(0, static_cast<int>(p.NewTiles.size()) - 1), Pick(0, 10), Pick(0, 10));
            ed.SelDragOver(Pick(0, 20), Pick(0, 20));
            ed.LeftClickOn(0, 0, {});
            return h.Record(p, "Place tile", Parts::UsedTiles);
        case 8: {
            const int m = static_cast<int>(p.NewTiles.size());
            if (m < 2) return false;
            Pick(0, 1) ? (void)DragNewTileToward(p, ui, Pick(0, m - 1), Pick(0, m - 1))
                       : (void)MoveNewTile(p, ui, Pick(0, m - 1), Pick(0, m - 1));
            return h.Record(p, "Move tile", Parts::TilesList | Parts::Fields);
        }
        case 9:
            if (p.NewTiles.size() < 2) return false;
            DeleteNewTile(p, ui, Pick(0, static_cast<int>(p.NewTiles.size()) - 1));
            return h.Record(p, "Delete tile", Parts::TilesList | Parts::Fields);
        case 10: {  // an Apply of the tile editor: bitmaps edited and appended, the palette, a list tile
            if (p.BitmapCount > 0) p.MutableBitmap(Pick(0, p.BitmapCount - 1))[Pick(0, BitmapBytes - 1)] ^= 0x5A;
            for (int k = Pick(0, 2); k > 0; --k) {
                const BitmapPixels px = PatternBitmap(Pick(100, 900));
                p.AddBitmap(px.data());
            }
            p.Palette[static_cast<std::size_t>(Pick(0, 1023))] ^= 0x33;
            p.NewTiles.push_back(RandomTile());
            return h.Record(p, "Apply tile");
        }
        case 11:  // project properties: sizes, creatures, a bitmap table cut short
            p.MapWidth = Pick(20, 30);
            p.Creatures.assign(static_cast<std::size_t>(Pick(0, 3)), static_cast<std::uint8_t>(Pick(0, 255)));
            if (Pick(0, 1) && p.BitmapCount > 30) p.SetBitmapCount(p.BitmapCount - Pick(1, 5));
            return h.Record(p, "Project properties");
        case 12: {  // a new map: every used tile replaced
            ClearSelection(p);
            p.UsedTiles.clear();
            for (int k = Pick(5, 40); k > 0; --k) p.UsedTiles.push_back(RandomTile());
            p.MapHeight = Pick(20, 30);
            UpdateSBDepth(p, s);
            return h.Record(p, "New map");
        }
        case 13:  // learning: new learned data and a tile set that grew
            learned.Values.push_back(Pick(0, 1000));
            learned.Flag = true;
            ++learnedChanges;
            if (Pick(0, 1)) p.NewTiles.push_back(RandomTile());
            return h.Record(p, "Learning");
        case 14:  // a tile set read anew: only the flag goes
            if (!learned.Flag) return false;
            learned.Flag = false;
            ++learnedChanges;
            return h.Record(p, "Project properties");
        default:  // the renderer's kind of in-place change: squares of a used tile
            if (n == 0) return false;
            p.UsedTiles[static_cast<std::size_t>(Pick(0, n - 1))]->Sq[0].Atr = static_cast<std::uint8_t>(Pick(0, 35));
            return h.Record(p, "Attribute");
        }
    }

    int Pick(int lo, int hi) { return hi < lo ? lo : std::uniform_int_distribution<int>(lo, hi)(rng_); }

    Project p;
    EditState s;
    FakeUi ui;
    MapEditing ed{p, s, ui};
    FakeAttached learned;
    int learnedChanges = 0;  // edits of the attached data, each recorded

private:
    std::unique_ptr<MapTile> RandomTile() {
        auto t = MakeTile(Pick(1, 3), Pick(1, 3), Pick(2, 18), Pick(2, 18));
        for (auto& sq : t->Sq) sq = {static_cast<std::uint16_t>(Pick(0, 39)),
                                     Pick(0, 3) ? NoBitmap : static_cast<std::uint16_t>(Pick(0, 39)),
                                     static_cast<std::uint8_t>(Pick(0, 35))};
        return t;
    }
    std::mt19937 rng_;
};

// The history as a list of saved projects and a position.
struct HistoryModel {
    std::vector<State> states;
    std::vector<std::string> names;  // names[k] leads from states[k] to states[k + 1]
    std::size_t position = 0;
};

TEST(HistoryTest, RandomEditsUndoAndRedoAgainstAModelOfTheHistory) {
    for (unsigned seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        EditSession e(seed);
        History h;
        h.Attach(&e.learned);
        h.Reset(e.p);
        HistoryModel m{{StateOf(e.p, &e.learned)}, {}, 0};
        for (int move = 0; move < 160; ++move) {
            const int kind = e.Pick(0, 9);
            bool stepped = false;  // through the history: the selection is then empty
            if (kind < 2 && h.CanUndo()) {
                stepped = true;
                ASSERT_EQ(h.UndoName(), m.names[m.position - 1]);
                ASSERT_TRUE(h.Undo(e.p));
                --m.position;
            } else if (kind < 4 && h.CanRedo()) {
                stepped = true;
                ASSERT_EQ(h.RedoName(), m.names[m.position]);
                ASSERT_TRUE(h.Redo(e.p));
                ++m.position;
            } else {
                const bool recorded = e.Edit(h);
                const State now = StateOf(e.p, &e.learned);
                ASSERT_EQ(recorded, now != m.states[m.position]) << "move " << move;
                if (!recorded) continue;
                m.states.resize(m.position + 1);
                m.names.resize(m.position);
                m.states.push_back(now);
                m.names.push_back(h.UndoName());
                ++m.position;
            }
            UpdateSBDepth(e.p, e.s);
            // Nothing may be left unrecorded: the image follows every move.
            ASSERT_FALSE(h.Record(e.p, "stray")) << "the history lost track at move " << move << " " << kind;
            ASSERT_TRUE(StateOf(e.p, &e.learned) == m.states[m.position]) << "move " << move;
            ASSERT_TRUE(e.p.Selection.empty() || !stepped);
            ASSERT_EQ(h.CanUndo(), m.position > 0);
            ASSERT_EQ(h.CanRedo(), m.position + 1 < m.states.size());
        }
        // Everything undone gives the first project back, everything redone the last.
        while (h.Undo(e.p)) {}
        EXPECT_TRUE(EncodeZL(e.p) == m.states.front().Zl);
        while (h.Redo(e.p)) {}
        EXPECT_TRUE(EncodeZL(e.p) == m.states.back().Zl);
        EXPECT_EQ(e.learned.Values, m.states.back().Attached);
        // A copy of the attached data only where it changed (and the first),
        // not with every step nor with every undo.
        EXPECT_EQ(e.learned.CopiesMade, 1 + e.learnedChanges);
        EXPECT_GT(e.learnedChanges, 0);
    }
}

TEST(HistoryTest, ModifiedFollowsTheSavedPositionThroughEditsUndoAndRedo) {
    EditSession e(77);
    History h;
    h.Reset(e.p);
    EXPECT_FALSE(h.Modified());
    e.ed.SelectAll();
    e.ed.SelectionToBottom();  // may change nothing: then no step and still clean
    e.ed.DeleteSelected(false);
    ASSERT_TRUE(h.Record(e.p, "Delete", Parts::UsedTiles));
    EXPECT_TRUE(h.Modified());
    EXPECT_EQ(h.UndoName(), "Delete");
    h.Undo(e.p);
    EXPECT_FALSE(h.Modified());  // back at the opened state
    h.Redo(e.p);
    EXPECT_TRUE(h.Modified());
    h.MarkSaved();  // saved with the delete done
    EXPECT_FALSE(h.Modified());
    h.Undo(e.p);
    EXPECT_TRUE(h.Modified());
    // A new edit on top of the undone step: the saved state is gone for good.
    e.p.MapWidth += 1;
    ASSERT_TRUE(h.Record(e.p, "Project properties"));
    EXPECT_TRUE(h.Modified());
    h.Undo(e.p);
    EXPECT_TRUE(h.Modified());
    EXPECT_FALSE(h.CanUndo());
    // What a save changes itself goes with the step before it.
    e.p.Palette[0] ^= 1;
    ASSERT_TRUE(h.Record(e.p, "Apply tile"));
    const bool rows = e.p.BottomUpRows;
    e.p.BottomUpRows = !rows;
    ASSERT_TRUE(h.RecordAlong(e.p));
    h.MarkSaved();
    EXPECT_EQ(h.UndoName(), "Apply tile");
    h.Undo(e.p);
    EXPECT_TRUE(h.Modified());
    EXPECT_FALSE(h.CanUndo()) << "the save's own change went back with the Apply";
    h.Redo(e.p);
    EXPECT_FALSE(h.Modified()) << "both done again: the saved state";
    EXPECT_FALSE(h.CanRedo());
    EXPECT_EQ(e.p.BottomUpRows, !rows);
    // Opening a file (a reset of the history) makes the project clean again.
    h.Reset(e.p);
    EXPECT_FALSE(h.Modified());
    EXPECT_FALSE(h.CanRedo());
}

// The file a position belongs to: edits keep it, a new map starts its own,
// a save under a new name renames the positions of the same file, and
// undo and redo bring the right one back.
TEST(HistoryTest, EachPositionKeepsTheFileItBelongsTo) {
    EditSession e(78);
    History h;
    h.Reset(e.p);
    h.StartFile("a.zl");
    auto edit = [&](const char* name) {
        e.p.MapWidth += 1;
        ASSERT_TRUE(h.Record(e.p, name));
    };
    edit("Edit");
    EXPECT_EQ(h.File(), "a.zl");
    edit("New map");
    h.StartFile("");
    edit("Edit");
    h.Rename("c.zl");  // the new map saved as c.zl
    EXPECT_EQ(h.File(), "c.zl");
    h.Undo(e.p);
    EXPECT_EQ(h.File(), "c.zl") << "the new map's first position was saved as c.zl too";
    h.Undo(e.p);
    EXPECT_EQ(h.File(), "a.zl") << "undoing the new map brings back its file";
    h.Rename("b.zl");  // a.zl saved as b.zl: both of its positions
    h.Undo(e.p);
    EXPECT_EQ(h.File(), "b.zl");
    h.Redo(e.p);
    h.Redo(e.p);
    EXPECT_EQ(h.File(), "c.zl");
    h.Reset(e.p);
    EXPECT_EQ(h.File(), "c.zl") << "a reset keeps the name; an open names its file";
    // Dropping the oldest steps keeps the file of the first kept position.
    History small(1);
    small.Reset(e.p);
    small.StartFile("x.zl");
    e.p.MapWidth += 1;
    small.Record(e.p, "Edit");
    small.StartFile("y.zl");
    e.p.MapWidth += 1;
    small.Record(e.p, "Edit");
    ASSERT_EQ(small.StepCount(), 1u);
    small.Undo(e.p);
    EXPECT_EQ(small.File(), "y.zl");
}

// A long run of large drags keeps the history within its limit by dropping
// the oldest steps; the newest can still all be undone, and the saved
// position that was dropped no longer counts as clean.
TEST(HistoryTest, TheMemoryLimitDropsTheOldestSteps) {
    Project p;
    p.MapWidth = p.MapHeight = 60;
    p.NoProject = false;
    for (int i = 0; i < 3000; ++i) p.UsedTiles.push_back(MakeTile(1, 1, i % 56 + 2, i / 56 + 2, 1));
    History h(400 * 1024);
    h.Reset(p);
    const Bytes start = EncodeZL(p);
    std::vector<Bytes> states{start};
    for (int drag = 0; drag < 200; ++drag) {
        for (int i = 0; i < 2000; ++i) p.UsedTiles[static_cast<std::size_t>(i)]->X += drag % 2 ? -1 : 1;
        ASSERT_TRUE(h.Record(p, "Drag", Parts::UsedTiles));
        ASSERT_LE(h.Bytes(), h.Limit());
        states.push_back(EncodeZL(p));
    }
    EXPECT_GT(h.DroppedSteps(), 0u);
    EXPECT_EQ(h.DroppedSteps() + h.StepCount(), 200u);
    EXPECT_TRUE(h.Modified());
    std::size_t undone = 0;
    while (h.Undo(p)) ++undone;
    EXPECT_EQ(undone, h.StepCount());
    EXPECT_TRUE(EncodeZL(p) == states[h.DroppedSteps()]);
    EXPECT_TRUE(h.Modified());  // the opened state was dropped
}

// Reordering a few of many tiles keeps only those few in the step.
TEST(HistoryTest, AStepHoldsWhatChangedNotTheWholeList) {
    Project p;
    for (int i = 0; i < 5000; ++i) p.UsedTiles.push_back(MakeTile(1, 1, i % 70, i / 70, static_cast<std::uint16_t>(i)));
    History h;
    h.Reset(p);
    std::rotate(p.UsedTiles.begin() + 10, p.UsedTiles.begin() + 13, p.UsedTiles.end());  // 3 tiles to the top
    ASSERT_TRUE(h.Record(p, "Selection to Top", Parts::UsedTiles));
    EXPECT_LT(h.Bytes(), 2000u);
    p.UsedTiles.erase(p.UsedTiles.begin() + 4000);
    ASSERT_TRUE(h.Record(p, "Delete", Parts::UsedTiles));
    EXPECT_LT(h.Bytes(), 4000u);
    h.Undo(p);
    h.Undo(p);
    ASSERT_EQ(p.UsedTiles.size(), 5000u);
    for (int i = 0; i < 5000; ++i) ASSERT_EQ(p.UsedTiles[static_cast<std::size_t>(i)]->Sq[0].Gnd, i);
}

}  // namespace
}  // namespace zorvane::testing
