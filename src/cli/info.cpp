// zorvane info: a summary of a tile set, map project, layered project or generator data file.

#include <algorithm>
#include <iostream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "commands.h"
#include "console_ui.h"
#include "generator_data.h"
#include "model/creatures.h"
#include "model/file_kinds.h"
#include "model/layered_file.h"
#include "model/map_file.h"
#include "model/stored_text.h"
#include "model/tileset_file.h"
#include "platform/file_io.h"

namespace zorvane::cli {

namespace {

using Json = nlohmann::ordered_json;

int CreatureRecords(const std::vector<std::uint8_t>& creatures) {
    Project p;
    p.Creatures = creatures;
    return CreaturesCount(p);
}

// Read without the bitmaps, which are nearly all of a large tile set.
Json TileSetInfo(const std::string& path) {
    const TileSetSummary ts = ReadZPSummary(path);
    Json j;
    j["format"] = "tile set";
    j["variant"] = ts.Zme ? "zme" : "zmpe";
    j["row_order"] = ts.BottomUpRows ? "bottom-up" : "top-down";
    j["bitmaps"] = ts.BitmapCount;
    j["tiles"] = ts.TileCount;
    if (ts.Zme) j["stored_path"] = ts.StoredPath;
    return j;
}

Json MapInfo(const std::vector<std::uint8_t>& bytes) {
    MapFile m = ParseZM(bytes);
    Json j;
    j["format"] = "map project";
    j["width"] = m.Width;
    j["height"] = m.Height;
    j["inner_width"] = std::max(m.Width - 4, 0);
    j["inner_height"] = std::max(m.Height - 4, 0);
    j["multiplayer"] = m.Multiplayer == 1;
    j["used_tiles"] = m.Squares.size();
    j["creature_block"] = m.Creatures.size() <= 4 ? "none" : m.Creatures[4] == 'M' ? "zme" : "zmpe";
    j["creature_records"] = CreatureRecords(m.Creatures);
    j["tile_set_path"] = m.ZpPath;
    j["tile_set_found"] = FileExists(m.ZpPath);
    return j;
}

Json LayeredInfo(const std::vector<std::uint8_t>& bytes) {
    Project p = ParseZL(bytes);
    Json j;
    j["format"] = "layered project";
    j["version"] = std::string(bytes.begin(), bytes.begin() + 4);
    j["variant"] = p.ZmeVariant ? "zme" : "zmpe";
    j["row_order"] = p.BottomUpRows ? "bottom-up" : "top-down";
    j["width"] = p.MapWidth;
    j["height"] = p.MapHeight;
    j["multiplayer"] = p.Multiplayer == 1;
    j["bitmaps"] = p.BitmapCount;
    j["tiles"] = p.NewTiles.size();
    j["used_tiles"] = p.UsedTiles.size();
    j["creature_records"] = CreaturesCount(p);
    j["tile_set_path"] = p.ZpPath;
    return j;
}

Json Summary(const std::string& path) {
    switch (KindOfFile(path)) {
    case ProjectFileKind::TileSet: return TileSetInfo(path);
    case ProjectFileKind::Map: return MapInfo(ReadWholeFile(path));
    case ProjectFileKind::Layered: return LayeredInfo(ReadWholeFile(path));
    case ProjectFileKind::GeneratorData: return GeneratorDataInfo(ReadWholeFile(path));
    case ProjectFileKind::Unknown: break;
    }
    throw Error("Not a tile set (*.zp), map project (*.zm), layered project (*.zl) or generator data (*.zg) file.");
}

// Every text of a summary is either one of ours, in ASCII, or one the file
// stores (paths, the schedule of repeats), bytes as a Windows program wrote
// them: those become UTF-8 as StoredTextAsUtf8 reads them.
void StoredTextsAsUtf8(Json& j) {
    if (j.is_string()) {
        j = StoredTextAsUtf8(j.get_ref<const std::string&>());
    } else if (j.is_structured()) {
        for (auto& item : j) StoredTextsAsUtf8(item);
    }
}

// A value on one line: texts as they are, pairs such as a chart point as "(x, y)".
std::string InlineText(const Json& value) {
    if (value.is_string()) return value.get<std::string>();
    if (!value.is_array()) return value.dump();
    std::string text = "(";
    for (const auto& item : value) text += (text.size() > 1 ? ", " : "") + InlineText(item);
    return text + ")";
}

// One line per key, in words; groups indented below their name and the
// entries of a list of groups (the learning list) each begun with "- ".
void PrintEntries(std::ostream& out, const Json& object, int indent) {
    const std::string pad(static_cast<std::size_t>(indent), ' ');
    for (const auto& [key, value] : object.items()) {
        std::string label = key;
        std::replace(label.begin(), label.end(), '_', ' ');
        out << pad << label << ":";
        if (value.is_object()) {
            out << "\n";
            PrintEntries(out, value, indent + 2);
        } else if (value.is_array() && !value.empty() && value.front().is_object()) {
            out << "\n";
            for (const auto& entry : value) {
                std::ostringstream lines;
                PrintEntries(lines, entry, indent + 4);
                out << pad << "  - " << lines.str().substr(static_cast<std::size_t>(indent) + 4);
            }
        } else if (value.is_array()) {
            if (value.empty()) out << " none";
            for (const auto& item : value) out << " " << InlineText(item);
            out << "\n";
        } else {
            out << " " << InlineText(value) << "\n";
        }
    }
}

}  // namespace

int Info(const InfoOptions& options) {
    try {
        Json j = Summary(options.file);
        StoredTextsAsUtf8(j);
        // The name as given may be in any encoding; JSON and the terminal take UTF-8.
        const std::string file = ReplacingInvalidUtf8(options.file);
        if (options.json) {
            Json out;
            out["file"] = file;
            out.update(j);
            // Every text is UTF-8 by now; should one slip through, it is
            // shown replaced rather than ending the program.
            std::cout << out.dump(2, ' ', false, Json::error_handler_t::replace) << "\n";
        } else {
            std::cout << file << "\n";
            PrintEntries(std::cout, j, 2);
        }
        return 0;
    } catch (const Error& e) {
        PrintError("info", options.file + ": " + e.what());
        return 1;
    }
}

}  // namespace zorvane::cli
