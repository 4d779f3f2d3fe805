#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zv::sim {

// Everything the unit computed in its last loop, before it is laid out as a live record.
struct TLiveValues {
    std::uint8_t Status = 0;  // bit 0 pin L output, 3..5 lamps, 6 idle contact, 7 full load
    std::uint8_t RpmRaw = 0;  // rpm x 255 / 10000
    std::uint8_t TpsRaw = 0;
    std::uint8_t IdlePosition = 0;  // idle actuator
    std::uint8_t IdleVal = 0;       // idle compensation curve at the actuator position
    std::uint8_t AnaInF = 0;
    std::uint8_t CompFVal = 0;  // temperature curve value in use (0 while F is a lambda input)
    std::uint8_t AnaInE = 0;
    std::uint8_t CompEVal = 0;  // general-purpose curve value in use
    std::uint8_t UFoto = 0;
    std::uint8_t LMVal = 0;   // fuel map value of the operating point
    std::uint8_t LMVal1 = 0;  // see TEngineModel: diagnostic values by firmware
    std::uint8_t LMVal2 = 0;
    std::uint8_t LMOut = 0;        // injector output
    std::uint8_t LambdaVal = 128;  // narrowband controller, 128 + correction, or startup counter
    std::uint8_t NbFlags = 0;
    std::uint8_t LoopCnt = 0;
    std::uint8_t TpsAccel = 0;  // signed acceleration value as a byte
    std::uint8_t WboFlags = 0;
    std::uint8_t WboCorrection = 0;  // byte 19 once the wideband startup is done
    std::uint32_t WboStartupMs = 0;  // wideband startup time left
    std::uint8_t TpsScaled = 0;
    std::uint16_t WbAdc = 0;       // wideband input as a left-aligned 10-bit conversion
    std::uint16_t Rpm = 0;         // engine speed in rpm
    std::uint16_t InjectorUs = 0;  // injector opening time per cycle in microseconds
};

// The record of the layout of a firmware index: 11, 18, 24 or 28 bytes.
std::vector<std::uint8_t> PackLiveRecord(const TLiveValues& v, int firmware);

}  // namespace zv::sim
