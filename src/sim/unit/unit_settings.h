#pragma once

#include <cstdint>

namespace zv::sim {

// The unit's memory as its control loop reads it: area 2 (main area, unit addresses, 1792 bytes)
// and area 1 (AFR area, 1024 bytes).
struct TUnitMemoryView {
    const std::uint8_t* Main = nullptr;
    const std::uint8_t* Afr = nullptr;
    int Firmware = 0;
};

// Function of an analogue input by the flags word.
enum class TInputFunction : std::uint8_t { Plain = 0, NarrowBand = 1, WideBand = 2 };

// The settings of one loop, read from memory. Parameters that a firmware does not have yet
// (those that appear with firmware 11) take their defaults, so that an older unit's reserved
// bytes never steer it.
struct TUnitSettings {
    int Firmware = 0;
    std::uint16_t Flags = 0;

    int ContactIdle = 0, ContactFull = 0;
    int GreenLed = 0, YellowLed = 0, RedLed = 0;

    int LambdaRefCounts = 23;  // narrowband switching point in counts (51 per volt)
    int LambdaJump = 1, LambdaInt = 4, LambdaIntLim = 20, LambdaTpsLim = 170;
    int LambdaRpmSetIn = 29, LambdaStartup = 35;
    int OutValAtZeroRpm = 10, MaxOutValue = 255;
    int TpsAccelOutFact = 4, TpsAccelBackFact = 2, TpsAccelRetSpeed = 4, TpsDecelRetSpeed = 2;

    int WbAfr10At0V = 0, WbAfr10At5V = 254;  // the wideband input's scale, AFR x 10
    int WbKp = 0, WbKi = 0, WbIntLimUp = 0, WbIntLimDown = 0, WbStartup = 0;
    int WbErrorLow = 0, WbErrorHigh = 255;

    TInputFunction InputF = TInputFunction::Plain, InputE = TInputFunction::Plain;

    // Stored highest point first.
    const std::uint8_t* TpsScale = nullptr;
    const std::uint8_t* TempControl = nullptr;
    const std::uint8_t* GeneralPurposeControl = nullptr;
    const std::uint8_t* IdleControl = nullptr;
    const std::uint8_t* TpsSites = nullptr;  // the older units' fixed sites below firmware 9
    const std::uint8_t* RpmSites = nullptr;
    const std::uint8_t* FuelMap = nullptr;  // at its unit address
    const std::uint8_t* AfrMap = nullptr;

    bool Flag(int bit) const { return ((Flags >> bit) & 1) != 0; }
    bool NarrowBandInput() const {
        return InputF == TInputFunction::NarrowBand || InputE == TInputFunction::NarrowBand;
    }
    bool WideBandInput() const {
        return InputF == TInputFunction::WideBand || InputE == TInputFunction::WideBand;
    }

    static TUnitSettings Read(const TUnitMemoryView& memory);
};

// Flags word bits.
namespace flag {
constexpr int IdleControl = 0, NarrowBand = 1, TempInAsLambda = 2, GPInAsLambda = 3,
              LampAsSelect = 4, TempAddMult = 5, GpAddMult = 6, DigIOLAsPulse = 7, AnaInFMode1 = 8,
              AnaInEMode1 = 9, WBO2Control = 10, WBO2ErrorOnIntLimit = 11;
}

}  // namespace zv::sim
