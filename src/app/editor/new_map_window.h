#pragma once
// NewMapWindow, the "New map" window: size without borders, singleplayer or
// multiplayer, optional fill with a bitmap or a tile, and the tile set file.
// It gathers the values and hands them to the project's CreateNewMap.

#include <QDialog>
#include <QString>

#include "commands/lifecycle.h"

class QCheckBox;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace zorvane::editor {

class ElidedPath;
class MainWindow;

class NewMapWindow : public QDialog {
public:
    explicit NewMapWindow(MainWindow& window);

    // Centres the window on the main window and runs it modally.
    void Execute();
    // The values of the controls as "Create" hands them on.
    NewMapSettings Settings() const;
    // The chosen tile set path, empty until one is chosen.
    const QString& ZpPath() const { return zpPath_; }

    void BtnSelectZPClick();
    void BtnCreateClick();

    QSpinBox* SEsizeX;
    QSpinBox* SEsizeY;
    QRadioButton* RBSingle;
    QRadioButton* RBMulti;
    QCheckBox* CBfillMap;
    QSpinBox* SEfill;
    QCheckBox* CBfillMapWithTile;
    QSpinBox* SEfillWithTile;
    QPushButton* BtnSelectZP;
    QPushButton* BtnCreate;
    QPushButton* BtnCancel;

private:
    MainWindow& window_;
    QString zpPath_;
    ElidedPath* zpShown_;  // the chosen path on BtnSelectZP
};

// A spin edit over min..max starting at value.
QSpinBox* MakeSpinEdit(const char* name, int min, int max, int value, QWidget* parent);
// Shows `dialog` modally, centred on `over`.
void ExecCentred(QDialog& dialog, QWidget& over);

}  // namespace zorvane::editor
