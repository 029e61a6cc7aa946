#include "platform/file_io.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/error.h"

namespace zorvane {

namespace fs = std::filesystem;

namespace {

std::string systemReason() { return std::strerror(errno); }

// As many links in a row as the system itself follows before giving up.
constexpr int kMaxLinkHops = 40;

// The file that writing to `path` really changes: the end of its chain of
// symbolic links, each relative link read from the folder that holds it.
fs::path FollowLinks(const std::string& path) {
    fs::path at(path);
    for (int hops = 0;; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(at, ec))) return at;
        if (hops == kMaxLinkHops) throw Error("Could not save " + path + ": too many levels of symbolic links.");
        fs::path to = fs::read_symlink(at, ec);
        if (ec) throw Error("Could not read the link " + at.string() + ": " + ec.message());
        at = to.is_absolute() ? to : at.parent_path() / to;
    }
}

// The platform's part of saving, and the one place that asks the system for
// it: writes `bytes` into a new file beside `target` (not a link), gives it
// the permission bits and owner of the file it replaces, flushes it to disk,
// renames it over `target` and syncs the folder so that the rename lasts. A
// temporary file never stays behind. Errors name `shownPath`, the path the
// caller asked for.
void ReplaceFileSafely(const fs::path& target, std::span<const std::uint8_t> bytes, const std::string& shownPath) {
    const std::string dir = target.has_parent_path() ? target.parent_path().string() : std::string(".");
    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);

    std::random_device rd;
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temp = target.string() + ".tmp" + std::to_string(rd() % 1000000);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) throw Error("Could not create a file in " + dir + ": " + systemReason());

    // Until the rename the temporary file goes away with any failure.
    struct Temporary {
        int& fd;
        const std::string& path;
        bool renamed = false;
        ~Temporary() {
            if (fd >= 0) ::close(fd);
            if (!renamed) ::unlink(path.c_str());
        }
    } guard{fd, temp};
    auto fail = [&](const std::string& what) -> void {
        throw Error("Could not " + what + " " + shownPath + ": " + systemReason());
    };

    if (replacing) {
        // The owner first: changing it may clear the set-id bits that chmod then puts back.
        if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) (void)::fchown(fd, old.st_uid, old.st_gid);
        if (::fchmod(fd, old.st_mode & 07777) != 0) fail("keep the permissions of");
    }
    const std::uint8_t* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = ENOSPC;
        if (n <= 0) fail("write");
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0) fail("write");
    const int closing = fd;
    fd = -1;
    if (::close(closing) != 0) fail("write");
    if (::rename(temp.c_str(), target.c_str()) != 0) fail("replace");
    guard.renamed = true;

    // The new name is on disk only once the folder is. A file system that
    // cannot sync a folder (EINVAL) gets what it can.
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) return;
    const bool synced = ::fsync(dirFd) == 0 || errno == EINVAL;
    const std::string reason = systemReason();
    ::close(dirFd);
    if (!synced) throw Error("Could not write " + shownPath + " to disk: " + reason);
}

}  // namespace

bool FileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(fs::path(path), ec);
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Error("Could not open " + path + ": " + systemReason());
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size < 0) throw Error("Could not read " + path + ".");
    in.seekg(0, std::ios::beg);
    std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
    if (size > 0 && !in.read(reinterpret_cast<char*>(data.data()), size))
        throw Error("Could not read " + path + ": " + systemReason());
    return data;
}

void SaveFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
    if (path.empty()) throw Error("No file name given.");
    const fs::path target = FollowLinks(path);
    std::string dir = target.has_parent_path() ? target.parent_path().string() : std::string(".");
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) throw Error("The folder " + dir + " does not exist.");
    if (fs::is_directory(target, ec)) throw Error(path + " is a folder.");
    ReplaceFileSafely(target, bytes, path);
}

std::string ExtractFileExt(const std::string& path) {
    std::size_t slash = path.find_last_of("/\\");
    std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    return path.substr(dot);
}

std::string ChangeFileExt(const std::string& path, std::string_view ext) {
    std::string old = ExtractFileExt(path);
    return path.substr(0, path.size() - old.size()) + std::string(ext);
}

std::string ExtractFileName(const std::string& path) {
    std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string AbsolutePath(const std::string& path) {
    if (path.empty()) return path;
    std::error_code ec;
    fs::path abs = fs::absolute(fs::path(path), ec);
    if (ec) return path;
    return abs.lexically_normal().string();
}

}  // namespace zorvane
