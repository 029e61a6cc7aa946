#pragma once
// The about box (a picture in a borderless window centred on the main
// window, closed by a click) and the tutorials window.

#include <QPointer>
#include <QWidget>

namespace zorvane::info {

// Shows the about box centred over `mainWindow`: the one in `box` while it
// exists, else a new one, kept in `box`. A click closes and deletes it,
// which clears `box`.
void ShowAbout(QWidget* mainWindow, QPointer<QWidget>& box);
// The tutorials window, modal.
void ShowTutorials(QWidget* mainWindow);

}  // namespace zorvane::info
