// The table of generator settings: its rows against the window's controls,
// every setting through the generator data file on its own, and values out
// of range clamped on reading or refused where they do not fit.

#include <gtest/gtest.h>

#include <set>
#include <type_traits>

#include "generator/settings_table.h"
#include "generator/zg_file.h"

using namespace zorvane;

namespace {

using Value = std::variant<bool, int, std::string>;

Value ValueOf(const SettingRow& row, const GeneratorSettings& s) {
    return VisitSetting(row, s, [](const auto& field) { return Value(field); });
}

void SetValue(const SettingRow& row, GeneratorSettings& s, const Value& v) {
    VisitSetting(row, s, [&](auto& field) { field = std::get<std::remove_cvref_t<decltype(field)>>(v); });
}

// A value of the row's control other than its default, within its range.
Value OtherValue(const SettingRow& row, const GeneratorSettings& defaults) {
    const Value now = ValueOf(row, defaults);
    if (auto* b = std::get_if<bool>(&now)) return !*b;
    if (std::holds_alternative<int>(now)) return row.Range.Max != row.Range.Default ? row.Range.Max : row.Range.Min;
    return std::string(row.Encoding == ZgEncoding::ShortText ? "7-3; 70-4" : "/elsewhere/backup.zl");
}

GeneratorSettings ThroughTheFile(const GeneratorSettings& s) {
    Project project;
    MapGenerator gen;
    return ParseZG(EncodeZG(project, gen, s)).Settings;
}

}  // namespace

TEST(SettingsTable, RowsFollowTheWindowsControls) {
    const GeneratorSettings s;
    // The window's defaults, as its controls start.
    EXPECT_EQ(s.HeightWithoutBorders, 100);
    EXPECT_EQ(s.StartLine, 2);
    EXPECT_EQ(s.CombinationsLimitPosition, 2);
    EXPECT_EQ(s.SquarePreferencePosition, 20);
    EXPECT_TRUE(s.SimplifiedFirstLine && s.ReduceLocalAttempts && s.OtherFirstAttempts && s.LimitDistanceFromFarthestRow && s.GoBackAfterRowTime);
    EXPECT_FALSE(s.ForceTileSet || s.CollectTileSets || s.ContinueExistingSquares || s.NoIdenticalNeighbours || s.PreferMostCombinations);
    EXPECT_FALSE(s.Backup || s.SaveCompletedMap);
    EXPECT_EQ(s.FirstAttempts, 10);
    EXPECT_EQ(s.DistanceFromFarthestRow, 10);
    EXPECT_EQ(s.RowsToGoBack, 2);
    EXPECT_EQ(s.FreezePoints, 3);
    EXPECT_EQ(s.BackupEveryLines, 10);
    EXPECT_EQ(SettingRowOf("SElineTmaxRows").Range.Max, 206);
    EXPECT_EQ(SettingRowOf("SEmaxThreads").Range.Max, 4);
    EXPECT_THROW(SettingRowOf("SEnothing"), Error);

    std::set<std::string_view> controls;
    std::set<int> jsonPlaces;
    for (const SettingRow& row : GeneratorSettingRows()) {
        SCOPED_TRACE(std::string(row.Control));
        EXPECT_TRUE(controls.insert(row.Control).second);
        jsonPlaces.insert(row.JsonPlace);
        // A control's name begins with the prefix of its kind.
        const Value v = ValueOf(row, s);
        const std::string_view c = row.Control;
        if (std::holds_alternative<bool>(v)) {
            EXPECT_TRUE(c.starts_with("CB") || c.starts_with("RB"));
            EXPECT_EQ(row.Encoding, ZgEncoding::Flag);
        } else if (std::holds_alternative<int>(v)) {
            EXPECT_TRUE(c.starts_with("SE") || c.starts_with("TB"));
            EXPECT_LE(row.Range.Min, row.Range.Default);
            EXPECT_LE(row.Range.Default, row.Range.Max);
            if (row.Encoding == ZgEncoding::U8) EXPECT_LE(row.Range.Max, 255);
            else EXPECT_EQ(row.Encoding, ZgEncoding::I32);
        } else {
            EXPECT_TRUE(c.starts_with("E") || c.starts_with("L"));
        }
    }
    // Every row has a field of its own and every key a place of its own in
    // the JSON.
    const auto rows = GeneratorSettingRows();
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (std::size_t k = i + 1; k < rows.size(); ++k) EXPECT_FALSE(rows[i].Field == rows[k].Field) << rows[k].Control;
    EXPECT_EQ(jsonPlaces.size(), GeneratorSettingRows().size());
    EXPECT_EQ(*jsonPlaces.begin(), 0);
    EXPECT_EQ(*jsonPlaces.rbegin(), static_cast<int>(GeneratorSettingRows().size()) - 1);
}

TEST(SettingsTable, EverySettingAloneSurvivesTheDataFile) {
    const GeneratorSettings defaults;
    for (const SettingRow& changed : GeneratorSettingRows()) {
        SCOPED_TRACE(std::string(changed.Control));
        GeneratorSettings s;
        SetValue(changed, s, OtherValue(changed, defaults));
        const GeneratorSettings back = ThroughTheFile(s);
        // That setting comes back changed and no other one does.
        for (const SettingRow& row : GeneratorSettingRows())
            EXPECT_EQ(ValueOf(row, back), ValueOf(row, s)) << row.Control;
        EXPECT_NE(ValueOf(changed, back), ValueOf(changed, defaults));
    }
    // All at once, with the learning list and the chart around them.
    GeneratorSettings all;
    for (const SettingRow& row : GeneratorSettingRows()) SetValue(row, all, OtherValue(row, defaults));
    all.LearnList = {{"/maps/a.zm", 9, true}};
    all.ObjectChart.SetMaxSize(12);
    ASSERT_TRUE(all.ObjectChart.AddPoint());
    const GeneratorSettings back = ThroughTheFile(all);
    for (const SettingRow& row : GeneratorSettingRows()) EXPECT_EQ(ValueOf(row, back), ValueOf(row, all)) << row.Control;
    EXPECT_EQ(back.LearnList[0].Multiplier, 9);
    EXPECT_EQ(back.ObjectChart.GetPointsCount(), 3);
    EXPECT_EQ(back.ObjectChart.Largest(), 12);
    EXPECT_EQ(back.WidthWithoutBorders, 202);
    EXPECT_EQ(back.WorkerThreads, 4);
    EXPECT_EQ(back.FreezePoints, MaxInt32);
    EXPECT_EQ(back.BackupPath, "/elsewhere/backup.zl");
}

// No backup path is stored (and shown) as the caption of the label that
// chooses one, as data files always held it; the caption reads back as none.
TEST(SettingsTable, NoBackupPathIsStoredAsTheLabelsCaptionAndReadBackAsNone) {
    Project project;
    MapGenerator gen;
    const std::vector<std::uint8_t> bytes = EncodeZG(project, gen, GeneratorSettings());
    const std::string caption = NoBackupPathCaption;
    const std::string stored = std::string{static_cast<char>(caption.size()), 0, 0, 0} + caption;
    EXPECT_NE(std::string(bytes.begin(), bytes.end()).find(stored), std::string::npos);
    EXPECT_EQ(ParseZG(bytes).Settings.BackupPath, "");
    EXPECT_EQ(TextAsShown(SettingRowOf("Lbackup"), ""), caption);
    EXPECT_EQ(TextFromShown(SettingRowOf("Lbackup"), "/b/up.zl"), "/b/up.zl");
}

TEST(SettingsTable, OutOfRangeValuesAreClampedOnReadingAndRefusedWhereTheyDoNotFit) {
    for (const SettingRow& row : GeneratorSettingRows()) {
        if (!std::holds_alternative<int>(ValueOf(row, GeneratorSettings()))) continue;
        SCOPED_TRACE(std::string(row.Control));
        const bool oneByte = row.Encoding == ZgEncoding::U8;
        GeneratorSettings low, high;
        SetValue(row, low, row.Range.Min - 1);
        SetValue(row, high, row.Range.Max == MaxInt32 ? row.Range.Max : row.Range.Max + 1);
        GeneratorSettings clamped = low;
        clamped.ClampToRanges();
        EXPECT_EQ(ValueOf(row, clamped), Value(row.Range.Min));
        clamped = high;
        clamped.ClampToRanges();
        EXPECT_EQ(ValueOf(row, clamped), Value(row.Range.Max));
        // Whatever the file can hold is clamped when read; a byte refuses
        // what is beyond it.
        if (!oneByte || row.Range.Min > 0) {
            EXPECT_EQ(ValueOf(row, ThroughTheFile(low)), Value(row.Range.Min));
        }
        if (!oneByte || row.Range.Max < 255) {
            EXPECT_EQ(ValueOf(row, ThroughTheFile(high)), Value(row.Range.Max));
        }
        if (oneByte) {
            GeneratorSettings beyond;
            SetValue(row, beyond, 256);
            EXPECT_THROW(ThroughTheFile(beyond), Error);
            SetValue(row, beyond, -1);
            EXPECT_THROW(ThroughTheFile(beyond), Error);
        }
    }
    // A few by hand.
    GeneratorSettings s;
    s.WidthWithoutBorders = 5;
    s.StartLine = -7;
    s.DistanceFromFarthestRow = 1000;
    s.FreezePoints = 0;
    s.WorkerThreads = 9;
    const GeneratorSettings back = ThroughTheFile(s);
    EXPECT_EQ(back.WidthWithoutBorders, 10);
    EXPECT_EQ(back.StartLine, 2);
    EXPECT_EQ(back.DistanceFromFarthestRow, 206);
    EXPECT_EQ(back.FreezePoints, 1);
    EXPECT_EQ(back.WorkerThreads, 4);
    s = {};
    s.BackupEveryLines = 256;
    EXPECT_THROW(ThroughTheFile(s), Error);
    s = {};
    s.ScheduleOfRepeats = std::string(256, '1');
    EXPECT_THROW(ThroughTheFile(s), Error);
    s.ScheduleOfRepeats = std::string(255, '1');
    s.BackupPath = std::string(300, 'b');
    EXPECT_EQ(ThroughTheFile(s).BackupPath, s.BackupPath);
}
