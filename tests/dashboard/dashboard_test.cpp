#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <cstdint>
#include <span>
#include <string>

#include "data/parameter_table.h"
#include "data/zv_data_class.h"
#include "sensors/wideband_sensor.h"
#include "dashboard/dashboard.h"

namespace zv {
namespace {

using Record = std::array<std::uint8_t, 28>;

class Dashboard : public ::testing::Test {
  protected:
    // Feeds the first `length` bytes of r as a record of that layout.
    const TDashboardState& Show(int length, const Record& r) {
        const std::span<const std::uint8_t> all(r);
        switch (length) {
            case 11:
                dash.ShowLive11(all.first<11>());
                break;
            case 18:
                dash.ShowLive18(all.first<18>(), data, settings);
                break;
            case 24:
                dash.ShowLive24(all.first<24>(), data, settings);
                break;
            default:
                dash.ShowLive28(all.first<28>(), data, settings);
                break;
        }
        return dash.State();
    }
    const TDashboardState& ShowTimes(int length, const Record& r, int times) {
        for (int i = 0; i < times; ++i) {
            Show(length, r);
        }
        return dash.State();
    }
    void SetFlags(std::initializer_list<int> bits) {
        std::uint16_t flags = 0;
        for (int bit : bits) {
            TZVDataClass::SetFlag(flags, bit);
        }
        data.DeviceData.SetFlagsWord(flags);
    }
    // Custom sensor unit 0.0 .. 25.5 AFR: raw byte / 10 is the AFR.
    void WidebandOnInputF() {
        data.Detail[param::WBO2MessDevice] = 0;
        data.Detail[param::WBO2AfrAt0V] = 0;
        data.Detail[param::WBO2AfrAt5V] = 255;
        ApplySensorScale(data);
        data.InputFSelect = 2;
        settings.WBO2LambdaPanelVisible = true;
    }
    static Record Wideband(std::uint8_t inputF, std::uint8_t flags, std::uint8_t value) {
        Record r{};
        r[5] = inputF;
        r[18] = flags;
        r[19] = value;
        return r;
    }
    static Record Narrowband(std::uint8_t lambdaVal, std::uint8_t status) {
        Record r{};
        r[14] = lambdaVal;
        r[15] = status;
        return r;
    }

    TZVDataClass data;
    TDashboardSettings settings;
    TDashboard dash;
};

TEST_F(Dashboard, EngineReadoutsOfTheOldestLayout) {
    Record r{};
    r[0] = 255;
    r[1] = 255;
    r[8] = 128;
    r[9] = 77;
    r[7] = 0x40;
    const TDashboardState& s = Show(11, r);
    EXPECT_EQ(s.RotDispPanel, "10000");
    EXPECT_EQ(s.RotDispGauge, 255);
    EXPECT_EQ(s.PotiDispPanel, "5.00");
    EXPECT_EQ(s.OutputDispPanel, "50");
    EXPECT_EQ(s.OutputDispGauge, 128);
    EXPECT_EQ(s.IdleGauge, 77);
    EXPECT_EQ(s.IdleGaugeColour, TDashColour::Green);
    EXPECT_TRUE(s.IdleLed);
    EXPECT_FALSE(s.FullLed);

    r = {};
    r[0] = 51;
    r[8] = 255;
    r[7] = 0x80;
    Show(11, r);
    EXPECT_EQ(s.RotDispPanel, "2000");
    EXPECT_EQ(s.PotiDispPanel, "0.00");
    EXPECT_EQ(s.OutputDispPanel, "100");
    EXPECT_EQ(s.IdleGaugeColour, TDashColour::Grey);
    EXPECT_FALSE(s.IdleLed);
    EXPECT_TRUE(s.FullLed);
}

TEST_F(Dashboard, EngineReadoutsOfTheLaterLayouts) {
    for (int length : {18, 24, 28}) {
        SCOPED_TRACE(length);
        Record r{};
        r[0] = 0x80;
        r[1] = 51;
        r[2] = 102;
        r[3] = 33;
        r[13] = 128;
        const TDashboardState& s = Show(length, r);
        EXPECT_EQ(s.RotDispPanel, "2000");
        EXPECT_EQ(s.PotiDispPanel, "2.00");
        EXPECT_EQ(s.OutputDispPanel, "50");
        EXPECT_EQ(s.IdleGauge, 33);
        EXPECT_EQ(s.IdleGaugeColour, TDashColour::Window);
        EXPECT_FALSE(s.IdleLed);
        EXPECT_TRUE(s.FullLed);
        r[0] = 0x40;
        Show(length, r);
        EXPECT_EQ(s.IdleGaugeColour, TDashColour::Green);
        EXPECT_TRUE(s.IdleLed);
        EXPECT_FALSE(s.FullLed);
    }
}

TEST_F(Dashboard, ReadoutsShowAPointWhateverTheLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr &&
        std::setlocale(LC_NUMERIC, "de_DE") == nullptr) {
        GTEST_SKIP() << "no German locale installed";
    }
    Record r{};
    r[2] = 255;
    const std::string shown = Show(18, r).PotiDispPanel;
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(shown, "5.00");
}

TEST_F(Dashboard, NarrowbandCorrectionIsARunningMean) {
    EXPECT_EQ(Show(18, Narrowband(128, 0)).NBCorrectionValPanel, "0");
    EXPECT_EQ(ShowTimes(18, Narrowband(148, 0), 58).NBCorrectionValPanel, "18");
    EXPECT_EQ(Show(18, Narrowband(148, 0)).NBCorrectionValPanel, "19");
    // It approaches 20 but never shows it.
    EXPECT_EQ(ShowTimes(18, Narrowband(148, 0), 300).NBCorrectionValPanel, "19");
    // While the startup runs the byte is a counter and pulls the mean towards 0.
    EXPECT_EQ(ShowTimes(18, Narrowband(255, 0x04), 14).NBCorrectionValPanel, "9");
}

TEST_F(Dashboard, MeansCutTowardZeroAndAreKeptPerLayout) {
    EXPECT_EQ(ShowTimes(24, Narrowband(108, 0), 60).NBCorrectionValPanel, "-19");
    EXPECT_EQ(Show(28, Narrowband(128, 0)).NBCorrectionValPanel, "0");
    EXPECT_EQ(Show(18, Narrowband(148, 0)).NBCorrectionValPanel, "1");
    EXPECT_EQ(Show(24, Narrowband(108, 0)).NBCorrectionValPanel, "-19");

    WidebandOnInputF();
    settings.WBO2DispAfrMaster = true;
    settings.WBODebounceLevel = 0;
    Show(24, Wideband(147, 0, 0));
    settings.WBODebounceLevel = 1;
    EXPECT_EQ(Show(28, Wideband(100, 0, 0)).AFRTopPanel, "10.0") << "not (14.7 + 10.0) / 2";
    EXPECT_EQ(Show(24, Wideband(147, 0, 0)).AFRTopPanel, "14.7");
}

TEST_F(Dashboard, NarrowbandLedNeedsControlOnAndNoStatusBit) {
    for (int length : {18, 24, 28}) {
        SCOPED_TRACE(length);
        SetFlags({});
        EXPECT_FALSE(Show(length, Narrowband(128, 0)).NBActiveLed);
        SetFlags({1});
        EXPECT_TRUE(Show(length, Narrowband(128, 0)).NBActiveLed);
        for (int bit : {0, 1, 2, 3}) {
            EXPECT_FALSE(Show(length, Narrowband(128, std::uint8_t(1u << bit))).NBActiveLed) << bit;
        }
        EXPECT_TRUE(Show(length, Narrowband(128, 0xF0)).NBActiveLed);
    }
}

// The 18-byte units know no wideband input, so the lambda input bits name the probe; the later
// ones go by the input selections.
TEST_F(Dashboard, NarrowbandGaugeReadsTheProbesInput) {
    Record r{};
    r[5] = 20;
    r[7] = 40;
    settings.NBLambdaPanelVisible = true;
    SetFlags({2, 3});
    EXPECT_EQ(Show(18, r).NBLambdaGauge, 20);
    EXPECT_EQ(Show(24, r).NBLambdaGauge, 0);
    SetFlags({3});
    data.InputESelect = 1;
    EXPECT_EQ(Show(18, r).NBLambdaGauge, 40);
    EXPECT_EQ(Show(24, r).NBLambdaGauge, 40);
    SetFlags({});
    data.InputFSelect = 1;
    EXPECT_EQ(Show(18, r).NBLambdaGauge, 0);
    EXPECT_EQ(Show(28, r).NBLambdaGauge, 20);
    data.InputFSelect = 2;
    data.InputESelect = 2;
    EXPECT_EQ(Show(28, r).NBLambdaGauge, 0);
}

TEST_F(Dashboard, NarrowbandGaugeIsLimitedAndColouredByBand) {
    settings.NBLambdaPanelVisible = true;
    data.InputFSelect = 1;
    struct Case {
        std::uint8_t Raw;
        int Gauge;
        TDashColour Colour;
    };
    const Case cases[] = {{9, 9, TDashColour::Red},
                          {10, 10, TDashColour::Green},
                          {32, 32, TDashColour::Green},
                          {33, 33, TDashColour::Yellow},
                          {200, 51, TDashColour::Yellow}};
    for (const Case& c : cases) {
        Record r{};
        r[5] = c.Raw;
        const TDashboardState& s = Show(24, r);
        EXPECT_EQ(s.NBLambdaGauge, c.Gauge) << int(c.Raw);
        EXPECT_EQ(s.NBLambdaGaugeColour, c.Colour) << int(c.Raw);
    }
    // A hidden panel keeps its last reading.
    settings.NBLambdaPanelVisible = false;
    Record r{};
    r[5] = 20;
    EXPECT_EQ(Show(24, r).NBLambdaGauge, 51);
}

TEST_F(Dashboard, WidebandReadoutIsASmoothedMean) {
    WidebandOnInputF();
    settings.WBO2DispAfrMaster = true;
    settings.WBODebounceLevel = 0;
    EXPECT_EQ(Show(24, Wideband(147, 0, 0)).AFRTopPanel, "14.7");
    settings.WBODebounceLevel = 5;
    EXPECT_EQ(ShowTimes(24, Wideband(120, 0, 0), 3).AFRTopPanel, "13.6");
    EXPECT_EQ(ShowTimes(24, Wideband(120, 0, 0), 7).AFRTopPanel, "12.4");
    settings.WBO2DispAfrMaster = false;
    EXPECT_EQ(ShowTimes(24, Wideband(147, 0, 0), 40).AFRTopPanel, "1.00");
}

// The first reading of a layout is its mean's start, not a step up from 0.
TEST_F(Dashboard, FirstWidebandReadingStartsTheMeanOfItsLayout) {
    WidebandOnInputF();
    settings.WBO2DispAfrMaster = true;
    settings.WBODebounceLevel = 5;
    EXPECT_EQ(Show(24, Wideband(0, 0, 0)).AFRTopPanel, "---");
    EXPECT_EQ(Show(24, Wideband(147, 0, 0)).AFRTopPanel, "14.7");
    EXPECT_EQ(Show(28, Wideband(120, 0, 0)).AFRTopPanel, "12.0");
    EXPECT_EQ(Show(24, Wideband(87, 0, 0)).AFRTopPanel, "13.7");  // (5 x 14.7 + 8.7) / 6
}

TEST_F(Dashboard, WidebandInputFollowsTheSelections) {
    WidebandOnInputF();
    settings.WBO2DispAfrMaster = true;
    settings.WBODebounceLevel = 0;
    Record r{};
    r[5] = 100;
    r[7] = 200;
    EXPECT_EQ(Show(28, r).AFRTopPanel, "10.0");
    data.InputFSelect = 1;
    data.InputESelect = 2;
    EXPECT_EQ(Show(28, r).AFRTopPanel, "20.0");
    data.InputESelect = 0;  // no wideband input: raw 0 is AFR 0 on this scale
    EXPECT_EQ(Show(28, r).AFRTopPanel, "---");
}

TEST_F(Dashboard, NoReadingShowsDashesAndLeavesTheMean) {
    WidebandOnInputF();
    settings.WBO2DispAfrMaster = true;
    settings.WBODebounceLevel = 0;
    Show(24, Wideband(147, 0, 0));
    settings.WBODebounceLevel = 5;
    EXPECT_EQ(Show(24, Wideband(0, 0, 0)).AFRTopPanel, "---");
    EXPECT_EQ(Show(24, Wideband(147, 0, 0)).AFRTopPanel, "14.7");
    // Without a usable scale nothing is a reading either.
    data.DeviceData.DispAfrAt0V = 100;
    data.DeviceData.DispAfrAt5V = 100;
    EXPECT_EQ(Show(24, Wideband(147, 0, 0)).AFRTopPanel, "---");
}

TEST_F(Dashboard, SmoothingLevelOutsideItsRangeIsLimited) {
    WidebandOnInputF();
    settings.WBO2DispAfrMaster = true;
    settings.WBODebounceLevel = -1;
    EXPECT_EQ(Show(24, Wideband(147, 0, 0)).AFRTopPanel, "14.7");
    settings.WBODebounceLevel = 9;
    EXPECT_EQ(Show(24, Wideband(87, 0, 0)).AFRTopPanel, "13.7");  // (5 x 14.7 + 8.7) / 6
}

TEST_F(Dashboard, WidebandCorrectionAndStartupCounter) {
    WidebandOnInputF();
    EXPECT_EQ(Show(24, Wideband(147, 0x40, 0xFF)).WBO2CorrectionValPanel, "0");
    EXPECT_EQ(Show(24, Wideband(147, 0x40, 0x80)).WBO2CorrectionValPanel, "-127");
    EXPECT_EQ(Show(28, Wideband(147, 0x40, 0xFE)).WBO2CorrectionValPanel, "-1");
    EXPECT_EQ(Show(28, Wideband(147, 0x40, 127)).WBO2CorrectionValPanel, "127");
    EXPECT_EQ(Show(28, Wideband(147, 0x00, 40)).WBO2CorrectionValPanel, "S 20");
    EXPECT_EQ(Show(24, Wideband(147, 0x00, 40)).WBO2CorrectionValPanel, "S 40");
    EXPECT_EQ(Show(28, Wideband(147, 0x00, 41)).WBO2CorrectionValPanel, "S 20");
}

TEST_F(Dashboard, HiddenWidebandPanelKeepsItsTextsButNotItsLeds) {
    WidebandOnInputF();
    settings.WBO2DispAfrMaster = true;
    settings.WBODebounceLevel = 0;
    Show(24, Wideband(147, 0x40, 5));
    settings.WBO2LambdaPanelVisible = false;
    const TDashboardState& s = Show(24, Wideband(100, 0x01, 9));
    EXPECT_EQ(s.AFRTopPanel, "14.7");
    EXPECT_EQ(s.WBO2CorrectionValPanel, "5");
    EXPECT_TRUE(s.WBO2ErrorLed);
    EXPECT_FALSE(s.WBO2ActiveLed);
    // Nor did the hidden record enter the mean.
    settings.WBO2LambdaPanelVisible = true;
    settings.WBODebounceLevel = 1;
    EXPECT_EQ(Show(24, Wideband(147, 0x40, 5)).AFRTopPanel, "14.7");
}

TEST_F(Dashboard, WidebandLeds) {
    for (int length : {24, 28}) {
        SCOPED_TRACE(length);
        EXPECT_TRUE(Show(length, Wideband(0, 0x40, 0)).WBO2ActiveLed);
        EXPECT_FALSE(Show(length, Wideband(0, 0x00, 0)).WBO2ActiveLed);
        for (int blocking : {0x80, 0x10, 0x20}) {
            EXPECT_FALSE(Show(length, Wideband(0, std::uint8_t(0x40 | blocking), 0)).WBO2ActiveLed)
                << blocking;
        }
        // The upper-limit bit is an error, but does not switch the controller's LED off.
        const TDashboardState& s = Show(length, Wideband(0, 0x42, 0));
        EXPECT_TRUE(s.WBO2ActiveLed);
        EXPECT_TRUE(s.WBO2ErrorLed);
        EXPECT_TRUE(Show(length, Wideband(0, 0x01, 0)).WBO2ErrorLed);
        EXPECT_FALSE(Show(length, Wideband(0, 0xFC, 0)).WBO2ErrorLed);
    }
}

TEST_F(Dashboard, DisplayResetClearsTheEngineReadoutsButKeepsTheMeans) {
    Record r = Narrowband(148, 0);
    r[0] = 0xC0;
    r[1] = 200;
    r[2] = 100;
    r[13] = 50;
    ShowTimes(18, r, 60);
    dash.ResetDisplay();
    const TDashboardState& s = dash.State();
    EXPECT_EQ(s.RotDispGauge, 0);
    EXPECT_EQ(s.PotiDispGauge, 0);
    EXPECT_EQ(s.OutputDispGauge, 0);
    EXPECT_EQ(s.RotDispPanel, "");
    EXPECT_EQ(s.PotiDispPanel, "");
    EXPECT_EQ(s.OutputDispPanel, "");
    EXPECT_FALSE(s.IdleLed);
    EXPECT_FALSE(s.FullLed);
    EXPECT_EQ(Show(18, Narrowband(148, 0)).NBCorrectionValPanel, "19");
    dash.ResetMeans();
    EXPECT_EQ(Show(18, Narrowband(148, 0)).NBCorrectionValPanel, "1");
}

TEST_F(Dashboard, ShowLiveTakesTheBufferOfTheUnitsLayout) {
    data.LiveRecords.Live11[0] = 51;
    data.LiveRecords.Live18[1] = 102;
    data.LiveRecords.Live24[1] = 153;
    data.LiveRecords.Live28[1] = 204;
    struct Case {
        int Firmware;
        TLiveLayout Layout;
        const char* Rpm;
        const std::uint8_t* Buffer;
    };
    const Case cases[] = {
        {8, TLiveLayout::Live11, "2000", data.LiveRecords.Live11.data()},
        {9, TLiveLayout::Live18, "4000", data.LiveRecords.Live18.data()},
        {36, TLiveLayout::Live24, "6000", data.LiveRecords.Live24.data()},
        {37, TLiveLayout::Live28, "8000", data.LiveRecords.Live28.data()},
        {40, TLiveLayout::Live28, "8000", data.LiveRecords.Live28.data()},
    };
    for (const Case& c : cases) {
        data.ReceiveData.Firmware = static_cast<std::uint8_t>(c.Firmware);
        const TLiveRecord record = dash.ShowLive(data, settings);
        EXPECT_EQ(record.Layout, c.Layout) << c.Firmware;
        EXPECT_EQ(record.Bytes.data(), c.Buffer) << c.Firmware;
        EXPECT_EQ(record.Bytes.size(), LiveLayoutLength(c.Layout)) << c.Firmware;
        EXPECT_EQ(dash.State().RotDispPanel, c.Rpm) << c.Firmware;
    }
}

}  // namespace
}  // namespace zv
