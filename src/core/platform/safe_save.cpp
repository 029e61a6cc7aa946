#include "platform/safe_save.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <set>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/error.h"

namespace zorvane {

namespace fs = std::filesystem;

namespace {

std::string SystemReason(int error) { return std::strerror(error); }

// As many links in a row as the system itself follows before giving up.
constexpr int kMaxLinkHops = 40;

constexpr std::string_view kTemporarySuffix = ".zorvane-tmp";

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

fs::path FolderOf(const fs::path& target) { return target.has_parent_path() ? target.parent_path() : fs::path("."); }

// A new, exclusive name for a temporary file of `target`, created empty and
// opened for writing; -1 with errno set when none could be made.
int CreateTemporary(const fs::path& target, std::string& name) {
    static thread_local std::mt19937 numbers{std::random_device{}()};
    for (int attempt = 0; attempt < 16; ++attempt) {
        name = target.string() + "." + std::to_string(::getpid()) + "-" + std::to_string(numbers() % 1000000) +
               std::string(kTemporarySuffix);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// The process id in the name of a temporary file of `targetName`, or 0
// when `name` is no such file.
long TemporaryOwner(const std::string& name, const std::string& targetName) {
    if (name.size() <= targetName.size() + 1 + kTemporarySuffix.size()) return 0;
    if (name.compare(0, targetName.size(), targetName) != 0 || name[targetName.size()] != '.') return 0;
    if (!name.ends_with(kTemporarySuffix)) return 0;
    const std::string middle =
        name.substr(targetName.size() + 1, name.size() - targetName.size() - 1 - kTemporarySuffix.size());
    const std::size_t dash = middle.find('-');
    if (dash == 0 || dash == std::string::npos || dash + 1 == middle.size()) return 0;
    for (std::size_t i = 0; i < middle.size(); ++i)
        if (i != dash && (middle[i] < '0' || middle[i] > '9')) return 0;
    if (dash > 9) return 0;
    return std::stol(middle.substr(0, dash));
}

bool ProcessIsRunning(long pid) { return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM; }

// Temporary files of `target` left by processes that no longer run (killed
// while saving) go once the target has been saved again.
void RemoveStaleTemporaries(const fs::path& target) {
    const std::string targetName = target.filename().string();
    std::error_code ec;
    for (fs::directory_iterator it(FolderOf(target), ec), end; !ec && it != end; it.increment(ec)) {
        const long owner = TemporaryOwner(it->path().filename().string(), targetName);
        if (owner <= 0 || owner == ::getpid() || ProcessIsRunning(owner)) continue;
        std::error_code ignored;
        fs::remove(it->path(), ignored);
    }
}

// The new name is on disk only once the folder is. A file system that
// cannot sync a folder (EINVAL) gets what it can.
void SyncFolder(const fs::path& folder, const std::string& shownPath) {
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) return;
    const bool synced = ::fsync(dirFd) == 0 || errno == EINVAL;
    const std::string reason = SystemReason(errno);
    ::close(dirFd);
    if (!synced) throw Error("Could not write " + shownPath + " to disk: " + reason);
}

// One new file written completely beside its target, with the permission
// bits and owner of the file it will replace, and flushed to disk. It is
// removed again unless it has been put in place.
class Temporary {
public:
    Temporary(fs::path target, std::span<const std::uint8_t> bytes, std::string shownPath)
        : target_(std::move(target)), shown_(std::move(shownPath)) {
        struct stat old {};
        const bool replacing = ::stat(target_.c_str(), &old) == 0 && S_ISREG(old.st_mode);
        int fd = CreateTemporary(target_, file_.name);
        if (fd < 0) throw Error("Could not create a file in " + FolderOf(target_).string() + ": " + SystemReason(errno));
        file_.exists = true;
        struct Closer {
            int& fd;
            ~Closer() {
                if (fd >= 0) ::close(fd);
            }
        } closer{fd};
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
    }
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;

    // Renames the new file over the target; false with errno set on failure.
    bool putInPlace() {
        if (::rename(file_.name.c_str(), target_.c_str()) != 0) return false;
        file_.exists = false;
        return true;
    }
    [[noreturn]] void fail(const std::string& what) const {
        throw Error("Could not " + what + " " + shown_ + ": " + SystemReason(errno));
    }

    const fs::path& target() const { return target_; }
    const std::string& shownPath() const { return shown_; }

private:
    fs::path target_;
    std::string shown_;
    // A member, so that it goes also when the constructor fails.
    struct File {
        std::string name;
        bool exists = false;
        ~File() {
            if (exists) ::unlink(name.c_str());
        }
    } file_;
};

fs::path CheckedTarget(const std::string& path) {
    if (path.empty()) throw Error("No file name given.");
    fs::path target = FollowLinks(path);
    std::error_code ec;
    if (!fs::is_directory(FolderOf(target), ec)) throw Error("The folder " + FolderOf(target).string() + " does not exist.");
    if (fs::is_directory(target, ec)) throw Error(path + " is a folder.");
    return target;
}

void Finish(const std::vector<std::unique_ptr<Temporary>>& files) {
    std::set<fs::path> folders;
    for (const auto& f : files)
        if (folders.insert(FolderOf(f->target())).second) SyncFolder(FolderOf(f->target()), f->shownPath());
    for (const auto& f : files) RemoveStaleTemporaries(f->target());
}

// An old file kept under a temporary name (a second link to it, or a copy
// where the file system has no links) while the new ones are put in place.
struct Kept {
    fs::path target;
    std::string shownPath;
    std::string keptAs;  // empty: there was no old file
};

std::string KeepOldFile(const fs::path& target) {
    std::error_code ec;
    if (!fs::is_regular_file(target, ec)) return {};
    std::string name;
    const int fd = CreateTemporary(target, name);
    if (fd < 0) throw Error("Could not create a file in " + FolderOf(target).string() + ": " + SystemReason(errno));
    ::close(fd);
    ::unlink(name.c_str());
    if (::link(target.c_str(), name.c_str()) == 0) return name;
    if (fs::copy_file(target, name, ec)) return name;
    ::unlink(name.c_str());
    throw Error("Could not keep a copy of " + target.string() + " while saving: " + ec.message());
}

// Puts the old files back after a failed replacement; the text tells what
// became of each.
std::string PutBack(const std::vector<Kept>& placed) {
    std::string report;
    for (auto it = placed.rbegin(); it != placed.rend(); ++it) {
        const bool back = it->keptAs.empty() ? ::unlink(it->target.c_str()) == 0
                                             : ::rename(it->keptAs.c_str(), it->target.c_str()) == 0;
        if (back)
            report += " " + it->shownPath + (it->keptAs.empty() ? " was removed again." : " was put back as it was.");
        else
            report += " " + it->shownPath + " has been replaced and could not be put back: " + SystemReason(errno) + ".";
    }
    return report;
}

}  // namespace

void SaveFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
    SaveFilesTogether(std::vector<FileToSave>{{path, bytes}});
}

void SaveFilesTogether(std::span<const FileToSave> files) {
    std::vector<std::unique_ptr<Temporary>> written;
    std::set<fs::path> targets;
    std::error_code ec;
    try {
        for (const FileToSave& f : files) {
            fs::path target = CheckedTarget(f.Path);
            if (!targets.insert(fs::weakly_canonical(target, ec)).second)
                throw Error("Could not save " + f.Path + ": the same file is to be written twice.");
            written.push_back(std::make_unique<Temporary>(std::move(target), f.Bytes, f.Path));
        }
    } catch (const Error& e) {
        if (files.size() == 1) throw;
        std::string names;
        for (const FileToSave& f : files) names += (names.empty() ? "" : ", ") + f.Path;
        throw Error(e.what() + std::string(" None of the files (") + names + ") was replaced.");
    }
    if (written.size() == 1) {
        if (!written[0]->putInPlace()) written[0]->fail("replace");
        Finish(written);
        return;
    }
    std::vector<Kept> placed;
    for (const auto& file : written) {
        std::string keptAs;
        try {
            keptAs = KeepOldFile(file->target());
        } catch (const Error& e) {
            throw Error(e.what() + std::string(placed.empty() ? "" : PutBack(placed)));
        }
        if (!file->putInPlace()) {
            const std::string reason = SystemReason(errno);
            if (!keptAs.empty()) ::unlink(keptAs.c_str());
            throw Error("Could not replace " + file->shownPath() + ": " + reason + "." + PutBack(placed));
        }
        placed.push_back({file->target(), file->shownPath(), std::move(keptAs)});
    }
    for (const Kept& k : placed)
        if (!k.keptAs.empty()) ::unlink(k.keptAs.c_str());
    Finish(written);
}

}  // namespace zorvane
