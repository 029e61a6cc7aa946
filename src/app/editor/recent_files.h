#pragma once
// The "Recent files" list of the File menu: the project files last opened
// or saved, newest first, each file once, at most ten. Plain C++; the menu
// and the platform's settings store around it are in recent_menu.h.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace zorvane::editor {

class RecentFiles {
public:
    static constexpr std::size_t Capacity = 10;
    // What a file name stands for: two names with the same key are one file
    // (the same file under another spelling). None: the names as they are.
    using KeyOf = std::function<std::string(const std::string& file)>;

    explicit RecentFiles(KeyOf keyOf = {}) : keyOf_(std::move(keyOf)) {}

    // Newest first.
    const std::vector<std::string>& Files() const { return files_; }

    // `file` to the front under the name given; any other name of it goes,
    // and the oldest beyond the capacity drop off.
    void Add(const std::string& file);
    // Takes `file` off, under whatever name it is listed; true when it was.
    bool Remove(const std::string& file);
    void Clear() { files_.clear(); }
    // The list as stored, newest first; empty names, later names of a file
    // already listed and those beyond the capacity are left out.
    void Assign(const std::vector<std::string>& files);

private:
    std::string Key(const std::string& file) const { return keyOf_ ? keyOf_(file) : file; }

    KeyOf keyOf_;
    std::vector<std::string> files_;
};

}  // namespace zorvane::editor
