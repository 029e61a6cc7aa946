// The attribute layer: painting, the derived ring around an underground
// region checked against a plain set-based model on random paint sequences,
// the cliff directions against an atan2 reference, leaving internal mode,
// the toolbar selection rules and the mask picture round trip.

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <set>

#include "fake_ui.h"
#include "tile_editing/attribute_layer.h"

namespace zorvane::testing {
namespace {

TileEditorState Sized(int columns, int rows) {
    TileEditorState s;
    ResetAtrArray(s, columns, rows);
    return s;
}

// Internal mode with `value` selected, the way a click on the internal
// button's menu leaves it.
void EnterInternal(TileEditorState& s, int value, FakeUi& ui) {
    SelectAttribute(s, value, ui, AskToSave::Yes);
    SettleAttributeSelection(s);
    ASSERT_TRUE(s.InternalMode);
}

void Paint(TileEditorState& s, int c, int r, int value, FakeUi& ui) {
    SelectAttribute(s, value, ui, AskToSave::Yes);
    SettleAttributeSelection(s);
    SetAtrVal(s, c, r, value, SelectionCheck::On);
}

// The cliff a ring square should get, computed with atan2 from the region
// squares around it (0 degrees = south, 90 = east).
int ReferenceCliff(const std::set<std::pair<int, int>>& region, int c, int r) {
    int dx = 0, dy = 0;
    for (auto [i, j] : region)
        if (std::abs(i - c) <= 1 && std::abs(j - r) <= 1) {
            dx += c - i;
            dy += r - j;
        }
    if (dx == 0 && dy == 0) return AtrNoGo;
    double deg = std::atan2(dx, dy) * 180.0 / 3.14159265358979323846;
    if (deg < 0) deg += 360.0;
    const int a = static_cast<int>(std::lround(deg));
    const char* names[] = {"cliff S", "cliff SE", "cliff E", "cliff NE", "cliff N", "cliff NW", "cliff W", "cliff SW"};
    const std::string want = names[((a + 22) / 45) % 8];
    for (int v = 0; v < AttributeCount; ++v)
        if (want == AttributeTable()[static_cast<std::size_t>(v)].Name) return v;
    return -1;
}

TEST(AttributeLayer, PaintingRespectsSelectionAndBounds) {
    FakeUi ui;
    TileEditorState s = Sized(3, 2);
    EXPECT_TRUE(IsAtrArrayEmpty(s));
    EXPECT_FALSE(SetAtrVal(s, 1, 1, 7, SelectionCheck::On)) << "nothing selected";
    Paint(s, 1, 1, 7, ui);
    EXPECT_EQ(s.Atr.At(1, 1), 7);
    EXPECT_FALSE(SetAtrVal(s, 1, 1, 7, SelectionCheck::On)) << "same value needs no redraw";
    EXPECT_FALSE(SetAtrVal(s, 3, 0, 7, SelectionCheck::On));
    EXPECT_FALSE(SetAtrVal(s, 0, -1, 7, SelectionCheck::On));
    EXPECT_FALSE(IsAtrArrayEmpty(s));
    // An internal value left selected outside internal mode paints nothing.
    s.SelectedAtr = TatrRegion;
    EXPECT_FALSE(SetAtrVal(s, 0, 0, TatrRegion, SelectionCheck::On));
    EXPECT_EQ(s.Atr.At(0, 0), 0);
    TileEditorState none;
    EXPECT_TRUE(IsAtrArrayEmpty(none));
    EXPECT_FALSE(SetAtrVal(none, 0, 0, 3, SelectionCheck::Off));
}

TEST(AttributeLayer, RingAroundHandBuiltRegions) {
    FakeUi ui;
    TileEditorState s = Sized(5, 5);
    EnterInternal(s, TatrRegion, ui);
    SetAtrVal(s, 2, 2, TatrRegion, SelectionCheck::On);
    for (int c = 0; c < 5; ++c)
        for (int r = 0; r < 5; ++r) {
            const bool ring = std::abs(c - 2) <= 1 && std::abs(r - 2) <= 1 && !(c == 2 && r == 2);
            EXPECT_EQ(s.InternalAtr.At(c, r), c == 2 && r == 2 ? TatrRegion : ring ? TatrImpassable : TatrOutside);
        }
    // Re-classifying: only ring squares take 38..40.
    SetAtrVal(s, 2, 3, TatrCliff, SelectionCheck::Off);
    SetAtrVal(s, 0, 0, TatrCliff, SelectionCheck::Off);
    EXPECT_EQ(s.InternalAtr.At(2, 3), TatrCliff);
    EXPECT_EQ(s.InternalAtr.At(0, 0), TatrOutside);
    // Erasing the region turns the ring back to outside.
    SetAtrVal(s, 2, 2, TatrOutside, SelectionCheck::Off);
    for (auto v : s.InternalAtr.Values) EXPECT_EQ(v, TatrOutside);
}

TEST(AttributeLayer, SavedCliffsFaceAwayFromTheRegion) {
    FakeUi ui;
    TileEditorState s = Sized(5, 5);
    s.Atr.At(4, 4) = 8;
    EnterInternal(s, TatrCliff, ui);
    SetAtrVal(s, 2, 2, TatrRegion, SelectionCheck::Off);
    for (auto [c, r] : {std::pair{2, 3}, {3, 2}, {3, 3}, {1, 1}}) SetAtrVal(s, c, r, TatrCliff, SelectionCheck::Off);
    SetAtrVal(s, 1, 3, TatrInfantry, SelectionCheck::Off);
    ui.answers.push_back(Answer::Yes);
    SelectAttribute(s, 4, ui, AskToSave::Yes);
    SettleAttributeSelection(s);
    EXPECT_FALSE(s.InternalMode);
    EXPECT_TRUE(AttributeLayerShown(s));
    const auto name = [&](int c, int r) { return std::string(AttributeTable()[s.Atr.At(c, r)].Name); };
    EXPECT_EQ(name(2, 3), "cliff S");
    EXPECT_EQ(name(3, 2), "cliff E");
    EXPECT_EQ(name(3, 3), "cliff SE");
    EXPECT_EQ(name(1, 1), "cliff NW");
    EXPECT_EQ(name(1, 3), "infantry only");
    EXPECT_EQ(name(2, 1), "impassable");
    EXPECT_EQ(name(2, 2), "underground");
    EXPECT_EQ(s.Atr.At(4, 4), 8) << "outside squares keep their attribute";
    for (auto v : s.InternalAtr.Values) EXPECT_EQ(v, 0);

    // Region squares both west and east cancel out: no go.
    TileEditorState t = Sized(3, 1);
    EnterInternal(t, TatrCliff, ui);
    SetAtrVal(t, 0, 0, TatrRegion, SelectionCheck::Off);
    SetAtrVal(t, 2, 0, TatrRegion, SelectionCheck::Off);
    SetAtrVal(t, 1, 0, TatrCliff, SelectionCheck::Off);
    ExitTatrMode(t, true);
    EXPECT_EQ(t.Atr.At(1, 0), AtrNoGo);
}

TEST(AttributeLayer, AnsweringNoKeepsAttributesAndClearsTheInternalArray) {
    FakeUi ui;
    TileEditorState s = Sized(4, 4);
    s.Atr.At(1, 1) = 9;
    EnterInternal(s, TatrRegion, ui);
    SetAtrVal(s, 1, 1, TatrRegion, SelectionCheck::On);
    const auto before = s.Atr.Values;
    ui.answers.push_back(Answer::No);
    SelectAttribute(s, NoAttributeSelected, ui, AskToSave::Yes);
    ASSERT_EQ(ui.messages.size(), 1u);
    SettleAttributeSelection(s);
    EXPECT_EQ(s.Atr.Values, before);
    EXPECT_FALSE(AttributeLayerShown(s));
    for (auto v : s.InternalAtr.Values) EXPECT_EQ(v, 0);
    // Moving within the internal group asks nothing.
    EnterInternal(s, TatrRegion, ui);
    SelectAttribute(s, TatrCliff, ui, AskToSave::Yes);
    EXPECT_EQ(ui.messages.size(), 1u);
}

// Random paint sequences against a model that keeps the region as a set and
// the re-classified ring squares as a map.
TEST(AttributeLayer, RandomPaintingMatchesASetModel) {
    std::mt19937 rng(1234);
    FakeUi ui;
    for (int round = 0; round < 200; ++round) {
        const int cols = 1 + static_cast<int>(rng() % 7), rows = 1 + static_cast<int>(rng() % 7);
        TileEditorState s = Sized(cols, rows);
        for (auto& v : s.Atr.Values) v = static_cast<std::uint8_t>(rng() % AttributeCount);
        const auto original = s.Atr.Values;
        EnterInternal(s, TatrRegion, ui);
        std::set<std::pair<int, int>> region;
        std::map<std::pair<int, int>, int> chosen;
        const auto inRing = [&](int c, int r) {
            if (region.count({c, r})) return false;
            for (auto [i, j] : region)
                if (std::abs(i - c) <= 1 && std::abs(j - r) <= 1) return true;
            return false;
        };
        for (int step = 0; step < 40; ++step) {
            const int c = static_cast<int>(rng() % cols), r = static_cast<int>(rng() % rows);
            const int v = TatrOutside + static_cast<int>(rng() % 5);
            const bool wasRing = inRing(c, r);
            SetAtrVal(s, c, r, v, SelectionCheck::Off);
            if (v == TatrRegion) region.insert({c, r}), chosen.erase({c, r});
            if (v == TatrOutside) region.erase({c, r}), chosen.erase({c, r});
            if (v >= TatrInfantry && wasRing) chosen[{c, r}] = v;
            for (auto it = chosen.begin(); it != chosen.end();)
                it = inRing(it->first.first, it->first.second) ? std::next(it) : chosen.erase(it);
            for (int i = 0; i < cols; ++i)
                for (int j = 0; j < rows; ++j) {
                    const int want = region.count({i, j})  ? TatrRegion
                                     : chosen.count({i, j}) ? chosen[{i, j}]
                                     : inRing(i, j)         ? TatrImpassable
                                                            : TatrOutside;
                    ASSERT_EQ(s.InternalAtr.At(i, j), want) << "round " << round << " step " << step;
                }
        }
        ExitTatrMode(s, true);
        for (int i = 0; i < cols; ++i)
            for (int j = 0; j < rows; ++j) {
                const int internal = region.count({i, j}) ? TatrRegion
                                     : chosen.count({i, j}) ? chosen[{i, j}]
                                     : inRing(i, j) ? TatrImpassable : TatrOutside;
                const int want = internal == TatrRegion       ? AtrUnderground
                                 : internal == TatrInfantry   ? AtrInfantryOnly
                                 : internal == TatrImpassable ? AtrImpassable
                                 : internal == TatrCliff      ? ReferenceCliff(region, i, j)
                                                              : original[static_cast<std::size_t>(i * rows + j)];
                ASSERT_EQ(s.Atr.At(i, j), want) << "round " << round << " square " << i << "," << j;
            }
    }
}

TEST(AttributeLayer, ToolbarGroupsCoverEveryValueOnce) {
    std::set<int> seen;
    for (int b = 0; b < 9; ++b)
        for (int v : AttributeButtonValues(b)) {
            EXPECT_TRUE(seen.insert(v).second) << v;
            EXPECT_EQ(AttributeButtonOf(v), b) << v;
        }
    EXPECT_EQ(seen.size(), 41u);
    EXPECT_EQ(AttributeButtonOf(NoAttributeSelected), 0);
}

TEST(AttributeLayer, MaskRoundTripAndRefusals) {
    std::mt19937 rng(7);
    FakeUi ui;
    TileEditorState s = Sized(6, 4);
    for (auto& v : s.Atr.Values) v = static_cast<std::uint8_t>(rng() % AttributeCount);
    const RgbPicture mask = AttributeMaskOf(s);
    const auto original = s.Atr.Values;
    TileEditorState t = Sized(6, 4);
    EXPECT_EQ(ImportAttributeMask(t, mask, ui), MaskImportResult::Imported);
    EXPECT_EQ(t.Atr.Values, original);
    EXPECT_TRUE(ui.messages.empty());

    RgbPicture odd = mask;
    odd.Px[5] = Rgb{0xFF, 0xFF, 0xFE};
    EXPECT_EQ(ImportAttributeMask(t, odd, ui), MaskImportResult::ImportedWithErrors);
    EXPECT_EQ(t.Atr.At(5, 0), 0);
    EXPECT_EQ(t.Atr.At(0, 1), original[1]);

    TileEditorState wrong = Sized(4, 6);
    const auto wrongBefore = wrong.Atr.Values;
    EXPECT_EQ(ImportAttributeMask(wrong, mask, ui), MaskImportResult::WrongSize);
    EXPECT_EQ(wrong.Atr.Values, wrongBefore);
    TileEditorState empty;
    EXPECT_EQ(ImportAttributeMask(empty, RgbPicture{}, ui), MaskImportResult::WrongSize);

    // In internal mode an import goes through SetAtrVal and changes nothing.
    TileEditorState internal = Sized(6, 4);
    EnterInternal(internal, TatrRegion, ui);
    ImportAttributeMask(internal, mask, ui);
    EXPECT_TRUE(IsAtrArrayEmpty(internal));
}

}  // namespace
}  // namespace zorvane::testing
