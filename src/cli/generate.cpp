// zorvane generate: generates a map from a generator data file (*.zg) as
// the editor's "Generate Map" does, with the data file's tile set as the
// project's, and saves it as a layered project (and a map project). A
// progress line shows the row, the attempts and the elapsed time; Ctrl+C
// stops the run like Esc (a second Ctrl+C terminates the threads).
//
// zorvane check: checks a map against a generator data file: every inner
// square learned, every neighbour pair an allowed join.

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <optional>

#include "commands.h"
#include "commands/save_commands.h"
#include "console_ui.h"
#include "generator/driver/generation.h"
#include "generator/map_check.h"
#include "generator/zg_file.h"
#include "loading.h"
#include "outputs.h"
#include "model/layered_file.h"
#include "model/map_file.h"
#include "platform/file_io.h"
#include "platform/signals.h"

namespace zorvane::cli {

namespace {

// The console user of a run: window messages are the Ctrl+C presses, each
// turned into an Esc press by the driver's polls.
class GenerateUi : public ConsoleUi {
public:
    GenerateUi(GenerationRequests& requests, const InterruptCounter& interrupts)
        : requests_(requests), interrupts_(interrupts) {}
    void processEvents() override {
        for (const int pressed = interrupts_.Presses(); seen_ < pressed; ++seen_) requests_.PressEsc();
    }

private:
    GenerationRequests& requests_;
    const InterruptCounter& interrupts_;
    int seen_ = 0;
};

// The statistics as one progress line on standard error: the row of the
// map without its border, the local attempts, the attempts at the first
// line and the elapsed time. Once the run has ended, a last line shows the
// state it ended in.
class ProgressLine : public GenerationReport {
public:
    explicit ProgressLine(int innerHeight) : innerHeight_(innerHeight), tty_(StandardErrorIsTerminal()) {}
    void ShowStatistics(const GenerationStatistics& s) override {
        if (s.CurrentRow == 0) return;  // the statistics reset at the start
        latest_ = s;
        const auto now = std::chrono::steady_clock::now();
        if (shown_ && now - last_ < std::chrono::milliseconds(tty_ ? 100 : 2000)) return;
        last_ = now;
        Print(s);
    }
    void End() {
        if (!latest_) return;
        Print(*latest_);
        if (tty_) std::cerr << "\n";
    }

private:
    void Print(const GenerationStatistics& s) {
        shown_ = true;
        std::cerr << (tty_ ? "\r" : "") << "row " << s.CurrentRow - BorderWidth + 1 << "/" << innerHeight_
                  << "  attempts " << s.LocalAttempt << "  first line attempt " << s.FirstLineAttempt << "  elapsed "
                  << ElapsedText(s.Elapsed) << (tty_ ? "   " : "\n") << std::flush;
    }

    int innerHeight_;
    bool tty_;
    bool shown_ = false;
    std::optional<GenerationStatistics> latest_;
    std::chrono::steady_clock::time_point last_{};
};

// Whether the map project will need a new tile set. The generated map
// places learned squares only, so no new bitmaps come of it: another
// variant, or a tile set the data file does not name, makes one.
bool NeedsNewTileSet(const Project& project, TileSetVariant variant) {
    return project.ZpModified || project.ZpPath.empty() || VariantOf(project.ZmeVariant) != variant;
}

bool ParseSize(const std::string& text, int& w, int& h) {
    const auto x = text.find_first_of("xX");
    if (x == std::string::npos) return false;
    try {
        std::size_t used = 0;
        w = std::stoi(text.substr(0, x), &used);
        if (used != x) return false;
        h = std::stoi(text.substr(x + 1), &used);
        if (used != text.size() - x - 1) return false;
    } catch (const std::exception&) {
        return false;
    }
    return w >= MinUserMapSize && w <= MaxUserMapSize && h >= MinUserMapSize && h <= MaxUserMapSize;
}

// Reads the learned squares of a generator data file into a generator;
// throws Error naming the file (`name`, as given) when it is none.
void LoadLearned(const std::string& name, TMapGenerator& gen) {
    const auto bytes = ReadWholeFile(AbsolutePath(name));
    if (KindOfBytes(bytes) != ProjectFileKind::GeneratorData)
        throw Error(name + " is not a generator data file (*.zg).");
    GeneratorPreset preset;
    try {
        preset = ParseZG(bytes);
    } catch (const Error& e) {
        throw Error(name + ": " + e.what());
    }
    gen.SetSquares(std::move(preset.Squares));
    gen.Learned = true;
}

}  // namespace

int Generate(const GenerateCommandOptions& o) {
    // Ctrl+C is caught for the whole command: while the data file loads, the
    // run and the saving of the map as far as it got. The first press stops
    // the run, the second ends its threads, later ones are only counted.
    InterruptCounter interrupts;
    GenerationRequests requests;
    GenerateUi ui(requests, interrupts);
    ui.verbose = o.verbose;
    try {
        std::optional<TileSetVariant> variant = ParseVariant(o.variant);
        if (o.variant && !o.zm) return Fail("generate", "--variant applies to the map project written with --zm.");
        if (o.zp && !o.zm) return Fail("generate", "--zp applies to the map project written with --zm.");
        // Every output is checked before the work: the layered project, the
        // map project and the new tile set it may need (by default beside it).
        std::vector<OutputFile> outputs{
            {.path = o.out, .extension = KindEntry(ProjectFileKind::Layered).extension, .option = "-o"}};
        if (o.zm) {
            const auto& tileSetExt = KindEntry(ProjectFileKind::TileSet).extension;
            outputs.push_back(
                {.path = *o.zm, .extension = KindEntry(ProjectFileKind::Map).extension, .option = "--zm"});
            outputs.push_back({.path = o.zp.value_or(ChangeFileExt(AbsolutePath(*o.zm), tileSetExt)),
                               .extension = tileSetExt,
                               .option = "--zp"});
        }
        const std::vector<std::string> targets = CheckOutputs(outputs, {.inputs = {o.data}, .force = o.force});
        const std::string& out = targets[0];
        Project project;
        TMapGenerator gen;
        project.Generator = &gen;
        GeneratorSettings settings;
        if (!LoadZGFile(project, ui, gen, settings, AbsolutePath(o.data))) return Fail("generate", ui);
        if (!variant) variant = VariantOf(project.ZmeVariant);
        const bool tileSetInTheWay = o.zm && FileExists(targets[2]) && !o.force;
        if (tileSetInTheWay && NeedsNewTileSet(project, *variant))
            return Fail("generate", "The map project needs a new tile set. " + ExistingTileSetText(targets[2]));
        if (o.size && !ParseSize(*o.size, settings.SEsizeX, settings.SEsizeY))
            return Fail("generate", "--size takes WxH, each 10 to 202.");
        if (o.threads) {
            if (*o.threads < 1 || *o.threads > WorkerSlots) return Fail("generate", "--threads takes 1 to 4.");
            settings.SEmaxThreads = *o.threads;
        }
        // This command saves the map itself.
        settings.CBbackup = false;
        settings.CBsaveCompleted = false;
        GenerateOptions options;
        options.Seed = o.seed;
        if (o.timeout) {
            if (*o.timeout <= 0) return Fail("generate", "--timeout takes a number of seconds above 0.");
            options.TimeLimit = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                std::chrono::duration<double>(*o.timeout));
        }
        MapGenerationEngine engine(gen);
        ProgressLine progress(settings.SEsizeY);
        if (interrupts.Presses() > 0)
            return Fail("generate", "Stopped by Ctrl+C before the map was generated; nothing was written.");
        const GenerateOutcome outcome = engine.Generate(project, ui, settings, requests, progress, options);
        progress.End();
        if (outcome == GenerateOutcome::NotReady && ui.problems.empty()) return Fail("generate", NotReadyText);
        if (outcome == GenerateOutcome::NotReady || outcome == GenerateOutcome::Failed) return Fail("generate", ui);
        const std::string status = ui.status();
        if (outcome == GenerateOutcome::Completed) std::cout << status << "\n";
        if (!SaveZLFile(project, ui, out)) return Fail("generate", ui);
        ReportWritten(out);
        if (o.zm) {
            const std::string& zm = targets[1];
            const std::string& tileSet = targets[2];
            const FileStamp tileSetBefore(tileSet);
            const ExportOptions exportOptions = tileSetInTheWay ? ExportOptions::RefusingNewTileSet()
                                                                : ExportOptions::WritingTileSetTo(tileSet);
            switch (ExportToZmZpFile(project, ui, zm, *variant, exportOptions)) {
            case ExportResult::Exported: break;
            case ExportResult::NeedsNewTileSet:
                return Fail("generate", "The map project needs a new tile set. " + ExistingTileSetText(tileSet));
            case ExportResult::Failed: return Fail("generate", ui);
            }
            ReportWritten(zm);
            if (tileSetBefore.Replaced()) ReportWritten(tileSet);
        }
        if (outcome != GenerateOutcome::Completed) {
            const char* why = outcome == GenerateOutcome::Terminated ? "threads terminated. " : "";
            return Fail("generate", why + status +
                                        "\rThe map as far as it was generated was written to " + out + ".");
        }
        return 0;
    } catch (const Error& e) {
        return Fail("generate", e.what());
    }
}

int Check(const CheckOptions& o) {
    try {
        const std::string path = AbsolutePath(o.map);
        const auto bytes = ReadWholeFile(path);
        const std::optional<MapSquares> map = ReadMapSquares(bytes);
        if (!map) return Fail("check", o.map + " is not a map project (*.zm) or layered project (*.zl).");
        const auto& [squares, w, h] = *map;
        TMapGenerator gen;
        LoadLearned(o.data, gen);
        if (const auto violation = FirstJoinViolation(squares, w, h, gen)) return Fail("check", *violation);
        std::cout << o.map << ": " << w - 2 * BorderWidth << " x " << h - 2 * BorderWidth
                  << " squares, every square learned and every join allowed.\n";
        return 0;
    } catch (const Error& e) {
        return Fail("check", e.what());
    }
}

}  // namespace zorvane::cli
