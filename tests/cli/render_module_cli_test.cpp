// Only the render command loads Qt: its renderer is a module beside the
// program, loaded when a map is rendered, found next to the program's own
// file and nowhere else, with a clear error when it is missing or broken.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/wait.h>
#include <unistd.h>

#include "cli_runner.h"
#include "platform/file_io.h"

using namespace zorvane;
using namespace zorvane::testing;

namespace fs = std::filesystem;

namespace {

struct WatchedRun {
    CliOutcome outcome;
    std::string loaded;  // the dynamic loader's account of every library it loaded
};

// Runs zorvane with the dynamic loader reporting each library it loads,
// needed by a program or library or loaded while running (LD_DEBUG=files),
// into files of their own (LD_DEBUG_OUTPUT), one per process.
WatchedRun RunWatchingLoads(const std::string& args, const TempDir& dir) {
    const fs::path reports = dir.path() / "loader";
    fs::create_directory(reports);
    ::setenv("LD_DEBUG", "files", 1);
    ::setenv("LD_DEBUG_OUTPUT", (reports / "report").c_str(), 1);
    WatchedRun run{RunZorvane(args, dir), {}};
    ::unsetenv("LD_DEBUG");
    ::unsetenv("LD_DEBUG_OUTPUT");
    for (const fs::directory_entry& report : fs::directory_iterator(reports)) {
        std::ifstream in(report.path());
        std::stringstream text;
        text << in.rdbuf();
        run.loaded += text.str();
    }
    fs::remove_all(reports);
    return run;
}

}  // namespace

TEST(RenderModule, OnlyRenderLoadsQt) {
    TempDir dir;
    for (const std::string command :
         {"samples s", "info s/zmpe/samples.zp",
          "learn s/zmpe/meadow.zm s/zmpe/grass_connector.zm --connector s/zmpe/grass_connector.zm -o d.zg",
          "info d.zg --json", "generate d.zg -o g.zl --size 10x10 --seed 7 --threads 1", "check g.zl d.zg",
          "stats g.zl", "convert s/zmpe/meadow.zm m.zl", "export m.zl m.zm --variant zmpe", "--help"}) {
        const WatchedRun run = RunWatchingLoads(command, dir);
        ASSERT_EQ(run.outcome.status, 0) << command << "\n" << run.outcome.err;
        EXPECT_NE(run.loaded.find("libstdc++"), std::string::npos) << command << ": no report of the loader";
        EXPECT_EQ(run.loaded.find("libQt"), std::string::npos) << command << " loaded Qt:\n" << run.loaded;
    }
#ifdef ZORVANE_WITH_RENDER
    // The help of render, given without its module, still lists its options.
    const WatchedRun help = RunWatchingLoads("help render", dir);
    EXPECT_NE(help.outcome.out.find("--compression"), std::string::npos) << help.outcome.out;
    EXPECT_EQ(help.loaded.find("libQt"), std::string::npos);

    const WatchedRun render = RunWatchingLoads("render g.zl g.png --ids", dir);
    ASSERT_EQ(render.outcome.status, 0) << render.outcome.err;
    EXPECT_NE(render.loaded.find(ZORVANE_RENDER_MODULE), std::string::npos);
    EXPECT_NE(render.loaded.find("libQt6Gui"), std::string::npos);
    EXPECT_GT(ReadWholeFile(dir.file("g.png")).size(), 8u);
#endif
}

#ifdef ZORVANE_WITH_RENDER
namespace {

// Runs a command line in `folder`; its exit status, standard error in `err`.
int RunIn(const fs::path& folder, const std::string& line, std::string& err) {
    const fs::path errFile = fs::temp_directory_path() / ("zorvane-render-err-" + std::to_string(::getpid()));
    const std::string command = "cd '" + folder.string() + "' && " + line + " >/dev/null 2>'" + errFile.string() + "'";
    const int status = std::system(command.c_str());
    std::ifstream in(errFile);
    std::stringstream text;
    text << in.rdbuf();
    err = text.str();
    fs::remove(errFile);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

// A copy of zorvane in a folder without the module says so, even run from
// the module's own folder; a file of that name that is no library is
// refused with the system's reason; a link to zorvane finds the module
// beside the program it links to, and draws what zorvane itself draws.
TEST(RenderModule, IsLookedForBesideTheProgramItself) {
    TempDir dir;
    ASSERT_EQ(RunZorvane("samples s", dir).status, 0);
    const fs::path program = ZORVANE_CLI_PATH;
    const fs::path bin = dir.path() / "bin";
    fs::create_directory(bin);
    fs::copy_file(program, bin / "zorvane");
    const std::string render = " render '" + dir.file("s/zmpe/meadow.zm") + "' '" + dir.file("m.png") + "'";

    std::string err;
    EXPECT_EQ(RunIn(program.parent_path(), "'" + (bin / "zorvane").string() + "'" + render, err), 1);
    EXPECT_TRUE(err.starts_with("zorvane render: ")) << err;
    EXPECT_NE(err.find(ZORVANE_RENDER_MODULE " was not found next to zorvane (in " + bin.string() + ")"),
              std::string::npos)
        << err;
    EXPECT_FALSE(fs::exists(dir.file("m.png")));

    WriteBytes((bin / ZORVANE_RENDER_MODULE).string(), {'n', 'o', 't', ' ', 'E', 'L', 'F'});
    EXPECT_EQ(RunIn(dir.path(), "bin/zorvane" + render, err), 1);
    EXPECT_NE(err.find("zorvane render: The render module " + (bin / ZORVANE_RENDER_MODULE).string() +
                       " could not be loaded: "),
              std::string::npos)
        << err;
    EXPECT_FALSE(fs::exists(dir.file("m.png")));

    fs::create_directory(dir.path() / "link");
    fs::create_symlink(program, dir.path() / "link" / "zorvane");
    EXPECT_EQ(RunIn(dir.path(), "link/zorvane" + render, err), 0) << err;
    ASSERT_EQ(RunZorvane("render s/zmpe/meadow.zm direct.png", dir).status, 0);
    EXPECT_EQ(ReadWholeFile(dir.file("m.png")), ReadWholeFile(dir.file("direct.png")));
}
#endif
