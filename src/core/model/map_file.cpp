#include "map_file.h"

#include <cctype>
#include <cstring>
#include <filesystem>

#include "bytes.h"
#include "creatures.h"
#include "file_commands.h"
#include "file_dialogs.h"
#include "file_io.h"
#include "flatten.h"
#include "lifecycle.h"
#include "tileset_file.h"

namespace zorvane {

namespace {

constexpr std::size_t kSquareBytes = 5;

// Empties FlatSquares when the export or write ends, however it ends.
struct FlatSquaresRelease {
    Project& project;
    ~FlatSquaresRelease() {
        project.FlatSquares.clear();
        project.FlatSquares.shrink_to_fit();
    }
};

void CheckMapSide(int size, const char* what) {
    if (size < 1 || size > 255)
        throw Error("The map " + std::string(what) + " " + std::to_string(size) +
                    " cannot be stored in a map project file (1 to 255 squares).");
}

// Absolute by the rules of either platform: a map file may come from a
// system whose paths begin with a drive letter.
bool IsAbsoluteAnywhere(const std::string& path) {
    if (path.empty()) return false;
    if (path[0] == '/' || path[0] == '\\') return true;
    if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') return true;
    return std::filesystem::path(path).is_absolute();
}

// A tile set path the user names now is stored in full, as the game's tools
// store it.
void MakeZpPathAbsolute(Project& project) {
    if (!project.ZpPath.empty() && !IsAbsoluteAnywhere(project.ZpPath)) project.ZpPath = AbsolutePath(project.ZpPath);
}

// Turns each square into a 1 x 1 used tile in row order.
void FillUsedTiles(Project& project, const std::vector<TSq>& squares, int width) {
    project.UsedTiles.clear();
    project.UsedTiles.reserve(squares.size());
    for (std::size_t i = 0; i < squares.size(); ++i) {
        auto tile = std::make_unique<TTile>(1, 1);
        tile->X = static_cast<int>(i % static_cast<std::size_t>(width));
        tile->Y = static_cast<int>(i / static_cast<std::size_t>(width));
        tile->Sq[0] = squares[i];
        project.UsedTiles.push_back(std::move(tile));
    }
}

int LastTileIndex(const Project& project) { return static_cast<int>(project.NewTiles.size()) - 1; }

// Asks for the new tile set file and writes it; false when the export is to stop.
bool WriteNewTileSet(Project& project, UserInterface& ui, bool zme) {
    ui.inform("Create new *.zp",
              "It's necessary to create a new *.zp file.\rTo continue exporting map, select the path and name for "
              "new file.");
    FileDialog dialog = SaveTileSetDialog();
    auto chosen = ui.chooseFile(dialog);
    if (chosen && !OverwritePrompt2(ui, *chosen, ".zp")) chosen.reset();
    if (!chosen) {
        ui.error("Error", "Exporting stopped by user!");
        return false;
    }
    std::string oldPath = project.ZpPath;
    project.ZpPath = ChangeFileExt(*chosen, ".zp");
    MakeZpPathAbsolute(project);
    if (project.ZpPath.size() > MaxStoredPath) {
        // The map could not name it: refuse before anything is written.
        FailSave(ui, project.ZpPath, "The tile set path is longer than 255 bytes and cannot be stored in the map.");
    } else if (MakeNewZP(project, ui, zme)) {
        return true;
    }
    project.ZpPath = std::move(oldPath);  // the project still belongs to the old tile set
    return false;
}

}  // namespace

MapFile ParseZM(std::span<const std::uint8_t> bytes) {
    ByteReader r(bytes);
    if (!r.peekTag("ZLF5")) throw Error("This is not a map project file: it does not begin with \"ZLF5\".");
    r.skip(4, "magic");
    MapFile map;
    std::uint8_t pathLength = r.u8("tile set path length");
    map.ZpPath = r.text(pathLength, "tile set path");
    map.Multiplayer = r.u32("multiplayer flag");
    r.skip(4, "map chunk id");
    map.Width = r.u8("map width");
    map.Height = r.u8("map height");
    if (map.Width == 0 || map.Height == 0)
        throw Error("The file is damaged: the map size " + std::to_string(map.Width) + " x " +
                    std::to_string(map.Height) + " is empty.");
    std::uint64_t count = static_cast<std::uint64_t>(map.Width) * static_cast<std::uint64_t>(map.Height);
    r.needItems(count, kSquareBytes, "map squares");
    map.Squares.resize(count);
    for (auto& sq : map.Squares) {
        sq.Gnd = r.u16("ground id");
        sq.Top = r.u16("top id");
        sq.Atr = r.u8("attribute");
    }
    if (r.remaining() > 0 && !r.peekTag("CST0"))
        throw Error("The file is damaged: the creature block at byte " + std::to_string(r.offset()) +
                    " does not begin with \"CST0\".");
    auto rest = r.bytes(r.remaining(), "creature block");
    map.Creatures.assign(rest.begin(), rest.end());
    return map;
}

std::vector<std::uint8_t> EncodeZM(const Project& project, bool zme) {
    const int w = project.MapWidth;
    const int h = project.MapHeight;
    CheckMapSide(w, "width");
    CheckMapSide(h, "height");
    if (project.FlatSquares.size() != static_cast<std::size_t>(w) * static_cast<std::size_t>(h))
        throw Error("The map has not been flattened: " + std::to_string(project.FlatSquares.size()) +
                    " squares for a map of " + std::to_string(w) + " x " + std::to_string(h) + ".");
    auto creatures = CreatureBlockForFile(project.Creatures, zme);
    ByteWriter out;
    out.reserve(32 + project.ZpPath.size() + project.FlatSquares.size() * kSquareBytes + creatures.size());
    out.text("ZLF5");
    WriteShortString(out, project.ZpPath, "tile set path");
    out.u32(project.Multiplayer);
    out.text("MAP0");
    out.u8(static_cast<std::uint8_t>(w));
    out.u8(static_cast<std::uint8_t>(h));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const TSq& sq = project.FlatSquares[static_cast<std::size_t>(y) * w + x];
            out.u16(sq.Gnd);
            out.u16(sq.Top);
            out.u8(IsBorderSquare(x, y, w, h) ? AtrImpassable : sq.Atr);
        }
    }
    out.text("CST0");
    out.bytes(creatures);
    return out.take();
}

bool OpenZM(Project& project, UserInterface& ui) {
    FileDialog dialog = OpenMapDialog();
    auto chosen = ui.chooseFile(dialog);
    if (!chosen) return false;
    return OpenZMFile(project, ui, *chosen);
}

bool OpenZMFile(Project& project, UserInterface& ui, const std::string& path) {
    ui.setStatus("opening " + path + "...");
    ProgressScope progress(ui);
    MapFile map;
    try {
        map = ParseZM(ReadWholeFile(path));
    } catch (const Error& e) {
        FailOpen(project, ui, path, e.what());
        return false;
    }
    ResetProject(project, ui, true, true, false);
    project.ZpPath = std::move(map.ZpPath);
    project.Multiplayer = map.Multiplayer;
    project.MapWidth = map.Width;
    project.MapHeight = map.Height;
    FillUsedTiles(project, map.Squares, map.Width);
    project.Creatures = std::move(map.Creatures);
    ui.setStatus(path + " opened");
    if (!OpenZP(project, ui)) {
        // The tile set reader has reset the project; make sure nothing of
        // the map is left behind a project marked as closed.
        if (!project.UsedTiles.empty()) ResetProject(project, ui, true, true, false);
        return false;
    }
    ui.refreshInterface({0, LastTileIndex(project), true, true, true, true});
    project.NoProject = false;
    ui.setStatus(path + " opened");
    return true;
}

bool SaveZmAs(Project& project, UserInterface& ui, const std::string& path, bool zme) {
    FlatSquaresRelease release{project};
    ui.setStatus("saving " + path + "...");
    ProgressScope progress(ui);
    if (project.Creatures.empty()) {
        ResetCreatures(project, ui);
        SetLvlInfo(project, project.Multiplayer == 1);
    }
    try {
        SaveFileAtomically(path, EncodeZM(project, zme));
    } catch (const Error& e) {
        FailSave(ui, path, e.what());
        return false;
    }
    ui.setStatus(path + " saved!");
    return true;
}

bool ExportToZmZp(Project& project, UserInterface& ui, bool zme) {
    FileDialog dialog = SaveMapDialog();
    auto chosen = ui.chooseFile(dialog);
    if (!chosen) return false;
    if (!OverwritePrompt2(ui, *chosen, ".zm")) return false;
    return ExportToZmZpFile(project, ui, ChangeFileExt(*chosen, ".zm"), zme);
}

bool ExportToZmZpFile(Project& project, UserInterface& ui, const std::string& path, bool zme) {
    FlatSquaresRelease release{project};
    bool bitmapsAdded = false;
    try {
        bitmapsAdded = FlatMap(project, ui);
    } catch (const Error& e) {
        ui.error("Error", e.what());
        return false;
    }
    bool needNewTileSet = bitmapsAdded || project.ZpModified || project.ZpPath.empty() || project.ZmeVariant != zme;
    // A path the map was read with is written back as it was, relative or not.
    if (needNewTileSet && !WriteNewTileSet(project, ui, zme)) return false;
    bool saved = SaveZmAs(project, ui, path, zme);
    ui.refreshInterface({0, LastTileIndex(project), true, false, false, false});
    return saved;
}

}  // namespace zorvane
