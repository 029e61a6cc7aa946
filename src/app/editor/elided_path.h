#pragma once
// A file path shown on a label or a button narrower than the path: cut in
// the middle ("/home/maps/.../terrain.zp"), so that both the start of the
// folder and the file name stay readable, and cut again whenever the widget
// is resized; the whole path is the widget's tooltip.

#include <QObject>
#include <QString>

class QFontMetrics;
class QWidget;

namespace zorvane::editor {

// `path` cut in the middle to at most `width` pixels of `metrics`.
QString ElideMiddle(const QString& path, const QFontMetrics& metrics, int width);

class ElidedPath : public QObject {
public:
    // `widget` is a QLabel or a QAbstractButton; the helper lives as its
    // child. The widget keeps the width its present text needs as its
    // minimum, so that a long path never widens the window.
    explicit ElidedPath(QWidget* widget);

    // Shows `path` between the fixed texts `before` and `after` (which may
    // hold line breaks); an empty path shows `before` and `after` alone and
    // clears the tooltip.
    void SetPath(const QString& path, const QString& before = {}, const QString& after = {});
    const QString& Path() const { return path_; }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void Show();
    // The pixels the path may take on the widget.
    int AvailableWidth() const;

    QWidget* widget_;
    QString path_;
    QString before_;
    QString after_;
};

}  // namespace zorvane::editor
