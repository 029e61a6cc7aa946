// zorvane samples: writes the sample tile set and maps drawn by code, in
// both tile set variants, for trying the editor and the generator.

#include <iostream>

#include "commands.h"
#include "console_ui.h"
#include "outputs.h"
#include "samples/samples.h"

namespace zorvane::cli {

int Samples(const SamplesOptions& o) {
    try {
        const auto files = samples::BuildSampleFiles(o.outDir, o.seed);
        samples::WriteSampleFiles(files);
        for (const auto& f : files) ReportWritten(f.Path);
        return 0;
    } catch (const Error& e) {
        std::cerr << "zorvane samples: " << ConsoleText(e.what()) << "\n";
        return 1;
    }
}

}  // namespace zorvane::cli
