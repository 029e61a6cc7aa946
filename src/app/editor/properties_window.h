#pragma once
// MapPropertiesWindow, the "Project Properties" window: map size, singleplayer
// or multiplayer, the tile set path, the creatures and the unused bitmaps.
// The buttons call the project's properties operations; "Apply" hands the
// gathered values to ApplyProperties.

#include <QDialog>
#include <QString>
#include <optional>
#include <string>

#include "commands/lifecycle.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace zorvane::editor {

class ElidedPath;
class MainWindow;

class MapPropertiesWindow : public QDialog {
public:
    explicit MapPropertiesWindow(MainWindow& window);

    // Fills the controls from the project and runs the window modally.
    void Execute();
    // Fills the controls from the project (what Execute does first).
    void Prepare();
    PropertiesChange Change() const;

    void BtnChangeZpClick();
    void BtnResetCreaturesClick();
    void BtnImportCreaturesClick();
    void BtnRemoveUnusedBitmapsClick();
    void BtnApplyClick();

    QSpinBox* SEsizeX;
    QSpinBox* SEsizeY;
    QRadioButton* RBSingle;
    QRadioButton* RBMulti;
    QLabel* Label3;
    QPushButton* BtnChangeZp;
    QLabel* Label4;
    QPushButton* BtnResetCreatures;
    QPushButton* BtnImportCreatures;
    QCheckBox* CBmoveCreatures;
    QSpinBox* SEmoveCrX;
    QSpinBox* SEmoveCrY;
    QLabel* Label5;
    QPushButton* BtnRemoveUnusedBitmaps;
    QPushButton* BtnApply;
    QPushButton* BtnCancel;

private:
    void UpdateZpLabel();
    void UpdateCreaturesLabel();
    void UpdateBitmapsLabel();

    MainWindow& window_;
    std::optional<std::string> newZpPath_;
    ElidedPath* zpLabel_;  // the path in Label3
};

}  // namespace zorvane::editor
