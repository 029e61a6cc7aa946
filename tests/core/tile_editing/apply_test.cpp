// Applying the tile editor's layers: random layers against a plain
// ascending search of the project's bitmaps, the colour exchanges, the
// palette settlement, the bitmap limit, and a round trip through editing.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "builders.h"
#include "fake_ui.h"
#include "model/merge.h"
#include "tile_editing/apply.h"

namespace zorvane::testing {
namespace {

EditorPalette RandomPalette(std::mt19937& rng) {
    EditorPalette pal;
    for (auto& c : pal) c = Rgb{static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng())};
    return pal;
}

// The plain definition: every block in row-major order, searched from id 0
// upwards byte for byte against the stored rows, appended when not found.
std::vector<int> PlainCut(const LayerImage& image, Project& p) {
    std::vector<int> ids;
    const int w = image.Width / 32, h = image.Height / 32;
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) {
            std::uint8_t buf[1024];
            bool zero = true;
            for (int i = 0; i < 32; ++i)
                for (int x = 0; x < 32; ++x) {
                    buf[i * 32 + x] = image.At(c * 32 + x, r * 32 + i);
                    zero = zero && buf[i * 32 + x] == 0;
                }
            if (zero) {
                ids.push_back(NoBitmap);
                continue;
            }
            int found = -1;
            for (int id = 0; id < p.BitmapCount && found < 0; ++id) {
                bool same = true;
                for (int i = 0; i < 32 && same; ++i)
                    same = std::memcmp(buf + i * 32, p.Bitmap(id) + (p.BottomUpRows ? 31 - i : i) * 32, 32) == 0;
                if (same) found = id;
            }
            if (found < 0) {
                std::uint8_t slot[1024];
                for (int i = 0; i < 32; ++i) std::memcpy(slot + (p.BottomUpRows ? 31 - i : i) * 32, buf + i * 32, 32);
                found = p.AddBitmap(slot);
            }
            ids.push_back(found);
        }
    return ids;
}

void PlainExchange(LayerImage& image, int a, int b) {
    for (auto& v : image.Px) v = v == a ? static_cast<std::uint8_t>(b) : v == b ? static_cast<std::uint8_t>(a) : v;
}

// A layer of w x h blocks, each all 0, a stored bitmap read back as a
// picture, a copy of an earlier block, or new random pixels.
LayerImage RandomLayer(std::mt19937& rng, const Project& p, int w, int h) {
    LayerImage img;
    img.Reset(w * 32, h * 32);
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) {
            const int kind = static_cast<int>(rng() % 4);
            const int id = p.BitmapCount ? static_cast<int>(rng() % p.BitmapCount) : 0;
            const int pc = static_cast<int>(rng() % w), pr = static_cast<int>(rng() % (r + 1));
            const bool earlierExists = pr < r || pc < c;
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 32; ++x) {
                    std::uint8_t& v = img.At(c * 32 + x, r * 32 + y);
                    if (kind == 1 && p.BitmapCount) v = p.Bitmap(id)[(p.BottomUpRows ? 31 - y : y) * 32 + x];
                    else if (kind == 2 && earlierExists) v = img.At(pc * 32 + x, pr * 32 + y);
                    else if (kind != 0) v = static_cast<std::uint8_t>(rng() % 4);
                }
        }
    return img;
}

TEST(ApplyTest, RandomLayersGiveTheIdsAndBitmapsOfThePlainSearch) {
    std::mt19937 rng(7);
    for (int round = 0; round < 40; ++round) {
        Project p;
        p.BottomUpRows = round % 2 == 1;
        const int existing = static_cast<int>(rng() % 30);
        for (int i = 0; i < existing; ++i) {
            BitmapPixels px{};
            for (auto& b : px) b = static_cast<std::uint8_t>(rng() % 4);
            if (i % 7 == 3) px = BitmapPixels{};  // an all-0 bitmap is never matched
            p.AddBitmap(px.data());
            if (i % 5 == 4) p.AddBitmap(px.data());  // twins: the lower id wins
        }
        Project ref;
        ref.BottomUpRows = p.BottomUpRows;
        ref.SetBitmapCount(p.BitmapCount);
        std::copy(p.AllBitmapBytes().begin(), p.AllBitmapBytes().end(), ref.AllBitmapBytes().begin());

        const int w = 1 + static_cast<int>(rng() % 4), h = 1 + static_cast<int>(rng() % 4);
        TileEditorState s;
        s.Palette = EditorPaletteOf(p);
        s.Ground = RandomLayer(rng, p, w, h);
        if (round % 3 != 0) s.Top = RandomLayer(rng, p, w, h);
        if (round % 4 == 1 && s.Top.Present()) s.Ground.Clear();  // the top layer alone
        s.Atr.Reset(w, h);
        for (auto& a : s.Atr.Values) a = static_cast<std::uint8_t>(rng() % 36);
        // With bitmaps in the project only the pixels are exchanged.
        s.TranspId = existing ? static_cast<int>(rng() % 4) : 0;
        s.FogId = existing ? static_cast<int>(rng() % 4) : 1;
        LayerImage g = s.Ground, t = s.Top;
        for (auto* img : {&g, &t}) {
            if (s.TranspId != 0) PlainExchange(*img, s.TranspId, 0);
            if (s.FogId != 1) PlainExchange(*img, s.FogId, 1);
        }
        const std::vector<int> gIds = g.Present() ? PlainCut(g, ref) : std::vector<int>(w * h, NoBitmap);
        const std::vector<int> tIds = t.Present() ? PlainCut(t, ref) : std::vector<int>(w * h, NoBitmap);

        FakeUi ui;
        const ApplyOutcome out = ApplyTileChanges(s, p, ui);
        ASSERT_EQ(out.Result, ApplyResult::Applied) << "round " << round;
        ASSERT_EQ(p.NewTiles.size(), 1u);
        const MapTile& tile = *p.NewTiles[0];
        ASSERT_EQ(tile.Width, w);
        ASSERT_EQ(tile.Height, h);
        for (int r = 0; r < h; ++r)
            for (int c = 0; c < w; ++c) {
                EXPECT_EQ(tile.GndAt(c, r), gIds[r * w + c]) << "round " << round << " square " << c << "," << r;
                EXPECT_EQ(tile.TopAt(c, r), tIds[r * w + c]) << "round " << round << " square " << c << "," << r;
                EXPECT_EQ(tile.AtrAt(c, r), s.Atr.At(c, r));
            }
        ASSERT_EQ(p.BitmapCount, ref.BitmapCount) << "round " << round;
        EXPECT_TRUE(std::equal(p.AllBitmapBytes().begin(), p.AllBitmapBytes().end(), ref.AllBitmapBytes().begin()));
        EXPECT_FALSE(out.PaletteChanged);
        EXPECT_TRUE(p.ZpModified);
        EXPECT_TRUE(p.ZpPath.empty());
        EXPECT_EQ(p.MapWidth, 10);
        EXPECT_TRUE(ui.messages.empty());
    }
}

// The two exchanges run one after the other; on an empty project the palette
// entries follow, and the changed palette becomes the project's.
TEST(ApplyTest, ColourExchangesAndPaletteSettlement) {
    std::mt19937 rng(3);
    {
        Project p;  // no bitmaps
        TileEditorState s;
        s.Palette = RandomPalette(rng);
        const EditorPalette before = s.Palette;
        s.Ground.Reset(32, 32);
        s.Ground.Px[0] = 5, s.Ground.Px[1] = 0, s.Ground.Px[2] = 1, s.Ground.Px[3] = 9;
        s.Atr.Reset(1, 1);
        s.TranspId = 5;
        s.FogId = 0;
        FakeUi ui;
        const ApplyOutcome out = ApplyTileChanges(s, p, ui);
        ASSERT_EQ(out.Result, ApplyResult::Applied);
        const std::uint8_t* b = p.Bitmap(p.NewTiles[0]->GndAt(0, 0));
        EXPECT_EQ(b[0], 1);
        EXPECT_EQ(b[1], 5);
        EXPECT_EQ(b[2], 0);
        EXPECT_EQ(b[3], 9);
        // Every pixel keeps its colour under the stored palette.
        const EditorPalette stored = EditorPaletteOf(p);
        EXPECT_EQ(stored[1], before[5]);
        EXPECT_EQ(stored[5], before[0]);
        EXPECT_EQ(stored[0], before[1]);
        EXPECT_EQ(stored[9], before[9]);
        EXPECT_TRUE(out.PaletteReplaced);
    }
    {
        // Project palette with two entries exchanged in the editor: pixels
        // are converted, the project palette stays.
        Project p;
        StorePalette(RandomPalette(rng), p);
        BitmapPixels some{};
        some.fill(200);
        p.AddBitmap(some.data());
        const auto projectBefore = p.Palette;
        TileEditorState s;
        s.Palette = EditorPaletteOf(p);
        std::swap(s.Palette[7], s.Palette[8]);
        s.Top.Reset(32, 32);
        s.Top.Px[0] = 7, s.Top.Px[1] = 8, s.Top.Px[2] = 9;
        s.Atr.Reset(1, 1);
        FakeUi ui;
        const ApplyOutcome out = ApplyTileChanges(s, p, ui);
        EXPECT_TRUE(out.PaletteChanged);
        EXPECT_FALSE(out.PaletteReplaced);
        EXPECT_EQ(p.Palette, projectBefore);
        const std::uint8_t* b = p.Bitmap(p.NewTiles[0]->TopAt(0, 0));
        EXPECT_EQ(b[0], 8);
        EXPECT_EQ(b[1], 7);
        EXPECT_EQ(b[2], 9);
    }
}

// At the limit the message is shown, the bitmaps already added stay and the
// tiles list keeps its tiles: a new tile is not added, an edited one stays.
TEST(ApplyTest, BitmapLimitLeavesTheTilesListAsItWas) {
    for (int edited : {-1, 0}) {
        Project p;
        p.SetBitmapCount(MaxBitmaps - 1);  // all blank
        p.NewTiles.push_back(MakeTile(2, 1, 0, 0, 3, NoBitmap, 7));
        TileEditorState s;
        s.Palette = EditorPaletteOf(p);
        s.EditedTile = edited;
        s.Ground.Reset(96, 32);
        for (int c = 0; c < 3; ++c) s.Ground.At(c * 32, 0) = static_cast<std::uint8_t>(c + 1);
        s.Atr.Reset(3, 1);
        FakeUi ui;
        const ApplyOutcome out = ApplyTileChanges(s, p, ui);
        EXPECT_EQ(out.Result, ApplyResult::BitmapLimit);
        EXPECT_EQ(p.BitmapCount, MaxBitmaps);
        EXPECT_EQ(p.Bitmap(MaxBitmaps - 1)[0], 1);
        ASSERT_EQ(p.NewTiles.size(), 1u);
        EXPECT_EQ(p.NewTiles[0]->Width, 2);
        EXPECT_EQ(p.NewTiles[0]->GndAt(1, 0), 3);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].caption, BitmapLimitCaption);
        EXPECT_EQ(ui.messages[0].icon, Icon::Error);
        EXPECT_FALSE(p.ZpModified);
    }
}

// A stopped Apply leaves the layers and the editor palette as they were, so
// that once room is made (unused bitmaps removed) Apply again gives what a
// single Apply gives on a project that had room: the colour exchanges and
// the palette conversion are made once, not twice.
TEST(ApplyTest, ApplyAgainAfterTheLimitStopGivesTheResultOfOneApply) {
    std::mt19937 rng(17);
    auto project = [] {
        auto p = std::make_unique<Project>();
        FillTestPalette(*p);
        AddPatternBitmaps(*p, 3);
        p->NewTiles.push_back(MakeTile(3, 1));
        for (int c = 0; c < 3; ++c) p->NewTiles[0]->SetGndAt(c, 0, static_cast<std::uint16_t>(c));
        return p;
    };
    TileEditorState s;
    auto p = project();
    s.Palette = EditorPaletteOf(*p);
    std::swap(s.Palette[7], s.Palette[8]);  // converted to the project palette by colour
    for (LayerImage* layer : {&s.Ground, &s.Top}) {
        layer->Reset(64, 64);
        for (auto& v : layer->Px) v = static_cast<std::uint8_t>(rng() % 10);  // 0, 1, 5, 7, 8 and others
    }
    s.Atr.Reset(2, 2);
    s.Atr.Values = {4, 0, 9, 2};
    s.TranspId = 5;
    s.FogId = 0;
    const TileEditorState before = s;

    p->SetBitmapCount(MaxBitmaps - 2);  // room for two of the eight blocks
    FakeUi ui;
    ASSERT_EQ(ApplyTileChanges(s, *p, ui).Result, ApplyResult::BitmapLimit);
    EXPECT_TRUE(s.Ground.Px == before.Ground.Px);
    EXPECT_TRUE(s.Top.Px == before.Top.Px);
    EXPECT_TRUE(s.Palette == before.Palette);
    EXPECT_EQ(s.TranspId, 5);
    EXPECT_EQ(s.FogId, 0);

    RemoveUnusedBitmaps(*p, ui);
    ASSERT_EQ(p->BitmapCount, 3);
    const ApplyOutcome again = ApplyTileChanges(s, *p, ui);
    auto ref = project();
    TileEditorState once = before;
    const ApplyOutcome single = ApplyTileChanges(once, *ref, ui);
    ASSERT_EQ(again.Result, ApplyResult::Applied);
    ASSERT_EQ(single.Result, ApplyResult::Applied);
    ASSERT_EQ(p->BitmapCount, ref->BitmapCount);
    EXPECT_TRUE(std::equal(p->AllBitmapBytes().begin(), p->AllBitmapBytes().end(), ref->AllBitmapBytes().begin()));
    ASSERT_EQ(p->NewTiles.size(), 2u);
    ASSERT_EQ(ref->NewTiles.size(), 2u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(p->NewTiles[1]->Sq[i].Gnd, ref->NewTiles[1]->Sq[i].Gnd) << i;
        EXPECT_EQ(p->NewTiles[1]->Sq[i].Top, ref->NewTiles[1]->Sq[i].Top) << i;
        EXPECT_EQ(p->NewTiles[1]->Sq[i].Atr, ref->NewTiles[1]->Sq[i].Atr) << i;
    }
    EXPECT_EQ(p->Palette, ref->Palette);
}

// An existing tile opened for editing and applied again is found bitmap for
// bitmap, also with bottom-up rows; an all-0 ground comes back as none.
TEST(ApplyTest, ReapplyingAnEditedTileAddsNoBitmap) {
    for (bool bottomUp : {false, true}) {
        Project p;
        p.BottomUpRows = bottomUp;
        std::mt19937 rng(11);
        for (int i = 0; i < 6; ++i) {
            BitmapPixels px{};
            if (i != 2)
                for (auto& b : px) b = static_cast<std::uint8_t>(rng() % 3);
            p.AddBitmap(px.data());
        }
        auto t = MakeTile(3, 2);
        const std::uint16_t gnd[6] = {0, 1, 2, 3, 1, NoBitmap}, top[6] = {NoBitmap, 4, 5, NoBitmap, 2, 4};
        for (int i = 0; i < 6; ++i) t->Sq[i] = MapSquare{gnd[i], top[i], static_cast<std::uint8_t>(i + 1)};
        p.NewTiles.push_back(std::move(t));
        p.NewTiles.push_back(MakeTile(1, 1, 0, 0, 0));
        TileEditorState s;
        OpenTileEditorState(s, p, TileEditMode::Edit, 0);
        FakeUi ui;
        ASSERT_EQ(ApplyTileChanges(s, p, ui).Result, ApplyResult::Applied);
        EXPECT_EQ(p.BitmapCount, 6);
        ASSERT_EQ(p.NewTiles.size(), 2u);
        const MapTile& back = *p.NewTiles[0];
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(back.Sq[i].Gnd, gnd[i] == 2 ? NoBitmap : gnd[i]) << i;
            EXPECT_EQ(back.Sq[i].Top, top[i] == 2 ? NoBitmap : top[i]) << i;
            EXPECT_EQ(back.Sq[i].Atr, i + 1);
        }
    }
}

TEST(ApplyTest, NothingHappensWithoutLayers) {
    Project p;
    TileEditorState s;
    s.Atr.Reset(2, 2);
    s.Atr.Values[0] = 4;
    FakeUi ui;
    EXPECT_EQ(ApplyTileChanges(s, p, ui).Result, ApplyResult::NothingToApply);
    EXPECT_TRUE(p.NewTiles.empty());
    EXPECT_FALSE(p.ZpModified);
    EXPECT_EQ(p.MapWidth, 0);
}

}  // namespace
}  // namespace zorvane::testing
