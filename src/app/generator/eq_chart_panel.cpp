#include "generator/eq_chart_panel.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <cmath>

#include "generator/settings.h"
#include "presenter/object_chart_picture.h"

namespace zorvane::generator_ui {

using namespace object_chart_picture;

namespace {

QPointF Plot(const ObjectSizeChart::Point& p) {
    const PicturePoint at = PointInPicture(p);
    return {at.X, at.Y};
}

void Arrow(QPainter& g, QPoint tip, QPoint back1, QPoint back2) {
    g.drawLine(tip, back1);
    g.drawLine(tip, back2);
}

}  // namespace

EqChartView::EqChartView(ObjectSizeChart& chart, QWidget* parent) : QWidget(parent), chart_(chart) {
    setObjectName(QStringLiteral("ImgObjChart"));
    setFixedSize(Width * logicalDpiX() / 96, Height * logicalDpiX() / 96);
}

double EqChartView::Stretch() const { return double(width()) / Width; }

QImage EqChartView::Picture() const {
    QImage img(Width, Height, QImage::Format_RGB888);
    img.fill(Qt::white);
    QPainter g(&img);
    const auto& points = chart_.Points();
    QPolygonF line;
    for (const auto& p : points) line << Plot(p);
    g.setPen(QPen(QColor(128, 128, 128), 2));
    g.drawPolyline(line);

    g.setPen(QPen(Qt::black, 1));
    const int axisX = YAxisColumn, axisY = XAxisRow;
    g.drawLine(axisX, axisY, Width - 3, axisY);
    Arrow(g, {Width - 3, axisY}, {Width - 7, axisY - 3}, {Width - 7, axisY + 3});
    g.drawLine(axisX, axisY, axisX, 2);
    Arrow(g, {axisX, 2}, {axisX - 3, 6}, {axisX + 3, 6});

    for (int i = 0; i < int(points.size()); ++i) {
        const QPointF c = Plot(points[i]);
        g.fillRect(QRectF(c.x() - 2, c.y() - 2, 4, 4), i == chart_.Selected() ? Qt::red : Qt::blue);
    }
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(9);  // 7 points at 96 pixels per inch
    g.setFont(font);
    g.drawText(QRect(0, 0, 10, 10), Qt::AlignCenter, QStringLiteral("y"));
    g.drawText(QRect(0, axisY + 1, Width - 2, Height - axisY - 1), Qt::AlignRight | Qt::AlignVCenter,
               QString::fromStdString(AxisLabel(chart_)));
    return img;
}

QPoint EqChartView::PointPos(int index) const {
    const QPointF c = Plot(chart_.Points().at(index));
    return {int(std::lround(c.x() * Stretch())), int(std::lround(c.y() * Stretch()))};
}

void EqChartView::paintEvent(QPaintEvent*) {
    QPainter g(this);
    g.drawImage(rect(), Picture());
}

// The nearest point within reach of the click is selected.
void EqChartView::mousePressEvent(QMouseEvent* e) {
    const QPointF at = e->position() / Stretch();
    const int best = PointAt(chart_, {at.x(), at.y()});
    if (best >= 0 && OnPointClicked) OnPointClicked(best);
}

EqChartPanel::EqChartPanel(ObjectSizeChart& chart, QWidget* parent) : QWidget(parent), chart_(chart) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("The occurrence of objects depending on size:"), this), 0, 0, 1, 6);
    ImgObjChart = new EqChartView(chart, this);
    grid->addWidget(ImgObjChart, 1, 0, 1, 6);
    grid->addWidget(new QLabel(QStringLiteral("x - object size (smallest inseparable surface)"), this), 2, 0, 1, 6);
    grid->addWidget(new QLabel(QStringLiteral("y - occurrence probability"), this), 3, 0, 1, 6);
    auto spin = [&](const char* name, int max) {
        auto* se = new QSpinBox(this);
        se->setObjectName(QString::fromLatin1(name));
        se->setRange(0, max);
        se->installEventFilter(this);  // typed values stay until "Set", Enter or another point
        return se;
    };
    SEpointX = spin("SEpointX", PointSizeMax(chart));
    SEpointY = spin("SEpointY", SEpointYRange.Max);
    auto button = [&](const char* name, const char* caption, void (EqChartPanel::*click)()) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, click] { (this->*click)(); });
        return b;
    };
    BtnAddPoint = button("BtnAddPoint", "+", &EqChartPanel::BtnAddPointClick);
    BtnDelPoint = button("BtnDelPoint", "x", &EqChartPanel::BtnDelPointClick);
    BtnPrevPoint = button("BtnPrevPoint", "<", &EqChartPanel::BtnPrevPointClick);
    BtnNextPoint = button("BtnNextPoint", ">", &EqChartPanel::BtnNextPointClick);
    BtnMovePoint = button("BtnMovePoint", "Set", &EqChartPanel::BtnMovePointClick);
    grid->addWidget(new QLabel(QStringLiteral("x:"), this), 4, 0);
    grid->addWidget(SEpointX, 4, 1);
    grid->addWidget(new QLabel(QStringLiteral("y:"), this), 4, 2);
    grid->addWidget(SEpointY, 4, 3);
    grid->addWidget(BtnMovePoint, 4, 4, 1, 2);
    grid->addWidget(BtnPrevPoint, 5, 0);
    grid->addWidget(BtnNextPoint, 5, 1);
    grid->addWidget(BtnAddPoint, 5, 2);
    grid->addWidget(BtnDelPoint, 5, 3);
    ImgObjChart->OnPointClicked = [this](int i) {
        chart_.Select(i);
        ShowChart();
    };
    ShowChart();
}

void EqChartPanel::ShowChart() {
    const QSignalBlocker bx(SEpointX), by(SEpointY);
    const bool enabled = PointEditEnabled(chart_);
    SEpointX->setEnabled(enabled);
    SEpointY->setEnabled(enabled);
    BtnMovePoint->setEnabled(enabled);
    if (enabled) SEpointX->setMaximum(PointSizeMax(chart_));
    if (chart_.GetPointsCount() > 0) {
        auto [x, y] = chart_.GetPointData(chart_.Selected());
        SEpointX->setValue(x);
        SEpointY->setValue(y);
    }
    ImgObjChart->update();
}

void EqChartPanel::BtnAddPointClick() {
    chart_.AddPoint();
    ShowChart();
}

void EqChartPanel::BtnDelPointClick() {
    chart_.DeletePoint();
    ShowChart();
}

void EqChartPanel::BtnPrevPointClick() {
    chart_.SelectPrev();
    ShowChart();
}

void EqChartPanel::BtnNextPointClick() {
    chart_.SelectNext();
    ShowChart();
}

void EqChartPanel::BtnMovePointClick() {
    SEpointX->interpretText();
    SEpointY->interpretText();
    chart_.MovePoint(SEpointX->value(), SEpointY->value());
    ShowChart();
}

// Enter in a spin edit holding a number is "Set".
bool EqChartPanel::eventFilter(QObject* watched, QEvent* e) {
    if ((watched == SEpointX || watched == SEpointY) && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            auto* se = static_cast<QSpinBox*>(watched);
            bool number = false;
            se->cleanText().toInt(&number);
            if (number) BtnMovePointClick();
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

}  // namespace zorvane::generator_ui
