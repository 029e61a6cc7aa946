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

#include <nlohmann/json.hpp>

#include "commands.h"
#include "commands/save_commands.h"
#include "console_ui.h"
#include "generate_ui.h"
#include "generator/driver/generation.h"
#include "generator/map_check.h"
#include "generator/session.h"
#include "generator/zg_file.h"
#include "loading.h"
#include "option_rules.h"
#include "outputs.h"
#include "model/layered_file.h"
#include "model/map_file.h"
#include "model/stored_text.h"
#include "platform/file_io.h"
#include "platform/signals.h"

namespace zorvane::cli {

namespace {

// The statistics as one progress line on standard error: the row of the
// map without its border, the local attempts (retries of the current row),
// the first line attempt (what the closing "Map generated in N attempt."
// counts) and the elapsed time. Once the run has ended, a last line shows the
// state it ended in.
class ProgressLine : public GenerationReport {
public:
    ProgressLine(int innerHeight, bool quiet)
        : innerHeight_(innerHeight), tty_(StandardErrorIsTerminal()), quiet_(quiet) {}
    void ShowStatistics(const GenerationStatistics& s) override {
        if (s.CurrentRow == 0 || quiet_) return;  // the statistics reset at the start
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
                  << "  local attempts " << s.LocalAttempt << "  first line attempt " << s.FirstLineAttempt << "  elapsed "
                  << ElapsedText(s.Elapsed) << (tty_ ? "   " : "\n") << std::flush;
    }

    int innerHeight_;
    bool tty_;
    bool quiet_;
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

// Reads the learned squares of a generator data file into a generator;
// throws Error naming the file (`name`, as given) when it is none.
void LoadLearned(const std::string& name, MapGenerator& gen) {
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

// How many squares at fault check lists; it counts them all.
constexpr std::size_t MaxListedViolations = 100;

nlohmann::ordered_json PlaceJson(const JoinViolation::Place& place) {
    const auto bitmap = [](std::uint16_t id) { return id == NoBitmap ? nlohmann::json() : nlohmann::json(id); };
    return {{"x", place.X}, {"y", place.Y}, {"ground", bitmap(place.Square.Gnd)}, {"top", bitmap(place.Square.Top)}};
}

// The squares at fault: where, what is wrong and with which neighbour.
nlohmann::ordered_json CheckJson(const std::string& map, const JoinCheck& check) {
    auto listed = nlohmann::ordered_json::array();
    for (const JoinViolation& v : check.Listed) {
        nlohmann::ordered_json entry = PlaceJson(v.At);
        entry["problem"] = v.What == JoinViolation::Kind::NotLearned   ? "not learned"
                           : v.What == JoinViolation::Kind::NotRightOf ? "may not stand right of"
                                                                       : "may not stand below";
        if (v.What != JoinViolation::Kind::NotLearned) entry["neighbour"] = PlaceJson(v.Neighbour);
        entry["text"] = ViolationText(v);
        listed.push_back(entry);
    }
    nlohmann::ordered_json j;
    j["map"] = ReplacingInvalidUtf8(map);
    j["valid"] = check.Count == 0;
    j["squares_at_fault"] = check.Count;
    j["listed"] = listed;
    return j;
}

// The files generate writes, checked before the work: the layered project,
// and with --zm the map project and the new tile set it may need (by
// default beside it).
struct GenerateTargets {
    std::string layered;
    std::optional<std::string> map;
    std::string tileSet;  // with a map project only
};

GenerateTargets CheckTargets(const GenerateCommandOptions& o) {
    std::vector<OutputFile> outputs{
        {.path = o.out, .extension = KindEntry(ProjectFileKind::Layered).extension, .option = "-o"}};
    if (o.zm) {
        const auto& tileSetExt = KindEntry(ProjectFileKind::TileSet).extension;
        outputs.push_back({.path = *o.zm, .extension = KindEntry(ProjectFileKind::Map).extension, .option = "--zm"});
        outputs.push_back({.path = o.zp.value_or(ChangeFileExt(AbsolutePath(*o.zm), tileSetExt)),
                           .extension = tileSetExt,
                           .option = "--zp"});
    }
    const std::vector<std::string> paths = CheckOutputs(outputs, {.inputs = {o.data}, .force = o.force});
    GenerateTargets targets{.layered = paths[0]};
    if (o.zm) {
        targets.map = paths[1];
        targets.tileSet = paths[2];
    }
    return targets;
}

// The options given over the data file's settings (their values passed the
// option rules).
void ApplyOptions(const GenerateCommandOptions& o, GeneratorSettings& settings) {
    if (o.size) {
        const MapSize size = ParseMapSize(*o.size).value();
        settings.WidthWithoutBorders = size.width;
        settings.HeightWithoutBorders = size.height;
    }
    if (o.threads) settings.WorkerThreads = *o.threads;
    // This command saves the map itself.
    settings.Backup = false;
    settings.SaveCompletedMap = false;
}

GenerateOptions RunOptionsOf(const GenerateCommandOptions& o) {
    GenerateOptions options;
    options.Seed = o.seed;
    if (o.timeout)
        options.TimeLimit = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(*o.timeout));
    return options;
}

// Exports the generated map as the map project of --zm, with the new tile
// set it needs unless one is in the way. Returns 0, or the exit status of
// the failure it reported.
int WriteMapProject(Project& project, GenerateUi& ui, const GenerateTargets& targets, TileSetVariant variant,
                    bool tileSetInTheWay) {
    const std::string& zm = *targets.map;
    const std::string& tileSet = targets.tileSet;
    const FileStamp tileSetBefore(tileSet);
    const ExportOptions exportOptions =
        tileSetInTheWay ? ExportOptions::RefusingNewTileSet() : ExportOptions::WritingTileSetTo(tileSet);
    switch (ExportToZmZpFile(project, ui, zm, variant, exportOptions)) {
    case ExportResult::Exported: break;
    case ExportResult::NeedsNewTileSet:
        return Fail("generate", "The map project needs a new tile set. " + ExistingTileSetText(tileSet));
    case ExportResult::Failed: return Fail("generate", ui);
    }
    ReportWritten(zm);
    if (tileSetBefore.Replaced()) ReportWritten(tileSet);
    return 0;
}

}  // namespace

int Generate(const GenerateCommandOptions& o) {
    if (o.into || o.area) return GenerateInto(o);
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
        const GenerateTargets targets = CheckTargets(o);
        Project project;
        GeneratorSession session;
        MapGenerator& gen = session.generator();
        project.Generator = &gen;
        GeneratorSettings& settings = session.settings();
        if (!LoadZGFile(project, ui, gen, settings, AbsolutePath(o.data))) return Fail("generate", ui);
        if (!variant) variant = VariantOf(project.ZmeVariant);
        const bool tileSetInTheWay = targets.map && FileExists(targets.tileSet) && !o.force;
        if (tileSetInTheWay && NeedsNewTileSet(project, *variant))
            return Fail("generate", "The map project needs a new tile set. " + ExistingTileSetText(targets.tileSet));
        ApplyOptions(o, settings);
        MapGenerationEngine engine(gen);
        ProgressLine progress(settings.HeightWithoutBorders, o.quiet);
        if (interrupts.Presses() > 0)
            return Fail("generate", "Stopped by Ctrl+C before the map was generated; nothing was written.");
        const GenerateOutcome outcome = engine.Generate(project, ui, settings, requests, progress, RunOptionsOf(o));
        progress.End();
        if (outcome == GenerateOutcome::NotReady && ui.problems.empty()) return Fail("generate", NotReadyText);
        if (outcome == GenerateOutcome::NotReady || outcome == GenerateOutcome::Failed) return Fail("generate", ui);
        const std::string status = ui.status();
        if (outcome == GenerateOutcome::Completed) std::cout << status << "\n";
        if (!SaveZLFile(project, ui, targets.layered)) return Fail("generate", ui);
        ReportWritten(targets.layered);
        if (targets.map)
            if (const int failed = WriteMapProject(project, ui, targets, *variant, tileSetInTheWay)) return failed;
        if (outcome != GenerateOutcome::Completed) {
            const char* why = outcome == GenerateOutcome::Terminated ? "threads terminated. " : "";
            return Fail("generate", why + status + "\rThe map as far as it was generated was written to " +
                                        targets.layered + ".");
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
        MapGenerator gen;
        LoadLearned(o.data, gen);
        const JoinCheck result = CheckJoins(squares, w, h, gen, MaxListedViolations);
        if (o.json) {
            std::cout << CheckJson(o.map, result).dump(2) << "\n";
            return result.Count == 0 ? 0 : 1;
        }
        if (result.Count > 0) {
            for (const JoinViolation& v : result.Listed) PrintError("check", ViolationText(v));
            return Fail("check", o.map + ": " + std::to_string(result.Count) + " square" +
                                     (result.Count == 1 ? "" : "s") + " at fault" +
                                     (result.Count > static_cast<std::int64_t>(result.Listed.size())
                                          ? ", the first " + std::to_string(result.Listed.size()) + " listed."
                                          : "."));
        }
        std::cout << o.map << ": " << w - 2 * BorderWidth << " x " << h - 2 * BorderWidth
                  << " squares, every square learned and every join allowed.\n";
        return 0;
    } catch (const Error& e) {
        return Fail("check", e.what());
    }
}

}  // namespace zorvane::cli
