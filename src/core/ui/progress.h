#pragma once
// How a long operation reports its progress: a bar from 0 to 100, the
// hourglass, a line saying what it is doing, and pauses that let pending
// window messages run. An operation that shows the bar hides it again on
// every way out (ProgressScope does this for it).

#include <string_view>

namespace zorvane {

class Progress {
public:
    virtual ~Progress() = default;

    // The progress bars (0..100) and the hourglass cursor.
    virtual void showProgress(bool busy) = 0;
    virtual void hideProgress(bool busy) = 0;
    virtual void setProgressPosition(int position) = 0;
    virtual void setBusy(bool busy) = 0;

    // Lets pending window messages run during a long loop.
    virtual void processEvents() = 0;

    // What the generator's long operations (learning, joins) are doing now,
    // or how they ended; the editor shows it in the generator settings
    // window, the command-line tool on its console.
    virtual void setActivity(std::string_view /*text*/) {}

    // The scale shared by every long operation: prepareProgress(first, last)
    // maps first..last onto 0..100; updateProgress(i, step) moves the bar
    // only when i is a multiple of step.
    void prepareProgress(int first, int last);
    void updateProgress(int i, int step);

private:
    double progressStep_ = 100.0;
    int progressBase_ = 0;
};

// Shows the progress bar for the lifetime of the object.
class ProgressScope {
public:
    explicit ProgressScope(Progress& progress, bool busy = false) : progress_(progress), busy_(busy) {
        progress_.showProgress(busy_);
    }
    ~ProgressScope() { progress_.hideProgress(busy_); }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

private:
    Progress& progress_;
    bool busy_;
};

}  // namespace zorvane
