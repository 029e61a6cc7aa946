#pragma once
// Crash recovery: while the project has unsaved changes the editor keeps a
// copy of it in the program's data folder (AppDataFolder), and the next
// start offers a copy that an editor which did not end cleanly left there.
//
// A copy, named by the id of the editor that keeps it (its process id and
// start time), is three files:
//   recovery-ID.lock          locked (InstanceLock) while that editor runs:
//                             a copy whose lock is held is not offered;
//   recovery-ID-HASH.zlt      the tile set part: the palette, the bitmap
//                             count and the bitmaps as the layered project
//                             format stores them; HASH (16 hex digits) is
//                             its XXH3-64. Written only when it changed, so
//                             that an edit of the map writes the map alone;
//   recovery-ID.zlr           the index, which names the tile set
//                             part, followed by the map part: the layered
//                             project file without the tile set part.
// A new tile set part is complete on disk before the index naming it
// replaces the old one (each through the safe save), and an old part goes
// only after that: an editor that dies at any moment of a write leaves the
// old copy or the new one, whole.
//
// The index (numbers little-endian):
//   4    "ZRC2"
//   u8   flags: 1 the tile set differs from the file it names (ZpModified),
//        2 the bitmaps' rows are held bottom-up (BottomUpRows)
//   u64  size of the tile set part
//   u64  XXH3-64 of the tile set part
//   u32  length L, then L bytes: the file the project was last opened from
//        or saved to (UTF-8), empty for none
//   ...  the map part
//   u64  XXH3-64 of all the bytes before it

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "document/document.h"
#include "model/project.h"
#include "ui/ui.h"

namespace zorvane {

struct RecoveryCopy {
    std::string Folder;
    std::string Id;
    std::string InfoPath;  // the index with the map part
    std::string LockPath;
};

// The copy of the given id in `folder`.
RecoveryCopy RecoveryCopyNamed(const std::string& folder, const std::string& id);
// A new id for this process's copy: its process id and the time now.
std::string NewRecoveryId();
// The tile set part of a copy with that hash.
std::string TileSetPartPath(const RecoveryCopy& copy, std::uint64_t hash);

// A copy of the project made on the window's thread, to be written on
// another while the project goes on changing.
struct RecoverySnapshot {
    std::vector<std::uint8_t> MapPart;
    std::uint64_t MapHash = 0;
    std::uint64_t TileSetHash = 0;
    std::uint64_t TileSetSize = 0;
    // Empty when the copy on disk already holds the tile set part of this
    // hash (it is not encoded then).
    std::vector<std::uint8_t> TileSetPart;
    std::uint8_t Flags = 0;
    std::string OriginalFile;

    // The same copy as `other` (the tile set part by its hash).
    bool SameAs(const RecoverySnapshot& other) const;
};

// Takes a snapshot of `project`, whose file is `originalFile` ("" for
// none); the tile set part is left out when its hash is `tileSetOnDisk`.
// The project is read only.
RecoverySnapshot TakeRecoverySnapshot(const Project& project, const std::string& originalFile,
                                      std::optional<std::uint64_t> tileSetOnDisk = std::nullopt);

// Writes a snapshot as the copy (the tile set part when it carries one,
// then the index, then other tile set parts of the copy removed);
// throws Error with the reason, the copy left as it was or as the
// snapshot has it.
void WriteRecoverySnapshot(const RecoveryCopy& copy, const RecoverySnapshot& snapshot);
// Both together, the whole copy written.
void WriteRecoveryCopy(const RecoveryCopy& copy, const Project& project, const std::string& originalFile);

// The copies in `folder` (none when it does not exist) whose editor does
// not hold their lock, in the order of their names.
std::vector<RecoveryCopy> FindRecoveryCopies(const std::string& folder);

// What the index of a copy says, for the offer.
struct RecoveryInfo {
    std::string OriginalFile;
    bool ZpModified = false;
    bool BottomUpRows = false;
    std::uint64_t TileSetSize = 0;
    std::uint64_t TileSetHash = 0;
};
// Reads the index; throws Error saying the copy is damaged and why.
RecoveryInfo ReadRecoveryInfo(const RecoveryCopy& copy);

struct RecoveredProject {
    Project Restored;
    std::string OriginalFile;
};
// Reads a whole copy: the project as it was when the copy was written (the
// selection aside). Throws Error saying the copy is damaged and why.
RecoveredProject ReadRecoveryCopy(const RecoveryCopy& copy);

// Takes a recovered project into the document as the one of its file with
// unsaved changes: a new history in which no position is the saved one.
void TakeRecoveredProject(Document& document, UserInterface& ui, RecoveredProject&& recovered);

// Removes the files of a copy that are there (its lock file unless held);
// throws Error when one stays.
void RemoveRecoveryCopy(const RecoveryCopy& copy);

}  // namespace zorvane
