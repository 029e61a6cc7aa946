#pragma once
// MoveTileWindow, the "Move Selected Tile" dialog: asks for the position in the
// tiles list to move the selected tile to. The spin edit keeps its value
// from one use to the next.

#include <QDialog>

class QLabel;
class QPushButton;
class QSpinBox;

namespace zorvane::editor {

class MoveTileWindow : public QDialog {
public:
    explicit MoveTileWindow(QWidget& mainWindow);

    // Runs the dialog modally, centred on the main window, with positions
    // 0 .. tileCount - 1 to choose from; the chosen position, or -1 when
    // cancelled.
    int Execute(int tileCount);

    QLabel* Label1;
    QSpinBox* SEnewPos;
    QPushButton* BtnMove;
    QPushButton* BtnCancel;

private:
    QWidget& mainWindow_;
};

}  // namespace zorvane::editor
