#pragma once
// TileEditWindow, "Edit Tile": the modal window that composes one tile of the
// tiles list from a ground and a top picture layer (8-bit *.bmp files) and
// applies it to the project. The attributes toolbar (TBatr) selects what the
// mouse paints on the attribute layer; the group "Attributes Layer" imports,
// exports and explains the attribute mask picture.
//
// The view zooms (Ctrl+wheel, Ctrl+=, Ctrl+-, Ctrl+0 for 100 %): a square
// of 32 picture pixels covers Square() view pixels, each view pixel showing
// the picture pixel it falls on; painting and picking work on what is shown.
// The wheel scrolls (Shift+wheel sideways) one square a notch.

#include <QDialog>
#include <QImage>
#include <QWidget>
#include <functional>

#include "tile_editing/tile_editor_state.h"
#include "tile_editor/tile_editor_host.h"

class QAction;
class QGroupBox;
class QPushButton;
class QScrollBar;
class QSpinBox;
class QToolBar;
class QWheelEvent;

namespace zorvane::editor {

class AttributeToolbar;

// ImgRender: shows the drawn view and reports the mouse.
class TileView : public QWidget {
public:
    explicit TileView(QWidget* parent);
    QImage Surface;
    std::function<void(QMouseEvent*)> OnMove, OnPress, OnRelease;
    std::function<void(QWheelEvent*)> OnWheel;

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override { if (OnMove) OnMove(e); }
    void mousePressEvent(QMouseEvent* e) override { if (OnPress) OnPress(e); }
    void mouseReleaseEvent(QMouseEvent* e) override { if (OnRelease) OnRelease(e); }
    void wheelEvent(QWheelEvent* e) override;
};

enum class PickMode { None, Transparent, Fog };

class TileEditWindow : public QDialog {
public:
    explicit TileEditWindow(TileEditorHost& main);
    ~TileEditWindow() override;

    // Fills the editor for `mode` (edited tile index for Edit, else -1) and
    // runs it modally until Apply, Cancel or the title bar closes it.
    void Execute(TileEditMode mode, int editedTile);

    void Render();
    void UpdateScrollbars();
    void CancelPickColor();
    const TileEditorState& State() const { return state_; }
    // View pixels per square of the tile (16 .. 256; 32 is 100 %).
    int Square() const { return square_; }
    void ZoomTo(int square);
    void ZoomStep(int direction);
    PickMode Picking() const { return pick_; }

    // Commands.
    void AddLayerClick(LayerKind kind);
    void RemoveLayerClick(LayerKind kind);
    void ExportLayerClick(LayerKind kind);
    void PickClick(PickMode mode);
    void BtnSaveClick();
    void ImportAtrClick();
    void ExportAtrClick();
    void InfoAtrClick();

    AttributeToolbar* AtrBar() const { return atrBar_; }

    QGroupBox *GroundGroup, *TopGroup, *AttributeGroup, *TransparentColourGroup, *FogColourGroup, *TileChangesGroup;
    QPushButton *BtnAddGnd, *BtnDelGnd, *BtnExpGnd, *BtnAddTop, *BtnDelTop, *BtnExpTop;
    QPushButton *BtnImportAtr, *BtnExportAtr, *BtnInfoAtr;
    QPushButton *BtnPickTransp, *BtnPickFog, *BtnSave, *BtnCancel;
    QSpinBox *SEtranspId, *SEfogId;
    QToolBar *TBatr, *TBicons;
    QAction *TBbtnShowGnd, *TBbtnShowTop, *TBbtnShowGrid;
    TileView* ImgRender;
    QScrollBar *SBx, *SBy;

protected:
    void resizeEvent(QResizeEvent* e) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void UpdateColourBox(QGroupBox* box, int index, int blackAbove);
    void CreateControls();
    void ConnectControls();
    void ConnectViewGestures();
    void LayoutControls();
    void PaintAttributeAt(QPoint viewPos);
    void DrawAttributeLayer(QImage& surface);

    TileEditorHost& main_;
    TileEditorState state_;
    PickMode pick_ = PickMode::None;
    int scrollX_ = 0;
    int scrollY_ = 0;
    int square_ = 32;
    int wheelDelta_ = 0;  // Ctrl+wheel units not yet used
    AttributeToolbar* atrBar_ = nullptr;
    bool painting_ = false;
};

}  // namespace zorvane::editor
