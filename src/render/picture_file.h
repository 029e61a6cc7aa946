#pragma once
// Pictures saved like project files: encoded in memory first, then written
// through the safe save, so that a full disk or a killed process never
// leaves a picture cut short in place of the old one.

#include <string>

class QImage;

namespace zorvane::editor {

// Encodes `image` in `format` ("PNG", "BMP") and saves it at `path`;
// throws Error with the reason.
void SavePicture(const QImage& image, const std::string& path, const char* format);

}  // namespace zorvane::editor
