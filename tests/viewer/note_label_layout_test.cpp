// Labels of marks and edits stamped close together: each keeps its own place.
#include <gtest/gtest.h>

#include <vector>

#include "logview/note_label_layout.h"

namespace zv {
namespace {

// Two rows, labels up to 160 px, 4 px between labels.
std::vector<TNoteLabelPlace> Lay(const std::vector<TNoteLabel>& labels) {
    return LayOutNoteLabels(labels, 2, 160.0, 4.0);
}

TEST(NoteLabelLayout, LabelsCloseTogetherTakeTheirOwnRowOrGiveWay) {
    // "Mark 2" and an edit 4 px to its right, a mark 50 px on, another 2 px after it, and a
    // long comment far away.
    const std::vector<TNoteLabel> labels = {
        {100, 40}, {104, 120}, {150, 50}, {152, 60}, {600, 500}};
    const auto places = Lay(labels);
    ASSERT_EQ(places.size(), 5u);
    EXPECT_EQ(places[0].Row, 0);
    EXPECT_EQ(places[0].Width, 40.0);
    EXPECT_EQ(places[1].Row, 1);  // would cover "Mark 2": the second row
    EXPECT_EQ(places[1].Width, 120.0);
    EXPECT_EQ(places[2].Row, 0);  // "Mark 2" ended at 140: room again on the first row
    // Both rows taken at 152: the first row frees first, and its label 2 px before gives way.
    EXPECT_EQ(places[3].Row, 0);
    EXPECT_EQ(places[3].Width, 60.0);
    EXPECT_EQ(places[2].Width, 0.0);
    EXPECT_EQ(places[4].Row, 0);
    EXPECT_EQ(places[4].Width, 160.0);  // elided to the widest label

    // Whatever the crowd, no two texts of one row overlap.
    std::vector<TNoteLabel> crowd;
    for (int i = 0; i < 40; ++i)
        crowd.push_back({10.0 + 7.0 * i, 30.0 + (i % 5) * 25.0});
    const auto laid = Lay(crowd);
    for (std::size_t i = 0; i < crowd.size(); ++i) {
        for (std::size_t j = i + 1; j < crowd.size(); ++j) {
            if (laid[i].Row != laid[j].Row || laid[i].Width == 0.0)
                continue;
            EXPECT_LE(crowd[i].X + laid[i].Width + 4.0, crowd[j].X) << i << " " << j;
            break;
        }
    }
}

}  // namespace
}  // namespace zv
