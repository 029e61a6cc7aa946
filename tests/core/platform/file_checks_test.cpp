#include "platform/file_checks.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "builders.h"
#include "platform/safe_save.h"

using namespace zorvane;
using namespace zorvane::testing;
namespace fs = std::filesystem;

namespace {

// A file keeps its identity until it is replaced, also when read or named
// another way; a safe save gives the name another file; two files and a
// missing one are told apart.
TEST(FileIdentity, TellsAReplacedFileFromTheSameOne) {
    TempDir dir;
    const fs::path map = dir.path() / "map.zm", other = dir.path() / "other.zm";
    const std::vector<std::uint8_t> bytes{1, 2, 3};
    EXPECT_FALSE(IdentityOf(map));
    SaveFileAtomically(map.string(), bytes);
    SaveFileAtomically(other.string(), bytes);
    const auto before = IdentityOf(map);
    ASSERT_TRUE(before);
    EXPECT_EQ(IdentityOf(map), before);
    EXPECT_EQ(IdentityOf(dir.path() / "." / "map.zm"), before);
    EXPECT_NE(IdentityOf(other), before);

    SaveFileAtomically(map.string(), bytes);
    const auto after = IdentityOf(map);
    ASSERT_TRUE(after);
    EXPECT_NE(after, before) << "the same bytes, but another file";
    EXPECT_NE(after->Index, before->Index);
    EXPECT_EQ(after->Device, before->Device);

    EXPECT_FALSE(CheckFolderWritable(dir.path())) << CheckFolderWritable(dir.path()).message();
}

}  // namespace
