#pragma once
// Telling the project file formats apart by their magic.

#include <cstdint>
#include <span>

namespace zorvane {

enum class ProjectFileKind { Unknown, TileSet, Map, Layered };

// "ZTP0" tile set, "ZLF5" map project, "ZLP0"/"ZLP1" layered project.
ProjectFileKind DetectProjectFile(std::span<const std::uint8_t> bytes);

}  // namespace zorvane
