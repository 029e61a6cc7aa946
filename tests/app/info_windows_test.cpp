// The about box and the tutorials window as a new user meets them: the about
// box shown at start gives way to the keyboard (Esc closes it, a shortcut
// still does its work), and the tutorials window opens large enough to read.

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "editor_fixture.h"

namespace zorvane::testing {
namespace {

// Where a key typed now arrives: the focused control, else the active window.
QWidget* KeyboardTarget(QWidget& fallback) {
    if (QWidget* w = QApplication::focusWidget()) return w;
    if (QWidget* w = QApplication::activeWindow()) return w;
    return &fallback;
}

class AboutAtStartTest : public ::testing::Test {
protected:
    AboutAtStartTest() : window(true) {
        window.ui().setAnswerer(&dialogs);
        window.resize(1000, 700);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window) || QApplication::activeWindow());
        QApplication::processEvents();
        box = window.findChild<QWidget*>(QStringLiteral("AboutBox"));
    }
    void Type(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(KeyboardTarget(window), key, modifiers);
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    bool BoxShown() const { return box && box->isVisible(); }

    ScriptedDialogs dialogs;
    editor::MainWindow window;
    QPointer<QWidget> box;
};

// A box opened at start (the recovery offer) comes first: the about box
// raised over it could hide it behind the main window; it greets the user
// once that box is answered.
TEST(AboutAtStart, WaitsForABoxOpenAtStart) {
    editor::MainWindow window(true);
    auto activate = [&] {
        QEvent e(QEvent::WindowActivate);
        QApplication::sendEvent(&window, &e);
        return QPointer<QWidget>(window.findChild<QWidget*>(QStringLiteral("AboutBox")));
    };
    QPointer<QWidget> duringBox;
    bool boxSeen = false;
    QMessageBox offer(QMessageBox::Question, QStringLiteral("Recovery"), QStringLiteral("Open it?"), QMessageBox::Ok,
                      &window);
    QTimer::singleShot(0, [&] {
        boxSeen = QApplication::activeModalWidget() == &offer;
        duringBox = activate();
        offer.accept();
    });
    offer.exec();
    ASSERT_TRUE(boxSeen);
    EXPECT_TRUE(duringBox.isNull()) << "no about box over the open box";
    EXPECT_FALSE(activate().isNull()) << "the about box once the box is answered";
}

TEST_F(AboutAtStartTest, EscClosesTheBoxShownAtStart) {
    ASSERT_TRUE(BoxShown()) << "the about box greets the user";
    Type(Qt::Key_Escape);
    EXPECT_FALSE(BoxShown());
    EXPECT_TRUE(dialogs.dialogs.empty());
}

TEST_F(AboutAtStartTest, AShortcutTypedWhileTheBoxShowsDoesItsWork) {
    ASSERT_TRUE(BoxShown());
    Type(Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(dialogs.dialogs.size(), 1u) << "Ctrl+O asked for a layered project";
    EXPECT_EQ(dialogs.dialogs[0].name, "ODzl");
    EXPECT_FALSE(BoxShown()) << "the box gave way to the work";

    // The same for the box shown again from the Help menu, and the next
    // shortcut is not lost either.
    window.Action("MAbout")->trigger();
    QApplication::processEvents();
    box = window.findChild<QWidget*>(QStringLiteral("AboutBox"));
    ASSERT_TRUE(BoxShown());
    Type(Qt::Key_I, Qt::ControlModifier);
    ASSERT_EQ(dialogs.dialogs.size(), 2u);
    EXPECT_EQ(dialogs.dialogs[1].name, "ODzm");
    Type(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(dialogs.dialogs.size(), 3u);
}

TEST_F(EditorTest, TutorialsWindowOpensReadableAndCentred) {
    bool ran = false;
    WhenModal([&] {
        auto* w = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(w, nullptr);
        ran = true;
        EXPECT_EQ(w->objectName(), QStringLiteral("TFTutorials"));
        // Room for the caption beside the title bar's buttons, and for every text.
        EXPECT_GE(w->width(), w->fontMetrics().horizontalAdvance(w->windowTitle()) + 150);
        EXPECT_GE(w->height(), 120);
        for (QLabel* link : w->findChildren<QLabel*>()) EXPECT_GE(link->width(), link->sizeHint().width());
        EXPECT_LE((w->geometry().center() - window.geometry().center()).manhattanLength(), 4);
        QPushButton* close = w->findChild<QPushButton*>();
        ASSERT_NE(close, nullptr);
        QTest::mouseClick(close, Qt::LeftButton);
    });
    Trigger("MTutorials");
    EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace zorvane::testing
