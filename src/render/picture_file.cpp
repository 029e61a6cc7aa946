#include "render/picture_file.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>

#include <algorithm>

#include "platform/error.h"
#include "platform/safe_save.h"
#include "render/png_writer.h"

namespace zorvane::render {

void SavePicture(const QImage& image, const std::string& path, const char* format, const PictureOptions& options) {
    if (qstricmp(format, "PNG") == 0) {
        std::vector<std::uint8_t> encoded;
        try {
            encoded = EncodePng(image, {.compression = std::clamp(options.compression, -1, 9)});
        } catch (const Error& e) {
            throw Error("Could not encode the picture for " + path + ": " + e.what());
        }
        SaveFileAtomically(path, encoded);
        return;
    }
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(image))
        throw Error("Could not encode the picture for " + path + ": " + writer.errorString().toStdString());
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(encoded.constData());
    SaveFileAtomically(path, {bytes, static_cast<std::size_t>(encoded.size())});
}

}  // namespace zorvane::render
