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

    void bitmapsChanged() override { held_.push_back({Notice::Bitmaps, {}, false}); }
    void refreshInterface(const RefreshRequest& request) override { held_.push_back({Notice::Refresh, request, false}); }
    void projectReset(bool redraw) override { held_.push_back({Notice::Reset, {}, redraw}); }
    void tileSetRead() override { held_.push_back({Notice::TileSetRead, {}, false}); }
    void tileSetReset() override { held_.push_back({Notice::TileSetReset, {}, false}); }

    // The notices of the project being closed (which a reader gives first),
    // told while the project shows empty, then the rest once it is read.
    enum class Stage { Closing, Reading };
    void Tell(Stage stage, TileSetObserver* generator) {
        for (const Held& h : held_) {
            const bool closing = h.What == Notice::Reset || h.What == Notice::TileSetReset;
            if (closing != (stage == Stage::Closing)) continue;
            switch (h.What) {
            case Notice::Bitmaps: inner().bitmapsChanged(); break;
            case Notice::Refresh: inner().refreshInterface(h.Request); break;
            case Notice::Reset: inner().projectReset(h.Redraw); break;
            case Notice::TileSetRead: if (generator) generator->tileSetRead(); break;
            case Notice::TileSetReset: if (generator) generator->tileSetReset(); break;
            }
        }
    }

private:
    enum class Notice { Bitmaps, Refresh, Reset, TileSetRead, TileSetReset };
    struct Held {
        Notice What;
        RefreshRequest Request;
        bool Redraw;
    };
    std::vector<Held> held_;
};

}  // namespace

void Document::Attach(AttachedData* data) {
    attached_ = data;
    history_.Attach(data);
}

bool Document::Record(std::string_view name, Parts parts, ListFocus focus) {
    if (Paused()) return false;
    return history_.Record(project_, name, parts, focus);
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
