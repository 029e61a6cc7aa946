// Outputs on a disk that fills up (a file size limit stands in for it): the
// command fails with a message, the old output stays as it was and nothing
// half-written is left behind.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "builders.h"
#include "cli_runner.h"
#include "platform/file_io.h"

using namespace zorvane;
using namespace zorvane::testing;
namespace fs = std::filesystem;

namespace {

// Every name under `dir` but the runner's own stderr.txt.
std::set<std::string> Tree(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        names.insert(fs::relative(e.path(), dir).string());
    names.erase("stderr.txt");
    return names;
}

constexpr RunLimits kTwoKilobytes{.fileSizeBlocks = 4};

TEST(FullDisk, SamplesAreWrittenAllOrNone) {
    TempDir dir;
    fs::create_directories(dir.path() / "kept" / "zme");
    WriteBytes(dir.file("kept/zme/samples.zp"), {'o', 'l', 'd'});
    const auto before = Tree(dir.path());

    for (const std::string folder : {"fresh", "kept"}) {
        // --force: the old tile set in "kept" is to be replaced, if the disk allows.
        CliOutcome r = RunZorvane("samples " + folder + " --force", dir, kTwoKilobytes);
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_NE(r.err.find(folder), std::string::npos) << r.err;
        EXPECT_EQ(Tree(dir.path()), before);
    }
    EXPECT_EQ(ReadWholeFile(dir.file("kept/zme/samples.zp")), (std::vector<std::uint8_t>{'o', 'l', 'd'}));

    ASSERT_EQ(RunZorvane("samples kept --force", dir).status, 0);
    EXPECT_GT(Tree(dir.path()).size(), before.size() + 4);
}

#ifdef ZORVANE_WITH_RENDER
TEST(FullDisk, RenderKeepsTheOldPicture) {
    TempDir dir;
    ASSERT_EQ(RunZorvane("samples s", dir).status, 0);
    ASSERT_EQ(RunZorvane("render s/zmpe/meadow.zm pic.png", dir).status, 0);
    const auto old = ReadWholeFile(dir.file("pic.png"));
    const auto before = Tree(dir.path());

    CliOutcome r = RunZorvane("render s/zmpe/meadow.zm pic.png --grid", dir, kTwoKilobytes);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("pic.png"), std::string::npos) << r.err;
    EXPECT_EQ(ReadWholeFile(dir.file("pic.png")), old);
    EXPECT_EQ(Tree(dir.path()), before);
}
#endif

}  // namespace
