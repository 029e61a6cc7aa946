#include "document/document.h"

#include <utility>
#include <vector>

#include "ui/forwarding_ui.h"

namespace zorvane {
namespace {

// Stands between a reader and the user while a project is read aside:
// questions, messages, the status line and progress go through at once;
// what the windows should redraw and what the generator should forget is
// held, and told only when the read project is taken in.
class HeldNotices : public ForwardingUi, public TileSetObserver {
public:
    explicit HeldNotices(UserInterface& ui) : ForwardingUi(ui) {}

    void changed(const ChangeNotice& notice) override { held_.push_back({notice, Generator::None}); }
    void tileSetRead() override { held_.push_back({{}, Generator::TileSetRead}); }
    void tileSetReset() override { held_.push_back({{}, Generator::TileSetReset}); }

    // The notices of the project being closed (which a reader gives first),
    // told while the project shows empty, then the rest once it is read.
    enum class Stage { Closing, Reading };
    void Tell(Stage stage, TileSetObserver* generator) {
        for (const Held& h : held_) {
            const bool closing = h.Notice.Has(Changed::NewProject) || h.ToGenerator == Generator::TileSetReset;
            if (closing != (stage == Stage::Closing)) continue;
            switch (h.ToGenerator) {
            case Generator::None: inner().changed(h.Notice); break;
            case Generator::TileSetRead: if (generator) generator->tileSetRead(); break;
            case Generator::TileSetReset: if (generator) generator->tileSetReset(); break;
            }
        }
    }

private:
    enum class Generator { None, TileSetRead, TileSetReset };
    struct Held {
        ChangeNotice Notice;
        Generator ToGenerator;
    };
    std::vector<Held> held_;
};

// What an undo or redo changed, from the parts the history says it touched
// and the fields that tell how the bitmaps look and how big the map is.
ChangeNotice StepNotice(Parts touched, const ProjectFields& before, const Project& after) {
    ChangeNotice notice{Changed::Nothing, 0, static_cast<int>(after.NewTiles.size()) - 1, ChangeSource::History};
    auto add = [&](bool yes, Changed part) {
        if (yes) notice.What = notice.What | part;
    };
    add(Has(touched, Parts::UsedTiles), Changed::UsedTiles);
    add(Has(touched, Parts::Bitmaps), Changed::Bitmaps);
    add(Has(touched, Parts::Fields), Changed::Fields);
    add(Has(touched, Parts::Attached), Changed::LearnedData);
    add(before.Palette != after.Palette || before.BottomUpRows != after.BottomUpRows, Changed::Palette);
    add(before.MapWidth != after.MapWidth || before.MapHeight != after.MapHeight, Changed::MapSize);
    // The entries' pictures are drawn from the bitmaps in the palette's colours.
    add(Has(touched, Parts::TilesList) || notice.Has(Changed::Bitmaps) || notice.Has(Changed::Palette),
        Changed::TilesList);
    return notice;
}

}  // namespace

void Document::Attach(AttachedData* data) {
    attached_ = data;
    history_.Attach(data);
}

bool Document::Undo() { return Step(Direction::Undo); }
bool Document::Redo() { return Step(Direction::Redo); }

bool Document::Step(Direction direction) {
    RecordPending();
    const ProjectFields before = project_.Fields();
    const bool done = direction == Direction::Undo ? history_.Undo(project_) : history_.Redo(project_);
    if (done && observer_) observer_->changed(StepNotice(history_.LastTouched(), before, project_));
    return done;
}

bool Document::Record(std::string_view name, Parts parts, ListFocus focus) {
    if (!Paused()) return RecordBesideGesture(name, parts, focus);
    if (stepsChanged_) stepsChanged_(false);
    return false;
}

bool Document::RecordBesideGesture(std::string_view name, Parts parts, ListFocus focus) {
    const bool recorded = history_.Record(project_, name, parts, focus);
    if (stepsChanged_) stepsChanged_(recorded);
    return recorded;
}

void Document::StartUnnamed() {
    history_.StartFile(std::string());
    if (stepsChanged_) stepsChanged_(false);
}

void Document::Opened(const std::string& file, SavedMark mark) {
    history_.Reset(project_);
    history_.StartFile(file);
    if (mark == SavedMark::Unsaved) history_.ForgetSaved();
}

void Document::Saved(const std::string& file) {
    SaveEnded();
    history_.Rename(file);
    history_.MarkSaved();
}

void Document::SaveEnded() {
    if (!Paused()) history_.RecordAlong(project_);
}

bool Document::Open(UserInterface& ui, const Reader& read, const std::string& file, SavedMark mark) {
    HeldNotices held(ui);
    Project fresh;
    fresh.Generator = &held;
    if (!read(fresh, held)) return false;
    TileSetObserver* generator = project_.Generator;
    // The windows see the old project closed, as a reader closes the one it
    // reads into, and then the read one.
    project_ = Project();
    project_.Generator = generator;
    held.Tell(HeldNotices::Stage::Closing, generator);
    project_ = std::move(fresh);
    project_.Generator = generator;
    held.Tell(HeldNotices::Stage::Reading, generator);
    Opened(file, mark);
    return true;
}

}  // namespace zorvane
