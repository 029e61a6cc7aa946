#pragma once
// ImgRender: the widget that shows the render picture and passes its mouse
// events to the input controller.

#include <QWidget>
#include <functional>

class QWheelEvent;

namespace zorvane::render {
class MapRenderer;
}

namespace zorvane::editor {

class InputController;

class MapView : public QWidget {
public:
    MapView(const render::MapRenderer& renderer, InputController& controller, QWidget* parent);

    // The wheel over the view (scrolling and zoom); true when used.
    std::function<bool(const QWheelEvent&)> OnWheel;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    const render::MapRenderer& renderer_;
    InputController& controller_;
};

}  // namespace zorvane::editor
