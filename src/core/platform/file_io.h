#pragma once
// Whole-file reading and file names as text; writing is in safe_save.h.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/safe_save.h"

namespace zorvane {

bool FileExists(const std::string& path);
// Reads the whole file; throws Error with the reason.
std::vector<std::uint8_t> ReadWholeFile(const std::string& path);
// Reads `count` bytes from `offset` on, fewer where the file ends, for a
// reader that needs only a part of a large file; throws Error with the reason.
std::vector<std::uint8_t> ReadFilePart(const std::string& path, std::uint64_t offset, std::size_t count);
// The size of a file in bytes; throws Error with the reason.
std::uint64_t FileSize(const std::string& path);
// Path helpers, on the path as text.
std::string ChangeFileExt(const std::string& path, std::string_view ext);  // ext with its dot
std::string ExtractFileName(const std::string& path);
std::string ExtractFileExt(const std::string& path);  // with its dot, "" when none
std::string AbsolutePath(const std::string& path);

}  // namespace zorvane
