#pragma once
// What the generator's windows need of the window they belong to (the main
// window implements it): the settings window's owner, the project it learns
// from, the generator session it shows and the engine whose threads generate,
// and for a generation run the map view it redraws and the log it writes.
// The owner outlives the windows that hold it.

#include <functional>

#include "generator/driver/generation.h"
#include "generator/session.h"
#include "model/project.h"
#include "render/map_renderer.h"
#include "ui/ui.h"

class QProgressBar;
class QWidget;

namespace zorvane::generator_ui {

class GeneratorSettingsHost {
public:
    virtual ~GeneratorSettingsHost() = default;
    // The settings window's parent, which it is centred on.
    virtual QWidget& Widget() = 0;
    virtual Project& project() = 0;
    // What the generator learned and its settings, kept beside the document.
    virtual GeneratorSession& generatorSession() = 0;
    // The generator's threads, kept for the life of the program.
    virtual MapGenerationEngine& generationEngine() = 0;
    // The user interface learning and the data file commands ask through.
    virtual UserInterface& ui() = 0;
    virtual double Ppi() const = 0;
    // The bar the settings window's bar mirrors; null when there is none.
    virtual QProgressBar* ProgressBar() = 0;
    // Runs a command with the hourglass cursor and the input locked; an
    // exception becomes an error box.
    virtual void BusyRun(const std::function<void()>& command) = 0;
    // Around learning and loading (the crash recovery follows them).
    virtual void LongOperationStarts() = 0;
    virtual void LongOperationEnded() = 0;
};

class RunReportHost {
public:
    virtual ~RunReportHost() = default;
    // "Update Display": the view follows the run.
    virtual bool UpdateDisplay() const = 0;
    virtual const render::MapRenderer& renderer() const = 0;
    // Draws map columns x0..x1 and rows y0..y1 of the view.
    virtual void Render(int x0, int x1, int y0, int y1, int dx, int dy) = 0;
    // Writes the log lines held so far; throws when the file cannot be written.
    virtual void WriteLogLinesToFile() = 0;
};

}  // namespace zorvane::generator_ui
