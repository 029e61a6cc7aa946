#include "platform/file_names.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "builders.h"
#include "model/file_kinds.h"
#include "model/stored_text.h"
#include "model/tileset_file.h"
#include "platform/code_page.h"
#include "platform/error.h"
#include "platform/file_io.h"
#include "platform/safe_save.h"

using namespace zorvane;
using namespace zorvane::testing;
namespace fs = std::filesystem;

namespace {

constexpr unsigned char kUndefined1252[] = {0x81, 0x8D, 0x8F, 0x90, 0x9D};

bool Undefined1252(unsigned b) {
    for (unsigned char u : kUndefined1252)
        if (u == b) return true;
    return false;
}

}  // namespace

// Every byte of the code page reads as the character Western Windows shows
// (the display decoding, checked against its glyph table), the five it
// leaves undefined as the control character of the same number; and every
// character read writes back as its byte, alone and inside a path.
TEST(StoredPaths, EachCodePageByteReadsAndWritesBack) {
    for (unsigned b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        const std::string utf8 = Utf8FromStoredPath(one);
        EXPECT_TRUE(IsValidUtf8(utf8)) << b;
        if (b >= 0x80 && Undefined1252(b)) {
            std::string control;
            AppendUtf8(control, static_cast<char32_t>(b));
            EXPECT_EQ(utf8, control) << b;
        } else if (b >= 0x80) {
            EXPECT_EQ(utf8, StoredTextAsUtf8(one)) << b;
        } else {
            EXPECT_EQ(utf8, one);
        }
        EXPECT_EQ(StoredPathFromUtf8(utf8), one) << b;
        const std::string path = "C:\\Karten " + one + "x\\a.zp";
        EXPECT_EQ(StoredPathFromUtf8(Utf8FromStoredPath(path)), path) << b;
    }
    EXPECT_EQ(Utf8FromStoredPath("C:\\Karten f\xFCr \xDC" "bungen \x80\\a.zp"), "C:\\Karten für Übungen €\\a.zp");
    EXPECT_EQ(StoredPathFromUtf8("C:\\Karten für Übungen €\\a.zp"), "C:\\Karten f\xFCr \xDC" "bungen \x80\\a.zp");
}

// Any stored bytes come back unchanged through UTF-8 when they are not
// valid UTF-8 already; plain ASCII is the same on both sides; valid UTF-8
// (written on this system) is kept as it reads.
TEST(StoredPaths, RandomStoredBytesRoundTrip) {
    std::mt19937 random(19);
    for (int round = 0; round < 2000; ++round) {
        std::string stored(random() % 40, '\0');
        const bool ascii = round % 4 == 0;
        for (char& c : stored) c = static_cast<char>(ascii ? 0x20 + random() % 0x5F : 1 + random() % 255);
        const std::string utf8 = Utf8FromStoredPath(stored);
        ASSERT_TRUE(IsValidUtf8(utf8));
        if (ascii || IsValidUtf8(stored)) {
            EXPECT_EQ(utf8, stored);
        } else {
            EXPECT_EQ(StoredPathFromUtf8(utf8), stored);
        }
    }
    EXPECT_EQ(Utf8FromStoredPath("/home/ä/€.zp"), "/home/ä/€.zp");
    EXPECT_EQ(StoredPathFromUtf8("/home/a/b.zp"), "/home/a/b.zp");
    // Bytes that are no UTF-8 (a Latin-1 name on this system) are stored as they are.
    EXPECT_EQ(StoredPathFromUtf8("/home/m\xE9/a.zp"), "/home/m\xE9/a.zp");
}

// A character the code page lacks is refused by name, never dropped or cut.
TEST(StoredPaths, ACharacterTheCodePageLacksIsRefused) {
    for (const std::string& path : {std::string("C:\\Mapy_ŻÓŁW\\a.zp"), std::string("/tmp/地図/a.zp"),
                                    std::string("/tmp/😀.zp"), std::string("/tmp/\u0100")}) {
        try {
            (void)StoredPathFromUtf8(path);
            ADD_FAILURE() << path << " was stored";
        } catch (const Error& e) {
            const std::string text = e.what();
            EXPECT_NE(text.find(path), std::string::npos) << text;
            EXPECT_NE(text.find("U+"), std::string::npos) << text;
            EXPECT_NE(text.find("Windows-1252"), std::string::npos) << text;
        }
    }
}

// Files in a folder whose name is beyond ASCII and beyond the code page are
// written and read through the seams, whole, in parts and streamed, on
// Linux and under Wine.
TEST(FileNames, AFolderNamedBeyondAsciiIsWrittenAndRead) {
    TempDir dir;
    const std::string folder = Utf8FromPath(dir.path()) + "/Mapy_ŻÓŁW";
    ASSERT_TRUE(fs::create_directory(PathFromUtf8(folder)));
    const std::string file = folder + "/żółw ünd €.zp";

    Project p;
    FillTestPalette(p);
    AddPatternBitmaps(p, 3);
    p.NewTiles.push_back(MakeTile(2, 1, 0, 0, 1, 2, 3));
    const std::vector<std::uint8_t> encoded = EncodeZP(p, TileSetVariant::Zmpe);
    SaveFileAtomically(file, [&](SaveSink& sink) { WriteZP(p, TileSetVariant::Zmpe, sink); });

    EXPECT_TRUE(FileExists(file));
    EXPECT_EQ(FileSize(file), encoded.size());
    EXPECT_EQ(ReadWholeFile(file), encoded);
    EXPECT_EQ(ReadFilePart(file, 4, 8), std::vector<std::uint8_t>(encoded.begin() + 4, encoded.begin() + 12));
    EXPECT_EQ(KindOfFile(file), ProjectFileKind::TileSet);
    EXPECT_EQ(ReadZP(file).Pixels, ParseZP(encoded).Pixels);
    EXPECT_EQ(ReadZPSummary(file).BitmapCount, 3);
    EXPECT_EQ(AbsolutePath(file), Utf8FromPath(PathFromUtf8(file).lexically_normal()));

    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(PathFromUtf8(folder)))
        names.push_back(Utf8FromPath(entry.path().filename()));
    EXPECT_EQ(names, std::vector<std::string>{"żółw ünd €.zp"});
    EXPECT_FALSE(FileExists(folder + "/zolw und €.zp"));
}
