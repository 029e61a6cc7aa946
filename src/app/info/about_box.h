#pragma once
// The about box (a picture in a borderless window centred on the main
// window, closed by a click) and the tutorials window.

class QWidget;

namespace zorvane::info {

// Shows the about box over `mainWindow`; returns it (it deletes itself when closed).
QWidget* ShowAbout(QWidget* mainWindow);
// The tutorials window, modal.
void ShowTutorials(QWidget* mainWindow);

}  // namespace zorvane::info
