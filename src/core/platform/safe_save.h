#pragma once
// The one safe way to write files: each new file goes into a temporary file
// beside its target, every write checked and flushed to disk, and only then
// is it renamed over the target and the folder synced. The old file stays
// untouched until the new one is complete, and a temporary file never stays
// behind after a failure.
//
// Temporary files are named "<target name>.<process id>-<number>.zorvane-tmp";
// ones left by a process that was killed are removed on the next successful
// save of the same target. The system calls, POSIX or Windows, sit behind
// system_files.h and process.h.

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace zorvane {

// Writes `bytes` to `path` safely; throws Error with the reason, leaving any
// old file at `path` as it was and no temporary file. A file replaced keeps
// its permission bits (and, where allowed, its owner). Through a symbolic
// link (or a chain of them) the file linked to is written and the link stays.
void SaveFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);

// Takes the contents of a file being saved, piece by piece in order, and
// writes each piece to the new file at once (a failed write throws Error).
class SaveSink {
public:
    virtual void write(std::span<const std::uint8_t> bytes) = 0;

protected:
    ~SaveSink() = default;
};

// Writes a file's contents into the sink: an encoder that streams its
// output instead of building it whole. An Error it throws fails the save as
// a failed write does.
using FileContents = std::function<void(SaveSink&)>;

// As above, the contents written by `contents`.
void SaveFileAtomically(const std::string& path, const FileContents& contents);

struct FileToSave {
    std::string Path;
    std::span<const std::uint8_t> Bytes;
    FileContents Contents = {};  // when given, written instead of Bytes
};

// Saves files that belong together (a map and the tile set it names) as
// SaveFileAtomically saves one: every new file is complete on disk before
// the first old one is replaced, and should replacing one fail, those
// already replaced get their old contents back (files that did not exist
// are removed). Throws Error saying which file failed and what became of the
// others.
void SaveFilesTogether(std::span<const FileToSave> files);

}  // namespace zorvane
