#include "sensors/wideband_sensor.h"

#include <cstddef>

#include "data/parameter_table.h"
#include "data/zv_data_class.h"

namespace zv {

namespace {

// The VGS characteristic as the maker publishes it: runs of raw codes sharing one lambda value.
struct TVgsRun {
    std::uint8_t Last;  // last raw code of the run; the run starts after the previous one
    double Lambda;
};

constexpr TVgsRun kVgsRuns[] = {
    {3, 0.0},    {8, 0.65},   {13, 0.66},  {18, 0.67},  {23, 0.68},  {28, 0.69},  {33, 0.70},
    {37, 0.71},  {42, 0.72},  {47, 0.73},  {52, 0.74},  {56, 0.75},  {61, 0.76},  {65, 0.77},
    {70, 0.78},  {74, 0.79},  {78, 0.80},  {83, 0.81},  {87, 0.82},  {91, 0.83},  {96, 0.84},
    {100, 0.85}, {104, 0.86}, {108, 0.87}, {113, 0.88}, {118, 0.89}, {122, 0.90}, {126, 0.91},
    {129, 0.92}, {133, 0.93}, {137, 0.94}, {140, 0.95}, {144, 0.96}, {147, 0.97}, {150, 0.98},
    {152, 0.99}, {155, 1.00}, {157, 1.01}, {159, 1.02}, {161, 1.03}, {163, 1.04}, {164, 1.05},
    {166, 1.06}, {168, 1.07}, {169, 1.08}, {171, 1.09}, {172, 1.10}, {174, 1.11}, {175, 1.12},
    {176, 1.13}, {177, 1.14}, {178, 1.15}, {179, 1.16}, {180, 1.17}, {181, 1.18}, {182, 1.19},
    {183, 1.20}, {184, 1.21}, {185, 1.22}, {187, 1.23}, {188, 1.24}, {189, 1.25}, {190, 1.26},
    {191, 1.27}, {192, 1.28}, {193, 1.29}, {194, 1.30}, {195, 1.31}, {196, 1.32}, {197, 1.33},
    {198, 1.34}, {199, 1.35}, {200, 1.36}, {201, 1.37}, {202, 1.38}, {203, 1.39}, {255, 5.0},
};

constexpr std::array<double, 256> BuildVgsTable() {
    std::array<double, 256> table{};
    std::size_t code = 0;
    for (const TVgsRun& run : kVgsRuns) {
        for (; code <= run.Last; ++code) {
            table[code] = run.Lambda;
        }
    }
    return table;
}

// Codes outside these bounds carry the VGS out-of-band lambdas (0 and 5).
constexpr std::uint8_t kVgsFirstValid = 4;
constexpr std::uint8_t kVgsLastValid = 203;

constexpr long double kAimLow = 9.4L;
constexpr long double kAimHigh = 23.4L;
constexpr double kAimBelowMarker = 0.0;
constexpr double kAimAboveMarker = 99.0;

constexpr long double kAfrOfLambdaOne = 14.7L;

// Offsets and divisors are those of the makers' data sheets; the sum is taken in extended
// precision so that band ends such as 19.0 come out exact.
double Linear(std::uint8_t raw, long double divisor, long double offset) {
    return static_cast<double>(static_cast<long double>(raw) / divisor + offset);
}

long double AimRaw(std::uint8_t raw) {
    return static_cast<long double>(raw) / 10.5L;
}

const TextPair kDeviceNames[kWidebandDeviceCount] = {
    {"TechEdge WBlin: 0..5V = 9..19 AFR", "TechEdge WBlin: 0..5V = 9..19 AFR"},
    {"VGS LM1000", "VGS LM1000"},
    {"DynoJet Wideband Commander", "DynoJet Wideband Commander"},
    {"Innovate LM-1: 0..5V = 9..19 AFR", "Innovate LM-1: 0..5V = 9..19 AFR"},
    {"Innovate LC-1: 0..5V = 7,35..22,39 AFR", "Innovate LC-1: 0..5V = 7.35 - 22.39 AFR"},
    {"NTK: 0..5V = 9..16 AFR", "NTK: 0..5V = 9 - 16 AFR"},
    {"PLX R-300: 0..5V = 10..20 AFR", "PLX R300: 0..5V = 10 - 20 AFR"},
    {"AIM LCU_ONE: 1,95..4,8V = 9,47..23,3 AFR", "AIM LCU_ONE: 1,95..4,8V = 9,47..23,3 AFR"},
};

// Sensor units of the wideband page, by WBO2MessDevice.
enum : int {
    kUnitCustomMinMax = 0,
    kUnitCustomMap,
    kUnitTechEdge,
    kUnitDynoJet,
    kUnitInnovateLM1,
    kUnitInnovateLC1,
    kUnitPLX,
    kUnitAIM,
};

struct TScale {
    std::uint8_t AtZero;  // AFR x 10 at 0 V
    std::uint8_t AtFive;  // AFR x 10 at 5 V
};

// What the display falls back to when the declared band is empty or reversed.
constexpr TScale kFallbackScale{0, 254};

// The unit receives only the low byte of a parameter, so the PC scales as the unit does even
// when a data file carried a value outside 0..255.
std::uint8_t ParameterByte(const TZVDataClass& data, int index) {
    return static_cast<std::uint8_t>(data.Detail[static_cast<std::size_t>(index)] & 0xFF);
}

TScale ScaleOfUnit(const TZVDataClass& data) {
    switch (data.Detail[param::WBO2MessDevice]) {
        case kUnitTechEdge:
        case kUnitInnovateLM1:
            return {90, 190};
        case kUnitDynoJet:
            return {100, 180};
        case kUnitInnovateLC1:
            return {74, 224};
        case kUnitPLX:
            return {100, 200};
        case kUnitAIM:
            return {0, 243};
        default:  // both custom units, and any value the list does not know
            return {ParameterByte(data, param::WBO2AfrAt0V),
                    ParameterByte(data, param::WBO2AfrAt5V)};
    }
}

}  // namespace

const std::array<double, 256> VgsLambdaTable = BuildVgsTable();

bool IsDisplayedAfr(const TAfrReading& reading) {
    return reading.IsReading() && reading.Afr != 0.0 && reading.Afr < kAfrDisplayLimit;
}

double TTechEdgeWBOlin001Class::ByteToAfr(std::uint8_t raw) {
    return Linear(raw, 25.5L, 9.0L);
}

double TVGSLM1000Class::ByteToAfr(std::uint8_t raw) {
    return static_cast<double>(static_cast<long double>(VgsLambdaTable[raw]) * kAfrOfLambdaOne);
}

double TDynoJetWBCommander001Class::ByteToAfr(std::uint8_t raw) {
    return Linear(raw, 31.875L, 10.0L);
}

double TInnovateLM_1_WBOlin001Class::ByteToAfr(std::uint8_t raw) {
    return Linear(raw, 25.5L, 9.0L);
}

double TInnovateLC_1_WBOlin001Class::ByteToAfr(std::uint8_t raw) {
    return Linear(raw, 16.95L, 7.35L);
}

double TNTK_WBlin9_16_WBOlin001Class::ByteToAfr(std::uint8_t raw) {
    return Linear(raw, 36.43L, 9.0L);
}

double TPLX_R300_WBOlin001Class::ByteToAfr(std::uint8_t raw) {
    return Linear(raw, 25.5L, 10.0L);
}

double TAIM_LCU_ONE_WBOlin001Class::ByteToAfr(std::uint8_t raw) {
    const long double x = AimRaw(raw);
    if (x < kAimLow) {
        return kAimBelowMarker;
    }
    if (x > kAimHigh) {
        return kAimAboveMarker;
    }
    return static_cast<double>(x);
}

TAfrReading ByteToAfr(int device, std::uint8_t raw) {
    switch (device) {
        case 0:
            return {TAfrKind::Reading, TTechEdgeWBOlin001Class::ByteToAfr(raw)};
        case 1: {
            const double afr = TVGSLM1000Class::ByteToAfr(raw);
            if (raw < kVgsFirstValid) {
                return {TAfrKind::BelowRange, afr};
            }
            if (raw > kVgsLastValid) {
                return {TAfrKind::AboveRange, afr};
            }
            return {TAfrKind::Reading, afr};
        }
        case 2:
            return {TAfrKind::Reading, TDynoJetWBCommander001Class::ByteToAfr(raw)};
        case 3:
            return {TAfrKind::Reading, TInnovateLM_1_WBOlin001Class::ByteToAfr(raw)};
        case 4:
            return {TAfrKind::Reading, TInnovateLC_1_WBOlin001Class::ByteToAfr(raw)};
        case 5:
            return {TAfrKind::Reading, TNTK_WBlin9_16_WBOlin001Class::ByteToAfr(raw)};
        case 6:
            return {TAfrKind::Reading, TPLX_R300_WBOlin001Class::ByteToAfr(raw)};
        case 7: {
            const double afr = TAIM_LCU_ONE_WBOlin001Class::ByteToAfr(raw);
            const long double x = AimRaw(raw);
            if (x < kAimLow) {
                return {TAfrKind::BelowRange, afr};
            }
            if (x > kAimHigh) {
                return {TAfrKind::AboveRange, afr};
            }
            return {TAfrKind::Reading, afr};
        }
        default:
            return {TAfrKind::NoDevice, 0.0};
    }
}

const char* WidebandDeviceName(int device, Language lang) {
    if (device < 0 || device >= kWidebandDeviceCount) {
        return "";
    }
    return kDeviceNames[device].Pick(lang);
}

TAfrReading RawToAfr(const TZVDataClass& data, std::uint8_t raw) {
    const long double lo = data.DeviceData.DispAfrAt0V;
    const long double hi = data.DeviceData.DispAfrAt5V;
    // Before a data set has been scaled both ends are 0; a flat or falling line would show a
    // plausible but meaningless AFR.
    if (lo >= hi) {
        return {TAfrKind::NoScale, 0.0};
    }
    const long double afr = (static_cast<long double>(raw) * (hi - lo) / 255.0L + lo) / 10.0L;
    return {TAfrKind::Reading, static_cast<double>(afr)};
}

void ApplySensorScale(TZVDataClass& data) {
    TScale scale = ScaleOfUnit(data);
    if (scale.AtZero >= scale.AtFive) {
        scale = kFallbackScale;
    }
    data.DeviceData.DispAfrAt0V = scale.AtZero;
    data.DeviceData.DispAfrAt5V = scale.AtFive;
}

}  // namespace zv
