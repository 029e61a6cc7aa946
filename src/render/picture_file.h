#pragma once
// Pictures saved like project files: encoded in memory first, then written
// through the safe save, so that a full disk or a killed process never
// leaves a picture cut short in place of the old one.

#include <string>

class QImage;

namespace zorvane::render {

struct PictureOptions {
    // How hard a PNG is compressed: 0 (not at all) to 9 (smallest and
    // slowest), the levels of zlib; -1 is zlib's default (6). Other
    // formats ignore it.
    int compression = -1;
};

// Encodes `image` in `format` ("PNG", "BMP") and saves it at `path`;
// throws Error with the reason.
void SavePicture(const QImage& image, const std::string& path, const char* format, const PictureOptions& options = {});

}  // namespace zorvane::render
