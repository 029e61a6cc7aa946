#pragma once
// The undo history of a project: a list of named steps, each holding what
// one user command changed (see project_change.h), bounded by the memory
// the steps take (the oldest dropped first), and the position at which the
// project was last saved or opened, which tells whether it has unsaved
// changes.
//
// The history keeps an image of the project as the last step left it.
// After a command, Record compares the project with that image and keeps
// the difference as one step; a command that changed nothing leaves no
// step. Every change to the project must be recorded (or the history reset)
// before the next Undo or Redo, which work on the project as the image shows
// it.
//
// Data attached to the project from outside (the generator's learned data,
// see attached_data.h) is part of the image too: a step that changed it
// keeps a copy, and Undo and Redo put that copy back with the project.

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "history/project_change.h"
#include "model/project.h"

namespace zorvane {

inline constexpr std::size_t DefaultHistoryLimit = std::size_t{256} << 20;

// The tiles list entry a command worked on, before and after it (-1: none),
// so that undo and redo select the entry they move.
struct ListFocus {
    int Before = -1;
    int After = -1;
};

class History {
public:
    explicit History(std::size_t limitBytes = DefaultHistoryLimit) : limit_(limitBytes) {}

    // Data outside the project that goes with it (null: none); given before
    // the first step, it is copied as it is now.
    void Attach(AttachedData* data);
    // Forgets every step; the project as it is now counts as saved (after
    // opening a file, a reset, at the start).
    void Reset(const Project& project);
    // Keeps what changed in `parts` since the last step as a step named
    // `name`; true when there was a change. Steps that could be redone are
    // dropped.
    bool Record(const Project& project, std::string_view name, Parts parts = Parts::All, ListFocus focus = {});
    // Records what a command changed without the user asking for it (a save
    // that puts the bitmaps' rows in file order): a step of its own that
    // Undo takes back together with the step before it, and Redo does again
    // together with that step.
    bool RecordAlong(const Project& project);

    bool CanUndo() const { return UndoStep() != nullptr; }
    bool CanRedo() const { return position_ < steps_.size(); }
    // The names of the steps that Undo and Redo would take ("" when none).
    std::string UndoName() const { return CanUndo() ? UndoStep()->Name : std::string(); }
    std::string RedoName() const { return CanRedo() ? steps_[position_].Name : std::string(); }
    // Take back or do again one step; the selection is emptied first. False
    // when there was nothing to do.
    bool Undo(Project& project);
    bool Redo(Project& project);
    // The parts of the project that the last Undo or Redo changed.
    Parts LastTouched() const { return lastTouched_; }
    // The tiles list entry to select after the last Undo or Redo (-1: the
    // step named none).
    int LastFocus() const { return lastFocus_; }

    // The project as it is now was saved.
    void MarkSaved() { saved_ = dropped_ + position_; }
    // The project as it is now was never saved (a recovered copy): no
    // position is the saved one.
    void ForgetSaved() { saved_.reset(); }
    // Whether the project differs from what was last saved or opened.
    bool Modified() const { return saved_ != dropped_ + position_; }

    // The file the project belongs to at each position (empty: none yet),
    // so that undoing a new map brings back the name of the map it replaced.
    const std::string& File() const { return position_ > 0 ? steps_[position_ - 1].File : baseFile_; }
    // Saved under `file`: the position and its neighbours that belonged to
    // the same file now belong to this one.
    void Rename(const std::string& file);
    // The last step began a new document (a new map): only this position
    // belongs to `file`.
    void StartFile(const std::string& file);

    std::size_t Bytes() const { return bytes_; }
    std::size_t Limit() const { return limit_; }
    std::size_t StepCount() const { return steps_.size(); }
    std::size_t DroppedSteps() const { return dropped_; }

private:
    struct Step {
        std::string Name;
        ProjectChange Change;
        std::size_t Bytes = 0;
        bool Along = false;  // goes with the step before it
        std::string File;    // the file of the position after the step
        ListFocus Focus;
    };
    bool Take(const Project& project, std::string_view name, Parts parts, bool along, ListFocus focus);
    const Step* UndoStep() const;
    void UndoOne(Project& project);
    void RedoOne(Project& project);
    void DropOldest();

    std::size_t limit_;
    std::string& FileAt(std::size_t position) { return position > 0 ? steps_[position - 1].File : baseFile_; }

    AttachedData* attached_ = nullptr;  // not owned
    ProjectImage image_;
    std::string baseFile_;  // the file of the position before the first step
    std::deque<Step> steps_;
    std::size_t position_ = 0;  // steps done; the rest can be redone
    std::size_t dropped_ = 0;   // steps dropped from the start
    std::size_t bytes_ = 0;
    Parts lastTouched_ = Parts(0);
    int lastFocus_ = -1;
    std::optional<std::size_t> saved_ = 0;  // counted from the first step ever; none: no longer reachable
};

}  // namespace zorvane
