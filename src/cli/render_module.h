#pragma once
// The render command's module: the Qt renderer in a library of its own
// (zorvane-render.so, zorvane-render.dll), beside zorvane and loaded only
// when `zorvane render` runs, so that every other command starts without Qt.
// zorvane parses the options, checks the files and reads the map; the module
// draws the map and writes the picture.
//
// The module is found by one function of C linkage; the job it takes holds
// the map as the program keeps it, so the module and zorvane are built
// together, from the same sources.

#include "model/project.h"

namespace zorvane::cli {

struct RenderJob {
    const Project* project = nullptr;
    const char* out = nullptr;  // the picture's file (UTF-8), already checked
    int compression = 1;        // PNG compression level, 0 to 9
    bool attributes = false;
    bool grid = false;
    bool ids = false;
    bool top = true;
    bool borders = true;
    // Told why, in words, when the picture could not be made or written.
    void (*fail)(void* context, const char* reason) = nullptr;
    void* context = nullptr;
};

// Returns 0 when the picture was written, else 1 after calling `fail`.
using RenderMapFunction = int (*)(const RenderJob* job);
inline constexpr char kRenderMapFunction[] = "zorvane_render_map";

}  // namespace zorvane::cli
