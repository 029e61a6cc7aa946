#pragma once
// Whole-file reading and the one safe way to write a file: into a temporary
// file beside the target, every write checked, flushed to disk, then renamed
// over the target and the folder synced. The old file stays untouched until
// the new one is complete. The system calls for it sit in one function of
// file_io.cpp (ReplaceFileSafely), the place for another platform's own.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zorvane {

bool FileExists(const std::string& path);
// Reads the whole file; throws Error with the reason.
std::vector<std::uint8_t> ReadWholeFile(const std::string& path);
// Writes `bytes` to `path` safely; throws Error with the reason, leaving any
// old file at `path` as it was and no temporary file. A file replaced keeps
// its permission bits (and, where allowed, its owner). Through a symbolic
// link (or a chain of them) the file linked to is written and the link stays.
void SaveFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);

// Path helpers, on the path as text.
std::string ChangeFileExt(const std::string& path, std::string_view ext);  // ext with its dot
std::string ExtractFileName(const std::string& path);
std::string ExtractFileExt(const std::string& path);  // with its dot, "" when none
std::string AbsolutePath(const std::string& path);

}  // namespace zorvane
