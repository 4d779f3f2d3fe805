// The comparison of two data sets: exactly the changed cells and items with both values, named
// as the pages call them; the difference classes at their bounds; the upload compared as the
// unit holds it; the acceptance question's offer and the tint's reference from a file.
#include <gtest/gtest.h>

#include "compare/comparison_view.h"
#include "compare/data_set_comparison.h"
#include "compare/difference_tint.h"
#include "data_files.h"
#include "temp_dir.h"

namespace zv {
namespace {

using test::ModelFixture;
using test::NewFileLines;
using test::ReplaceLine;
using test::TempDir;
using test::ToFileText;

TEST(DataSetComparison, ListsExactlyTheChangedCellsAndItemsWithBothValues) {
    TZVDataClass a;
    TZVDataClass b;
    a.Map[3][0] = 73;
    b.Map[3][0] = 1;
    b.Map[15][15] = 9;
    a.AfrMap[0][7] = 47;
    b.AfrMap[0][7] = 255;
    b.Lin[lin::RpmSites][0] = 230;      // the highest engine-speed site: number 16
    b.Lin[lin::TempControl][15] = 120;  // the lowest temperature point: number 1
    a.Detail[13] = 34;                  // ContactIdle
    b.Detail[13] = 40;
    b.Comment = {"other car"};

    const TDataSetComparison c = CompareDataSets(a, b);
    EXPECT_EQ(c.Map, (std::vector<TCellDifference>{{3, 0, 73, 1}, {15, 15, 0, 9}}));
    EXPECT_EQ(c.AfrMap, (std::vector<TCellDifference>{{0, 7, 47, 255}}));
    EXPECT_EQ(c.Sites, (std::vector<TItemDifference>{{TItemKind::Site, lin::RpmSites, 0, 0, 230}}));
    EXPECT_EQ(c.Curves,
              (std::vector<TItemDifference>{{TItemKind::Curve, lin::TempControl, 15, 0, 120}}));
    EXPECT_EQ(c.Parameters, (std::vector<TItemDifference>{{TItemKind::Parameter, 13, 0, 34, 40}}));
    ASSERT_EQ(c.Comment.size(), 1u);
    EXPECT_EQ(c.Comment[0].Line, 1);
    EXPECT_FALSE(c.Comment[0].This);
    EXPECT_EQ(c.Comment[0].That, "other car");
    EXPECT_FALSE(c.Same());
    EXPECT_TRUE(CompareDataSets(b, b).Same());

    EXPECT_EQ(ItemName(c.Parameters[0], Language::German), "Leerlaufkontakt");
    EXPECT_EQ(ItemName(c.Parameters[0], Language::English), "Idle Contact");
    EXPECT_EQ(ItemName(c.Sites[0], Language::German), "Drehzahl 16");
    EXPECT_EQ(ItemName(c.Curves[0], Language::English), "Temperature Input line data 1");

    const TComparisonView v = BuildComparisonView(a, b, "A", "B", Language::English);
    EXPECT_EQ(v.Summary,
              "Differences in fuel map (cells) 2, AFR map (cells) 1, sites 1, curves (points) 1, "
              "parameters 1, comment (lines) 1.");
    EXPECT_EQ(BuildComparisonView(b, b, "A", "B", Language::German).Summary, "Keine Unterschiede.");
    EXPECT_EQ(v.Map[3][0].Text, "73\n1");
    EXPECT_EQ(v.Map[3][0].Class, -3);
    EXPECT_EQ(v.Map[3][1].Text, "0");
    EXPECT_EQ(v.Map[3][1].Class, 0);
    EXPECT_EQ(v.AfrMap[0][7].Text, "15.2\nNC");
    ASSERT_EQ(v.Lists.size(), 4u);
    EXPECT_EQ(v.Lists[2].Title, "Parameters");
    ASSERT_EQ(v.Lists[2].Rows.size(), 1u);
    EXPECT_EQ(v.Lists[2].Rows[0].Name, "Idle Contact");
    EXPECT_EQ(v.Lists[2].Rows[0].This, "34");
    EXPECT_EQ(v.Lists[2].Rows[0].That, "40");
}

// The idle control curve is a curve like the others: one point of it is a difference.
TEST(DataSetComparison, OnePointOfTheIdleControlCurveIsADifference) {
    TZVDataClass a;
    TZVDataClass b;
    a.Lin[lin::IdleControl][3] = 80;  // stored highest point first: point 13
    b.Lin[lin::IdleControl][3] = 95;

    const TDataSetComparison c = CompareDataSets(a, b);
    EXPECT_FALSE(c.Same());
    ASSERT_EQ(c.Curves,
              (std::vector<TItemDifference>{{TItemKind::Curve, lin::IdleControl, 3, 80, 95}}));
    EXPECT_EQ(ItemName(c.Curves[0], Language::English), "Idle control line data 13");
    EXPECT_TRUE(DeviceDataDiffer(c)) << "a download of the maps alone would leave it";
    EXPECT_EQ(BuildComparisonView(a, b, "A", "B", Language::English).Summary,
              "Differences in curves (points) 1.");
}

TEST(DataSetComparison, DifferenceClassesAtTheirBounds) {
    const std::pair<int, int> cases[] = {{0, 0},    {1, 1},    {3, 1},    {4, 2},   {15, 2},
                                         {16, 3},   {255, 3},  {-1, -1},  {-3, -1}, {-4, -2},
                                         {-15, -2}, {-16, -3}, {-255, -3}};
    for (const auto& [difference, cls] : cases)
        EXPECT_EQ(DifferenceClass(difference), cls) << difference;
    EXPECT_NE(DifferenceTint(1), DifferenceTint(2));
    EXPECT_NE(DifferenceTint(1), DifferenceTint(-1));
}

// The unit's data are compared as the working data would be after accepting them: one changed
// map byte in the upload is one changed cell, and nothing the unit does not hold differs.
TEST(DataSetComparison, TheUploadComparesAsTheUnitHoldsIt) {
    TZVDataClass working;
    working.Comment = {"car"};
    working.Detail[1] = 8000;  // MaxRot lives only on the PC
    working.DeviceData.Image[980] = 50;
    working.ImageToFields();
    working.ReceiveData = working.DeviceData;
    working.ReceiveData.Image[980] = 58;  // 768 + 16 * 13 + 4: throttle site 2, speed site 11

    const TDataSetComparison c = CompareDataSets(working, UploadedDataSet(working));
    EXPECT_EQ(c.Map, (std::vector<TCellDifference>{{2, 11, 50, 58}}));
    EXPECT_TRUE(c.AfrMap.empty() && c.Sites.empty() && c.Curves.empty() && c.Parameters.empty() &&
                c.Comment.empty());
}

TEST(DataSetComparison, TheAcceptanceQuestionOffersTheComparisonAndKeepsItsAnswer) {
    ModelFixture f;
    std::vector<TComparisonView> shown;
    EXPECT_EQ(f.model.AskAcceptUpload("question"), MsgAnswer::Yes)
        << "nothing to show it on: a plain question";
    EXPECT_TRUE(f.dialogs.MoreButtons.empty());

    f.model.ShowComparison = [&](const TComparisonView& v) { shown.push_back(v); };
    f.model.Data().ReceiveData.Image[980] = 58;
    f.dialogs.PressMore = true;
    f.dialogs.Answers = {MsgAnswer::No};
    EXPECT_EQ(f.model.AskAcceptUpload("question"), MsgAnswer::No);
    EXPECT_EQ(f.dialogs.MoreButtons, std::vector<std::string>{"Show differences…"});
    ASSERT_EQ(f.dialogs.Boxes.size(), 2u);
    EXPECT_EQ(f.dialogs.Boxes[1].Caption, "Warning");
    EXPECT_EQ(f.dialogs.Boxes[1].Buttons, MsgButtons::YesNo);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].ThisHead, "Working data");
    EXPECT_EQ(shown[0].ThatHead, "Unit data");
    EXPECT_EQ(shown[0].Map[2][11].Class, 3);
}

TEST(DataSetComparison, CompareWithFileAndTheTintsReferenceLeaveTheDataSetAsItIs) {
    TempDir dir;
    ModelFixture f;
    dir.Write("car.zvt", ToFileText(NewFileLines()));
    auto lines = NewFileLines();
    ReplaceLine(lines, "T3=", "T3=1,94,107,119,126,133,136,142,146,151,152,153,156,159,159,159");
    dir.Write("other.zvt", ToFileText(lines));
    ASSERT_TRUE(f.model.OpenDataFile(dir.File("car.zvt")));

    std::vector<TComparisonView> shown;
    f.model.ShowComparison = [&](const TComparisonView& v) { shown.push_back(v); };
    f.dialogs.OpenChoices = {dir.File("other.zvt")};
    f.model.CompareWithFileClick();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].ThatHead, "other.zvt");
    EXPECT_EQ(shown[0].Map[3][0].Text, "73\n1");
    EXPECT_EQ(f.model.Data().Map[3][0], 73);
    EXPECT_FALSE(f.model.Modified());

    f.model.SetOverlayShown(true);  // no reference yet: the file as last saved
    ASSERT_TRUE(f.model.Overlay().Shown());
    const auto edit = [&f](std::uint8_t value) {  // as the edit step leaves the working data
        f.model.Data().Map[3][0] = value;
        f.model.Data().FieldsToImage();
        f.model.Data().FileImageToDevice();
    };
    edit(77);  // the file holds 73
    EXPECT_EQ(f.model.Overlay().MapClasses(f.model.Data().Map)[3][0], 2);
    EXPECT_EQ(f.model.Overlay().MapClasses(f.model.Data().Map)[3][1], 0);
    ASSERT_TRUE(f.model.SaveDataFile());
    EXPECT_EQ(f.model.Overlay().MapClasses(f.model.Data().Map)[3][0], 0) << "saved: nothing moved";
    edit(73);
    EXPECT_EQ(f.model.Overlay().MapClasses(f.model.Data().Map)[3][0], -2) << "below the 77 saved";

    f.dialogs.OpenChoices = {dir.File("other.zvt")};
    ASSERT_TRUE(f.model.OverlayFromFile());
    edit(77);
    ASSERT_TRUE(f.model.SaveDataFile());
    EXPECT_EQ(f.model.Overlay().MapClasses(f.model.Data().Map)[3][0], 3) << "77 against 1, kept";
    EXPECT_EQ(f.model.Overlay().ReferenceName(), "other.zvt");
    EXPECT_EQ(f.model.Data().FileName, dir.File("car.zvt")) << "the data set stays as it was";
    f.model.SetOverlayShown(false);
    EXPECT_EQ(f.model.Overlay().MapClasses(f.model.Data().Map)[3][0], 0);
}

// The comment page as the operator has typed on it.
class TypedCommentPage : public CommentPage {
  public:
    void ShowComment(const std::vector<std::string>& lines) override { Lines = lines; }
    std::vector<std::string> CommentLines() const override { return Lines; }
    std::vector<std::string> Lines;
};

// Lines typed on the comment page and not yet saved belong to the working data that the
// comparison shows; comparing changes nothing, on the page or in the data set.
TEST(DataSetComparison, CompareWithFileTakesTheCommentAsTyped) {
    TempDir dir;
    ModelFixture f;
    TypedCommentPage page;
    f.model.SetCommentPage(&page);
    dir.Write("car.zvt", ToFileText(NewFileLines()));
    ASSERT_TRUE(f.model.OpenDataFile(dir.File("car.zvt")));
    const std::vector<std::string> saved = page.Lines;
    ASSERT_EQ(saved, f.model.Data().Comment);
    page.Lines.push_back("jets 160, new plugs");

    std::vector<TComparisonView> shown;
    f.model.ShowComparison = [&](const TComparisonView& v) { shown.push_back(v); };
    f.dialogs.OpenChoices = {dir.File("car.zvt")};
    f.model.CompareWithFileClick();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].Summary, "Differences in comment (lines) 1.");
    ASSERT_EQ(shown[0].Lists.size(), 1u);
    ASSERT_EQ(shown[0].Lists[0].Rows.size(), 1u);
    EXPECT_EQ(shown[0].Lists[0].Rows[0].Name, "Line " + std::to_string(saved.size() + 1));
    EXPECT_EQ(shown[0].Lists[0].Rows[0].This, "jets 160, new plugs");
    EXPECT_EQ(shown[0].Lists[0].Rows[0].That, "(none)");
    EXPECT_EQ(f.model.Data().Comment, saved);
    EXPECT_EQ(page.Lines.back(), "jets 160, new plugs") << "the page keeps what was typed";
    EXPECT_FALSE(f.model.Modified());
}

}  // namespace
}  // namespace zv
