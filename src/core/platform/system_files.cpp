#include "platform/system_files.h"

#include <algorithm>

#ifdef _WIN32
#include "platform/windows_api.h"
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zorvane {

namespace fs = std::filesystem;

#ifdef _WIN32

namespace {

std::error_code LastError() {
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
        return std::make_error_code(std::errc::file_exists);
    return {static_cast<int>(error), std::system_category()};
}

}  // namespace

std::optional<KeptAttributes> RegularFileAttributes(const fs::path& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return std::nullopt;
    return KeptAttributes{.Mode = attributes};
}

NewFile::~NewFile() {
    if (handle_ != nullptr) ::CloseHandle(handle_);
}

std::error_code NewFile::Create(const fs::path& path) {
    path_ = path;
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return LastError();
    handle_ = h;
    return {};
}

std::error_code NewFile::Keep(const KeptAttributes& attributes) {
    kept_ = attributes;
    return {};
}

std::error_code NewFile::Write(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(handle_, bytes.data(), chunk, &written, nullptr)) return LastError();
        if (written == 0) return {ERROR_DISK_FULL, std::system_category()};
        bytes = bytes.subspan(written);
    }
    return {};
}

std::error_code NewFile::FlushAndClose() {
    const bool flushed = ::FlushFileBuffers(handle_) != 0;
    const std::error_code flushError = flushed ? std::error_code{} : LastError();
    const bool closed = ::CloseHandle(handle_) != 0;
    handle_ = nullptr;
    if (!flushed) return flushError;
    if (!closed) return LastError();
    if (kept_ && !::SetFileAttributesW(path_.c_str(), kept_->Mode == 0 ? FILE_ATTRIBUTE_NORMAL : kept_->Mode))
        return LastError();
    return {};
}

std::error_code ReplaceWith(const fs::path& from, const fs::path& to) {
    // A read-only file cannot be replaced: the flag goes for the move and
    // comes back should it fail. The new file carries its own attributes.
    const DWORD old = ::GetFileAttributesW(to.c_str());
    const bool readOnly = old != INVALID_FILE_ATTRIBUTES && (old & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly) ::SetFileAttributesW(to.c_str(), old & ~FILE_ATTRIBUTE_READONLY);
    if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return {};
    const std::error_code error = LastError();
    if (readOnly) ::SetFileAttributesW(to.c_str(), old);
    return error;
}

std::error_code RemoveFile(const fs::path& path) {
    if (::DeleteFileW(path.c_str())) return {};
    const std::error_code error = LastError();
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) == 0) return error;
    ::SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (::DeleteFileW(path.c_str())) return {};
    const std::error_code again = LastError();
    ::SetFileAttributesW(path.c_str(), attributes);
    return again;
}

// MOVEFILE_WRITE_THROUGH has already put the new name on disk.
std::error_code SyncFolder(const fs::path&) { return {}; }

#else

namespace {

std::error_code LastError() { return {errno, std::generic_category()}; }

}  // namespace

std::optional<KeptAttributes> RegularFileAttributes(const fs::path& path) {
    struct stat old {};
    if (::stat(path.c_str(), &old) != 0 || !S_ISREG(old.st_mode)) return std::nullopt;
    return KeptAttributes{.Mode = old.st_mode & 07777, .Owner = old.st_uid, .Group = old.st_gid};
}

NewFile::~NewFile() {
    if (fd_ >= 0) ::close(fd_);
}

std::error_code NewFile::Create(const fs::path& path) {
    path_ = path;
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    return fd_ >= 0 ? std::error_code{} : LastError();
}

std::error_code NewFile::Keep(const KeptAttributes& attributes) {
    // The owner first: changing it may clear the set-id bits that chmod then puts back.
    const auto uid = static_cast<uid_t>(attributes.Owner);
    const auto gid = static_cast<gid_t>(attributes.Group);
    if (uid != ::geteuid() || gid != ::getegid()) (void)::fchown(fd_, uid, gid);
    return ::fchmod(fd_, static_cast<mode_t>(attributes.Mode)) == 0 ? std::error_code{} : LastError();
}

std::error_code NewFile::Write(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) return std::make_error_code(std::errc::no_space_on_device);
        if (n < 0) return LastError();
        bytes = bytes.subspan(static_cast<std::size_t>(n));
    }
    return {};
}

std::error_code NewFile::FlushAndClose() {
    if (::fsync(fd_) != 0) return LastError();
    const int closing = fd_;
    fd_ = -1;
    return ::close(closing) == 0 ? std::error_code{} : LastError();
}

std::error_code ReplaceWith(const fs::path& from, const fs::path& to) {
    return ::rename(from.c_str(), to.c_str()) == 0 ? std::error_code{} : LastError();
}

std::error_code RemoveFile(const fs::path& path) {
    return ::unlink(path.c_str()) == 0 ? std::error_code{} : LastError();
}

// A folder that cannot be opened, or a file system that cannot sync one
// (EINVAL), gets what it can.
std::error_code SyncFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return {};
    const std::error_code error = ::fsync(fd) == 0 || errno == EINVAL ? std::error_code{} : LastError();
    ::close(fd);
    return error;
}

#endif

}  // namespace zorvane
