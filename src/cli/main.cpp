// zorvane: the command-line tool over the editor's core, for batch work,
// scripting and checks.

#include <CLI/CLI.hpp>

#include <cstdio>
#include <functional>
#include <iostream>
#include <optional>
#include <streambuf>
#include <string>
#include <vector>

#include "commands.h"
#include "option_rules.h"
#include "platform/file_names.h"
#include "platform/process.h"
#include "platform/signals.h"

namespace zorvane::cli {
namespace {

// Standard output of --quiet: everything written is dropped, without
// error, until the object ends (before the program's own end, which
// flushes standard output).
class QuietOutput {
public:
    explicit QuietOutput(bool quiet) : kept_(quiet ? std::cout.rdbuf(&discarded_) : nullptr) {}
    ~QuietOutput() {
        if (kept_) std::cout.rdbuf(kept_);
    }
    QuietOutput(const QuietOutput&) = delete;
    QuietOutput& operator=(const QuietOutput&) = delete;

private:
    class Discarding : public std::streambuf {
    protected:
        int overflow(int c) override { return traits_type::not_eof(c); }
    };
    Discarding discarded_;
    std::streambuf* kept_;
};

// The command the arguments name, or empty when they name none (only
// options such as --help or --version).
std::string FirstWord(const std::vector<std::string>& args) {
    for (std::size_t i = 1; i < args.size(); ++i)
        if (!args[i].starts_with("-")) return args[i];
    return {};
}

CLI::App* CommandNamed(CLI::App& app, const std::string& name) {
    for (CLI::App* command : app.get_subcommands({}))
        if (command->get_name() == name) return command;
    return nullptr;
}

// What every command's output ends with: standard output written out. A
// full disk or a closed pipe there is a failure of the command.
int Finish(const std::string& command, int status) {
    std::cout.flush();
    if (std::cout.good() && std::fflush(stdout) == 0 && !std::ferror(stdout)) return status;
    std::cerr << "zorvane" << (command.empty() ? "" : " " + command) << ": standard output could not be written.\n";
    return status == 0 ? 1 : status;
}

// What the arguments say: the options of every command (the named
// command's are filled in), the help command's topic and --quiet.
struct CommandLine {
    std::string helpTopic;
    bool quiet = false;
    InfoOptions info;
    LearnOptions learn;
    GenerateCommandOptions generate;
    CheckOptions check;
    StatsOptions stats;
    SamplesOptions samples;
    ConvertOptions convert;
    ExportCommandOptions exportMap;
#ifdef ZORVANE_WITH_RENDER
    RenderCommandOptions render;
#endif
};

// A command of the tool: the parser of its options, and its work, which
// reads the options the parser filled in.
struct Command {
    CLI::App* parser;
    std::function<int()> run;
};

CLI::App* DeclareHelp(CLI::App& app, std::string& topic) {
    auto* helpCmd = app.add_subcommand("help", "Show the help of the tool or of one command");
    helpCmd->add_option("COMMAND", topic, "The command");
    return helpCmd;
}

CLI::App* DeclareInfo(CLI::App& app, InfoOptions& info) {
    auto* infoCmd = app.add_subcommand("info", "Summarise a *.zp, *.zm, *.zl or *.zg file");
    infoCmd->add_option("FILE", info.file, "The file")->required()->check(ExistingFileRule());
    infoCmd->add_flag("--json", info.json, "Print one JSON object");
    return infoCmd;
}

CLI::App* DeclareLearn(CLI::App& app, LearnOptions& learn) {
    auto* learnCmd = app.add_subcommand("learn", "Learn from map projects and save a generator data file (*.zg)");
    learnCmd->add_option("MAPS", learn.maps, "The map projects (*.zm) to learn from")
        ->required()
        ->check(ExistingFileRule());
    learnCmd->add_option("-o,--out", learn.out, "The generator data file to write (*.zg)")->required();
    learnCmd->add_option("--multiplier", learn.multipliers, "MAP=N: the weight of a map's joins (default 1)")
        ->check(MultiplierRule());
    learnCmd->add_option("--connector", learn.connectors, "A map whose squares are interchangeable (default: none)");
    learnCmd->add_option("--zp", learn.zp, "Use this tile set for every map (default: the one each map names)");
    learnCmd->add_flag("--gather-tiles", learn.gatherTiles, "Collect the tiles lists of all tile sets");
    learnCmd->add_flag("--frequencies", learn.frequencies,
                       "Learn how often squares occur, so that generation favours frequent squares (default: off)");
    learnCmd->add_flag("-v,--verbose", learn.verbose, "Show what is done");
    return learnCmd;
}

CLI::App* DeclareGenerate(CLI::App& app, GenerateCommandOptions& generate) {
    auto* generateCmd = app.add_subcommand("generate", "Generate a map from a generator data file (*.zg)");
    generateCmd->footer("Every setting not given here is the data file's own: the defaults come from the settings "
                        "it was saved with.");
    generateCmd->add_option("DATA", generate.data, "The generator data file")->required()->check(ExistingFileRule());
    generateCmd->add_option("-o,--out", generate.out, "The layered project to write (*.zl)")->required();
    generateCmd->add_option("--zm", generate.zm, "Also write a map project (*.zm)");
    generateCmd->add_option("--variant", generate.variant,
                            "Variant of the map project (default: the data file's tile set's)")
        ->check(VariantRule());
    generateCmd->add_option("--zp", generate.zp,
                            "Where a new tile set the map project needs goes (default: beside it, as *.zp)");
    generateCmd->add_flag("--force", generate.force, "Replace an existing tile set");
    generateCmd->add_option("--size", generate.size,
                            "The map size without borders (default: the data file's setting)")
        ->check(MapSizeRule());
    generateCmd->add_option("--seed", generate.seed,
                            "Seed of the random numbers; with --threads 1 the same map (default: a new one each run)")
        ->check(SeedRule());
    generateCmd->add_option("--threads", generate.threads, "Worker threads (default: the data file's setting)")
        ->check(ThreadsRule());
    generateCmd->add_option("--timeout", generate.timeout, "Stop after this many seconds (default: no limit)")
        ->check(TimeoutRule());
    generateCmd->add_option("--into", generate.into,
                            "Generate inside an area of this map (*.zl or *.zm) instead of a whole new map")
        ->check(ExistingFileRule());
    generateCmd->add_option("--area", generate.area,
                            "The area of --into as X,Y,W,H, in squares of the map with its borders");
    generateCmd->add_flag("-v,--verbose", generate.verbose, "Show what is done");
    return generateCmd;
}

CLI::App* DeclareCheck(CLI::App& app, CheckOptions& check) {
    auto* checkCmd = app.add_subcommand("check", "Check that a map uses only learned squares and allowed joins");
    checkCmd->add_option("MAP", check.map, "The map (*.zl or *.zm)")->required()->check(ExistingFileRule());
    checkCmd->add_option("DATA", check.data, "The generator data file (*.zg)")->required()->check(ExistingFileRule());
    checkCmd->add_flag("--json", check.json, "Print one JSON object, with the squares at fault");
    return checkCmd;
}

CLI::App* DeclareStats(CLI::App& app, StatsOptions& stats) {
    auto* statsCmd = app.add_subcommand(
        "stats", "Square frequencies, runs and regions of maps, and how far they are from examples");
    statsCmd->footer("Only the squares inside the 2-square border count: the border is the same in every map and "
                     "is not generated. Squares are told apart by their ground and top bitmaps, as learning does, "
                     "so maps and examples should use one tile set; an attribute class is the terrain attribute of "
                     "a square. Runs are straight lines of squares of one class, regions are squares of one class "
                     "joined side to side; every figure pools the maps of its side.");
    statsCmd->add_option("MAPS", stats.maps, "The maps (*.zm or *.zl)")->required()->check(ExistingFileRule());
    statsCmd->add_option("--against", stats.against,
                         "Example maps (*.zm or *.zl) to compare with, with the square frequency distance "
                         "(total variation: 0 the same frequencies, 1 no square in common) (default: none)")
        ->check(ExistingFileRule());
    statsCmd->add_flag("--json", stats.json, "Print one JSON object");
    return statsCmd;
}

CLI::App* DeclareSamples(CLI::App& app, SamplesOptions& samples) {
    auto* samplesCmd = app.add_subcommand("samples", "Write the sample tile set and maps (both variants) into a folder");
    samplesCmd->add_option("OUTDIR", samples.outDir, "The folder to write into")->required();
    samplesCmd->add_option("--seed", samples.seed, "Seed of the sample maps")->check(SeedRule())->capture_default_str();
    samplesCmd->add_flag("--force", samples.force, "Replace files that differ from the samples (maps you changed)");
    return samplesCmd;
}

CLI::App* DeclareConvert(CLI::App& app, ConvertOptions& convert) {
    auto* convertCmd = app.add_subcommand(
        "convert", "Convert a tile set to a tile set (either variant), or a map or layered project to *.zl");
    convertCmd->add_option("IN", convert.in, "The file to read")->required()->check(ExistingFileRule());
    convertCmd->add_option("OUT", convert.out, "The file to write (*.zp from a tile set, else *.zl)")->required();
    convertCmd->add_option("--variant", convert.variant,
                           "Tile set variant to write (default: the one read)")
        ->check(VariantRule());
    convertCmd->add_option("--zp", convert.zp, "Tile set to read in place of the one a map names (default: that one)");
    convertCmd->add_flag("--force", convert.force, "Replace an existing tile set");
    convertCmd->add_flag("-v,--verbose", convert.verbose, "Show what is done");
    return convertCmd;
}

CLI::App* DeclareExport(CLI::App& app, ExportCommandOptions& exp) {
    auto* exportCmd = app.add_subcommand("export", "Flatten a layered project and export it as a map project");
    exportCmd->add_option("IN", exp.in, "The layered project (*.zl)")->required()->check(ExistingFileRule());
    exportCmd->add_option("OUT", exp.out, "The map project to write (*.zm)")->required();
    exportCmd->add_option("--variant", exp.variant, "Variant of the map project")->required()->check(VariantRule());
    exportCmd->add_option("--zp", exp.zp, "The new tile set file, when the export needs one (default: none)");
    exportCmd->add_flag("--force", exp.force, "Replace an existing tile set");
    exportCmd->add_flag("-v,--verbose", exp.verbose, "Show what is done");
    return exportCmd;
}

#ifdef ZORVANE_WITH_RENDER
CLI::App* DeclareRender(CLI::App& app, RenderCommandOptions& render) {
    auto* renderCmd = app.add_subcommand("render", "Render a map or layered project to a PNG picture");
    renderCmd->add_option("IN", render.in, "The map project (*.zm) or layered project (*.zl)")
        ->required()
        ->check(ExistingFileRule());
    renderCmd->add_option("OUT", render.out, "The PNG file to write")->required();
    renderCmd->add_option("--zp", render.zp, "Tile set to read in place of the one a map names (default: that one)");
    renderCmd->add_option("--compression", render.compression, "PNG compression, 0 (none, fastest) to 9 (smallest)")
        ->check(CompressionRule())
        ->capture_default_str();
    renderCmd->add_flag("--attributes", render.attributes, "Show the attribute pictograms");
    renderCmd->add_flag("--grid", render.grid, "Show the grid");
    renderCmd->add_flag("--ids", render.ids, "Show the bitmap ids");
    renderCmd->add_flag("--no-top", render.noTop, "Leave out the top layer");
    renderCmd->add_flag("--no-borders", render.noBorders, "Leave out the border lines");
    renderCmd->add_flag("-v,--verbose", render.verbose, "Show what is done");
    return renderCmd;
}
#endif

// The commands after help, in the order the tool's help lists them, each
// reading its part of `line`.
std::vector<Command> DeclareCommands(CLI::App& app, CommandLine& line) {
    // A braced list is evaluated in order: the commands are declared as listed.
    return {
        {DeclareInfo(app, line.info), [&line] { return Info(line.info); }},
        {DeclareLearn(app, line.learn), [&line] { return Learn(line.learn); }},
        {DeclareGenerate(app, line.generate),
         [&line] {
             line.generate.quiet = line.quiet;  // no progress line either
             return Generate(line.generate);
         }},
        {DeclareCheck(app, line.check), [&line] { return Check(line.check); }},
        {DeclareStats(app, line.stats), [&line] { return Stats(line.stats); }},
        {DeclareSamples(app, line.samples), [&line] { return Samples(line.samples); }},
        {DeclareConvert(app, line.convert), [&line] { return Convert(line.convert); }},
        {DeclareExport(app, line.exportMap), [&line] { return Export(line.exportMap); }},
#ifdef ZORVANE_WITH_RENDER
        {DeclareRender(app, line.render), [&line] { return Render(line.render); }},
#endif
    };
}

// Every command prints errors only with --quiet; it excludes --verbose.
void DeclareQuiet(CLI::App& app, const CLI::App* helpCmd, bool& quiet) {
    for (CLI::App* command : app.get_subcommands({})) {
        if (command == helpCmd) continue;
        CLI::Option* quietFlag = command->add_flag("-q,--quiet", quiet, "Print errors only");
        if (CLI::Option* verboseFlag = command->get_option_no_throw("--verbose")) quietFlag->excludes(verboseFlag);
    }
}

// Parses the arguments (`word` is the command they name). Returns the exit
// status when that is all there is to do: an unknown command or wrong usage
// (2), --help or --version answered.
std::optional<int> Parse(CLI::App& app, std::vector<std::string>& arguments, const std::string& word) {
    if (!word.empty() && CommandNamed(app, word) == nullptr) {
        std::cerr << "zorvane: unknown command " << word << "\nzorvane: see zorvane help\n";
        return 2;
    }
    try {
        std::vector<char*> args;
        for (std::string& arg : arguments) args.push_back(arg.data());
        app.parse(static_cast<int>(args.size()), args.data());
    } catch (const CLI::ParseError& e) {
        // Help and version are answers; everything else is wrong usage.
        if (e.get_exit_code() == 0) return Finish(word, app.exit(e));
        std::string prefix = "zorvane";
        for (const CLI::App* command : app.get_subcommands()) prefix += " " + command->get_name();
        std::cerr << prefix << ": " << e.what() << "\n" << prefix << ": see zorvane help"
                  << (prefix.size() > 7 ? prefix.substr(7) : std::string()) << "\n";
        return 2;
    }
    return std::nullopt;
}

// zorvane help [COMMAND]: the help of the tool or of one command.
int ShowHelp(CLI::App& app, const std::string& topic, const std::string& word) {
    if (topic.empty()) {
        // The tool's own help (app.help() would show the help command's).
        std::cout << app.get_formatter()->make_help(&app, app.get_name(), CLI::AppFormatMode::Normal);
        return Finish(word, 0);
    }
    if (const CLI::App* command = CommandNamed(app, topic)) {
        std::cout << command->help(app.get_name());
        return Finish(word, 0);
    }
    std::cerr << "zorvane help: there is no command " << topic << ".\n";
    return 2;
}

// The work of the command the arguments named.
int RunNamed(const std::vector<Command>& commands) {
    for (const Command& command : commands)
        if (*command.parser) return command.run();
    return 1;
}

}  // namespace
}  // namespace zorvane::cli

int main(int argc, char** argv) {
    using namespace zorvane::cli;
    zorvane::IgnoreFileSizeLimitSignal();
    CLI::App app{"zorvane - the Zorvane Terrain Editor's command-line tool\n"
                 "Exit status: 0 success, 1 failure, 2 wrong usage."};
    app.name("zorvane");  // in usage lines and the manual page, whatever the path it was started by
    app.set_version_flag("--version", "zorvane " ZORVANE_VERSION);
    app.require_subcommand(1);
    app.get_formatter()->column_width(36);  // room for the options' ranges

    CommandLine line;
    const CLI::App* helpCmd = DeclareHelp(app, line.helpTopic);
    const std::vector<Command> commands = DeclareCommands(app, line);
    DeclareQuiet(app, helpCmd, line.quiet);

    // On Windows the arguments as typed, not narrowed to the ANSI code page.
    std::vector<std::string> arguments = zorvane::Utf8Arguments(argc, argv);
    const std::string word = FirstWord(arguments);
    if (const std::optional<int> status = Parse(app, arguments, word)) return *status;
    if (*helpCmd) return ShowHelp(app, line.helpTopic, word);
    const QuietOutput quietOutput(line.quiet);
    return Finish(word, RunNamed(commands));
}
