#pragma once
// Tile layer pictures as *.bmp files. Reading goes through Qt's image
// reader, after our own look at the file's headers: the pixel data that the
// headers declare must be in the file (Qt hands back rows it never read from
// a file cut short). Only 8-bit palette files are decoded; any other depth
// comes back as "not 8-bit" for the editor's format message.

#include <string>

#include "tile_editing/attribute_layer.h"
#include "tile_editing/tile_editor_state.h"

namespace zorvane::editor {

// Throws Error with the reason when the file cannot be read, is cut short or
// is damaged.
LoadedPicture ReadLayerBmp(const std::string& path);

// Writes `image` as an 8-bit palette bitmap with `palette`, through the
// safe save; throws Error with the reason.
void WriteLayerBmp(const LayerImage& image, const EditorPalette& palette, const std::string& path);

// An attribute mask picture: any uncompressed bitmap, as 24-bit colours,
// with the same checks that its pixel data is all there. Throws Error.
RgbPicture ReadMaskBmp(const std::string& path);
// Writes a mask as a 24-bit bitmap through the safe save; throws Error.
void WriteMaskBmp(const RgbPicture& mask, const std::string& path);

}  // namespace zorvane::editor
