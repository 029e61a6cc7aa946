#pragma once
// GeneratorSettingsWindow, the "Generator Settings" window. It owns the one map
// generator and its settings; every control shows and edits a field of
// those settings (bound through the table of settings), so learning, the
// data file and a generation run read what the window shows. The window is
// created once with the main window and kept for the whole run.

#include <QDialog>
#include <QScrollArea>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "generator/driver/generation.h"
#include "generator/generator.h"
#include "generator/settings.h"
#include "generator/generator_host.h"
#include "generator/generator_ui.h"
#include "history/attached_data.h"

class QAbstractButton;
class QCheckBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QSlider;
class QSpinBox;

namespace zorvane::generator_ui {

// A scroll area that asks for its whole content's size; its window limits
// it to the screen.
class WholeContentScrollArea : public QScrollArea {
public:
    using QScrollArea::QScrollArea;
    QSize sizeHint() const override;
};

class EqChartPanel;
class SquarePreviewWindow;

class GeneratorSettingsWindow : public QDialog {
public:
    explicit GeneratorSettingsWindow(GeneratorSettingsHost& window);
    ~GeneratorSettingsWindow() override;

    // The session the window shows (its owner's).
    MapGenerator& generator() { return generator_; }
    const MapGenerator& generator() const { return generator_; }
    MapGenerationEngine& engine() { return engine_; }
    GeneratorSettings& settings() { return settings_; }
    UserInterface& ui() { return ui_; }

    // Centres the window on the main window, fitted to the screen, and runs
    // it modally.
    void Execute();
    // Sizes the window for `area` of the screen (its settings scroll when
    // they must) and centres it on the main window inside that area.
    void FitTo(const QRect& area);
    // Puts every setting into its control (after learning or loading).
    void ShowSettings();

    // Window commands.
    void BtnAddZMClick();
    void BtnDelZMClick();
    void BtnClearZMClick();
    void CBselectZpClick();
    void BtnLearnClick();
    void BtnLoadClick();
    void BtnSaveClick();
    void LbackupClick();

    // The *.zm files "Add *.zm files" adds; by default the ODzm dialog with
    // several files at once (tests give their own).
    std::function<std::vector<std::string>()> ChooseZmFiles;

    QListWidget* LBzmPaths;
    QPushButton* BtnAddZM;
    QPushButton* BtnDelZM;
    QPushButton* BtnClearZM;
    QSpinBox* SEzmMultiplier;
    QCheckBox* CBzmConnector;
    QCheckBox* CBselectZp;
    QCheckBox* CBgatherTS;
    QCheckBox* CBlearnFrequencies;
    QPushButton* BtnLearn;
    QPushButton* BtnLoad;
    QPushButton* BtnSave;
    QLabel* Lstatus;
    QSlider* TBfullness;
    QSlider* TBnumOfCombs;
    QCheckBox* CBmaxReturn;
    QLabel* Lbackup;
    QProgressBar* ProgressBar;
    EqChartPanel* Chart;
    QPushButton* BtnClose;
    QScrollArea* Scroll;

protected:
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void CreateControls();
    QGroupBox* CreateLearningGroup();
    QGroupBox* CreateMapGroup();
    QGroupBox* CreateGeneralGroup();
    QGroupBox* CreateCalculationsGroup();
    QGroupBox* CreateRepeatsGroup();
    QGroupBox* CreateCharacteristicsGroup();
    QGroupBox* CreateBackupGroup();
    void ShowLearnedTablesOnClick(SquarePreviewWindow& preview, QPushButton* objects, QPushButton* neighbours);
    void LayOutColumns(const std::vector<std::vector<QGroupBox*>>& columnGroups);
    void BindSettings();
    void MirrorMainProgress();
    void ShowLearnList(int select);
    void LearnEntryChanged();
    void UpdateHints();
    // Runs a command of the window; an exception becomes an error box.
    void Run(const std::function<void()>& command);

    GeneratorSettingsHost& window_;
    GeneratorSession& session_;
    MapGenerator& generator_ = session_.generator();
    GeneratorSettings& settings_ = session_.settings();
    MapGenerationEngine& engine_;
    GeneratorUi ui_;
    std::vector<std::function<void()>> showSetting_;  // one per bound control
};

}  // namespace zorvane::generator_ui
