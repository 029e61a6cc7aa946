#pragma once
// The system's side of the safe save (safe_save.cpp holds its logic): a new
// file created exclusively, written, flushed and closed; one file put in the
// place of another; removing a file; flushing a folder's entries. Every
// failure comes back as an error_code whose message() is the system's
// reason.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <system_error>

namespace zorvane {

// What the file that replaces another keeps of it: the permission bits and
// owner, or on Windows the file attributes (read-only, hidden, ...).
struct KeptAttributes {
    unsigned long Mode = 0;
    unsigned long Owner = 0;
    unsigned long Group = 0;
};

// The attributes of `path` when it is a regular file (links followed).
std::optional<KeptAttributes> RegularFileAttributes(const std::filesystem::path& path);

// A file created new for writing; closed (not removed) when destroyed.
class NewFile {
public:
    NewFile() = default;
    ~NewFile();
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    // Creates `path`, which must not exist yet (std::errc::file_exists
    // when it does).
    std::error_code Create(const std::filesystem::path& path);
    // Gives the file the attributes of the one it replaces; on Windows
    // they are set once it is closed, so that a read-only one can be written.
    std::error_code Keep(const KeptAttributes& attributes);
    // Writes every byte; a full disk is an error.
    std::error_code Write(std::span<const std::uint8_t> bytes);
    // Flushes to disk and closes.
    std::error_code FlushAndClose();

private:
    std::filesystem::path path_;
#ifdef _WIN32
    void* handle_ = nullptr;
    std::optional<KeptAttributes> kept_;
#else
    int fd_ = -1;
#endif
};

// Puts `from` in the place of `to` in one step, replacing any file there
// (also a read-only one on Windows, written through to disk).
std::error_code ReplaceWith(const std::filesystem::path& from, const std::filesystem::path& to);
// Removes a file (also a read-only one on Windows).
std::error_code RemoveFile(const std::filesystem::path& path);
// Makes a folder's new and renamed entries durable; where the system cannot
// (or does it with the rename itself) there is nothing to do.
std::error_code SyncFolder(const std::filesystem::path& folder);

}  // namespace zorvane
