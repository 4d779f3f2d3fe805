#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "autotune/autotune.h"
#include "data/zv_data_class.h"

namespace zv::test {

// Sites lowest first: throttle and engine speed alike, with 51 (20 % / 2000 rpm) at index 2 and
// 102 (40 % / 4000 rpm) at index 3.
constexpr std::array<std::uint8_t, 16> kSites = {13,  26,  51,  102, 110, 120, 130, 140,
                                                 150, 160, 170, 180, 190, 200, 220, 255};
constexpr double kSiteA = 51.0;   // throttle raw at site index 2
constexpr double kSiteB = 102.0;  // throttle raw at site index 3
constexpr double kRpmB = 4000.0;  // engine speed at site index 3

// Engine speed of a raw speed byte: 10000 rpm at 255.
inline double RpmOfRaw(double raw) {
    return raw * 10000.0 / 255.0;
}

// A data set whose fuel map holds 100 everywhere, whose targets are all 14.7 and whose sensor
// reads 9.0 to 19.0 AFR.
inline TZVDataClass TuneData() {
    TZVDataClass data;
    ImageBytes& image = data.DeviceData.Image;
    for (std::size_t i = 0; i < 16; ++i) {
        image[img::TpsSites + 15 - i] = kSites[i];
        image[img::RpmSites + 15 - i] = kSites[i];
    }
    for (int t = 0; t < 16; ++t) {
        for (int r = 0; r < 16; ++r) {
            image[FuelMapOffset(t, r)] = 100;
            image[FuelMapOffset(t, r) - img::FuelMap + img::AfrMap] = 42;  // 14.7
        }
    }
    image[41] = 13;   // sensor error below
    image[42] = 242;  // and above
    data.DeviceData.DispAfrAt0V = 90;
    data.DeviceData.DispAfrAt5V = 190;
    return data;
}

// Settings for hand-made runs: every filter on, the AFR band 10.0 .. 18.0, a short fixed
// sensor delay of 86 ms (a short exhaust at 4000 rpm).
inline TTuneSettings HandSettings() {
    TTuneSettings s;
    s.AfrMin = 10.0;
    s.AfrMax = 18.0;
    s.FixedDelayMs = 86.0;
    return s;
}

// A steady moment at an operating point, the controller running and in range.
inline TTuneSample Steady(double timeS, double rpm, double throttle, double afr,
                          int correction = 0) {
    TTuneSample s;
    s.TimeS = timeS;
    s.Rpm = rpm;
    s.Throttle = throttle;
    s.Afr = afr;
    s.Correction = correction;
    s.WbFlags = 0x40;
    s.Accel = 0;
    return s;
}

// n samples 0.1 s apart from `start` at one point with one reading.
inline void AddRun(TTuneLog& log, int n, double start, double rpm, double throttle, double afr,
                   int correction = 0) {
    for (int i = 0; i < n; ++i)
        log.Samples.push_back(Steady(start + 0.1 * i, rpm, throttle, afr, correction));
}

}  // namespace zv::test
