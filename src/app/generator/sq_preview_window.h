#pragma once
// SquarePreviewWindow, the square preview window: what the generator has learned as
// a scrollable list of pictures, drawn from the project's bitmaps. Each
// record shows its number and its square or object and, in the neighbours
// view, the square's right and lower neighbours; a click on a neighbour
// selects that neighbour's own record and scrolls it into view. "Id" writes
// the bitmap ids and the attribute on every square. The generator settings
// window fills the list and runs the window modally; closing it empties the
// list.

#include <QDialog>
#include <QImage>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>

#include "presenter/square_preview_list.h"
#include "model/project.h"

class QPushButton;
class QScrollBar;

namespace zorvane::render {
class LabelFont;
}

namespace zorvane::generator_ui {

class SquarePreviewWindow : public QDialog {
public:
    // `owner`: the window it opens over and is centred on.
    SquarePreviewWindow(const Project& project, QWidget* owner);
    ~SquarePreviewWindow() override;

    // Screen pixels per inch of the main window: the design size and the
    // fonts follow it.
    double Ppi = 96.0;

    // Fills the list with prepared records and runs the window modally
    // under `caption`, at its design size, centred on its owner.
    void Execute(const PreviewData& data, const QString& caption);

    SqPreviewList& List() { return list_; }
    const SqPreviewList& List() const { return list_; }
    void ClearList();
    void SelectSq(int index);
    // Scrolls record `index` into view.
    void GoToRecord(int index);
    // Redraws the view from the list.
    void Render();
    // Draws one 32 x 32 bitmap (palette indices, 0 not drawn) at surface
    // point (x, y), its colours scaled by `factor`.
    void DrawBitmap(const std::uint8_t* pixels, int x, double factor, int y);

    const QImage& Surface() const { return surface_; }
    ScrollPosition Scroll() const { return scroll_; }
    bool IdMode() const { return idMode_; }

    // Commands of the window.
    void ImgRenderClick(int x, int y);
    void BtnShowIdClick();
    // Puts what the view shows on the clipboard.
    void CopyPicture();

    QWidget* ImgRender;
    QScrollBar* SBx;
    QScrollBar* SBy;
    QPushButton* BtnShowId;

protected:
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void done(int result) override;

private:
    void LayoutControls();
    void UpdateScrollRanges();
    void PrepareColours(double factor);
    // One square of a record's tile: its bitmaps, outlines and id texts.
    void DrawSquare(const MapSquare& sq, int x, int y, bool outlined, bool selected);
    void DrawOutline(int x, int y, std::uint32_t colour);
    void DrawHorizontalLine(int y, std::uint32_t colour);
    void DrawText(int x, int y, const QString& text);
    const render::LabelFont& SmallFont();

    const Project& project_;
    SqPreviewList list_;
    QImage surface_;
    ScrollPosition scroll_;
    bool idMode_ = false;
    bool sized_ = false;  // given its design size on the first opening
    double factor_ = 1.0;
    std::array<std::uint32_t, 256> colours_{};
    double coloursFactor_ = -1.0;
    std::array<std::uint8_t, 1024> coloursPalette_{};
    std::unique_ptr<render::LabelFont> smallFont_;
    double smallFontPpi_ = 0.0;
};

}  // namespace zorvane::generator_ui
