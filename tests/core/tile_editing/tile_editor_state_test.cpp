// The tile editor's state: opening from a selection (pictures painted
// bottom to top, attributes looked up from the top), adding layers with
// their checks, the attribute size question and the palette cases, removing.

#include <gtest/gtest.h>

#include <optional>
#include <random>

#include "builders.h"
#include "fake_ui.h"
#include "tile_editing/tile_editor_state.h"

namespace zorvane::testing {
namespace {

EditorPalette Distinct(int salt) {
    EditorPalette pal;
    for (int i = 0; i < 256; ++i)
        pal[static_cast<std::size_t>(i)] = Rgb{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(salt), 7};
    return pal;
}

LoadedPicture PictureOfSize(int w, int h, const EditorPalette& pal, std::uint8_t fill = 2) {
    LoadedPicture pic;
    pic.Indexed8 = true;
    pic.Image.Reset(w, h);
    for (std::size_t i = 0; i < pic.Image.Px.size(); ++i) pic.Image.Px[i] = static_cast<std::uint8_t>(fill + i % 3);
    pic.Palette = pal;
    return pic;
}

// Bitmap 0: left half 9, right half 0; bitmap 1: all 4; bitmap 2: all 0.
Project SelectionProject(bool bottomUp) {
    Project p;
    p.BottomUpRows = bottomUp;
    BitmapPixels a{}, b{}, z{};
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 16; ++x) a[static_cast<std::size_t>(y * 32 + x)] = static_cast<std::uint8_t>(y < 8 ? 9 : 8);
    b.fill(4);
    p.AddBitmap(a.data());
    p.AddBitmap(b.data());
    p.AddBitmap(z.data());
    p.MapWidth = p.MapHeight = 20;
    return p;
}

TEST(TileEditorStateTest, SelectionIsPaintedBottomToTopWithAttributesFromTheTop) {
    for (bool bottomUp : {false, true}) {
        Project p = SelectionProject(bottomUp);
        p.UsedTiles.push_back(MakeTile(2, 1, 5, 5, NoBitmap, 1, 4));  // lower: top all 4, attribute 4
        p.UsedTiles.push_back(MakeTile(1, 1, 8, 8, 2, NoBitmap, 0));  // unselected
        p.UsedTiles.push_back(MakeTile(1, 2, 6, 5, 0, NoBitmap, 0));  // higher: half ground, attribute 0
        p.UsedTiles.push_back(MakeTile(1, 1, 5, 5, NoBitmap, NoBitmap, 0));  // highest: no ground, attribute 0
        p.Selection = {{3, 5, 5}, {0, 5, 5}, {2, 6, 5}};
        TileEditorState s;
        s.TranspId = 9;
        OpenTileEditorState(s, p, TileEditMode::FromSelection, -1);
        EXPECT_EQ(s.TranspId, 0);
        EXPECT_EQ(s.EditedTile, -1);
        ASSERT_EQ(s.Ground.Width, 64);
        ASSERT_EQ(s.Ground.Height, 64);
        ASSERT_EQ(s.Top.Width, 64);
        // Square (1, 0): the higher ground hides the lower top where it has pixels.
        const std::uint8_t pictureRow0 = bottomUp ? 8 : 9;
        EXPECT_EQ(s.Ground.At(32, 0), pictureRow0);
        EXPECT_EQ(s.Top.At(32, 0), 0);
        EXPECT_EQ(s.Top.At(32 + 20, 0), 4);  // right half of the ground is 0
        EXPECT_EQ(s.Top.At(0, 0), 4);        // square (0, 0): only the lower top
        EXPECT_EQ(s.Ground.At(0, 0), 0);
        EXPECT_EQ(s.Top.At(0, 40), 0);  // row 1 has only the higher ground
        // Attributes: (0,0) highest tile has 0 and no ground -> lower tile's 4;
        // (1,0) the higher tile has a ground bitmap -> its 0.
        ASSERT_EQ(s.Atr.Columns, 2);
        ASSERT_EQ(s.Atr.Rows, 2);
        EXPECT_EQ(s.Atr.At(0, 0), 4);
        EXPECT_EQ(s.Atr.At(1, 0), 0);
        EXPECT_EQ(s.InternalAtr.Values.size(), 4u);
    }
}

TEST(TileEditorStateTest, EditingOpensOnlyLayersWithPixels) {
    Project p = SelectionProject(false);
    p.NewTiles.push_back(MakeTile(2, 3, 0, 0, 2, 1, 6));  // ground all-0 bitmap
    TileEditorState s;
    OpenTileEditorState(s, p, TileEditMode::Edit, 0);
    EXPECT_FALSE(s.Ground.Present());
    ASSERT_TRUE(s.Top.Present());
    EXPECT_EQ(s.Top.Width, 64);
    EXPECT_EQ(s.Top.Height, 96);
    EXPECT_EQ(s.Atr.At(1, 2), 6);
    EXPECT_EQ(s.EditedTile, 0);
    RemoveLayer(s, LayerKind::Ground);  // changes nothing
    EXPECT_TRUE(s.Top.Present());
    EXPECT_EQ(s.Atr.Columns, 2);
    CloseTileEditorState(s);
    EXPECT_FALSE(s.Top.Present());
    EXPECT_EQ(s.EditedTile, -1);
}

TEST(TileEditorStateTest, AddingALayerChecksFormatAndSize) {
    Project p = SelectionProject(false);
    TileEditorState s;
    OpenTileEditorState(s, p, TileEditMode::New, -1);
    const EditorPalette pal = s.Palette;
    FakeUi ui;
    LoadedPicture truecolour = PictureOfSize(64, 64, pal);
    truecolour.Indexed8 = false;
    for (LoadedPicture bad : {truecolour, PictureOfSize(64, 100, pal), PictureOfSize(0, 0, pal), PictureOfSize(33, 32, pal)}) {
        EXPECT_EQ(AddLayer(s, LayerKind::Ground, bad, p, ui), AddLayerResult::Refused);
        EXPECT_FALSE(s.Ground.Present());
    }
    ASSERT_EQ(ui.messages.size(), 4u);
    EXPECT_EQ(ui.messages[0].caption, ImproperBitmapCaption);
    EXPECT_EQ(ui.messages[0].icon, Icon::Warning);

    ASSERT_EQ(AddLayer(s, LayerKind::Ground, PictureOfSize(64, 96, pal), p, ui), AddLayerResult::Added);
    EXPECT_EQ(s.Atr.Columns, 2);
    EXPECT_EQ(s.Atr.Rows, 3);
    EXPECT_EQ(AddLayer(s, LayerKind::Top, PictureOfSize(64, 64, pal), p, ui), AddLayerResult::Refused);
    EXPECT_FALSE(s.Top.Present());
    // Replacing the only layer with all attributes 0 re-sizes without a question.
    const std::size_t asked = ui.messages.size();
    ASSERT_EQ(AddLayer(s, LayerKind::Ground, PictureOfSize(32, 32, pal), p, ui), AddLayerResult::Added);
    EXPECT_EQ(ui.messages.size(), asked);
    EXPECT_EQ(s.Atr.Columns, 1);
    // With an attribute set, another size asks; Cancel changes nothing.
    s.Atr.At(0, 0) = 5;
    ui.answers = {Answer::Cancel};
    EXPECT_EQ(AddLayer(s, LayerKind::Ground, PictureOfSize(64, 32, pal, 7), p, ui), AddLayerResult::Cancelled);
    EXPECT_EQ(s.Ground.Width, 32);
    EXPECT_EQ(s.Atr.At(0, 0), 5);
    EXPECT_EQ(ui.messages.back().caption, "Importing Bitmap");
    ui.answers = {Answer::Ok};
    EXPECT_EQ(AddLayer(s, LayerKind::Ground, PictureOfSize(64, 32, pal, 7), p, ui), AddLayerResult::Added);
    EXPECT_EQ(s.Ground.Width, 64);
    EXPECT_TRUE(s.Atr.AllZero());
    EXPECT_EQ(s.Atr.Columns, 2);
}

TEST(TileEditorStateTest, PaletteCases) {
    std::mt19937 rng(5);
    Project p = SelectionProject(false);
    StorePalette(Distinct(1), p);
    FakeUi ui;
    {
        // Two entries exchanged: converted silently, the look kept, the
        // colour indices follow.
        TileEditorState s;
        OpenTileEditorState(s, p, TileEditMode::New, -1);
        s.TranspId = 3;
        EditorPalette swapped = s.Palette;
        std::swap(swapped[2], swapped[3]);
        LoadedPicture pic = PictureOfSize(32, 32, swapped);
        const LayerImage original = pic.Image;
        ASSERT_EQ(AddLayer(s, LayerKind::Top, pic, p, ui), AddLayerResult::Added);
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_EQ(s.Palette, EditorPaletteOf(p));
        for (std::size_t i = 0; i < original.Px.size(); ++i)
            ASSERT_EQ(s.Palette[s.Top.Px[i]], swapped[original.Px[i]]);
        EXPECT_EQ(s.TranspId, 2);
    }
    // Yes, No, and the preselected answer: the recommended one, which keeps
    // the project palette.
    for (std::optional<Answer> answer : std::vector<std::optional<Answer>>{Answer::Yes, Answer::No, std::nullopt}) {
        TileEditorState s;
        OpenTileEditorState(s, p, TileEditMode::New, -1);
        ui.answers.clear();
        if (answer) ui.answers = {*answer};
        LoadedPicture pic = PictureOfSize(32, 32, Distinct(2), 10);
        ASSERT_EQ(AddLayer(s, LayerKind::Ground, pic, p, ui), AddLayerResult::Added);
        EXPECT_EQ(ui.messages.back().caption, "Palettes conflict");
        EXPECT_EQ(s.Ground.Px, pic.Image.Px);  // the file's values either way
        EXPECT_EQ(s.Palette, answer == Answer::Yes ? Distinct(2) : Distinct(1));
    }
    {
        // An empty project takes the picture's palette without a question.
        Project empty;
        TileEditorState s;
        OpenTileEditorState(s, empty, TileEditMode::New, -1);
        const std::size_t asked = ui.messages.size();
        ASSERT_EQ(AddLayer(s, LayerKind::Ground, PictureOfSize(32, 32, Distinct(9)), empty, ui), AddLayerResult::Added);
        EXPECT_EQ(s.Palette, Distinct(9));
        EXPECT_EQ(ui.messages.size(), asked);
    }
    (void)rng;
}

TEST(TileEditorStateTest, CaptionColourLimit) {
    EXPECT_FALSE(BlackCaptionOn(Rgb{100, 100, 19}));
    EXPECT_TRUE(BlackCaptionOn(Rgb{100, 100, 20}));
}

}  // namespace
}  // namespace zorvane::testing
