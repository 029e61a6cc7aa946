#include "tile_editor/attribute_icons.h"

#include <QPainter>
#include <QPainterPath>

#include "render/atr_icons.h"
#include "tile_editing/attribute_layer.h"

namespace zorvane::editor {

using render::AtrIcons;

namespace {

const QColor kOutline(0, 0, 0);
const QColor kFill(255, 255, 0);

QImage Blank() {
    QImage img(kAttributeIconSide, kAttributeIconSide, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

// The map view's pictogram of an attribute, in its outline and fill colours.
void DrawPictogram(QImage& img, int attribute) {
    const BitmapPixels& px = AtrIcons()[static_cast<std::size_t>(attribute)];
    for (int y = 0; y < kAttributeIconSide; ++y)
        for (int x = 0; x < kAttributeIconSide; ++x) {
            const std::uint8_t v = px[static_cast<std::size_t>(y * kAttributeIconSide + x)];
            if (v == 1) img.setPixelColor(x, y, kOutline);
            if (v == 2) img.setPixelColor(x, y, kFill);
        }
}

// A small square in the attribute's mask colour, so that icons whose
// pictograms are alike (or empty, as open ground) still differ at a glance.
void DrawSwatch(QPainter& p, Rgb colour) {
    p.setPen(kOutline);
    p.setBrush(QColor(colour.R, colour.G, colour.B));
    p.drawRect(0, 0, 8, 8);
}

// Ring squares of the internal mode carry a dashed frame.
void DrawRingFrame(QPainter& p) {
    QPen pen(QColor(255, 96, 0), 2, Qt::DashLine);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(1, 1, kAttributeIconSide - 3, kAttributeIconSide - 3);
}

QImage AttributeIconOf(int attribute) {
    QImage img = Blank();
    DrawPictogram(img, attribute);
    QPainter p(&img);
    DrawSwatch(p, AttributeTable()[static_cast<std::size_t>(attribute)].Colour);
    return img;
}

QImage InternalIconOf(int value) {
    QImage img = Blank();
    switch (value) {
    case TatrOutside: {  // outside the region: a small grey dot
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(kOutline);
        p.setBrush(QColor(160, 160, 160));
        p.drawEllipse(QPointF(16, 16), 4, 4);
        break;
    }
    case TatrRegion: {  // the underground region: brown hatching under the cave
        QPainter p(&img);
        p.setPen(QPen(QColor(0x80, 0x40, 0x40), 2));
        for (int d = -32; d < 32; d += 6) p.drawLine(d, 32, d + 32, 0);
        p.end();
        DrawPictogram(img, AtrUnderground);
        break;
    }
    case TatrInfantry:
    case TatrCliff:
    case TatrImpassable: {
        DrawPictogram(img, value == TatrInfantry ? AtrInfantryOnly : value == TatrCliff ? 11 : AtrImpassable);
        QPainter p(&img);
        DrawRingFrame(p);
        if (value == TatrCliff) {  // the direction is chosen when saved
            p.setPen(kOutline);
            p.setBrush(QColor(255, 255, 255));
            p.drawEllipse(QPointF(24, 24), 6, 6);
            QFont f = p.font();
            f.setPixelSize(10);
            f.setBold(true);
            p.setFont(f);
            p.drawText(QRectF(18, 18, 12, 12), Qt::AlignCenter, QStringLiteral("?"));
        }
        break;
    }
    default: {  // no attribute selected: an arrow pointer
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath arrow;
        arrow.moveTo(9, 4);
        arrow.lineTo(9, 26);
        arrow.lineTo(14, 21);
        arrow.lineTo(18, 29);
        arrow.lineTo(21, 27.5);
        arrow.lineTo(17, 19.5);
        arrow.lineTo(24, 19.5);
        arrow.closeSubpath();
        p.setPen(QPen(kOutline, 1.5));
        p.setBrush(Qt::white);
        p.drawPath(arrow);
        break;
    }
    }
    return img;
}

}  // namespace

const std::array<QImage, 42>& AttributeIcons() {
    static const std::array<QImage, 42> icons = [] {
        std::array<QImage, 42> list;
        for (int v = 0; v < static_cast<int>(list.size()); ++v)
            list[static_cast<std::size_t>(v)] = v < AttributeCount ? AttributeIconOf(v) : InternalIconOf(v);
        return list;
    }();
    return icons;
}

const QImage& AttributeIcon(int value) {
    const auto& icons = AttributeIcons();
    if (value < 0 || value >= static_cast<int>(icons.size())) return icons[NoSelectionIcon];
    return icons[static_cast<std::size_t>(value)];
}

}  // namespace zorvane::editor
