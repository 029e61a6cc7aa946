#include "tile_editor/tile_edit_window.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolBar>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <vector>

#include "platform/file_names.h"
#include "tile_editing/apply.h"
#include "tile_editor/attribute_icons.h"
#include "tile_editor/attribute_toolbar.h"
#include "tile_editor/layer_bmp.h"

namespace zorvane::editor {

namespace {

constexpr int kToolBarHeight = 40;
constexpr int kPanelWidth = 150;
constexpr int kScrollBarSize = 16;
constexpr std::array<int, 7> kZoomLevels = {16, 32, 64, 96, 128, 192, 256};  // view pixels per square

// The file a layer or the mask is exported to: the chosen name with the
// extension ".bmp" (a name without one gets it), through the system's file
// names so that a name in any language keeps its characters.
std::string WithBmpExtension(const std::string& chosen) {
    return Utf8FromPath(PathFromUtf8(chosen).replace_extension(".bmp"));
}

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(QString::fromUtf8(name));
    b->setAutoDefault(false);
    return b;
}

QGroupBox* Group(QWidget* parent, const char* name, const char* caption) {
    auto* g = new QGroupBox(QString::fromUtf8(caption), parent);
    g->setObjectName(QString::fromUtf8(name));
    g->setAutoFillBackground(true);
    return g;
}

QAction* CheckButton(QToolBar* bar, const char* name, const char* caption, bool down) {
    QAction* a = bar->addAction(QString::fromUtf8(caption));
    a->setObjectName(QString::fromUtf8(name));
    a->setCheckable(true);
    a->setChecked(down);
    return a;
}

// The application's colours, every role set: a control given these keeps
// them inside a box coloured like a palette entry (a white caption would
// make white arrows on a spin edit's light buttons).
QPalette OwnColours() {
    const QPalette app = QApplication::palette();
    QPalette own;
    for (int group = 0; group < QPalette::NColorGroups; ++group)
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            const auto g = static_cast<QPalette::ColorGroup>(group);
            const auto r = static_cast<QPalette::ColorRole>(role);
            own.setBrush(g, r, app.brush(g, r));
        }
    return own;
}

}  // namespace

TileView::TileView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ImgRender"));
    setMouseTracking(true);
}

void TileView::wheelEvent(QWheelEvent* e) {
    if (OnWheel)
        OnWheel(e);
    else
        QWidget::wheelEvent(e);
}

void TileView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!Surface.isNull()) painter.drawImage(0, 0, Surface);
}

TileEditWindow::TileEditWindow(TileEditorHost& main) : QDialog(&main.Widget()), main_(main) {
    setObjectName(QStringLiteral("FTileEdit"));
    setWindowTitle(QStringLiteral("Edit Tile"));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setMinimumSize(640, 469);
    resize(632, 442);

    CreateControls();
    ConnectControls();
    ConnectViewGestures();
    qApp->installEventFilter(this);
    LayoutControls();
}

// The layer groups, the colour boxes, the toolbars, the picture and its scroll bars.
void TileEditWindow::CreateControls() {
    GroundGroup = Group(this, "GroupBox1", "Ground Layer");
    BtnAddGnd = Button(GroundGroup, "BtnAddGnd", "Add");
    BtnDelGnd = Button(GroundGroup, "BtnDelGnd", "Remove");
    BtnExpGnd = Button(GroundGroup, "BtnExpGnd", "Export to bmp");
    TopGroup = Group(this, "GroupBox2", "Top Layer");
    BtnAddTop = Button(TopGroup, "BtnAddTop", "Add");
    BtnDelTop = Button(TopGroup, "BtnDelTop", "Remove");
    BtnExpTop = Button(TopGroup, "BtnExpTop", "Export to bmp");
    AttributeGroup = Group(this, "GroupBox3", "Attributes Layer");
    BtnImportAtr = Button(AttributeGroup, "BtnImportAtr", "Import");
    BtnExportAtr = Button(AttributeGroup, "BtnExportBtn", "Export");
    BtnInfoAtr = Button(AttributeGroup, "BtnInfoAtr", "Help");
    TransparentColourGroup = Group(this, "GroupBox4", "Trasnp. color");
    BtnPickTransp = Button(TransparentColourGroup, "BtnPickTransp", "Pick");
    SEtranspId = new QSpinBox(TransparentColourGroup);
    SEtranspId->setObjectName(QStringLiteral("SEtranspId"));
    FogColourGroup = Group(this, "GroupBox5", "Fog color");
    BtnPickFog = Button(FogColourGroup, "BtnPickFog", "Pick");
    SEfogId = new QSpinBox(FogColourGroup);
    SEfogId->setObjectName(QStringLiteral("SEfogId"));
    for (QSpinBox* se : {SEtranspId, SEfogId}) se->setRange(0, 255);
    for (QWidget* control : std::initializer_list<QWidget*>{SEtranspId, SEfogId, BtnPickTransp, BtnPickFog})
        control->setPalette(OwnColours());
    SEfogId->setValue(1);
    TileChangesGroup = Group(this, "GroupBox6", "Tile Changes");
    BtnSave = Button(TileChangesGroup, "BtnSave", "Apply");
    BtnCancel = Button(TileChangesGroup, "BtnCancel", "Cancel");

    TBatr = new QToolBar(QStringLiteral("Attributes Toolbar"), this);
    TBatr->setObjectName(QStringLiteral("TBatr"));
    atrBar_ = new AttributeToolbar(TBatr, state_, main_.ui());
    atrBar_->OnSettled = [this] { Render(); };
    TBicons = new QToolBar(QStringLiteral("Show layers"), this);
    TBicons->setObjectName(QStringLiteral("TBicons"));
    TBicons->addSeparator()->setObjectName(QStringLiteral("sep1"));
    TBbtnShowGnd = CheckButton(TBicons, "TBbtnShowGnd", "Show Ground", true);
    TBicons->addSeparator()->setObjectName(QStringLiteral("sep2"));
    TBbtnShowTop = CheckButton(TBicons, "TBbtnShowTop", "Show Top", true);
    TBicons->addSeparator()->setObjectName(QStringLiteral("sep3"));
    TBbtnShowGrid = CheckButton(TBicons, "TBbtnShowGrid", "Show Grid", false);

    ImgRender = new TileView(this);
    SBx = new QScrollBar(Qt::Horizontal, this);
    SBx->setObjectName(QStringLiteral("SBx"));
    SBy = new QScrollBar(Qt::Vertical, this);
    SBy->setObjectName(QStringLiteral("SBy"));
    for (QScrollBar* sb : {SBx, SBy}) sb->setRange(0, 0);
}

void TileEditWindow::ConnectControls() {
    connect(BtnAddGnd, &QPushButton::clicked, this, [this] { AddLayerClick(LayerKind::Ground); });
    connect(BtnAddTop, &QPushButton::clicked, this, [this] { AddLayerClick(LayerKind::Top); });
    connect(BtnDelGnd, &QPushButton::clicked, this, [this] { RemoveLayerClick(LayerKind::Ground); });
    connect(BtnDelTop, &QPushButton::clicked, this, [this] { RemoveLayerClick(LayerKind::Top); });
    connect(BtnExpGnd, &QPushButton::clicked, this, [this] { ExportLayerClick(LayerKind::Ground); });
    connect(BtnExpTop, &QPushButton::clicked, this, [this] { ExportLayerClick(LayerKind::Top); });
    connect(BtnPickTransp, &QPushButton::clicked, this, [this] { PickClick(PickMode::Transparent); });
    connect(BtnPickFog, &QPushButton::clicked, this, [this] { PickClick(PickMode::Fog); });
    connect(BtnSave, &QPushButton::clicked, this, &TileEditWindow::BtnSaveClick);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(BtnImportAtr, &QPushButton::clicked, this, &TileEditWindow::ImportAtrClick);
    connect(BtnExportAtr, &QPushButton::clicked, this, &TileEditWindow::ExportAtrClick);
    connect(BtnInfoAtr, &QPushButton::clicked, this, &TileEditWindow::InfoAtrClick);
    connect(SEtranspId, &QSpinBox::valueChanged, this, [this](int v) {
        state_.TranspId = v;
        UpdateColourBox(TransparentColourGroup, v, 219);
        Render();
    });
    connect(SEfogId, &QSpinBox::valueChanged, this, [this](int v) {
        state_.FogId = v;
        UpdateColourBox(FogColourGroup, v, 219);
    });
    for (QAction* a : {TBbtnShowGnd, TBbtnShowTop, TBbtnShowGrid}) connect(a, &QAction::toggled, this, &TileEditWindow::Render);
    connect(SBx, &QScrollBar::valueChanged, this, [this](int v) {
        scrollX_ = v;
        Render();
    });
    connect(SBy, &QScrollBar::valueChanged, this, [this](int v) {
        scrollY_ = v;
        Render();
    });
}

// Painting attributes, picking colours, scrolling and zooming the picture.
void TileEditWindow::ConnectViewGestures() {
    ImgRender->OnPress = [this](QMouseEvent* e) {
        if (e->button() != Qt::LeftButton || pick_ != PickMode::None) return;
        painting_ = true;
        PaintAttributeAt(e->position().toPoint());
    };
    ImgRender->OnMove = [this](QMouseEvent* e) {
        if (painting_) PaintAttributeAt(e->position().toPoint());
        if (pick_ == PickMode::None || ImgRender->Surface.isNull()) return;
        const QPoint p = e->position().toPoint();
        if (!ImgRender->Surface.rect().contains(p)) return;
        const QColor c = ImgRender->Surface.pixelColor(p);
        setWindowTitle(QStringLiteral("Edit Tile RGB=(%1,%2,%3)").arg(c.red()).arg(c.green()).arg(c.blue()));
    };
    ImgRender->OnRelease = [this](QMouseEvent* e) {
        if (e->button() != Qt::LeftButton) return;
        painting_ = false;
        const QPoint p = e->position().toPoint();
        if (pick_ != PickMode::None && !ImgRender->Surface.isNull() && ImgRender->Surface.rect().contains(p)) {
            const QColor c = ImgRender->Surface.pixelColor(p);
            const Rgb colour{static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
                             static_cast<std::uint8_t>(c.blue())};
            if (auto index = FindColour(state_.Palette, colour))
                (pick_ == PickMode::Transparent ? SEtranspId : SEfogId)->setValue(*index);
        }
        CancelPickColor();
    };
    ImgRender->OnWheel = [this](QWheelEvent* e) {
        QPoint delta = e->angleDelta();
        if (e->modifiers() & Qt::ControlModifier) {
            wheelDelta_ += delta.y();
            for (; wheelDelta_ >= 120; wheelDelta_ -= 120) ZoomStep(+1);
            for (; wheelDelta_ <= -120; wheelDelta_ += 120) ZoomStep(-1);
            return;
        }
        if ((e->modifiers() & Qt::ShiftModifier) && delta.x() == 0) delta = QPoint(delta.y(), 0);
        SBx->setValue(SBx->value() - delta.x() / 120);
        SBy->setValue(SBy->value() - delta.y() / 120);
    };
    const std::pair<const char*, std::function<void()>> zoomKeys[] = {
        {"Ctrl+0", [this] { ZoomTo(32); }},
        {"Ctrl+=", [this] { ZoomStep(+1); }},
        {"Ctrl++", [this] { ZoomStep(+1); }},
        {"Ctrl+-", [this] { ZoomStep(-1); }}};
    for (const auto& [key, run] : zoomKeys) {
        auto* a = new QAction(this);
        a->setShortcut(QKeySequence(QString::fromLatin1(key)));
        connect(a, &QAction::triggered, this, run);
        addAction(a);
    }
}

void TileEditWindow::ZoomTo(int square) {
    square_ = std::clamp(square, kZoomLevels.front(), kZoomLevels.back());
    UpdateScrollbars();
    Render();
}

void TileEditWindow::ZoomStep(int direction) {
    const auto next = std::upper_bound(kZoomLevels.begin(), kZoomLevels.end(), square_);
    const auto at = std::lower_bound(kZoomLevels.begin(), kZoomLevels.end(), square_);
    if (direction > 0 && next != kZoomLevels.end()) ZoomTo(*next);
    if (direction < 0 && at != kZoomLevels.begin()) ZoomTo(*(at - 1));
}

TileEditWindow::~TileEditWindow() { qApp->removeEventFilter(this); }

void TileEditWindow::LayoutControls() {
    const int w = width(), h = height();
    const int iconsWidth = std::min(w, TBicons->sizeHint().width());
    TBicons->setGeometry(w - iconsWidth, 0, iconsWidth, kToolBarHeight);
    TBatr->setGeometry(0, 0, w - iconsWidth, kToolBarHeight);
    int y = kToolBarHeight + 2;
    auto place = [&](QGroupBox* box, std::initializer_list<QWidget*> column, int height) {
        box->setGeometry(4, y, kPanelWidth - 8, height);
        int cy = 18;
        for (QWidget* c : column) {
            c->setGeometry(6, cy, kPanelWidth - 20, 22);
            cy += 24;
        }
        y += height + 2;
    };
    place(GroundGroup, {BtnAddGnd, BtnDelGnd, BtnExpGnd}, 92);
    place(TopGroup, {BtnAddTop, BtnDelTop, BtnExpTop}, 92);
    place(AttributeGroup, {BtnImportAtr, BtnExportAtr, BtnInfoAtr}, 92);
    for (auto [box, pick, se] : {std::tuple{TransparentColourGroup, BtnPickTransp, SEtranspId}, std::tuple{FogColourGroup, BtnPickFog, SEfogId}}) {
        box->setGeometry(4, y, kPanelWidth - 8, 46);
        pick->setGeometry(6, 18, 60, 22);
        se->setGeometry(70, 18, kPanelWidth - 84, 22);
        y += 48;
    }
    TileChangesGroup->setGeometry(4, y, kPanelWidth - 8, 46);
    BtnSave->setGeometry(6, 18, 62, 22);
    BtnCancel->setGeometry(70, 18, kPanelWidth - 84, 22);
    const int viewW = std::max(0, w - kPanelWidth - kScrollBarSize), viewH = std::max(0, h - kToolBarHeight - kScrollBarSize);
    ImgRender->setGeometry(kPanelWidth, kToolBarHeight, viewW, viewH);
    SBx->setGeometry(kPanelWidth, kToolBarHeight + viewH, viewW, kScrollBarSize);
    SBy->setGeometry(kPanelWidth + viewW, kToolBarHeight, kScrollBarSize, viewH);
}

void TileEditWindow::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    LayoutControls();
    UpdateScrollbars();
    Render();
}

void TileEditWindow::Execute(TileEditMode mode, int editedTile) {
    state_.TranspId = SEtranspId->value();
    state_.FogId = SEfogId->value();
    OpenTileEditorState(state_, main_.project(), mode, editedTile);
    SEtranspId->setValue(state_.TranspId);
    SEfogId->setValue(state_.FogId);
    UpdateColourBox(TransparentColourGroup, state_.TranspId, 219);
    UpdateColourBox(FogColourGroup, state_.FogId, 219);
    move(main_.Widget().pos() + QPoint(160, 90));
    SBx->setValue(0);
    SBy->setValue(0);
    square_ = 32;
    UpdateScrollbars();
    Render();
    exec();
}

void TileEditWindow::done(int result) {
    CancelPickColor();
    CloseTileEditorState(state_);
    ImgRender->Surface = QImage();
    QDialog::done(result);
}

void TileEditWindow::UpdateColourBox(QGroupBox* box, int index, int blackAbove) {
    const Rgb c = state_.Palette[static_cast<std::size_t>(index)];
    QPalette pal = box->palette();
    pal.setColor(QPalette::Window, QColor(c.R, c.G, c.B));
    pal.setColor(QPalette::WindowText, c.R + c.G + c.B > blackAbove ? Qt::black : Qt::white);
    box->setPalette(pal);
}

void TileEditWindow::Render() {
    const int vw = ImgRender->width(), vh = ImgRender->height();
    QImage& surface = ImgRender->Surface;
    if (surface.width() != vw || surface.height() != vh) surface = QImage(vw, vh, QImage::Format_RGB888);
    if (surface.isNull()) return;
    surface.fill(Qt::black);
    const int ox = scrollX_ * BitmapSide, oy = scrollY_ * BitmapSide;
    // The picture pixel under every view column and row.
    std::vector<int> sourceX(vw), sourceY(vh);
    for (int x = 0; x < vw; ++x) sourceX[x] = ox + x * BitmapSide / square_;
    for (int y = 0; y < vh; ++y) sourceY[y] = oy + y * BitmapSide / square_;
    for (auto [layer, shown] : {std::pair{&state_.Ground, TBbtnShowGnd->isChecked()}, std::pair{&state_.Top, TBbtnShowTop->isChecked()}}) {
        if (!shown || !layer->Present()) continue;
        for (int y = 0; y < vh && sourceY[y] < layer->Height; ++y) {
            uchar* row = surface.scanLine(y);
            for (int x = 0; x < vw && sourceX[x] < layer->Width; ++x) {
                const std::uint8_t p = layer->At(sourceX[x], sourceY[y]);
                if (p == 0) continue;
                const Rgb& c = state_.Palette[p];
                row[3 * x] = c.R, row[3 * x + 1] = c.G, row[3 * x + 2] = c.B;
            }
        }
    }
    DrawAttributeLayer(surface);
    if (TBbtnShowGrid->isChecked()) {
        for (int y = 0; y < vh; ++y) {
            uchar* row = surface.scanLine(y);
            for (int x = 0; x < vw; ++x)
                if (x % square_ == 0 || y % square_ == 0) row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = 160;
        }
    }
    ImgRender->update();
}

void TileEditWindow::UpdateScrollbars() {
    auto range = [this](int tile, int view) {
        return std::max(0, (tile * square_ / BitmapSide - view + square_ - 1) / square_);
    };
    SBx->setRange(0, range(state_.PixelWidth(), ImgRender->width()));
    SBy->setRange(0, range(state_.PixelHeight(), ImgRender->height()));
}

void TileEditWindow::CancelPickColor() {
    pick_ = PickMode::None;
    unsetCursor();
    setWindowTitle(QStringLiteral("Edit Tile"));
}

void TileEditWindow::PickClick(PickMode mode) {
    atrBar_->Select(NoAttributeSelected, AskToSave::No);
    atrBar_->Settle();
    pick_ = mode;
    setCursor(Qt::DragMoveCursor);
}

void TileEditWindow::AddLayerClick(LayerKind kind) {
    auto path = main_.ui().chooseFile(FileDialog{.name = "ODbmp", .filter = "bitmaps|*.bmp", .pathMustExist = true, .fileMustExist = true});
    if (!path) return;
    main_.Guarded([&] {
        LoadedPicture picture = ReadLayerBmp(*path);
        AddLayer(state_, kind, std::move(picture), main_.project(), main_.ui());
    });
    SEtranspId->setValue(state_.TranspId);
    SEfogId->setValue(state_.FogId);
    UpdateColourBox(TransparentColourGroup, state_.TranspId, 219);
    UpdateColourBox(FogColourGroup, state_.FogId, 219);
    UpdateScrollbars();
    Render();
}

void TileEditWindow::RemoveLayerClick(LayerKind kind) {
    RemoveLayer(state_, kind);
    UpdateScrollbars();
    Render();
}

void TileEditWindow::ExportLayerClick(LayerKind kind) {
    const LayerImage& layer = state_.Layer(kind);
    if (!layer.Present()) return;
    auto path = main_.ui().chooseFile(FileDialog{.name = "SDbmp", .filter = "bitmaps|*.bmp", .save = true, .overwritePrompt = true});
    if (!path) return;
    main_.Guarded([&] {
        WriteLayerBmp(layer, state_.Palette, WithBmpExtension(*path));
    });
}

void TileEditWindow::BtnSaveClick() {
    if (!state_.Ground.Present() && !state_.Top.Present()) return;
    Project& p = main_.project();
    const int selected = main_.SelectedTile();
    ApplyOutcome out;
    // Each press is a step, also one that leaves the editor open.
    main_.commands().Run(ProjectCommand::ApplyTile, [&] {
        LeaveInternalModeForApply(state_, main_.ui());
        main_.Guarded([&] { out = ApplyTileChanges(state_, p, main_.ui()); });
    });
    const int n = static_cast<int>(p.NewTiles.size());
    if (out.Result == ApplyResult::Applied || out.PaletteReplaced) {
        const bool all = out.PaletteReplaced || out.Result != ApplyResult::Applied;
        main_.ShowChangedTiles(all ? 0 : out.TileIndex, all ? n - 1 : out.TileIndex);
    }
    if (p.BitmapCount != out.FirstNewBitmap || out.PaletteChanged) main_.PrepareBitmapsPx();
    if (out.PaletteChanged) main_.FullRedraw();
    if (selected >= 0) main_.SelectTile(selected < n ? selected : selected - 1);
    main_.LongOperationEnded();
    if (out.Result == ApplyResult::Applied) accept();
}

void TileEditWindow::PaintAttributeAt(QPoint viewPos) {
    if (state_.SelectedAtr < 0) return;
    auto square = [this](int px) { return px >= 0 ? px / square_ : -1; };
    const int c = square(viewPos.x()), r = square(viewPos.y());
    if (c < 0 || r < 0) return;
    if (SetAtrVal(state_, c + scrollX_, r + scrollY_, state_.SelectedAtr, SelectionCheck::On)) Render();
}

// The attribute icons over the picture layers: the attributes while one is
// selected, the internal values in internal mode.
void TileEditWindow::DrawAttributeLayer(QImage& surface) {
    const bool internal = state_.InternalMode;
    const AttributeGrid& grid = internal ? state_.InternalAtr : state_.Atr;
    if ((!internal && !AttributeLayerShown(state_)) || grid.Columns == 0 || grid.Rows == 0) return;
    QPainter painter(&surface);
    const int sq = square_;
    for (int c = scrollX_; c < grid.Columns && (c - scrollX_) * sq < surface.width(); ++c)
        for (int r = scrollY_; r < grid.Rows && (r - scrollY_) * sq < surface.height(); ++r)
            painter.drawImage(QRect((c - scrollX_) * sq, (r - scrollY_) * sq, sq, sq), AttributeIcon(grid.At(c, r)));
}

void TileEditWindow::ImportAtrClick() {
    auto path = main_.ui().chooseFile(FileDialog{.name = "ODbmp", .filter = "bitmaps|*.bmp", .pathMustExist = true, .fileMustExist = true});
    if (!path) return;
    main_.Guarded([&] {
        const RgbPicture mask = ReadMaskBmp(*path);
        if (ImportAttributeMask(state_, mask, main_.ui()) != MaskImportResult::WrongSize) Render();
    });
}

void TileEditWindow::ExportAtrClick() {
    if (state_.Atr.Columns < 1 || state_.Atr.Rows < 1) return;
    auto path = main_.ui().chooseFile(FileDialog{.name = "SDbmp", .filter = "bitmaps|*.bmp", .save = true, .overwritePrompt = true});
    if (!path) return;
    main_.Guarded([&] {
        WriteMaskBmp(AttributeMaskOf(state_), WithBmpExtension(*path));
    });
}

void TileEditWindow::InfoAtrClick() { main_.ui().inform(AttributesHelpCaption, AttributesHelpText()); }

namespace {

// Keys an edit control takes as typing: all but the modifiers and Esc,
// which it leaves alone.
bool TypedIntoEditControl(const QWidget* focused, const QKeyEvent& key) {
    if (!qobject_cast<const QAbstractSpinBox*>(focused) && !qobject_cast<const QLineEdit*>(focused)) return false;
    switch (key.key()) {
    case Qt::Key_Shift: case Qt::Key_Control: case Qt::Key_Alt: case Qt::Key_Meta: case Qt::Key_Escape: return false;
    default: return true;
    }
}

}  // namespace

// Keys pressed and released anywhere in the window reach the input
// controller as in the main window, except those typed into an edit control
// (Del in a spin edit must not delete the map's selection); a right press
// anywhere ends picking.
bool TileEditWindow::eventFilter(QObject* watched, QEvent* e) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this || !isVisible()) return false;
    if (e->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(e)->button() == Qt::RightButton) {
        CancelPickColor();
        return false;
    }
    if (e->type() != QEvent::KeyPress && e->type() != QEvent::KeyRelease) return false;
    QWidget* first = QApplication::focusWidget();
    if (widget != (first && first->window() == this ? first : this)) return false;
    if (!main_.TakesKeys()) return false;
    auto* key = static_cast<QKeyEvent*>(e);
    if (e->type() == QEvent::KeyPress && TypedIntoEditControl(widget, *key)) return false;
    QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->text(), key->isAutoRepeat());
    QCoreApplication::sendEvent(&main_.Widget(), &copy);
    return false;
}

}  // namespace zorvane::editor
