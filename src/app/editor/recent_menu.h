#pragma once
// The File menu's "Recent files" submenu. Its list lives in the platform's
// settings store (QSettings, the organisation and application names set by
// main.cpp), so that it lasts from run to run; editors running side by side
// share it: every change reads the stored list first and writes it back at
// once, and the submenu reads it again whenever it opens.

#include <functional>
#include <string>
#include <vector>

#include "editor/recent_files.h"
#include "ui/ui.h"

class QMenu;

namespace zorvane::editor {

// The key of a file name for RecentFiles: the file's canonical path (links
// and ".." resolved, the letter case of the file system on Windows) while it
// exists, else the cleaned absolute path.
std::string RecentFileKey(const std::string& file);

class RecentFilesMenu {
public:
    // Fills `menu` (entries "&1 PATH" ..., then "Clear list"). `open` opens
    // an entry the user picked once it is known to exist; a file that is
    // gone is reported through `ui` and taken off the list.
    RecentFilesMenu(QMenu& menu, UserInterface& ui, std::function<void(const std::string&)> open);

    // A project file opened or saved comes first.
    void Add(const std::string& file);
    void Remove(const std::string& file);
    void Clear();
    // The stored list, newest first.
    std::vector<std::string> Files();

private:
    void Load();
    void Store();
    void Rebuild();
    void Pick(std::string file);

    QMenu& menu_;
    UserInterface& ui_;
    std::function<void(const std::string&)> open_;
    RecentFiles list_;
};

}  // namespace zorvane::editor
