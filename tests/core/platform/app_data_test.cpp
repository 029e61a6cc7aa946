#include "platform/app_data.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "builders.h"
#include "platform/error.h"
#include "platform/file_names.h"
#include "platform/safe_save.h"

using namespace zorvane;
using namespace zorvane::testing;
namespace fs = std::filesystem;

namespace {

#ifndef _WIN32
// Sets an environment variable (or removes it) until the object goes.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
    ~ScopedVariable() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};
#endif

}  // namespace

#ifdef _WIN32
// On Windows (under Wine here): "Zorvane" in the roaming application data
// folder, made when asked.
TEST(AppDataFolder, IsZorvaneInTheRoamingApplicationDataFolder) {
    const std::string folder = AppDataFolder();
    EXPECT_EQ(Utf8FromPath(PathFromUtf8(folder).filename()), "Zorvane");
    EXPECT_TRUE(fs::is_directory(PathFromUtf8(folder).parent_path()));
    EXPECT_EQ(AppDataFolder(AppDataFolderUse::Create), folder);
    EXPECT_TRUE(fs::is_directory(PathFromUtf8(folder)));
}
#else
// $XDG_DATA_HOME when it is an absolute path, else ~/.local/share; the
// folder is made (with those above it) only when asked; a file in its way
// is an error.
TEST(AppDataFolder, FollowsTheXdgRulesAndIsMadeWhenAsked) {
    TempDir dir;
    const std::string data = Utf8FromPath(dir.path()) + "/Dane_ŻÓŁW/share";
    {
        ScopedVariable xdg("XDG_DATA_HOME", data);
        EXPECT_EQ(AppDataFolder(), data + "/zorvane");
        EXPECT_FALSE(fs::exists(PathFromUtf8(data)));
        EXPECT_EQ(AppDataFolder(AppDataFolderUse::Create), data + "/zorvane");
        EXPECT_TRUE(fs::is_directory(PathFromUtf8(data + "/zorvane")));
        EXPECT_EQ(AppDataFolder(AppDataFolderUse::Create), data + "/zorvane");  // already there
    }
    const std::string home = Utf8FromPath(dir.path()) + "/home";
    ScopedVariable homeVariable("HOME", home);
    for (const std::optional<std::string>& xdg : {std::optional<std::string>{}, std::optional<std::string>{""},
                                                  std::optional<std::string>{"relative/share"}}) {
        ScopedVariable variable("XDG_DATA_HOME", xdg);
        EXPECT_EQ(AppDataFolder(), home + "/.local/share/zorvane");
    }
    ScopedVariable noXdg("XDG_DATA_HOME", std::nullopt);
    fs::create_directories(PathFromUtf8(home + "/.local"));
    SaveFileAtomically(home + "/.local/share", std::vector<std::uint8_t>{1});
    EXPECT_THROW(AppDataFolder(AppDataFolderUse::Create), Error);
    ScopedVariable noHome("HOME", std::nullopt);
    EXPECT_THROW(AppDataFolder(), Error);
}
#endif
