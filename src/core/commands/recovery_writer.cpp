#include "commands/recovery_writer.h"

#include <exception>
#include <utility>

#include "platform/file_names.h"
#include "platform/system_files.h"

namespace zorvane {

RecoveryWriter::RecoveryWriter(const std::string& folder)
    : copy_(RecoveryCopyNamed(folder, NewRecoveryId())), lock_(std::in_place, copy_.LockPath) {
    thread_ = std::thread([this] { Run(); });
}

RecoveryWriter::~RecoveryWriter() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

bool RecoveryWriter::Hand(const Project& project, const std::string& originalFile) {
    std::optional<std::uint64_t> onDisk;
    {
        std::lock_guard lock(mutex_);
        if (tileSetLost_) handed_.reset();
        tileSetLost_ = false;
    }
    if (handed_) onDisk = handed_->TileSetHash;
    auto snapshot = std::make_unique<RecoverySnapshot>(TakeRecoverySnapshot(project, originalFile, onDisk));
    if (handed_ && snapshot->SameAs(*handed_)) return false;
    handed_ = *snapshot;
    handed_->TileSetPart.clear();
    handed_->TileSetPart.shrink_to_fit();
    {
        std::lock_guard lock(mutex_);
        // A snapshot still waiting may carry the tile set part this one
        // leaves out: it goes with this one.
        if (pending_ && snapshot->TileSetPart.empty() && pending_->TileSetHash == snapshot->TileSetHash)
            snapshot->TileSetPart = std::move(pending_->TileSetPart);
        pending_ = std::move(snapshot);
    }
    changed_.notify_all();
    return true;
}

void RecoveryWriter::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || pending_; });
        if (!pending_) return;  // stopping with nothing left to write
        const std::unique_ptr<RecoverySnapshot> snapshot = std::move(pending_);
        writing_ = true;
        lock.unlock();
        std::optional<std::string> failure;
        try {
            WriteRecoverySnapshot(copy_, *snapshot);
        } catch (const std::exception& e) {
            failure = e.what();
        }
        lock.lock();
        writing_ = false;
        if (failure) {
            outcome_.Failure = failure;
            tileSetLost_ = true;
        } else {
            ++outcome_.Written;
            outcome_.Failure.reset();
        }
        changed_.notify_all();
    }
}

void RecoveryWriter::Wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !pending_ && !writing_; });
}

RecoveryWriter::Outcome RecoveryWriter::TakeOutcome() {
    std::lock_guard lock(mutex_);
    return std::exchange(outcome_, Outcome{});
}

void RecoveryWriter::RemoveCopy() {
    Wait();
    handed_.reset();
    RemoveRecoveryCopy(copy_);  // the lock file stays while it is held
}

void RecoveryWriter::Close() {
    RemoveCopy();
    lock_.reset();
    RemoveFile(PathFromUtf8(copy_.LockPath));
}

}  // namespace zorvane
