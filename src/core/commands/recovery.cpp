#include "commands/recovery.h"

#include <xxhash.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <exception>
#include <filesystem>
#include <memory>
#include <system_error>

#include "commands/open_commands.h"
#include "model/bytes.h"
#include "model/layered_file.h"
#include "platform/file_io.h"
#include "platform/file_names.h"
#include "platform/instance_lock.h"
#include "platform/process.h"
#include "platform/safe_save.h"
#include "platform/system_files.h"

namespace zorvane {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view InfoMagic = "ZRC2";
constexpr std::string_view NamePrefix = "recovery-";
constexpr std::string_view InfoExtension = ".zlr";
constexpr std::string_view TileSetExtension = ".zlt";
constexpr std::string_view LockExtension = ".lock";
constexpr std::uint8_t ZpModifiedFlag = 1;
constexpr std::uint8_t BottomUpRowsFlag = 2;
constexpr std::size_t HashDigits = 16;
constexpr std::size_t HashBytes = 8;
// Where the tile set part sits in a layered project file: after the magic
// and the map's width and height, the palette, the bitmap count, the bitmaps.
constexpr std::size_t TileSetOffset = 6;
constexpr std::size_t PaletteAndCountBytes = 1024 + 4;

std::uint64_t Hash(std::span<const std::uint8_t> bytes) { return XXH3_64bits(bytes.data(), bytes.size()); }

void WriteU64(ByteWriter& w, std::uint64_t v) {
    w.u32(static_cast<std::uint32_t>(v));
    w.u32(static_cast<std::uint32_t>(v >> 32));
}

std::uint64_t ReadU64(ByteReader& r, std::string_view what) {
    const std::uint64_t low = r.u32(what);
    return low | (static_cast<std::uint64_t>(r.u32(what)) << 32);
}

std::string Hex(std::uint64_t v) {
    std::string text(HashDigits, '0');
    for (std::size_t i = HashDigits; i-- > 0; v >>= 4) text[i] = "0123456789abcdef"[v & 15];
    return text;
}

std::string InFolder(const std::string& folder, const std::string& name) {
    return Utf8FromPath(PathFromUtf8(folder) / PathFromUtf8(name));
}

// An id is digits with single dashes between them.
bool IsId(std::string_view id) {
    if (id.empty() || id.front() == '-' || id.back() == '-') return false;
    for (std::size_t i = 0; i < id.size(); ++i)
        if (!(id[i] >= '0' && id[i] <= '9') && !(id[i] == '-' && id[i - 1] != '-')) return false;
    return true;
}

// The id in a name "recovery-ID" + `extension`; empty for any other name.
std::string IdOf(std::string_view name, std::string_view extension) {
    if (!name.starts_with(NamePrefix) || !name.ends_with(extension)) return {};
    const std::string_view id = name.substr(NamePrefix.size(), name.size() - NamePrefix.size() - extension.size());
    return IsId(id) ? std::string(id) : std::string();
}

enum class CopyFiles {
    TileSetParts,
    // The tile set parts and the temporary files that writes of the copy
    // cut off by a kill left (the safe save's "<target>.<pid>-<n>.zorvane-tmp").
    Leftovers,
};

// Files of a copy in its folder (never its index or its lock).
std::vector<fs::path> FilesOf(const RecoveryCopy& copy, CopyFiles which) {
    const std::string base = std::string(NamePrefix) + copy.Id;
    const auto isHex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); };
    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::directory_iterator it(PathFromUtf8(copy.Folder), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = Utf8FromPath(it->path().filename());
        if (!name.starts_with(base)) continue;
        const std::string_view rest = std::string_view(name).substr(base.size());  // "-HASH.zlt..." or ".zlr..."
        const bool ofPart = rest.size() > HashDigits + 1 && rest[0] == '-' &&
                            std::all_of(rest.begin() + 1, rest.begin() + 1 + HashDigits, isHex) &&
                            rest.substr(HashDigits + 1).starts_with(TileSetExtension);
        const bool part = ofPart && rest.size() == 1 + HashDigits + TileSetExtension.size();
        const bool temporary = (ofPart || rest.starts_with('.')) && rest.ends_with(".zorvane-tmp");
        if (part || (which == CopyFiles::Leftovers && temporary)) files.push_back(it->path());
    }
    return files;
}

// Hands the layered file's bytes on to the map part, and those of the tile
// set part to it when it is wanted.
class PartsSink : public SaveSink {
public:
    PartsSink(RecoverySnapshot& snapshot, std::size_t tileSetSize, bool keepTileSet)
        : snapshot_(snapshot), tileSetEnd_(TileSetOffset + tileSetSize), keepTileSet_(keepTileSet) {
        if (keepTileSet_) snapshot_.TileSetPart.reserve(tileSetSize);
    }
    void write(std::span<const std::uint8_t> bytes) override {
        const std::size_t start = offset_, end = offset_ + bytes.size();
        offset_ = end;
        const auto piece = [&](std::size_t from, std::size_t to) {
            from = std::clamp(from, start, end), to = std::clamp(to, start, end);
            return bytes.subspan(from - start, to - from);
        };
        Append(snapshot_.MapPart, piece(0, TileSetOffset));
        if (keepTileSet_) Append(snapshot_.TileSetPart, piece(TileSetOffset, tileSetEnd_));
        Append(snapshot_.MapPart, piece(tileSetEnd_, end));
    }

private:
    static void Append(std::vector<std::uint8_t>& to, std::span<const std::uint8_t> bytes) {
        to.insert(to.end(), bytes.begin(), bytes.end());
    }
    RecoverySnapshot& snapshot_;
    std::size_t offset_ = 0;
    std::size_t tileSetEnd_;
    bool keepTileSet_;
};

// XXH3-64 of bytes given piece by piece.
class PieceHash {
public:
    PieceHash() : state_(XXH3_createState(), XXH3_freeState) {
        if (!state_) throw Error("Out of memory for a hash.");
        XXH3_64bits_reset(state_.get());
    }
    void add(std::span<const std::uint8_t> bytes) { XXH3_64bits_update(state_.get(), bytes.data(), bytes.size()); }
    std::uint64_t digest() const { return XXH3_64bits_digest(state_.get()); }

private:
    std::unique_ptr<XXH3_state_t, XXH_errorcode (*)(XXH3_state_t*)> state_;
};

std::uint64_t TileSetHash(const Project& project) {
    PieceHash hash;
    hash.add(project.Palette);
    const std::uint32_t count = static_cast<std::uint32_t>(project.BitmapCount);
    const std::uint8_t countBytes[4] = {std::uint8_t(count), std::uint8_t(count >> 8), std::uint8_t(count >> 16),
                                        std::uint8_t(count >> 24)};
    hash.add(countBytes);
    hash.add(project.AllBitmapBytes());
    return hash.digest();
}

[[noreturn]] void Damaged(const RecoveryCopy& copy, const std::string& reason) {
    throw Error("The recovery copy " + copy.InfoPath + " is damaged: " + reason);
}

struct ParsedInfo {
    RecoveryInfo Info;
    std::vector<std::uint8_t> Bytes;
    std::size_t MapOffset = 0;
};

ParsedInfo ParseInfo(const std::string& path) {
    ParsedInfo parsed;
    parsed.Bytes = ReadWholeFile(path);
    ByteReader r(parsed.Bytes);
    if (!r.peekTag(InfoMagic)) throw Error("its index is not one.");
    r.skip(InfoMagic.size(), "magic");
    const std::uint8_t flags = r.u8("flags");
    if ((flags & ~(ZpModifiedFlag | BottomUpRowsFlag)) != 0) throw Error("its index has unknown flags.");
    RecoveryInfo& info = parsed.Info;
    info.ZpModified = (flags & ZpModifiedFlag) != 0;
    info.BottomUpRows = (flags & BottomUpRowsFlag) != 0;
    info.TileSetSize = ReadU64(r, "tile set size");
    info.TileSetHash = ReadU64(r, "tile set hash");
    const std::uint32_t length = r.u32("file name length");
    info.OriginalFile = r.text(length, "file name");
    if (r.remaining() < HashBytes) throw Error("its index is cut short.");
    parsed.MapOffset = parsed.Bytes.size() - r.remaining();
    const std::size_t hashed = parsed.Bytes.size() - HashBytes;
    ByteReader end(std::span(parsed.Bytes).subspan(hashed));
    if (ReadU64(end, "hash") != Hash(std::span(parsed.Bytes).first(hashed)))
        throw Error("it is not the one its hash was taken of.");
    parsed.Bytes.resize(hashed);  // the map part to the end
    return parsed;
}

}  // namespace

RecoveryCopy RecoveryCopyNamed(const std::string& folder, const std::string& id) {
    const std::string base = std::string(NamePrefix) + id;
    return {folder, id, InFolder(folder, base + std::string(InfoExtension)),
            InFolder(folder, base + std::string(LockExtension))};
}

std::string NewRecoveryId() {
    const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    return std::to_string(CurrentProcessId()) + "-" + std::to_string(now.count());
}

std::string TileSetPartPath(const RecoveryCopy& copy, std::uint64_t hash) {
    return InFolder(copy.Folder, std::string(NamePrefix) + copy.Id + "-" + Hex(hash) + std::string(TileSetExtension));
}

bool RecoverySnapshot::SameAs(const RecoverySnapshot& other) const {
    return MapHash == other.MapHash && MapPart.size() == other.MapPart.size() && TileSetHash == other.TileSetHash &&
           TileSetSize == other.TileSetSize && Flags == other.Flags && OriginalFile == other.OriginalFile &&
           MapPart == other.MapPart;
}

RecoverySnapshot TakeRecoverySnapshot(const Project& project, const std::string& originalFile,
                                      std::optional<std::uint64_t> tileSetOnDisk) {
    RecoverySnapshot snapshot;
    snapshot.TileSetHash = TileSetHash(project);
    snapshot.TileSetSize = PaletteAndCountBytes + project.AllBitmapBytes().size();
    PartsSink sink(snapshot, snapshot.TileSetSize, tileSetOnDisk != snapshot.TileSetHash);
    WriteZL(project, sink);
    snapshot.MapHash = Hash(snapshot.MapPart);
    snapshot.Flags = static_cast<std::uint8_t>((project.ZpModified ? ZpModifiedFlag : 0) |
                                               (project.BottomUpRows ? BottomUpRowsFlag : 0));
    snapshot.OriginalFile = originalFile;
    return snapshot;
}

void WriteRecoverySnapshot(const RecoveryCopy& copy, const RecoverySnapshot& snapshot) {
    const std::string tileSetPath = TileSetPartPath(copy, snapshot.TileSetHash);
    if (!snapshot.TileSetPart.empty())
        SaveFileAtomically(tileSetPath, snapshot.TileSetPart);
    else if (!FileExists(tileSetPath))
        throw Error("The tile set part " + tileSetPath + " of the recovery copy is missing.");
    ByteWriter info;
    info.text(InfoMagic);
    info.u8(snapshot.Flags);
    WriteU64(info, snapshot.TileSetSize);
    WriteU64(info, snapshot.TileSetHash);
    info.u32(static_cast<std::uint32_t>(snapshot.OriginalFile.size()));
    info.text(snapshot.OriginalFile);
    const std::vector<std::uint8_t> head = info.take();
    PieceHash hash;
    hash.add(head);
    hash.add(snapshot.MapPart);
    ByteWriter end;
    WriteU64(end, hash.digest());
    const std::vector<std::uint8_t> tail = end.take();
    SaveFileAtomically(copy.InfoPath, [&](SaveSink& sink) {
        sink.write(head);
        sink.write(snapshot.MapPart);
        sink.write(tail);
    });
    // The index names the new part now: the others are of no copy.
    for (const fs::path& part : FilesOf(copy, CopyFiles::TileSetParts))
        if (Utf8FromPath(part) != tileSetPath) RemoveFile(part);
}

void WriteRecoveryCopy(const RecoveryCopy& copy, const Project& project, const std::string& originalFile) {
    WriteRecoverySnapshot(copy, TakeRecoverySnapshot(project, originalFile));
}

std::vector<RecoveryCopy> FindRecoveryCopies(const std::string& folder) {
    std::vector<RecoveryCopy> found;
    std::error_code ec;
    const fs::path dir = PathFromUtf8(folder);
    if (!fs::is_directory(dir, ec)) return found;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string id = IdOf(Utf8FromPath(it->path().filename()), InfoExtension);
        if (id.empty()) continue;
        RecoveryCopy copy = RecoveryCopyNamed(folder, id);
        if (!InstanceLockHeld(copy.LockPath)) found.push_back(std::move(copy));  // else its editor still runs
    }
    std::sort(found.begin(), found.end(),
              [](const RecoveryCopy& a, const RecoveryCopy& b) { return a.InfoPath < b.InfoPath; });
    return found;
}

RecoveryInfo ReadRecoveryInfo(const RecoveryCopy& copy) {
    try {
        return ParseInfo(copy.InfoPath).Info;
    } catch (const Error& e) {
        Damaged(copy, e.what());
    }
}

RecoveredProject ReadRecoveryCopy(const RecoveryCopy& copy) {
    RecoveredProject recovered;
    RecoveryInfo info;
    try {
        const ParsedInfo parsed = ParseInfo(copy.InfoPath);
        info = parsed.Info;
        const std::string tileSetPath = TileSetPartPath(copy, info.TileSetHash);
        constexpr const char* NotNamed = "its tile set part is not the one its index names.";
        if (!FileExists(tileSetPath) || FileSize(tileSetPath) != info.TileSetSize) throw Error(NotNamed);
        const std::vector<std::uint8_t> tileSet = ReadWholeFile(tileSetPath);
        if (tileSet.size() != info.TileSetSize || Hash(tileSet) != info.TileSetHash) throw Error(NotNamed);
        const std::span<const std::uint8_t> map = std::span(parsed.Bytes).subspan(parsed.MapOffset);
        if (map.size() < TileSetOffset) throw Error("its map part is too short.");
        std::vector<std::uint8_t> layered(map.begin(), map.begin() + TileSetOffset);
        layered.reserve(map.size() + tileSet.size());
        layered.insert(layered.end(), tileSet.begin(), tileSet.end());
        layered.insert(layered.end(), map.begin() + TileSetOffset, map.end());
        recovered.Restored = ParseZL(layered);
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
    // The index last but for the lock: a copy whose other files
    // could not go is still found.
    std::vector<fs::path> files = FilesOf(copy, CopyFiles::Leftovers);
    files.push_back(PathFromUtf8(copy.InfoPath));
    if (!InstanceLockHeld(copy.LockPath)) files.push_back(PathFromUtf8(copy.LockPath));
    for (const fs::path& path : files) {
        if (!FileExists(Utf8FromPath(path))) continue;
        if (const std::error_code ec = RemoveFile(path))
            throw Error("Could not remove the recovery copy " + Utf8FromPath(path) + ": " + ec.message());
    }
}

void TakeRecoveredProject(Document& document, UserInterface& ui, RecoveredProject&& recovered) {
    const std::string name = recovered.OriginalFile.empty() ? std::string("Untitled") : recovered.OriginalFile;
    const auto take = [&](Project& project, UserInterface& takeUi) {
        TakeReadProject(project, takeUi, std::move(recovered.Restored), "recovered " + name + ".");
        return true;
    };
    document.Open(ui, take, recovered.OriginalFile, SavedMark::Unsaved);
}

}  // namespace zorvane
