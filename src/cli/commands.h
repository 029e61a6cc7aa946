#pragma once
// The sub-commands of the command-line tool. Each returns the process exit
// status; errors are written to standard error.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zorvane::cli {

struct InfoOptions {
    std::string file;
    bool json = false;
};
int Info(const InfoOptions& options);

struct SamplesOptions {
    std::string outDir;
    std::uint32_t seed = 1;
    bool force = false;  // replace files that differ from the samples
};
int Samples(const SamplesOptions& options);

struct ConvertOptions {
    std::string in;
    std::string out;
    std::optional<std::string> variant;  // "zme" or "zmpe"
    std::optional<std::string> zp;       // tile set read in place of the one a map names
    bool force = false;                  // replace an existing tile set
    bool verbose = false;
};
int Convert(const ConvertOptions& options);

struct ExportCommandOptions {
    std::string in;
    std::string out;
    std::string variant;            // "zme" or "zmpe"
    std::optional<std::string> zp;  // the new tile set file, when one is needed
    bool force = false;             // replace an existing tile set
    bool verbose = false;
};
int Export(const ExportCommandOptions& options);

struct RenderCommandOptions {
    std::string in;
    std::string out;
    std::optional<std::string> zp;  // tile set read in place of the one a map names
    int compression = 1;            // PNG compression level, 0 to 9
    bool attributes = false;
    bool grid = false;
    bool ids = false;
    bool noTop = false;
    bool noBorders = false;
    bool verbose = false;
};
int Render(const RenderCommandOptions& options);

struct LearnOptions {
    std::vector<std::string> maps;
    std::string out;
    std::vector<std::string> multipliers;  // "MAP=N"
    std::vector<std::string> connectors;   // maps whose squares are interchangeable
    std::optional<std::string> zp;         // every map uses this tile set
    bool gatherTiles = false;              // merge the tiles lists of all tile sets
    bool frequencies = false;              // also count how often squares and joins occur
    bool verbose = false;
};
int Learn(const LearnOptions& options);

struct GenerateCommandOptions {
    std::string data;                    // the generator data file (*.zg)
    std::string out;                     // the layered project to write (*.zl)
    std::optional<std::string> zm;       // also a map project
    std::optional<std::string> variant;  // of the map project: "zme" or "zmpe"
    std::optional<std::string> zp;       // a new tile set the map project needs (*.zp)
    bool force = false;                  // replace an existing tile set
    std::optional<std::string> size;     // "WxH" without borders
    std::optional<std::uint64_t> seed;
    std::optional<int> threads;          // 1..4
    std::optional<double> timeout;       // seconds
    bool verbose = false;
    bool quiet = false;                  // no progress line
    std::optional<std::string> into;     // generate inside an area of this map (*.zl or *.zm)
    std::optional<std::string> area;     // "X,Y,W,H" in map squares, borders counted
};
int Generate(const GenerateCommandOptions& options);
// generate --into MAP --area X,Y,W,H: new squares for an area of a map.
int GenerateInto(const GenerateCommandOptions& options);

struct CheckOptions {
    std::string map;   // *.zl or *.zm
    std::string data;  // *.zg
    bool json = false;
};
int Check(const CheckOptions& options);

struct StatsOptions {
    std::vector<std::string> maps;     // *.zm or *.zl
    std::vector<std::string> against;  // the examples to compare with
    bool json = false;
};
int Stats(const StatsOptions& options);

}  // namespace zorvane::cli
