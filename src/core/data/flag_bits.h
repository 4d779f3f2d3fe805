#pragma once

#include <cstdint>

#include "data/zv_data_class.h"

// Bit numbers of the flags word at main-area offset 4, named after the parameters they carry.
namespace zv::flag {

constexpr int IdleControl = 0;
constexpr int NarrowBandLambdaControl = 1;
constexpr int TempInAsLambda = 2;  // input F carries the narrowband probe
constexpr int GPInAsLambda = 3;    // input E carries the narrowband probe
constexpr int LampAsSelect = 4;
constexpr int TempAddMultSel = 5;  // the temperature curve adds instead of multiplying
constexpr int GpAddMultSel = 6;    // the same for the general-purpose curve
constexpr int AnaInFMode1 = 8;
constexpr int AnaInEMode1 = 9;
constexpr int WBO2Control = 10;
constexpr int WBO2SetErrorOnIntegratorLimit = 11;

// One of the two analog inputs is set to the narrowband lambda probe.
inline bool HasNarrowbandInput(std::uint16_t flags) {
    return TZVDataClass::TestFlag(flags, TempInAsLambda) ||
           TZVDataClass::TestFlag(flags, GPInAsLambda);
}

}  // namespace zv::flag
