// zorvane samples: writes the sample tile set and maps drawn by code, in
// both tile set variants, for trying the editor and the generator. A file
// already there with other bytes (a map the user changed) is replaced only
// with --force; one with the very bytes is simply written again.

#include "commands.h"
#include "console_ui.h"
#include "outputs.h"
#include "platform/file_io.h"
#include "samples/samples.h"

namespace zorvane::cli {

int Samples(const SamplesOptions& o) {
    try {
        const auto files = samples::BuildSampleFiles(o.outDir, o.seed);
        std::string changed;
        for (const auto& f : files)
            if (!o.force && FileExists(f.Path) && ReadWholeFile(f.Path) != f.Bytes) changed += "\r  " + f.Path;
        if (!changed.empty()) {
            PrintError("samples", "These files differ from the samples and are left as they are; give --force to "
                                  "replace them:" + changed);
            return 1;
        }
        samples::WriteSampleFiles(files);
        for (const auto& f : files) ReportWritten(f.Path);
        return 0;
    } catch (const Error& e) {
        PrintError("samples", e.what());
        return 1;
    }
}

}  // namespace zorvane::cli
