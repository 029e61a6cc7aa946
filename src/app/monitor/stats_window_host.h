#pragma once
// What the statistics window needs of the window it belongs to (the main
// window implements it): a parent to stay above and be placed beside, the
// screen's pixels per inch, the project's map size for the charts, and the
// input controller that takes the keys pressed in it. The owner outlives
// the statistics window.

#include "model/project.h"

class QKeyEvent;
class QWidget;

namespace zorvane::editor {

class StatsWindowHost {
public:
    virtual ~StatsWindowHost() = default;
    virtual QWidget& Widget() = 0;
    virtual double Ppi() const = 0;
    virtual const Project& project() const = 0;
    // A key pressed or released in the statistics window, for the input
    // controller (which ignores it while it is disabled).
    virtual void PassKey(const QKeyEvent& key) = 0;
};

}  // namespace zorvane::editor
