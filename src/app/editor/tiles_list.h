#pragma once
// LBNewTiles: the tiles list, one item per tile of NewTiles with the text
// "i (w,h):" and a 128 x 128 picture of the tile (ground, then top; palette
// entry 0's colour is transparent; tiles over 4 x 4 squares are shrunk to
// fit). Items are 148 pixels high.
//
// Pressing an item and dragging away from it takes that tile for placing on
// the map when the button is released (OnTakeTile); a plain click only
// selects the item.

#include <QImage>
#include <QListWidget>
#include <functional>
#include <vector>

#include "model/project.h"

namespace zorvane::editor {

// The picture of one tile.
QImage TilePicture(const Project& project, const TTile& tile);
// "i (w,h):".
QString TileItemText(int index, const TTile& tile);

class TilesList : public QListWidget {
public:
    TilesList(double ppi, QWidget* parent);

    // Rebuilds items first..last and their pictures; `progress` is called
    // with every index rebuilt.
    void Rebuild(const Project& project, int first, int last, const std::function<void(int)>& progress);
    // Empties the list and frees the pictures.
    void ClearTiles();
    const QImage* Picture(int i) const;
    bool Rebuilding() const { return rebuilding_; }
    double Ppi() const { return ppi_; }

    std::function<void(int)> OnTakeTile;

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    int pressedItem_ = -1;
    QPoint pressPos_;
    bool dragged_ = false;
    std::vector<QImage> pictures_;
    bool rebuilding_ = false;
    double ppi_;
};

}  // namespace zorvane::editor
