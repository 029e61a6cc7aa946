#pragma once
// Map project and tile set files for the learning tests, and a plain
// reference of learning's joins, connectors, objects and finishing written
// straight from their definitions (linear scans, recursion), to check the
// indexed implementation against on real learning runs.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "builders.h"
#include "byte_fixtures.h"
#include "generator/generator.h"
#include "model/tileset_file.h"

namespace zorvane::testing {

// A "zmpe" tile set of pattern bitmaps (one per seed) with the given tiles.
inline void WriteTileSetFile(const std::string& path, const std::vector<int>& seeds, bool bottomUp = false,
                             TileList tiles = {}) {
    Project p;
    FillTestPalette(p);
    for (int s : seeds) {
        auto px = PatternBitmap(s);
        if (bottomUp) FlipBitmapRows(px.data());  // the same picture, rows stored bottom-up
        p.AddBitmap(px.data());
    }
    p.BottomUpRows = bottomUp;
    SetDefaultInfoHeader(p, bottomUp);
    p.NewTiles = std::move(tiles);
    WriteBytes(path, EncodeZP(p, TileSetVariant::Zmpe));
}

// A map project file built field by field: "ZLF5", the tile set path,
// multiplayer, "MAP0", width, height and the squares; no creature block.
inline Bytes MapFileBytes(const std::string& zpPath, int w, int h, const std::vector<MapSquare>& squares) {
    Bytes b;
    PutText(b, "ZLF5");
    b.push_back(static_cast<std::uint8_t>(zpPath.size()));
    PutText(b, zpPath);
    Put32(b, 1);
    PutText(b, "MAP0");
    b.push_back(static_cast<std::uint8_t>(w));
    b.push_back(static_cast<std::uint8_t>(h));
    for (const MapSquare& s : squares) {
        Put16(b, s.Gnd);
        Put16(b, s.Top);
        b.push_back(s.Atr);
    }
    return b;
}

// A map of w x h squares (borders included); `inner(x, y)` gives the inner
// squares, the border shows nothing.
struct TestMap {
    int Width = 0;
    int Height = 0;
    std::vector<MapSquare> Squares;
};

inline TestMap MakeMap(int w, int h, const std::function<MapSquare(int, int)>& inner) {
    TestMap m{w, h, std::vector<MapSquare>(static_cast<std::size_t>(w) * h, MapSquare{NoBitmap, NoBitmap, AtrImpassable})};
    for (int y = 2; y < h - 2; ++y)
        for (int x = 2; x < w - 2; ++x) m.Squares[static_cast<std::size_t>(y) * w + x] = inner(x, y);
    return m;
}

inline void WriteMapFile(const std::string& path, const std::string& zpPath, const TestMap& m) {
    WriteBytes(path, MapFileBytes(zpPath, m.Width, m.Height, m.Squares));
}

// A map with repeated structure: fillers from a small pool, and stamped
// multi-square objects of unique bitmaps (ids from `firstObjectId`).
inline TestMap StructuredMap(int w, int h, std::uint32_t seed, int fillers, std::uint16_t firstObjectId) {
    std::mt19937 rng(seed);
    TestMap m = MakeMap(w, h, [&](int, int) {
        return MapSquare{static_cast<std::uint16_t>(rng() % fillers), NoBitmap, static_cast<std::uint8_t>(rng() % 3)};
    });
    const int objects = (w * h) / 60;
    for (int o = 0; o < objects; ++o) {
        const int kind = static_cast<int>(rng() % 3);
        const int ow = kind + 1, oh = 3 - kind;
        const int x0 = 2 + static_cast<int>(rng() % static_cast<std::uint32_t>(w - 4 - ow + 1));
        const int y0 = 2 + static_cast<int>(rng() % static_cast<std::uint32_t>(h - 4 - oh + 1));
        for (int dy = 0; dy < oh; ++dy)
            for (int dx = 0; dx < ow; ++dx)
                m.Squares[static_cast<std::size_t>(y0 + dy) * w + x0 + dx] =
                    MapSquare{static_cast<std::uint16_t>(rng() % fillers),
                        static_cast<std::uint16_t>(firstObjectId + kind * 4 + dy * ow + dx), 4};
    }
    return m;
}

// ---- The reference ---------------------------------------------------------

struct ReferenceMap {
    int Width = 0;
    int Height = 0;
    const std::vector<MapSquare>* Squares = nullptr;  // in project ids
    int Multiplier = 1;
    bool Connector = false;
};

struct ReferenceResult {
    std::vector<LearnedSquare> Squares;
    std::int64_t Joins = 0;
    std::vector<std::int32_t> ObjSize, ObjStarts;
    std::vector<std::vector<std::int32_t>> ObjMembers;
    int Largest = 0, Tallest = 0;
};

class ReferenceLearning {
public:
    ReferenceResult Run(const std::vector<ReferenceMap>& maps) {
        groups_.assign(maps.size(), {});
        for (std::size_t i = 0; i < maps.size(); ++i) LearnMap(maps[i], groups_[i]);
        for (int s = 0; s < Count(); ++s) {
            Spread(maps, s, true);
            Spread(maps, s, false);
        }
        for (bool down : {true, false}) UnionAndShare(down);
        Objects();
        Finish();
        return std::move(r_);
    }

private:
    int Count() const { return static_cast<int>(r_.Squares.size()); }
    std::vector<std::int32_t>& L(int s, bool down) { return down ? r_.Squares[s].Down : r_.Squares[s].Right; }
    int Find(std::uint16_t g, std::uint16_t t) const {
        for (int i = 0; i < Count(); ++i)
            if (r_.Squares[i].Gnd == g && r_.Squares[i].Top == t) return i;
        return -1;
    }
    int FindOrAdd(const MapSquare& s) {
        int i = Find(s.Gnd, s.Top);
        if (i >= 0) return i;
        r_.Squares.push_back({s.Gnd, s.Top, s.Atr, {}, {}});
        return Count() - 1;
    }
    static int CountOf(const std::vector<std::int32_t>& list, int v) {
        return static_cast<int>(std::count(list.begin(), list.end(), v));
    }
    void Append(std::vector<std::int32_t>& list, int v, int copies) {
        for (int c = 0; c < copies; ++c) list.push_back(v);
        if (copies > 0) r_.Joins += copies;
    }
    void AddJoin(int s, bool down, int nb, int w) {
        int n = 0;
        for (std::int32_t e : L(s, down)) {
            if (n >= w) break;
            if (r_.Squares[e].Gnd == r_.Squares[nb].Gnd && r_.Squares[e].Top == r_.Squares[nb].Top) ++n;
        }
        Append(L(s, down), nb, w - n);
    }
    void LearnMap(const ReferenceMap& m, std::vector<std::int32_t>& group) {
        auto at = [&](int x, int y) { return (*m.Squares)[static_cast<std::size_t>(y) * m.Width + x]; };
        for (int y = 0; y < m.Height; ++y) {
            for (int x = 0; x < m.Width; ++x) {
                if (x < 2 || x > m.Width - 3 || y < 2 || y > m.Height - 3) continue;
                int s = FindOrAdd(at(x, y));
                if (x < m.Width - 3) AddJoin(s, false, FindOrAdd(at(x + 1, y)), m.Multiplier);
                if (y < m.Height - 3) AddJoin(s, true, FindOrAdd(at(x, y + 1)), m.Multiplier);
                if (m.Connector && CountOf(group, s) == 0) group.push_back(s);
            }
        }
    }
    void Spread(const std::vector<ReferenceMap>& maps, int s, bool down) {
        const std::size_t reached = L(s, down).size();
        for (std::size_t i = 0; i < reached; ++i) {
            const int e = L(s, down)[i];
            for (std::size_t g = 0; g < groups_.size(); ++g) {
                if (CountOf(groups_[g], e) == 0) continue;
                for (int c : groups_[g]) Append(L(s, down), c, maps[g].Multiplier - CountOf(L(s, down), c));
            }
        }
    }
    void UnionAndShare(bool down) {
        std::vector<std::vector<std::int32_t>> u(groups_.size());
        for (std::size_t g = 0; g < groups_.size(); ++g)
            for (int m : groups_[g]) {
                const auto list = L(m, down);
                for (std::size_t i = 0; i < list.size(); ++i) {
                    if (std::find(list.begin(), list.begin() + i, list[i]) != list.begin() + i) continue;
                    const int add = CountOf(list, list[i]) - CountOf(u[g], list[i]);
                    for (int c = 0; c < add; ++c) u[g].push_back(list[i]);
                }
            }
        for (std::size_t g = 0; g < groups_.size(); ++g)
            for (int m : groups_[g])
                for (std::size_t i = 0; i < u[g].size(); ++i) {
                    if (std::find(u[g].begin(), u[g].begin() + i, u[g][i]) != u[g].begin() + i) continue;
                    Append(L(m, down), u[g][i], CountOf(u[g], u[g][i]) - CountOf(L(m, down), u[g][i]));
                }
    }
    bool Blank(int s) const { return r_.Squares[s].Gnd == NoBitmap && r_.Squares[s].Top == NoBitmap; }
    // A stands 1-to-1 with B (right, or below when `down`).
    bool OneToOne(int a, int b, bool down) {
        const auto& la = L(a, down);
        if (la.empty() || CountOf(la, b) != static_cast<int>(la.size())) return false;
        for (int x = 0; x < Count(); ++x)
            if (x != a && !Blank(x) && CountOf(L(x, down), b) > 0) return false;
        return true;
    }
    int Forward(int s, bool down) {
        for (int b = 0; b < Count(); ++b)
            if (OneToOne(s, b, down)) return b;
        return -1;
    }
    int Backward(int s, bool down) {
        for (int a = 0; a < Count(); ++a)
            if (!Blank(a) && OneToOne(a, s, down)) return a;
        return -1;
    }
    void Visit(int s, int r, std::vector<std::int32_t>& members, int& top, int& start) {
        if (visited_[s]) return;
        visited_[s] = true;
        members.push_back(s);
        if (r < top) {
            top = r;
            start = s;
        }
        r_.Tallest = std::max(r_.Tallest, std::abs(r) + 1);
        if (int n = Forward(s, false); n >= 0) Visit(n, r, members, top, start);
        if (int n = Forward(s, true); n >= 0) Visit(n, r + 1, members, top, start);
        if (int n = Backward(s, false); n >= 0) Visit(n, r, members, top, start);
        if (int n = Backward(s, true); n >= 0) Visit(n, r - 1, members, top, start);
    }
    void Objects() {
        visited_.assign(Count(), false);
        r_.ObjSize.assign(Count() + 1, 0);
        for (int j = 0; j < Count(); ++j) {
            if (visited_[j]) continue;
            std::vector<std::int32_t> members;
            int top = 0, start = j;
            Visit(j, 0, members, top, start);
            r_.ObjStarts.push_back(start);
            for (int m : members) r_.ObjSize[m] = static_cast<int>(members.size());
            r_.ObjMembers.push_back(members);
        }
        for (auto& g : groups_)
            for (int c : g) r_.ObjSize[c] = 0;
        for (int i = 0; i < Count(); ++i) r_.Largest = std::max(r_.Largest, r_.ObjSize[i]);
    }
    void Finish() {
        const int empty = FindOrAdd({NoBitmap, NoBitmap, AtrImpassable});
        const int last = Count() - 1;
        for (int i = 0; i < last; ++i) {
            for (bool down : {true, false}) {
                int m = 1;
                for (int s = 0; s < last; ++s) m = std::max(m, CountOf(L(s, down), i));
                AddJoin(empty, down, i, m);
            }
        }
    }

    ReferenceResult r_;
    std::vector<std::vector<std::int32_t>> groups_;
    std::vector<bool> visited_;
};

}  // namespace zorvane::testing
