#pragma once

#include <array>
#include <cstdint>

#include "text/text_table.h"

namespace zv {

class TZVDataClass;

// A wideband lambda controller of the user's choice feeds 0..5 V into an analogue input; the unit
// reports the sampled byte (51 counts per volt) and the PC turns it into an air/fuel ratio.

// Device index as the type configuration stores it ("WBO2ModuleType"); typed text in its combo box
// stores 255, which selects no device.
constexpr int kWidebandDeviceCount = 8;

enum class TAfrKind : std::uint8_t {
    Reading,     // an AFR the sensor can actually report
    BelowRange,  // the device's own marker for a signal under its band (AIM and VGS: AFR 0)
    AboveRange,  // the device's own marker for a signal over its band (AIM: 99, VGS: 73.5)
    NoDevice,    // no device selected: nothing to convert with
    NoScale,     // the PC-side scale is empty (AFR at 0 V not below AFR at 5 V)
};

struct TAfrReading {
    TAfrKind Kind = TAfrKind::NoDevice;
    // The converter's number, marker values included, so that a log can record what the device
    // delivered; 0 when there was nothing to convert with.
    double Afr = 0.0;

    bool IsReading() const { return Kind == TAfrKind::Reading; }
    bool operator==(const TAfrReading&) const = default;
};

// Readouts show "---" instead of an AFR of 0 (no signal) or of this limit and above.
constexpr double kAfrDisplayLimit = 30.0;
bool IsDisplayedAfr(const TAfrReading& reading);

// Lambda (not AFR) by raw byte for the VGS LM1000; 0 and 5 are its out-of-band codes.
extern const std::array<double, 256> VgsLambdaTable;

// The device characteristics. They hold nothing; each is one straight line or table.
struct TTechEdgeWBOlin001Class {
    static double ByteToAfr(std::uint8_t raw);
};
struct TVGSLM1000Class {
    static double ByteToAfr(std::uint8_t raw);
};
struct TDynoJetWBCommander001Class {
    static double ByteToAfr(std::uint8_t raw);
};
struct TInnovateLM_1_WBOlin001Class {
    static double ByteToAfr(std::uint8_t raw);
};
struct TInnovateLC_1_WBOlin001Class {
    static double ByteToAfr(std::uint8_t raw);
};
struct TNTK_WBlin9_16_WBOlin001Class {
    static double ByteToAfr(std::uint8_t raw);
};
struct TPLX_R300_WBOlin001Class {
    static double ByteToAfr(std::uint8_t raw);
};
struct TAIM_LCU_ONE_WBOlin001Class {
    static double ByteToAfr(std::uint8_t raw);
};

// The conversion of the device with that index (0..7), with the device's markers made explicit.
TAfrReading ByteToAfr(int device, std::uint8_t raw);

// Text of the device in the type configuration's list; empty for an index outside 0..7.
const char* WidebandDeviceName(int device, Language lang);

// The PC-side scale: a straight line from DeviceData.DispAfrAt0V to DispAfrAt5V (AFR x 10).
TAfrReading RawToAfr(const TZVDataClass& data, std::uint8_t raw);

// Derives DeviceData.DispAfrAt0V / DispAfrAt5V from the declared sensor unit (WBO2MessDevice):
// the custom units take WBO2AfrAt0V / WBO2AfrAt5V, the commercial ones their fixed band.
void ApplySensorScale(TZVDataClass& data);

}  // namespace zv
