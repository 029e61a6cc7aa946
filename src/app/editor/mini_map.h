#pragma once
// MiniMapWindow, the "Mini Map" tool window: the whole map at two pixels per
// square, drawn from the bitmap quadrant colours, with a grey frame around
// the part the map view shows. A click scrolls the view there. Every Render
// of the view asks for a redraw; a 100 ms timer carries it out.

#include <QImage>
#include <QTimer>
#include <QWidget>

namespace zorvane::editor {

class MainWindow;

// Draws the mini map picture of the project (2 x 2 pixels per square) with
// the view frame; the picture must be MapWidth x 2 by MapHeight x 2.
void DrawMiniMap(QImage& picture, const MainWindow& window);

class MiniMapWindow : public QWidget {
public:
    explicit MiniMapWindow(MainWindow& window);

    // Picture and window size from the map size, then draws.
    void ResizeToMap();
    void RequestRedraw() { dirty_ = true; }
    void ShowCentred();
    const QImage& Picture() const { return picture_; }
    // Draws now when a redraw was asked for (the timer's work).
    void Tick();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void Draw();

    MainWindow& window_;
    QImage picture_;
    QTimer timer_;
    bool dirty_ = false;
    bool placed_ = false;
};

}  // namespace zorvane::editor
