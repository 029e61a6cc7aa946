// The Recent files list against a plain model, and the key that tells two
// names of one file from two files.

#include <gtest/gtest.h>

#include <QDir>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <random>

#include "builders.h"
#include "editor/recent_files.h"
#include "editor/recent_menu.h"

namespace zorvane::testing {
namespace {

using editor::RecentFiles;

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// The model: each listed file with the time it was last added and the
// spelling it was added under; beyond the capacity the oldest goes.
struct Model {
    std::map<std::string, std::pair<int, std::string>> byKey;
    int time = 0;

    void Add(const std::string& name) {
        byKey[Lower(name)] = {time++, name};
        if (byKey.size() > RecentFiles::Capacity)
            byKey.erase(std::min_element(byKey.begin(), byKey.end(), [](auto& a, auto& b) {
                return a.second.first < b.second.first;
            }));
    }
    std::vector<std::string> Files() const {
        std::vector<std::pair<int, std::string>> entries;
        for (auto& [key, entry] : byKey) entries.push_back(entry);
        std::sort(entries.rbegin(), entries.rend());
        std::vector<std::string> files;
        for (auto& entry : entries) files.push_back(entry.second);
        return files;
    }
};

TEST(RecentFiles, RandomAddsAndRemovalsMatchTheModel) {
    std::mt19937 random(7);
    // Fifteen files, each under three spellings that differ in letter case.
    auto name = [&] {
        std::string n = "/maps/map" + std::to_string(random() % 15) + ".zm";
        const auto spelling = random() % 3;
        if (spelling == 1) n[1] = 'M';
        if (spelling == 2) n = Lower(n.substr(0, n.size() - 2)) + "ZM";
        return n;
    };
    RecentFiles list(Lower);
    Model model;
    for (int step = 0; step < 5000; ++step) {
        const auto what = random() % 10;
        if (what < 7) {
            const std::string n = name();
            list.Add(n);
            model.Add(n);
            ASSERT_EQ(list.Files().front(), n);
        } else if (what < 9) {
            const std::string n = name();
            const bool listed = model.byKey.erase(Lower(n)) > 0;
            ASSERT_EQ(list.Remove(n), listed) << n;
        } else if (step % 7 == 0) {
            list.Clear();
            model.byKey.clear();
        }
        ASSERT_EQ(list.Files(), model.Files()) << "step " << step;
        ASSERT_LE(list.Files().size(), RecentFiles::Capacity);
    }
    // Read back as stored, the list is the same.
    RecentFiles stored(Lower);
    stored.Assign(list.Files());
    EXPECT_EQ(stored.Files(), list.Files());
}

TEST(RecentFiles, AStoredListKeepsTheFirstSpellingOfAFileAndTheNewestTen) {
    RecentFiles list(Lower);
    std::vector<std::string> stored = {"/a.zm", "", "/B.zl", "/A.ZM"};
    for (int i = 0; i < 12; ++i) stored.push_back("/f" + std::to_string(i) + ".zm");
    list.Assign(stored);
    std::vector<std::string> expected = {"/a.zm", "/B.zl"};
    for (int i = 0; i < 8; ++i) expected.push_back("/f" + std::to_string(i) + ".zm");
    EXPECT_EQ(list.Files(), expected);
    list.Add("");
    EXPECT_EQ(list.Files(), expected) << "an empty name is no file";
}

TEST(RecentFiles, TheKeyOfAFileIsTheSameUnderEveryNameOfIt) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "maps");
    const std::string map = dir.file("maps/lake.zm");
    WriteBytes(map, {1, 2, 3});
    const std::string key = editor::RecentFileKey(map);
    EXPECT_EQ(editor::RecentFileKey(dir.file("maps/../maps/./lake.zm")), key);
    EXPECT_EQ(editor::RecentFileKey(dir.file("maps//lake.zm")), key);
    std::filesystem::create_directory_symlink(dir.path() / "maps", dir.path() / "linked");
    EXPECT_EQ(editor::RecentFileKey(dir.file("linked/lake.zm")), key);
    const QString current = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(dir.file("maps"))));
    EXPECT_EQ(editor::RecentFileKey("lake.zm"), key);
    QDir::setCurrent(current);
    EXPECT_NE(editor::RecentFileKey(dir.file("maps/river.zm")), key);

    // A file that is gone keeps its place under its other spellings.
    std::filesystem::remove(map);
    EXPECT_EQ(editor::RecentFileKey(dir.file("maps/../maps/lake.zm")), editor::RecentFileKey(map));
}

}  // namespace
}  // namespace zorvane::testing
