// Long random sequences of editing commands on random stacks. After every
// command the selection must keep its rules; the reordering commands must
// leave every entry on its own tile; and the commands that are worked out as
// one permutation (steps, to top, to bottom, clone, split, delete) must give
// what the plain rules give when followed one tile at a time.

#include <random>

#include "editing_support.h"

namespace zorvane::testing {
namespace {

// --- The plain rules, one tile at a time --------------------------------------

bool Listed(const Project& p, int k) {
    return std::any_of(p.Selection.begin(), p.Selection.end(), [&](const auto& e) { return e.Index == k; });
}

bool VisibleOverlap(const MapTile& a, const MapTile& b) {
    for (int c = 0; c < a.Width; ++c)
        for (int r = 0; r < a.Height; ++r)
            if (a.Contains(a.X + c, a.Y + r, TileArea::Bitmaps) && b.Contains(a.X + c, a.Y + r, TileArea::Bitmaps)) return true;
    return false;
}

int NearestOverlap(const Project& p, int from, int step) {
    for (int k = from + step; k >= 0 && k < static_cast<int>(p.UsedTiles.size()); k += step)
        for (const auto& e : p.Selection)
            if (VisibleOverlap(*p.UsedTiles[k], *p.UsedTiles[e.Index])) return k;
    return -1;
}

void PlainStep(Project& p, bool up, bool skipNearest) {
    const int count = static_cast<int>(p.UsedTiles.size());
    std::vector<int> sel;
    for (const auto& e : p.Selection) sel.push_back(e.Index);
    bool moved = false;
    if (skipNearest) {
        if (up) {
            std::sort(sel.rbegin(), sel.rend());
            const int k = NearestOverlap(p, sel[0], 1), target = k < 0 ? sel[0] : k;
            for (int i = 0; i < static_cast<int>(sel.size()); ++i)
                if (sel[i] != target - i) ShiftTileToId(p, sel[i], target - i), moved = true;
        } else {
            std::sort(sel.begin(), sel.end());
            const int k = NearestOverlap(p, sel[0], -1), target = k < 0 ? sel[0] : k;
            for (int i = 0; i < static_cast<int>(sel.size()); ++i)
                if (sel[i] != target + i) ShiftTileToId(p, sel[i], target + i), moved = true;
        }
    }
    if (moved) return;
    if (up) {
        for (int a = count - 1; a >= 1; --a)
            if (Listed(p, a - 1) && !Listed(p, a)) SwapTiles(p, a, a - 1, true);
    } else {
        for (int i = 0; i + 1 < count; ++i)
            if (Listed(p, i + 1) && !Listed(p, i)) SwapTiles(p, i, i + 1, true);
    }
}

// Removes the listed tiles, the highest first.
void RemoveListed(Project& p, std::vector<SelectionEntry> entries) {
    std::sort(entries.begin(), entries.end(), [](auto& a, auto& b) { return a.Index > b.Index; });
    for (const auto& e : entries) p.UsedTiles.erase(p.UsedTiles.begin() + e.Index);
}

void PlainToEnd(Project& p, bool top) {
    const int n = static_cast<int>(p.Selection.size());
    const int old = static_cast<int>(p.UsedTiles.size());
    for (int j = 0; j < n; ++j) p.UsedTiles.push_back(std::make_unique<MapTile>(1, 1));
    if (!top) {
        for (int c = old + n - 1; c >= n; --c) OverwriteUsedTile(p, c, c - n);
        for (auto& e : p.Selection) e.Index += n;
    }
    for (int j = 0; j < n; ++j) OverwriteUsedTile(p, top ? old + j : j, p.Selection[j].Index);
    auto entries = p.Selection;
    RemoveListed(p, entries);
    const int count = static_cast<int>(p.UsedTiles.size());
    for (int j = 0; j < n; ++j) p.Selection[j].Index = top ? count - n + j : j;
}

void PlainClone(Project& p) {
    auto& sel = p.Selection;
    std::sort(sel.begin(), sel.end(), [](auto& a, auto& b) { return a.Index < b.Index; });
    const int n = static_cast<int>(sel.size()), old = static_cast<int>(p.UsedTiles.size());
    for (int k = 0; k < n; ++k) p.UsedTiles.push_back(std::make_unique<MapTile>(1, 1));
    for (int k = 0; k < n; ++k) OverwriteUsedTile(p, old + k, sel[k].Index);
    for (int k = 0; k < n; ++k) {
        MapTile& source = *p.UsedTiles[sel[k].Index];
        source.Selected = false;
        sel[k] = {old + k, source.X, source.Y};
        p.UsedTiles[old + k]->Selected = true;
    }
}

void PlainSplit(Project& p) {
    auto entries = p.Selection;
    struct Part {
        const MapTile* tile;
        int dx, dy;
    };
    std::vector<Part> created;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const int t = entries[i].Index;
        const MapTile& tile = *p.UsedTiles[t];
        if (tile.Width == 1 && tile.Height == 1) continue;
        TileList parts;
        for (int r = 0; r < tile.Height; ++r)
            for (int c = 0; c < tile.Width; ++c)
                if (tile.SqAt(c, r) != MapSquare{}) {
                    auto part = MakeTile(1, 1, tile.X + c, tile.Y + r);
                    part->Sq[0] = tile.SqAt(c, r);
                    created.push_back({part.get(), tile.X - entries[i].OrigX, tile.Y - entries[i].OrigY});
                    parts.push_back(std::move(part));
                }
        const int m = static_cast<int>(parts.size());
        if (m == 0) continue;
        p.UsedTiles.erase(p.UsedTiles.begin() + t);
        p.UsedTiles.insert(p.UsedTiles.begin() + t, std::make_move_iterator(parts.begin()),
                           std::make_move_iterator(parts.end()));
        for (std::size_t j = i + 1; j < entries.size(); ++j)
            if (entries[j].Index > t) entries[j].Index += m - 1;
    }
    for (auto& t : p.UsedTiles) t->Selected = false;
    p.Selection.clear();
    for (const auto& part : created) {
        for (int k = 0; k < static_cast<int>(p.UsedTiles.size()); ++k) {
            MapTile& t = *p.UsedTiles[k];
            if (&t != part.tile) continue;
            t.Selected = true;
            p.Selection.push_back({k, t.X - part.dx, t.Y - part.dy});
        }
    }
}

// --- Random stacks --------------------------------------------------------------

Project CopyStack(const Project& p) {
    Project c;
    for (const auto& t : p.UsedTiles) {
        c.UsedTiles.push_back(CopyTile(*t));
        c.UsedTiles.back()->Selected = t->Selected;
    }
    c.Selection = p.Selection;
    return c;
}

std::string StackDifference(const Project& got, const Project& want) {
    if (got.UsedTiles.size() != want.UsedTiles.size()) return "tile counts differ";
    for (std::size_t k = 0; k < got.UsedTiles.size(); ++k) {
        const MapTile &a = *got.UsedTiles[k], &b = *want.UsedTiles[k];
        if (!a.SameContent(b) || a.X != b.X || a.Y != b.Y || a.Selected != b.Selected)
            return "tile " + std::to_string(k) + " differs";
    }
    if (got.Selection.size() != want.Selection.size()) return "selection sizes differ";
    for (std::size_t j = 0; j < got.Selection.size(); ++j) {
        const auto &a = got.Selection[j], &b = want.Selection[j];
        if (a.Index != b.Index || a.OrigX != b.OrigX || a.OrigY != b.OrigY)
            return "entry " + std::to_string(j) + " differs";
    }
    return "";
}

class RandomEdits : public EditBench {
public:
    explicit RandomEdits(std::uint32_t seed) : rng_(seed) {
        p.MapWidth = p.MapHeight = 14;
        const int tiles = Pick(0, 30);
        for (int i = 0; i < tiles; ++i) p.UsedTiles.push_back(RandomTile());
        for (int i = 0; i < 3; ++i) p.NewTiles.push_back(RandomTile());
        zorvane::UpdateSBDepth(p, s);
    }

    // One random command; returns what went wrong ("" when nothing did).
    std::string Step() {
        const int n = static_cast<int>(p.UsedTiles.size());
        const int op = Pick(0, 21);
        const Project before = CopyStack(p);
        const auto tilesBefore = EntryTiles();
        auto check = [&](void (*plain)(Project&)) {
            Project want = CopyStack(before);
            plain(want);
            return StackDifference(p, want);
        };
        std::string fault;
        switch (op) {
        case 0: case 1: ed.SelectTile(Pick(-1, n), Pick(0, 1)); break;
        case 2: ed.DeselectTile(Pick(-1, n)); break;
        case 3: ed.LeftClickOn(Pick(-1, 14), Pick(-1, 14), RandomKeys()); break;
        case 4: ed.RightClickOn(Pick(-1, 14), Pick(-1, 14), RandomKeys()); break;
        case 5: if (Pick(0, 5) == 0) ed.SelectAll(); else ed.DeselectAll(); break;
        case 6: case 7: {
            const bool up = op == 6;
            s.SkipNearest = Pick(0, 2) != 0;
            if (p.Selection.empty()) break;
            up ? ed.SelectionStepUp(Pick(0, 1)) : ed.SelectionStepDown(Pick(0, 1));
            Project want = CopyStack(before);
            PlainStep(want, up, s.SkipNearest);
            fault = StackDifference(p, want);
            if (fault.empty() && EntryTiles() != tilesBefore) fault = "entries lost their tiles";
            break;
        }
        case 8: case 9:
            if (p.Selection.empty()) break;
            op == 8 ? ed.SelectionToTop() : ed.SelectionToBottom();
            fault = check(op == 8 ? +[](Project& q) { PlainToEnd(q, true); } : +[](Project& q) { PlainToEnd(q, false); });
            if (fault.empty() && EntryTiles() != tilesBefore) fault = "entries lost their tiles";
            break;
        case 10:
            ShiftTileToId(p, Pick(0, n - 1), Pick(0, n - 1));
            if (EntryTiles() != tilesBefore) fault = "entries lost their tiles after ShiftTileToId";
            break;
        case 11:
            SwapTiles(p, Pick(0, n - 1), Pick(0, n - 1), true);
            if (EntryTiles() != tilesBefore) fault = "entries lost their tiles after SwapTiles";
            break;
        case 12: ed.SelDragStart(Pick(0, 13), Pick(0, 13)); break;
        case 13: case 14: ed.SelDragOver(Pick(-3, 16), Pick(-3, 16)); break;
        case 15: Pick(0, 1) ? ed.SelDragDrop() : ed.SelDragCancel(); break;
        case 16: ed.StoreNew(Pick(-1, 3), Pick(0, 10), Pick(0, 10)); break;
        case 17: Pick(0, 3) ? ed.CancelNew() : (ed.AbandonDrag(), MapChange{}); break;
        case 18: ed.CloneSelected(Pick(0, 13), Pick(0, 13)); fault = check(PlainClone); break;
        case 19: ed.SplitSelected(); fault = check(PlainSplit); break;
        case 20: ed.DeleteSelected(Pick(0, 1)); fault = check([](Project& q) {
                     RemoveListed(q, q.Selection);
                     q.Selection.clear();
                 });
            break;
        default: SetDepthPosition(s, Pick(0, n)); break;
        }
        if (fault.empty()) fault = SelectionFaults(p, s);
        return fault.empty() ? "" : "command " + std::to_string(op) + ": " + fault;
    }

private:
    int Pick(int lo, int hi) { return hi < lo ? lo : std::uniform_int_distribution<int>(lo, hi)(rng_); }
    Modifiers RandomKeys() { return {Pick(0, 3) == 0, Pick(0, 3) == 0, Pick(0, 2) == 0}; }
    std::unique_ptr<MapTile> RandomTile() {
        auto t = MakeTile(Pick(1, 3), Pick(1, 3), Pick(0, 11), Pick(0, 11));
        for (auto& sq : t->Sq) {
            // Mostly a bitmap of its own (so that tiles can be told apart), some
            // squares empty or with an attribute alone.
            const int kind = Pick(0, 9);
            sq.Gnd = kind < 6 ? static_cast<std::uint16_t>(nextId_++) : NoBitmap;
            sq.Top = kind == 6 ? static_cast<std::uint16_t>(nextId_++) : NoBitmap;
            sq.Atr = kind == 7 ? 4 : 0;
        }
        return t;
    }
    std::vector<const MapTile*> EntryTiles() const {
        std::vector<const MapTile*> v;
        for (const auto& e : p.Selection) v.push_back(p.UsedTiles[e.Index].get());
        return v;
    }

    std::mt19937 rng_;
    int nextId_ = 0;
};

TEST(RandomEditsTest, EveryCommandKeepsTheSelectionRulesAndMatchesThePlainRules) {
    for (std::uint32_t seed = 1; seed <= 150; ++seed) {
        RandomEdits run(seed);
        for (int step = 0; step < 120; ++step) {
            const std::string fault = run.Step();
            ASSERT_EQ(fault, "") << "seed " << seed << ", step " << step;
        }
    }
}

}  // namespace
}  // namespace zorvane::testing
