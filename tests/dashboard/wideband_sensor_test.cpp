#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "sensors/wideband_sensor.h"

namespace zv {
namespace {

struct DeviceBand {
    int Device;
    double AtZero;
    double AtFull;
    double AtOneVolt;  // raw 51: catches a swapped divisor or offset between devices
};

TEST(WidebandSensor, LinearDevicesSpanTheirNominalBands) {
    const DeviceBand bands[] = {
        {0, 9.0, 19.0, 11.0},      {2, 10.0, 18.0, 11.6},   {3, 9.0, 19.0, 11.0},
        {4, 7.35, 22.394, 10.359}, {5, 9.0, 15.9997, 10.4}, {6, 10.0, 20.0, 12.0},
    };
    for (const DeviceBand& band : bands) {
        SCOPED_TRACE(band.Device);
        const TAfrReading low = ByteToAfr(band.Device, 0);
        const TAfrReading high = ByteToAfr(band.Device, 255);
        EXPECT_EQ(low.Kind, TAfrKind::Reading);
        EXPECT_EQ(high.Kind, TAfrKind::Reading);
        EXPECT_DOUBLE_EQ(low.Afr, band.AtZero);
        EXPECT_NEAR(high.Afr, band.AtFull, 5e-4);
        EXPECT_NEAR(ByteToAfr(band.Device, 51).Afr, band.AtOneVolt, 1e-3);
    }
}

TEST(WidebandSensor, AimMarksReadingsOutsideItsBand) {
    EXPECT_EQ(ByteToAfr(7, 0), (TAfrReading{TAfrKind::BelowRange, 0.0}));
    EXPECT_EQ(ByteToAfr(7, 98), (TAfrReading{TAfrKind::BelowRange, 0.0}));
    const TAfrReading first = ByteToAfr(7, 99);
    EXPECT_EQ(first.Kind, TAfrKind::Reading);
    EXPECT_NEAR(first.Afr, 9.4286, 1e-4);
    const TAfrReading last = ByteToAfr(7, 245);
    EXPECT_EQ(last.Kind, TAfrKind::Reading);
    EXPECT_NEAR(last.Afr, 23.333, 1e-3);
    EXPECT_EQ(ByteToAfr(7, 246), (TAfrReading{TAfrKind::AboveRange, 99.0}));
    EXPECT_EQ(ByteToAfr(7, 255), (TAfrReading{TAfrKind::AboveRange, 99.0}));
    EXPECT_EQ(TAIM_LCU_ONE_WBOlin001Class::ByteToAfr(246), 99.0);
}

TEST(WidebandSensor, VgsReadsItsTableAndMarksTheOuterCodes) {
    EXPECT_EQ(ByteToAfr(1, 0), (TAfrReading{TAfrKind::BelowRange, 0.0}));
    EXPECT_EQ(ByteToAfr(1, 3), (TAfrReading{TAfrKind::BelowRange, 0.0}));
    EXPECT_EQ(ByteToAfr(1, 4).Kind, TAfrKind::Reading);
    EXPECT_NEAR(ByteToAfr(1, 4).Afr, 0.65 * 14.7, 1e-12);
    EXPECT_NEAR(ByteToAfr(1, 153).Afr, 14.7, 1e-12);
    EXPECT_EQ(ByteToAfr(1, 203).Kind, TAfrKind::Reading);
    EXPECT_NEAR(ByteToAfr(1, 203).Afr, 20.433, 1e-12);
    const TAfrReading over = ByteToAfr(1, 204);
    EXPECT_EQ(over.Kind, TAfrKind::AboveRange);
    EXPECT_NEAR(over.Afr, 73.5, 1e-12);
    EXPECT_EQ(ByteToAfr(1, 255).Kind, TAfrKind::AboveRange);
}

TEST(WidebandSensor, VgsTableRisesInHundredthsWithoutGaps) {
    const auto& t = VgsLambdaTable;
    int steps = 0;
    for (int n = 5; n <= 203; ++n) {
        const double rise = t[n] - t[n - 1];
        ASSERT_GE(rise, 0.0) << n;
        if (rise > 0.0) {
            EXPECT_NEAR(rise, 0.01, 1e-9) << n;
            ++steps;
        }
    }
    EXPECT_EQ(steps, 74);  // 0.65 .. 1.39
    // Run boundaries where the runs change length.
    EXPECT_EQ(t[126], 0.91);
    EXPECT_EQ(t[127], 0.92);
    EXPECT_EQ(t[164], 1.05);
    EXPECT_EQ(t[186], 1.23);
    EXPECT_EQ(t[187], 1.23);
    for (int n = 204; n <= 255; ++n) {
        EXPECT_EQ(t[n], 5.0) << n;
    }
}

TEST(WidebandSensor, IndexOutsideTheListGivesNoReading) {
    for (int device : {-1, 8, 255}) {
        EXPECT_EQ(ByteToAfr(device, 128), (TAfrReading{TAfrKind::NoDevice, 0.0})) << device;
        EXPECT_FALSE(IsDisplayedAfr(ByteToAfr(device, 128)));
        EXPECT_STREQ(WidebandDeviceName(device, Language::English), "");
    }
}

TEST(WidebandSensor, DeviceNamesFollowTheLanguage) {
    EXPECT_STREQ(WidebandDeviceName(4, Language::German), "Innovate LC-1: 0..5V = 7,35..22,39 AFR");
    EXPECT_STREQ(WidebandDeviceName(4, Language::English),
                 "Innovate LC-1: 0..5V = 7.35 - 22.39 AFR");
    EXPECT_STREQ(WidebandDeviceName(1, Language::German), "VGS LM1000");
}

TEST(WidebandSensor, ReadoutsRejectMarkersAndTheEdgesOfTheBand) {
    EXPECT_FALSE(IsDisplayedAfr(ByteToAfr(1, 204)));  // VGS 73.5
    EXPECT_FALSE(IsDisplayedAfr(ByteToAfr(7, 10)));   // AIM 0
    EXPECT_FALSE(IsDisplayedAfr({TAfrKind::Reading, 0.0}));
    EXPECT_FALSE(IsDisplayedAfr({TAfrKind::Reading, 30.0}));
    EXPECT_TRUE(IsDisplayedAfr({TAfrKind::Reading, 29.99}));
    EXPECT_TRUE(IsDisplayedAfr(ByteToAfr(1, 153)));
}

}  // namespace
}  // namespace zv
