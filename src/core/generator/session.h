#pragma once
// The map generator's side of a document: what it learned (the project's
// tile set observer, generator.h), the settings of a learning and of a
// generation, and the learning status line that reports how the last
// learning or loading ended. The windows are views of a session: the
// generator settings window shows and edits it, the generation runs and
// the command-line tool read it.
//
// The document's undo history carries the learned state with the project
// (LearnedState: the learned data, `Learned` and the status line), so that
// learning, loading and a new tile set are undone and redone together with
// the tile set they belong to; the settings are not part of a step. The
// session outlives the document it is attached to and the windows that
// show it.

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "generator/generator.h"
#include "generator/settings.h"
#include "history/attached_data.h"

namespace zorvane {

class GeneratorSession {
public:
    GeneratorSession();
    ~GeneratorSession();
    GeneratorSession(const GeneratorSession&) = delete;
    GeneratorSession& operator=(const GeneratorSession&) = delete;

    MapGenerator& generator() { return generator_; }
    const MapGenerator& generator() const { return generator_; }
    GeneratorSettings& settings() { return settings_; }
    // Learned squares are held (what the close question protects).
    bool HasData() const { return generator_.SquareCount() > 0; }

    // The status line, as the last learning or loading left it ("" at first).
    const std::string& Status() const { return status_; }
    void SetStatus(std::string_view text);
    // Who shows the status line (null: nobody); told of every change, also
    // of an undo or redo putting an earlier one back.
    void WhenStatusChanges(std::function<void(const std::string&)> listener) { statusShown_ = std::move(listener); }

    // The learned state as the undo history takes and puts it back.
    AttachedData& LearnedState() { return *learnedState_; }

private:
    MapGenerator generator_;
    GeneratorSettings settings_;
    std::string status_;
    std::function<void(const std::string&)> statusShown_;
    std::unique_ptr<AttachedData> learnedState_;  // reads and restores the three above
};

}  // namespace zorvane
