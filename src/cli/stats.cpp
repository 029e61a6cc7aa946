// zorvane stats: how maps (generated ones, say) resemble other maps (the
// examples they were learned from): the square frequencies and the distance
// between them, and per attribute class the mean straight runs and the
// sizes of the connected regions. Every figure pools the maps of one side.

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "analysis/map_statistics.h"
#include "commands.h"
#include "generator/map_check.h"
#include "loading.h"
#include "model/file_kinds.h"
#include "model/layered_file.h"
#include "model/map_file.h"
#include "model/stored_text.h"
#include "platform/file_io.h"
#include "tile_editing/attribute_layer.h"

namespace zorvane::cli {

namespace {

using Json = nlohmann::ordered_json;
using analysis::MapStatistics;

// One side of the comparison: its name and the maps pooled into it.
struct Side {
    const char* name;  // "maps" or "examples"
    const std::vector<std::string>* files;
    MapStatistics stats;
};

// The squares inside the border, as the generator sees them: those of a map
// project as stored, those of a layered project as its tiles show them.
analysis::SquareGrid ReadInnerSquares(const std::string& name) {
    const auto bytes = ReadWholeFile(AbsolutePath(name));
    std::optional<MapSquares> map;
    try {
        map = ReadMapSquares(bytes);
    } catch (const Error& e) {
        throw Error(name + ": " + e.what());
    }
    if (!map) throw Error(name + ": not a map project (*.zm) or layered project (*.zl).");
    analysis::SquareGrid inner = analysis::InnerSquares(map->Squares, map->Width, map->Height);
    if (inner.Squares.empty()) throw Error(name + ": the map has no squares inside its border.");
    return inner;
}

std::string ClassName(std::uint8_t atr) {
    if (atr < AttributeCount) return AttributeTable()[atr].Name;
    return "attribute " + std::to_string(atr);
}

double Share(std::int64_t part, std::int64_t whole) {
    return whole == 0 ? 0.0 : static_cast<double>(part) / static_cast<double>(whole);
}

Json BitmapId(std::uint16_t id) { return id == NoBitmap ? Json(nullptr) : Json(id); }

std::string BucketLabel(int bucket) {
    const auto from = analysis::BucketFrom(bucket), to = analysis::BucketTo(bucket);
    return from == to ? std::to_string(from) : std::to_string(from) + "-" + std::to_string(to);
}

// The squares of every side, most frequent on the first side first.
std::vector<analysis::SquareKey> SquareOrder(const std::vector<Side>& sides) {
    std::vector<analysis::SquareKey> keys;
    for (const Side& side : sides)
        for (const auto& [key, totals] : side.stats.BySquare) keys.push_back(key);
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    const auto count = [&](const Side& side, const analysis::SquareKey& key) {
        const auto it = side.stats.BySquare.find(key);
        return it == side.stats.BySquare.end() ? std::int64_t{0} : it->second.Count;
    };
    std::stable_sort(keys.begin(), keys.end(), [&](const auto& a, const auto& b) {
        for (const Side& side : sides)
            if (count(side, a) != count(side, b)) return count(side, a) > count(side, b);
        return false;
    });
    return keys;
}

Json ClassJson(std::uint8_t atr, const analysis::ClassTotals& c, std::int64_t squares) {
    Json j;
    j["attribute"] = atr;
    j["name"] = ClassName(atr);
    j["squares"] = c.Squares;
    j["share"] = Share(c.Squares, squares);
    j["mean_horizontal_run"] = c.Horizontal.Mean();
    j["mean_vertical_run"] = c.Vertical.Mean();
    j["regions"] = c.Regions.Count;
    j["mean_region_size"] = c.Regions.Mean();
    Json sizes = Json::array();
    for (std::size_t b = 0; b < c.Regions.Buckets.size(); ++b)
        sizes.push_back({{"from", analysis::BucketFrom(static_cast<int>(b))},
                         {"to", analysis::BucketTo(static_cast<int>(b))},
                         {"regions", c.Regions.Buckets[b]}});
    j["region_sizes"] = std::move(sizes);
    return j;
}

Json SideJson(const Side& side, const std::vector<analysis::SquareKey>& order) {
    Json j;
    Json files = Json::array();
    for (const std::string& f : *side.files) files.push_back(ReplacingInvalidUtf8(f));
    j["files"] = std::move(files);
    j["squares"] = side.stats.Squares;
    Json classes = Json::array();
    for (const auto& [atr, c] : side.stats.ByClass) classes.push_back(ClassJson(atr, c, side.stats.Squares));
    j["attribute_classes"] = std::move(classes);
    Json frequencies = Json::array();
    for (const auto& key : order) {
        const auto it = side.stats.BySquare.find(key);
        if (it == side.stats.BySquare.end()) continue;
        frequencies.push_back({{"ground", BitmapId(key.Gnd)},
                               {"top", BitmapId(key.Top)},
                               {"attribute", it->second.Attribute},
                               {"count", it->second.Count},
                               {"share", Share(it->second.Count, side.stats.Squares)}});
    }
    j["square_frequencies"] = std::move(frequencies);
    return j;
}

std::string Format(const char* format, double value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Percent(std::int64_t part, std::int64_t whole) { return Format("%.2f%%", 100.0 * Share(part, whole)); }

std::string Column(const std::string& text, std::size_t width) {
    return text.size() >= width ? " " + text : std::string(width - text.size(), ' ') + text;
}

std::string BitmapText(std::uint16_t id) { return id == NoBitmap ? "none" : std::to_string(id); }

void PrintClasses(std::ostream& out, const std::vector<Side>& sides) {
    std::vector<std::uint8_t> classes;
    for (const Side& side : sides)
        for (const auto& [atr, c] : side.stats.ByClass) classes.push_back(atr);
    std::sort(classes.begin(), classes.end());
    classes.erase(std::unique(classes.begin(), classes.end()), classes.end());
    out << "\nattribute classes:" << std::string(8, ' ') << Column("share", 9) << Column("horizontal run", 16)
        << Column("vertical run", 14) << Column("regions", 9) << Column("mean region", 13) << "\n";
    for (const std::uint8_t atr : classes) {
        out << "  " << ClassName(atr) << " (" << int{atr} << ")\n";
        std::ostringstream sizes;
        for (const Side& side : sides) {
            const auto it = side.stats.ByClass.find(atr);
            const analysis::ClassTotals c = it == side.stats.ByClass.end() ? analysis::ClassTotals{} : it->second;
            const std::string label = "    " + std::string(side.name);
            out << label << std::string(26 - label.size(), ' ') << Column(Percent(c.Squares, side.stats.Squares), 9)
                << Column(Format("%.2f", c.Horizontal.Mean()), 16) << Column(Format("%.2f", c.Vertical.Mean()), 14)
                << Column(std::to_string(c.Regions.Count), 9) << Column(Format("%.2f", c.Regions.Mean()), 13) << "\n";
            sizes << "    region sizes, " << side.name << ":";
            if (c.Regions.Buckets.empty()) sizes << " none";
            for (std::size_t b = 0; b < c.Regions.Buckets.size(); ++b)
                sizes << (b == 0 ? " " : ", ") << BucketLabel(static_cast<int>(b)) << ": " << c.Regions.Buckets[b];
            sizes << "\n";
        }
        out << sizes.str();
    }
}

void PrintSquares(std::ostream& out, const std::vector<Side>& sides, const std::vector<analysis::SquareKey>& order) {
    out << "\nsquares (ground, top, attribute class):" << std::string(11, ' ');
    for (const Side& side : sides) out << Column(side.name, 10);
    out << "\n";
    for (const auto& key : order) {
        std::string label;
        for (const Side& side : sides) {
            const auto it = side.stats.BySquare.find(key);
            if (it == side.stats.BySquare.end() || !label.empty()) continue;
            label = "  " + BitmapText(key.Gnd) + ", " + BitmapText(key.Top) + ", " + ClassName(it->second.Attribute) +
                    " (" + std::to_string(it->second.Attribute) + ")";
        }
        out << label << std::string(label.size() < 50 ? 50 - label.size() : 1, ' ');
        for (const Side& side : sides) {
            const auto it = side.stats.BySquare.find(key);
            out << Column(Percent(it == side.stats.BySquare.end() ? 0 : it->second.Count, side.stats.Squares), 10);
        }
        out << "\n";
    }
}

void PrintText(std::ostream& out, const std::vector<Side>& sides, const std::vector<analysis::SquareKey>& order) {
    for (const Side& side : sides)
        out << side.name << ": " << side.stats.Maps << (side.stats.Maps == 1 ? " file, " : " files, ")
            << side.stats.Squares << " squares (borders left out)\n";
    if (sides.size() > 1)
        out << "square frequency distance: " << Format("%.4f", SquareFrequencyDistance(sides[0].stats, sides[1].stats))
            << "\n";
    PrintClasses(out, sides);
    PrintSquares(out, sides, order);
}

}  // namespace

int Stats(const StatsOptions& options) {
    try {
        std::vector<Side> sides{{"maps", &options.maps, {}}};
        if (!options.against.empty()) sides.push_back({"examples", &options.against, {}});
        for (Side& side : sides)
            for (const std::string& file : *side.files) side.stats.Add(ReadInnerSquares(file));
        const auto order = SquareOrder(sides);
        if (!options.json) {
            PrintText(std::cout, sides, order);
            return 0;
        }
        Json j;
        j["borders_left_out"] = BorderWidth;
        for (const Side& side : sides) j[side.name] = SideJson(side, order);
        if (sides.size() > 1)
            j["square_frequency_distance"] = SquareFrequencyDistance(sides[0].stats, sides[1].stats);
        std::cout << j.dump(2, ' ', false, Json::error_handler_t::replace) << "\n";
        return 0;
    } catch (const Error& e) {
        return Fail("stats", e.what());
    }
}

}  // namespace zorvane::cli
