#pragma once
// Crash recovery: while the project has unsaved changes the editor keeps a
// copy of it in the program's data folder (AppDataFolder), and the next
// start offers a copy that an editor which did not end cleanly left there.
//
// A copy is two files, written together through the safe save:
//   recovery-PID.zl    the project in the layered project format, which
//                      holds the whole tile set too (palette, bitmaps,
//                      tiles list), so that bitmaps not yet saved to any
//                      tile set file are kept;
//   recovery-PID.zlr   what the layered format leaves out (below).
// PID is the process id of the editor that writes it: a copy whose editor
// still runs is not offered to another.
//
// The side file (numbers little-endian):
//   4    "ZRC1"
//   u8   flags: 1 the tile set differs from the file it names (ZpModified),
//        2 the bitmaps' rows are held bottom-up (BottomUpRows)
//   u64  size of the .zl
//   u64  XXH3-64 of the .zl: a .zl that is not the one written with this
//        side file (damaged, cut short, of another write) is refused
//   u32  length L, then L bytes: the file the project was last opened from
//        or saved to (UTF-8), empty for none

#include <string>
#include <vector>

#include "model/project.h"

namespace zorvane {

struct RecoveryCopy {
    std::string InfoPath;     // the side file
    std::string ProjectPath;  // the .zl
    long ProcessId = 0;       // of the editor that wrote it
};

// The copy of this process in `folder`.
RecoveryCopy OwnRecoveryCopy(const std::string& folder);

// Writes a copy of `project`, whose file is `originalFile` ("" for none),
// through the safe save; throws Error with the reason. The project is read
// only.
void WriteRecoveryCopy(const RecoveryCopy& copy, const Project& project, const std::string& originalFile);

// The copies in `folder` (none when it does not exist) except those of an
// editor that runs now (this one's own are found), in the order of their
// names.
std::vector<RecoveryCopy> FindRecoveryCopies(const std::string& folder);

// What the side file of a copy says, for the offer.
struct RecoveryInfo {
    std::string OriginalFile;
    bool ZpModified = false;
    bool BottomUpRows = false;
    std::uint64_t ProjectSize = 0;
    std::uint64_t ProjectHash = 0;
};
// Reads the side file; throws Error saying the copy is damaged and why.
RecoveryInfo ReadRecoveryInfo(const RecoveryCopy& copy);

struct RecoveredProject {
    Project Restored;
    std::string OriginalFile;
};
// Reads a whole copy: the project as it was when the copy was written (the
// selection aside). Throws Error saying the copy is damaged and why.
RecoveredProject ReadRecoveryCopy(const RecoveryCopy& copy);

// Removes the files of a copy that are there; throws Error when one stays.
void RemoveRecoveryCopy(const RecoveryCopy& copy);

}  // namespace zorvane
