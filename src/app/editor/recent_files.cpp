#include "editor/recent_files.h"

#include <algorithm>

namespace zorvane::editor {

void RecentFiles::Add(const std::string& file) {
    if (file.empty()) return;
    Remove(file);
    files_.insert(files_.begin(), file);
    if (files_.size() > Capacity) files_.resize(Capacity);
}

bool RecentFiles::Remove(const std::string& file) {
    const std::string key = Key(file);
    const auto gone = std::remove_if(files_.begin(), files_.end(), [&](const std::string& f) { return Key(f) == key; });
    const bool removed = gone != files_.end();
    files_.erase(gone, files_.end());
    return removed;
}

void RecentFiles::Assign(const std::vector<std::string>& files) {
    files_.clear();
    // Oldest first, so that the first name of each file stays in front.
    for (auto file = files.rbegin(); file != files.rend(); ++file) Add(*file);
}

}  // namespace zorvane::editor
