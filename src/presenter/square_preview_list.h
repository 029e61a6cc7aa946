#pragma once
// The record list of the square preview window: records stacked from the
// top of the list's content, their sizes in pixels, the object start
// squares outlined in yellow, the selected record, and which neighbour a
// point of the view falls on. The window draws what this list lays out.

#include <cstdint>
#include <memory>
#include <vector>

#include "presenter/square_preview.h"
#include "model/project.h"

namespace zorvane {

// Where the parts of a record stand, in pixels from its top-left corner.
namespace preview_layout {
inline constexpr int IdX = 32, IdY = 40;               // the record's number
inline constexpr int MainX = 64, MainY = 32;           // main tile square (0, 0)
inline constexpr int EastX = 128, EastY = 40;          // "E: (" east count ")"
inline constexpr int SouthX = 128, SouthY = 104;       // "S: (" south count ")"
inline constexpr int StripX = 192, StripY = 32;        // neighbour tile square (0, 0)
inline constexpr int MinContentWidth = 300;
inline constexpr int LargeStep = 128;                  // the scroll bars' large step
}  // namespace preview_layout

struct SqPreviewRecord {
    int Top = 0;      // y of the top edge in the list's content
    int Height = 0;
    int Width = 0;
    bool Neighbours = false;  // the record shows a neighbour tile
    int Id = 0;               // the number written on the record
    int EastCount = 0;
    int SouthCount = 0;
    std::unique_ptr<MapTile> Main;
    std::unique_ptr<MapTile> Strip;  // the neighbours; 1 x 1 and not drawn for other records
    bool Selected = false;

    int Bottom() const { return Top + Height; }
};

// What AddNewRecord makes: the kind, the number and the tiles' sizes in
// squares.
struct NewPreviewRecord {
    bool Neighbours = false;
    int Id = 0;
    int StripHeight = 1;
    int StripWidth = 1;
    int MainHeight = 1;
    int MainWidth = 1;
    int SouthCount = 0;
    int EastCount = 0;
};

enum class PreviewTile { Main, Strip };

struct ScrollPosition {
    int X = 0;
    int Y = 0;
    friend bool operator==(const ScrollPosition&, const ScrollPosition&) = default;
};

class SqPreviewList {
public:
    // Destroys every record; the content becomes 300 x 0 pixels.
    void ClearList();
    // Appends a record below the last one, its tiles all empty squares.
    void AddNewRecord(const NewPreviewRecord& shape);
    // Copies a square into square (column, row) of the last record's tile.
    void SetSqToLastRec(PreviewTile tile, int column, const MapSquare& square, int row);
    // ClearList, then a record for every prepared one with all its squares,
    // and the object start squares.
    void Fill(const PreviewData& data);

    // The first record whose main tile square (0, 0) shows these bitmaps, or -1.
    int GetSqRecId(std::uint16_t gnd, std::uint16_t top) const;
    // The record of the neighbour shown at view point (x, y), or -1 (no
    // neighbour there, a gap column, or a neighbour without a record).
    int GetIdOfSqAtXY(int x, int y, ScrollPosition scroll) const;
    // Moves the selected mark to record `index` (-1: no record).
    void SelectSq(int index);
    // The scroll position that brings record `index` into a view of
    // `viewHeight` pixels scrolled to `scroll`.
    ScrollPosition GoToRecord(int index, ScrollPosition scroll, int viewHeight) const;
    // The first record that reaches down to `scrollY` or below
    // (Records().size() when none does).
    std::size_t FirstVisible(int scrollY) const;
    // The square is one of the object start squares.
    bool IsObjectStart(const MapSquare& square) const;

    const std::vector<SqPreviewRecord>& Records() const { return records_; }
    int Count() const { return static_cast<int>(records_.size()); }
    int ContentWidth() const { return contentWidth_; }
    int ContentHeight() const { return contentHeight_; }
    int SelectedIndex() const { return selected_; }
    // The object start squares (ground, top, attribute), filled by the caller.
    std::vector<MapSquare> ObjStartList;

private:
    std::vector<SqPreviewRecord> records_;
    int contentWidth_ = preview_layout::MinContentWidth;
    int contentHeight_ = 0;
    int selected_ = -1;
};

}  // namespace zorvane
