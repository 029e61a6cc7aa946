#include "editor/tiles_list.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QToolTip>
#include <QHelpEvent>
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "render/scaling.h"

namespace zorvane::editor {

using render::ScaleDim;
using render::ScalePos;
namespace {

constexpr int kPictureSize = 128;
// Above the picture the caption, below it a margin.
constexpr int kCaptionHeight = 14;
constexpr int kBottomMargin = 6;
constexpr int kCompactMargin = 2;  // around a picture in the compact form

class TileItemDelegate : public QStyledItemDelegate {
public:
    explicit TileItemDelegate(TilesList& list) : QStyledItemDelegate(&list), list_(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        if (list_.Rebuilding()) return;
        const bool selected = option.state & QStyle::State_Selected;
        painter->fillRect(option.rect, selected ? option.palette.highlight() : QBrush(Qt::white));
        if (list_.Compact()) {
            if (const QImage* picture = list_.Picture(index.row()))
                painter->drawImage(option.rect.topLeft() + QPoint(kCompactMargin, kCompactMargin), *picture,
                                   QRect(QPoint(0, 0), list_.CompactItemSize(index.row()) -
                                                           QSize(2 * kCompactMargin, 2 * kCompactMargin)));
            return;
        }
        if (const QImage* picture = list_.Picture(index.row()))
            painter->drawImage(option.rect.left() + ScalePos(6, list_.Ppi()),
                               option.rect.top() + ScaleDim(kCaptionHeight, list_.Ppi()), *picture);
        painter->setPen(selected ? option.palette.highlightedText().color() : QColor(Qt::black));
        painter->drawText(option.rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                          index.data(Qt::DisplayRole).toString());
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const override {
        if (list_.Compact()) return list_.CompactItemSize(index.row());
        return {140, list_.ItemHeight(index.row())};
    }

private:
    TilesList& list_;
};

}  // namespace

QString TileItemText(int index, const MapTile& tile) {
    return QStringLiteral("%1 (%2,%3):").arg(index).arg(tile.Width).arg(tile.Height);
}

QSize TilePictureExtent(const MapTile& tile) {
    const double w = tile.Width * 32.0, h = tile.Height * 32.0;
    const double s = std::max({h / kPictureSize, w / kPictureSize, 1.0});
    return {std::min(kPictureSize, static_cast<int>(std::floor(w / s))),
            std::min(kPictureSize, static_cast<int>(std::floor(h / s)))};
}

QImage TilePicture(const Project& project, const MapTile& tile) {
    QImage img(kPictureSize, kPictureSize, QImage::Format_Indexed8);
    QList<QRgb> table(256);
    const auto& pal = project.Palette;
    const QRgb transparent = qRgb(pal[2], pal[1], pal[0]);
    for (int v = 0; v < 256; ++v) {
        QRgb c = qRgb(pal[v * 4 + 2], pal[v * 4 + 1], pal[v * 4]);
        table[v] = c == transparent ? qRgba(pal[v * 4 + 2], pal[v * 4 + 1], pal[v * 4], 0) : c;
    }
    img.setColorTable(table);
    img.fill(0);
    const double s = std::max({tile.Height * 32.0 / kPictureSize, tile.Width * 32.0 / kPictureSize, 1.0});
    const QSize extent = TilePictureExtent(tile);
    const int cols = extent.width(), rows = extent.height();
    // The square column every picture column shows, and the pixel inside it.
    std::array<int, kPictureSize> colSq{}, colIx{};
    for (int px = 0; px < cols; ++px) {
        colSq[px] = static_cast<int>(std::floor(px * s / 32));
        colIx[px] = static_cast<int>(std::floor(px * s)) % 32;
    }
    // For one picture row: the ground and top bitmap rows of every square
    // of its tile row (null where the square has none).
    std::vector<const std::uint8_t*> layerRows(static_cast<std::size_t>(2 * tile.Width));
    for (int py = 0; py < rows; ++py) {
        const int sqy = static_cast<int>(std::floor(py * s / 32)), iy = static_cast<int>(std::floor(py * s)) % 32;
        if (sqy >= tile.Height) continue;
        const int row = project.BottomUpRows ? 31 - iy : iy;
        for (int c = 0; c < tile.Width; ++c) {
            const MapSquare& sq = tile.SqAt(c, sqy);
            layerRows[2 * c] = sq.Gnd == NoBitmap ? nullptr : project.Bitmap(sq.Gnd) + row * 32;
            layerRows[2 * c + 1] = sq.Top == NoBitmap ? nullptr : project.Bitmap(sq.Top) + row * 32;
        }
        uchar* line = img.scanLine(py);
        for (int px = 0; px < cols; ++px) {
            const int c = colSq[px];
            if (c >= tile.Width) continue;
            for (int layer = 0; layer < 2; ++layer)
                if (const std::uint8_t* bits = layerRows[2 * c + layer])
                    if (const std::uint8_t v = bits[colIx[px]]) line[px] = v;
        }
    }
    return img;
}

TilesList::TilesList(double ppi, QWidget* parent)
    : QListWidget(parent), timDragDelay_(new QTimer(this)), ppi_(ppi) {
    setObjectName(QStringLiteral("LBNewTiles"));
    timDragDelay_->setObjectName(QStringLiteral("TimDragDelay"));
    timDragDelay_->setInterval(100);
    timDragDelay_->setSingleShot(true);
    connect(timDragDelay_, &QTimer::timeout, this, [this] { dragDelayPassed_ = true; });
    setItemDelegate(new TileItemDelegate(*this));
    setStyleSheet(QStringLiteral("QListWidget { background: white; }"));
}

int TilesList::ItemHeight(int i) const {
    const int picture = i >= 0 && i < static_cast<int>(pictureHeights_.size()) ? pictureHeights_[i] : kPictureSize;
    return ScaleDim(kCaptionHeight, ppi_) + picture + ScaleDim(kBottomMargin, ppi_);
}

QSize TilesList::CompactItemSize(int i) const {
    const QSize picture = i >= 0 && i < static_cast<int>(pictureExtents_.size()) ? pictureExtents_[i]
                                                                                  : QSize(32, 32);
    return picture + QSize(2 * kCompactMargin, 2 * kCompactMargin);
}

// The grid flows left to right and wraps at the list's width.
void TilesList::SetCompact(bool compact) {
    if (compact == compact_) return;
    compact_ = compact;
    setFlow(compact ? QListView::LeftToRight : QListView::TopToBottom);
    setWrapping(compact);
    setResizeMode(compact ? QListView::Adjust : QListView::Fixed);
    doItemsLayout();
    viewport()->update();
    if (currentRow() >= 0) scrollTo(currentIndex());
}

bool TilesList::viewportEvent(QEvent* e) {
    if (e->type() == QEvent::ToolTip && compact_) {
        auto* help = static_cast<QHelpEvent*>(e);
        const int row = indexAt(help->pos()).row();
        if (row >= 0)
            QToolTip::showText(help->globalPos(), item(row)->text(), viewport());
        else
            QToolTip::hideText();
        return true;
    }
    return QListWidget::viewportEvent(e);
}

const QImage* TilesList::Picture(int i) const {
    return i >= 0 && i < static_cast<int>(pictures_.size()) ? &pictures_[i] : nullptr;
}

void TilesList::ClearTiles() {
    clear();
    pictures_.clear();
    pictureHeights_.clear();
    pictureExtents_.clear();
}

void TilesList::Rebuild(const Project& project, int first, int last, const std::function<void(int)>& progress) {
    const int n = static_cast<int>(project.NewTiles.size());
    rebuilding_ = true;
    while (count() > n) delete takeItem(count() - 1);
    while (count() < n) addItem(QString());
    pictures_.resize(n);
    pictureHeights_.resize(n, kPictureSize);
    pictureExtents_.resize(n, QSize(kPictureSize, kPictureSize));
    first = std::max(first, 0);
    last = std::min(last, n - 1);
    for (int i = first; i <= last; ++i) {
        if (progress) progress(i);
        item(i)->setText(TileItemText(i, *project.NewTiles[i]));
        pictures_[i] = TilePicture(project, *project.NewTiles[i]);
        pictureExtents_[i] = TilePictureExtent(*project.NewTiles[i]);
        pictureHeights_[i] = pictureExtents_[i].height();
    }
    rebuilding_ = false;
    doItemsLayout();  // the rows take the heights of their pictures
    viewport()->update();
}

void TilesList::mousePressEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    if (e->button() == Qt::RightButton) {
        // The popup menu's commands act on the item under the mouse.
        if (const int row = indexAt(pos).row(); row >= 0) setCurrentRow(row);
        if (OnPopup) OnPopup(e->globalPosition().toPoint());
        return;
    }
    QListWidget::mousePressEvent(e);
    if (e->button() != Qt::LeftButton) return;
    pressedItem_ = indexAt(pos).row();
    pressPos_ = pos;
    dragging_ = false;
}

// The popup menu opens on the right button's press, on every platform.
void TilesList::contextMenuEvent(QContextMenuEvent* e) { e->accept(); }

void TilesList::mouseMoveEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    if (!dragging_ && pressedItem_ >= 0 && (e->buttons() & Qt::LeftButton) &&
        (pos - pressPos_).manhattanLength() >= QApplication::startDragDistance()) {
        dragging_ = true;  // a drag of the selected item, which is the pressed one
        dragItem_ = currentRow();
    }
    if (!dragging_) {
        QListWidget::mouseMoveEvent(e);
        return;
    }
    if (viewport()->rect().contains(pos)) DragOver(pos);
}

void TilesList::DragOver(const QPoint& pos) {
    if (inDragOver_) return;  // a rebuild let events run inside a reorder step
    inDragOver_ = true;
    // Automatic scrolling at the top and bottom visible items.
    const int under = indexAt(pos).row();
    const int top = indexAt(QPoint(1, 1)).row();
    int bottom = indexAt(QPoint(1, viewport()->height() - 1)).row();
    if (bottom < 0) bottom = count() - 1;
    if (under >= 0 && under == top && under > 0 && pos.y() < lastDragY_)
        ScrollOneItem(-1);
    else if (under >= 0 && under == bottom && pos.y() > lastDragY_)
        ScrollOneItem(1);
    if (dragDelayPassed_) {
        // Reorder mode: one neighbour at a time towards the item under the mouse.
        const int selected = currentRow();
        if (OnReorder) {
            const int now = OnReorder(selected, indexAt(pos).row());
            if (now != selected) setCurrentRow(now);
        }
    } else {
        dragItem_ = currentRow();
        if (!timDragDelay_->isActive()) timDragDelay_->start();
    }
    lastDragY_ = pos.y();
    inDragOver_ = false;
}

void TilesList::ScrollOneItem(int step) {
    const int top = indexAt(QPoint(1, 1)).row();
    if (top < 0) return;
    const int to = std::clamp(top + step, 0, count() - 1);
    scrollTo(model()->index(to, 0), QAbstractItemView::PositionAtTop);
}

void TilesList::mouseReleaseEvent(QMouseEvent* e) {
    const int selected = currentRow();
    QListWidget::mouseReleaseEvent(e);
    if (e->button() != Qt::LeftButton) return;
    pressedItem_ = -1;
    if (dragging_) {
        // A drag changes no selection on its release (the list would clear
        // it when an already selected item is released over no item).
        setCurrentRow(selected);
        dragging_ = false;
        EndDrag();
        return;
    }
    if (viewport()->rect().contains(e->position().toPoint())) {
        dragItem_ = currentRow();
        lastDragY_ = e->position().toPoint().y();
    }
    dragDelayPassed_ = false;
}

// A drag ended within the delay takes the tile it started on; a longer one
// only reordered.
void TilesList::EndDrag() {
    timDragDelay_->stop();
    const bool reordered = dragDelayPassed_;
    const bool take = !dragDelayPassed_ && currentRow() >= 0 && dragItem_ >= 0 && dragItem_ < count();
    dragDelayPassed_ = false;
    if (reordered && OnReorderEnded) OnReorderEnded(dragItem_, currentRow());
    if (!take) return;
    setCurrentRow(dragItem_);
    if (OnTakeTile) OnTakeTile(dragItem_);
}

}  // namespace zorvane::editor
