#include "platform/safe_save.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <vector>

#include "platform/error.h"
#include "platform/file_names.h"
#include "platform/process.h"
#include "platform/system_files.h"

namespace zorvane {

namespace fs = std::filesystem;

namespace {

std::string SystemReason(const std::error_code& error) { return error.message(); }

// As many links in a row as the system itself follows before giving up.
constexpr int kMaxLinkHops = 40;

constexpr std::string_view kTemporarySuffix = ".zorvane-tmp";

// The file that writing to `path` really changes: the end of its chain of
// symbolic links, each relative link read from the folder that holds it.
fs::path FollowLinks(const std::string& path) {
    fs::path at = PathFromUtf8(path);
    for (int hops = 0;; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(at, ec))) return at;
        if (hops == kMaxLinkHops) throw Error("Could not save " + path + ": too many levels of symbolic links.");
        fs::path to = fs::read_symlink(at, ec);
        if (ec) throw Error("Could not read the link " + Utf8FromPath(at) + ": " + ec.message());
        at = to.is_absolute() ? to : at.parent_path() / to;
    }
}

fs::path FolderOf(const fs::path& target) { return target.has_parent_path() ? target.parent_path() : fs::path("."); }

// A new, exclusive name for a temporary file of `target`, created empty and
// opened for writing as `file`; the system's reason when none could be made.
std::error_code CreateTemporary(const fs::path& target, NewFile& file, fs::path& name) {
    static thread_local std::mt19937 numbers{std::random_device{}()};
    std::error_code error;
    for (int attempt = 0; attempt < 16; ++attempt) {
        name = target;
        name += "." + std::to_string(CurrentProcessId()) + "-" + std::to_string(numbers() % 1000000) +
                std::string(kTemporarySuffix);
        error = file.Create(name);
        if (error != std::errc::file_exists) return error;
    }
    return error;
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

// Temporary files of `target` left by processes that no longer run (killed
// while saving) go once the target has been saved again.
void RemoveStaleTemporaries(const fs::path& target) {
    const std::string targetName = Utf8FromPath(target.filename());
    std::error_code ec;
    for (fs::directory_iterator it(FolderOf(target), ec), end; !ec && it != end; it.increment(ec)) {
        const long owner = TemporaryOwner(Utf8FromPath(it->path().filename()), targetName);
        if (owner <= 0 || owner == CurrentProcessId() || ProcessIsRunning(owner)) continue;
        std::error_code ignored;
        fs::remove(it->path(), ignored);
    }
}

// The new name is on disk only once the folder is.
void SyncFolderOf(const fs::path& folder, const std::string& shownPath) {
    if (const std::error_code error = SyncFolder(folder))
        throw Error("Could not write " + shownPath + " to disk: " + SystemReason(error));
}

// One new file written completely beside its target, with the permission
// bits and owner of the file it will replace, and flushed to disk. It is
// removed again unless it has been put in place.
class Temporary {
public:
    Temporary(fs::path target, const FileToSave& contents)
        : target_(std::move(target)), shown_(contents.Path) {
        const std::optional<KeptAttributes> old = RegularFileAttributes(target_);
        NewFile file;
        if (const std::error_code error = CreateTemporary(target_, file, file_.name))
            throw Error("Could not create a file in " + Utf8FromPath(FolderOf(target_)) + ": " + SystemReason(error));
        file_.exists = true;
        if (old)
            if (const std::error_code error = file.Keep(*old)) fail("keep the permissions of", error);
        Sink sink(*this, file);
        if (contents.Contents)
            contents.Contents(sink);
        else
            sink.write(contents.Bytes);
        if (const std::error_code error = file.FlushAndClose()) fail("write", error);
    }
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;

    // Renames the new file over the target; the system's reason on failure.
    std::error_code putInPlace() {
        if (const std::error_code error = ReplaceWith(file_.name, target_)) return error;
        file_.exists = false;
        return {};
    }
    [[noreturn]] void fail(const std::string& what, const std::error_code& error) const {
        throw Error("Could not " + what + " " + shown_ + ": " + SystemReason(error));
    }

    const fs::path& target() const { return target_; }
    const std::string& shownPath() const { return shown_; }

private:
    class Sink final : public SaveSink {
    public:
        Sink(const Temporary& owner, NewFile& file) : owner_(owner), file_(file) {}
        void write(std::span<const std::uint8_t> bytes) override {
            if (const std::error_code error = file_.Write(bytes)) owner_.fail("write", error);
        }

    private:
        const Temporary& owner_;
        NewFile& file_;
    };

    fs::path target_;
    std::string shown_;
    // A member, so that it goes also when the constructor fails.
    struct File {
        fs::path name;
        bool exists = false;
        ~File() {
            if (exists) (void)RemoveFile(name);
        }
    } file_;
};

fs::path CheckedTarget(const std::string& path) {
    if (path.empty()) throw Error("No file name given.");
    fs::path target = FollowLinks(path);
    std::error_code ec;
    if (!fs::is_directory(FolderOf(target), ec))
        throw Error("The folder " + Utf8FromPath(FolderOf(target)) + " does not exist.");
    if (fs::is_directory(target, ec)) throw Error(path + " is a folder.");
    return target;
}

void Finish(const std::vector<std::unique_ptr<Temporary>>& files) {
    std::set<fs::path> folders;
    for (const auto& f : files)
        if (folders.insert(FolderOf(f->target())).second) SyncFolderOf(FolderOf(f->target()), f->shownPath());
    for (const auto& f : files) RemoveStaleTemporaries(f->target());
}

// An old file kept under a temporary name (a second link to it, or a copy
// where the file system has no links) while the new ones are put in place.
struct Kept {
    fs::path target;
    std::string shownPath;
    fs::path keptAs;  // empty: there was no old file
};

fs::path KeepOldFile(const fs::path& target) {
    std::error_code ec;
    if (!fs::is_regular_file(target, ec)) return {};
    fs::path name;
    {
        NewFile reserved;
        if (const std::error_code error = CreateTemporary(target, reserved, name))
            throw Error("Could not create a file in " + Utf8FromPath(FolderOf(target)) + ": " + SystemReason(error));
    }
    (void)RemoveFile(name);
    fs::create_hard_link(target, name, ec);
    if (!ec) return name;
    if (fs::copy_file(target, name, ec)) return name;
    (void)RemoveFile(name);
    throw Error("Could not keep a copy of " + Utf8FromPath(target) + " while saving: " + ec.message());
}

// Puts the old files back after a failed replacement; the text tells what
// became of each.
std::string PutBack(const std::vector<Kept>& placed) {
    std::string report;
    for (auto it = placed.rbegin(); it != placed.rend(); ++it) {
        const std::error_code error =
            it->keptAs.empty() ? RemoveFile(it->target) : ReplaceWith(it->keptAs, it->target);
        if (!error)
            report += " " + it->shownPath + (it->keptAs.empty() ? " was removed again." : " was put back as it was.");
        else
            report += " " + it->shownPath + " has been replaced and could not be put back: " + SystemReason(error) +
                      ".";
    }
    return report;
}

}  // namespace

void SaveFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
    SaveFilesTogether(std::vector<FileToSave>{{path, bytes}});
}

void SaveFileAtomically(const std::string& path, const FileContents& contents) {
    SaveFilesTogether(std::vector<FileToSave>{{.Path = path, .Contents = contents}});
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
            written.push_back(std::make_unique<Temporary>(std::move(target), f));
        }
    } catch (const Error& e) {
        if (files.size() == 1) throw;
        std::string names;
        for (const FileToSave& f : files) names += (names.empty() ? "" : ", ") + f.Path;
        throw Error(e.what() + std::string(" None of the files (") + names + ") was replaced.");
    }
    if (written.size() == 1) {
        if (const std::error_code error = written[0]->putInPlace()) written[0]->fail("replace", error);
        Finish(written);
        return;
    }
    std::vector<Kept> placed;
    for (const auto& file : written) {
        fs::path keptAs;
        try {
            keptAs = KeepOldFile(file->target());
        } catch (const Error& e) {
            throw Error(e.what() + std::string(placed.empty() ? "" : PutBack(placed)));
        }
        if (const std::error_code error = file->putInPlace()) {
            const std::string reason = SystemReason(error);
            if (!keptAs.empty()) (void)RemoveFile(keptAs);
            throw Error("Could not replace " + file->shownPath() + ": " + reason + "." + PutBack(placed));
        }
        placed.push_back({file->target(), file->shownPath(), std::move(keptAs)});
    }
    for (const Kept& k : placed)
        if (!k.keptAs.empty()) (void)RemoveFile(k.keptAs);
    Finish(written);
}

}  // namespace zorvane
