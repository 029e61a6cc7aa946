#include "model/project_files.h"

#include <cstring>

namespace zorvane {

ProjectFileKind DetectProjectFile(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 4) return ProjectFileKind::Unknown;
    auto is = [&](const char* magic) { return std::memcmp(bytes.data(), magic, 4) == 0; };
    if (is("ZTP0")) return ProjectFileKind::TileSet;
    if (is("ZLF5")) return ProjectFileKind::Map;
    if (is("ZLP0") || is("ZLP1")) return ProjectFileKind::Layered;
    return ProjectFileKind::Unknown;
}

}  // namespace zorvane
