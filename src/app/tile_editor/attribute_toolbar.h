#pragma once
// TBatr, the attributes toolbar of the tile editor: a "no attribute" button,
// five drop-down buttons for the attribute groups and one for the internal
// values. A click selects a value; the buttons are brought up to date once
// the click has been handled (TBatrTimer), and the owner is told so that it
// can redraw.

#include <QObject>
#include <QString>
#include <array>
#include <functional>

#include "tile_editing/attribute_layer.h"

class QToolBar;
class QToolButton;
class QTimer;

namespace zorvane::editor {

class AttributeToolbar : public QObject {
public:
    AttributeToolbar(QToolBar* bar, TileEditorState& state, UserInterface& ui);

    // A click on a drop-down item or a button face: selects `value` (-1 for
    // none), asking about unsaved internal changes when `ask` says so.
    void Select(int value, AskToSave ask);
    // Brings the buttons up to date at once (what the timer does).
    void Settle();

    // The button at a toolbar position (0..8; nullptr for the separators).
    QToolButton* ButtonAt(int position) const { return buttons_[static_cast<std::size_t>(position)]; }
    // The value whose icon a button shows now.
    int ShownValue(int position) const { return shown_[static_cast<std::size_t>(position)]; }

    QTimer* TBatrTimer;
    // Called after each update (the attribute layer may have changed).
    std::function<void()> OnSettled;

private:
    TileEditorState& state_;
    UserInterface& ui_;
    std::array<QToolButton*, 9> buttons_{};
    std::array<int, 9> shown_{};
};

}  // namespace zorvane::editor
