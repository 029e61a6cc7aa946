#include "editor/recovery_guard.h"

#include <exception>

#include "editor/main_window.h"
#include "editing/edit_state.h"
#include "platform/app_data.h"

namespace zorvane::editor {

namespace {

constexpr const char* Caption = "Recovery";

}  // namespace

RecoveryGuard::RecoveryGuard(MainWindow& window, RecoveryGuardOptions options)
    : window_(window), options_(options) {
    window_.BeforeLongOperation = [this] { Checkpoint(); };
    window_.AfterLongOperation = [this] { Checkpoint(); };
    window_.AfterChange = [this] { NoteChange(); };
    timer_.setInterval(options_.Tick);
    connect(&timer_, &QTimer::timeout, this, [this] { Tick(); });
    timer_.start();
}

RecoveryGuard::~RecoveryGuard() {
    window_.BeforeLongOperation = nullptr;
    window_.AfterLongOperation = nullptr;
    window_.AfterChange = nullptr;
}

void RecoveryGuard::NoteChange() {
    const Clock::time_point now = Clock::now();
    if (!changeWaiting_) firstChange_ = now;
    changeWaiting_ = true;
    lastChange_ = now;
}

void RecoveryGuard::Tick() {
    TakeOutcome();
    const Clock::time_point now = Clock::now();
    if (changeWaiting_ && (now - lastChange_ >= options_.Quiet || now - firstChange_ >= options_.Longest))
        Checkpoint();
}

bool RecoveryGuard::Checkpoint() {
    // Under a run, a busy command or a drag the project may be half
    // changed: the change stays waiting for the next tick.
    if (window_.GenerationRunning() || window_.Busy() || window_.editState().DragState != DragIdle) return false;
    changeWaiting_ = false;
    const Project& project = window_.project();
    if (!window_.ModifiedProject() || (project.NoProject && project.UsedTiles.empty())) {
        RemoveKept();  // all there is has been saved (or there is nothing)
        return false;
    }
    try {
        if (!writer_) writer_ = std::make_unique<RecoveryWriter>(AppDataFolder(AppDataFolderUse::Create));
        return writer_->Hand(project, window_.CurrentFile());
    } catch (const std::exception& e) {
        TellFailure(e.what());
        return false;
    }
}

void RecoveryGuard::WaitForCopies() {
    if (writer_) writer_->Wait();
    TakeOutcome();
}

void RecoveryGuard::TakeOutcome() {
    if (!writer_) return;
    const RecoveryWriter::Outcome outcome = writer_->TakeOutcome();
    if (outcome.Failure) TellFailure(*outcome.Failure);
    if (outcome.Written == 0) return;
    if (!outcome.Failure) failureTold_ = false;
    RemoveAdopted();  // this editor's copy replaces them
    if (CopyWritten) CopyWritten();
}

void RecoveryGuard::TellFailure(const std::string& reason) {
    if (!failureTold_) window_.ui().setStatus("The recovery copy could not be written: " + reason);
    failureTold_ = true;
}

void RecoveryGuard::CleanExit() {
    timer_.stop();
    changeWaiting_ = false;
    if (writer_) {
        try {
            writer_->Close();
        } catch (const std::exception&) {
            // what stays is found by no one while nothing names it as a copy
        }
        writer_.reset();
    }
    RemoveAdopted();
}

void RecoveryGuard::RemoveKept() {
    if (writer_) {
        try {
            writer_->RemoveCopy();
        } catch (const std::exception&) {
            // tried again with the next copy or at the exit
        }
    }
    RemoveAdopted();
}

void RecoveryGuard::RemoveAdopted() {
    for (const RecoveryCopy& copy : adopted_) Remove(copy, true);
    adopted_.clear();
}

void RecoveryGuard::Remove(const RecoveryCopy& copy, bool quietly) {
    try {
        RemoveRecoveryCopy(copy);
    } catch (const std::exception& e) {
        if (!quietly) window_.ui().error("Error", e.what());
    }
}

void RecoveryGuard::OfferAtStart() {
    std::vector<RecoveryCopy> copies;
    try {
        copies = FindRecoveryCopies(AppDataFolder(AppDataFolderUse::Find));
    } catch (const std::exception&) {
        return;  // the system names no data folder: nothing can have been kept
    }
    for (const RecoveryCopy& copy : copies)
        if (Offer(copy)) break;
}

bool RecoveryGuard::Offer(const RecoveryCopy& copy) {
    RecoveryInfo info;
    try {
        info = ReadRecoveryInfo(copy);
    } catch (const std::exception& e) {
        return OfferToDiscardDamaged(copy, e.what());
    }
    const std::string name = info.OriginalFile.empty() ? std::string("an untitled project") : info.OriginalFile;
    const std::string text = "The editor did not close properly. A recovery copy of the unsaved changes to " + name +
                             " was kept.\r\rOpen it, keep it for later, or discard it?";
    switch (window_.ui().message(Caption, text, Icon::Question, Buttons::OpenKeepDiscard, Answer::Open)) {
    case Answer::Open: break;
    case Answer::Discard: Remove(copy, false); return false;
    default: return false;  // offered again at the next start
    }
    std::optional<RecoveredProject> recovered;
    try {
        recovered = ReadRecoveryCopy(copy);
    } catch (const std::exception& e) {
        return OfferToDiscardDamaged(copy, e.what());
    }
    window_.BusyRun([&] { Restore(std::move(*recovered)); });
    adopted_.push_back(copy);
    return true;
}

bool RecoveryGuard::OfferToDiscardDamaged(const RecoveryCopy& copy, const std::string& reason) {
    if (window_.ui().message(Caption, reason + "\r\rDiscard the recovery copy?", Icon::Error, Buttons::YesNo,
                             Answer::Yes) == Answer::Yes)
        Remove(copy, false);
    return false;
}

// The project comes back as the one of its file with unsaved changes: a
// new history in which no position is the saved one.
void RecoveryGuard::Restore(RecoveredProject&& recovered) {
    TakeRecoveredProject(window_.document(), window_.ui(), std::move(recovered));
    window_.ProjectOpened();
}

}  // namespace zorvane::editor
