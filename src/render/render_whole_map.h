#pragma once
// The whole map drawn by the map view's renderer into one picture of
// MapWidth x 32 by MapHeight x 32 pixels, as the editor would show it with
// the view at the map's top-left and every used tile drawn.
//
// Needs a QGuiApplication when ids are written (the label font);
// EnsureGuiApplication makes one on the "offscreen" platform for programs
// without a window.

#include <QImage>

#include "model/project.h"
#include "render/view_options.h"

namespace zorvane::render {

using RenderOptions = ViewOptions;

// A null picture for a map without squares.
QImage RenderWholeMap(const zorvane::Project& project, const RenderOptions& options);

// Creates a QGuiApplication (platform "offscreen" unless QT_QPA_PLATFORM is
// set) when the program has none yet. It lives until the program ends.
void EnsureGuiApplication();

}  // namespace zorvane::render
