#include "generator/search/generator_threads.h"

#include <algorithm>

namespace zorvane {

// The ring and the sleeper count are sequentially consistent: a ringer that
// sees no sleeper rang before the sleeper looked at the rings, which it
// then sees; one that sees a sleeper takes the mutex, so its notification
// comes after the sleeper waits.
void Doorbell::Ring() {
    rings_.fetch_add(1, std::memory_order_seq_cst);
    if (sleepers_.load(std::memory_order_seq_cst) == 0) return;
    { std::lock_guard lock(m_); }
    cv_.notify_all();
}

void Doorbell::Wait(std::uint64_t seen) {
    std::unique_lock lock(m_);
    sleepers_.fetch_add(1, std::memory_order_seq_cst);
    cv_.wait(lock, [&] { return rings_.load(std::memory_order_seq_cst) != seen; });
    sleepers_.fetch_sub(1, std::memory_order_relaxed);
}

void Doorbell::WaitFor(std::uint64_t seen, std::chrono::microseconds timeout) {
    std::unique_lock lock(m_);
    sleepers_.fetch_add(1, std::memory_order_seq_cst);
    cv_.wait_for(lock, timeout, [&] { return rings_.load(std::memory_order_seq_cst) != seen; });
    sleepers_.fetch_sub(1, std::memory_order_relaxed);
}

void GeneratorThreads::Notify(Doorbell& bell) {
    if (!driverSteps_.load(std::memory_order_relaxed)) bell.Ring();
}

GeneratorThreads::GeneratorThreads() {
    for (int k = 0; k < WorkerSlots; ++k) exchanges_[static_cast<std::size_t>(k)].Id = k;
}

void GeneratorThreads::BeginRun(const LearnedData& learned, RunBuffers& buffers) {
    learned_ = &learned;
    buffers_ = &buffers;
}

void GeneratorThreads::EndRun() {
    learned_ = nullptr;
    buffers_ = nullptr;
}

GeneratorThreads::~GeneratorThreads() { Stop(); }

// The flags are as Stop (or the constructor) left them, or as the driver
// set them for the row it is about to hand over: made here, the threads
// take nothing before that.
void GeneratorThreads::Start() {
    if (started_) return;
    Flags.Shutdown = false;
    started_ = true;
    manager_.Cancel = false;
    manager_.Thread = std::thread(&GeneratorThreads::ManagerMain, this);
    for (int k = 0; k < WorkerSlots; ++k) {
        workers_[static_cast<std::size_t>(k)].Cancel = false;
        workers_[static_cast<std::size_t>(k)].Thread = std::thread(&GeneratorThreads::WorkerMain, this, k);
    }
}

void GeneratorThreads::Join(ThreadRec& rec, Doorbell& bell) {
    rec.Cancel = true;
    bell.Ring();
    if (rec.Thread.joinable()) rec.Thread.join();
    rec.Cancel = false;
}

void GeneratorThreads::Stop() {
    if (!started_) return;
    Flags.Shutdown = true;
    // The manager first, so that it recreates nothing more.
    Join(manager_, managerBell_);
    std::lock_guard lock(killMutex_);
    for (int k = 0; k < WorkerSlots; ++k)
        Join(workers_[static_cast<std::size_t>(k)], workerBells_[static_cast<std::size_t>(k)]);
    started_ = false;
    Flags.Shutdown = false;
    // Whatever a thread left half done is undone.
    for (int k = 0; k < WorkerSlots; ++k) {
        if (!Slot(k).Idle.load() || Slot(k).SubChain.load() >= 0) ReleaseSlot(k, true);
        Slot(k).StartReq = false;
        Slot(k).Error = false;
    }
    Flags.ManagerIdle = true;
    Flags.ManagerStart = false;
    Flags.LinkerStart = false;
    Flags.LinkerReady = true;
    Flags.LinkerRestart = false;
    Flags.RunningThreads = 0;
}

void GeneratorThreads::ForgetSubChains() {
    for (auto& s : scratch_) s.Clear();
    linkerSignatureValid_ = false;
}

void GeneratorThreads::ReserveVariants() {
    for (auto& s : scratch_) s.IndexValid = false;  // the pair lists may have changed
    for (int i = 0; i < buffers_->SubChainCount; ++i) {
        SubChainRecord& sc = buffers_->SubChains[static_cast<std::size_t>(i)];
        const std::size_t room = static_cast<std::size_t>(std::max(sc.MaxVariants, 1)) + 1;
        sc.Variants.reserve(room);
        sc.LookAhead.reserve(room);
    }
    linkerSignatureValid_ = false;
}

void GeneratorThreads::BeginRow() {
    Flags.RowFailed = false;
    Flags.RowLinked = false;
    Flags.RowComplete = false;
    Flags.StopRow = false;
    Flags.AllDone = false;
    Flags.HandOutBlocked = false;
    Flags.HandOutPos = 0;
    Flags.ManagerExit = false;
    linkerSignatureValid_ = false;
    driverSteps_.store(true, std::memory_order_relaxed);
}

// The manager counts as busy from here, so that the driver never takes it
// for done with the row before it began.
void GeneratorThreads::StartRow() {
    ++handedOver_;
    driverSteps_.store(false, std::memory_order_relaxed);
    Flags.ManagerIdle.store(false, std::memory_order_relaxed);
    Flags.ManagerStart.store(true, std::memory_order_release);
    managerBell_.Ring();
}

GeneratorThreads::Round GeneratorThreads::StepRound(std::int64_t& steps) {
    const Round r = ManagerRound();
    if (r != Round::Continue) {
        ManagerLeave(r == Round::LeaveStopped, false);
        return r;
    }
    for (int k = 0; k < Slots(); ++k)
        if (WorkerTake(k)) {
            WorkerRun(k);
            steps += Slot(k).Steps.load(std::memory_order_relaxed);
        }
    if (LinkerTake()) LinkerRun();
    return r;
}

// --- Manager ---------------------------------------------------------------

// Every wait loop reads the bell before it looks at what it waits for: a
// ring that comes after the look then ends the wait.
void GeneratorThreads::ManagerMain() {
    for (;;) {
        const auto seen = managerBell_.Seen();
        if (manager_.Cancel.load() || Flags.Shutdown.load()) return;
        if (Flags.ManagerStart.exchange(false, std::memory_order_acq_rel)) {
            Flags.ManagerIdle = false;
            ManagerRow();
            Flags.ManagerIdle.store(true, std::memory_order_release);
            DriverBell.Ring();
            continue;
        }
        managerBell_.Wait(seen);
    }
}

// One row, until the driver lets the manager exit. A linking pass asked
// for while no worker is at work (none would take it) runs here.
void GeneratorThreads::ManagerRow() {
    bool left = false;
    for (;;) {
        const auto seen = managerBell_.Seen();
        if (Flags.ManagerExit.load() || manager_.Cancel.load() || Flags.Shutdown.load()) return;
        if (!left) {
            const Round r = ManagerRound();
            if (r != Round::Continue) {
                DriverBell.Ring();
                ManagerLeave(r == Round::LeaveStopped, true);
                left = true;
                DriverBell.Ring();
                continue;
            }
            if (RunningWorkers() == 0 && LinkerTake()) {
                LinkerRun();
                continue;
            }
        }
        managerBell_.Wait(seen);
    }
}

// A row stopped with the linker's verdict in (the linking pass stops the
// row itself, so that no worker searches on) ends with that verdict.
GeneratorThreads::Round GeneratorThreads::ManagerRound() {
    if (Flags.StopRow.load() && !Flags.RowLinked.load() && !Flags.RowFailed.load()) return Round::LeaveStopped;
    for (int k = 0; k < WorkerSlots; ++k)
        if (Slot(k).Error.load()) KillAndRecreateWorker(k);
    const int n = buffers_->SubChainCount;
    bool allDone = true, failed = false;
    for (int i = 0; i < n; ++i) {
        const SubChainRecord& sc = buffers_->SubChains[static_cast<std::size_t>(i)];
        const bool done = sc.Done.load();
        allDone = allDone && done;
        failed = failed || (done && sc.Exhausted.load());
    }
    Flags.AllDone = allDone;
    if (failed) {
        Flags.RowFailed = true;
        Flags.StopRow = true;
    }
    if (!allDone) HandOut();
    if (Flags.LinkerRestart.load()) RecreateLinker();
    if (ClaimLinker()) Flags.LinkerStart.store(true, std::memory_order_release);
    Flags.RunningThreads = RunningWorkers();
    if (Flags.RowLinked.load(std::memory_order_acquire)) {
        Flags.StopRow = true;
        Flags.RowComplete.store(true, std::memory_order_release);
        if (Flags.LinkerStart.exchange(false)) Flags.LinkerReady = true;
        return Round::LeaveResult;
    }
    if (Flags.RowFailed.load()) {
        Flags.RowComplete = false;
        Flags.StopRow = true;
        return Round::LeaveResult;
    }
    return Round::Continue;
}

int GeneratorThreads::Slots() const {
    return driverSteps_.load(std::memory_order_relaxed) ? 1 : std::min(Job.MaxThreads, WorkerSlots);
}

// Gives idle workers the next sub-chains.
void GeneratorThreads::HandOut() {
    for (int k = 0; k < Slots(); ++k) {
        if (Flags.StopRow.load() || Flags.HandOutBlocked.load()) return;
        WorkerExchange& slot = Slot(k);
        if (!slot.Idle.load(std::memory_order_acquire) || slot.SubChain.load() != -1) continue;
        const int pick = Claim(k);
        if (pick < 0) return;
        slot.Idle = false;
        slot.Error = false;
        slot.Steps = 0;
        slot.SubChain = pick;
        slot.StartReq.store(true, std::memory_order_release);
        Notify(workerBells_[static_cast<std::size_t>(k)]);
    }
}

// Takes for slot k the next sub-chain, round from HandOutPos: first one
// without a variant, then any that is not done and not held. The manager
// and a worker that goes on may look at once: the owner is set by an
// exchange, and the one that loses looks again. -1 when none is free.
int GeneratorThreads::Claim(int k) {
    const int n = buffers_->SubChainCount;
    auto free = [&](const SubChainRecord& sc) { return !sc.Done.load() && !sc.Busy.load() && sc.Owner.load() == -1; };
    for (;;) {
        int pick = -1;
        const int from = std::clamp(Flags.HandOutPos.load(), 0, std::max(n - 1, 0));
        for (int j = 0; j < n && pick < 0; ++j) {
            const int i = (from + j) % n;
            const SubChainRecord& sc = buffers_->SubChains[static_cast<std::size_t>(i)];
            if (free(sc) && sc.VariantCount.load() == 0) pick = i;
        }
        for (int j = 0; j < n && pick < 0; ++j) {
            const int i = (from + j) % n;
            if (free(buffers_->SubChains[static_cast<std::size_t>(i)])) pick = i;
        }
        if (pick < 0) return -1;
        SubChainRecord& sc = buffers_->SubChains[static_cast<std::size_t>(pick)];
        std::int32_t none = -1;
        if (!sc.Owner.compare_exchange_strong(none, k, std::memory_order_acq_rel)) continue;
        sc.Busy = true;
        Flags.HandOutPos = (from + 1) % n;
        return pick;
    }
}

// The linker is free (LinkerReady) and taken for a pass when the row is
// open, the linker is not to be made anew, and the sub-chains changed since
// the last pass. Manager and workers may ask at once: the exchange gives it
// to one of them, and the linker's mutex keeps its record of the last pass
// from a recreation.
bool GeneratorThreads::ClaimLinker() {
    if (Flags.RowLinked.load() || Flags.RowFailed.load() || Flags.LinkerRestart.load() || Flags.StopRow.load() ||
        !Flags.LinkerReady.exchange(false, std::memory_order_acq_rel))
        return false;
    bool worth = false;
    {
        std::lock_guard lock(linkerMutex_);
        worth = !Flags.LinkerRestart.load() && LinkerWorthStarting();
    }
    if (worth) return true;
    Flags.LinkerReady.store(true, std::memory_order_release);
    return false;
}

// A linking pass on sub-chains that have not changed since the last one
// would come to the same verdict; the linker is started when they have.
bool GeneratorThreads::LinkerWorthStarting() {
    linkerState_.clear();
    linkerState_.push_back(Flags.AllDone.load() ? 1 : 0);
    for (int i = 0; i < buffers_->SubChainCount; ++i) {
        const SubChainRecord& sc = buffers_->SubChains[static_cast<std::size_t>(i)];
        linkerState_.push_back(static_cast<std::uint64_t>(sc.VariantCount.load()) * 8 + (sc.Done.load() ? 4 : 0) +
                               (sc.Exhausted.load() ? 2 : 0) + (sc.Restricted.load() ? 1 : 0));
    }
    if (linkerSignatureValid_ && linkerState_ == linkerStarted_) return false;
    linkerStarted_ = linkerState_;
    linkerSignatureValid_ = true;
    return true;
}

void GeneratorThreads::ManagerLeave(bool stopped, bool threaded) {
    Flags.HandOutBlocked = true;
    for (int k = 0; k < WorkerSlots; ++k)
        if (Slot(k).StartReq.exchange(false, std::memory_order_acq_rel)) ReleaseSlot(k, false);
    Flags.HandOutBlocked = false;
    if (Flags.LinkerStart.exchange(false)) Flags.LinkerReady = true;
    if (stopped) {
        Flags.RowFailed = false;
        Flags.RowLinked = false;
    }
    for (;;) {
        const auto seen = managerBell_.Seen();
        for (int k = 0; k < WorkerSlots; ++k)
            if (Slot(k).Error.load()) KillAndRecreateWorker(k);
        const int running = RunningWorkers();
        Flags.RunningThreads = running;
        if (running == 0 || !threaded || manager_.Cancel.load() || Flags.Shutdown.load()) return;
        managerBell_.Wait(seen);
    }
}

int GeneratorThreads::RunningWorkers() const {
    int running = 0;
    for (const auto& f : exchanges_) running += f.Idle.load(std::memory_order_acquire) ? 0 : 1;
    return running;
}

bool GeneratorThreads::WorkersIdleAndFree() const {
    if (RunningWorkers() != 0) return false;
    if (!buffers_) return true;  // between runs no sub-chain exists
    for (int i = 0; i < MaxSubChains; ++i)
        if (buffers_->SubChains[static_cast<std::size_t>(i)].Owner.load(std::memory_order_acquire) != -1) return false;
    return true;
}

// --- Workers -----------------------------------------------------------------

// A worker goes on from sub-chain to sub-chain by itself while the row
// runs, runs the linking passes asked for between its bursts, and wakes
// the manager only when the linker may have something new or it has
// nothing more to do.
void GeneratorThreads::WorkerMain(int k) {
    ThreadRec& rec = workers_[static_cast<std::size_t>(k)];
    Doorbell& bell = workerBells_[static_cast<std::size_t>(k)];
    for (;;) {
        const auto seen = bell.Seen();
        if (rec.Cancel.load() || Flags.Shutdown.load()) return;
        if (!driverSteps_.load(std::memory_order_acquire) && WorkerTake(k)) {
            Slot(k).Idle = false;
            bool changed = false;
            while (WorkerBurst(k, changed)) {
                // The worker that changed its sub-chain links the row at once;
                // the manager hears of the change from the pass.
                if (LinkerTake() || (changed && ClaimLinker()))
                    LinkerRun();
                else if (changed)
                    Notify(managerBell_);
                if (!GoOn(k)) {
                    WorkerFinish(k);
                    break;
                }
            }
            continue;
        }
        bell.Wait(seen);
    }
}

bool GeneratorThreads::WorkerTake(int k) { return Slot(k).StartReq.exchange(false, std::memory_order_acq_rel); }

void GeneratorThreads::WorkerRun(int k) {
    Slot(k).Idle = false;
    bool changed = false;
    if (WorkerBurst(k, changed)) WorkerFinish(k);
}

bool GeneratorThreads::WorkerBurst(int k, bool& changed) {
    changed = false;
    WorkerExchange& slot = Slot(k);
    const std::atomic<bool>& cancel = workers_[static_cast<std::size_t>(k)].Cancel;
    const int s = slot.SubChain.load();
    if (s >= 0 && s < buffers_->SubChainCount) {
        SubChainRecord& sc = buffers_->SubChains[static_cast<std::size_t>(s)];
        const std::int32_t before = sc.VariantCount.load(std::memory_order_relaxed);
        try {
            if (FailBurstOfSlot.load() == k) {
                FailBurstOfSlot = -1;
                throw Error("A burst failed on purpose.");
            }
            if (!sc.Done.load()) RunBurst(*buffers_, s, slot, Flags, Job, scratch_[static_cast<std::size_t>(s)], cancel);
        } catch (...) {
            slot.Error.store(true, std::memory_order_release);
            Notify(managerBell_);
            Notify(DriverBell);
            return false;
        }
        changed = sc.VariantCount.load(std::memory_order_relaxed) != before || sc.Done.load();
    }
    return !cancel.load();  // being killed: the killer releases the sub-chain
}

// The slot's sub-chain is let go (not busy first, so that whoever takes it
// next finds it busy).
void GeneratorThreads::LetGo(int k) {
    WorkerExchange& slot = Slot(k);
    const int s = slot.SubChain.load();
    if (s >= 0) {
        SubChainRecord& sc = buffers_->SubChains[static_cast<std::size_t>(s)];
        sc.Busy.store(false, std::memory_order_release);
        sc.Owner.store(-1, std::memory_order_release);
    }
    slot.SubChain = -1;
}

bool GeneratorThreads::GoOn(int k) {
    if (k >= Slots() || Flags.StopRow.load() || Flags.AllDone.load() ||
        Flags.HandOutBlocked.load() || Flags.Shutdown.load())
        return false;
    LetGo(k);
    // The sub-chain let go may be wanted by an idle worker.
    if (RunningWorkers() < Slots()) Notify(managerBell_);
    const int pick = Claim(k);
    if (pick < 0) return false;
    WorkerExchange& slot = Slot(k);
    slot.Steps = 0;
    slot.SubChain = pick;
    return true;
}

void GeneratorThreads::WorkerFinish(int k) {
    LetGo(k);
    Slot(k).Idle.store(true);
    Notify(managerBell_);
    // The driver waits for idle workers only once the row is stopped.
    if (Flags.StopRow.load()) Notify(DriverBell);
}

// Frees what slot k held, and the slot is idle. After a kill the sub-chain
// starts its search again (not exhausted, cursors 0); a hand-out withdrawn
// before the worker took it leaves the sub-chain as it was.
void GeneratorThreads::ReleaseSlot(int k, bool restart) {
    WorkerExchange& slot = Slot(k);
    int s = slot.SubChain.load();
    if (s < 0)
        for (int i = 0; i < MaxSubChains && s < 0; ++i)
            if (buffers_->SubChains[static_cast<std::size_t>(i)].Owner.load() == k) s = i;
    if (s >= 0) {
        SubChainRecord& sc = buffers_->SubChains[static_cast<std::size_t>(s)];
        if (restart) {
            sc.Exhausted = false;
            std::fill(sc.Cursor.begin(), sc.Cursor.end(), 0);
        }
        sc.Busy = false;
        sc.Owner.store(-1, std::memory_order_release);
    }
    slot.StartReq = false;
    slot.Error = false;
    slot.Steps = 0;
    slot.SubChain = -1;
    slot.Idle.store(true, std::memory_order_release);
}

void GeneratorThreads::KillAndRecreateWorker(int k) {
    std::lock_guard lock(killMutex_);
    CaughtErrors.fetch_add(1);
    ThreadRec& rec = workers_[static_cast<std::size_t>(k)];
    Join(rec, workerBells_[static_cast<std::size_t>(k)]);
    ReleaseSlot(k, true);
    if (started_ && !Flags.Shutdown.load()) rec.Thread = std::thread(&GeneratorThreads::WorkerMain, this, k);
    managerBell_.Ring();
    DriverBell.Ring();
}

void GeneratorThreads::KillWorkerIfStuck(int k) {
    {
        std::lock_guard lock(killMutex_);
        if (Slot(k).Idle.load() && !Slot(k).Error.load()) return;
    }
    KillAndRecreateWorker(k);
}

// --- Linker --------------------------------------------------------------------

bool GeneratorThreads::LinkerTake() { return Flags.LinkerStart.exchange(false, std::memory_order_acq_rel); }

void GeneratorThreads::LinkerRun() {
    {
        std::lock_guard lock(linkerMutex_);
        try {
            if (FailLinkerPass.exchange(false)) throw Error("A linking pass failed on purpose.");
            linker_.Pass(*learned_, *buffers_, Flags, Job);
        } catch (...) {
            // Counted here: the run may end before the manager comes round
            // to make the linker anew.
            CaughtErrors.fetch_add(1);
            Flags.LinkerRestart = true;
        }
    }
    Flags.Activity.store(true, std::memory_order_relaxed);
    // Decided: the workers stop within a few steps instead of when the
    // manager comes round to it.
    if (!driverSteps_.load(std::memory_order_relaxed) && (Flags.RowLinked.load() || Flags.RowFailed.load()))
        Flags.StopRow.store(true);
    Flags.LinkerReady.store(true);
    Notify(managerBell_);
    // The driver waits for the linker only once the row is stopped or decided.
    if (Flags.StopRow.load() || Flags.RowFailed.load() || Flags.RowLinked.load()) Notify(DriverBell);
}

void GeneratorThreads::RecreateLinker() {
    std::lock_guard lock(killMutex_);
    std::lock_guard pass(linkerMutex_);
    Flags.LinkerReady = false;
    Flags.LinkerStart = false;
    Flags.RowFailed = false;
    Flags.RowLinked = false;
    if (buffers_)
        for (auto& c : buffers_->Chosen) c = 0;
    linker_ = Linker();
    Flags.LinkerRestart = false;
    linkerSignatureValid_ = false;
    Flags.LinkerReady.store(true, std::memory_order_release);
    managerBell_.Ring();
    DriverBell.Ring();
}

void GeneratorThreads::KillAndRecreateLinker() {
    // A linker that hangs is an error of its own; a failed pass was counted
    // when it failed.
    if (!Flags.LinkerRestart.load()) CaughtErrors.fetch_add(1);
    if (!Flags.ManagerIdle.load()) {
        Flags.LinkerRestart = true;
        managerBell_.Ring();
        return;
    }
    RecreateLinker();
}

}  // namespace zorvane
