#include "render/id_labels.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

namespace zorvane::render {

LabelFont::LabelFont(int pixelSize) : pixelSize_(pixelSize) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelSize);
    font.setStyleStrategy(QFont::NoAntialias);
    QFontMetrics metrics(font);
    const char* chars = "0123456789+";
    for (int i = 0; i < 11; ++i) {
        QChar ch = QLatin1Char(chars[i]);
        Glyph& g = glyphs_[i];
        g.advance = metrics.horizontalAdvance(ch);
        QImage img(g.advance + 4, metrics.height() + 2, QImage::Format_ARGB32);
        img.fill(Qt::transparent);
        {
            QPainter painter(&img);
            painter.setFont(font);
            painter.setPen(Qt::white);
            painter.drawText(QPoint(0, metrics.ascent()), QString(ch));
        }
        for (int y = 0; y < img.height(); ++y) {
            const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
            for (int x = 0; x < img.width(); ++x)
                if (qAlpha(line[x]) >= 128) g.dots.emplace_back(x, y);
        }
    }
}

const LabelFont::Glyph* LabelFont::GlyphOf(char ch) const {
    if (ch >= '0' && ch <= '9') return &glyphs_[ch - '0'];
    if (ch == '+') return &glyphs_[10];
    return nullptr;
}

void LabelFont::Write(QImage& picture, int x, int y, std::string_view text, std::uint32_t colour) const {
    const int w = picture.width(), h = picture.height();
    const qsizetype stride = picture.bytesPerLine() / 4;
    std::uint32_t* base = reinterpret_cast<std::uint32_t*>(picture.bits());
    for (char ch : text) {
        const Glyph* g = GlyphOf(ch);
        if (!g) continue;
        for (auto [dx, dy] : g->dots) {
            int px = x + dx, py = y + dy;
            if (px >= 0 && px < w && py >= 0 && py < h) base[py * stride + px] = colour;
        }
        x += g->advance;
        if (x >= w) break;
    }
}

}  // namespace zorvane::render
