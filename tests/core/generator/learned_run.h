#pragma once
// The search's unit tests fill learned data and a run's buffers by hand;
// one object holds both, passed as either.

#include <array>

#include "generator/generator.h"
#include "generator/search/run_buffers.h"

namespace zorvane {

struct LearnedRun : MapGenerator, RunBuffers {
    std::array<WorkerExchange, WorkerSlots> WorkerExchanges;  // the threads' slots, for bursts run by hand
};

}  // namespace zorvane
