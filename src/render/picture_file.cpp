#include "render/picture_file.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>

#include <algorithm>

#include "platform/error.h"
#include "platform/safe_save.h"

namespace zorvane::editor {

namespace {

// Qt's PNG writer takes its compression as a quality from 100 (level 0) to
// 0 (level 9), level = (100 - quality) * 9 / 91 rounded down: the highest
// quality that gives the level.
int PngQualityOf(int level) { return 100 - (level * 91 + 8) / 9; }

}  // namespace

void SavePicture(const QImage& image, const std::string& path, const char* format, const PictureOptions& options) {
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (options.compression >= 0 && qstricmp(format, "PNG") == 0)
        writer.setQuality(PngQualityOf(std::min(options.compression, 9)));
    if (!writer.write(image))
        throw Error("Could not encode the picture for " + path + ": " + writer.errorString().toStdString());
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(encoded.constData());
    SaveFileAtomically(path, {bytes, static_cast<std::size_t>(encoded.size())});
}

}  // namespace zorvane::editor
