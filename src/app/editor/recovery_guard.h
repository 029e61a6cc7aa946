#pragma once
// The editor's crash recovery (see commands/recovery.h): while the project
// has unsaved changes a copy of it follows the work: once no change came
// for a short while after one (a change is a closed undo step, an undo, a
// redo), at the latest a few seconds after the first change not yet
// copied, and at once as a long operation starts and as it ends. Never
// under a run, a busy command or a drag (tried again soon), and never when
// the copy would be the last one again. The copy is written on a thread of
// its own (RecoveryWriter). The next start offers a copy that an editor
// which did not end cleanly left; a clean exit removes the copies this
// editor keeps.
//
// Writing a copy changes nothing of the project, its history, its file
// name or its unsaved-changes mark. A copy that cannot be written is told
// once in status panel 0 (again only after one has been written).

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "commands/recovery.h"
#include "commands/recovery_writer.h"

namespace zorvane::editor {

class MainWindow;

struct RecoveryGuardOptions {
    // A copy is taken once no change came for Quiet after the last one, and
    // at the latest Longest after the first change not yet copied: a kill
    // loses no more than Longest and the time a copy takes to write.
    std::chrono::milliseconds Quiet = std::chrono::seconds(2);
    std::chrono::milliseconds Longest = std::chrono::seconds(5);
    // How often the guard looks at the changes and the copies written.
    std::chrono::milliseconds Tick = std::chrono::milliseconds(250);
};

class RecoveryGuard : public QObject {
public:
    explicit RecoveryGuard(MainWindow& window, RecoveryGuardOptions options = {});
    // The copy stays, as after a crash, unless CleanExit came first.
    ~RecoveryGuard() override;

    // At start, after the window is shown: offers each copy left by an
    // editor that did not end cleanly ("Open", "Keep for later",
    // "Discard") until one is opened. An opened copy stays until the next
    // clean exit (or until this editor writes its own).
    void OfferAtStart();
    // Hands a copy over to be written now when the project has unsaved
    // changes that the last copy does not hold (and removes the copies kept
    // when it has none); true when one was handed over.
    bool Checkpoint();
    // Returns when the copies handed over are written (tests watch it).
    void WaitForCopies();
    // The window was closed after the user saved or discarded: the copies
    // this editor keeps are removed.
    void CleanExit();

    // Called after every copy written (tests watch it).
    std::function<void()> CopyWritten;

private:
    void NoteChange();
    void Tick();
    void TakeOutcome();
    void TellFailure(const std::string& reason);
    // Asks about one copy; true when it was opened.
    bool Offer(const RecoveryCopy& copy);
    bool OfferToDiscardDamaged(const RecoveryCopy& copy, const std::string& reason);
    void Restore(RecoveredProject&& recovered);
    void Remove(const RecoveryCopy& copy, bool quietly);
    void RemoveAdopted();
    void RemoveKept();

    using Clock = std::chrono::steady_clock;
    MainWindow& window_;
    RecoveryGuardOptions options_;
    QTimer timer_;
    std::unique_ptr<RecoveryWriter> writer_;  // made with the first copy
    std::vector<RecoveryCopy> adopted_;       // opened at start
    bool changeWaiting_ = false;              // a change not yet copied
    Clock::time_point firstChange_, lastChange_;
    bool failureTold_ = false;
};

}  // namespace zorvane::editor
