#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace zv {

constexpr int kParameterCount = 44;

// Indexes of Detail, in the order of the parameter table and of the data file's [Zevrin Detail].
namespace param {
enum : int {
    Pulse = 0,
    MaxRot,
    UPIntDel,
    NarrowBandLambdaControl,
    DigIO_L_AsPulse,
    TempInAsLambda,
    AnaInFMode1,
    GPInAsLambda,
    AnaInEMode1,
    LampAsSelect,
    TempAddMultSel,
    GpAddMultSel,
    IdleControl,
    ContactIdle,
    ContactFull,
    GreenLed,
    YellowLed,
    RedLed,
    LambdaRef,
    LambdaJump,
    LambdaInt,
    LambdaIntLim,
    LambdaRpmSetIn,
    LambdaTpsLim,
    LambdaStartup,
    OutValAtZeroRpm,
    TpsAccelOutFact,
    TpsAccelBackFact,
    TpsAccelRetSpeed,
    TpsDecelRetSpeed,
    MaxOutValue,
    WBO2Control,
    WBO2MessDevice,
    WBO2AfrAt0V,
    WBO2AfrAt5V,
    WBO2AfrOffset,
    WBO2ControllerKp,
    WBO2ControllerKi,
    WBO2ControllerIntLimUp,
    WBO2ControllerIntLimDown,
    WBO2StartupCounter,
    WBO2ErrorDetLimLow,
    WBO2ErrorDetLimHigh,
    WBO2SetErrorOnIntegratorLimit,
};
}  // namespace param

// Where a parameter lives in the unit's image.
enum class ImagePlace : std::uint8_t {
    PcOnly,    // only in the edit fields and the data file
    PulseWord, // the 16-bit word at offset 0, encoded per firmware
    Byte,      // one byte at Offset
    FlagBit,   // bit FlagBit of the flags word at offset 4
};

struct ParameterRow {
    const char* Key;
    std::uint16_t Min;
    std::uint16_t Max;
    std::int32_t Default;
    std::uint8_t MinFirmware;  // lowest firmware index for which the file reader range-checks it
    ImagePlace Place;
    std::uint16_t Offset;      // image offset for Byte
    std::uint8_t FlagBit;      // flags word bit for FlagBit
};

const ParameterRow& Parameter(int index);

// The values the unit does not keep (they live only in the PC) set to their defaults, for a
// data set that comes from a unit without a file.
void DefaultPcOnlyParameters(std::array<std::int32_t, 44>& detail);

// Index of the parameter with that key (exact), or -1.
int ParameterIndexOfKey(std::string_view key);

}  // namespace zv
