#pragma once
// Map project files built field by field from the documented layout, and
// flattened projects, for the map file reader and writer tests and the open,
// save and export command tests.

#include <string>

#include "builders.h"
#include "byte_fixtures.h"
#include "model/project.h"

namespace zorvane::testing {

// The square of column x, row y in the hand-built fixtures.
inline MapSquare FixtureSquare(int x, int y) {
    return MapSquare{static_cast<std::uint16_t>(y * 10 + x), static_cast<std::uint16_t>(100 + x), static_cast<std::uint8_t>(y)};
}

// A map project file built field by field from the format's layout.
inline Bytes ZmFile(const std::string& zpPath, std::uint32_t multiplayer, int w, int h, const Bytes& creatures) {
    Bytes b;
    PutText(b, "ZLF5");
    b.push_back(static_cast<std::uint8_t>(zpPath.size()));
    PutText(b, zpPath);
    Put32(b, multiplayer);
    PutText(b, "MAP0");
    b.push_back(static_cast<std::uint8_t>(w));
    b.push_back(static_cast<std::uint8_t>(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            MapSquare s = FixtureSquare(x, y);
            Put16(b, s.Gnd);
            Put16(b, s.Top);
            b.push_back(s.Atr);
        }
    b.insert(b.end(), creatures.begin(), creatures.end());
    return b;
}

// A creature block in the "zmpe" layout: "CST0", the record count, records.
inline Bytes CreatureFixture() {
    Bytes c;
    PutText(c, "CST0");
    Put16(c, 1);
    PutText(c, "MCR0");
    for (int i = 0; i < 20; ++i) c.push_back(static_cast<std::uint8_t>(i + 4));
    return c;
}

// A project whose flattened map is w x h squares with FixtureSquare contents.
inline Project FlatProject(int w, int h, const std::string& zpPath = "/maps/set.zp") {
    Project p;
    p.MapWidth = w;
    p.MapHeight = h;
    p.ZpPath = zpPath;
    p.Multiplayer = 1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) p.FlatSquares.push_back(FixtureSquare(x, y));
    return p;
}

}  // namespace zorvane::testing
