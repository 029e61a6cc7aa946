#include "info/about_box.h"

#include <QDialog>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

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
                   QStringLiteral("Map editor and map generator\n\n(click to close)"));
        p.setPen(QColor(230, 220, 160));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    void mousePressEvent(QMouseEvent*) override { close(); }
};

}  // namespace

void ShowAbout(QWidget* mainWindow, QPointer<QWidget>& box) {
    if (!box) box = new AboutBox(mainWindow);
    box->move(mainWindow->geometry().center() - box->rect().center());
    box->show();
    box->raise();
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
    dialog.exec();
}

}  // namespace zorvane::info
