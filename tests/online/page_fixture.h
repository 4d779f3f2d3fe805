#pragma once

#include <array>
#include <memory>
#include <span>

#include "app/main_form_model.h"
#include "app/main_page_host.h"
#include "config/key_control.h"
#include "data/default_data.h"
#include "data/parameter_table.h"
#include "online_fixture.h"

namespace zv::test {

// A page of the notebook on the main model's host, against the simulated unit on virtual time.
// The configured step keys are 65 (up) and 63 (down).
class PageTest : public OnlineTest {
  protected:
    void SetUp() override {
        OnlineTest::SetUp();
        Keys.KeyUpSmallCode = 65;
        Keys.KeyDownSmallCode = 63;
    }
    // The unit holds a new data set's values of that firmware; its records reach the page.
    void GoOnline(int firmware, TPage& page) {
        Online->ShowLiveFrame = [&page](const TLiveRecord& record) { page.ShowLiveFrame(record); };
        GoOnlineWithNewDataSet(firmware);
        Clock.Advance(500);
        page.LoadFromImage();  // as the main window does with the data set it accepted
        page.ShowPage();
        Unit->ClearCounters();
    }
    // A new data set of that firmware, offline.
    void OpenOffline(int firmware, TPage& page) {
        AttachUnit(firmware);
        Main.CreateNewDataSet("car.zvt");
        Data().DeviceData.Firmware = static_cast<std::uint8_t>(firmware);
        StartIdle();
        page.LoadFromImage();
        page.ShowPage();
    }
    static void Press(TPage& page, std::initializer_list<std::uint8_t> keys) {
        for (auto k : keys)
            page.HandleKey(k);
    }
    std::uint8_t& At(std::size_t offset) { return Data().DeviceData.Image[offset]; }
    // Each key moves the byte from mid by step, one key at a time, the page showing mid.
    static void ExpectEachKeySteps(TPage& page, std::uint8_t& byte, int mid,
                                   std::span<const std::uint8_t> keys, int step) {
        for (const std::uint8_t key : keys) {
            SCOPED_TRACE(key);
            byte = static_cast<std::uint8_t>(mid);
            page.LoadFromImage();
            page.HandleKey(key);
            EXPECT_EQ(byte, mid + step);
        }
    }
    // The value keys shared by the editor pages, as Windows virtual-key codes: Up, numeric-pad
    // plus, plus, point, right bracket; Down, numeric-pad minus, comma, minus, left bracket.
    static constexpr std::array<std::uint8_t, 5> kPlusKeys = {38, 107, 187, 190, 221};
    static constexpr std::array<std::uint8_t, 5> kMinusKeys = {40, 109, 188, 189, 219};
    static void ExpectStepKeys(TPage& page, std::uint8_t& byte, int mid) {
        ExpectEachKeySteps(page, byte, mid, kPlusKeys, 1);
        ExpectEachKeySteps(page, byte, mid, kMinusKeys, -1);
    }
    static constexpr std::array<std::uint8_t, 1> kPageUp = {33}, kPageDown = {34};
    // Over the range min..max: the step keys move the middle by one and a value next to an end
    // onto it, the page keys move either end ten towards the other, and a step past an end
    // leaves the byte and the data set's changed state alone.
    void ExpectRangeKeys(TPage& page, std::uint8_t& byte, int min, int max) {
        ExpectStepKeys(page, byte, (min + max) / 2);
        ExpectEachKeySteps(page, byte, min, kPageUp, 10);
        ExpectEachKeySteps(page, byte, max, kPageDown, -10);
        Data().DeviceData.ChangedOffline = 0;
        ExpectEachKeySteps(page, byte, min, kMinusKeys, 0);
        ExpectEachKeySteps(page, byte, max, kPlusKeys, 0);
        EXPECT_EQ(Data().DeviceData.ChangedOffline, 0) << "a step past an end writes nothing";
        ExpectEachKeySteps(page, byte, min + 1, kMinusKeys, -1);
        ExpectEachKeySteps(page, byte, max - 1, kPlusKeys, 1);
    }

    TMainFormModel Form{Main, Settings};
    TKeyControl Keys{"KeyCtrl"};
    TMainPageHost Host{Main, Form, Keys};
};

}  // namespace zv::test
