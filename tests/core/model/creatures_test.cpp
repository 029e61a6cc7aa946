#include "model/creatures.h"

#include <gtest/gtest.h>

#include <sstream>

#include "fake_ui.h"

using namespace zorvane;
using zorvane::testing::FakeUi;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes Hex(const std::string& text) {
    std::istringstream in(text);
    Bytes out;
    unsigned v;
    while (in >> std::hex >> v) out.push_back(static_cast<std::uint8_t>(v));
    return out;
}

// The default block of a new "zmpe" map, as the game's documentation of the
// format lists it.
const Bytes kDefaultZmpe = Hex(
    "43 53 54 30 01 00 4d 43 52 30 04 00 00 00 02 00 00 00 02 00 00 00 4c 00 00 00 0b 00 00 00 00 00 00 00 00 00 "
    "00 00 00 00 00 00 00 00 00 00 00 00 00 00 01 00 02 00 00 00 00 00 00 00 00 00 00 00 01 00 00 00 00 00 00 00 "
    "00 00 00 00 00 00 00 00 88 13 88 13 88 13 03 00 01 00 08 00 01 00 02 00 00 00 00 00 5a 00 00");

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// A record: "MCR0", the type byte, then `size - 5` filler bytes 0x20, 0x21, ...
Bytes Record(std::uint8_t type, std::size_t size, std::uint8_t afterType = 0x55) {
    Bytes r = {'M', 'C', 'R', '0', type, afterType};
    for (std::size_t i = r.size(); i < size; ++i) r.push_back(static_cast<std::uint8_t>(0x20 + i % 64));
    return r;
}

const Bytes kLead = {'C', 'S', 'T', '0'};
Bytes U16(std::uint16_t v) { return {static_cast<std::uint8_t>(v & 0xFF), static_cast<std::uint8_t>(v >> 8)}; }

Project WithCreatures(Bytes block, int w = 50, int h = 40) {
    Project p;
    p.Creatures = std::move(block);
    p.MapWidth = w;
    p.MapHeight = h;
    return p;
}

}  // namespace

TEST(ResetCreatures, ZmpeDefaultIsTheDocumentedBlock) {
    Project p;
    FakeUi ui;
    p.Creatures = {1, 2, 3};
    ResetCreatures(p, ui);
    EXPECT_EQ(p.Creatures, kDefaultZmpe);
    EXPECT_EQ(ui.status(), "Creatures ereased!");
    EXPECT_EQ(CreaturesCount(p), 1);
}

TEST(ResetCreatures, ZmeDefaultStartsTheLevelRecordAtByteFour) {
    Project p;
    FakeUi ui;
    p.ZmeVariant = true;
    ResetCreatures(p, ui);
    Bytes expected(kDefaultZmpe.begin() + 2, kDefaultZmpe.end());
    expected.push_back(0);
    expected.push_back(0);
    EXPECT_EQ(p.Creatures, expected);
    ASSERT_EQ(p.Creatures.size(), 103u);
    EXPECT_EQ(p.Creatures[4], 'M');
    EXPECT_EQ(CreaturesCount(p), 1);
}

TEST(SetLvlInfo, SetsTheMultiplayerByteOfEveryLevelRecord) {
    // Level record, a creature of type 4 (treated as level information too),
    // and a creature of type 9 whose byte 86 must stay.
    Bytes block = Concat({kLead, Record(4, 97), U16(2), Record(4, 90), Record(9, 90)});
    Project p = WithCreatures(block);
    SetLvlInfo(p, true);
    EXPECT_EQ(p.Creatures[4 + 86], 1);
    EXPECT_EQ(p.Creatures[103 + 86], 1);
    EXPECT_EQ(p.Creatures[193 + 86], block[193 + 86]);
    SetLvlInfo(p, false);
    EXPECT_EQ(p.Creatures[4 + 86], 0);
    EXPECT_EQ(p.Creatures[103 + 86], 0);
}

TEST(SetLvlInfo, RecordsTooCloseToTheEndAndShortBlocksAreLeftAlone) {
    // A tag exactly 87 bytes before the end is the last one changed.
    Bytes block = Concat({kLead, Record(4, 87)});
    Project p = WithCreatures(block);
    SetLvlInfo(p, true);
    EXPECT_EQ(p.Creatures.back(), 1);

    Bytes shortTail = Concat({kLead, Record(4, 97), Record(4, 86)});
    p = WithCreatures(shortTail);
    SetLvlInfo(p, false);
    EXPECT_EQ(p.Creatures[4 + 86], 0);
    EXPECT_EQ(Bytes(p.Creatures.begin() + 101, p.Creatures.end()), Bytes(shortTail.begin() + 101, shortTail.end()));

    Bytes tiny = Record(4, 86);
    p = WithCreatures(tiny);
    SetLvlInfo(p, false);
    EXPECT_EQ(p.Creatures, tiny);
}

TEST(CreaturesCount, CountsEveryTagIncludingOneEndingTheBlock) {
    EXPECT_EQ(CreaturesCount(WithCreatures({})), 0);
    EXPECT_EQ(CreaturesCount(WithCreatures({'M', 'C', 'R'})), 0);
    EXPECT_EQ(CreaturesCount(WithCreatures({'M', 'C', 'R', '0'})), 1);
    EXPECT_EQ(CreaturesCount(WithCreatures(Concat({kLead, Record(4, 97), U16(2), Record(9, 30), Record(3, 30)}))), 3);
}

TEST(CreatureBlockForFile, SameLayoutWritesEverythingAfterTheLeadingBytes) {
    Bytes zme = Concat({kLead, Record(4, 97), U16(1), Record(3, 30)});
    EXPECT_EQ(CreatureBlockForFile(zme, TileSetVariant::Zme), Bytes(zme.begin() + 4, zme.end()));
    EXPECT_EQ(CreatureBlockForFile(kDefaultZmpe, TileSetVariant::Zmpe), Bytes(kDefaultZmpe.begin() + 4, kDefaultZmpe.end()));
}

TEST(CreatureBlockForFile, ZmeToZmpeMovesTheCountAndConvertsTypes) {
    Bytes zme = Concat({kLead, Record(4, 97), U16(2), Record(9, 30, 0x77), Record(3, 30, 0x77)});
    Bytes expected = Concat({U16(3), Record(4, 97), Record(18, 30, 1), Record(4, 30, 0x77)});
    EXPECT_EQ(CreatureBlockForFile(zme, TileSetVariant::Zmpe), expected);
}

TEST(CreatureBlockForFile, ZmpeToZmePutsTheCountAfterTheLevelRecord) {
    Bytes level = Record(4, 97);
    Bytes zmpe = Concat({kLead, U16(3), level, Record(18, 30, 1), Record(4, 30, 0x77)});
    // The level record's first 96 bytes, the count, then its 97th byte.
    Bytes expected = Concat({Bytes(level.begin(), level.end() - 1), U16(2), Bytes{level.back()},
                             Record(9, 30, 0), Record(4, 30, 0x77)});
    EXPECT_EQ(CreatureBlockForFile(zmpe, TileSetVariant::Zme), expected);
}

TEST(CreatureBlockForFile, DefaultZmpeSurvivesTheTripThroughZme) {
    Bytes asZme = CreatureBlockForFile(kDefaultZmpe, TileSetVariant::Zme);
    EXPECT_EQ(asZme.size(), 99u);
    Bytes readBack = Concat({kLead, asZme});  // what a reader holds after "CST0"
    EXPECT_EQ(readBack[4], 'M');
    EXPECT_EQ(CreatureBlockForFile(readBack, TileSetVariant::Zmpe), Bytes(kDefaultZmpe.begin() + 4, kDefaultZmpe.end()));
}

TEST(CreatureBlockForFile, ShortAndOddBlocksNeverReadOutOfBounds) {
    Bytes zme = Concat({kLead, Record(4, 97), U16(2), Record(9, 30), Record(18, 6)});
    Bytes zmpe = Concat({kLead, U16(3), Record(4, 97), Record(18, 30), Record(9, 6)});
    for (const Bytes* full : std::initializer_list<const Bytes*>{&zme, &zmpe, &kDefaultZmpe}) {
        for (std::size_t n = 0; n <= full->size(); ++n) {
            Bytes cut(full->begin(), full->begin() + n);
            for (bool asZme : {true, false}) {
                Bytes out = CreatureBlockForFile(cut, VariantOf(asZme));
                EXPECT_LE(out.size(), n + 2);
            }
        }
    }
    // A tag as the very last bytes, with no type byte after it.
    Bytes tagOnly = Concat({kLead, Record(4, 97), U16(0), Bytes{'M', 'C', 'R', '0'}});
    EXPECT_NO_THROW(CreatureBlockForFile(tagOnly, TileSetVariant::Zmpe));
}

TEST(MoveCreatures, ClampsEveryRecordInsideTheBorder) {
    Bytes block = Concat({kLead, Record(4, 97), U16(1), Record(9, 30)});
    block[4 + 8] = 10;
    block[4 + 12] = 10;
    block[103 + 8] = 40;
    block[103 + 12] = 30;
    Project p = WithCreatures(block, 50, 40);
    MoveCreatures(p, 3, -4);
    EXPECT_EQ(p.Creatures[4 + 8], 13);
    EXPECT_EQ(p.Creatures[4 + 12], 6);
    EXPECT_EQ(p.Creatures[103 + 8], 43);
    EXPECT_EQ(p.Creatures[103 + 12], 26);
    MoveCreatures(p, -202, -202);
    EXPECT_EQ(p.Creatures[4 + 8], 2);
    EXPECT_EQ(p.Creatures[4 + 12], 2);
    EXPECT_EQ(p.Creatures[103 + 8], 2);
    MoveCreatures(p, 202, 202);
    EXPECT_EQ(p.Creatures[4 + 8], 47);
    EXPECT_EQ(p.Creatures[4 + 12], 37);
    EXPECT_EQ(p.Creatures[103 + 12], 37);
}

TEST(MoveCreatures, LeavesATagWithoutSixteenBytesAlone) {
    Bytes block = Concat({kLead, Record(4, 97), Record(9, 15)});
    Project p = WithCreatures(block, 50, 40);
    MoveCreatures(p, -202, -202);
    EXPECT_EQ(p.Creatures[4 + 8], 2);
    EXPECT_EQ(Bytes(p.Creatures.begin() + 101, p.Creatures.end()), Bytes(block.begin() + 101, block.end()));
}
