#pragma once
// Reading files, whole or in parts, and file names as text; writing is in
// safe_save.h.

#include <cstdint>
#include <memory>
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

// A file read in parts from its start on, for a reader that puts each part
// straight where it belongs instead of holding the whole file.
class FileReader {
public:
    // Opens the file; throws Error with the reason.
    explicit FileReader(const std::string& path);
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    std::uint64_t size() const { return size_; }
    std::uint64_t offset() const { return offset_; }
    // Fills `bytes` from the current offset on; throws Error when the file
    // ends first or the system fails.
    void read(std::span<std::uint8_t> bytes);
    // Reads `count` bytes, fewer where the file ends.
    std::vector<std::uint8_t> readUpTo(std::uint64_t count);
    // Moves the offset (at most to the end of the file).
    void seek(std::uint64_t offset);

private:
    struct Stream;
    std::string path_;
    std::unique_ptr<Stream> stream_;
    std::uint64_t size_ = 0;
    std::uint64_t offset_ = 0;
};
// Path helpers, on the path as text.
std::string ChangeFileExt(const std::string& path, std::string_view ext);  // ext with its dot
std::string ExtractFileName(const std::string& path);
std::string ExtractFileExt(const std::string& path);  // with its dot, "" when none
std::string AbsolutePath(const std::string& path);

}  // namespace zorvane
