#pragma once
// The creature and level-information block of a map project file, kept as
// raw bytes in Project::Creatures with four leading bytes in the place of the
// magic "CST0". Records begin with "MCR0" and a type byte; type 4 is level
// information, whose byte 86 is the multiplayer flag.
//
//   "zme" layout:  [4 bytes] level record (97 bytes) | u16 n | n creature records
//   "zmpe" layout: [4 bytes] u16 n+1 | level record (97 bytes) | n creature records
//
// Byte 4 of the block is "M" exactly for the "zme" layout.

#include <cstdint>
#include <vector>

#include "model/project.h"
#include "ui/ui.h"

namespace zorvane {

// The default 103-byte block of the project's variant; status "Creatures ereased!".
void ResetCreatures(Project& project, UserInterface& ui);
// Sets the multiplayer byte of every level information record.
void SetLvlInfo(Project& project, bool multiplayer);
// Number of "MCR0" tags, the level record included.
int CreaturesCount(const Project& project);
// The bytes written after "CST0" for the asked variant, converting the
// block's layout when it differs from the one in memory.
std::vector<std::uint8_t> CreatureBlockForFile(const std::vector<std::uint8_t>& creatures, TileSetVariant variant);
// Keeps every record inside the border of the map, moved by (dx, dy).
void MoveCreatures(Project& project, int dx, int dy);

}  // namespace zorvane
