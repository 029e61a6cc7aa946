#include "generator/zg_file.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <type_traits>

#include "generator/settings_table.h"
#include "model/bytes.h"
#include "model/tile_records.h"

namespace zorvane {

namespace {

constexpr char kMagic[] = "ZGD1";
constexpr char kCountsMagic[] = "ZGOC";
constexpr std::size_t kJoinCountBytes = 16;  // square, neighbour, count
constexpr std::size_t kLearnedSquareMin = 13;  // bitmaps, attribute, two list counts
constexpr std::size_t kChartPointBytes = 8;

[[noreturn]] void Damaged(const std::string& reason) { throw Error("The generator data file is damaged: " + reason); }

// ---- Reading ---------------------------------------------------------------

bool Flag(ByteReader& r, std::string_view what) { return r.u8(what) == 1; }

std::string ShortText(ByteReader& r, std::string_view what) { return r.text(r.u8(what), what); }

// A signed 32-bit count that must be 0 or more and whose items (of at least
// `itemSize` bytes each) must fit the bytes that remain.
std::int32_t Count(ByteReader& r, std::size_t itemSize, const std::string& what) {
    const std::int32_t n = r.i32(what);
    if (n < 0) Damaged("it declares " + std::to_string(n) + " " + what + ".");
    r.needItems(static_cast<std::uint64_t>(n), itemSize, what);
    return n;
}

void ReadLearnList(ByteReader& r, GeneratorSettings& s) {
    const int entries = r.u8("learning list entries");
    r.needItems(static_cast<std::uint64_t>(entries), 3, "learning list entries");
    for (int i = 0; i < entries; ++i) {
        LearnEntry e;
        e.Path = ShortText(r, "learning list path");
        e.Multiplier = r.u8("multiplier");
        e.Connector = Flag(r, "connector flag");
        s.LearnList.push_back(std::move(e));
    }
}

// The settings of one part of the file, in the table's order.
void ReadSettings(ByteReader& r, GeneratorSettings& s, ZgPart part) {
    for (const SettingRow& row : GeneratorSettingRows()) {
        if (row.Part != part) continue;
        const std::string_view what = row.Control;
        VisitSetting(row, s, [&](auto& field) {
            using Field = std::remove_cvref_t<decltype(field)>;
            if constexpr (std::is_same_v<Field, bool>) {
                field = Flag(r, what);
            } else if constexpr (std::is_same_v<Field, int>) {
                field = row.Encoding == ZgEncoding::U8 ? r.u8(what) : r.i32(what);
            } else if (row.Encoding == ZgEncoding::ShortText) {
                field = TextFromShown(row, ShortText(r, what));
            } else {
                const std::string words(row.Words);
                field = TextFromShown(row, r.text(static_cast<std::size_t>(Count(r, 1, "bytes of the " + words)), words));
            }
        });
    }
}

double ReadDouble(ByteReader& r, std::string_view what) {
    const std::uint64_t low = r.u32(what);
    const std::uint64_t high = r.u32(what);
    return std::bit_cast<double>(low | (high << 32));
}

void ReadChart(ByteReader& r, ObjectSizeChart& chart) {
    const double scale = ReadDouble(r, "chart scale");
    const std::int32_t n = r.i32("chart size range");
    // The range is the largest object, which the learned squares that
    // follow bound; resampling the chart takes time and memory in N.
    if (n > 200 && static_cast<std::uint64_t>(n) > r.remaining() / kLearnedSquareMin)
        Damaged("the object size chart's range 0.." + std::to_string(n) + " is beyond its learned squares.");
    const std::int32_t count = Count(r, kChartPointBytes, "chart points");
    if (count < 1) Damaged("the object size chart has no points.");
    // No chart the settings window makes holds more; generation reads the
    // points for every object size.
    if (count > ObjectSizeChart::MaxPoints(n))
        Damaged("the object size chart has " + std::to_string(count) + " points; over sizes 0.." + std::to_string(n) +
                " it holds at most " + std::to_string(ObjectSizeChart::MaxPoints(n)) + ".");
    std::vector<std::pair<int, int>> points(static_cast<std::size_t>(count));
    for (auto& [x, y] : points) {
        x = r.i32("chart point x");
        y = r.i32("chart point y");
    }
    chart.SetScale(scale);
    chart.SetMaxSize(n);
    chart.ResetPoints(n, 2);
    chart.SetStoredPoints(points);
}

void ReadTileSet(ByteReader& r, GeneratorPreset& p) {
    r.read(p.Palette, "palette");
    p.BitmapCount = Count(r, BitmapBytes, "bitmaps");
    if (p.BitmapCount > MaxBitmaps)
        Damaged("it declares " + std::to_string(p.BitmapCount) + " bitmaps, more than " + std::to_string(MaxBitmaps) + ".");
    auto pixels = r.bytes(static_cast<std::size_t>(p.BitmapCount) * BitmapBytes, "bitmap pixels");
    p.Pixels.assign(pixels.begin(), pixels.end());
    ReadTileRecords(r, p.Tiles, "tile count");
    r.read(p.InfoHeader, "InfoHeader");
    r.read(p.FileHeader, "FileHeader");
    p.ZmeVariant = Flag(r, "variant flag");
}

std::vector<std::int32_t> ReadIndices(ByteReader& r, std::int32_t squares, std::int32_t limit, const std::string& what) {
    const std::int32_t n = Count(r, 4, what);
    if (n > limit) Damaged(what + " hold " + std::to_string(n) + " entries, more than " + std::to_string(limit) + ".");
    std::vector<std::int32_t> out(static_cast<std::size_t>(n));
    for (auto& v : out) {
        v = r.i32(what);
        if (v < 0 || v >= squares)
            Damaged(what + " name square " + std::to_string(v) + " of " + std::to_string(squares) + ".");
    }
    return out;
}

void ReadLearned(ByteReader& r, GeneratorPreset& p) {
    const std::int32_t squares = Count(r, kLearnedSquareMin, "learned squares");
    p.Squares.resize(static_cast<std::size_t>(squares));
    for (std::int32_t i = 0; i < squares; ++i) {
        LearnedSquare& s = p.Squares[static_cast<std::size_t>(i)];
        s.Gnd = r.u16("learned ground id");
        s.Top = r.u16("learned top id");
        s.Atr = r.u8("learned attribute");
        s.Down = ReadIndices(r, squares, MaxListEntries, "the Down list of square " + std::to_string(i));
        s.Right = ReadIndices(r, squares, MaxListEntries, "the Right list of square " + std::to_string(i));
    }
    const std::int32_t sizes = Count(r, 4, "object sizes");
    if (sizes < squares)
        Damaged("the object size table has " + std::to_string(sizes) + " entries for " + std::to_string(squares) +
                " learned squares.");
    p.ObjSize.resize(static_cast<std::size_t>(sizes));
    // An object has at most as many squares as were learned; generation
    // sizes its tables by the largest object.
    for (auto& v : p.ObjSize) {
        v = r.i32("object size");
        if (v < 0 || v > squares)
            Damaged("an object size of " + std::to_string(v) + " for " + std::to_string(squares) + " learned squares.");
    }
    p.ObjStarts = ReadIndices(r, squares, squares, "object starts");
    p.TallestObject = r.i32("tallest object");
    if (p.TallestObject < 0 || p.TallestObject > squares)
        Damaged("a tallest object of " + std::to_string(p.TallestObject) + " rows for " + std::to_string(squares) +
                " learned squares.");
}

std::int64_t ReadI64(ByteReader& r, std::string_view what) {
    const std::uint64_t low = r.u32(what);
    const std::uint64_t high = r.u32(what);
    return static_cast<std::int64_t>(low | (high << 32));
}

// The joins of one direction: (square, neighbour) in ascending order, each
// once, with a count above 0.
void ReadJoinCounts(ByteReader& r, std::int32_t squares, OccurrenceCounts& counts, JoinDir dir) {
    const std::string what = dir == JoinDir::Down ? "counted joins down" : "counted joins right";
    const std::int32_t n = Count(r, kJoinCountBytes, what);
    auto& joins = counts.Joins(dir);
    joins.reserve(static_cast<std::size_t>(n));
    std::uint64_t previous = 0;
    for (std::int32_t i = 0; i < n; ++i) {
        const std::int32_t a = r.i32(what);
        const std::int32_t b = r.i32(what);
        const std::int64_t count = ReadI64(r, what);
        if (a < 0 || a >= squares || b < 0 || b >= squares)
            Damaged("the " + what + " name squares " + std::to_string(a) + " and " + std::to_string(b) + " of " +
                    std::to_string(squares) + ".");
        const std::uint64_t key = OccurrenceCounts::JoinKey(a, b);
        if (i > 0 && key <= previous) Damaged("the " + what + " are not in ascending order.");
        if (count <= 0) Damaged("the " + what + " hold a count of " + std::to_string(count) + ".");
        previous = key;
        joins.emplace(key, count);
    }
}

// The optional block after the learned data: the occurrence options and
// the occurrence counts. Files without it end after the tallest object.
void ReadCountsBlock(ByteReader& r, GeneratorPreset& p) {
    if (r.remaining() == 0) return;
    if (!r.peekTag(kCountsMagic)) Damaged("unknown bytes follow the learned data.");
    r.skip(4, "occurrence counts magic");
    const std::uint32_t length = r.u32("occurrence counts length");
    if (length != r.remaining())
        Damaged("the block of occurrence counts declares " + std::to_string(length) + " bytes, but " +
                std::to_string(r.remaining()) + " follow.");
    ReadSettings(r, p.Settings, ZgPart::CountsBlock);
    const auto squares = static_cast<std::int32_t>(p.Squares.size());
    const std::int32_t counted = Count(r, 8, "counted squares");
    if (counted != 0 && counted != squares)
        Damaged("the block of occurrence counts counts " + std::to_string(counted) + " squares of " +
                std::to_string(squares) + " learned squares.");
    p.Counts.Squares.resize(static_cast<std::size_t>(counted));
    for (auto& c : p.Counts.Squares) {
        c = ReadI64(r, "square count");
        if (c < 0) Damaged("a square occurs " + std::to_string(c) + " times.");
    }
    ReadJoinCounts(r, squares, p.Counts, JoinDir::Down);
    ReadJoinCounts(r, squares, p.Counts, JoinDir::Right);
    if (counted == 0 && !(p.Counts.Down.empty() && p.Counts.Right.empty()))
        Damaged("the block of occurrence counts counts joins but no squares.");
    if (r.remaining() != 0) Damaged("the block of occurrence counts ends before its declared length.");
}

// ---- Writing ---------------------------------------------------------------

std::uint8_t Byte(int value, const std::string& what) {
    if (value < 0 || value > 255)
        throw Error("The " + what + " " + std::to_string(value) + " does not fit the generator data file (0 to 255).");
    return static_cast<std::uint8_t>(value);
}

std::int32_t Int32(std::size_t value, const std::string& what) {
    if (value > static_cast<std::size_t>(MaxInt32))
        throw Error("The " + what + " (" + std::to_string(value) + ") does not fit the generator data file.");
    return static_cast<std::int32_t>(value);
}

void Flag(ByteWriter& w, bool value) { w.u8(value ? 1 : 0); }

// The settings of one part of the file, in the table's order.
void WriteSettings(ByteWriter& w, const GeneratorSettings& s, ZgPart part) {
    for (const SettingRow& row : GeneratorSettingRows()) {
        if (row.Part != part) continue;
        const std::string words(row.Words);
        VisitSetting(row, s, [&](const auto& field) {
            using Field = std::remove_cvref_t<decltype(field)>;
            if constexpr (std::is_same_v<Field, bool>) {
                Flag(w, field);
            } else if constexpr (std::is_same_v<Field, int>) {
                if (row.Encoding == ZgEncoding::U8) w.u8(Byte(field, words));
                else w.i32(field);
            } else if (row.Encoding == ZgEncoding::ShortText) {
                WriteShortString(w, TextAsShown(row, field), words);
            } else {
                const std::string stored = TextAsShown(row, field);
                w.i32(Int32(stored.size(), words + " length"));
                w.text(stored);
            }
        });
    }
}

void WriteChart(ByteWriter& w, const ObjectSizeChart& chart) {
    const auto bits = std::bit_cast<std::uint64_t>(chart.Scale());
    w.u32(static_cast<std::uint32_t>(bits));
    w.u32(static_cast<std::uint32_t>(bits >> 32));
    w.i32(chart.Largest());
    w.i32(chart.GetPointsCount());
    for (int i = 0; i < chart.GetPointsCount(); ++i) {
        auto [x, y] = chart.GetPointData(i);
        w.i32(x);
        w.i32(y);
    }
}

void WriteLearnList(ByteWriter& w, const GeneratorSettings& s) {
    if (s.LearnList.size() > 255)
        throw Error("The learning list has " + std::to_string(s.LearnList.size()) +
                    " entries; the generator data file holds at most 255.");
    w.u8(static_cast<std::uint8_t>(s.LearnList.size()));
    for (const auto& e : s.LearnList) {
        WriteShortString(w, e.Path, "learning list path");
        w.u8(Byte(e.Multiplier, "multiplier"));
        Flag(w, e.Connector);
    }
}

void WriteTileSet(ByteWriter& w, const Project& p) {
    w.bytes(p.Palette.data(), p.Palette.size());
    w.i32(p.BitmapCount);
    w.bytes(p.AllBitmapBytes().data(), static_cast<std::size_t>(p.BitmapCount) * BitmapBytes);
    WriteTileRecords(w, p.NewTiles);
    w.bytes(p.InfoHeader.data(), p.InfoHeader.size());
    w.bytes(p.FileHeader.data(), p.FileHeader.size());
    Flag(w, p.ZmeVariant);
}

void WriteList(ByteWriter& w, const std::vector<std::int32_t>& list, const std::string& what) {
    w.i32(Int32(list.size(), what));
    for (std::int32_t v : list) w.i32(v);
}

void WriteLearned(ByteWriter& w, const MapGenerator& g) {
    w.i32(g.SquareCount());
    for (const LearnedSquare& s : g.Squares()) {
        w.u16(s.Gnd);
        w.u16(s.Top);
        w.u8(s.Atr);
        WriteList(w, s.Down, "Down list");
        WriteList(w, s.Right, "Right list");
    }
    WriteList(w, g.ObjSize, "object size table");
    WriteList(w, g.ObjStarts, "object starts table");
    w.i32(g.TallestObject);
}

void WriteI64(ByteWriter& w, std::int64_t value) {
    const auto bits = static_cast<std::uint64_t>(value);
    w.u32(static_cast<std::uint32_t>(bits));
    w.u32(static_cast<std::uint32_t>(bits >> 32));
}

void WriteJoinCounts(ByteWriter& w, const OccurrenceCounts& counts, JoinDir dir) {
    std::vector<std::pair<std::uint64_t, std::int64_t>> joins(counts.Joins(dir).begin(), counts.Joins(dir).end());
    std::erase_if(joins, [](const auto& j) { return j.second <= 0; });
    std::sort(joins.begin(), joins.end());
    w.i32(Int32(joins.size(), "number of counted joins"));
    for (const auto& [key, count] : joins) {
        w.i32(OccurrenceCounts::KeySquare(key));
        w.i32(OccurrenceCounts::KeyNeighbour(key));
        WriteI64(w, count);
    }
}

// Written only when occurrences are learned or counted: without them the
// file ends after the tallest object, as it always did.
void WriteCountsBlock(ByteWriter& w, const MapGenerator& g, const GeneratorSettings& s) {
    if (!s.LearnFrequencies && !g.Counts.Present()) return;
    ByteWriter block;
    WriteSettings(block, s, ZgPart::CountsBlock);
    const bool counted = g.Counts.Present();
    if (counted && g.Counts.Squares.size() > static_cast<std::size_t>(g.SquareCount()))
        throw Error("The occurrence counts name more squares than were learned.");
    block.i32(counted ? g.SquareCount() : 0);
    for (int i = 0; counted && i < g.SquareCount(); ++i) WriteI64(block, g.Counts.SquareCount(i));
    for (JoinDir dir : {JoinDir::Down, JoinDir::Right}) WriteJoinCounts(block, g.Counts, dir);
    const std::vector<std::uint8_t> bytes = block.take();
    w.text(kCountsMagic);
    w.u32(static_cast<std::uint32_t>(Int32(bytes.size(), "block of occurrence counts")));
    w.bytes(bytes.data(), bytes.size());
}

}  // namespace

GeneratorPreset ParseZG(std::span<const std::uint8_t> bytes) {
    ByteReader r(bytes);
    if (!r.peekTag(kMagic)) throw Error("This is not a generator data file: it does not begin with \"ZGD1\".");
    r.skip(4, "magic");
    GeneratorPreset p;
    ReadLearnList(r, p.Settings);
    p.ZpPath = ShortText(r, "tile set path");
    ReadSettings(r, p.Settings, ZgPart::BeforeChart);
    ReadChart(r, p.Settings.ObjectChart);
    ReadSettings(r, p.Settings, ZgPart::AfterChart);
    ReadTileSet(r, p);
    ReadLearned(r, p);
    ReadCountsBlock(r, p);
    p.Settings.ClampToRanges();
    return p;
}

std::vector<std::uint8_t> EncodeZG(const Project& project, const MapGenerator& generator,
                                   const GeneratorSettings& settings) {
    std::size_t size = 4096 + settings.BackupPath.size() + static_cast<std::size_t>(project.BitmapCount) * BitmapBytes;
    size += TileRecordsSize(project.NewTiles);
    for (const auto& s : generator.Squares()) size += kLearnedSquareMin + 4 * (s.Down.size() + s.Right.size());
    size += 4 * (generator.ObjSize.size() + generator.ObjStarts.size());
    ByteWriter w;
    w.reserve(size);
    w.text(kMagic);
    WriteLearnList(w, settings);
    WriteShortString(w, project.ZpPath, "tile set path");
    WriteSettings(w, settings, ZgPart::BeforeChart);
    WriteChart(w, settings.ObjectChart);
    WriteSettings(w, settings, ZgPart::AfterChart);
    WriteTileSet(w, project);
    WriteLearned(w, generator);
    WriteCountsBlock(w, generator, settings);
    return w.take();
}

}  // namespace zorvane
