#include "model/file_kinds.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "builders.h"
#include "commands/file_dialogs.h"
#include "generator/zg_file.h"
#include "model/layered_file.h"
#include "model/map_file.h"
#include "model/tileset_file.h"

using namespace zorvane;
using namespace zorvane::testing;

namespace {

Project SmallKindsProject() {
    Project p;
    FillTestPalette(p);
    AddPatternBitmaps(p, 2);
    p.NewTiles.push_back(MakeTile(1, 1, 0, 0, 1));
    p.UsedTiles.push_back(MakeTile(2, 2, 3, 4, 0));
    p.ZpPath = "/some/where/set.zp";
    p.MapWidth = p.MapHeight = 14;
    p.FlatSquares.assign(14 * 14, MapSquare{0, NoBitmap, 0});
    return p;
}

}  // namespace

// Whatever a writer writes is recognised as its own kind, and nothing shorter
// than a whole magic or differing from it in any byte is.
TEST(FileKinds, EveryWrittenFileIsRecognisedAndNoDamagedMagicIs) {
    const Project p = SmallKindsProject();
    MapGenerator generator;
    std::vector<std::pair<ProjectFileKind, std::vector<std::uint8_t>>> written = {
        {ProjectFileKind::TileSet, EncodeZP(p, TileSetVariant::Zme)},
        {ProjectFileKind::TileSet, EncodeZP(p, TileSetVariant::Zmpe)},
        {ProjectFileKind::Map, EncodeZM(p, TileSetVariant::Zmpe)},
        {ProjectFileKind::Layered, EncodeZL(p)},
        {ProjectFileKind::GeneratorData, EncodeZG(p, generator, GeneratorSettings{})},
    };
    // The older layered projects differ only in their magic's last letter.
    auto older = EncodeZL(p);
    older[3] = '0';
    ASSERT_NO_THROW(ParseZL(older));
    written.push_back({ProjectFileKind::Layered, older});

    for (const auto& [kind, bytes] : written) {
        EXPECT_EQ(KindOfBytes(bytes), kind);
        for (std::size_t n = 0; n < 4; ++n)
            EXPECT_EQ(KindOfBytes(std::span(bytes).first(n)), ProjectFileKind::Unknown) << n;
        for (std::size_t at = 0; at < 4; ++at) {
            auto damaged = bytes;
            damaged[at] ^= 0x20;  // "ZTP0" -> "zTP0", "ZLF5" -> "ZLF\x15", ...
            EXPECT_EQ(KindOfBytes(damaged), ProjectFileKind::Unknown) << at;
        }
    }
    TempDir dir;
    WriteBytes(dir.file("map.zl"), written[2].second);  // a name says nothing about the contents
    EXPECT_EQ(KindOfFile(dir.file("map.zl")), ProjectFileKind::Map);
    EXPECT_THROW(KindOfFile(dir.file("nothing.zp")), Error);
}

// A kind is told by the first bytes, however large the file: a tile set of
// hundreds of megabytes is not read to tell it. Here the files are sparse,
// larger than any memory, and take no room on disk.
TEST(FileKinds, AFileIsToldByItsFirstBytesWhateverItsSize) {
    TempDir dir;
    for (const FileKindEntry& entry : FileKinds()) {
        const std::string path = dir.file("huge" + std::string(entry.extension));
        const std::string_view magic = entry.magics[0];
        WriteBytes(path, std::vector<std::uint8_t>(magic.begin(), magic.end()));
        std::error_code ec;
        std::filesystem::resize_file(path, std::uintmax_t{4} << 40, ec);
        if (ec) GTEST_SKIP() << "no sparse files of 4 TiB here: " << ec.message();
        EXPECT_EQ(KindOfFile(path), entry.kind) << entry.extension;
        std::filesystem::remove(path);
    }
}

// A name asks for the kind of its last extension in any letter case.
TEST(FileKinds, ANameAsksForTheKindOfItsExtensionInAnyCase) {
    std::mt19937 random(7);
    for (const FileKindEntry& entry : FileKinds()) {
        for (int i = 0; i < 8; ++i) {
            std::string ext(entry.extension);
            for (auto& c : ext)
                if (random() % 2) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            EXPECT_EQ(KindOfName("/a/b/map" + ext), entry.kind) << ext;
            EXPECT_EQ(KindOfName("map" + ext + ".bak"), ProjectFileKind::Unknown) << ext;
            EXPECT_EQ(KindOfName("dir" + ext + "/map"), ProjectFileKind::Unknown) << ext;
            EXPECT_EQ(KindOfName("map" + ext + "x"), ProjectFileKind::Unknown) << ext;
        }
        EXPECT_EQ(&KindEntry(entry.kind), &entry);
    }
    EXPECT_EQ(KindOfName("map"), ProjectFileKind::Unknown);
    EXPECT_EQ(KindOfName(""), ProjectFileKind::Unknown);
    EXPECT_THROW(KindEntry(ProjectFileKind::Unknown), std::out_of_range);
}

// The dialogs of a kind offer the files of its extension and are told apart
// by their names.
TEST(FileKinds, DialogsOfAKindShowItsFilesUnderNamesOfTheirOwn) {
    std::vector<std::string> names;
    for (const FileKindEntry& entry : FileKinds()) {
        for (const FileDialog& d : {OpenDialog(entry.kind), SaveDialog(entry.kind)}) {
            const auto bar = d.filter.find('|');
            ASSERT_NE(bar, std::string::npos) << d.filter;
            EXPECT_EQ(d.filter.substr(bar + 1), "*" + std::string(entry.extension));
            EXPECT_EQ(KindOfName("x" + d.filter.substr(bar + 2)), entry.kind);
            names.push_back(d.name);
        }
        EXPECT_FALSE(OpenDialog(entry.kind).save);
        EXPECT_TRUE(SaveDialog(entry.kind).save);
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end());
}
