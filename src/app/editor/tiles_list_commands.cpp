// The tiles list commands of the main window: the same five in the Edit
// menu's "Tiles List" submenu (M...) and in the list's popup menu PMntList
// (PM...), each enabled by its condition, and the list's own gestures
// (taking a tile for placing, reordering by dragging, the popup menu).

#include <QAction>
#include <QMenu>
#include <QSettings>

#include "editing/tile_list_commands.h"
#include "editor/main_window.h"
#include "editor/map_zoom.h"
#include "editor/move_tile_window.h"
#include "editor/tiles_list.h"
#include "tile_editor/tile_edit_window.h"

namespace zorvane::editor {
namespace {

struct ListCommand {
    const char* name;  // without the menu's prefix
    const char* caption;
    const char* shortcut;  // in the main menu only
    void (MainWindow::*handler)();
    bool TilesListCommandState::*enabled;
};

constexpr ListCommand kCommands[] = {
    {"NewTile", "Add New Tile", "Ctrl+T", &MainWindow::MNewTileClick, &TilesListCommandState::AddNew},
    {"CreateTileFromSel", "Create Tile from Selection", "", &MainWindow::MCreateTileFromSelClick,
     &TilesListCommandState::CreateFromSelection},
    {"EditTile", "Edit Selected Tile", "Ctrl+E", &MainWindow::MEditTileClick, &TilesListCommandState::Edit},
    {"MoveTile", "Move Selected Tile", "", &MainWindow::MMoveTileClick, &TilesListCommandState::Move},
    {"DelTile", "Delete Selected Tile", "", &MainWindow::MDelTileClick, &TilesListCommandState::Delete},
};

QString ActionName(const char* prefix, const ListCommand& c) {
    return QString::fromLatin1(prefix) + QString::fromLatin1(c.name);
}

}  // namespace

void MainWindow::CreateTilesListCommands(QMenu* submenu) {
    pmntList_ = new QMenu(this);
    pmntList_->setObjectName(QStringLiteral("PMntList"));
    for (const ListCommand& c : kCommands) {
        for (QMenu* menu : {submenu, pmntList_}) {
            const bool main = menu == submenu;
            QAction* a = menu->addAction(QString::fromLatin1(c.caption));
            a->setObjectName(ActionName(main ? "M" : "PM", c));
            if (main && c.shortcut[0]) a->setShortcut(QKeySequence(QString::fromLatin1(c.shortcut)));
            const auto handler = c.handler;
            connect(a, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        }
    }
    // The form of the list, kept between runs.
    pmntList_->addSeparator();
    QAction* compact = pmntList_->addAction(QStringLiteral("Compact List"));
    compact->setObjectName(QStringLiteral("PMCompactList"));
    compact->setCheckable(true);
    compact->setChecked(QSettings().value(QStringLiteral("tilesList/compact"), false).toBool());
    tilesList_->SetCompact(compact->isChecked());
    connect(compact, &QAction::toggled, this, [this](bool on) {
        tilesList_->SetCompact(on);
        QSettings().setValue(QStringLiteral("tilesList/compact"), on);
    });
    connect(submenu, &QMenu::aboutToShow, this, &MainWindow::UpdateTilesListCommands);
    tilesList_->OnPopup = [this](const QPoint& global) {
        UpdateTilesListCommands();
        pmntList_->popup(global);
    };
    tilesList_->OnTakeTile = [this](int i) {
        if (controller_.Enabled) StoreNew(i);
    };
    tilesList_->OnReorder = [this](int selected, int under) {
        int now = selected;
        Guarded([&] { now = DragNewTileToward(project_, ui_, selected, under); });
        return now;
    };
    tilesList_->OnReorderEnded = [this](int from, int to) {
        commands_.TileDragEnded(from, to);  // the whole drag is one step
    };
    connect(tilesList_, &QListWidget::currentRowChanged, this, &MainWindow::UpdateTilesListCommands);
    moveTile_ = new MoveTileWindow(*this);
    tileEdit_ = new TileEditWindow(*this);
    UpdateTilesListCommands();
}

TilesListCommandState MainWindow::TilesListState() const {
    return AvailableTilesListCommands(project_, {tilesList_->currentRow(), TileEditorAvailable()});
}

void MainWindow::UpdateTilesListCommands() {
    const TilesListCommandState state = TilesListState();
    for (const ListCommand& c : kCommands)
        for (const char* prefix : {"M", "PM"})
            if (QAction* a = findChild<QAction*>(ActionName(prefix, c))) a->setEnabled(state.*(c.enabled));
}

void MainWindow::OpenTileEditor(TileEditorMode mode) {
    // What the tile editor applied (bitmaps, palette, tiles) is one step.
    commands_.Run(ProjectCommand::ApplyTile, [&] {
        switch (mode) {
            case TileEditorMode::New: tileEdit_->Execute(TileEditMode::New, -1); break;
            case TileEditorMode::Edit: tileEdit_->Execute(TileEditMode::Edit, tilesList_->currentRow()); break;
            case TileEditorMode::FromSelection: tileEdit_->Execute(TileEditMode::FromSelection, -1); break;
        }
    });
}

// Each command checks its condition again: a shortcut may outrun the
// enabling.
void MainWindow::MNewTileClick() {
    if (TilesListState().AddNew) OpenTileEditor(TileEditorMode::New);
}

void MainWindow::MCreateTileFromSelClick() {
    if (TilesListState().CreateFromSelection) OpenTileEditor(TileEditorMode::FromSelection);
}

void MainWindow::MEditTileClick() {
    if (TilesListState().Edit) OpenTileEditor(TileEditorMode::Edit);
}

void MainWindow::MMoveTileClick() {
    if (!TilesListState().Move) return;
    const int i = tilesList_->currentRow();
    const int to = moveTile_->Execute(static_cast<int>(project_.NewTiles.size()));
    Guarded([&] { tilesList_->setCurrentRow(commands_.MoveTile(i, to)); });
}

void MainWindow::MDelTileClick() {
    const int i = tilesList_->currentRow();
    Guarded([&] { tilesList_->setCurrentRow(commands_.DeleteTile(i)); });
}

void MainWindow::MPickTileClick() {
    if (!controller_.Enabled || running_) return;
    const int x = renderer_.ColumnAt(controller_.MouseX), y = renderer_.RowAt(controller_.MouseY);
    const int placed = TopmostTileAt(project_, renderer_.DepthLimit, x, y);
    if (placed < 0) return;
    int picked = -1;
    Guarded([&] { picked = commands_.PickTile(placed, tilesList_->currentRow()); });
    if (picked < 0) return;
    tilesList_->setCurrentRow(picked);
    tilesList_->scrollToItem(tilesList_->item(picked));
    SetPanel(0, QStringLiteral("Tile %1 picked.").arg(picked));
}

}  // namespace zorvane::editor
