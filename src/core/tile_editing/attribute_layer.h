#pragma once
// The tile editor's attribute layer: one attribute byte per 32 x 32 square of
// the tile (what the game reads: open ground, water, cliffs, slopes, roads,
// underground), painting it, the internal mode in which the user paints an
// underground region and the ring around it is derived (impassable, infantry
// only or a cliff facing away from the region), and the attribute mask
// picture (one pixel per square, one colour per attribute).

#include <array>
#include <string>
#include <vector>

#include "tile_editing/tile_editor_state.h"
#include "ui/ui.h"

namespace zorvane {

inline constexpr int AtrNoGo = 1;
inline constexpr int AtrInfantryOnly = 5;
inline constexpr int AtrUnderground = 35;

// Values of the internal attribute array (never stored in a tile).
inline constexpr int TatrUntouched = 0;     // not touched since the array was cleared
inline constexpr int TatrOutside = 36;      // outside the region, not next to it
inline constexpr int TatrRegion = 37;       // the painted underground region
inline constexpr int TatrInfantry = 38;     // ring square chosen as infantry only
inline constexpr int TatrCliff = 39;        // ring square chosen as cliff
inline constexpr int TatrImpassable = 40;   // ring square, impassable (every new ring square)
inline constexpr int LastSelectableValue = 40;
inline constexpr int NoAttributeSelected = -1;
inline constexpr int NoSelectionIcon = 41;  // icon of the "nothing selected" button
inline constexpr int AttributeIconCount = 42;

struct AttributeInfo {
    const char* Name;
    Rgb Colour;  // the attribute's colour in mask pictures
};
const std::array<AttributeInfo, AttributeCount>& AttributeTable();

// Both arrays re-created at the given size, all 0.
void ResetAtrArray(TileEditorState& state, int columns, int rows);
// The internal array re-created at the given size, all 0.
void ResetTatrArray(TileEditorState& state, int columns, int rows);
// No square holds a non-zero attribute (also true for 0 x 0).
bool IsAtrArrayEmpty(const TileEditorState& state);

enum class SelectionCheck { Off, On };
// Sets one square: the attribute, or in internal mode the internal value
// (36 and 37 anywhere, 38..40 only where a ring square already is), after
// which the ring is recomputed. Squares outside the array are ignored; with
// the selection check on nothing happens unless an attribute is selected.
// Returns whether the view needs a redraw.
bool SetAtrVal(TileEditorState& state, int column, int row, int value, SelectionCheck check);

// Recomputes the ring around the region in the internal array: squares next
// to a region square become ring squares (new ones impassable, re-classified
// ones kept), squares no longer next to it become "outside".
void RefreshTatrBounds(TileEditorState& state);

// The cliff for a ring square: its direction points away from the region
// squares around it. Angle is the rounded direction in degrees (0 = south,
// growing through east), absent when the region squares around it cancel
// out, in which case the square becomes "no go".
struct CliffMatch {
    int Value = AtrNoGo;
    bool HasAngle = false;
    int Angle = 0;
};
CliffMatch MatchCliff(const AttributeGrid& internal, int column, int row);

// Leaves internal mode; with `convert` the internal values become attributes
// (region underground, infantry ring infantry only, cliff ring a cliff from
// MatchCliff, impassable ring impassable). The internal array is cleared in
// either case.
void ExitTatrMode(TileEditorState& state, bool convert);

// Whether the attribute layer (not the internal one) is drawn over the view.
bool AttributeLayerShown(const TileEditorState& state);

// Toolbar button holding a value's group: 0 for nothing selected, 2..6 for
// the attribute groups, 8 for the internal values.
int AttributeButtonOf(int selection);
// The drop-down values of each toolbar button (empty for button 0 and the
// separators), in menu order.
const std::vector<int>& AttributeButtonValues(int button);

inline const char* const InternalAttributesCaption = "Internal Attributes";
inline const char* const SaveInternalQuestion = "Do you want to save changes of \"internal\" attributes?";

// A click that selects `value` (-1 for none): asks whether the internal
// changes are to be saved when it leaves internal mode and remembers the
// answer. `ask` off for the "Pick" buttons, which leave without the question.
enum class AskToSave { No, Yes };
void SelectAttribute(TileEditorState& state, int value, UserInterface& ui, AskToSave ask);
// The toolbar update that follows a selection: leaves internal mode when the
// selection left the internal group (converting per the remembered answer),
// enters it when the selection is internal.
void SettleAttributeSelection(TileEditorState& state);

// Apply's first step in internal mode: asks whether the internal changes are
// to be saved and leaves internal mode accordingly.
void LeaveInternalModeForApply(TileEditorState& state, UserInterface& ui);

// The attribute mask: one pixel per square, in the attribute's colour (black
// for values outside the table).
struct RgbPicture {
    int Width = 0;
    int Height = 0;
    std::vector<Rgb> Px;  // top row first
};
RgbPicture AttributeMaskOf(const TileEditorState& state);

enum class MaskImportResult { WrongSize, Imported, ImportedWithErrors };
// Reads a mask back square by square through SetAtrVal (so in internal mode
// it changes nothing); unknown colours become 0. Shows the size refusal or
// the error notice.
MaskImportResult ImportAttributeMask(TileEditorState& state, const RgbPicture& mask, UserInterface& ui);

// The "Help" box's text: the colour of each attribute.
std::string AttributesHelpText();
inline const char* const AttributesHelpCaption = "Attributes Help";

}  // namespace zorvane
