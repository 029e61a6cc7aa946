#include "editor/tiles_list.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>
#include <cmath>

#include "render/scaling.h"

namespace zorvane::editor {
namespace {

constexpr int kItemHeight = 148;
constexpr int kPictureSize = 128;

class TileItemDelegate : public QStyledItemDelegate {
public:
    explicit TileItemDelegate(TilesList& list) : QStyledItemDelegate(&list), list_(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        if (list_.Rebuilding()) return;
        const bool selected = option.state & QStyle::State_Selected;
        painter->fillRect(option.rect, selected ? option.palette.highlight() : QBrush(Qt::white));
        if (const QImage* picture = list_.Picture(index.row()))
            painter->drawImage(option.rect.left() + ScalePos(6, list_.Ppi()), option.rect.top() + ScaleDim(14, list_.Ppi()),
                               *picture);
        painter->setPen(selected ? option.palette.highlightedText().color() : QColor(Qt::black));
        painter->drawText(option.rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                          index.data(Qt::DisplayRole).toString());
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override { return {140, kItemHeight}; }

private:
    TilesList& list_;
};

}  // namespace

QString TileItemText(int index, const TTile& tile) {
    return QStringLiteral("%1 (%2,%3):").arg(index).arg(tile.Width).arg(tile.Height);
}

QImage TilePicture(const Project& project, const TTile& tile) {
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
    const double w = tile.Width * 32.0, h = tile.Height * 32.0;
    const double s = std::max({h / kPictureSize, w / kPictureSize, 1.0});
    const int cols = std::min(kPictureSize, static_cast<int>(std::floor(w / s))),
              rows = std::min(kPictureSize, static_cast<int>(std::floor(h / s)));
    for (int py = 0; py < rows; ++py) {
        uchar* line = img.scanLine(py);
        const int sqy = static_cast<int>(std::floor(py * s / 32)), iy = static_cast<int>(std::floor(py * s)) % 32;
        const int row = project.BottomUpRows ? 31 - iy : iy;
        for (int px = 0; px < cols; ++px) {
            const int sqx = static_cast<int>(std::floor(px * s / 32)), ix = static_cast<int>(std::floor(px * s)) % 32;
            if (sqx >= tile.Width || sqy >= tile.Height) continue;
            const TSq& sq = tile.SqAt(sqx, sqy);
            for (std::uint16_t id : {sq.Gnd, sq.Top}) {
                if (id == NoBitmap) continue;
                std::uint8_t v = project.Bitmap(id)[row * 32 + ix];
                if (v != 0) line[px] = v;
            }
        }
    }
    return img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

TilesList::TilesList(double ppi, QWidget* parent) : QListWidget(parent), ppi_(ppi) {
    setObjectName(QStringLiteral("LBNewTiles"));
    setItemDelegate(new TileItemDelegate(*this));
    setUniformItemSizes(true);
    setStyleSheet(QStringLiteral("QListWidget { background: white; }"));
}

const QImage* TilesList::Picture(int i) const {
    return i >= 0 && i < static_cast<int>(pictures_.size()) ? &pictures_[i] : nullptr;
}

void TilesList::ClearTiles() {
    clear();
    pictures_.clear();
}

void TilesList::Rebuild(const Project& project, int first, int last, const std::function<void(int)>& progress) {
    const int n = static_cast<int>(project.NewTiles.size());
    rebuilding_ = true;
    while (count() > n) delete takeItem(count() - 1);
    while (count() < n) addItem(QString());
    pictures_.resize(n);
    first = std::max(first, 0);
    last = std::min(last, n - 1);
    for (int i = first; i <= last; ++i) {
        if (progress) progress(i);
        item(i)->setText(TileItemText(i, *project.NewTiles[i]));
        pictures_[i] = TilePicture(project, *project.NewTiles[i]);
    }
    rebuilding_ = false;
    viewport()->update();
}

void TilesList::mousePressEvent(QMouseEvent* e) {
    QListWidget::mousePressEvent(e);
    if (e->button() != Qt::LeftButton) return;
    pressedItem_ = indexAt(e->position().toPoint()).row();
    pressPos_ = e->position().toPoint();
    dragged_ = false;
}

void TilesList::mouseMoveEvent(QMouseEvent* e) {
    if (pressedItem_ >= 0 && (e->buttons() & Qt::LeftButton) &&
        (e->position().toPoint() - pressPos_).manhattanLength() >= QApplication::startDragDistance())
        dragged_ = true;
    if (dragged_) return;  // the pressed item stays the selected one
    QListWidget::mouseMoveEvent(e);
}

void TilesList::mouseReleaseEvent(QMouseEvent* e) {
    QListWidget::mouseReleaseEvent(e);
    if (e->button() != Qt::LeftButton) return;
    const int item = pressedItem_;
    const bool take = dragged_ && item >= 0 && item < count();
    pressedItem_ = -1;
    dragged_ = false;
    if (take && OnTakeTile) OnTakeTile(item);
}

}  // namespace zorvane::editor
