#include "history/history.h"

#include <utility>

namespace zorvane {
namespace {

// Empties the selection: undone and redone steps move tiles between indices.
void DropSelection(Project& project) {
    for (const SelectionEntry& e : project.Selection)
        if (e.Index >= 0 && e.Index < static_cast<int>(project.UsedTiles.size()))
            project.UsedTiles[static_cast<std::size_t>(e.Index)]->Selected = false;
    project.Selection.clear();
}

}  // namespace

void History::Attach(AttachedData* data) {
    attached_ = data;
    image_.Attached = data ? data->Capture(nullptr) : nullptr;
}

void History::Reset(const Project& project) {
    auto attached = std::move(image_.Attached);
    image_ = ImageOf(project);
    image_.Attached = attached_ ? attached_->Capture(attached) : nullptr;
    baseFile_ = std::string(File());
    steps_.clear();
    position_ = dropped_ = bytes_ = 0;
    saved_ = 0;
}

bool History::Record(const Project& project, std::string_view name, Parts parts, ListFocus focus) {
    return Take(project, name, parts, false, focus);
}

bool History::RecordAlong(const Project& project) {
    return Take(project, position_ > 0 ? steps_[position_ - 1].Name : std::string(), Parts::All, true, {});
}

const History::Step* History::UndoStep() const {
    for (std::size_t k = position_; k > 0; --k)
        if (!steps_[k - 1].Along) return &steps_[k - 1];
    return nullptr;
}

bool History::Take(const Project& project, std::string_view name, Parts parts, bool along, ListFocus focus) {
    ProjectChange change = DiffProject(project, attached_, image_, parts);
    if (change.Empty()) return false;
    while (steps_.size() > position_) {
        bytes_ -= steps_.back().Bytes;
        steps_.pop_back();
    }
    if (saved_ && *saved_ > dropped_ + position_) saved_.reset();  // that state can no longer be reached
    Step& step = steps_.emplace_back();
    step.Name = name;
    step.Along = along;
    step.Change = std::move(change);
    step.File = FileAt(position_);
    step.Focus = focus;
    step.Bytes = sizeof(Step) + step.Name.capacity() + step.File.capacity() + step.Change.Bytes();
    bytes_ += step.Bytes;
    ++position_;
    while (bytes_ > limit_ && steps_.size() > 1) DropOldest();
    return true;
}

void History::Rename(const std::string& file) {
    const std::string old = File();
    std::size_t first = position_, last = position_;
    while (first > 0 && FileAt(first - 1) == old) --first;
    while (last < steps_.size() && FileAt(last + 1) == old) ++last;
    for (std::size_t k = first; k <= last; ++k) FileAt(k) = file;
}

void History::StartFile(const std::string& file) { FileAt(position_) = file; }

void History::DropOldest() {
    baseFile_ = std::move(steps_.front().File);
    bytes_ -= steps_.front().Bytes;
    steps_.pop_front();
    ++dropped_;
    --position_;
    if (saved_ && *saved_ < dropped_) saved_.reset();
}

void History::UndoOne(Project& project) {
    --position_;
    ApplyProjectChange(steps_[position_].Change, Direction::Undo, project, attached_, image_);
    lastTouched_ = lastTouched_ | steps_[position_].Change.Touched();
    lastFocus_ = steps_[position_].Focus.Before;  // the step the user took comes last
}

void History::RedoOne(Project& project) {
    ApplyProjectChange(steps_[position_].Change, Direction::Redo, project, attached_, image_);
    lastTouched_ = lastTouched_ | steps_[position_].Change.Touched();
    if (!steps_[position_].Along) lastFocus_ = steps_[position_].Focus.After;
    ++position_;
}

bool History::Undo(Project& project) {
    if (!CanUndo()) return false;
    DropSelection(project);
    lastTouched_ = Parts(0);
    while (steps_[position_ - 1].Along) UndoOne(project);
    UndoOne(project);
    return true;
}

bool History::Redo(Project& project) {
    if (!CanRedo()) return false;
    DropSelection(project);
    lastTouched_ = Parts(0);
    RedoOne(project);
    while (position_ < steps_.size() && steps_[position_].Along) RedoOne(project);
    return true;
}

}  // namespace zorvane
