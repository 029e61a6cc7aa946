// zorvane info: a summary of a tile set, map project or layered project file.

#include <iostream>

#include <nlohmann/json.hpp>

#include "commands.h"
#include "console_ui.h"
#include "generator_data.h"
#include "model/creatures.h"
#include "model/layered_file.h"
#include "model/map_file.h"
#include "model/file_kinds.h"
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

Json TileSetInfo(const std::vector<std::uint8_t>& bytes) {
    TileSet ts = ParseZP(bytes);
    Json j;
    j["format"] = "tile set";
    j["variant"] = ts.Zme ? "zme" : "zmpe";
    j["row_order"] = ts.BottomUpRows ? "bottom-up" : "top-down";
    j["bitmaps"] = ts.BitmapCount;
    j["tiles"] = ts.Tiles.size();
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

void PrintText(const std::string& file, const Json& j) {
    std::cout << file << "\n";
    for (auto& [key, value] : j.items()) {
        std::string label = key;
        for (auto& c : label)
            if (c == '_') c = ' ';
        std::cout << "  " << label << ": " << (value.is_string() ? value.get<std::string>() : value.dump()) << "\n";
    }
}

}  // namespace

int Info(const InfoOptions& options) {
    try {
        auto bytes = ReadWholeFile(options.file);
        Json j;
        switch (KindOfBytes(bytes)) {
        case ProjectFileKind::TileSet: j = TileSetInfo(bytes); break;
        case ProjectFileKind::Map: j = MapInfo(bytes); break;
        case ProjectFileKind::Layered: j = LayeredInfo(bytes); break;
        case ProjectFileKind::GeneratorData: j = GeneratorDataInfo(bytes); break;
        case ProjectFileKind::Unknown:
            throw Error("Not a tile set (*.zp), map project (*.zm), layered project (*.zl) or generator data (*.zg) file.");
        }
        if (options.json) {
            Json out;
            out["file"] = options.file;
            out.update(j);
            std::cout << out.dump(2) << "\n";
        } else {
            PrintText(options.file, j);
        }
        return 0;
    } catch (const Error& e) {
        std::cerr << "zorvane info: " << options.file << ": " << ConsoleText(e.what()) << "\n";
        return 1;
    }
}

}  // namespace zorvane::cli
