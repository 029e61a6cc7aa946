#include "editor/map_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "editor/input_controller.h"
#include "render/map_renderer.h"

namespace zorvane::editor {

using render::MapRenderer;
namespace {

int ButtonCode(Qt::MouseButton b) {
    switch (b) {
    case Qt::LeftButton: return 0;
    case Qt::RightButton: return 1;
    case Qt::MiddleButton: return 2;
    default: return -1;
    }
}

}  // namespace

MapView::MapView(const MapRenderer& renderer, InputController& controller, QWidget* parent)
    : QWidget(parent), renderer_(renderer), controller_(controller) {
    setObjectName(QStringLiteral("ImgRender"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
}

// The picture has DeviceRatio() pixels per view pixel (one on a plain
// screen), so it is drawn pixel for pixel on the screen.
void MapView::paintEvent(QPaintEvent* e) {
    QPainter painter(this);
    const QImage& picture = renderer_.Picture();
    const double ratio = picture.devicePixelRatio();
    if (ratio == 1.0) {
        painter.drawImage(e->rect(), picture, e->rect());
    } else {
        painter.setClipRect(e->rect());
        painter.drawImage(QPointF(0, 0), picture);
    }
    // Whatever the picture does not cover (only between a resize and its redraw).
    QRegion rest = QRegion(e->rect()).subtracted(QRegion(0, 0, renderer_.Width(), renderer_.Height()));
    for (const QRect& r : rest) painter.fillRect(r, Qt::black);
}

// A press acts where the last movement left the mouse. It does not move the
// mouse itself: that would repeat the action of a button already held.
void MapView::mousePressEvent(QMouseEvent* e) {
    int b = ButtonCode(e->button());
    if (controller_.Enabled && b >= 0) controller_.MouseDown(b);
}

void MapView::mouseReleaseEvent(QMouseEvent* e) {
    int b = ButtonCode(e->button());
    if (controller_.Enabled && b >= 0) controller_.MouseUp(b);
}

void MapView::wheelEvent(QWheelEvent* e) {
    if (controller_.Enabled && OnWheel && OnWheel(*e))
        e->accept();
    else
        e->ignore();
}

void MapView::mouseMoveEvent(QMouseEvent* e) {
    if (controller_.Enabled) controller_.MouseMove(e->position().toPoint().x(), e->position().toPoint().y());
}

}  // namespace zorvane::editor
