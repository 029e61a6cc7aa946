#pragma once
// The object size distribution chart of the generator settings window: the
// drawn chart (ObjectSizeChart's points over sizes 0..N and 0..100 %) with the spin
// edits of the selected point and the buttons "+", "x", "<", ">" and "Set".
// A click near a point selects it. Values typed into the spin edits stay
// there until "Set", Enter or the selection of another point. The rules are the chart model's; this
// panel draws it and hands it the user's gestures.

#include <QWidget>
#include <functional>

#include "generator/eq_chart.h"

class QPushButton;
class QSpinBox;

namespace zorvane::generator_ui {

// The chart's picture, 220 x 120 design pixels stretched to the widget.
class EqChartView : public QWidget {
public:
    EqChartView(ObjectSizeChart& chart, QWidget* parent);
    // The picture as drawn at design size.
    QImage Picture() const;
    // The widget position of point i.
    QPoint PointPos(int index) const;
    std::function<void(int)> OnPointClicked;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    double Stretch() const;
    ObjectSizeChart& chart_;
};

class EqChartPanel : public QWidget {
public:
    EqChartPanel(ObjectSizeChart& chart, QWidget* parent);

    // Shows the chart and the selected point after the chart changed.
    void ShowChart();

    void BtnAddPointClick();
    void BtnDelPointClick();
    void BtnPrevPointClick();
    void BtnNextPointClick();
    void BtnMovePointClick();

    EqChartView* ImgObjChart;
    QSpinBox* SEpointX;
    QSpinBox* SEpointY;
    QPushButton* BtnAddPoint;
    QPushButton* BtnDelPoint;
    QPushButton* BtnPrevPoint;
    QPushButton* BtnNextPoint;
    QPushButton* BtnMovePoint;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    ObjectSizeChart& chart_;
};

}  // namespace zorvane::generator_ui
