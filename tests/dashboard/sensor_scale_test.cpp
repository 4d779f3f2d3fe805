#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "data/parameter_table.h"
#include "data/zv_data_class.h"
#include "sensors/wideband_sensor.h"

namespace zv {
namespace {

using Band = std::pair<int, int>;  // AFR x 10 at 0 V and at 5 V

class SensorScale : public ::testing::Test {
  protected:
    void Declare(int unit, int afrAt0V, int afrAt5V) {
        data.Detail[param::WBO2MessDevice] = unit;
        data.Detail[param::WBO2AfrAt0V] = afrAt0V;
        data.Detail[param::WBO2AfrAt5V] = afrAt5V;
        ApplySensorScale(data);
    }
    Band Result() const { return {data.DeviceData.DispAfrAt0V, data.DeviceData.DispAfrAt5V}; }

    TZVDataClass data;
};

TEST_F(SensorScale, EachUnitGivesItsBand) {
    const Band expected[] = {
        {85, 195}, {85, 195}, {90, 190}, {100, 180}, {90, 190}, {74, 224}, {100, 200}, {0, 243},
    };
    for (int unit = 0; unit < 8; ++unit) {
        Declare(unit, 85, 195);
        EXPECT_EQ(Result(), expected[unit]) << unit;
    }
}

TEST_F(SensorScale, UnknownUnitBehavesAsTheCustomOne) {
    for (int unit : {8, -1, 255}) {
        Declare(unit, 70, 210);
        EXPECT_EQ(Result(), Band(70, 210)) << unit;
    }
}

TEST_F(SensorScale, EmptyOrReversedBandFallsBackToTheFullByte) {
    Declare(0, 120, 120);
    EXPECT_EQ(Result(), Band(0, 254));
    Declare(1, 200, 100);
    EXPECT_EQ(Result(), Band(0, 254));
    // A commercial unit ignores the custom values, reversed or not.
    Declare(6, 200, 100);
    EXPECT_EQ(Result(), Band(100, 200));
}

TEST_F(SensorScale, OutOfRangeParametersScaleAsTheUnitStoresThem) {
    Declare(0, 256 + 90, 190);  // the image holds the low byte, 90
    EXPECT_EQ(Result(), Band(90, 190));
}

TEST_F(SensorScale, RawToAfrFollowsTheScaleLine) {
    Declare(7, 0, 0);
    EXPECT_NEAR(RawToAfr(data, 102).Afr, 9.72, 1e-9);
    EXPECT_NEAR(RawToAfr(data, 254).Afr, 24.205, 1e-3);
    EXPECT_EQ(RawToAfr(data, 0), (TAfrReading{TAfrKind::Reading, 0.0}));
    EXPECT_FALSE(IsDisplayedAfr(RawToAfr(data, 0)));

    Declare(2, 0, 0);
    EXPECT_DOUBLE_EQ(RawToAfr(data, 0).Afr, 9.0);
    EXPECT_DOUBLE_EQ(RawToAfr(data, 255).Afr, 19.0);
    EXPECT_DOUBLE_EQ(RawToAfr(data, 51).Afr, 11.0);
}

TEST_F(SensorScale, RawToAfrWithoutABandGivesNoReading) {
    // A fresh data set has not been scaled yet: both ends are 0.
    EXPECT_EQ(RawToAfr(data, 128), (TAfrReading{TAfrKind::NoScale, 0.0}));
    data.DeviceData.DispAfrAt0V = 150;
    data.DeviceData.DispAfrAt5V = 100;
    EXPECT_EQ(RawToAfr(data, 0).Kind, TAfrKind::NoScale);
    EXPECT_EQ(RawToAfr(data, 255).Kind, TAfrKind::NoScale);
    EXPECT_FALSE(IsDisplayedAfr(RawToAfr(data, 255)));
}

}  // namespace
}  // namespace zv
