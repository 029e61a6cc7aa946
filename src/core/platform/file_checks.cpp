#include "platform/file_checks.h"

#ifdef _WIN32
#include "platform/windows_api.h"
#else
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zorvane {

#ifdef _WIN32

std::optional<FileIdentity> IdentityOf(const std::filesystem::path& path) {
    HANDLE h = ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = ::GetFileInformationByHandle(h, &info) != 0;
    ::CloseHandle(h);
    if (!known) return std::nullopt;
    const auto modified = (static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                          info.ftLastWriteTime.dwLowDateTime;
    return FileIdentity{.Device = info.dwVolumeSerialNumber,
                        .Index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow,
                        .ModifiedNs = static_cast<std::int64_t>(modified) * 100};
}

std::error_code CheckFolderWritable(const std::filesystem::path&) { return {}; }

#else

std::optional<FileIdentity> IdentityOf(const std::filesystem::path& path) {
    struct stat s {};
    if (::stat(path.c_str(), &s) != 0) return std::nullopt;
    return FileIdentity{.Device = static_cast<std::uint64_t>(s.st_dev),
                        .Index = static_cast<std::uint64_t>(s.st_ino),
                        .ModifiedNs = static_cast<std::int64_t>(s.st_mtim.tv_sec) * 1'000'000'000 + s.st_mtim.tv_nsec};
}

std::error_code CheckFolderWritable(const std::filesystem::path& folder) {
    if (::access(folder.c_str(), W_OK) == 0) return {};
    return {errno, std::generic_category()};
}

#endif

}  // namespace zorvane
