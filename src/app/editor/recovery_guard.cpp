#include "editor/recovery_guard.h"

#include <exception>

#include "commands/open_commands.h"
#include "editor/main_window.h"
#include "platform/app_data.h"

namespace zorvane::editor {

namespace {

constexpr const char* Caption = "Recovery";

}  // namespace

RecoveryGuard::RecoveryGuard(MainWindow& window, RecoveryGuardOptions options) : window_(window) {
    window_.BeforeLongOperation = [this] { Checkpoint(); };
    timer_.setInterval(options.Interval);
    connect(&timer_, &QTimer::timeout, this, [this] { Checkpoint(); });
    timer_.start();
}

RecoveryGuard::~RecoveryGuard() { window_.BeforeLongOperation = nullptr; }

bool RecoveryGuard::Checkpoint() {
    // Under a run or a busy command the project may be half changed: the
    // next time comes soon enough.
    if (window_.GenerationRunning() || window_.Busy()) return false;
    const Project& project = window_.project();
    if (!window_.ModifiedProject() || (project.NoProject && project.UsedTiles.empty())) {
        RemoveKept();  // all there is has been saved (or there is nothing)
        return false;
    }
    try {
        const RecoveryCopy copy = OwnRecoveryCopy(AppDataFolder(AppDataFolderUse::Create));
        own_ = copy;  // a failed write leaves no file of its own, but an older one may be there
        WriteRecoveryCopy(copy, project, window_.CurrentFile());
    } catch (const std::exception& e) {
        if (!failureTold_) window_.ui().setStatus(std::string("The recovery copy could not be written: ") + e.what());
        failureTold_ = true;
        return false;
    }
    failureTold_ = false;
    for (const RecoveryCopy& copy : adopted_) Remove(copy, true);  // this editor's copy replaces them
    adopted_.clear();
    if (CopyWritten) CopyWritten();
    return true;
}

void RecoveryGuard::CleanExit() {
    timer_.stop();
    RemoveKept();
}

void RecoveryGuard::RemoveKept() {
    if (own_) Remove(*own_, true);
    own_.reset();
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
    const std::string name = recovered.OriginalFile.empty() ? std::string("Untitled") : recovered.OriginalFile;
    TakeReadProject(window_.project(), window_.ui(), std::move(recovered.Restored), "recovered " + name + ".");
    window_.ProjectOpened(recovered.OriginalFile);
    window_.history().ForgetSaved();
    window_.UpdateUndoCommands();
}

}  // namespace zorvane::editor
