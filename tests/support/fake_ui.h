#pragma once
// A scripted stand-in for the user: records every message box, dialog,
// status text and progress call, and answers questions and dialogs from
// queues that a test fills beforehand. An unscripted question gets its
// preselected button, an unscripted dialog is cancelled.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "ui/ui.h"

namespace zorvane::testing {

struct RecordedMessage {
    std::string caption;
    std::string text;
    Icon icon;
    Buttons buttons;
    Answer answer;
};

class FakeUi : public UserInterface {
public:
    Answer message(std::string_view caption, std::string_view text, Icon icon, Buttons buttons,
                   Answer defaultAnswer) override {
        Answer a = defaultAnswer;
        if (buttons == Buttons::Ok) {
            a = Answer::Ok;
        } else if (!answers.empty()) {
            a = answers.front();
            answers.pop_front();
        } else {
            a = PreselectedAnswer(buttons, defaultAnswer);
        }
        messages.push_back({std::string(caption), std::string(text), icon, buttons, a});
        return a;
    }
    std::optional<std::string> chooseFile(const FileDialog& dialog) override {
        dialogs.push_back(dialog);
        if (files.empty()) return std::nullopt;
        auto f = files.front();
        files.pop_front();
        return f;
    }
    void setStatus(std::string_view text) override {
        status_ = text;
        statuses.emplace_back(text);
    }
    std::string status() const override { return status_; }
    void setActivity(std::string_view text) override { activities.emplace_back(text); }
    void showProgress(bool) override { ++progressShown; progressVisible = true; }
    void hideProgress(bool) override { ++progressHidden; progressVisible = false; }
    void setProgressPosition(int p) override { progressPositions.push_back(p); }
    void setBusy(bool b) override { busy = b; }
    void processEvents() override { ++eventsProcessed; }
    void changed(const ChangeNotice& notice) override {
        if (notice.Only(Changed::Bitmaps))
            ++bitmapsChangedCount;
        else if (notice.Only(Changed::NewProject))
            ++newProjects;
        else
            changes.push_back(notice);
    }

    // Scripted answers, taken in order.
    std::deque<Answer> answers;
    std::deque<std::optional<std::string>> files;

    // What happened.
    std::vector<RecordedMessage> messages;
    std::vector<FileDialog> dialogs;
    std::vector<std::string> statuses;
    std::vector<std::string> activities;
    std::vector<int> progressPositions;
    std::vector<ChangeNotice> changes;  // other than those counted below
    int newProjects = 0;
    int progressShown = 0;
    int progressHidden = 0;
    bool progressVisible = false;
    bool busy = false;
    int eventsProcessed = 0;
    int bitmapsChangedCount = 0;

    bool sawStatus(std::string_view text) const {
        for (auto& s : statuses)
            if (s == text) return true;
        return false;
    }

private:
    std::string status_ = "ready";
};

}  // namespace zorvane::testing

namespace zorvane {

// Whether a notice names the map or what it is drawn from (the tiles placed,
// its size, a tile set taken in, learned data), which the editor redraws.
inline bool MapLooksChanged(const ChangeNotice& notice) {
    return notice.Has(Changed::UsedTiles | Changed::MapSize | Changed::TileSet | Changed::LearnedData);
}

}  // namespace zorvane
