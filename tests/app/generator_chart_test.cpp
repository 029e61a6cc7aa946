// The object size chart of the "Generator Settings" window edited by the
// user, checked step by step against the chart model given the same edits.

#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <random>
#include <tuple>

#include "editor_fixture.h"
#include "generator/eq_chart_panel.h"
#include "generator/generator_settings.h"
#include "presenter/object_chart_picture.h"

namespace zorvane::testing {
namespace {

void Type(QSpinBox* se, int value) {
    se->setFocus(Qt::TabFocusReason);
    QTest::keyClick(se, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(se, QString::number(value));
}

// A click as a real mouse gives it: a widget that takes focus on a click
// gets it first, so a spin edit being typed into is left before the click.
void RealClick(QWidget* w, QPoint at = {}) {
    if (w->focusPolicy() & Qt::ClickFocus) w->setFocus(Qt::MouseFocusReason);
    QTest::mouseClick(w, Qt::LeftButton, {}, at);
}

TEST_F(EditorTest, ChartEditsWithButtonsKeysAndClicksFollowTheChartModel) {
    auto& gen = window.generatorSettingsWindow();
    ObjectSizeChart& chart = gen.settings().ObjectChart;
    chart.ResetPoints(12, 2);  // a range of 12 object sizes, as after learning
    ObjectSizeChart reference = chart;
    bool ran = false;
    WhenModal([&] {
        ran = true;
        generator_ui::EqChartPanel& p = *gen.Chart;
        std::mt19937 random(7);
        auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
        // What the spin edits should show: typed values stay until "Set",
        // Enter or another point shows its own.
        auto [shownX, shownY] = reference.GetPointData(reference.Selected());
        for (int step = 0; step < 400; ++step) {
            const int gesture = pick(9);
            SCOPED_TRACE("gesture " + std::to_string(gesture) + " at step " + std::to_string(step));
            switch (gesture) {
            case 0: RealClick(p.BtnAddPoint), reference.AddPoint(); break;
            case 1: RealClick(p.BtnDelPoint), reference.DeletePoint(); break;
            case 2: RealClick(p.BtnPrevPoint), reference.SelectPrev(); break;
            case 3: RealClick(p.BtnNextPoint), reference.SelectNext(); break;
            case 4: {  // a size typed, then Enter: with the percentage shown, typed or not
                const int x = pick(13);
                Type(p.SEpointX, x);
                QTest::keyClick(p.SEpointX, Qt::Key_Return);
                reference.MovePoint(x, shownY);
                break;
            }
            case 5: {  // both typed, then a click on "Set"
                const int x = pick(13), y = pick(101);
                Type(p.SEpointX, x);
                Type(p.SEpointY, y);
                RealClick(p.BtnMovePoint);
                reference.MovePoint(x, y);
                break;
            }
            case 6: {  // a click beside a point selects it
                const int i = pick(reference.GetPointsCount());
                RealClick(p.ImgObjChart, p.ImgObjChart->PointPos(i) + QPoint(1, 1));
                reference.Select(i);
                break;
            }
            case 7: {  // a percentage typed and left for the other spin edit: kept
                const int y = pick(101);
                Type(p.SEpointY, y);
                p.SEpointX->setFocus(Qt::TabFocusReason);
                shownY = y;
                break;
            }
            case 8: {  // a size typed and left by clicking "Set"
                const int x = pick(13);
                Type(p.SEpointX, x);
                RealClick(p.BtnMovePoint);
                reference.MovePoint(x, shownY);
                break;
            }
            }
            if (gesture != 7) std::tie(shownX, shownY) = reference.GetPointData(reference.Selected());
            ASSERT_EQ(chart.Points(), reference.Points()) << "step " << step;
            ASSERT_EQ(chart.Selected(), reference.Selected()) << "step " << step;
            ASSERT_EQ(p.SEpointX->value(), shownX) << "step " << step;
            ASSERT_EQ(p.SEpointY->value(), shownY) << "step " << step;
        }
        EXPECT_GT(chart.GetPointsCount(), 3) << "the sequence reached a chart of several points";

        // Drawn: the selected point red, the others blue, at x = 11 + chart x, y = 110 - percent.
        const QImage picture = p.ImgObjChart->Picture();
        for (int i = 0; i < chart.GetPointsCount(); ++i) {
            const auto& point = chart.Points()[i];
            const QColor c =
                picture.pixelColor(object_chart_picture::PlotLeft + point.x, object_chart_picture::XAxisRow - point.y);
            EXPECT_EQ(c, i == chart.Selected() ? QColor(Qt::red) : QColor(Qt::blue)) << "point " << i;
        }
        QTest::mouseClick(gen.BtnClose, Qt::LeftButton);
    });
    Trigger("MGeneratorSettings");
    EXPECT_TRUE(ran);
}

TEST_F(EditorTest, ChartPointEditsAreOffWithoutASizeRange) {
    auto& gen = window.generatorSettingsWindow();
    gen.settings().ObjectChart.ResetPoints(0, 2);
    WhenModal([&] {
        EXPECT_FALSE(gen.Chart->SEpointX->isEnabled());
        EXPECT_FALSE(gen.Chart->BtnMovePoint->isEnabled());
        QTest::mouseClick(gen.BtnClose, Qt::LeftButton);
    });
    Trigger("MGeneratorSettings");
    gen.settings().ObjectChart.ResetPoints(30, 2);
    WhenModal([&] {
        EXPECT_TRUE(gen.Chart->SEpointX->isEnabled());
        EXPECT_EQ(gen.Chart->SEpointX->maximum(), 30);
        QTest::mouseClick(gen.BtnClose, Qt::LeftButton);
    });
    Trigger("MGeneratorSettings");
}

}  // namespace
}  // namespace zorvane::testing
