// Composing the sample maps: a grid of corner terrains from smoothed noise,
// levelled so that only neighbouring terrains meet, each square's bitmap
// taken from its four corners; then roads, objects and trees on pure grass.

#include <algorithm>
#include <cmath>
#include <deque>
#include <stdexcept>

#include "samples/sample_art.h"
#include "samples/samples.h"

namespace zorvane::samples {

namespace {

enum class Shape { Open, Island, Coast };

struct MapSpec {
    const char* Name;
    int InnerWidth, InnerHeight;
    int Feature;                      // size of the largest landforms, in squares
    double Share[TerrainCount];       // share of corners per terrain before levelling
    Shape Form;
    int Roads;
    int Boulders, Houses, Obelisks;
    double Forest;                    // share of the grass that is woodland
};

constexpr MapSpec kMaps[] = {
    {"meadow", 30, 30, 8, {0.02, 0.06, 0.08, 0.74, 0.10}, Shape::Open, 2, 2, 1, 1, 0.30},
    {"lakes", 40, 40, 10, {0.10, 0.12, 0.08, 0.60, 0.10}, Shape::Open, 3, 3, 2, 1, 0.30},
    {"village", 50, 40, 14, {0.03, 0.05, 0.06, 0.80, 0.06}, Shape::Open, 5, 2, 8, 2, 0.22},
    {"islands", 64, 64, 12, {0.34, 0.20, 0.12, 0.29, 0.05}, Shape::Island, 2, 3, 2, 1, 0.35},
    {"highlands", 80, 60, 12, {0.03, 0.05, 0.05, 0.55, 0.32}, Shape::Open, 4, 8, 3, 2, 0.30},
    {"coast", 120, 120, 18, {0.22, 0.12, 0.08, 0.48, 0.10}, Shape::Coast, 6, 12, 10, 4, 0.35},
};
constexpr int kConnectorInnerSize = 20;

// Corner grid of a map of w x h squares: (w + 1) x (h + 1) terrain levels.
struct CornerGrid {
    int W = 0, H = 0;  // squares
    std::vector<int> Level;
    int& At(int x, int y) { return Level[static_cast<std::size_t>(y) * (W + 1) + x]; }
    int At(int x, int y) const { return Level[static_cast<std::size_t>(y) * (W + 1) + x]; }
    Corners Of(int x, int y) const {
        auto t = [&](int cx, int cy) { return static_cast<Terrain>(At(cx, cy)); };
        return {t(x, y), t(x + 1, y), t(x, y + 1), t(x + 1, y + 1)};
    }
};

// Value noise with smooth interpolation, `octaves` layers halving in size.
std::vector<double> NoiseField(SampleRng& rng, int w, int h, int feature, int octaves) {
    std::vector<double> field(static_cast<std::size_t>(w) * h, 0.0);
    double weight = 1.0;
    for (int o = 0; o < octaves; ++o, weight *= 0.5, feature = std::max(2, feature / 2)) {
        const int lw = w / feature + 2, lh = h / feature + 2;
        std::vector<double> lattice(static_cast<std::size_t>(lw) * lh);
        for (double& v : lattice) v = rng.Unit();
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const int i = x / feature, j = y / feature;
                double fx = static_cast<double>(x % feature) / feature, fy = static_cast<double>(y % feature) / feature;
                fx = fx * fx * (3 - 2 * fx);
                fy = fy * fy * (3 - 2 * fy);
                auto l = [&](int a, int b) { return lattice[static_cast<std::size_t>(b) * lw + a]; };
                const double top = l(i, j) + (l(i + 1, j) - l(i, j)) * fx;
                const double bottom = l(i, j + 1) + (l(i + 1, j + 1) - l(i, j + 1)) * fx;
                field[static_cast<std::size_t>(y) * w + x] += (top + (bottom - top) * fy) * weight;
            }
        }
    }
    return field;
}

double ShapeBias(Shape form, int x, int y, int w, int h) {
    const double u = (x + 0.5) / w - 0.5, v = (y + 0.5) / h - 0.5;
    switch (form) {
    case Shape::Island: return -1.6 * (u * u + v * v);
    case Shape::Coast: return 1.1 * u;
    case Shape::Open: break;
    }
    return 0.0;
}

// Lowers corners until no two corners of one square are more than one level
// apart (each corner at most one above each of its eight neighbours).
void Level(CornerGrid& g) {
    for (bool changed = true; changed;) {
        changed = false;
        for (int y = 0; y <= g.H; ++y) {
            for (int x = 0; x <= g.W; ++x) {
                int lowest = g.At(x, y);
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        if (x + dx >= 0 && x + dx <= g.W && y + dy >= 0 && y + dy <= g.H)
                            lowest = std::min(lowest, g.At(x + dx, y + dy));
                if (g.At(x, y) > lowest + 1) {
                    g.At(x, y) = lowest + 1;
                    changed = true;
                }
            }
        }
    }
}

CornerGrid MakeCorners(SampleRng& rng, const MapSpec& plan, int w, int h) {
    CornerGrid g;
    g.W = w;
    g.H = h;
    std::vector<double> height = NoiseField(rng, w + 1, h + 1, plan.Feature, 3);
    for (int y = 0; y <= h; ++y)
        for (int x = 0; x <= w; ++x) height[static_cast<std::size_t>(y) * (w + 1) + x] += ShapeBias(plan.Form, x, y, w + 1, h + 1);
    std::vector<double> sorted = height;
    std::sort(sorted.begin(), sorted.end());
    double limits[TerrainCount - 1];
    double share = 0;
    for (int t = 0; t + 1 < TerrainCount; ++t) {
        share += plan.Share[t];
        limits[t] = sorted[std::min(sorted.size() - 1, static_cast<std::size_t>(share * sorted.size()))];
    }
    g.Level.resize(height.size());
    for (std::size_t i = 0; i < height.size(); ++i) {
        int level = 0;
        while (level < TerrainCount - 1 && height[i] > limits[level]) ++level;
        g.Level[i] = level;
    }
    Level(g);
    return g;
}

enum class Use : std::uint8_t { Free, Road, Object, Tree };

class MapComposer {
public:
    MapComposer(const SampleTileSet& tiles, SampleRng& rng, int w, int h)
        : tiles_(tiles), rng_(rng), w_(w), h_(h), use_(static_cast<std::size_t>(w) * h, Use::Free),
          road_(static_cast<std::size_t>(w) * h, 0) {
        map_.Width = w;
        map_.Height = h;
        map_.Squares.resize(static_cast<std::size_t>(w) * h);
    }

    void PaintTerrain(const CornerGrid& g) {
        grid_ = g;
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x) Put(x, y, tiles_.TerrainBitmap(g.Of(x, y), PickVariant(g.Of(x, y)[0])));
    }

    void PaintGrassOnly() {
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x) {
                const Corners grass{Terrain::Grass, Terrain::Grass, Terrain::Grass, Terrain::Grass};
                Put(x, y, tiles_.TerrainBitmap(grass, PickVariant(Terrain::Grass)));
            }
    }

    void LayRoads(int count);
    void PlaceObjects(int object, int count, bool besideRoads);
    void PlantTrees(double forest, int feature);

    SampleMap Take(std::string name, bool connector) {
        map_.Name = std::move(name);
        map_.Connector = connector;
        return std::move(map_);
    }

private:
    std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * w_ + x; }
    bool Inner(int x, int y) const { return x >= 2 && y >= 2 && x < w_ - 2 && y < h_ - 2; }
    bool PureGrass(int x, int y) const {
        const Corners c = grid_.Of(x, y);
        return std::all_of(c.begin(), c.end(), [](Terrain t) { return t == Terrain::Grass; });
    }
    bool FreeGrass(int x, int y) const { return Inner(x, y) && use_[Index(x, y)] == Use::Free && PureGrass(x, y); }

    void Put(int x, int y, std::uint16_t gnd, std::uint16_t top = NoBitmap) {
        if (gnd >= tiles_.Info.size()) throw std::logic_error("no sample bitmap shows these corners");
        const BitmapInfo& info = tiles_.Info[top != NoBitmap ? top : gnd];
        map_.Squares[Index(x, y)] = MapSquare{gnd, top, info.Atr};
    }

    int PickVariant(Terrain t) {
        const double r = rng_.Unit();
        if (t == Terrain::Grass) return r < 0.55 ? 0 : r < 0.75 ? 1 : r < 0.9 ? 2 : 3;
        return r < 0.7 ? 0 : 1;
    }

    bool FindHub(int& hx, int& hy) const;
    bool FitsObject(const SampleObject& obj, int x, int y) const;

    const SampleTileSet& tiles_;
    SampleRng& rng_;
    int w_, h_;
    CornerGrid grid_;
    std::vector<Use> use_;
    std::vector<std::uint8_t> road_;
    SampleMap map_;
};

bool MapComposer::FindHub(int& hx, int& hy) const {
    long best = -1;
    for (int y = 0; y < h_; ++y) {
        for (int x = 0; x < w_; ++x) {
            if (!FreeGrass(x, y)) continue;
            const long d = static_cast<long>(x - w_ / 2) * (x - w_ / 2) + static_cast<long>(y - h_ / 2) * (y - h_ / 2);
            if (best < 0 || d < best) {
                best = d;
                hx = x;
                hy = y;
            }
        }
    }
    return best >= 0;
}

// Roads run from a hub near the middle to points near the edges, along
// shortest ways over free grass that keep straight where they can.
void MapComposer::LayRoads(int count) {
    int hx = 0, hy = 0;
    if (count <= 0 || !FindHub(hx, hy)) return;
    static constexpr int kDx[4] = {1, 0, -1, 0}, kDy[4] = {0, 1, 0, -1};
    static constexpr std::uint8_t kArm[4] = {RoadEast, RoadSouth, RoadWest, RoadNorth};
    std::vector<int> dist(use_.size(), -1), from(use_.size(), -1);  // from: direction index of the last step
    std::deque<std::size_t> queue{Index(hx, hy)};
    dist[Index(hx, hy)] = 0;
    while (!queue.empty()) {
        const std::size_t i = queue.front();
        queue.pop_front();
        const int x = static_cast<int>(i % w_), y = static_cast<int>(i / w_);
        for (int d = 0; d < 4; ++d) {
            const int nx = x + kDx[d], ny = y + kDy[d];
            if (!FreeGrass(nx, ny)) continue;
            const std::size_t n = Index(nx, ny);
            if (dist[n] < 0) {
                dist[n] = dist[i] + 1;
                from[n] = d;
                queue.push_back(n);
            } else if (dist[n] == dist[i] + 1 && from[i] == d) {
                from[n] = d;  // a straight way of the same length
            }
        }
    }
    for (int r = 0, tries = 0; r < count && tries < 200; ++tries) {
        const int side = static_cast<int>(rng_.Below(4));
        const int along = side % 2 == 0 ? 2 + static_cast<int>(rng_.Below(w_ - 4)) : 2 + static_cast<int>(rng_.Below(h_ - 4));
        const int inset = 2 + static_cast<int>(rng_.Below(3));
        const int x = side == 0 ? along : side == 1 ? w_ - 1 - inset : side == 2 ? along : inset;
        const int y = side == 0 ? inset : side == 1 ? along : side == 2 ? h_ - 1 - inset : along;
        if (!Inner(x, y) || dist[Index(x, y)] < 4) continue;
        ++r;
        for (int cx = x, cy = y; from[Index(cx, cy)] >= 0;) {
            const int d = from[Index(cx, cy)];
            road_[Index(cx, cy)] |= kArm[(d + 2) % 4];
            cx -= kDx[d];
            cy -= kDy[d];
            road_[Index(cx, cy)] |= kArm[d];
        }
    }
    for (std::size_t i = 0; i < road_.size(); ++i) {
        if (road_[i] == 0) continue;
        use_[i] = Use::Road;
        map_.Squares[i] = MapSquare{tiles_.RoadBitmap(road_[i]), NoBitmap, tiles_.Info[tiles_.RoadBitmap(road_[i])].Atr};
    }
}

// An object needs free grass under all its squares and a free ring around it.
bool MapComposer::FitsObject(const SampleObject& obj, int x, int y) const {
    for (int dy = 0; dy < obj.Height; ++dy)
        for (int dx = 0; dx < obj.Width; ++dx)
            if (!FreeGrass(x + dx, y + dy)) return false;
    for (int dy = -1; dy <= obj.Height; ++dy)
        for (int dx = -1; dx <= obj.Width; ++dx) {
            const int nx = x + dx, ny = y + dy;
            if (nx >= 0 && ny >= 0 && nx < w_ && ny < h_ && use_[Index(nx, ny)] == Use::Object) return false;
        }
    return true;
}

void MapComposer::PlaceObjects(int object, int count, bool besideRoads) {
    const SampleObject& obj = tiles_.Objects[object];
    for (int placed = 0, tries = 0; placed < count && tries < 2000; ++tries) {
        const int x = 2 + static_cast<int>(rng_.Below(std::max(1, w_ - 4 - obj.Width + 1)));
        const int y = 2 + static_cast<int>(rng_.Below(std::max(1, h_ - 4 - obj.Height + 1)));
        if (!FitsObject(obj, x, y)) continue;
        if (besideRoads && tries < 1500) {  // front door onto a road, while such places are found
            bool road = false;
            for (int dx = 0; dx < obj.Width; ++dx)
                road = road || (y + obj.Height < h_ && use_[Index(x + dx, y + obj.Height)] == Use::Road);
            if (!road) continue;
        }
        for (int dy = 0; dy < obj.Height; ++dy)
            for (int dx = 0; dx < obj.Width; ++dx) {
                use_[Index(x + dx, y + dy)] = Use::Object;
                Put(x + dx, y + dy, obj.Bitmaps[static_cast<std::size_t>(dy) * obj.Width + dx]);
            }
        ++placed;
    }
}

// Woods where a second noise field is high, a few single trees elsewhere.
void MapComposer::PlantTrees(double forest, int feature) {
    const std::vector<double> woods = NoiseField(rng_, w_, h_, std::max(4, feature / 2), 2);
    std::vector<double> sorted = woods;
    std::sort(sorted.begin(), sorted.end());
    const double limit = sorted[std::min(sorted.size() - 1, static_cast<std::size_t>((1.0 - forest) * sorted.size()))];
    for (int y = 0; y < h_; ++y) {
        for (int x = 0; x < w_; ++x) {
            const double chance = woods[Index(x, y)] > limit ? 0.75 : 0.03;
            const double r = rng_.Unit();
            if (!FreeGrass(x, y) || r >= chance) continue;
            const double k = rng_.Unit();
            const int kind = k < 0.5 ? 0 : k < 0.8 ? 1 : 2;
            use_[Index(x, y)] = Use::Tree;
            Put(x, y, map_.Squares[Index(x, y)].Gnd, tiles_.TreeBitmap(kind % tiles_.TreeKinds()));
        }
    }
}

int ObjectIndex(const SampleTileSet& tiles, const char* name) {
    for (std::size_t i = 0; i < tiles.Objects.size(); ++i)
        if (tiles.Objects[i].Name == name) return static_cast<int>(i);
    return -1;
}

SampleMap ComposeFromPlan(const SampleTileSet& tiles, const MapSpec& plan, std::uint32_t seed) {
    SampleRng rng(seed);
    const int w = plan.InnerWidth + 2 * BorderWidth, h = plan.InnerHeight + 2 * BorderWidth;
    MapComposer composer(tiles, rng, w, h);
    composer.PaintTerrain(MakeCorners(rng, plan, w, h));
    composer.LayRoads(plan.Roads);
    composer.PlaceObjects(ObjectIndex(tiles, "house"), plan.Houses, true);
    composer.PlaceObjects(ObjectIndex(tiles, "boulder"), plan.Boulders, false);
    composer.PlaceObjects(ObjectIndex(tiles, "obelisk"), plan.Obelisks, false);
    composer.PlantTrees(plan.Forest, plan.Feature);
    return composer.Take(plan.Name, false);
}

}  // namespace

std::vector<SampleMap> ComposeSampleMaps(const SampleTileSet& tiles, std::uint32_t seed) {
    std::vector<SampleMap> maps;
    std::uint32_t n = 0;
    for (const MapSpec& plan : kMaps) maps.push_back(ComposeFromPlan(tiles, plan, seed * 1000003u + ++n));
    SampleRng rng(seed * 1000003u + ++n);
    const int side = kConnectorInnerSize + 2 * BorderWidth;
    MapComposer composer(tiles, rng, side, side);
    composer.PaintGrassOnly();
    maps.push_back(composer.Take("grass_connector", true));
    return maps;
}

SampleMap ComposeTerrainMap(const SampleTileSet& tiles, std::uint32_t seed, int innerWidth, int innerHeight) {
    if (innerWidth < MinUserMapSize || innerWidth > MaxUserMapSize || innerHeight < MinUserMapSize ||
        innerHeight > MaxUserMapSize)
        throw Error("A map's inner size is 10 to 202 squares per axis.");
    const int area = innerWidth * innerHeight;
    const MapSpec plan{"terrain", innerWidth, innerHeight, 14, {0.12, 0.10, 0.08, 0.60, 0.10}, Shape::Open,
                       std::max(1, innerWidth / 20), area / 900, area / 1200, area / 3000, 0.30};
    return ComposeFromPlan(tiles, plan, seed);
}

}  // namespace zorvane::samples
