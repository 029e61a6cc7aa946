#pragma once
// The document: the one project being edited, its undo history, the file it
// belongs to and whether it has changed since it was last saved or opened,
// and the data attached to it from outside (the generator's learned data,
// see history/attached_data.h), which undo and redo carry with it.
//
// Whoever changes the project records the change (Record) before the next
// Undo, Redo or save; an undo or redo tells the observer (the windows) what
// it changed; opening, resetting or recovering a project tells the
// document (Opened), so that the history starts over at that project.
// Open reads into a project of its own and takes it in only when the
// reading succeeded: a failed open leaves the project, its history and its
// file as they were, and the windows are told nothing of the half-read one.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "history/attached_data.h"
#include "history/history.h"
#include "model/project.h"
#include "ui/changes.h"
#include "ui/ui.h"

namespace zorvane {

// Whether the project as it is now counts as saved (opened from its file,
// reset) or as never saved (a recovered copy of unsaved changes).
enum class SavedMark { Clean, Unsaved };

class Document {
public:
    explicit Document(std::size_t historyLimit = DefaultHistoryLimit) : history_(historyLimit) {
        history_.Reset(project_);
    }
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    Project& project() { return project_; }
    const Project& project() const { return project_; }
    const History& history() const { return history_; }

    // The data that goes with the project (null: none), attached before the
    // first step; undo and redo put back the copy each position holds.
    void Attach(AttachedData* data);
    AttachedData* Attached() const { return attached_; }

    // The file the project was last opened from or saved to; empty for none.
    const std::string& File() const { return history_.File(); }
    // Whether the project differs from what was last saved or opened.
    bool Modified() const { return history_.Modified(); }

    // While `paused` says so (a drag in progress, whose whole gesture is one
    // step recorded as it ends), Record and the saves record nothing.
    void PauseRecordingWhile(std::function<bool()> paused) { paused_ = std::move(paused); }
    // Keeps what the last command changed in `parts` as one undo step named
    // `name`; true when there was a change. WhenStepsChange hears of it
    // either way, so that the Undo and Redo captions follow.
    bool Record(std::string_view name, Parts parts = Parts::All, ListFocus focus = {});
    // Records whatever changed the project without being recorded yet, as
    // a step of its own ("Change"): nothing may change under the history
    // unrecorded before an undo, a redo or a command that is one step.
    bool RecordPending() { return Record("Change"); }
    // Records a command given during a paused gesture that changes only
    // `parts` the gesture leaves alone (the tiles list during a drag on the
    // map): its step is kept at once, the gesture's own changes stay for the
    // step that ends it.
    bool RecordBesideGesture(std::string_view name, Parts parts, ListFocus focus = {});
    // Who hears what undo and redo change (null: nobody); it outlives the
    // document or is taken off first.
    void Observe(ChangeObserver* observer) { observer_ = observer; }
    // Who hears that a command ended and was recorded as a step (true), or
    // ended with nothing to record, or made a project of no file yet (false):
    // the undo and redo captions and the title's saved mark follow.
    void WhenStepsChange(std::function<void(bool stepAdded)> listener) { stepsChanged_ = std::move(listener); }
    // One step back or forward (the file name goes with it), told to the
    // observer; false when there was none. What changed unrecorded before
    // is recorded first (RecordPending), so it is what an undo takes back.
    bool Undo();
    bool Redo();

    // The project as it is now was opened from `file` ("" for none: a reset,
    // the start): a new history at this position.
    void Opened(const std::string& file, SavedMark mark = SavedMark::Clean);
    // The last step made a project of no file yet (a new or generated map);
    // undoing it brings back the file before. WhenStepsChange hears of it.
    void StartUnnamed();
    // A save of the project to `file` ended; what the save changed itself
    // (the bitmaps' rows put in file order) goes with the step before it.
    void Saved(const std::string& file);
    // A save that failed or was cancelled may still have changed the
    // project (as above); no file is marked saved.
    void SaveEnded();

    // Reads a project with `read`, which fills the empty project it is given
    // and reports to the user through the interface it is given; true when
    // it succeeded. Only then is the read project taken in (as opened from
    // `file`, saved or not as `mark` says), the generator told of the tile
    // set read, and the windows told what changed. A failure leaves
    // everything as it was.
    using Reader = std::function<bool(Project& read, UserInterface& ui)>;
    bool Open(UserInterface& ui, const Reader& read, const std::string& file, SavedMark mark = SavedMark::Clean);

private:
    Project project_;
    History history_;
    AttachedData* attached_ = nullptr;  // not owned
    ChangeObserver* observer_ = nullptr;  // not owned
    bool Step(Direction direction);
    std::function<bool()> paused_;
    std::function<void(bool)> stepsChanged_;
    bool Paused() const { return paused_ && paused_(); }
};

}  // namespace zorvane
