// The square preview window: the pictures it draws from the project's
// bitmaps and palette, the "Id" view, clicks on neighbours that jump to their
// records, the scroll bars and resizing; and both windows opened from the
// generator settings window after learning the sample maps.

#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <cmath>
#include <set>
#include <tuple>

#include "editor_fixture.h"
#include "fake_ui.h"
#include "generator/generator_settings.h"
#include "generator/sq_preview_window.h"
#include "render/scaling.h"
#include "samples/samples.h"

namespace zorvane::testing {
namespace {

using generator_ui::GeneratorSettingsWindow;
using generator_ui::SquarePreviewWindow;

constexpr QRgb kRed = 0xFFFF0000, kYellow = 0xFFFFFF00, kBlack = 0xFF000000, kWhite = 0xFFFFFFFF;

// Palette entry i of the test palette (blue i, green 255 - i, red i / 2),
// its channels scaled by `factor` with halves to even.
QRgb PaletteColour(int i, double factor = 1.0) {
    auto s = [factor](int c) { return static_cast<int>(std::nearbyint(c * factor)); };
    return qRgb(s(i / 2), s(255 - i), s(i));
}

// A bitmap whose stored rows 0..15 are `upper` and 16..31 `lower`.
BitmapPixels Halves(std::uint8_t upper, std::uint8_t lower) {
    BitmapPixels px{};
    for (int p = 0; p < BitmapBytes; ++p) px[p] = p < BitmapBytes / 2 ? upper : lower;
    return px;
}

class SqPreviewTest : public ::testing::Test {
protected:
    SqPreviewTest() {
        FillTestPalette(project);
        project.AddBitmap(FilledBitmap(10).data());  // 0
        project.AddBitmap(Halves(0, 30).data());     // 1: a top bitmap, its upper half see-through
        project.AddBitmap(FilledBitmap(50).data());  // 2
        project.AddBitmap(FilledBitmap(70).data());  // 3
        owner.resize(900, 700);
        owner.show();
    }
    ~SqPreviewTest() override { preview.close(); }

    // Squares 0..count-1 with ground 0, 2 or 3 and top 1 on every other one
    // (bitmaps distinct per square through the top id beyond the bitmaps),
    // then the empty square.
    void Learn(int count) {
        for (int i = 0; i < count; ++i) {
            const auto gnd = static_cast<std::uint16_t>(i == 0 ? 0 : i % 2 ? 2 : 3);
            const auto top = static_cast<std::uint16_t>(i == 0 ? NoBitmap : i == 1 ? 1 : 100 + i);
            generator.FindOrAddSq(gnd, top, static_cast<std::uint8_t>(i));
        }
        generator.FindOrAddSq(NoBitmap, NoBitmap, AtrImpassable);
    }

    // Fills the window with the neighbours view and shows it (not modally).
    void ShowNeighbours(QSize size, const std::vector<MapSquare>& starts = {}) {
        FakeUi ui;
        PreviewData data = PrepareSqMatchesPreview(generator, ui);
        data.StartSquares = starts;
        preview.List().Fill(data);
        preview.resize(size);
        preview.show();
        QApplication::processEvents();
    }

    QRgb At(int x, int y) const { return preview.Surface().pixel(x, y); }
    // The view point of content point (x, y).
    QPoint View(int x, int y) const { return {x - preview.Scroll().X, y - preview.Scroll().Y}; }
    int ViewHeight() const { return preview.ImgRender->height(); }
    // The colours of the 34 x 34 ring one pixel outside the square at (x, y).
    std::set<QRgb> Ring(int x, int y) const {
        std::set<QRgb> ring;
        for (int i = -1; i <= 32; ++i) {
            ring.insert(At(x + i, y - 1));
            ring.insert(At(x + i, y + 32));
            ring.insert(At(x - 1, y + i));
            ring.insert(At(x + 32, y + i));
        }
        return ring;
    }
    bool AnyWhite(int x, int y, int w, int h) const {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i)
                if (At(i, j) == kWhite) return true;
        return false;
    }

    Project project;
    MapGenerator generator;
    QWidget owner;
    SquarePreviewWindow preview{project, &owner};
};

TEST_F(SqPreviewTest, DrawsRecordsFromTheBitmapsWithOutlinesAndIds) {
    // Square 0 with three right neighbours and one below.
    Learn(4);
    generator.AddJoinRight(0, 1, 1);
    generator.AddJoinRight(0, 2, 1);
    generator.AddJoinRight(0, 3, 1);
    generator.AddJoinDown(0, 1, 1);
    ShowNeighbours(QSize(687, 600), {MapSquare{3, 102, 0}});
    ASSERT_EQ(preview.Surface().size(), preview.ImgRender->size());
    ASSERT_EQ(preview.List().Count(), 4);
    EXPECT_EQ(preview.List().Records()[0].Height, 160);
    EXPECT_EQ(preview.List().Records()[0].Width, 416);
    EXPECT_EQ(preview.List().ContentWidth(), 448);
    EXPECT_EQ(preview.SBx->maximum(), 0);
    EXPECT_EQ(preview.SBy->maximum(), 4 * 160 - ViewHeight());
    EXPECT_EQ(preview.SBy->pageStep(), 128);
    EXPECT_EQ(preview.SBx->pageStep(), 128);

    // Square 0 at (64, 32); red lines across the view at the records' edges.
    EXPECT_EQ(At(64, 32), PaletteColour(10));
    EXPECT_EQ(At(95, 63), PaletteColour(10));
    EXPECT_EQ(At(63, 40), kBlack);
    const int right = preview.Surface().width() - 1;
    for (int x : {0, 100, right}) {
        EXPECT_EQ(At(x, 0), kRed);
        EXPECT_EQ(At(x, 160), kRed);
        EXPECT_EQ(At(x, 320), kRed);
    }
    // Its neighbours: square 1 (ground 2 under top 1) at strip columns 0 of
    // rows 0 and 2, square 2 at column 2, square 3 at column 4; the gaps
    // and row 1 stay black.
    EXPECT_EQ(At(192 + 5, 32 + 5), PaletteColour(50));   // see-through upper half of the top
    EXPECT_EQ(At(192 + 5, 32 + 25), PaletteColour(30));  // its lower half over the ground
    EXPECT_EQ(At(192 + 5, 96 + 25), PaletteColour(30));
    EXPECT_EQ(At(224 + 5, 32 + 5), kBlack);
    EXPECT_EQ(At(256 + 5, 32 + 5), PaletteColour(70));
    EXPECT_EQ(At(320 + 5, 32 + 5), PaletteColour(50));
    EXPECT_EQ(At(192 + 5, 64 + 5), kBlack);
    EXPECT_EQ(At(256 + 5, 96 + 5), kBlack);
    // The texts: the number, "E: (3)" and "S: (1)" in white.
    EXPECT_TRUE(AnyWhite(32, 40, 30, 16));
    EXPECT_TRUE(AnyWhite(128, 40, 60, 16));
    EXPECT_TRUE(AnyWhite(128, 104, 60, 16));
    EXPECT_FALSE(AnyWhite(128, 64, 60, 32));

    // Square 2 starts an object: yellow one pixel outside it in its own
    // record, not where it shows as a neighbour.
    EXPECT_EQ(Ring(64, 320 + 32), std::set<QRgb>{kYellow});
    EXPECT_EQ(At(64, 320 + 32), PaletteColour(70));
    EXPECT_EQ(Ring(64, 160 + 32), std::set<QRgb>{kBlack});
    EXPECT_FALSE(Ring(256, 32).count(kYellow));

    // Bottom-up bitmaps: the top bitmap's halves change places.
    project.BottomUpRows = true;
    preview.Render();
    EXPECT_EQ(At(192 + 5, 32 + 5), PaletteColour(30));
    EXPECT_EQ(At(192 + 5, 32 + 25), PaletteColour(50));
    project.BottomUpRows = false;

    // "Id": 70 % brightness, three numbers on every square with bitmaps,
    // none on the empty squares.
    QTest::mouseClick(preview.BtnShowId, Qt::LeftButton);
    EXPECT_TRUE(preview.IdMode());
    EXPECT_EQ(preview.BtnShowId->text(), QString());
    EXPECT_EQ(At(95, 63), PaletteColour(10, 0.7));
    EXPECT_EQ(At(256 + 31, 32 + 31), PaletteColour(70, 0.7));
    EXPECT_TRUE(AnyWhite(64, 32, 32, 9));
    EXPECT_TRUE(AnyWhite(64, 32 + 9, 32, 9));
    EXPECT_TRUE(AnyWhite(64, 32 + 18, 32, 9));
    EXPECT_TRUE(AnyWhite(192, 32, 32, 27));
    EXPECT_FALSE(AnyWhite(224, 32, 32, 32));
    EXPECT_FALSE(AnyWhite(192, 64, 96, 32));
    QTest::mouseClick(preview.BtnShowId, Qt::LeftButton);
    EXPECT_FALSE(preview.IdMode());
    EXPECT_EQ(preview.BtnShowId->text(), QStringLiteral("Id"));
    EXPECT_EQ(At(95, 63), PaletteColour(10));
}

TEST_F(SqPreviewTest, ClickingANeighbourJumpsToItsRecord) {
    Learn(12);
    generator.AddJoinRight(0, 5, 1);
    generator.AddJoinRight(0, 9, 2);  // weight 2: shown twice
    generator.AddJoinRight(0, 12, 1);  // the empty square has no record
    ShowNeighbours(QSize(400, 350));
    ASSERT_EQ(preview.SBx->maximum(), 512 - preview.ImgRender->width());
    ASSERT_EQ(preview.List().Count(), 12);
    ASSERT_EQ(preview.Scroll(), (ScrollPosition{0, 0}));

    // Column 2 of row 0: the second right neighbour, square 9, far below.
    QTest::mouseClick(preview.ImgRender, Qt::LeftButton, {}, QPoint(256 + 10, 32 + 10));
    EXPECT_EQ(preview.List().SelectedIndex(), 9);
    EXPECT_TRUE(preview.List().Records()[9].Selected);
    const int bottom9 = 10 * 160;
    EXPECT_EQ(preview.SBy->value(), bottom9 - ViewHeight());
    EXPECT_EQ(preview.Scroll().Y, bottom9 - ViewHeight());
    // Drawn there: its red outline and its bottom line at the view's bottom.
    const QPoint square9 = View(64, 9 * 160 + 32);
    EXPECT_EQ(Ring(square9.x(), square9.y()), std::set<QRgb>{kRed});
    EXPECT_EQ(At(10, ViewHeight() - 1), kBlack);
    EXPECT_EQ(At(10, View(0, 9 * 160).y()), kRed);

    // Back up with the scroll bar, then a neighbour above the view.
    preview.SBy->setValue(0);
    EXPECT_EQ(At(5, 160), kRed);
    QTest::mouseClick(preview.ImgRender, Qt::LeftButton, {}, QPoint(192 + 31, 32 + 31));
    EXPECT_EQ(preview.List().SelectedIndex(), 5);
    EXPECT_FALSE(preview.List().Records()[9].Selected);
    EXPECT_EQ(preview.Scroll().Y, 6 * 160 - ViewHeight());
    preview.SBx->setValue(30);
    QTest::mouseClick(preview.ImgRender, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(preview.List().SelectedIndex(), -1);
    EXPECT_EQ(preview.Scroll().X, 30) << "a click on no neighbour scrolls nowhere";

    // The gap column and the empty square clear the selection.
    preview.SBx->setValue(0);
    preview.SBy->setValue(0);
    QTest::mouseClick(preview.ImgRender, Qt::LeftButton, {}, QPoint(256 + 10, 32 + 10));
    ASSERT_EQ(preview.List().SelectedIndex(), 9);
    preview.SBy->setValue(0);
    QTest::mouseClick(preview.ImgRender, Qt::LeftButton, {}, QPoint(224 + 10, 32 + 10));
    EXPECT_EQ(preview.List().SelectedIndex(), -1);
    EXPECT_FALSE(preview.List().Records()[9].Selected);
    EXPECT_EQ(preview.Scroll().Y, 0);
    QTest::mouseClick(preview.ImgRender, Qt::LeftButton, {}, QPoint(320 + 10, 32 + 10));
    EXPECT_EQ(preview.List().SelectedIndex(), 9);  // the repeat of square 9
    preview.SBy->setValue(0);
    preview.SBx->setValue(100);
    QTest::mouseClick(preview.ImgRender, Qt::LeftButton, {}, QPoint(384 + 10 - 100, 32 + 10));
    EXPECT_EQ(preview.List().SelectedIndex(), -1);
    preview.SBx->setValue(0);
    preview.SBy->setValue(9 * 160);
    const QPoint again = View(64, 9 * 160 + 32);
    EXPECT_EQ(Ring(again.x(), again.y()), std::set<QRgb>{kBlack});
}

TEST_F(SqPreviewTest, ScrollBarsAndResizing) {
    Learn(8);
    for (int i = 0; i < 8; ++i) generator.AddJoinDown(i, (i + 1) % 8, 1);
    ShowNeighbours(QSize(687, 350));
    const int viewHeight = ViewHeight();
    EXPECT_EQ(preview.SBy->maximum(), 8 * 160 - viewHeight);
    EXPECT_EQ(preview.List().ContentWidth(), 320);
    EXPECT_EQ(preview.SBx->maximum(), 0);
    // The large step: record 1's top line moves up by 128 pixels.
    preview.SBy->setFocus();
    QTest::keyClick(preview.SBy, Qt::Key_PageDown);
    EXPECT_EQ(preview.Scroll().Y, 128);
    EXPECT_EQ(At(5, 160 - 128), kRed);
    EXPECT_EQ(At(64 + 5, 160 - 128 + 32 + 5), PaletteColour(50));
    // The wheel scrolls by three small steps.
    QWheelEvent down(QPointF(50, 50), QPointF(50, 50), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(preview.ImgRender, &down);
    EXPECT_EQ(preview.Scroll().Y, 128 + 3 * preview.SBy->singleStep());
    EXPECT_EQ(At(5, 320 - preview.Scroll().Y), kRed);
    // "Copy picture" puts what the view shows on the clipboard.
    auto* copy = preview.ImgRender->findChild<QAction*>("PMCopyPicture");
    ASSERT_NE(copy, nullptr);
    QApplication::clipboard()->clear();
    copy->trigger();
    EXPECT_EQ(QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), preview.Surface());

    // Bigger: the view and the surface follow, the ranges shrink.
    preview.resize(800, 700);
    QApplication::processEvents();
    EXPECT_EQ(preview.Surface().size(), preview.ImgRender->size());
    EXPECT_EQ(ViewHeight(), viewHeight + 350);
    EXPECT_EQ(preview.SBy->maximum(), 8 * 160 - ViewHeight());
    EXPECT_EQ(preview.SBy->geometry().right(), preview.width() - 1);
    EXPECT_EQ(preview.SBx->geometry().bottom(), preview.height() - 1);
    EXPECT_EQ(preview.BtnShowId->geometry().bottomRight(), QPoint(preview.width() - 1, preview.height() - 1));
    // The "Id" button fits its caption; the controls tile the window without overlapping.
    const QFontMetrics metrics = preview.BtnShowId->fontMetrics();
    EXPECT_GT(preview.BtnShowId->width(), metrics.horizontalAdvance(QStringLiteral("Id")) + 8);
    EXPECT_GT(preview.BtnShowId->height(), metrics.height() + 4);
    const QList<QWidget*> parts{preview.ImgRender, preview.SBx, preview.SBy, preview.BtnShowId};
    int area = 0;
    for (QWidget* a : parts) {
        area += a->width() * a->height();
        EXPECT_TRUE(preview.rect().contains(a->geometry()));
        for (QWidget* b : parts) EXPECT_TRUE(a == b || !a->geometry().intersects(b->geometry()));
    }
    EXPECT_EQ(area, preview.width() * preview.height());
    EXPECT_EQ(At(5, 480 - preview.Scroll().Y), kRed);
    // Smaller than the least size is refused; a narrow view scrolls across.
    preview.resize(100, 100);
    QApplication::processEvents();
    EXPECT_EQ(preview.size(), QSize(300, 200));
    EXPECT_EQ(preview.SBx->maximum(), 320 - preview.ImgRender->width());

    // Closing empties the list; an empty list shows black with nothing to scroll.
    preview.close();
    EXPECT_EQ(preview.List().Count(), 0);
    EXPECT_TRUE(preview.Surface().isNull());
    preview.resize(687, 350);
    preview.show();
    QApplication::processEvents();
    EXPECT_EQ(preview.SBx->maximum(), 0);
    EXPECT_EQ(preview.SBy->maximum(), 0);
    EXPECT_EQ(preview.Scroll(), (ScrollPosition{0, 0}));
    const QImage& s = preview.Surface();
    ASSERT_FALSE(s.isNull());
    for (int y = 0; y < s.height(); y += 7)
        for (int x = 0; x < s.width(); x += 7) ASSERT_EQ(s.pixel(x, y), kBlack);
}

class SqPreviewWindowsTest : public EditorTest {
protected:
    GeneratorSettingsWindow& Gen() { return window.generatorSettingsWindow(); }
    SquarePreviewWindow* Preview() { return Gen().findChild<SquarePreviewWindow*>(); }

    // Clicks `button` of the settings window and returns what the preview
    // window showed while it was open: its caption and the squares of its
    // records' main tiles (ground, top, attribute) by record.
    std::vector<std::vector<MapSquare>> Open(const char* button, QString* caption) {
        std::vector<std::vector<MapSquare>> shown;
        WhenModal([&] {
            SquarePreviewWindow* p = Preview();
            EXPECT_TRUE(p->isVisible());
            *caption = p->windowTitle();
            EXPECT_EQ(p->geometry().center(), Gen().geometry().center());
            EXPECT_EQ(p->size(), QSize(render::ScaleDim(687, window.Ppi()), render::ScaleDim(350, window.Ppi())));
            for (const SqPreviewRecord& rec : p->List().Records()) shown.push_back(rec.Main->Sq);
            EXPECT_EQ(p->SBy->maximum(), p->List().ContentHeight() - p->ImgRender->height());
            p->reject();
        });
        QTest::mouseClick(Gen().findChild<QPushButton*>(button), Qt::LeftButton);
        EXPECT_FALSE(Preview()->isVisible());
        EXPECT_EQ(Preview()->List().Count(), 0) << "closing empties the list";
        return shown;
    }
};

TEST_F(SqPreviewWindowsTest, BothTablesOpenFromTheSettingsWindowAfterLearning) {
    samples::WriteSampleFiles(samples::BuildSampleFiles(dir.file("samples"), 3));
    const std::string zmpe = dir.file("samples") + "/zmpe/";
    bool ran = false;
    WhenModal([&] {
        GeneratorSettingsWindow& w = Gen();
        QString caption;
        // Nothing learned yet: nothing to show, and no window.
        QTest::mouseClick(w.findChild<QPushButton*>("BtnShowSqNOC"), Qt::LeftButton);
        EXPECT_TRUE(dialogs.Saw("Map Generator", "Nothing to show."));
        EXPECT_FALSE(Preview()->isVisible());

        w.ChooseZmFiles = [&] { return std::vector<std::string>{zmpe + "meadow.zm", zmpe + "village.zm"}; };
        QTest::mouseClick(w.BtnAddZM, Qt::LeftButton);
        QTest::mouseClick(w.BtnLearn, Qt::LeftButton);
        ASSERT_TRUE(w.generator().Ready()) << w.Lstatus->text().toStdString();
        const MapGenerator& g = w.generator();
        const int learned = g.SquareCount() - 1;  // the empty square aside

        const auto neighbours = Open("BtnShowSqNOC", &caption);
        EXPECT_EQ(caption, QStringLiteral("Squares Neighbors"));
        ASSERT_EQ(static_cast<int>(neighbours.size()), learned);
        for (int i = 0; i < learned; ++i)
            EXPECT_EQ(neighbours[i], std::vector<MapSquare>({MapSquare{g.Sq(i).Gnd, g.Sq(i).Top, g.Sq(i).Atr}}));

        // Every learned square in exactly one picture, the house among them.
        const auto objects = Open("BtnShowSqWeights", &caption);
        EXPECT_EQ(caption, QStringLiteral("Identified Objects"));
        std::multiset<std::tuple<int, int, int>> seen;
        std::size_t largest = 0;
        for (const auto& squares : objects) {
            largest = std::max(largest, squares.size());
            for (const MapSquare& s : squares)
                if (!(s.Gnd == NoBitmap && s.Top == NoBitmap)) seen.insert({s.Gnd, s.Top, s.Atr});
        }
        std::multiset<std::tuple<int, int, int>> expected;
        for (int i = 0; i < learned; ++i) expected.insert({g.Sq(i).Gnd, g.Sq(i).Top, g.Sq(i).Atr});
        EXPECT_EQ(seen, expected);
        EXPECT_LT(objects.size(), static_cast<std::size_t>(learned));
        EXPECT_GE(largest, 6u) << "the 3 x 2 house";
        ran = true;
        QTest::mouseClick(w.BtnClose, Qt::LeftButton);
    });
    Trigger("MGeneratorSettings");
    EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace zorvane::testing
