#pragma once
// Writes the recovery copies of one editor (see recovery.h) on a thread of
// its own, so that the window's thread only takes the snapshot: the map
// part encoded, the tile set part only when its hash changed. A snapshot
// handed over while another is written waits; a newer one replaces it.
//
// The writer holds the copy's lock from its construction to its end, so
// that no other editor offers the copy while this one runs. Destroyed
// without Close (as when the editor dies) it leaves the copy for the next
// start. Its functions are called from one thread, the window's.

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "commands/recovery.h"
#include "platform/instance_lock.h"

namespace zorvane {

class RecoveryWriter {
public:
    // Takes the lock of a new copy in `folder` (which exists); throws Error
    // when it cannot.
    explicit RecoveryWriter(const std::string& folder);
    ~RecoveryWriter();
    RecoveryWriter(const RecoveryWriter&) = delete;
    RecoveryWriter& operator=(const RecoveryWriter&) = delete;

    const RecoveryCopy& copy() const { return copy_; }

    // Hands a snapshot of the project over to be written; false when the
    // copy would be the one last handed over.
    bool Hand(const Project& project, const std::string& originalFile);
    // Returns when everything handed over is written (or failed).
    void Wait();

    struct Outcome {
        int Written = 0;                     // copies written since the last call
        std::optional<std::string> Failure;  // the reason the last write failed
    };
    Outcome TakeOutcome();

    // Removes the copy (after the write under way); the next hand-over
    // writes it whole again.
    void RemoveCopy();
    // The copy, the lock and its file removed: the editor ends cleanly.
    void Close();

private:
    void Run();

    RecoveryCopy copy_;
    std::optional<InstanceLock> lock_;
    // The last snapshot handed over, its tile set part left out.
    std::optional<RecoverySnapshot> handed_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::unique_ptr<RecoverySnapshot> pending_;  // under mutex_
    bool writing_ = false;                       // under mutex_
    bool stopping_ = false;                      // under mutex_
    bool tileSetLost_ = false;                   // under mutex_: a failed write; the next takes it whole
    Outcome outcome_;                            // under mutex_
    std::thread thread_;
};

}  // namespace zorvane
