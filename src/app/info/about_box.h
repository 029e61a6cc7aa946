#pragma once
// The about box (a picture in a borderless window centred on the main
// window, closed by a click or a key) and the tutorials window.

#include <QPointer>
#include <QWidget>

namespace zorvane::info {

// Shows the about box centred over `mainWindow`: the one in `box` while it
// exists, else a new one, kept in `box`. A click or a key closes and
// deletes it, which clears `box`; a key other than Esc then does its work in
// the main window.
void ShowAbout(QWidget* mainWindow, QPointer<QWidget>& box);
// The tutorials window, modal, centred on `mainWindow`.
void ShowTutorials(QWidget* mainWindow);

}  // namespace zorvane::info
