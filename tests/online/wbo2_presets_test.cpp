// The wideband page's preset target maps: the bytes each preset leaves in the working image,
// the no-target cells, and a preset chosen while online taking the link offline first.
#include "lambda/wbo2_presets.h"
#include "lambda/lambda_form.h"
#include "page_fixture.h"

namespace zv::test {
namespace {

// Image byte of target cell [t][r], both site indices ascending: the area holds the map
// throttle-major with both indices reversed.
std::size_t Cell(int t, int r) {
    return img::AfrMap + 16 * static_cast<std::size_t>(15 - t) + static_cast<std::size_t>(15 - r);
}

class Wbo2Presets : public PageTest {
  protected:
    std::uint8_t Image(int t, int r) { return Data().DeviceData.Image[Cell(t, r)]; }
    TLambdaForm Page{Host};
};

TEST(AfrTarget, TenthsLandExactlyAndNoTargetKeepsItsMark) {
    EXPECT_EQ(AfrTargetByte(14.7), 42);
    EXPECT_EQ(AfrTargetByte(12.2), 17);
    EXPECT_EQ(AfrTargetByte(13.0), 25);
    EXPECT_EQ(AfrTargetByte(13.9), 34);
    EXPECT_EQ(AfrTargetByte(255.0), 141) << "bit 7 set: no closed-loop control";
}

TEST_F(Wbo2Presets, PresetsReplaceTheWholeTargetMap) {
    OpenOffline(30, Page);
    LoadWBO2Preset(Host, 1);  // "Standard 1"
    EXPECT_EQ(Data().AfrMap[0][0], 42);
    EXPECT_EQ(Image(0, 0), 42);
    EXPECT_EQ(Image(0, 3), 255);
    EXPECT_EQ(Image(15, 15), 19) << "12.4";
    EXPECT_EQ(Data().FileData.Image[Cell(0, 0)], 42);
    EXPECT_EQ(Data().DeviceData.DeviceValid, 0);

    LoadWBO2Preset(Host, 3);  // "Race 1" at full load only
    EXPECT_EQ(Image(11, 0), 255);
    EXPECT_EQ(Image(12, 0), 25) << "13.0";
    EXPECT_EQ(Image(15, 15), 17) << "12.2";

    LoadWBO2Preset(Host, 4);  // "Mild"
    EXPECT_EQ(Image(0, 3), 42);
    EXPECT_EQ(Image(9, 14), 20) << "12.5";

    LoadWBO2Preset(Host, 0);
    EXPECT_EQ(Image(9, 14), 20) << "no preset leaves the map";

    LoadWBO2Preset(Host, 5);  // "All off"
    for (int t = 0; t < 16; ++t)
        for (int r = 0; r < 16; ++r)
            ASSERT_EQ(Image(t, r), 255) << t << " " << r;
    EXPECT_EQ(WBO2PresetNames(Language::English)[3], "Race 1 WOT only");
    EXPECT_EQ(WBO2PresetNames(Language::German)[5], "Alle aus");
}

TEST_F(Wbo2Presets, PresetWhileOnlineGoesOfflineWithoutWriting) {
    GoOnline(30, Page);
    LoadWBO2Preset(Host, 2);  // "Race 1"
    EXPECT_FALSE(Online->Controls().F5.Down) << "the link was switched off";
    EXPECT_EQ(Image(3, 2), 25) << "13.0";
    Clock.Advance(3000);
    EXPECT_NE(Online->LinkState(), link::RunOnline);
    EXPECT_TRUE(Saw("Offline"));
    for (const auto& write : Unit->WriteLog())
        EXPECT_NE(write.Area, 1) << "the map waits for a transfer";
}

}  // namespace
}  // namespace zv::test
