// The edit step every page uses through its host, and the main window reaching its pages only
// through the page interface.
#include <array>

#include "app/main_form_model.h"
#include "app/main_page_host.h"
#include "config/key_control.h"
#include "online_fixture.h"

namespace zv::test {
namespace {

class PageHost : public OnlineTest {
  protected:
    TMainFormModel Form{Main, Settings};
    TKeyControl Keys{"KeyCtrl"};
    TMainPageHost Host{Main, Form, Keys};
};

constexpr std::size_t kCell = img::FuelMap + 17;  // Map[14][14]

TEST_F(PageHost, OfflineEditIsStoredAndMarkedOnlyWhenItChangesSomething) {
    AttachUnit(30);
    Main.CreateNewDataSet("car.zvt");
    StartIdle();
    Main.SetModified(false);
    const std::uint8_t old = Data().DeviceData.Image[kCell];
    const std::array<std::uint8_t, 1> same{old};
    EXPECT_FALSE(Host.WriteImage({kCell, 2, 0x111}, same));
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 0);
    EXPECT_FALSE(Main.Modified());

    const std::array<std::uint8_t, 1> changed{static_cast<std::uint8_t>(old + 1)};
    EXPECT_TRUE(Host.WriteImage({kCell, 2, 0x111}, changed));
    EXPECT_EQ(Data().DeviceData.Image[kCell], old + 1);
    EXPECT_EQ(Data().Map[14][14], old + 1) << "edit fields rebuilt";
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 1);
    EXPECT_TRUE(Main.Modified());
    Clock.Advance(1000);
    EXPECT_TRUE(Unit->WriteLog().empty());

    const std::array<std::uint8_t, 3> oddCount{1, 2, 3};
    EXPECT_FALSE(Host.WriteImage({kCell, 2, 0x111}, oddCount)) << "1, 2 or 16 bytes only";
    EXPECT_EQ(Data().DeviceData.Image[kCell], old + 1);
}

TEST_F(PageHost, OnlineEditReachesTheUnitAndPausesWhenAsked) {
    AttachUnit(30);
    Online->StartUp();
    ASSERT_TRUE(RunUntilState(link::RunOnline, 20000));
    Clock.Advance(500);
    ASSERT_TRUE(Host.RunOnline());
    Unit->ClearCounters();
    const std::uint8_t value = static_cast<std::uint8_t>(Data().DeviceData.Image[kCell] ^ 0x55);
    const std::array<std::uint8_t, 1> bytes{value};
    EXPECT_TRUE(Host.WriteImage({kCell, 2, 0x111, true, true}, bytes));
    EXPECT_TRUE(Host.PauseTimerActive());
    Clock.Advance(250);
    EXPECT_FALSE(Host.PauseTimerActive()) << "the pause lasts 200 ms";
    Clock.Advance(750);
    ASSERT_EQ(Unit->WriteLog().size(), 1u);
    EXPECT_EQ(Unit->WriteLog()[0].Address, 0x111);
    EXPECT_EQ(Unit->Peek(2, 0x111), value);
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 0);
}

// Records which operations the main window called.
class FakePage : public TPage {
  public:
    void LoadFromImage() override { ++Loads; }
    void ShowLiveFrame(const TLiveRecord&) override { ++Frames; }
    void ShowPage() override { ++Shows; }
    void RefreshPage() override { ++Refreshes; }
    void SetLanguage(Language lang) override { Lang = lang; }
    void HandleKey(std::uint8_t key) override { Keys.push_back(key); }
    int Loads = 0, Frames = 0, Shows = 0, Refreshes = 0;
    Language Lang = Language::English;
    std::vector<std::uint8_t> Keys;
};

TEST_F(PageHost, MainWindowCallsPagesThroughTheirInterface) {
    FakePage one, two;
    Form.SetPage(1, &one);
    Form.SetPage(2, &two);
    Form.LoadPagesFromImage();
    EXPECT_EQ(one.Loads + two.Loads, 2) << "every page loads";
    Form.ApplyLanguage(Language::German);
    EXPECT_EQ(one.Lang, Language::German);
    EXPECT_EQ(two.Lang, Language::German);

    Form.NotebookPageChanged(2);
    Form.ShowLiveFrame(CurrentLiveRecord(Data()));
    Form.PageKey(vk::Tab);
    EXPECT_EQ(two.Frames, 1);
    EXPECT_EQ(one.Frames, 0) << "only the page on view gets live records";
    EXPECT_EQ(two.Keys, std::vector<std::uint8_t>{vk::Tab});
    EXPECT_TRUE(one.Keys.empty());
    Form.ShowPage(1);
    Form.RefreshPage(2);
    EXPECT_EQ(one.Shows, 1);
    EXPECT_EQ(two.Refreshes, 1);

    int selections = 0;
    Form.ShowPageSelection = [&] { ++selections; };
    Form.NotebookPageChanged(0);
    Form.PageKey(vk::Esc);
    EXPECT_EQ(selections, 1) << "a page without a model still shows the selection on Esc";
}

}  // namespace
}  // namespace zv::test
