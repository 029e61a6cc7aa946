#include "info/about_box.h"

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>

namespace zorvane::info {
namespace {

class AboutBox : public QWidget {
public:
    explicit AboutBox(QWidget* parent) : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint) {
        setObjectName(QStringLiteral("AboutBox"));
        setAttribute(Qt::WA_DeleteOnClose);
        setFixedSize(360, 200);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        QLinearGradient g(0, 0, 0, height());
        g.setColorAt(0, QColor(40, 70, 40));
        g.setColorAt(1, QColor(20, 30, 60));
        p.fillRect(rect(), g);
        p.setPen(QColor(230, 220, 160));
        QFont f(QStringLiteral("Arial"), 18, QFont::Bold);
        p.setFont(f);
        p.drawText(rect().adjusted(0, 40, 0, 0), Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("Zorvane Terrain Editor"));
        f.setPointSize(9);
        f.setBold(false);
        p.setFont(f);
        p.drawText(rect().adjusted(0, 90, 0, 0), Qt::AlignHCenter | Qt::AlignTop,
                   QStringLiteral("Map editor and map generator\n\n(click or press a key to close)"));
        p.setPen(QColor(230, 220, 160));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    void mousePressEvent(QMouseEvent*) override { close(); }
    // A key closes the box, and is not lost: Esc only closes it, any other
    // key (a modifier held for a shortcut waits for its key) does in the
    // main window what it does there.
    void keyPressEvent(QKeyEvent* e) override {
        const int key = e->key();
        if (key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta) return;
        close();
        if (key != Qt::Key_Escape) PassOn(*e);
    }

private:
    // A menu shortcut runs its command once the box is gone; another key
    // goes to the main window as if typed there.
    void PassOn(const QKeyEvent& e) {
        QWidget* window = parentWidget();
        if (!window) return;
        window->activateWindow();
        const QKeySequence typed(e.keyCombination());
        const auto actions = window->findChildren<QAction*>();
        auto shortcut = std::find_if(actions.begin(), actions.end(),
                                     [&](QAction* a) { return a->isEnabled() && a->shortcut() == typed; });
        if (shortcut != actions.end()) {
            QTimer::singleShot(0, *shortcut, &QAction::trigger);
            return;
        }
        QKeyEvent copy(e.type(), e.key(), e.modifiers(), e.text(), e.isAutoRepeat());
        QCoreApplication::sendEvent(window, &copy);
    }
};

}  // namespace

void ShowAbout(QWidget* mainWindow, QPointer<QWidget>& box) {
    if (!box) box = new AboutBox(mainWindow);
    box->move(mainWindow->geometry().center() - box->rect().center());
    box->show();
    box->raise();
    box->activateWindow();  // the keyboard goes to the box, which passes it on
}

void ShowTutorials(QWidget* mainWindow) {
    QDialog dialog(mainWindow);
    dialog.setObjectName(QStringLiteral("TFTutorials"));
    dialog.setWindowTitle(QStringLiteral("Tutorials"));
    auto* layout = new QVBoxLayout(&dialog);
    for (const char* text : {"<a href=\"https://zorvane.example.org/tutorials/editor\">Editing maps</a>",
                             "<a href=\"https://zorvane.example.org/tutorials/generator\">Generating maps</a>"}) {
        auto* link = new QLabel(QString::fromLatin1(text), &dialog);
        link->setOpenExternalLinks(true);
        layout->addWidget(link);
    }
    auto* close = new QPushButton(QStringLiteral("Close"), &dialog);
    QObject::connect(close, &QPushButton::clicked, &dialog, &QDialog::accept);
    layout->addWidget(close);
    // Sized to its texts, but never so small that the caption is cut.
    dialog.adjustSize();
    const int captionRoom = dialog.fontMetrics().horizontalAdvance(dialog.windowTitle()) + 160;
    dialog.resize(dialog.size().expandedTo(QSize(std::max(320, captionRoom), 140)));
    dialog.move(mainWindow->geometry().center() - dialog.rect().center());
    dialog.exec();
}

}  // namespace zorvane::info
