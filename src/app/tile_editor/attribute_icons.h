#pragma once
// ILatr: the attribute layer's 42 icons of 32 x 32 pixels. Icon v (0..40)
// stands for attribute or internal value v, icon 41 for "no attribute
// selected". Attribute icons are the map view's pictograms (yellow with a
// black outline) with a corner swatch in the attribute's mask colour; the
// internal values have their own marks. Pixels outside the drawing are
// transparent, so the icons can be laid over the tile's picture.

#include <QImage>
#include <array>

namespace zorvane::editor {

inline constexpr int kAttributeIconSide = 32;

const std::array<QImage, 42>& AttributeIcons();

// The icon for a value, the "no attribute" icon for anything above 40 or
// below 0.
const QImage& AttributeIcon(int value);

}  // namespace zorvane::editor
