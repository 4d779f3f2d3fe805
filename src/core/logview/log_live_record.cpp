#include "logview/log_live_record.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <string_view>

#include "data/zv_data_class.h"
#include "logview/log_operating_point.h"
#include "sensors/wideband_sensor.h"

namespace zv {

namespace {

enum class TFill : std::uint8_t { Byte, Bit, Rpm, Throttle, Afr, Correction };

// Where a logged column goes in a record. Occurrence tells the two "LambdaStartup" apart.
struct TPlace {
    std::string_view Name;
    int Occurrence;
    std::uint8_t Index;
    TFill Fill;
    std::uint8_t Bit;
};

constexpr TPlace kPlaces[] = {
    {"LoopCnt", 0, 16, TFill::Byte, 0},
    {"Engine Rpm", 0, 1, TFill::Rpm, 0},
    {"TPS[%]", 0, 2, TFill::Throttle, 0},
    {"Idle", 0, 3, TFill::Byte, 0},
    {"IdleVal", 0, 4, TFill::Byte, 0},
    {"AnaInF", 0, 5, TFill::Byte, 0},
    {"CompFVal", 0, 6, TFill::Byte, 0},
    {"AnaInE", 0, 7, TFill::Byte, 0},
    {"CompEVal", 0, 8, TFill::Byte, 0},
    {"InF_NB", 0, 5, TFill::Byte, 0},
    {"CompF_NB", 0, 14, TFill::Byte, 0},
    {"InE_NB", 0, 7, TFill::Byte, 0},
    {"CompE_NB", 0, 14, TFill::Byte, 0},
    {"InF_AFR", 0, 5, TFill::Afr, 0},
    {"CompF_AFR", 0, 19, TFill::Correction, 0},
    {"InE_AFR", 0, 7, TFill::Afr, 0},
    {"CompE_AFR", 0, 19, TFill::Correction, 0},
    {"UFoto", 0, 9, TFill::Byte, 0},
    {"LMVal", 0, 10, TFill::Byte, 0},
    {"LMVal1", 0, 11, TFill::Byte, 0},
    {"LMVal2", 0, 12, TFill::Byte, 0},
    {"LMOut", 0, 13, TFill::Byte, 0},
    {"LambdaVal", 0, 14, TFill::Byte, 0},
    {"IdleContact", 0, 0, TFill::Bit, 6},
    {"WOTContact", 0, 0, TFill::Bit, 7},
    {"ShiftLightGreen", 0, 0, TFill::Bit, 3},
    {"ShiftLightYellow", 0, 0, TFill::Bit, 4},
    {"ShiftLightRed", 0, 0, TFill::Bit, 5},
    {"LambdaShiftMode", 0, 15, TFill::Bit, 0},
    {"LambdaLimOff", 0, 15, TFill::Bit, 1},
    {"LambdaStartup", 0, 15, TFill::Bit, 2},
    {"LambdaError", 0, 15, TFill::Bit, 3},
    {"LambdaStartup", 1, 15, TFill::Bit, 5},
    {"LambdaTest1", 0, 15, TFill::Bit, 6},
    {"LambdaTest2", 0, 15, TFill::Bit, 7},
    {"TPS accel val", 0, 17, TFill::Byte, 0},
    {"WBO2 Flags", 0, 18, TFill::Byte, 0},
    {"TPS scaled", 0, 20, TFill::Byte, 0},
    {"Debug_0", 0, 21, TFill::Byte, 0},
    {"Debug_1", 0, 22, TFill::Byte, 0},
};

// The oldest units send a short record of their own order.
constexpr TPlace kPlaces11[] = {
    {"Engine Rpm", 0, 0, TFill::Rpm, 0},   {"TPS[%]", 0, 1, TFill::Throttle, 0},
    {"LMVal", 0, 4, TFill::Byte, 0},       {"IdleContact", 0, 7, TFill::Bit, 6},
    {"WOTContact", 0, 7, TFill::Bit, 7},   {"LMOut", 0, 8, TFill::Byte, 0},
    {"Idle", 0, 9, TFill::Byte, 0},
};

constexpr std::uint8_t kWidebandFlags = 18;
constexpr int kStartupDoneBit = 6;
constexpr std::uint8_t kCompFVal = 6;
constexpr std::uint8_t kCompEVal = 8;

// A wideband line's second column is the controller's correction only where the layout puts it
// there; elsewhere it is the input's own correction byte and goes back to its place.
TPlace PlaceIn(const TLogData& log, const TPlace& place, std::size_t column) {
    if (place.Fill != TFill::Correction || log.Find(TLogQuantity::WidebandCorrection) == column)
        return place;
    return {place.Name, place.Occurrence, place.Name == "CompF_AFR" ? kCompFVal : kCompEVal,
            TFill::Byte, 0};
}

std::uint8_t ByteOf(double value) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

std::uint8_t Filled(const TPlace& place, double value, const TZVDataClass& data) {
    switch (place.Fill) {
    case TFill::Byte:
        return ByteOf(value);
    case TFill::Bit:
        return value != 0.0 ? static_cast<std::uint8_t>(1u << place.Bit) : std::uint8_t{0};
    case TFill::Rpm:
        return RpmRaw(value);
    case TFill::Throttle:
        return ThrottleRaw(value);
    case TFill::Afr:
        return AfrRaw(data, value);
    case TFill::Correction:
        return CorrectionRaw(value);
    }
    return 0;
}

}  // namespace

std::uint8_t AfrRaw(const TZVDataClass& data, double afr) {
    int best = 0;
    double bestDistance = -1.0;
    for (int raw = 0; raw <= 255; ++raw) {
        const TAfrReading reading = RawToAfr(data, static_cast<std::uint8_t>(raw));
        const double distance = std::fabs(reading.Afr - afr);
        if (bestDistance < 0.0 || distance < bestDistance) {
            best = raw;
            bestDistance = distance;
        }
    }
    return static_cast<std::uint8_t>(best);
}

std::uint8_t CorrectionRaw(double correction) {
    const long c = std::clamp(std::lround(correction), -127L, 127L);
    return static_cast<std::uint8_t>(c < 0 ? c + 255 : c);
}

TLiveRecord LiveRecordOfLine(const TLogData& log, std::size_t line, const TZVDataClass& data,
                             std::array<std::uint8_t, 28>& buffer) {
    buffer.fill(0);
    const TLiveLayout layout = LiveLayoutOfFirmware(data.DeviceData.Firmware);
    const std::size_t length = LiveLayoutLength(layout);
    const std::span<const TPlace> places =
        layout == TLiveLayout::Live11 ? std::span<const TPlace>(kPlaces11) : kPlaces;
    bool flagsLogged = false;
    bool correctionLogged = false;
    for (const TPlace& listed : places) {
        const auto column = log.FindColumn(listed.Name, listed.Occurrence);
        if (!column)
            continue;
        const TPlace place = PlaceIn(log, listed, *column);
        if (place.Index >= length)
            continue;
        buffer[place.Index] |= Filled(place, log.Column(*column).Value(line), data);
        flagsLogged = flagsLogged || place.Index == kWidebandFlags;
        correctionLogged = correctionLogged || place.Fill == TFill::Correction;
    }
    // Without the controller's flags in the log, the record says the startup is done: the
    // logger wrote 0 while it ran, and the pages read the correction byte only with that bit.
    if (correctionLogged && !flagsLogged)
        buffer[kWidebandFlags] |= 1u << kStartupDoneBit;
    return {layout, std::span<const std::uint8_t>(buffer.data(), length)};
}

}  // namespace zv
