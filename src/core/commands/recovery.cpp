#include "commands/recovery.h"

#include <xxhash.h>

#include <algorithm>
#include <charconv>
#include <exception>
#include <filesystem>
#include <optional>
#include <system_error>

#include "model/bytes.h"
#include "model/layered_file.h"
#include "platform/file_io.h"
#include "platform/file_names.h"
#include "platform/process.h"
#include "platform/safe_save.h"
#include "platform/system_files.h"

namespace zorvane {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view InfoMagic = "ZRC1";
constexpr std::string_view NamePrefix = "recovery-";
constexpr std::string_view ProjectExtension = ".zl";
constexpr std::string_view InfoExtension = ".zlr";
constexpr std::uint8_t ZpModifiedFlag = 1;
constexpr std::uint8_t BottomUpRowsFlag = 2;
// A side file holds a path and a few numbers: anything much larger is not one.
constexpr std::uint64_t MaxInfoBytes = 1 << 16;

std::uint64_t Hash(std::span<const std::uint8_t> bytes) { return XXH3_64bits(bytes.data(), bytes.size()); }

void WriteU64(ByteWriter& w, std::uint64_t v) {
    w.u32(static_cast<std::uint32_t>(v));
    w.u32(static_cast<std::uint32_t>(v >> 32));
}

std::uint64_t ReadU64(ByteReader& r, std::string_view what) {
    const std::uint64_t low = r.u32(what);
    return low | (static_cast<std::uint64_t>(r.u32(what)) << 32);
}

RecoveryCopy CopyNamed(const std::string& folder, long pid) {
    const fs::path base = PathFromUtf8(folder) / (std::string(NamePrefix) + std::to_string(pid));
    fs::path info = base, project = base;
    info += std::string(InfoExtension);
    project += std::string(ProjectExtension);
    return {Utf8FromPath(info), Utf8FromPath(project), pid};
}

// The process id in a side file's name "recovery-PID.zlr"; none for any
// other name.
std::optional<long> ProcessIdOf(const std::string& name) {
    if (name.size() <= NamePrefix.size() + InfoExtension.size() || !name.starts_with(NamePrefix) ||
        !name.ends_with(InfoExtension))
        return std::nullopt;
    const std::string_view digits(name.data() + NamePrefix.size(),
                                  name.size() - NamePrefix.size() - InfoExtension.size());
    long pid = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), pid);
    if (error != std::errc() || end != digits.data() + digits.size() || pid <= 0) return std::nullopt;
    return pid;
}

[[noreturn]] void Damaged(const RecoveryCopy& copy, const std::string& reason) {
    throw Error("The recovery copy " + copy.ProjectPath + " is damaged: " + reason);
}

constexpr const char* NotDescribed = "the project file is not the one its description names.";

RecoveryInfo ParseInfo(const std::string& path) {
    if (FileSize(path) > MaxInfoBytes) throw Error("its description is too large.");
    const std::vector<std::uint8_t> bytes = ReadWholeFile(path);
    ByteReader r(bytes);
    if (!r.peekTag(InfoMagic)) throw Error("its description is not one.");
    r.skip(InfoMagic.size(), "magic");
    const std::uint8_t flags = r.u8("flags");
    if ((flags & ~(ZpModifiedFlag | BottomUpRowsFlag)) != 0) throw Error("its description has unknown flags.");
    RecoveryInfo info;
    info.ZpModified = (flags & ZpModifiedFlag) != 0;
    info.BottomUpRows = (flags & BottomUpRowsFlag) != 0;
    info.ProjectSize = ReadU64(r, "project size");
    info.ProjectHash = ReadU64(r, "project hash");
    const std::uint32_t length = r.u32("file name length");
    info.OriginalFile = r.text(length, "file name");
    if (r.remaining() != 0) throw Error("its description goes on after its end.");
    return info;
}

}  // namespace

RecoveryCopy OwnRecoveryCopy(const std::string& folder) { return CopyNamed(folder, CurrentProcessId()); }

void WriteRecoveryCopy(const RecoveryCopy& copy, const Project& project, const std::string& originalFile) {
    const std::vector<std::uint8_t> layered = EncodeZL(project);
    ByteWriter info;
    info.text(InfoMagic);
    info.u8(static_cast<std::uint8_t>((project.ZpModified ? ZpModifiedFlag : 0) |
                                      (project.BottomUpRows ? BottomUpRowsFlag : 0)));
    WriteU64(info, layered.size());
    WriteU64(info, Hash(layered));
    info.u32(static_cast<std::uint32_t>(originalFile.size()));
    info.text(originalFile);
    const std::vector<std::uint8_t> infoBytes = info.take();
    SaveFilesTogether(std::vector<FileToSave>{{copy.ProjectPath, layered}, {copy.InfoPath, infoBytes}});
}

std::vector<RecoveryCopy> FindRecoveryCopies(const std::string& folder) {
    std::vector<RecoveryCopy> found;
    std::error_code ec;
    const fs::path dir = PathFromUtf8(folder);
    if (!fs::is_directory(dir, ec)) return found;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const auto pid = ProcessIdOf(Utf8FromPath(it->path().filename()));
        if (!pid) continue;
        if (*pid != CurrentProcessId() && ProcessIsRunning(*pid)) continue;  // its editor still runs
        found.push_back(CopyNamed(folder, *pid));
    }
    std::sort(found.begin(), found.end(),
              [](const RecoveryCopy& a, const RecoveryCopy& b) { return a.InfoPath < b.InfoPath; });
    return found;
}

RecoveryInfo ReadRecoveryInfo(const RecoveryCopy& copy) {
    try {
        return ParseInfo(copy.InfoPath);
    } catch (const Error& e) {
        Damaged(copy, e.what());
    }
}

RecoveredProject ReadRecoveryCopy(const RecoveryCopy& copy) {
    const RecoveryInfo info = ReadRecoveryInfo(copy);
    RecoveredProject recovered;
    try {
        if (FileSize(copy.ProjectPath) != info.ProjectSize) throw Error(NotDescribed);
        const std::vector<std::uint8_t> bytes = ReadWholeFile(copy.ProjectPath);
        if (bytes.size() != info.ProjectSize || Hash(bytes) != info.ProjectHash) throw Error(NotDescribed);
        recovered.Restored = ParseZL(bytes);
    } catch (const Error& e) {
        Damaged(copy, e.what());
    }
    // The pixels are stored as held in memory: their row order, and whether
    // they differ from the tile set file, as they were.
    recovered.Restored.BottomUpRows = info.BottomUpRows;
    recovered.Restored.ZpModified = info.ZpModified;
    recovered.OriginalFile = info.OriginalFile;
    return recovered;
}

void RemoveRecoveryCopy(const RecoveryCopy& copy) {
    // The side file last: a copy whose .zl could not go is still found.
    for (const std::string* path : {&copy.ProjectPath, &copy.InfoPath}) {
        if (!FileExists(*path)) continue;
        if (const std::error_code ec = RemoveFile(PathFromUtf8(*path)))
            throw Error("Could not remove the recovery copy " + *path + ": " + ec.message());
    }
}

}  // namespace zorvane
