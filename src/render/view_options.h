#pragma once
// What the map view shows; each option is a View menu command.

namespace zorvane::render {

struct ViewOptions {
    bool ShowGnd = true;      // "Show Ground Layer"
    bool ShowTop = true;      // "Show Top Layer"
    bool ShowAtr = false;     // "Show Attributes"
    bool ShowId = false;      // "Show Id"
    bool ShowGrid = false;    // "Show Grid"
    bool ShowBorder = true;   // "Show Borders"
    bool FastRender = true;   // "Fast Rendering": redraw only the asked squares
};

}  // namespace zorvane::render
