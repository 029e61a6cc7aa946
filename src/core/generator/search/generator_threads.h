#pragma once
// The generator's threads: one manager, four workers (the first MaxThreads
// of them get work) and one linker, living beside one TMapGenerator.
//
// Per row the driver sets ManagerStart; the manager hands sub-chains to
// idle workers in bursts, starts linking passes, kills and recreates a
// worker that reports an error, and ends the row on RowLinked (RowComplete)
// or RowFailed. The driver then blocks hand-outs, waits for idle workers and
// free sub-chains, sets ManagerExit and waits for ManagerIdle.
//
// Every shared flag is atomic and has one writer at a time by protocol; a
// request that is handed over (StartReq, LinkerStart) is taken with an
// atomic exchange, so that withdrawing it and taking it can never both
// happen. Threads wait for their flags on a Doorbell: a condition variable
// rung whenever a flag they wait for changes, waited on with a 1 ms timeout
// (so that a missed ring only costs one poll). Thread termination is
// cooperative: a thread ends at its next poll once told to.
//
// The same steps (ManagerRound, WorkerRun, LinkerRun) can also be called
// in a fixed order on the driver's thread while no thread runs, which makes
// a run reproducible.

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "generator/generator.h"
#include "generator/search/variant_search.h"

namespace zorvane {

// Wakes a waiting thread when something it waits for may have changed.
class Doorbell {
public:
    std::uint64_t Seen() const { return rings_.load(std::memory_order_acquire); }
    void Ring();
    // Returns when rung after `seen` was read, or after `timeout`.
    void Wait(std::uint64_t seen, std::chrono::microseconds timeout = std::chrono::milliseconds(1));

private:
    std::mutex m_;
    std::condition_variable cv_;
    std::atomic<std::uint64_t> rings_{0};
};

class GeneratorThreads {
public:
    explicit GeneratorThreads(TMapGenerator& gen);
    ~GeneratorThreads();
    GeneratorThreads(const GeneratorThreads&) = delete;
    GeneratorThreads& operator=(const GeneratorThreads&) = delete;

    RowFlags Flags;
    RowJob Job;  // written by the driver while the manager is idle
    Doorbell DriverBell;  // rung for the driver's waits

    // Creates the manager, the workers (idle, no sub-chain) and the linker
    // (ready) unless they run. Stop tells every thread to end and waits.
    void Start();
    void Stop();
    bool Started() const { return started_; }

    // The driver, while no thread works on the sub-chains: forgets what the
    // workers kept of the sub-chains (after they were cut anew); and, after
    // every change of their pair lists, makes room for every variant
    // wanted, so that adding one never moves the others while the linker
    // reads them.
    void ForgetSubChains();
    void ReserveVariants();

    // The driver starts the manager on the row in SC (threads or steps).
    void StartRow();
    // The driver wakes the manager after changing one of its flags.
    void WakeManager() { managerBell_.Ring(); }

    // --- The steps of the protocol --------------------------------------
    enum class Round { Continue, LeaveStopped, LeaveResult };
    // Steps 1..8 of the manager's row loop, once.
    Round ManagerRound();
    // Leaving the row: hand-outs withdrawn, results cleared when stopped
    // from outside, then waiting until no worker runs (`threaded`) .
    void ManagerLeave(bool stopped, bool threaded);
    // A worker takes its start request and runs one burst.
    bool WorkerTake(int k);
    void WorkerRun(int k);
    // The linker takes its start and runs one pass.
    bool LinkerTake();
    void LinkerRun();

    // Kill and recreate (adds to the caught errors count).
    void KillAndRecreateWorker(int k);
    // By the driver: only a worker that is still busy or flagged.
    void KillWorkerIfStuck(int k);
    // By the driver: the manager does it when it is busy.
    void KillAndRecreateLinker();

    int RunningWorkers() const;  // slots that are not idle
    bool WorkersIdleAndFree() const;  // all slots idle, every sub-chain unowned
    // Whether the threads worked since the last call (the heartbeat).
    bool TakeActivity() { return Flags.Activity.exchange(false, std::memory_order_relaxed); }

    // Test hooks: a burst of this worker slot, or the linker's next pass,
    // fails with an error.
    std::atomic<int> FailBurstOfSlot{-1};
    std::atomic<bool> FailLinkerPass{false};

private:
    struct ThreadRec {
        std::thread Thread;
        std::atomic<bool> Cancel{false};
    };
    void ManagerMain();
    void ManagerRow();
    void WorkerMain(int k);
    void LinkerMain();
    void HandOut();
    bool LinkerWorthStarting();
    void RecreateLinker();
    void ReleaseSlot(int k, bool restart);
    void Join(ThreadRec& rec, Doorbell& bell);
    TThrField& Slot(int k) { return gen_.ThrFields[static_cast<std::size_t>(k)]; }

    TMapGenerator& gen_;
    std::array<SubChainScratch, MaxSubChains> scratch_;
    Linker linker_;
    // The sub-chains' progress when the linker was last started.
    std::vector<std::uint64_t> linkerStarted_, linkerState_;
    bool linkerSignatureValid_ = false;
    ThreadRec manager_, linkerThread_;
    std::array<ThreadRec, WorkerSlots> workers_;
    Doorbell managerBell_, linkerBell_;
    std::array<Doorbell, WorkerSlots> workerBells_;
    std::mutex killMutex_;  // one kill or recreation at a time (manager and driver)
    bool started_ = false;
};

}  // namespace zorvane
