#pragma once
// The kinds of file a project is kept in, in one table: the magics each
// begins with, its extension and the names and filters of its open and save
// dialogs. Detection by contents or by name looks here and nowhere else; the
// commands switch on the kind to pick the reader and the writer
// (tileset_file.h, map_file.h, layered_file.h, the generator's zg_file.h).

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace zorvane {

enum class ProjectFileKind { Unknown, TileSet, Map, Layered, GeneratorData };

struct FileKindEntry {
    ProjectFileKind kind;
    std::array<std::string_view, 2> magics;  // the first is written, either is read; "" for none
    std::string_view extension;              // with its dot
    std::string_view openDialog;             // dialog name
    std::string_view openFilter;             // "caption|pattern"
    std::string_view saveDialog;
    std::string_view saveFilter;
};

// Every kind but Unknown.
std::span<const FileKindEntry> FileKinds();
// The entry of a kind; throws std::out_of_range for Unknown.
const FileKindEntry& KindEntry(ProjectFileKind kind);

// The kind whose magic the bytes begin with.
ProjectFileKind KindOfBytes(std::span<const std::uint8_t> bytes);
// The kind of a file by its first bytes; throws Error when it cannot be read.
ProjectFileKind KindOfFile(const std::string& path);
// The kind a file name's extension asks for, in any letter case.
ProjectFileKind KindOfName(std::string_view path);

}  // namespace zorvane
