#pragma once
// What the editor's benchmarks share: the learned sample content as a
// generator data file, and a main that runs them with a Qt application on
// the offscreen platform (unless another one is asked for).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdint>
#include <string>
#include <vector>

#include "learned_samples.h"

namespace zorvane::bench {

inline int RunQtBenchmarks(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace zorvane::bench
