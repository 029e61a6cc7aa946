#include "model/file_kinds.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "platform/file_io.h"

namespace zorvane {

namespace {

constexpr std::array<FileKindEntry, 4> kKinds{{
    {ProjectFileKind::TileSet, {"ZTP0", ""}, ".zp", "ODzp", "ZP files|*.zp", "SDzp", "tile set file|*.zp"},
    {ProjectFileKind::Map, {"ZLF5", ""}, ".zm", "ODzm", "zme/zmpe project|*.zm", "SDzm", "zme/zmpe project|*.zm"},
    {ProjectFileKind::Layered, {"ZLP1", "ZLP0"}, ".zl", "ODzl", "layered project|*.zl", "SDzl",
     "layered project|*.zl"},
    {ProjectFileKind::GeneratorData, {"ZGD1", ""}, ".zg", "ODzg", "Generator Data|*.zg", "SDzg",
     "Generator Data|*.zg"},
}};

bool BeginsWith(std::span<const std::uint8_t> bytes, std::string_view magic) {
    return !magic.empty() && bytes.size() >= magic.size() && std::equal(magic.begin(), magic.end(), bytes.begin());
}

bool SameLetters(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

std::span<const FileKindEntry> FileKinds() { return kKinds; }

const FileKindEntry& KindEntry(ProjectFileKind kind) {
    for (const auto& entry : kKinds)
        if (entry.kind == kind) return entry;
    throw std::out_of_range("no file kind entry");
}

ProjectFileKind KindOfBytes(std::span<const std::uint8_t> bytes) {
    for (const auto& entry : kKinds)
        for (auto magic : entry.magics)
            if (BeginsWith(bytes, magic)) return entry.kind;
    return ProjectFileKind::Unknown;
}

ProjectFileKind KindOfFile(const std::string& path) {
    std::size_t longest = 0;
    for (const auto& entry : kKinds)
        for (auto magic : entry.magics) longest = std::max(longest, magic.size());
    return KindOfBytes(ReadFilePart(path, 0, longest));  // a tile set may be hundreds of megabytes
}

ProjectFileKind KindOfName(std::string_view path) {
    const std::string ext = ExtractFileExt(std::string(path));
    for (const auto& entry : kKinds)
        if (SameLetters(ext, entry.extension)) return entry.kind;
    return ProjectFileKind::Unknown;
}

}  // namespace zorvane
