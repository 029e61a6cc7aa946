#pragma once
// LBNewTiles: the tiles list, one item per tile of NewTiles with the text
// "i (w,h):" and a 128 x 128 picture of the tile (ground, then top; palette
// entry 0's colour is transparent; tiles over 4 x 4 squares are shrunk to
// fit). An item is as high as its caption and picture: a 1 x 1 tile's row
// holds 32 pixels of picture, a tall tile's 128.
//
// A left click selects an item. Pressing an item and moving the mouse
// beyond the drag distance drags it. A drag released within 100 ms of its
// first movement over the list (the TimDragDelay timer) takes the tile for
// placing on the map (OnTakeTile); once that delay has passed, the drag
// reorders instead: over the list the dragged tile travels one neighbour at
// a time towards the item under the mouse (OnReorder), scrolling the list by
// one item at its top and bottom; released, it tells where the tile went
// (OnReorderEnded). Pressing the right button selects the item under it
// first, then asks for the popup menu (OnPopup).
//
// In its compact form the list is a grid of the tile pictures at their own
// size (at most 128 pixels a side) without captions, the caption showing on
// hover; gestures and commands work on items the same in both forms.

#include <QImage>
#include <QListWidget>
#include <QPoint>
#include <functional>
#include <vector>

#include "model/project.h"

class QContextMenuEvent;
class QTimer;

namespace zorvane::editor {

// The picture of one tile: 8-bit, with the project palette as its colour
// table (the colour of entry 0 transparent wherever it stands).
QImage TilePicture(const Project& project, const MapTile& tile);
// The part of that picture the tile covers (its top-left corner).
QSize TilePictureExtent(const MapTile& tile);
// "i (w,h):".
QString TileItemText(int index, const MapTile& tile);

class TilesList : public QListWidget {
public:
    TilesList(double ppi, QWidget* parent);

    // Rebuilds items first..last and their pictures; `progress` is called
    // with every index rebuilt.
    void Rebuild(const Project& project, int first, int last, const std::function<void(int)>& progress);
    // Empties the list and frees the pictures.
    void ClearTiles();
    const QImage* Picture(int i) const;
    // The height of item i: its caption, its tile's picture and a margin.
    int ItemHeight(int i) const;
    bool Rebuilding() const { return rebuilding_; }
    void SetCompact(bool compact);
    bool Compact() const { return compact_; }
    // The size of item i in the compact form: its picture and a margin.
    QSize CompactItemSize(int i) const;
    double Ppi() const { return ppi_; }

    // Takes list item `index` for placing on the map.
    std::function<void(int index)> OnTakeTile;
    // Moves the dragged tile `selected` one step towards item `under` (-1:
    // none); returns the item that holds the dragged tile now.
    std::function<int(int selected, int under)> OnReorder;
    // A reordering drag ended: the dragged tile went from item `from` to
    // item `to` (which may be the same).
    std::function<void(int from, int to)> OnReorderEnded;
    // Shows the popup menu at a global position.
    std::function<void(const QPoint& global)> OnPopup;

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    bool viewportEvent(QEvent* e) override;

private:
    // One movement of a drag over the list (viewport coordinates).
    void DragOver(const QPoint& pos);
    // The drag ended, wherever the mouse is.
    void EndDrag();
    void ScrollOneItem(int step);

    int pressedItem_ = -1;
    QPoint pressPos_;
    bool dragging_ = false;
    QTimer* timDragDelay_;
    bool dragDelayPassed_ = false;
    int dragItem_ = -1;
    int lastDragY_ = 0;
    bool inDragOver_ = false;
    std::vector<QImage> pictures_;
    std::vector<int> pictureHeights_;  // the height each picture covers
    std::vector<QSize> pictureExtents_;
    bool rebuilding_ = false;
    bool compact_ = false;
    double ppi_;
};

}  // namespace zorvane::editor
