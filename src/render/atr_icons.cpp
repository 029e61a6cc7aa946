#include "render/atr_icons.h"

#include <cmath>
#include <functional>
#include <vector>

namespace zorvane::render {
namespace {

// A shape is a test on a point of the 32 x 32 square (pixel centres at
// n + 0.5). Pictograms are unions and differences of simple shapes; the
// outline is every pixel outside the fill that touches it.
using Shape = std::function<bool(double x, double y)>;

struct Pt {
    double x, y;
};

Shape Polygon(std::vector<Pt> pts) {
    return [pts = std::move(pts)](double x, double y) {
        bool inside = false;
        for (std::size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
            if ((pts[i].y > y) != (pts[j].y > y) &&
                x < (pts[j].x - pts[i].x) * (y - pts[i].y) / (pts[j].y - pts[i].y) + pts[i].x)
                inside = !inside;
        }
        return inside;
    };
}

Shape Rect(double x0, double y0, double x1, double y1) {
    return [=](double x, double y) { return x >= x0 && x <= x1 && y >= y0 && y <= y1; };
}

Shape Disc(double cx, double cy, double r) {
    return [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; };
}

// A thick line from (x0, y0) to (x1, y1).
Shape Bar(double x0, double y0, double x1, double y1, double halfWidth) {
    return [=](double x, double y) {
        double dx = x1 - x0, dy = y1 - y0;
        double len2 = dx * dx + dy * dy;
        double t = ((x - x0) * dx + (y - y0) * dy) / len2;
        if (t < 0 || t > 1) return false;
        double px = x0 + t * dx - x, py = y0 + t * dy - y;
        return px * px + py * py <= halfWidth * halfWidth;
    };
}

// A wave band around y = y0 across columns x0..x1.
Shape Wave(double y0, double x0, double x1) {
    return [=](double x, double y) {
        if (x < x0 || x > x1) return false;
        double c = y0 + 2.5 * std::sin((x - x0) * 2 * 3.14159265358979 / 12.0);
        return std::fabs(y - c) <= 1.6;
    };
}

Shape Union(std::vector<Shape> parts) {
    return [parts = std::move(parts)](double x, double y) {
        for (auto& p : parts)
            if (p(x, y)) return true;
        return false;
    };
}

Shape Minus(Shape a, Shape b) {
    return [a = std::move(a), b = std::move(b)](double x, double y) { return a(x, y) && !b(x, y); };
}

// The shape turned by `eighths` x 45 degrees around the centre; a shape
// drawn pointing south then points S, SW, W, NW, N, NE, E, SE.
Shape Turned(Shape s, int eighths) {
    double a = eighths * 3.14159265358979 / 4.0;
    double c = std::cos(a), sn = std::sin(a);
    return [s = std::move(s), c, sn](double x, double y) {
        double dx = x - 16, dy = y - 16;
        return s(16 + dx * c + dy * sn, 16 - dx * sn + dy * c);
    };
}

// Turns for the compass order of the attributes: S, N, W, E, NW, NE, SW, SE.
constexpr int kCompassTurns[8] = {0, 4, 2, 6, 3, 5, 1, 7};

Shape CliffSouth() {
    return Union({Rect(5, 9, 27, 14), Polygon({{5, 14}, {12, 14}, {8.5, 23}}), Polygon({{12.5, 14}, {19.5, 14}, {16, 23}}),
                  Polygon({{20, 14}, {27, 14}, {23.5, 23}})});
}

Shape ArrowSouth() {
    return Union({Rect(13, 4, 19, 18), Polygon({{5, 16}, {27, 16}, {16, 28}})});
}

Shape RoadSouth() {
    Shape band = Union({Rect(10, 16, 22, 28), Disc(16, 16, 7)});
    return Minus(band, Union({Rect(15, 13, 17, 17), Rect(15, 21, 17, 25)}));
}

Shape ShapeOf(int atr) {
    switch (atr) {
    case 1:  // no go: a prohibition sign
        return Union({Minus(Disc(16, 16, 13), Disc(16, 16, 9)), Bar(9.5, 9.5, 22.5, 22.5, 2.2)});
    case 2: {  // no build: a crossed-out house
        Shape house = Union({Rect(8, 15, 24, 27), Polygon({{5, 16.5}, {27, 16.5}, {16, 5}})});
        return Minus(house, Union({Bar(6, 27, 26, 7, 1.0), Bar(6, 7, 26, 27, 1.0)}));
    }
    case 3:  // impassable: a thick cross
        return Union({Bar(6, 6, 26, 26, 3.2), Bar(6, 26, 26, 6, 3.2)});
    case 4:  // trees: a fir
        return Union({Polygon({{16, 3}, {24, 13}, {8, 13}}), Polygon({{16, 8}, {27, 22}, {5, 22}}), Rect(14, 22, 18, 28)});
    case 5:  // infantry only: a soldier
        return Union({Disc(16, 7, 4), Rect(11, 12, 21, 21), Rect(11, 21, 14.5, 29), Rect(17.5, 21, 21, 29),
                      Bar(11, 13, 6, 20, 1.5), Bar(21, 13, 26, 20, 1.5)});
    case 6:  // road: a band across with a dashed middle line
        return Minus(Rect(2, 10, 30, 22), Union({Rect(4, 15, 9, 17), Rect(13, 15, 19, 17), Rect(23, 15, 28, 17)}));
    case 7:  // swamp: reeds over a wave
        return Union({Wave(25, 3, 29), Rect(9, 9, 10.5, 23), Disc(9.75, 9, 2.3), Rect(15.5, 5, 17, 23), Disc(16.25, 6, 2.3),
                      Rect(22, 11, 23.5, 23), Disc(22.75, 11, 2.3)});
    case 8:  // shallow, medium and deep water: one, two or three waves
        return Wave(16, 3, 29);
    case 9:
        return Union({Wave(11, 3, 29), Wave(21, 3, 29)});
    case 10:
        return Union({Wave(7, 3, 29), Wave(16, 3, 29), Wave(25, 3, 29)});
    case 35:  // underground: a cave mouth on the ground
        return Union({Minus(Union({Disc(16, 21, 11)}), Union({Disc(16, 23, 6), Rect(0, 24, 32, 32)})), Rect(3, 24, 10, 27),
                      Rect(22, 24, 29, 27)});
    default:
        break;
    }
    if (atr >= 11 && atr <= 18) return Turned(CliffSouth(), kCompassTurns[atr - 11]);
    if (atr >= 19 && atr <= 26) return Turned(ArrowSouth(), kCompassTurns[atr - 19]);
    if (atr >= 27 && atr <= 34) return Turned(RoadSouth(), kCompassTurns[atr - 27]);
    return [](double, double) { return false; };
}

BitmapPixels Draw(const Shape& shape) {
    bool fill[32][32];
    for (int r = 0; r < 32; ++r)
        for (int c = 0; c < 32; ++c) fill[r][c] = shape(c + 0.5, r + 0.5);
    BitmapPixels px{};
    for (int r = 0; r < 32; ++r) {
        for (int c = 0; c < 32; ++c) {
            if (fill[r][c]) {
                px[r * 32 + c] = 2;
                continue;
            }
            for (int dr = -1; dr <= 1 && px[r * 32 + c] == 0; ++dr)
                for (int dc = -1; dc <= 1; ++dc) {
                    int rr = r + dr, cc = c + dc;
                    if (rr >= 0 && rr < 32 && cc >= 0 && cc < 32 && fill[rr][cc]) {
                        px[r * 32 + c] = 1;
                        break;
                    }
                }
        }
    }
    return px;
}

AtrIconTable PrepareAttributes() {
    AtrIconTable table{};
    for (int a = 1; a < AttributeCount; ++a) table[a] = Draw(ShapeOf(a));
    return table;
}

}  // namespace

const AtrIconTable& AtrIcons() {
    static const AtrIconTable table = PrepareAttributes();
    return table;
}

}  // namespace zorvane::render
