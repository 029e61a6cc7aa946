// Pictures of the sample tile set, drawn pixel by pixel from hashes and
// tileable noise so that equal squares meet seamlessly and every run with
// the same seed draws the same bytes.

#include "samples/sample_art.h"

#include <algorithm>
#include <cmath>

namespace zorvane::samples {

namespace {

constexpr int S = BitmapSide;

int RoundToInt(double v) { return static_cast<int>(std::floor(v + 0.5)); }

double Smooth(double f) { return f * f * (3.0 - 2.0 * f); }

// The hash as a value in [0, 1).
double HashUnit(int x, int y, std::uint32_t salt) { return PixelHash(x, y, salt) / 4294967296.0; }

int Mod(int a, int m) { return ((a % m) + m) % m; }

}  // namespace

std::uint32_t PixelHash(int x, int y, std::uint32_t salt) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8da6b343u ^ static_cast<std::uint32_t>(y) * 0xd8163841u ^
                      salt * 0xcb1ab31fu;
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return h;
}

double TileNoise(int x, int y, int cell, int period, std::uint32_t salt) {
    const int lattice = period / cell;
    const int cx = Mod(x, period), cy = Mod(y, period);
    const int i = cx / cell, j = cy / cell;
    const double fx = Smooth((cx % cell + 0.5) / cell), fy = Smooth((cy % cell + 0.5) / cell);
    auto v = [&](int a, int b) { return HashUnit(a % lattice, b % lattice, salt); };
    const double top = v(i, j) + (v(i + 1, j) - v(i, j)) * fx;
    const double bottom = v(i, j + 1) + (v(i + 1, j + 1) - v(i, j + 1)) * fx;
    return top + (bottom - top) * fy;
}

std::uint8_t Shade(Ramp ramp, int level) {
    return static_cast<std::uint8_t>(ramp * 16 + std::clamp(level, 1, 15));
}

void FillSamplePalette(std::array<std::uint8_t, 1024>& palette) {
    // Base colour (red, green, blue) of each ramp, in Ramp order.
    static constexpr int kBase[16][3] = {
        {96, 96, 100},  {78, 142, 52},  {44, 112, 42},  {214, 190, 132}, {64, 150, 196}, {28, 72, 148},
        {132, 124, 112}, {152, 116, 76}, {112, 72, 38}, {216, 204, 178}, {172, 62, 42},  {226, 236, 240},
        {232, 208, 64},  {186, 84, 164}, {34, 84, 54},  {142, 190, 220},
    };
    for (int ramp = 0; ramp < 16; ++ramp) {
        for (int level = 0; level < 16; ++level) {
            const double t = level / 15.0;
            std::uint8_t rgb[3];
            for (int k = 0; k < 3; ++k) {
                const double base = kBase[ramp][k];
                const double c = t < 0.7 ? base * (0.3 + t / 0.7 * 0.7) : base + (255.0 - base) * (t - 0.7) / 0.3 * 0.6;
                rgb[k] = static_cast<std::uint8_t>(std::clamp(RoundToInt(c), 0, 255));
            }
            const int i = (ramp * 16 + level) * 4;
            palette[i] = rgb[2];
            palette[i + 1] = rgb[1];
            palette[i + 2] = rgb[0];
            palette[i + 3] = 0;
        }
    }
    palette[0] = palette[1] = palette[2] = 0;  // index 0: the transparent colour, black
}

int TerrainVariantCount(Terrain t) { return t == Terrain::Grass ? 4 : 2; }

namespace {

std::uint8_t GrassTexel(int variant, int x, int y) {
    const std::uint32_t h = PixelHash(Mod(x, S), Mod(y, S), 101);
    const double n = TileNoise(x, y, 8, S, 11);
    const double fine = TileNoise(x, y, 4, S, 12);
    int level = 7 + RoundToInt((n - 0.5) * 2.5 + (fine - 0.5) * 2.5) + static_cast<int>(h % 3) - 1;
    if (h % 11 == 0) level += 3;
    if (h % 13 == 0) level -= 3;
    const std::uint32_t v = PixelHash(Mod(x, S), Mod(y, S), 200 + variant);
    switch (variant) {
    case 1:
        if (v % 7 == 0) level += 3;  // light blades
        break;
    case 2:
        if (v % 41 == 0) return Shade(RampYellow, 11);  // flowers
        if (v % 59 == 0) return Shade(RampPurple, 10);
        break;
    case 3:
        if (TileNoise(x, y, 4, S, 300) > 0.8) return Shade(RampLeaves, 5 + static_cast<int>(v % 3));  // tufts
        break;
    default: break;
    }
    return Shade(RampGrass, level);
}

std::uint8_t SandTexel(int variant, int x, int y) {
    const std::uint32_t h = PixelHash(Mod(x, S), Mod(y, S), 102);
    const double n = TileNoise(x, y, 8, S, 21);
    int level = 9 + RoundToInt((n - 0.5) * 4) + static_cast<int>(h % 3) - 1;
    if (h % 17 == 0) level -= 3;  // pebbles
    if (variant == 1 && Mod(x + y / 2 + RoundToInt(n * 6), 7) == 0) level -= 2;  // ripples
    return Shade(RampSand, level);
}

std::uint8_t WaterTexel(bool deep, int variant, int x, int y) {
    const std::uint32_t h = PixelHash(Mod(x, S), Mod(y, S), deep ? 104 : 103);
    const double n = TileNoise(x, y, 8, S, deep ? 41 : 31);
    const bool ripple = Mod(y * 2 + x / 4 + RoundToInt(n * 10), deep ? 11 : 9) == 0;
    int level = (deep ? 6 : 8) + RoundToInt((n - 0.5) * 4) + (ripple ? 3 : 0) + static_cast<int>(h % 2);
    if (variant == 1 && h % 43 == 0) return Shade(RampFoam, 11);  // sparkles
    return Shade(deep ? RampDeep : RampShallow, level);
}

std::uint8_t RockTexel(int variant, int x, int y) {
    const std::uint32_t h = PixelHash(Mod(x, S), Mod(y, S), 105);
    const double n = TileNoise(x, y, 8, S, 51);
    const double fine = TileNoise(x, y, 4, S, 52);
    if (std::abs(fine - 0.5) < 0.025) return Shade(RampRock, 3);  // cracks
    if (variant == 1 && n > 0.72) return Shade(RampGrass, 5 + static_cast<int>(h % 2));  // moss
    const int level = 8 + RoundToInt((n - 0.5) * 6 + (fine - 0.5) * 4) + static_cast<int>(h % 3) - 1;
    return Shade(RampRock, level);
}

}  // namespace

std::uint8_t TerrainTexel(Terrain t, int variant, int x, int y) {
    switch (t) {
    case Terrain::Deep: return WaterTexel(true, variant, x, y);
    case Terrain::Shallow: return WaterTexel(false, variant, x, y);
    case Terrain::Sand: return SandTexel(variant, x, y);
    case Terrain::Grass: return GrassTexel(variant, x, y);
    case Terrain::Rock: return RockTexel(variant, x, y);
    }
    return 0;
}

BitmapPixels DrawPureTerrain(Terrain t, int variant) {
    BitmapPixels px{};
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x) px[y * S + x] = TerrainTexel(t, variant, x, y);
    return px;
}

namespace {

// The colour of the line where two terrains meet, on the lower or the upper
// terrain's side.
std::uint8_t ShoreTexel(Terrain lower, bool upperSide) {
    switch (lower) {
    case Terrain::Deep: return Shade(RampShallow, upperSide ? 11 : 9);
    case Terrain::Shallow: return upperSide ? Shade(RampSand, 6) : Shade(RampFoam, 12);
    case Terrain::Sand: return Shade(RampGrass, upperSide ? 4 : 5);
    default: return Shade(RampRock, upperSide ? 4 : 3);
    }
}

}  // namespace

BitmapPixels DrawTransition(const Corners& corners) {
    const Terrain lower = *std::min_element(corners.begin(), corners.end());
    const Terrain upper = static_cast<Terrain>(static_cast<int>(lower) + 1);
    double up[4];
    for (int k = 0; k < 4; ++k) up[k] = corners[k] == upper ? 1.0 : 0.0;
    const std::uint32_t salt = 60 + static_cast<std::uint32_t>(lower);
    BitmapPixels px{};
    for (int y = 0; y < S; ++y) {
        for (int x = 0; x < S; ++x) {
            // Bilinear between the corners: along an edge only that edge's two
            // corners count, so neighbouring squares meet on the same line.
            const double u = (x + 0.5) / S, v = (y + 0.5) / S;
            const double w = up[TopLeft] * (1 - u) * (1 - v) + up[TopRight] * u * (1 - v) +
                             up[BottomLeft] * (1 - u) * v + up[BottomRight] * u * v;
            const double wobble = (TileNoise(x, y, 8, S, salt) - 0.5) * 0.5 * 16.0 * u * (1 - u) * v * (1 - v);
            const double d = w + wobble - 0.5;
            std::uint8_t c;
            if (std::abs(d) < 0.045)
                c = ShoreTexel(lower, d >= 0);
            else
                c = TerrainTexel(d > 0 ? upper : lower, 0, x, y);
            px[y * S + x] = c;
        }
    }
    return px;
}

BitmapPixels DrawRoad(std::uint8_t mask) {
    bool in[S][S];
    for (int y = 0; y < S; ++y) {
        for (int x = 0; x < S; ++x) {
            const double dx = x - 15.5, dy = y - 15.5;
            bool inside = dx * dx + dy * dy <= 49.0;
            const bool acrossNS = x >= 9 && x <= 22, acrossEW = y >= 9 && y <= 22;
            if ((mask & RoadNorth) && acrossNS && y <= 15) inside = true;
            if ((mask & RoadSouth) && acrossNS && y >= 16) inside = true;
            if ((mask & RoadWest) && acrossEW && x <= 15) inside = true;
            if ((mask & RoadEast) && acrossEW && x >= 16) inside = true;
            in[y][x] = inside;
        }
    }
    // Outside the square counts as the same as the edge pixel, so arms run
    // on into the neighbour without an outline across them.
    auto at = [&](int x, int y) { return in[std::clamp(y, 0, S - 1)][std::clamp(x, 0, S - 1)]; };
    BitmapPixels px{};
    for (int y = 0; y < S; ++y) {
        for (int x = 0; x < S; ++x) {
            const bool edge = at(x - 1, y) != at(x, y) || at(x + 1, y) != at(x, y) || at(x, y - 1) != at(x, y) ||
                              at(x, y + 1) != at(x, y);
            if (!in[y][x]) {
                px[y * S + x] = edge ? Shade(RampGrass, 4) : GrassTexel(0, x, y);
                continue;
            }
            const std::uint32_t h = PixelHash(x, y, 106);
            const double n = TileNoise(x, y, 8, S, 71);
            int level = 8 + RoundToInt((n - 0.5) * 4) + static_cast<int>(h % 3) - 1;
            if (h % 19 == 0) level -= 3;
            px[y * S + x] = Shade(RampDirt, edge ? 5 : level);
        }
    }
    return px;
}

namespace {

// Dithered shadow: every other pixel darkened, the rest left as drawn.
bool ShadowDot(int x, int y) { return (x + y) % 2 == 0; }

bool InEllipse(double x, double y, double cx, double cy, double rx, double ry) {
    const double a = (x - cx) / rx, b = (y - cy) / ry;
    return a * a + b * b <= 1.0;
}

void DrawRoundCanopy(BitmapPixels& px, double cx, double cy, double r, std::uint32_t salt, Ramp ramp) {
    for (int y = 0; y < S; ++y) {
        for (int x = 0; x < S; ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            const double dist = std::sqrt(dx * dx + dy * dy);
            const double reach = r + (TileNoise(x, y, 4, S, salt) - 0.5) * 4.0;
            if (dist > reach) continue;
            const double lx = x + 0.5 - (cx - r * 0.4), ly = y + 0.5 - (cy - r * 0.4);
            const double light = std::sqrt(lx * lx + ly * ly) / (r * 1.4);
            const std::uint32_t h = PixelHash(x, y, salt);
            int level = 12 - RoundToInt(light * 7) + RoundToInt((TileNoise(x, y, 4, S, salt + 1) - 0.5) * 4) +
                        static_cast<int>(h % 2);
            if (dist > reach - 1.0) level = 3;
            px[y * S + x] = Shade(ramp, level);
        }
    }
}

void DrawShadow(BitmapPixels& px, double cx, double cy, double rx, double ry) {
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x)
            if (ShadowDot(x, y) && InEllipse(x + 0.5, y + 0.5, cx, cy, rx, ry)) px[y * S + x] = Shade(RampShadow, 2);
}

void DrawTrunk(BitmapPixels& px, int x0, int x1, int y0, int y1) {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) px[y * S + x] = Shade(RampWood, x == x0 ? 9 : x == x1 ? 4 : 6);
}

void DrawPine(BitmapPixels& px) {
    for (int tier = 0; tier < 3; ++tier) {
        const int top = 2 + tier * 6, bottom = 12 + tier * 6;
        for (int y = top; y <= bottom; ++y) {
            const double half = 1.5 + (y - top) * (0.45 + tier * 0.12);
            for (int x = 0; x < S; ++x) {
                const double dx = x + 0.5 - 16.0;
                if (std::abs(dx) > half) continue;
                const std::uint32_t h = PixelHash(x, y, 120);
                int level = 9 - RoundToInt(dx / 2.5) + static_cast<int>(h % 3) - 1;
                if (std::abs(dx) > half - 1.0 || y == bottom) level = 3;
                px[y * S + x] = Shade(RampPine, level);
            }
        }
    }
}

}  // namespace

BitmapPixels DrawTree(int kind) {
    BitmapPixels px{};  // all transparent
    switch (kind) {
    case 0:
        DrawShadow(px, 20, 25, 11, 5);
        DrawTrunk(px, 14, 17, 20, 28);
        DrawRoundCanopy(px, 16, 13, 11, 130, RampLeaves);
        break;
    case 1:
        DrawShadow(px, 21, 27, 9, 4);
        DrawTrunk(px, 15, 16, 25, 29);
        DrawPine(px);
        break;
    default:
        DrawShadow(px, 19, 26, 10, 4);
        DrawRoundCanopy(px, 16, 19, 8, 140, RampGrass);
        for (int y = 0; y < S; ++y)
            for (int x = 0; x < S; ++x)
                if (px[y * S + x] != 0 && px[y * S + x] != Shade(RampShadow, 2) && PixelHash(x, y, 141) % 23 == 0)
                    px[y * S + x] = Shade(RampPurple, 10);  // berries
        break;
    }
    return px;
}

std::vector<BitmapPixels> BigPicture::Cut() const {
    std::vector<BitmapPixels> out;
    const int stride = Width * S;
    for (int r = 0; r < Height; ++r) {
        for (int c = 0; c < Width; ++c) {
            BitmapPixels px{};
            for (int y = 0; y < S; ++y)
                for (int x = 0; x < S; ++x)
                    px[y * S + x] = Px[static_cast<std::size_t>(r * S + y) * stride + c * S + x];
            out.push_back(px);
        }
    }
    return out;
}

namespace {

BigPicture GrassPicture(int w, int h) {
    BigPicture p;
    p.Width = w;
    p.Height = h;
    p.Px.resize(static_cast<std::size_t>(w) * h * S * S);
    for (int y = 0; y < h * S; ++y)
        for (int x = 0; x < w * S; ++x) p.At(x, y) = GrassTexel(0, x, y);
    return p;
}

}  // namespace

BigPicture DrawBoulder() {
    BigPicture p = GrassPicture(2, 2);
    struct Blob { double cx, cy, rx, ry; };
    static constexpr Blob kBlobs[] = {{30, 36, 22, 17}, {41, 27, 14, 14}, {21, 27, 12, 11}};
    auto height = [](double x, double y) {
        double best = -1.0;
        for (const Blob& b : kBlobs) {
            const double a = (x - b.cx) / b.rx, c = (y - b.cy) / b.ry;
            best = std::max(best, 1.0 - (a * a + c * c));
        }
        return best;
    };
    for (int y = 0; y < 2 * S; ++y) {
        for (int x = 0; x < 2 * S; ++x) {
            const double f = height(x + 0.5, y + 0.5) + (TileNoise(x, y, 4, S, 150) - 0.5) * 0.12;
            if (f <= 0) {
                if (ShadowDot(x, y) && height(x - 5.5, y - 4.5) > 0) p.At(x, y) = Shade(RampShadow, 2);
                continue;
            }
            const double slope = height(x - 1.5, y - 1.5) - height(x + 2.5, y + 2.5);
            int level = 7 + RoundToInt(slope * 10 + f * 3 + (TileNoise(x, y, 8, S, 151) - 0.5) * 3);
            if (f < 0.07) level = 3;
            if (std::abs(TileNoise(x, y, 4, S, 152) - 0.5) < 0.02) level -= 3;
            p.At(x, y) = Shade(RampRock, level);
        }
    }
    return p;
}

BigPicture DrawHouse() {
    BigPicture p = GrassPicture(3, 2);
    const int wallX0 = 12, wallX1 = 83, wallY0 = 34, wallY1 = 57, roofY0 = 8;
    for (int y = 0; y < 2 * S; ++y) {  // shadow to the lower right
        for (int x = 0; x < 3 * S; ++x) {
            const bool underRoof = x - 6 >= wallX0 - 4 && x - 6 <= wallX1 + 4 && y - 4 >= roofY0 && y - 4 <= wallY1;
            if (underRoof && ShadowDot(x, y)) p.At(x, y) = Shade(RampShadow, 2);
        }
    }
    for (int y = wallY0; y <= wallY1; ++y) {  // walls with a timber frame
        for (int x = wallX0; x <= wallX1; ++x) {
            const bool frame = x == wallX0 || x == wallX1 || x == 47 || y == wallY1;
            const int level = 10 + static_cast<int>(PixelHash(x, y, 160) % 3) - 1;
            p.At(x, y) = frame ? Shade(RampWood, 5) : Shade(RampPlaster, level);
        }
    }
    for (int y = roofY0; y <= wallY0 + 1; ++y) {  // tiled roof, lit from above
        const int inset = (wallY0 + 1 - y) / 5;
        for (int x = wallX0 - 4 + inset; x <= wallX1 + 4 - inset; ++x) {
            int level = 11 - (y - roofY0) / 5;
            if ((y - roofY0) % 4 == 0) level -= 3;
            if (Mod(x + ((y - roofY0) / 4) * 3, 8) == 0) level -= 2;
            if (y <= roofY0 + 1) level = 4;  // ridge
            p.At(x, y) = Shade(RampRoof, level);
        }
    }
    for (int y = 2; y <= 14; ++y)  // chimney
        for (int x = 64; x <= 70; ++x) p.At(x, y) = Shade(RampRock, x == 64 ? 10 : y <= 3 ? 4 : 7);
    for (int y = 44; y <= wallY1 - 1; ++y)  // door
        for (int x = 42; x <= 52; ++x)
            p.At(x, y) = Shade(RampWood, x == 42 || x == 52 || y == 44 ? 3 : 6 + (x % 3 == 0 ? -1 : 0));
    for (int wx : {20, 64}) {  // windows with cross bars
        for (int y = 40; y <= 49; ++y) {
            for (int x = wx; x <= wx + 10; ++x) {
                const bool frame = x == wx || x == wx + 10 || y == 40 || y == 49 || x == wx + 5 || y == 45;
                p.At(x, y) = frame ? Shade(RampWood, 4) : Shade(RampGlass, y < 44 ? 12 : 9);
            }
        }
    }
    return p;
}

BigPicture DrawObelisk() {
    BigPicture p = GrassPicture(1, 2);
    for (int y = 0; y < 2 * S; ++y)  // shadow falling to the right
        for (int x = 0; x < S; ++x)
            if (ShadowDot(x, y) && y >= 20 && y <= 60 && x >= 18 + (60 - y) / 6 && x <= 24 + (60 - y) / 6)
                p.At(x, y) = Shade(RampShadow, 2);
    for (int y = 48; y <= 58; ++y)  // pedestal
        for (int x = 7; x <= 24; ++x) p.At(x, y) = Shade(RampRock, x == 7 || y == 48 ? 12 : x == 24 || y == 58 ? 4 : 8);
    for (int y = 4; y < 48; ++y) {  // tapering shaft with a pointed tip
        const double half = y < 11 ? (y - 4) * 0.5 : 3.5 + (y - 11) * 0.06;
        for (int x = 0; x < S; ++x) {
            const double dx = x + 0.5 - 16.0;
            if (std::abs(dx) > half + 0.5) continue;
            p.At(x, y) = Shade(RampPlaster, dx < 0 ? 12 : 7);
        }
    }
    return p;
}

}  // namespace zorvane::samples
