#pragma once
// The id labels of the map view: decimal numbers and "+" written in white,
// font "Arial", without antialiasing, so that writing a label twice gives
// the same pixels. The glyphs are rendered once with Qt and then set pixel by
// pixel into the render picture, which is much faster than a painter per
// square.

#include <QImage>
#include <cstdint>
#include <string_view>
#include <vector>

namespace zorvane::render {

class LabelFont {
public:
    // pixelSize: the font's height in pixels (9 for 7 points at 96 ppi).
    explicit LabelFont(int pixelSize);

    // Writes `text` (digits and "+") with the top-left of its text cell at
    // (x, y) into an RGB32 picture, clipped to the picture.
    void Write(QImage& picture, int x, int y, std::string_view text, std::uint32_t colour) const;
    int PixelSize() const { return pixelSize_; }

private:
    struct Glyph {
        int advance = 0;
        std::vector<std::pair<int, int>> dots;  // (dx, dy) from the text cell's top-left
    };
    const Glyph* GlyphOf(char ch) const;

    int pixelSize_;
    Glyph glyphs_[11];  // "0".."9", "+"
};

}  // namespace zorvane::render
