#include <gtest/gtest.h>

#include <vector>

#include "config/page_list_place.h"
#include "config/page_select.h"

namespace zv::test {
namespace {

constexpr int kTempInAsLambdaBit = 2;
constexpr int kGPInAsLambdaBit = 3;

// The page selection of a main window, with every call into the main window recorded.
struct PageSelectTest : ::testing::Test {
    TZVDataClass Data;
    TPageSelect Select{Data};
    std::vector<int> Notebook, Shown, Refreshed;
    int MainFocus = 0;
    std::vector<bool> Visibility;

    PageSelectTest() {
        Select.SwitchNotebookPage = [this](int page) { Notebook.push_back(page); };
        Select.ShowPage = [this](int page) { Shown.push_back(page); };
        Select.RefreshPage = [this](int page) { Refreshed.push_back(page); };
        Select.FocusMainKeyControl = [this] { ++MainFocus; };
        Select.VisibilityChanged = [this](bool visible) { Visibility.push_back(visible); };
        Data.Loaded = 1;
    }

    void SetInputs(int firmware, std::uint16_t flags, std::uint8_t e, std::uint8_t f) {
        Data.DeviceData.SetFlagsWord(flags);
        Data.InputESelect = e;
        Data.InputFSelect = f;
        Select.SetPageMask(firmware);
    }
    void Key(std::uint8_t key) { Select.KeyCtrlPage.KeyDown(key); }
    std::vector<int> VisiblePanels() const {
        std::vector<int> pages;
        for (int i = 0; i < kPageCount; ++i) {
            if (Select.Panel(i).Visible)
                pages.push_back(i);
        }
        return pages;
    }
};

constexpr std::uint16_t Bit(int n) {
    return static_cast<std::uint16_t>(1u << n);
}

TEST_F(PageSelectTest, MaskFollowsFirmwareAndInputUseOnBothSidesOfEachSwitch) {
    const std::uint16_t temp = Bit(kTempInAsLambdaBit);
    const std::uint16_t gp = Bit(kGPInAsLambdaBit);
    struct Case {
        int Firmware;
        std::uint16_t Flags;
        std::uint8_t E, F;
        std::uint16_t Mask;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 0x0001},    {1, 0, 0, 0, 0x0406},          {2, 0, 0, 0, 0x0006},
        {3, 0, 0, 0, 0x0006},    {4, 0, 0, 0, 0x0C46},          {8, 0, 0, 0, 0x0C46},
        {9, temp, 0, 0, 0x0FCA}, {10, 0, 1, 2, 0x0FCA},         {11, temp, 0, 0, 0x0EDA},
        {11, gp, 0, 0, 0x0F5A},  {11, temp | gp, 0, 0, 0x0EDA}, {11, 0, 1, 2, 0x0FCA},
        {22, gp, 0, 0, 0x0F5A},  {24, temp, 0, 0, 0x0EDA},      {25, 0, 0, 0, 0x0FCA},
        {27, gp, 0, 0, 0x0F5A},  {26, temp, 0, 0, 0x0EFA},      {26, gp, 0, 0, 0x0F7A},
        {26, 0, 0, 0, 0x0FCA},   {28, 0, 1, 2, 0x0E7A},         {35, 0, 2, 1, 0x0E7A},
        {37, 0, 1, 0, 0x0F5A},   {38, 0, 2, 0, 0x0F6A},         {40, 0, 0, 1, 0x0EDA},
        {28, 0, 0, 2, 0x0EEA},   {40, temp | gp, 0, 0, 0x0FCA}, {30, 0, 1, 1, 0x0F5A},
        {30, 0, 2, 2, 0x0F6A},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Firmware);
        SetInputs(c.Firmware, c.Flags, c.E, c.F);
        EXPECT_EQ(Select.PageMask(), c.Mask);
    }
    // Three firmwares keep whatever mask was in use.
    for (int keeping : {23, 36, 39}) {
        SCOPED_TRACE(keeping);
        SetInputs(1, 0, 0, 0);
        SetInputs(keeping, temp, 1, 2);
        EXPECT_EQ(Select.PageMask(), 0x0406);
        EXPECT_EQ(VisiblePanels(), (std::vector<int>{1, 2, 10}));
    }
}

TEST_F(PageSelectTest, PanelsStackWithoutGapsAndTheWindowFitsThem) {
    SetInputs(30, 0, 1, 2);
    EXPECT_EQ(VisiblePanels(), (std::vector<int>{1, 3, 4, 5, 6, 9, 10, 11}));
    EXPECT_EQ(Select.Panel(1).Top, 15);
    EXPECT_EQ(Select.Panel(3).Top, 32);
    EXPECT_EQ(Select.Panel(11).Top, 15 + 7 * 17);
    EXPECT_EQ(Select.WindowHeight(), 211);
    for (int page = 0; page < kPageCount; ++page) {
        EXPECT_EQ(Select.MenuItem(page).Visible, Select.Panel(page).Visible) << page;
    }
    SetInputs(0, 0, 0, 0);
    EXPECT_EQ(VisiblePanels(), std::vector<int>{0});
    EXPECT_EQ(Select.WindowHeight(), 15 + 17 + 60);
}

TEST_F(PageSelectTest, ANewMaskWithoutTheCurrentPageChoosesTheFirstAvailable) {
    SetInputs(28, 0, 2, 0);
    Select.ChoosePage(5);
    Shown.clear();
    SetInputs(9, 0, 0, 0);
    EXPECT_EQ(Select.CurrentPage(), 1);
    EXPECT_EQ(Notebook.back(), 1);
    EXPECT_EQ(Shown, std::vector<int>{1});
    EXPECT_TRUE(Select.Panel(1).Highlighted);
    for (int page = 0; page < kPageCount; ++page) {
        EXPECT_EQ(Select.MenuItem(page).Enabled, page != 1) << page;
    }
    // A page that stays available stays current.
    Select.ChoosePage(8);
    SetInputs(11, Bit(kGPInAsLambdaBit), 0, 0);
    EXPECT_EQ(Select.CurrentPage(), 8);
}

TEST_F(PageSelectTest, PagesAreShownOrRefreshedOnlyWhileADataSetIsPresent) {
    Data.Loaded = 0;
    SetInputs(9, 0, 0, 0);
    Select.PreviewPage(3);
    Select.ChoosePage(6);
    EXPECT_EQ(Notebook.back(), 6) << "the notebook follows all the same";
    EXPECT_TRUE(Shown.empty());
    EXPECT_TRUE(Refreshed.empty());
    Data.DeviceData.DeviceValid = 1;
    Select.PreviewPage(7);
    Select.ChoosePage(8);
    EXPECT_EQ(Refreshed, std::vector<int>{7});
    EXPECT_EQ(Shown, std::vector<int>{8});
}

TEST_F(PageSelectTest, ArrowKeysWrapAndSkipAndEscReturnsToThePageAtShowTime) {
    SetInputs(9, 0, 0, 0);  // pages 1, 3, 6, 7, 8, 9, 10, 11
    Select.Show();
    Notebook.clear();
    Shown.clear();
    Key(vk::Down);
    Key(vk::Down);
    Key(vk::Down);
    EXPECT_EQ(Notebook, (std::vector<int>{3, 6, 7}));
    EXPECT_EQ(Refreshed, (std::vector<int>{3, 6, 7}));
    EXPECT_TRUE(Shown.empty()) << "moving only previews";
    Key(vk::Esc);
    EXPECT_EQ(Select.CurrentPage(), 1);
    EXPECT_EQ(Notebook.back(), 1);
    EXPECT_EQ(Shown, std::vector<int>{1});
    EXPECT_FALSE(Select.Visible());
    EXPECT_EQ(MainFocus, 1);

    Key(vk::Up);
    EXPECT_EQ(Select.CurrentPage(), 11) << "from the first page up past page 0 to the last";
    Key(vk::Down);
    EXPECT_EQ(Select.CurrentPage(), 1);
    Key(vk::Left);
    Key('A');
    EXPECT_EQ(Select.CurrentPage(), 1);

    SetInputs(1, 0, 0, 0);  // pages 1, 2, 10
    Select.ChoosePage(10);
    Key(vk::Down);
    EXPECT_EQ(Select.CurrentPage(), 1);
    Key(vk::Enter);
    EXPECT_EQ(Shown.back(), 1);
}

TEST_F(PageSelectTest, IntroAloneStaysAndAnEmptyMaskDoesNotLoop) {
    SetInputs(0, 0, 0, 0);
    Key(vk::Up);
    EXPECT_EQ(Select.CurrentPage(), 0);
    Key(vk::Down);
    EXPECT_EQ(Select.CurrentPage(), 0);

    TPageSelect fresh(Data);
    fresh.SetPageMask(36);
    EXPECT_EQ(fresh.PageMask(), 0);
    for (int page = 0; page < kPageCount; ++page)
        EXPECT_FALSE(fresh.Panel(page).Visible);
    fresh.KeyCtrlPage.KeyDown(vk::Up);
    fresh.KeyCtrlPage.KeyDown(vk::Down);
    EXPECT_EQ(fresh.CurrentPage(), 0);
    EXPECT_EQ(fresh.WindowHeight(), 15 + 60);
}

TEST_F(PageSelectTest, ClickPreviewsDoubleClickChoosesAndHides) {
    SetInputs(9, 0, 0, 0);
    Select.Show();
    Select.PanelClick(6);
    EXPECT_EQ(Refreshed.back(), 6);
    EXPECT_TRUE(Select.Visible());
    const TPagePanel& chosen = Select.Panel(6);
    EXPECT_EQ(chosen.BackColour, 0xFFFF00u);
    EXPECT_EQ(chosen.FontColour, 0x0000FFu);
    EXPECT_EQ(Select.Panel(1).BackColour, 0x000080u);
    EXPECT_EQ(Select.Panel(1).FontColour, 0xFFFF00u);
    Select.PanelDblClick(8);
    EXPECT_EQ(Shown.back(), 8);
    EXPECT_EQ(Visibility, (std::vector<bool>{true, false}));
    EXPECT_EQ(MainFocus, 1);
    Select.Show();
    EXPECT_EQ(Select.PageAtShow(), 8);
}

TEST_F(PageSelectTest, LanguageRecaptionsWindowAndPanels) {
    Select.SetLanguage(Language::German);
    EXPECT_EQ(Select.Caption(), "Seitenauswahl");
    EXPECT_EQ(Select.Panel(1).Text, "  Kennfeld");
    EXPECT_EQ(Select.Panel(9).Text, "  Lampen Ausgänge");
    Select.SetLanguage(Language::English);
    EXPECT_EQ(Select.Caption(), "Page selection");
    EXPECT_EQ(Select.Panel(4).Text, "  Z/V Narrow Band Lambda");
}

// A page 1000 x 700 with its heading at the upper left, a chart below it on the left and a table
// on the right that leaves a free column at the right edge.
struct PageListPlaceTest : ::testing::Test {
    const TRect Area{0, 0, 1000, 700};
    const std::vector<TRect> Page{{10, 10, 300, 30}, {10, 60, 500, 600}, {520, 60, 330, 600}};
    const std::vector<TPageListShape> Shapes{{1, 140, 160}, {2, 280, 80}, {4, 560, 40}};
};

TEST_F(PageListPlaceTest, TakesTheBandBesideTheHeadingWithTheFewestColumnsThatFit) {
    // The band beside the heading is 50 high: two rows of four columns fit with a gap of 5 to
    // the heading's right and the chart's top; the free right column (140 wide) would need the
    // list to reach down to y 225.
    const TPageListPlace place = PlacePageList(Area, Page, Shapes, 5);
    EXPECT_FALSE(place.CoversSomething);
    EXPECT_EQ(place.Columns, 4);
    EXPECT_EQ(place.Rect.Left, 1000 - 5 - 560);
    EXPECT_EQ(place.Rect.Top, 5);
    EXPECT_LE(place.Rect.Bottom() + 5, 60);

    // A button in the band leaves it too narrow for four columns and too low for two: the list
    // goes to the free column at the right edge, in one column, with its gap to the table.
    std::vector<TRect> withButton = Page;
    withButton.push_back({700, 10, 100, 30});
    const TPageListPlace right = PlacePageList(Area, withButton, Shapes, 5);
    EXPECT_FALSE(right.CoversSomething);
    EXPECT_EQ(right.Columns, 1);
    EXPECT_EQ(right.Rect.Left, 850 + 5);
    EXPECT_EQ(right.Rect.Top, 5);
}

TEST_F(PageListPlaceTest, CoversTheLeastWhereNothingIsFree) {
    std::vector<TRect> full = Page;
    full.push_back({860, 0, 140, 700});  // the right column taken too
    full.push_back({320, 0, 530, 50});   // and the band
    const TPageListPlace place = PlacePageList(Area, full, Shapes, 5);
    EXPECT_TRUE(place.CoversSomething);
    EXPECT_TRUE(Area.Contains(place.Rect));
    EXPECT_EQ(place.Columns, 4) << "the flattest shape covers the least";
}

}  // namespace
}  // namespace zv::test
