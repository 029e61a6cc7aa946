// The "Generator Settings" window driven by the user: the learning list,
// learning the sample maps, saving and loading the generator data, every
// setting's control, the close checks and the progress bar.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <map>

#include "editor_fixture.h"
#include "generator/eq_chart_panel.h"
#include "generator/generator_settings.h"
#include "generator/settings_table.h"
#include "samples/samples.h"

namespace zorvane::testing {
namespace {

using generator_ui::GeneratorSettingsWindow;

class GeneratorSettingsTest : public EditorTest {
protected:
    GeneratorSettingsWindow& Gen() { return window.generatorSettingsWindow(); }

    // Opens the window from the menu, runs `steps` in it and closes it.
    void InWindow(const std::function<void(GeneratorSettingsWindow&)>& steps) {
        bool ran = false;
        WhenModal([&] {
            ran = Gen().isVisible();
            steps(Gen());
            if (Gen().isVisible()) QTest::mouseClick(Gen().BtnClose, Qt::LeftButton);
        });
        Trigger("MGeneratorSettings");
        EXPECT_TRUE(ran);
        EXPECT_FALSE(Gen().isVisible());
    }

    // The sample content's zmpe folder with its maps and tile set.
    std::string WriteSamples() {
        samples::WriteSampleFiles(samples::BuildSampleFiles(dir.file("samples"), 3));
        return dir.file("samples") + "/zmpe/";
    }

    static void Type(QWidget* w, const QString& text) {
        w->setFocus();
        QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(w, text);
    }

    static void ClickRow(QListWidget* list, int row) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    }

    static QStringList Lines(QListWidget* list) {
        QStringList lines;
        for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
        return lines;
    }

    // What every control of the table of settings shows, with the learning
    // list and the chart's points.
    std::map<std::string, std::string> Shown() {
        std::map<std::string, std::string> shown;
        for (const SettingRow& row : GeneratorSettingRows()) {
            const std::string name(row.Control);
            QWidget* w = Gen().findChild<QWidget*>(QString::fromStdString(name));
            if (auto* se = qobject_cast<QSpinBox*>(w)) shown[name] = std::to_string(se->value());
            if (auto* tb = qobject_cast<QSlider*>(w)) shown[name] = std::to_string(tb->value());
            if (auto* b = qobject_cast<QAbstractButton*>(w)) shown[name] = b->isChecked() ? "on" : "off";
            if (auto* e = qobject_cast<QLineEdit*>(w)) shown[name] = e->text().toStdString();
            if (auto* l = qobject_cast<QLabel*>(w)) shown[name] = l->text().toStdString();
            EXPECT_TRUE(shown.count(name)) << name << " has no control";
        }
        shown["list"] = Lines(Gen().LBzmPaths).join('|').toStdString();
        const ObjectSizeChart& chart = Gen().settings().ObjectChart;
        for (int i = 0; i < chart.GetPointsCount(); ++i) {
            auto [x, y] = chart.GetPointData(i);
            shown["chart"] += std::to_string(x) + "," + std::to_string(y) + " ";
        }
        return shown;
    }

    // Moves every setting's control off its value with the mouse and keys,
    // as a user would; the value typed into number n is its minimum + `step`.
    void ChangeEveryControl(int step, const std::string& backupPath) {
        for (const SettingRow& row : GeneratorSettingRows()) {
            QWidget* w = Gen().findChild<QWidget*>(QString::fromLatin1(row.Control.data(), row.Control.size()));
            SCOPED_TRACE(std::string(row.Control));
            if (auto* se = qobject_cast<QSpinBox*>(w)) {
                Type(se, QString::number(std::min(row.Range.Min + step, row.Range.Max)));
            } else if (auto* tb = qobject_cast<QSlider*>(w)) {
                tb->setFocus();
                QTest::keyClick(tb, Qt::Key_Home);
                for (int i = 0; i < step; ++i) QTest::keyClick(tb, Qt::Key_Right);
            } else if (auto* rb = qobject_cast<QRadioButton*>(w)) {
                QRadioButton* target = rb;  // the other of the pair when this one is checked
                if (rb->isChecked())
                    for (auto* other : rb->parentWidget()->findChildren<QRadioButton*>())
                        if (other != rb && other->group() == rb->group() && other->parentWidget() == rb->parentWidget())
                            target = other;
                QTest::mouseClick(target, Qt::LeftButton);
            } else if (auto* cb = qobject_cast<QCheckBox*>(w)) {
                if (cb == Gen().CBselectZp && !cb->isChecked()) dialogs.files.push_back(backupPath + ".zp");
                QTest::mouseClick(cb, Qt::LeftButton);
            } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
                Type(e, QString("%1-1; %2-3").arg(step * 10).arg(step * 100));
            } else if (auto* l = qobject_cast<QLabel*>(w)) {
                dialogs.files.push_back(backupPath + std::to_string(step));
                QTest::mouseClick(l, Qt::LeftButton);
            }
        }
    }
};

TEST_F(GeneratorSettingsTest, LearnsTheSamplesThenSavesAndLoadsEveryControl) {
    const std::string zmpe = WriteSamples();
    EXPECT_FALSE(window.GeneratorHasData());
    std::map<std::string, std::string> saved;
    InWindow([&](GeneratorSettingsWindow& w) {
        EXPECT_TRUE(w.BtnAddZM->toolTip().contains('\n')) << "the hint's \\r is a new line";
        // The learning list: three maps added, one deleted, the connector marked.
        w.ChooseZmFiles = [&] {
            return std::vector<std::string>{zmpe + "meadow.zm", zmpe + "village.zm", zmpe + "lakes.zm"};
        };
        QTest::mouseClick(w.BtnAddZM, Qt::LeftButton);
        w.ChooseZmFiles = [&] { return std::vector<std::string>{zmpe + "grass_connector.zm"}; };
        QTest::mouseClick(w.BtnAddZM, Qt::LeftButton);
        ClickRow(w.LBzmPaths, 1);
        QTest::mouseClick(w.BtnDelZM, Qt::LeftButton);
        EXPECT_EQ(w.SEzmMultiplier->value(), 1);
        ClickRow(w.LBzmPaths, 2);
        QTest::mouseClick(w.CBzmConnector, Qt::LeftButton);
        ClickRow(w.LBzmPaths, 1);
        Type(w.SEzmMultiplier, "3");
        EXPECT_EQ(Lines(w.LBzmPaths), QStringList({"meadow.zm [multi=1]", "lakes.zm [multi=3]",
                                                   "grass_connector.zm [multi=1] [connector]"}));
        ClickRow(w.LBzmPaths, 2);
        EXPECT_TRUE(w.CBzmConnector->isChecked());
        EXPECT_EQ(w.SEzmMultiplier->value(), 1);

        // The progress bar follows the main window's while the window shows.
        window.ui().showProgress(false);
        window.ui().setProgressPosition(40);
        EXPECT_TRUE(w.ProgressBar->isVisible());
        EXPECT_EQ(w.ProgressBar->value(), 40);
        window.ui().hideProgress(false);
        EXPECT_FALSE(w.ProgressBar->isVisible());

        QTest::mouseClick(w.BtnLearn, Qt::LeftButton);
        ASSERT_TRUE(w.generator().Ready()) << w.Lstatus->text().toStdString();
        EXPECT_TRUE(window.GeneratorHasData());
        EXPECT_GT(w.settings().ObjectChart.Largest(), 0) << "the chart's range is the largest object";
        EXPECT_NE(w.CBmaxReturn->toolTip().indexOf('\n'), -1) << "the hint recommends a value";

        ChangeEveryControl(1, dir.file("backup"));
        saved = Shown();
        dialogs.files.push_back(dir.file("preset.zg"));
        QTest::mouseClick(w.BtnSave, Qt::LeftButton);
        ASSERT_TRUE(FileExists(dir.file("preset.zg"))) << window.ui().status();

        ChangeEveryControl(2, dir.file("other"));
        QTest::mouseClick(w.BtnClearZM, Qt::LeftButton);
        EXPECT_NE(Shown(), saved);
        const int joins = w.generator().JoinsCount;
        dialogs.files.push_back(dir.file("preset.zg"));
        QTest::mouseClick(w.BtnLoad, Qt::LeftButton);
        EXPECT_TRUE(dialogs.Saw("Warning", "This operation may affect the current project!"));
        EXPECT_EQ(Shown(), saved);
        EXPECT_EQ(w.Lstatus->text().toStdString(), std::to_string(joins) + " joins found.");
        EXPECT_EQ(w.generator().JoinsCount, joins);
    });
    EXPECT_TRUE(window.GeneratorHasData());
    EXPECT_EQ(window.Panel(0).toStdString(), "Generator data loaded.");
}

TEST_F(GeneratorSettingsTest, ClosingChecksTheScheduleAndTheBackupFolder) {
    InWindow([&](GeneratorSettingsWindow& w) {
        auto* schedule = w.findChild<QLineEdit*>("EPlannedRepeats");
        Type(schedule, "100-1; 500");
        dialogs.answers.push_back(Answer::No);
        QTest::mouseClick(w.BtnClose, Qt::LeftButton);
        EXPECT_TRUE(w.isVisible());
        EXPECT_TRUE(dialogs.Saw("Warning", "Improper repeats format. Do you want to set it default?"));
        EXPECT_EQ(schedule->text(), "100-1; 500");
        dialogs.answers.push_back(Answer::Yes);
        QTest::mouseClick(w.BtnClose, Qt::LeftButton);
        EXPECT_TRUE(w.isVisible());
        EXPECT_FALSE(CheckRepeats(schedule->text().toStdString())) << "a valid schedule was put in";
        EXPECT_EQ(w.settings().ScheduleOfRepeats, schedule->text().toStdString());

        // No backup path yet: the label says how to choose one.
        EXPECT_EQ(w.Lbackup->text(), "[click to choose path/name]");
        EXPECT_TRUE(w.settings().BackupPath.empty());
        // A backup option without its folder: Yes unchecks both boxes, Esc tries again.
        auto* backup = w.findChild<QCheckBox*>("CBbackup");
        auto* completed = w.findChild<QCheckBox*>("CBsaveCompleted");
        QTest::mouseClick(backup, Qt::LeftButton);
        QTest::mouseClick(completed, Qt::LeftButton);
        dialogs.answers.push_back(Answer::No);
        QTest::keyClick(&w, Qt::Key_Escape);
        EXPECT_TRUE(w.isVisible());
        EXPECT_TRUE(dialogs.Saw("Warning", "The backup directory doesn't exist. Uncheck this option?"));
        EXPECT_TRUE(backup->isChecked());
        dialogs.answers.push_back(Answer::Yes);
        QTest::keyClick(&w, Qt::Key_Escape);
        EXPECT_TRUE(w.isVisible());
        EXPECT_FALSE(backup->isChecked());
        EXPECT_FALSE(completed->isChecked());
        EXPECT_FALSE(w.settings().Backup);
    });
    EXPECT_EQ(dialogs.messages.size(), 4u);
}

// Fitted to a large screen before it was ever shown, the window holds its
// whole content: no scroll bar, nothing cut at the right.
TEST_F(GeneratorSettingsTest, OnALargeScreenTheFirstShowingNeedsNoScrollBar) {
    GeneratorSettingsWindow& w = Gen();
    ASSERT_FALSE(w.isVisible());
    w.ShowSettings();
    w.FitTo(QRect(0, 0, 3000, 2000));
    w.show();
    QTest::qWait(50);
    EXPECT_FALSE(w.Scroll->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(w.Scroll->verticalScrollBar()->isVisible());
    EXPECT_GE(w.Scroll->viewport()->width(), w.Scroll->widget()->minimumSizeHint().width());
    w.hide();
}

// Scrolls `area` so that the whole of `c` shows (ensureWidgetVisible
// shows only the cursor of an edit control).
void ScrollToWhole(QScrollArea& area, QWidget* c) {
    const QPoint at = c->mapTo(area.widget(), QPoint());
    area.ensureVisible(at.x() + c->width() / 2, at.y() + c->height() / 2, (c->width() + 1) / 2, (c->height() + 1) / 2);
}

// The window opens on the screen; on a screen smaller than its settings
// (1366 x 768 at scale 2) it stays there, "Close" in sight, and scrolls
// every control into sight, the chart and its "Set" too.
TEST_F(GeneratorSettingsTest, TheWindowFitsASmallScreenAndScrollsToEveryControl) {
    window.move(300, 200);
    InWindow([&](GeneratorSettingsWindow& w) {
        EXPECT_TRUE(w.screen()->availableGeometry().contains(w.frameGeometry()));
        const QRect area(40, 20, 1366 / 2, 768 / 2);
        ASSERT_GT(w.Scroll->widget()->sizeHint().height(), area.height()) << "the area is smaller than the settings";
        w.FitTo(area);
        QTest::qWait(50);  // the scroll bars follow the new size
        EXPECT_TRUE(area.contains(w.frameGeometry())) << "on the screen";
        auto inSight = [&](QWidget* c) {
            return w.rect().contains(QRect(c->mapTo(&w, QPoint()), c->size())) &&
                   (!w.Scroll->isAncestorOf(c) ||
                    w.Scroll->viewport()->rect().contains(QRect(c->mapTo(w.Scroll->viewport(), QPoint()), c->size())));
        };
        EXPECT_TRUE(inSight(w.BtnClose));
        int controls = 0;
        for (QWidget* c : w.findChildren<QWidget*>()) {
            const bool control = qobject_cast<QAbstractButton*>(c) || qobject_cast<QAbstractSpinBox*>(c) ||
                                 qobject_cast<QSlider*>(c) || c == w.Chart->ImgObjChart;
            if (!control || !c->isVisibleTo(&w) || !w.Scroll->isAncestorOf(c)) continue;
            ++controls;
            ScrollToWhole(*w.Scroll, c);
            EXPECT_TRUE(inSight(c)) << c->objectName().toStdString();
        }
        EXPECT_GT(controls, 30);
        ScrollToWhole(*w.Scroll, w.Chart->BtnMovePoint);
        EXPECT_TRUE(inSight(w.Chart->BtnMovePoint));
    });
}

}  // namespace
}  // namespace zorvane::testing
