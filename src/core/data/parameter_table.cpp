#include "data/parameter_table.h"

namespace zv {

namespace {

constexpr ParameterRow Pc(const char* key, std::uint16_t min, std::uint16_t max, std::int32_t def,
                          std::uint8_t fw) {
    return {key, min, max, def, fw, ImagePlace::PcOnly, 0, 0};
}
constexpr ParameterRow At(const char* key, std::uint16_t min, std::uint16_t max, std::int32_t def,
                          std::uint8_t fw, std::uint16_t offset) {
    return {key, min, max, def, fw, ImagePlace::Byte, offset, 0};
}
constexpr ParameterRow Flag(const char* key, std::int32_t def, std::uint8_t fw, std::uint8_t bit) {
    return {key, 0, 1, def, fw, ImagePlace::FlagBit, 0, bit};
}

const ParameterRow kParameters[kParameterCount] = {
    {"Pulse", 30, 150, 116, 0, ImagePlace::PulseWord, 0, 0},
    Pc("MaxRot", 0, 10000, 10000, 0),
    Pc("UPIntDel", 0, 255, 0, 0),
    Flag("NarrowBandLambdaControl", 0, 0, 1),
    Flag("DigIO_L_AsPulse", 0, 32, 7),
    Flag("TempInAsLambda", 0, 0, 2),
    Flag("AnaInFMode1", 0, 0, 8),
    Flag("GPInAsLambda", 0, 0, 3),
    Flag("AnaInEMode1", 0, 0, 9),
    Flag("LampAsSelect", 0, 0, 4),
    Flag("TempAddMultSel", 1, 0, 5),
    Flag("GpAddMultSel", 1, 0, 6),
    Flag("IdleControl", 1, 0, 0),
    At("ContactIdle", 0, 150, 34, 0, 2),
    At("ContactFull", 0, 255, 170, 0, 3),
    At("GreenLed", 0, 255, 179, 0, 6),
    At("YellowLed", 0, 255, 186, 0, 7),
    At("RedLed", 0, 255, 194, 0, 8),
    At("LambdaRef", 0, 255, 1, 0, 9),
    At("LambdaJump", 0, 50, 1, 11, 10),
    At("LambdaInt", 0, 50, 4, 11, 11),
    At("LambdaIntLim", 0, 255, 20, 11, 12),
    At("LambdaRpmSetIn", 0, 255, 29, 11, 14),
    At("LambdaTpsLim", 0, 255, 170, 11, 13),
    At("LambdaStartup", 0, 255, 35, 11, 15),
    At("OutValAtZeroRpm", 0, 255, 10, 11, 16),
    At("TpsAccelOutFact", 0, 50, 4, 11, 17),
    At("TpsAccelBackFact", 0, 50, 2, 11, 18),
    At("TpsAccelRetSpeed", 0, 20, 4, 11, 19),
    At("TpsDecelRetSpeed", 0, 20, 2, 11, 20),
    At("MaxOutValue", 0, 255, 254, 11, 21),
    Flag("WBO2Control", 0, 35, 10),
    At("WBO2MessDevice", 0, 7, 0, 11, 32),
    At("WBO2AfrAt0V", 0, 255, 89, 11, 33),
    At("WBO2AfrAt5V", 0, 255, 189, 11, 34),
    At("WBO2AfrOffset", 0, 50, 0, 11, 35),
    At("WBO2ControllerKp", 0, 50, 6, 11, 36),
    At("WBO2ControllerKi", 0, 50, 4, 11, 37),
    At("WBO2ControllerIntLimUp", 0, 255, 15, 11, 38),
    At("WBO2ControllerIntLimDown", 0, 255, 15, 11, 39),
    At("WBO2StartupCounter", 0, 255, 25, 11, 40),
    At("WBO2ErrorDetLimLow", 0, 100, 13, 11, 41),
    At("WBO2ErrorDetLimHigh", 0, 255, 242, 11, 42),
    Flag("WBO2SetErrorOnIntegratorLimit", 0, 11, 11),
};

}  // namespace

const ParameterRow& Parameter(int index) { return kParameters[index]; }

int ParameterIndexOfKey(std::string_view key) {
    for (int i = 0; i < kParameterCount; ++i) {
        if (key == kParameters[i].Key) return i;
    }
    return -1;
}

void DefaultPcOnlyParameters(std::array<std::int32_t, 44>& detail) {
    for (int i = 0; i < kParameterCount; ++i) {
        if (Parameter(i).Place == ImagePlace::PcOnly) detail[static_cast<std::size_t>(i)] = Parameter(i).Default;
    }
}

}  // namespace zv
