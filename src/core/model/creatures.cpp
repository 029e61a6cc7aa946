#include "model/creatures.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "model/bytes.h"

namespace zorvane {

namespace {

// "CST0", the record count 1 and one level information record (type 4,
// multiplayer byte 1): the block of a new "zmpe" map.
constexpr std::array<std::uint8_t, 103> kDefaultZmpeBlock = {
    0x43, 0x53, 0x54, 0x30, 0x01, 0x00, 0x4d, 0x43, 0x52, 0x30, 0x04, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
    0x02, 0x00, 0x00, 0x00, 0x4c, 0x00, 0x00, 0x00, 0x0b, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x02, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x88, 0x13, 0x88, 0x13, 0x88, 0x13, 0x03, 0x00, 0x01, 0x00,
    0x08, 0x00, 0x01, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x5a, 0x00, 0x00};

constexpr std::size_t kTagSize = 4;
constexpr std::size_t kLeadSize = 4;             // bytes held in the place of "CST0"
constexpr std::size_t kMultiplayerOffset = 86;   // from the level record's tag
constexpr std::uint8_t kLevelInfoType = 4;
constexpr std::size_t kZmpeLevelEnd = 102;       // "zmpe": level record bytes 6..101 go before the count
constexpr std::size_t kNoSecondTag = 103;

using Bytes = std::vector<std::uint8_t>;

bool TagAt(const Bytes& b, std::size_t p) {
    return p + kTagSize <= b.size() && std::memcmp(b.data() + p, "MCR0", kTagSize) == 0;
}

// Positions of every "MCR0" tag, in order.
std::vector<std::size_t> TagPositions(const Bytes& b) {
    std::vector<std::size_t> tags;
    for (std::size_t p = 0; p + kTagSize <= b.size(); ++p)
        if (TagAt(b, p)) tags.push_back(p);
    return tags;
}

// Whether byte i is the type byte of a record (right after a tag), and
// whether it is the byte after a type byte.
bool IsTypeByte(const Bytes& b, std::size_t i) { return i >= kTagSize && TagAt(b, i - kTagSize); }
bool FollowsTypeByte(const Bytes& b, std::size_t i) { return i >= kTagSize + 1 && TagAt(b, i - kTagSize - 1); }

bool HoldsZmeLayout(const Bytes& b) { return b.size() > kLeadSize && b[kLeadSize] == 'M'; }

// A record count as the file stores it; more than 65535 records cannot be
// written in either layout.
std::uint16_t CountField(std::size_t n) {
    if (n > 65535)
        throw Error("The creature block holds " + std::to_string(n) + " records; a map project file can hold at most 65535.");
    return static_cast<std::uint16_t>(n);
}

// "zme" block to "zmpe": the record count goes in front, the "zme" creature
// count behind the level record is left out, and the creature types 9 and 3
// become 18 and 4 (a former type 9 also gets the byte after it set to 1).
Bytes ZmeToZmpe(const Bytes& b) {
    auto tags = TagPositions(b);
    std::size_t q = tags.size() >= 2 ? tags[1] : kNoSecondTag;
    ByteWriter w;
    w.u16(CountField(tags.size()));
    for (std::size_t i = kLeadSize; i < b.size(); ++i) {
        if (i + 2 == q || i + 1 == q) continue;
        std::uint8_t v = b[i];
        if (IsTypeByte(b, i)) {
            if (v == 9) v = 18;
            else if (v == 3) v = 4;
        } else if (FollowsTypeByte(b, i) && b[i - 1] == 9) {
            v = 1;
        }
        w.u8(v);
    }
    return w.take();
}

// "zmpe" block to "zme": the level record first, then the creature count,
// then the creatures with type 18 back to 9 (and the byte after it to 0).
Bytes ZmpeToZme(const Bytes& b) {
    std::size_t records = TagPositions(b).size();
    ByteWriter w;
    std::size_t levelEnd = std::min(b.size(), kZmpeLevelEnd);
    if (levelEnd > kLeadSize + 2) w.bytes(b.data() + kLeadSize + 2, levelEnd - kLeadSize - 2);
    w.u16(CountField(records > 0 ? records - 1 : 0));
    for (std::size_t i = kZmpeLevelEnd; i < b.size(); ++i) {
        std::uint8_t v = b[i];
        if (IsTypeByte(b, i)) {
            if (v == 18) v = 9;
        } else if (FollowsTypeByte(b, i) && b[i - 1] == 18) {
            v = 0;
        }
        w.u8(v);
    }
    return w.take();
}

std::uint8_t ClampPosition(int value, int mapSize) {
    int v = std::min(mapSize - 3, std::max(2, value));
    return static_cast<std::uint8_t>(std::clamp(v, 0, 255));
}

}  // namespace

void ResetCreatures(Project& project, UserInterface& ui) {
    if (project.ZmeVariant) {
        project.Creatures.assign(kDefaultZmpeBlock.begin() + 2, kDefaultZmpeBlock.end());
        project.Creatures.push_back(0);
        project.Creatures.push_back(0);
    } else {
        project.Creatures.assign(kDefaultZmpeBlock.begin(), kDefaultZmpeBlock.end());
    }
    ui.setStatus("Creatures ereased!");
}

void SetLvlInfo(Project& project, bool multiplayer) {
    Bytes& b = project.Creatures;
    if (b.size() <= kMultiplayerOffset) return;
    for (std::size_t p = 0; p + kMultiplayerOffset < b.size(); ++p)
        if (TagAt(b, p) && b[p + kTagSize] == kLevelInfoType) b[p + kMultiplayerOffset] = multiplayer ? 1 : 0;
}

int CreaturesCount(const Project& project) { return static_cast<int>(TagPositions(project.Creatures).size()); }

std::vector<std::uint8_t> CreatureBlockForFile(const std::vector<std::uint8_t>& creatures, TileSetVariant variant) {
    const bool zme = variant == TileSetVariant::Zme;
    bool heldZme = HoldsZmeLayout(creatures);
    if (heldZme == zme) {
        if (creatures.size() <= kLeadSize) return {};
        return Bytes(creatures.begin() + kLeadSize, creatures.end());
    }
    return zme ? ZmpeToZme(creatures) : ZmeToZmpe(creatures);
}

void MoveCreatures(Project& project, int dx, int dy) {
    Bytes& b = project.Creatures;
    for (std::size_t p = 0; p + 16 <= b.size(); ++p) {
        if (!TagAt(b, p)) continue;
        b[p + 8] = ClampPosition(b[p + 8] + dx, project.MapWidth);
        b[p + 12] = ClampPosition(b[p + 12] + dy, project.MapHeight);
    }
}

}  // namespace zorvane
