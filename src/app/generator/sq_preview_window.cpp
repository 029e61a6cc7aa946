#include "generator/sq_preview_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFont>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QWheelEvent>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <utility>

#include "render/id_labels.h"
#include "render/scaling.h"

namespace zorvane::generator_ui {
namespace {

using namespace preview_layout;

constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kYellow = 0xFFFFFF00;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr int kDesignWidth = 687, kDesignHeight = 350;
constexpr int kMinWidth = 300, kMinHeight = 200;

// Font size in points on a screen of `ppi` pixels per inch, as pixels.
int PointsToPixels(int points, double ppi) { return std::max(1, static_cast<int>(std::nearbyint(points * ppi / 72.0))); }

// ImgRender: shows the window's surface and passes clicks and the wheel on.
class PreviewView : public QWidget {
public:
    explicit PreviewView(SquarePreviewWindow& window) : QWidget(&window), window_(window) {
        setObjectName(QStringLiteral("ImgRender"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        painter.drawImage(0, 0, window_.Surface());
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton) return QWidget::mousePressEvent(e);
        const QPoint p = e->position().toPoint();
        window_.ImgRenderClick(p.x(), p.y());
    }
    // Three steps a notch; Shift+wheel (or a sideways wheel) scrolls sideways.
    void wheelEvent(QWheelEvent* e) override {
        QPoint delta = e->angleDelta();
        if ((e->modifiers() & Qt::ShiftModifier) && delta.x() == 0) delta = QPoint(delta.y(), 0);
        const int across = delta.x() / 120, down = delta.y() / 120;
        if (across == 0 && down == 0) return QWidget::wheelEvent(e);
        for (auto [bar, steps] : {std::pair{window_.SBx, across}, std::pair{window_.SBy, down}})
            if (steps != 0) bar->setValue(bar->value() - steps * bar->singleStep() * 3);
    }

private:
    SquarePreviewWindow& window_;
};

}  // namespace

SquarePreviewWindow::SquarePreviewWindow(const Project& project, QWidget* owner) : QDialog(owner), project_(project) {
    setObjectName(QStringLiteral("TFSqPreview"));
    setModal(true);
    ImgRender = new PreviewView(*this);
    SBx = new QScrollBar(Qt::Horizontal, this);
    SBx->setObjectName(QStringLiteral("SBx"));
    SBy = new QScrollBar(Qt::Vertical, this);
    SBy->setObjectName(QStringLiteral("SBy"));
    for (QScrollBar* bar : {SBx, SBy}) {
        bar->setRange(0, 0);
        bar->setPageStep(LargeStep);
        bar->setSingleStep(32);
    }
    connect(SBx, &QScrollBar::valueChanged, this, [this](int v) {
        scroll_.X = v;
        Render();
    });
    connect(SBy, &QScrollBar::valueChanged, this, [this](int v) {
        scroll_.Y = v;
        Render();
    });
    BtnShowId = new QPushButton(QStringLiteral("Id"), this);
    BtnShowId->setObjectName(QStringLiteral("BtnShowId"));
    BtnShowId->setAutoDefault(false);
    BtnShowId->setFocusPolicy(Qt::NoFocus);
    connect(BtnShowId, &QPushButton::clicked, this, [this] { BtnShowIdClick(); });
    auto* copy = new QAction(QStringLiteral("Copy picture"), ImgRender);
    copy->setObjectName(QStringLiteral("PMCopyPicture"));
    connect(copy, &QAction::triggered, this, [this] { CopyPicture(); });
    ImgRender->addAction(copy);
    ImgRender->setContextMenuPolicy(Qt::ActionsContextMenu);
    resize(kDesignWidth, kDesignHeight);
    setMinimumSize(kMinWidth, kMinHeight);
}

SquarePreviewWindow::~SquarePreviewWindow() = default;

void SquarePreviewWindow::Execute(const PreviewData& data, const QString& caption) {
    list_.Fill(data);
    setWindowTitle(caption);
    setMinimumSize(render::ScaleDim(kMinWidth, Ppi), render::ScaleDim(kMinHeight, Ppi));
    if (!sized_) {
        resize(render::ScaleDim(kDesignWidth, Ppi), render::ScaleDim(kDesignHeight, Ppi));
        sized_ = true;
    }
    if (QWidget* owner = parentWidget()) {
        QRect area(QPoint(0, 0), size());
        area.moveCenter(owner->geometry().center());
        setGeometry(area);
    }
    exec();
}

void SquarePreviewWindow::ClearList() { list_.ClearList(); }

void SquarePreviewWindow::SelectSq(int index) { list_.SelectSq(index); }

void SquarePreviewWindow::GoToRecord(int index) {
    const ScrollPosition to = list_.GoToRecord(index, scroll_, surface_.height());
    const QSignalBlocker bx(SBx), by(SBy);
    SBx->setValue(to.X);
    SBy->setValue(to.Y);
    scroll_ = {SBx->value(), SBy->value()};
}

void SquarePreviewWindow::ImgRenderClick(int x, int y) {
    const int index = list_.GetIdOfSqAtXY(x, y, scroll_);
    SelectSq(index);
    if (index >= 0) GoToRecord(index);
    Render();
}

void SquarePreviewWindow::BtnShowIdClick() {
    idMode_ = !idMode_;
    BtnShowId->setText(idMode_ ? QString() : QStringLiteral("Id"));
    Render();
}

void SquarePreviewWindow::CopyPicture() {
    if (!surface_.isNull()) QApplication::clipboard()->setImage(surface_);
}

// Opening: the top of the list, nothing selected, the surface of the view's
// size, drawn.
void SquarePreviewWindow::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    list_.SelectSq(-1);
    scroll_ = {};
    {
        const QSignalBlocker bx(SBx), by(SBy);
        SBx->setValue(0);
        SBy->setValue(0);
    }
    LayoutControls();
}

void SquarePreviewWindow::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    LayoutControls();
}

void SquarePreviewWindow::done(int result) {
    ClearList();
    surface_ = QImage();
    QDialog::done(result);
}

// The scroll bars along the right and bottom edges, the "Id" button at the
// bottom right, large enough for its caption (the bottom row as high as
// the button, the horizontal bar ending at it), the view in the rest.
void SquarePreviewWindow::LayoutControls() {
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const QFontMetrics metrics = BtnShowId->fontMetrics();
    const int buttonHeight = std::max(bar, metrics.height() + 8);
    const int buttonWidth = std::max(bar, metrics.horizontalAdvance(QStringLiteral("Id")) + 16);
    const int w = std::max(0, width() - bar), h = std::max(0, height() - buttonHeight);
    ImgRender->setGeometry(0, 0, w, h);
    SBx->setGeometry(0, h, std::max(0, width() - buttonWidth), buttonHeight);
    SBy->setGeometry(w, 0, bar, h);
    BtnShowId->setGeometry(width() - buttonWidth, h, buttonWidth, buttonHeight);
    if (!isVisible()) return;
    if (surface_.width() != w || surface_.height() != h) surface_ = QImage(w, h, QImage::Format_RGB32);
    UpdateScrollRanges();
    Render();
}

void SquarePreviewWindow::UpdateScrollRanges() {
    const QSignalBlocker bx(SBx), by(SBy);
    SBx->setRange(0, std::max(0, list_.ContentWidth() - surface_.width()));
    SBy->setRange(0, std::max(0, list_.ContentHeight() - surface_.height()));
    scroll_ = {SBx->value(), SBy->value()};
}

void SquarePreviewWindow::PrepareColours(double factor) {
    if (factor == coloursFactor_ && std::memcmp(coloursPalette_.data(), project_.Palette.data(), 1024) == 0) return;
    coloursFactor_ = factor;
    coloursPalette_ = project_.Palette;
    auto scaled = [factor](std::uint8_t channel) {
        return factor == 1.0 ? std::uint32_t{channel}
                             : static_cast<std::uint32_t>(std::nearbyint(channel * factor));  // halves to even
    };
    for (int v = 0; v < 256; ++v) {
        const std::uint8_t* e = &project_.Palette[static_cast<std::size_t>(v) * 4];  // blue, green, red
        colours_[static_cast<std::size_t>(v)] = kBlack | scaled(e[2]) << 16 | scaled(e[1]) << 8 | scaled(e[0]);
    }
}

void SquarePreviewWindow::DrawBitmap(const std::uint8_t* pixels, int x, double factor, int y) {
    if (surface_.isNull()) return;
    PrepareColours(factor);
    const int w = surface_.width(), h = surface_.height();
    const int c0 = std::max(0, -x), c1 = std::min(32, w - x);
    if (c0 >= c1) return;
    const qsizetype stride = surface_.bytesPerLine() / 4;
    auto* base = reinterpret_cast<std::uint32_t*>(surface_.bits());
    const bool flip = project_.BottomUpRows;
    for (int r = std::max(0, -y); r < 32 && y + r < h; ++r) {
        const std::uint8_t* src = pixels + (flip ? 31 - r : r) * 32;
        std::uint32_t* dst = base + (y + r) * stride + x;
        for (int c = c0; c < c1; ++c)
            if (src[c] != 0) dst[c] = colours_[src[c]];
    }
}

void SquarePreviewWindow::DrawOutline(int x, int y, std::uint32_t colour) {
    const int w = surface_.width(), h = surface_.height();
    const qsizetype stride = surface_.bytesPerLine() / 4;
    auto* base = reinterpret_cast<std::uint32_t*>(surface_.bits());
    const int left = x - 1, right = x + 32, top = y - 1, bottom = y + 32;
    for (int px = std::max(left, 0); px <= std::min(right, w - 1); ++px) {
        if (top >= 0 && top < h) base[top * stride + px] = colour;
        if (bottom >= 0 && bottom < h) base[bottom * stride + px] = colour;
    }
    for (int py = std::max(top, 0); py <= std::min(bottom, h - 1); ++py) {
        if (left >= 0 && left < w) base[py * stride + left] = colour;
        if (right >= 0 && right < w) base[py * stride + right] = colour;
    }
}

void SquarePreviewWindow::DrawHorizontalLine(int y, std::uint32_t colour) {
    if (y < 0 || y >= surface_.height()) return;
    auto* row = reinterpret_cast<std::uint32_t*>(surface_.scanLine(y));
    std::fill(row, row + surface_.width(), colour);
}

// Size-10 white Arial, no fill behind it, the top-left of the text at (x, y).
void SquarePreviewWindow::DrawText(int x, int y, const QString& text) {
    if (y >= surface_.height() || x >= surface_.width()) return;
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(PointsToPixels(10, Ppi));
    font.setStyleStrategy(QFont::NoAntialias);
    QPainter painter(&surface_);
    painter.setFont(font);
    painter.setPen(QColor(kWhite));
    painter.drawText(QRect(x, y, 1000, font.pixelSize() * 2), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
}

const render::LabelFont& SquarePreviewWindow::SmallFont() {
    if (!smallFont_ || smallFontPpi_ != Ppi) {
        smallFont_ = std::make_unique<render::LabelFont>(PointsToPixels(7, Ppi));
        smallFontPpi_ = Ppi;
    }
    return *smallFont_;
}

void SquarePreviewWindow::DrawSquare(const MapSquare& sq, int x, int y, bool outlined, bool selected) {
    if (x > surface_.width() || y > surface_.height() || x + 32 < 0 || y + 32 < 0) return;
    DrawBitmap(project_.Bitmap(sq.Gnd), x, factor_, y);
    DrawBitmap(project_.Bitmap(sq.Top), x, factor_, y);
    if (outlined) DrawOutline(x, y, kYellow);
    if (selected) DrawOutline(x, y, kRed);
    if (idMode_ && (sq.Gnd != NoBitmap || sq.Top != NoBitmap)) {
        const render::LabelFont& font = SmallFont();
        char text[8];
        auto write = [&](int value, int dy) {
            const char* end = std::to_chars(text, text + sizeof text, value).ptr;
            font.Write(surface_, x, y + dy, std::string_view(text, static_cast<std::size_t>(end - text)), kWhite);
        };
        write(sq.Gnd, 0);
        write(sq.Top, 9);
        write(sq.Atr, 18);
    }
}

void SquarePreviewWindow::Render() {
    if (!surface_.isNull()) {
        surface_.fill(kBlack);
        factor_ = idMode_ ? 0.7 : 1.0;
        const int viewBottom = scroll_.Y + surface_.height();
        const auto& records = list_.Records();
        for (std::size_t i = list_.FirstVisible(scroll_.Y); i < records.size(); ++i) {
            const SqPreviewRecord& rec = records[i];
            if (rec.Top > viewBottom) break;
            const int ox = -scroll_.X, oy = rec.Top - scroll_.Y;
            DrawText(ox + IdX, oy + IdY, QString::number(rec.Id));
            const MapTile& main = *rec.Main;
            for (int c = 0; c < main.Width; ++c)
                for (int r = 0; r < main.Height; ++r) {
                    const MapSquare& sq = main.SqAt(c, r);
                    DrawSquare(sq, ox + MainX + 32 * c, oy + MainY + 32 * r, list_.IsObjectStart(sq), rec.Selected);
                }
            if (rec.Neighbours) {
                DrawText(ox + EastX, oy + EastY, QStringLiteral("E: (%1)").arg(rec.EastCount));
                DrawText(ox + SouthX, oy + SouthY, QStringLiteral("S: (%1)").arg(rec.SouthCount));
                const MapTile& strip = *rec.Strip;
                for (int c = 0; c < strip.Width; ++c)
                    for (int r = 0; r < strip.Height; ++r)
                        DrawSquare(strip.SqAt(c, r), ox + StripX + 32 * c, oy + StripY + 32 * r, false, false);
            }
            DrawHorizontalLine(oy, kRed);
            DrawHorizontalLine(oy + rec.Height, kRed);
        }
    }
    ImgRender->update();
}

}  // namespace zorvane::generator_ui
