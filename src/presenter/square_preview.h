#pragma once
// What the generator knows, as records for the square preview window:
// "Show squares neighbors" (one record per learned square with its weighted
// Right and Down lists) and "Show identified objects" (one picture per
// object, largest first).

#include <memory>
#include <vector>

#include "generator/generator.h"
#include "model/project.h"
#include "ui/ui.h"

namespace zorvane {

struct PreviewRecord {
    bool Neighbours = false;  // a neighbours record (else an object record)
    int Id = 0;               // the square index, or the object size
    int EastCount = 0;        // length of the Right list (neighbours records)
    int SouthCount = 0;       // length of the Down list (neighbours records)
    std::unique_ptr<MapTile> Main;   // the square (1 x 1) or the object
    std::unique_ptr<MapTile> Strip;  // neighbours records: 3 rows, Right entries in row 0, Down entries in row 2
};

struct PreviewData {
    std::vector<PreviewRecord> Records;
    std::vector<MapSquare> StartSquares;  // the squares of the object starts table
};

inline const char* const SqNeighboursCaption = "Squares Neighbors";
inline const char* const SqObjectsCaption = "Identified Objects";

// Every learned square but the empty square, in index order: its Right
// entries at strip columns 0, 2, 4, ... of row 0 (repeats included), its
// Down entries likewise in row 2, the empty square everywhere else.
PreviewData PrepareSqMatchesPreview(const MapGenerator& generator, UserInterface& ui);
// Every object as a picture of its squares placed through their 1-to-1
// neighbours, largest objects first; each learned square but the empty one
// shows in exactly one picture.
PreviewData PrepareSqWeightsTable(const MapGenerator& generator, UserInterface& ui);

// The buttons' refusal: "Nothing to show." (caption "Map Generator") when
// nothing has been learned; true when there is something to show.
bool HasSomethingToShow(const MapGenerator& generator, UserInterface& ui);

}  // namespace zorvane
