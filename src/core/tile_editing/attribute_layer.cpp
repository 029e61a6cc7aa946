#include "tile_editing/attribute_layer.h"

#include <cmath>
#include <cstdio>
#include <numbers>

namespace zorvane {

namespace {

bool Inside(const AttributeGrid& g, int c, int r) { return c >= 0 && r >= 0 && c < g.Columns && r < g.Rows; }

bool IsRingValue(int v) { return v == TatrInfantry || v == TatrCliff || v == TatrImpassable; }

// Whether a region square lies in the 3 x 3 block around (c, r).
bool NextToRegion(const AttributeGrid& g, int c, int r) {
    for (int i = std::max(c - 1, 0); i <= std::min(c + 1, g.Columns - 1); ++i)
        for (int j = std::max(r - 1, 0); j <= std::min(r + 1, g.Rows - 1); ++j)
            if (g.At(i, j) == TatrRegion) return true;
    return false;
}

}  // namespace

const std::array<AttributeInfo, AttributeCount>& AttributeTable() {
    static const std::array<AttributeInfo, AttributeCount> table{{
        {"open", {0xFF, 0xFF, 0xFF}},         {"no go", {0xFF, 0x00, 0xFF}},
        {"no build", {0xFF, 0x00, 0x00}},     {"impassable", {0x00, 0x00, 0x00}},
        {"trees", {0x00, 0x80, 0x00}},        {"infantry only", {0x00, 0xFF, 0x00}},
        {"road", {0x60, 0x60, 0x60}},         {"swamp", {0x00, 0xC0, 0xFF}},
        {"shallow water", {0x00, 0x80, 0xFF}}, {"medium water", {0x00, 0x40, 0xFF}},
        {"deep water", {0x00, 0x00, 0xFF}},   {"cliff S", {0xFF, 0xFF, 0x00}},
        {"cliff N", {0xFF, 0xFF, 0x10}},      {"cliff W", {0xFF, 0xFF, 0x20}},
        {"cliff E", {0xFF, 0xFF, 0x30}},      {"cliff NW", {0xFF, 0xFF, 0x40}},
        {"cliff NE", {0xFF, 0xFF, 0x50}},     {"cliff SW", {0xFF, 0xFF, 0x60}},
        {"cliff SE", {0xFF, 0xFF, 0x70}},     {"downhill S", {0xFF, 0x60, 0x00}},
        {"downhill N", {0xFF, 0x70, 0x00}},   {"downhill W", {0xFF, 0x80, 0x00}},
        {"downhill E", {0xFF, 0x90, 0x00}},   {"downhill NW", {0xFF, 0xA0, 0x00}},
        {"downhill NE", {0xFF, 0xB0, 0x00}},  {"downhill SW", {0xFF, 0xC0, 0x00}},
        {"downhill SE", {0xFF, 0xD0, 0x00}},  {"road S", {0x80, 0x80, 0x80}},
        {"road N", {0x88, 0x88, 0x88}},       {"road W", {0x90, 0x90, 0x90}},
        {"road E", {0x98, 0x98, 0x98}},       {"road NW", {0xA0, 0xA0, 0xA0}},
        {"road NE", {0xA8, 0xA8, 0xA8}},      {"road SW", {0xB0, 0xB0, 0xB0}},
        {"road SE", {0xB8, 0xB8, 0xB8}},      {"underground", {0x80, 0x40, 0x40}},
    }};
    return table;
}

void ResetAtrArray(TileEditorState& state, int columns, int rows) {
    state.Atr.Reset(columns, rows);
    state.InternalAtr.Reset(columns, rows);
}

void ResetTatrArray(TileEditorState& state, int columns, int rows) { state.InternalAtr.Reset(columns, rows); }

bool IsAtrArrayEmpty(const TileEditorState& state) { return state.Atr.AllZero(); }

bool SetAtrVal(TileEditorState& state, int column, int row, int value, SelectionCheck check) {
    if (!Inside(state.Atr, column, row) || !Inside(state.InternalAtr, column, row)) return false;
    if (check == SelectionCheck::On && (state.SelectedAtr < 0 || state.SelectedAtr > LastSelectableValue))
        return false;
    if (state.InternalMode) {
        std::uint8_t& cell = state.InternalAtr.At(column, row);
        if ((value == TatrOutside || value == TatrRegion) && cell != value)
            cell = static_cast<std::uint8_t>(value);
        else if (IsRingValue(value) && IsRingValue(cell))
            cell = static_cast<std::uint8_t>(value);
        RefreshTatrBounds(state);
        return true;
    }
    // Internal values never reach a tile: an internal value still selected
    // after internal mode was left (an Apply stopped at the bitmap limit)
    // paints nothing.
    if (value < 0 || value >= AttributeCount) return false;
    std::uint8_t& cell = state.Atr.At(column, row);
    if (cell == value) return false;
    cell = static_cast<std::uint8_t>(value);
    return true;
}

void RefreshTatrBounds(TileEditorState& state) {
    AttributeGrid& g = state.InternalAtr;
    for (int c = 0; c < g.Columns; ++c)
        for (int r = 0; r < g.Rows; ++r) {
            std::uint8_t& v = g.At(c, r);
            if (v == TatrRegion) continue;
            const bool near = NextToRegion(g, c, r);
            if (v == TatrUntouched || v == TatrOutside)
                v = near ? TatrImpassable : TatrOutside;
            else if (IsRingValue(v) && !near)
                v = TatrOutside;
        }
}


CliffMatch MatchCliff(const AttributeGrid& internal, int column, int row) {
    long dx = 0;
    long dy = 0;
    for (int i = std::max(column - 1, 0); i <= std::min(column + 1, internal.Columns - 1); ++i)
        for (int j = std::max(row - 1, 0); j <= std::min(row + 1, internal.Rows - 1); ++j)
            if (internal.At(i, j) == TatrRegion) {
                dx += column - i;
                dy += row - j;
            }
    CliffMatch m;
    const double len = std::sqrt(static_cast<double>(dx * dx + dy * dy));
    if (len <= 0) return m;
    double a = std::acos(static_cast<double>(dy) / len) * 180.0 / std::numbers::pi;
    if (dx < 0) a = 360.0 - a;
    m.HasAngle = true;
    m.Angle = static_cast<int>(std::lround(a));
    // Eight sectors of 45 degrees starting at south, clockwise on screen.
    static constexpr int Cliffs[] = {11, 18, 14, 16, 12, 15, 13, 17};
    m.Value = Cliffs[((m.Angle + 22) / 45) % 8];
    return m;
}

void ExitTatrMode(TileEditorState& state, bool convert) {
    AttributeGrid& g = state.InternalAtr;
    if (convert && g.Columns == state.Atr.Columns && g.Rows == state.Atr.Rows) {
        for (int c = 0; c < g.Columns; ++c)
            for (int r = 0; r < g.Rows; ++r) {
                int to = -1;
                switch (g.At(c, r)) {
                case TatrRegion: to = AtrUnderground; break;
                case TatrInfantry: to = AtrInfantryOnly; break;
                case TatrImpassable: to = AtrImpassable; break;
                case TatrCliff: to = MatchCliff(g, c, r).Value; break;
                default: break;
                }
                if (to >= 0) state.Atr.At(c, r) = static_cast<std::uint8_t>(to);
            }
    }
    state.InternalMode = false;
    g.Reset(g.Columns, g.Rows);
}

bool AttributeLayerShown(const TileEditorState& state) { return !state.InternalMode && state.SelectedAtr >= 0; }

int AttributeButtonOf(int selection) {
    if (selection < 0) return 0;
    if (selection <= 6 || selection == AtrUnderground) return 2;
    if (selection <= 10) return 3;
    if (selection <= 18) return 4;
    if (selection <= 26) return 5;
    if (selection <= 34) return 6;
    return 8;
}

const std::vector<int>& AttributeButtonValues(int button) {
    static const std::array<std::vector<int>, 9> values{{
        {},
        {},
        {0, 1, 2, 3, 4, 5, 6, 35},
        {7, 8, 9, 10},
        {11, 12, 13, 14, 15, 16, 17, 18},
        {19, 20, 21, 22, 23, 24, 25, 26},
        {27, 28, 29, 30, 31, 32, 33, 34},
        {},
        {36, 37, 38, 39, 40},
    }};
    static const std::vector<int> none;
    return button >= 0 && button < static_cast<int>(values.size()) ? values[static_cast<std::size_t>(button)] : none;
}

void SelectAttribute(TileEditorState& state, int value, UserInterface& ui, AskToSave ask) {
    if (value > LastSelectableValue || value < 0) value = NoAttributeSelected;
    if (ask == AskToSave::Yes && state.InternalMode && AttributeButtonOf(value) != 8) {
        state.SaveInternalChanges = ui.message(InternalAttributesCaption, SaveInternalQuestion, Icon::Information,
                                               Buttons::YesNo, Answer::Yes) == Answer::Yes;
    }
    state.SelectedAtr = value;
}

void SettleAttributeSelection(TileEditorState& state) {
    const bool internalGroup = AttributeButtonOf(state.SelectedAtr) == 8;
    if (state.InternalMode && !internalGroup) {
        ExitTatrMode(state, state.SaveInternalChanges);
        state.SaveInternalChanges = false;
    }
    state.InternalMode = internalGroup;
}

void LeaveInternalModeForApply(TileEditorState& state, UserInterface& ui) {
    if (!state.InternalMode) return;
    const bool save = ui.message(InternalAttributesCaption, SaveInternalQuestion, Icon::Information, Buttons::YesNo,
                                 Answer::Yes) == Answer::Yes;
    ExitTatrMode(state, save);
}

RgbPicture AttributeMaskOf(const TileEditorState& state) {
    const AttributeGrid& g = state.Atr;
    RgbPicture pic;
    pic.Width = g.Columns;
    pic.Height = g.Rows;
    pic.Px.resize(g.Values.size());
    for (int r = 0; r < g.Rows; ++r)
        for (int c = 0; c < g.Columns; ++c) {
            const int v = g.At(c, r);
            pic.Px[static_cast<std::size_t>(r) * g.Columns + c] =
                v < AttributeCount ? AttributeTable()[static_cast<std::size_t>(v)].Colour : Rgb{};
        }
    return pic;
}

MaskImportResult ImportAttributeMask(TileEditorState& state, const RgbPicture& mask, UserInterface& ui) {
    const AttributeGrid& g = state.Atr;
    if (g.Columns == 0 || g.Rows == 0 || mask.Width != g.Columns || mask.Height != g.Rows ||
        mask.Px.size() != g.Values.size()) {
        ui.message("Import Error", "Attributes Mask must have the same dimensions as this tile (terrain dims / 32).",
                   Icon::Warning);
        return MaskImportResult::WrongSize;
    }
    bool errors = false;
    const auto& table = AttributeTable();
    for (int r = 0; r < mask.Height; ++r)
        for (int c = 0; c < mask.Width; ++c) {
            const Rgb px = mask.Px[static_cast<std::size_t>(r) * mask.Width + c];
            int value = 0;
            bool found = false;
            for (int v = 0; v < AttributeCount && !found; ++v)
                if (table[static_cast<std::size_t>(v)].Colour == px) {
                    value = v;
                    found = true;
                }
            errors |= !found;
            SetAtrVal(state, c, r, value, SelectionCheck::Off);
        }
    if (!errors) return MaskImportResult::Imported;
    ui.message("Importing Error", "There were errors - check the attributes layer.", Icon::Warning);
    return MaskImportResult::ImportedWithErrors;
}

std::string AttributesHelpText() {
    std::string text = "Attributes and their equivalents in RGB (hex):\r";
    const auto& table = AttributeTable();
    for (int v = 0; v < AttributeCount; ++v) {
        const Rgb c = table[static_cast<std::size_t>(v)].Colour;
        char rgb[32];
        std::snprintf(rgb, sizeof rgb, "(%X,%X,%X)", c.R, c.G, c.B);
        text.append("\r").append(std::to_string(v)).append(" - ");
        text.append(table[static_cast<std::size_t>(v)].Name).append(" ").append(rgb);
    }
    return text;
}

}  // namespace zorvane
