#pragma once
// The real main window on the offscreen platform, with every message box
// and file dialog answered by a script that records what would be shown.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "builders.h"
#include "editor/main_window.h"
#include "model/tileset_file.h"
#include "qtui.h"

namespace zorvane::testing {

class ScriptedDialogs : public app::DialogAnswerer {
public:
    Answer answer(const app::ShownMessage& m) override {
        messages.push_back(m);
        if (onMessage) onMessage(m);
        if (m.buttons == Buttons::Ok) return Answer::Ok;
        if (!answers.empty()) {
            Answer a = answers.front();
            answers.pop_front();
            return a;
        }
        if (m.buttons != Buttons::OkCancel && m.defaultAnswer == Answer::Ok) return Answer::Yes;
        return m.defaultAnswer;
    }
    std::optional<std::string> chooseFile(const FileDialog& d, const QString& qtFilter) override {
        dialogs.push_back(d);
        filters.push_back(qtFilter);
        if (files.empty()) return std::nullopt;
        auto f = files.front();
        files.pop_front();
        return f;
    }
    bool Saw(const std::string& caption, const std::string& text) const {
        for (auto& m : messages)
            if (m.caption == caption && m.text == text) return true;
        return false;
    }

    // Called with every box as it would show, to look at the windows behind it.
    std::function<void(const app::ShownMessage&)> onMessage;
    std::deque<Answer> answers;
    std::deque<std::optional<std::string>> files;
    std::vector<app::ShownMessage> messages;
    std::vector<FileDialog> dialogs;
    std::vector<QString> filters;
};

// Runs `fn` as soon as a modal window has started its own event loop.
inline void WhenModal(std::function<void()> fn) { QTimer::singleShot(0, std::move(fn)); }

class EditorTest : public ::testing::Test {
protected:
    EditorTest() : window(false) {
        window.ui().setAnswerer(&dialogs);
        window.resize(1000, 700);
        window.show();
        QApplication::processEvents();
    }
    void Trigger(const char* action) {
        QAction* a = window.Action(action);
        ASSERT_NE(a, nullptr) << action;
        a->trigger();
        QApplication::processEvents();
    }
    std::string Panel(int i) const { return window.Panel(i).toStdString(); }

    // A tile set file of `bitmaps` filled bitmaps (bitmap i all index i + 1)
    // and one 2 x 1 tile, in the test palette.
    std::string MakeTileSet(const std::string& name, int bitmaps, bool zme = false) {
        Project p;
        FillTestPalette(p);
        for (int i = 0; i < bitmaps; ++i) p.AddBitmap(FilledBitmap(static_cast<std::uint8_t>(i + 1)).data());
        p.NewTiles.push_back(MakeTile(2, 1, 0, 0, 0, NoBitmap, 4));
        if (zme) SetDefaultFileHeader(p);
        SetDefaultInfoHeader(p, zme);
        p.BottomUpRows = zme;
        p.ZmeVariant = zme;
        const std::string path = dir.file(name);
        p.ZpPath = path;
        WriteBytes(path, EncodeZP(p, VariantOf(zme)));
        return path;
    }

    ScriptedDialogs dialogs;
    TempDir dir;
    editor::MainWindow window;
};

}  // namespace zorvane::testing
