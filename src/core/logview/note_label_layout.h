#pragma once

#include <span>
#include <vector>

namespace zv {

// A note's label as the plot would draw it: where its marker stands and how wide its whole
// text is, both in pixels.
struct TNoteLabel {
    double X = 0.0;
    double Width = 0.0;
};

// Where a label goes: its row in the band above the strips and the width its text may take
// (elided to it; 0 leaves the marker alone, the whole text shows on hover).
struct TNoteLabelPlace {
    int Row = 0;
    double Width = 0.0;
};

// Marks and edits stamped a moment apart must stay apart on screen: labels in time order take
// the first row that is free at their marker, and where none is, the row that frees first, the
// label before them there giving up what it would cover. Labels of one row never overlap.
std::vector<TNoteLabelPlace> LayOutNoteLabels(std::span<const TNoteLabel> labels, int rows,
                                              double maxWidth, double gap);

}  // namespace zv
