#include "info/controls_text.h"

#include <initializer_list>

namespace zorvane::info {

std::string ControlsText() {
    const std::initializer_list<const char*> lines = {
        "Basic Controls:",
        "Lmb - Select/Drop Tile",
        "LAlt+Lmb - Select Tile (Including Invisible, First Unselected)",
        "Ctrl+Lmb - Start Dragging Selection",
        "Shift + Lmb - Selection Step Up",
        "Rmb - Deselect Tile / Cancel Drag / Cancel New",
        "LAlt+Rmb - Deselect Tile (Including Invisible, First Selected)",
        "Shift + Rmb - Selection Step Down",
        "Del - Delete Selected Layers",
        "Mmb - Scrolling through Map",
        "Arrows - Scrolling through Map",
        "Wheel, Shift+Wheel - Scrolling through Map, Sideways",
        "Ctrl+Wheel - Zoom at the Mouse",
        "Shift+Arrows- Fast Scrolling through Map",
        "",
        "Keyboard Shortcuts:",
        "Ctrl+N - New Map",
        "Ctrl+I - Open *.zm",
        "Ctrl+O - Open *.zl",
        "Ctrl+S - Save to *.zl",
        "Ctrl+Z - Undo",
        "Ctrl+Y - Redo",
        "Ctrl+Shift+Z - Redo",
        "Ctrl+A - Select All Tiles on Map",
        "Ctrl+D - Deselect All",
        "Ctrl+C - Clone Selection",
        "Ctrl+U - Selection to Top",
        "Ctrl+B - Selection to Bottom",
        "Ctrl+T - Add New Tile",
        "Ctrl+E - Edit Selected Tile",
        "Ctrl+1 - Show Ground Layer",
        "Ctrl+2 - Show Top Layer",
        "Ctrl+3 - Show Attributes",
        "Ctrl+4 - Show Id",
        "Ctrl+5 - Show Grid",
        "Ctrl+M - Mini Map",
        "Ctrl+= - Zoom In",
        "Ctrl++ - Zoom In",
        "Ctrl+- - Zoom Out",
        "Ctrl+0 - Zoom 100%",
        "Ctrl+9 - Fit Map",
        "Ctrl+P - Pick Tile under Mouse",
        "Ctrl+G - Generate Map",
        "Ctrl+Shift+G - Generate in Selection",
        "Ctrl+L - Generator Statistics",
        "Esc - Stop Map Generator",
        "1-9 - Turn Back Map Generator by [1-9] lines (if enabled)",
        "0 - Reset localAttempts (if enabled)",
        "F1 - Controls List",
    };
    std::string text;
    bool first = true;
    for (const char* line : lines) {
        if (!first) text += '\r';
        text += line;
        first = false;
    }
    return text;
}

std::string DonateCaption() { return "Shout me a beer!"; }

std::string DonateText() {
    return "If the Zorvane Terrain Editor saved you some work,\rshout its author a beer!\r\rOpen the donation page?";
}

std::string DonateAddress() { return "https://zorvane.example.org/donate"; }

}  // namespace zorvane::info
