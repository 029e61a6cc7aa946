#pragma once
// The editor's crash recovery (see commands/recovery.h): while the project
// has unsaved changes a copy of it goes to the program's data folder every
// two minutes and as a long operation starts; the next start offers a copy
// that an editor which did not end cleanly left; a clean exit removes the
// copies this editor keeps.
//
// Writing a copy changes nothing of the project, its history, its file
// name or its unsaved-changes mark. A copy that cannot be written is told
// once in status panel 0 (again only after one has been written).

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "commands/recovery.h"

namespace zorvane::editor {

class MainWindow;

struct RecoveryGuardOptions {
    // How often a copy is written while there are unsaved changes.
    std::chrono::milliseconds Interval = std::chrono::minutes(2);
};

class RecoveryGuard : public QObject {
public:
    explicit RecoveryGuard(MainWindow& window, RecoveryGuardOptions options = {});
    ~RecoveryGuard() override;

    // At start, after the window is shown: offers each copy left by an
    // editor that did not end cleanly ("Open", "Keep for later",
    // "Discard") until one is opened. An opened copy stays until the next
    // clean exit (or until this editor writes its own).
    void OfferAtStart();
    // Writes a copy now when the project has unsaved changes (and removes
    // the copies kept when it has none); true when one was written.
    bool Checkpoint();
    // The window was closed after the user saved or discarded: the copies
    // this editor keeps are removed.
    void CleanExit();

    // Called after every copy written (tests watch it).
    std::function<void()> CopyWritten;

private:
    // Asks about one copy; true when it was opened.
    bool Offer(const RecoveryCopy& copy);
    bool OfferToDiscardDamaged(const RecoveryCopy& copy, const std::string& reason);
    void Restore(RecoveredProject&& recovered);
    void Remove(const RecoveryCopy& copy, bool quietly);
    void RemoveKept();

    MainWindow& window_;
    QTimer timer_;
    std::optional<RecoveryCopy> own_;   // written by this editor
    std::vector<RecoveryCopy> adopted_; // opened at start
    bool failureTold_ = false;
};

}  // namespace zorvane::editor
