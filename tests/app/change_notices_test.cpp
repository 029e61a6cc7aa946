// A window that redraws only what the change notices of the commands, undo
// and redo name (as the main window plans it) must always show what a
// window drawing everything anew shows.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "document/document.h"
#include "editing/tile_list_commands.h"
#include "editor/change_redraw.h"

namespace zorvane {
namespace {

// What a window shows, each part as a key of everything it is drawn from.
struct Shown {
    std::vector<std::string> Entries;  // the tiles list's pictures
    std::string View;                  // the map view
    std::string Colours;               // the bitmaps' quadrant colours
    std::pair<int, int> ScrollRange;
    friend bool operator==(const Shown&, const Shown&) = default;
};

std::string LookKey(const Project& p) {
    return std::string(reinterpret_cast<const char*>(p.Palette.data()), p.Palette.size()) +
           (p.BottomUpRows ? "u" : "d");
}

std::string TileKey(const Project& p, const MapTile& t) {
    std::string key = std::to_string(t.X) + "," + std::to_string(t.Y) + ":" + std::to_string(t.Width) + "x" +
                      std::to_string(t.Height) + LookKey(p);
    for (const MapSquare& s : t.Sq)
        for (int id : {int(s.Gnd), int(s.Top)}) {
            key += std::to_string(id) + "/" + std::to_string(s.Atr);
            if (id < p.BitmapCount) key.append(reinterpret_cast<const char*>(p.Bitmap(id)), 1024);
        }
    return key;
}

std::string EntryKey(const Project& p, int i) {
    MapTile t = *p.NewTiles[i];
    t.X = t.Y = 0;  // the list shows a tile wherever it lies
    return TileKey(p, t);
}

std::string ViewKey(const Project& p) {
    std::string key = std::to_string(p.MapWidth) + "x" + std::to_string(p.MapHeight);
    for (const auto& t : p.UsedTiles) key += TileKey(p, *t);
    return key;
}

std::string ColoursKey(const Project& p) {
    auto bytes = p.AllBitmapBytes();
    return std::string(bytes.begin(), bytes.end()) + LookKey(p);
}

Shown DrawnAnew(const Project& p) {
    Shown s{{}, ViewKey(p), ColoursKey(p), {p.MapWidth, p.MapHeight}};
    for (int i = 0; i < static_cast<int>(p.NewTiles.size()); ++i) s.Entries.push_back(EntryKey(p, i));
    return s;
}

class NoticedWindow : public SilentUi {
public:
    explicit NoticedWindow(const Project& p) : project_(p), shown(DrawnAnew(p)) {}

    void changed(const ChangeNotice& notice) override {
        const editor::RedrawPlan plan = editor::PlanRedraw(notice);
        if (plan.resetView) {
            shown.ScrollRange = {project_.MapWidth, project_.MapHeight};
            shown.View = ViewKey(project_);
            if (project_.NewTiles.empty()) shown.Entries.clear();
        }
        if (plan.bitmapColours) shown.Colours = ColoursKey(project_);
        if (plan.viewAndDepthBar) shown.View = ViewKey(project_);
        if (!plan.refresh) return;
        const editor::InterfaceRefresh& r = *plan.refresh;
        if (r.resetScrolling) shown.ScrollRange = {project_.MapWidth, project_.MapHeight};
        if (r.rebuildList) {
            const int n = static_cast<int>(project_.NewTiles.size());
            shown.Entries.resize(n);
            for (int i = std::max(r.first, 0); i <= std::min(r.last, n - 1); ++i) shown.Entries[i] = EntryKey(project_, i);
        }
        if (r.redrawView) shown.View = ViewKey(project_);
    }

    const Project& project_;
    Shown shown;
};

std::vector<std::uint8_t> RandomBitmap(std::mt19937& rng) {
    std::vector<std::uint8_t> pixels(1024);
    for (auto& b : pixels) b = static_cast<std::uint8_t>(rng() % 4);
    return pixels;
}

std::unique_ptr<MapTile> RandomTile(std::mt19937& rng, int bitmaps) {
    auto t = std::make_unique<MapTile>(1 + int(rng() % 2), 1 + int(rng() % 2));
    for (MapSquare& s : t->Sq) s = {std::uint16_t(rng() % bitmaps), NoBitmap, std::uint8_t(rng() % 3)};
    return t;
}

TEST(ChangeNotices, ARandomRunOfEditsUndoAndRedoLeavesTheWindowAsIfDrawnAnew) {
    std::mt19937 rng(28);
    Document doc;
    Project& p = doc.project();
    p.NoProject = false;
    p.MapWidth = 8;
    p.MapHeight = 6;
    for (int i = 0; i < 6; ++i) p.AddBitmap(RandomBitmap(rng).data());
    for (int i = 0; i < 6; ++i) p.NewTiles.push_back(RandomTile(rng, p.BitmapCount));
    for (int i = 0; i < 5; ++i) {
        p.UsedTiles.push_back(RandomTile(rng, p.BitmapCount));
        p.UsedTiles.back()->X = i;
    }
    doc.Opened("");
    NoticedWindow window(p);
    doc.Observe(&window);
    auto pick = [&](int n) { return n > 0 ? int(rng() % n) : 0; };
    for (int step = 0; step < 600; ++step) {
        const int tiles = static_cast<int>(p.NewTiles.size());
        const int op = pick(11);
        // Edits the editor redraws by itself (the map's own redraw, the tile
        // editor, the properties) leave the window drawn anew.
        bool drawnByEditor = false;
        switch (op) {
        case 0: MoveNewTile(p, window, pick(tiles), pick(tiles)); break;
        case 1: DeleteNewTile(p, window, pick(tiles)); break;
        case 2: DragNewTileToward(p, window, pick(tiles), pick(tiles)); break;
        case 3: PickUsedTile(p, window, pick(static_cast<int>(p.UsedTiles.size()))); break;
        case 4: p.UsedTiles[pick(5)]->Sq[0].Gnd = std::uint16_t(pick(p.BitmapCount)); drawnByEditor = true; break;
        case 5: p.MutableBitmap(pick(p.BitmapCount))[pick(1024)] ^= 1; drawnByEditor = true; break;
        case 6: p.Palette[pick(1024)] ^= 4; drawnByEditor = true; break;
        case 7: p.MapWidth = 8 + pick(3); drawnByEditor = true; break;
        case 8: p.BottomUpRows = !p.BottomUpRows; drawnByEditor = true; break;
        case 9: doc.Undo(); break;
        case 10: doc.Redo(); break;
        }
        if (drawnByEditor) window.shown = DrawnAnew(p);
        if (op < 9) doc.Record("Edit");
        ASSERT_EQ(window.shown, DrawnAnew(p)) << "step " << step << ", operation " << op;
    }
    EXPECT_GT(doc.history().StepCount(), 50u);
}

}  // namespace
}  // namespace zorvane
