#include <gtest/gtest.h>

#include <array>

#include "autotune/tune_sample.h"
#include "tune_fixture.h"

namespace zv {
namespace {

TEST(TuneSample, FromALiveRecordOfTheWidebandLayouts) {
    TZVDataClass data = test::TuneData();
    data.InputFSelect = 2;
    std::array<std::uint8_t, 24> b{};
    b[0] = 0x40;   // idle contact
    b[1] = 51;     // 2000 rpm
    b[2] = 102;    // throttle
    b[5] = 102;    // input F: 13.0 AFR on the 9.0 .. 19.0 scale
    b[7] = 204;    // input E: 17.0
    b[17] = 3;     // acceleration
    b[18] = 0x50;  // start-up done, rich limit
    b[19] = 250;   // -5
    auto s = TuneSampleFromRecord({TLiveLayout::Live24, b}, data, 12.5);
    ASSERT_TRUE(s);
    EXPECT_DOUBLE_EQ(s->TimeS, 12.5);
    EXPECT_DOUBLE_EQ(s->Rpm, 2000.0);
    EXPECT_DOUBLE_EQ(s->Throttle, 102.0);
    EXPECT_DOUBLE_EQ(s->Afr, 13.0);
    EXPECT_EQ(s->Correction, -5);
    EXPECT_EQ(s->WbFlags, 0x50);
    EXPECT_EQ(s->Accel, 3);
    EXPECT_TRUE(s->IdleContact);
    EXPECT_FALSE(s->FullContact);

    // Input E with the wideband function; before the start-up is done byte 19 counts down.
    data.InputFSelect = 0;
    data.InputESelect = 2;
    b[18] = 0x00;
    b[19] = 40;
    s = TuneSampleFromRecord({TLiveLayout::Live24, b}, data, 0.0);
    EXPECT_DOUBLE_EQ(s->Afr, 17.0);
    EXPECT_EQ(s->Correction, 0);

    // No signal at either end of the input's range, or no input with the function.
    b[7] = 255;
    EXPECT_DOUBLE_EQ(TuneSampleFromRecord({TLiveLayout::Live24, b}, data, 0.0)->Afr, 0.0);
    b[7] = 0;
    EXPECT_DOUBLE_EQ(TuneSampleFromRecord({TLiveLayout::Live24, b}, data, 0.0)->Afr, 0.0);
    data.InputESelect = 1;
    b[7] = 204;
    EXPECT_DOUBLE_EQ(TuneSampleFromRecord({TLiveLayout::Live24, b}, data, 0.0)->Afr, 0.0);

    // The 28-byte layout reads the same bytes; the older ones carry no wideband controller.
    data.InputESelect = 2;
    b[18] = 0x40;
    b[19] = 255;  // 0
    std::array<std::uint8_t, 28> b28{};
    std::copy(b.begin(), b.end(), b28.begin());
    s = TuneSampleFromRecord({TLiveLayout::Live28, b28}, data, 0.0);
    EXPECT_DOUBLE_EQ(s->Afr, 17.0);
    EXPECT_EQ(s->Correction, 0);
    EXPECT_FALSE(TuneSampleFromRecord({TLiveLayout::Live18, std::span(b).first(18)}, data, 0.0));
}

}  // namespace
}  // namespace zv
