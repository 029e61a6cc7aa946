#pragma once
// What a program checks of a file before writing: which file a name stands
// for now (to tell afterwards whether it was replaced) and whether a folder
// may be written.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <system_error>

namespace zorvane {

// A file by identity: its device and file number, and when it last changed.
struct FileIdentity {
    std::uint64_t Device = 0;
    std::uint64_t Index = 0;
    std::int64_t ModifiedNs = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The file `path` names now (links followed); none when there is none.
std::optional<FileIdentity> IdentityOf(const std::filesystem::path& path);

// The system's reason why files cannot be made in `folder`, or none. On
// Windows, whose access lists only a write can tell, there is none.
std::error_code CheckFolderWritable(const std::filesystem::path& folder);

}  // namespace zorvane
