#include "render/picture_file.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>

#include "platform/error.h"
#include "platform/safe_save.h"

namespace zorvane::editor {

void SavePicture(const QImage& image, const std::string& path, const char* format) {
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(image))
        throw Error("Could not encode the picture for " + path + ": " + writer.errorString().toStdString());
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(encoded.constData());
    SaveFileAtomically(path, {bytes, static_cast<std::size_t>(encoded.size())});
}

}  // namespace zorvane::editor
