// The object size chart of the "Generator Settings" window edited by the
// user, checked step by step against the chart model given the same edits.

#include <QFocusEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <random>

#include "editor_fixture.h"
#include "generator/eq_chart_panel.h"
#include "generator/generator_settings.h"

namespace zorvane::testing {
namespace {

void Type(QSpinBox* se, int value) {
    se->setFocus();
    QTest::keyClick(se, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(se, QString::number(value));
}

TEST_F(EditorTest, ChartEditsWithButtonsKeysAndClicksFollowTheChartModel) {
    auto& gen = window.generatorSettingsWindow();
    TEqChart& chart = gen.settings().ImgObjChart;
    chart.ResetPoints(12, 2);  // a range of 12 object sizes, as after learning
    TEqChart reference = chart;
    bool ran = false;
    WhenModal([&] {
        ran = true;
        generator_ui::EqChartPanel& p = *gen.Chart;
        std::mt19937 random(7);
        auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
        for (int step = 0; step < 400; ++step) {
            const auto [shownX, shownY] = reference.GetPointData(reference.Selected());
            const int gesture = pick(8);
            SCOPED_TRACE("gesture " + std::to_string(gesture) + " at step " + std::to_string(step));
            switch (gesture) {
            case 0: QTest::mouseClick(p.BtnAddPoint, Qt::LeftButton), reference.AddPoint(); break;
            case 1: QTest::mouseClick(p.BtnDelPoint, Qt::LeftButton), reference.DeletePoint(); break;
            case 2: QTest::mouseClick(p.BtnPrevPoint, Qt::LeftButton), reference.SelectPrev(); break;
            case 3: QTest::mouseClick(p.BtnNextPoint, Qt::LeftButton), reference.SelectNext(); break;
            case 4: {  // a size typed, then Enter
                const int x = pick(13);
                Type(p.SEpointX, x);
                QTest::keyClick(p.SEpointX, Qt::Key_Return);
                reference.MovePoint(x, shownY);
                break;
            }
            case 5: {  // both typed, then "Set"
                const int x = pick(13), y = pick(101);
                Type(p.SEpointX, x);
                Type(p.SEpointY, y);
                QTest::mouseClick(p.BtnMovePoint, Qt::LeftButton);
                reference.MovePoint(x, y);
                break;
            }
            case 6: {  // a click beside a point selects it
                const int i = pick(reference.GetPointsCount());
                QTest::mouseClick(p.ImgObjChart, Qt::LeftButton, {}, p.ImgObjChart->PointPos(i) + QPoint(1, 1));
                reference.Select(i);
                break;
            }
            case 7:  // a percentage typed and left without "Set"
                Type(p.SEpointY, pick(101));
                {
                    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);  // the focus moves on
                    QApplication::sendEvent(p.SEpointY, &out);
                }
                break;
            }
            ASSERT_EQ(chart.Points(), reference.Points()) << "step " << step;
            ASSERT_EQ(chart.Selected(), reference.Selected()) << "step " << step;
            const auto [x, y] = reference.GetPointData(reference.Selected());
            ASSERT_EQ(p.SEpointX->value(), x) << "step " << step;
            ASSERT_EQ(p.SEpointY->value(), y) << "step " << step;
        }
        EXPECT_GT(chart.GetPointsCount(), 3) << "the sequence reached a chart of several points";

        // Drawn: the selected point red, the others blue, at x = 11 + chart x, y = 110 - percent.
        const QImage picture = p.ImgObjChart->Picture();
        for (int i = 0; i < chart.GetPointsCount(); ++i) {
            const auto& point = chart.Points()[i];
            const QColor c = picture.pixelColor(TEqChart::PlotLeft + point.x, TEqChart::XAxisRow - point.y);
            EXPECT_EQ(c, i == chart.Selected() ? QColor(Qt::red) : QColor(Qt::blue)) << "point " << i;
        }
        QTest::mouseClick(gen.BtnClose, Qt::LeftButton);
    });
    Trigger("MGeneratorSettings");
    EXPECT_TRUE(ran);
}

TEST_F(EditorTest, ChartPointEditsAreOffWithoutASizeRange) {
    auto& gen = window.generatorSettingsWindow();
    gen.settings().ImgObjChart.ResetPoints(0, 2);
    WhenModal([&] {
        EXPECT_FALSE(gen.Chart->SEpointX->isEnabled());
        EXPECT_FALSE(gen.Chart->BtnMovePoint->isEnabled());
        QTest::mouseClick(gen.BtnClose, Qt::LeftButton);
    });
    Trigger("MGeneratorSettings");
    gen.settings().ImgObjChart.ResetPoints(30, 2);
    WhenModal([&] {
        EXPECT_TRUE(gen.Chart->SEpointX->isEnabled());
        EXPECT_EQ(gen.Chart->SEpointX->maximum(), 30);
        QTest::mouseClick(gen.BtnClose, Qt::LeftButton);
    });
    Trigger("MGeneratorSettings");
}

}  // namespace
}  // namespace zorvane::testing
