#include "logview/note_label_layout.h"

#include <algorithm>
#include <cstddef>
#include <limits>

namespace zv {

namespace {

// Below this a label says nothing readable: better the bare marker and its tooltip.
constexpr double kMinLabelWidth = 12.0;

}  // namespace

std::vector<TNoteLabelPlace> LayOutNoteLabels(std::span<const TNoteLabel> labels, int rows,
                                              double maxWidth, double gap) {
    const std::size_t rowCount = static_cast<std::size_t>(std::max(1, rows));
    std::vector<TNoteLabelPlace> places(labels.size());
    // Per row: the label drawn last on it and where its text ends.
    std::vector<std::ptrdiff_t> last(rowCount, -1);
    std::vector<double> end(rowCount, -std::numeric_limits<double>::infinity());
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const double x = labels[i].X;
        std::size_t row = rowCount;
        for (std::size_t r = 0; r < rowCount && row == rowCount; ++r) {
            if (end[r] + gap <= x)
                row = r;
        }
        if (row == rowCount) {
            row = static_cast<std::size_t>(std::min_element(end.begin(), end.end()) - end.begin());
            TNoteLabelPlace& before = places[static_cast<std::size_t>(last[row])];
            const double room = x - gap - labels[static_cast<std::size_t>(last[row])].X;
            before.Width = room >= kMinLabelWidth ? std::min(before.Width, room) : 0.0;
        }
        const double width = std::clamp(labels[i].Width, 0.0, maxWidth);
        places[i] = {static_cast<int>(row), width};
        last[row] = static_cast<std::ptrdiff_t>(i);
        end[row] = x + width;
    }
    return places;
}

}  // namespace zv
