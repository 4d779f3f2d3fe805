#include "unit/unit_settings.h"

#include <array>

#include "unit/sim_unit.h"

namespace zv::sim {

namespace {

// Main-area addresses of the settings.
namespace addr {
constexpr int ContactIdle = 2, ContactFull = 3, Flags = 4, GreenLed = 6, YellowLed = 7, RedLed = 8,
              LambdaRef = 9, LambdaJump = 10, LambdaInt = 11, LambdaIntLim = 12, LambdaTpsLim = 13,
              LambdaRpmSetIn = 14, LambdaStartup = 15, OutValAtZeroRpm = 16, TpsAccelOutFact = 17,
              TpsAccelBackFact = 18, TpsAccelRetSpeed = 19, TpsDecelRetSpeed = 20, MaxOutValue = 21,
              WBO2MessDevice = 32, WBO2AfrAt0V = 33, WBO2AfrAt5V = 34, WBO2ControllerKp = 36,
              WBO2ControllerKi = 37, WBO2IntLimUp = 38, WBO2IntLimDown = 39,
              WBO2StartupCounter = 40, WBO2ErrorDetLimLow = 41, WBO2ErrorDetLimHigh = 42,
              TpsScale = 144, TempControl = 176, GeneralPurposeControl = 192, IdleControl = 208,
              TpsSites = 224, RpmSites = 240;
}  // namespace addr

constexpr int kParamFirmware = 11;
// From this firmware index on the reference is a trim around 0.45 V instead of a voltage.
constexpr int kLambdaTrimFirmware = 14;
constexpr int kLambdaSwitchCounts = 23;  // 0.45 V
constexpr int kSitesFirmware = 9;
constexpr std::size_t kAfrMapInArea = 512;

// The older units' fixed sites, stored highest first.
constexpr std::array<std::uint8_t, 16> kOldTpsSites = {242, 228, 214, 200, 186, 172, 158, 144,
                                                       129, 115, 101, 87,  73,  59,  45,  31};
constexpr std::array<std::uint8_t, 16> kOldRpmSites = {225, 212, 200, 187, 175, 162, 150, 137,
                                                       125, 105, 85,  65,  45,  30,  15,  7};

TInputFunction InputFunction(std::uint16_t flags, int asLambdaBit, int modeBit) {
    if (((flags >> asLambdaBit) & 1) == 0)
        return TInputFunction::Plain;
    return ((flags >> modeBit) & 1) != 0 ? TInputFunction::WideBand : TInputFunction::NarrowBand;
}

}  // namespace

TUnitSettings TUnitSettings::Read(const TUnitMemoryView& memory) {
    const std::uint8_t* main = memory.Main;
    TUnitSettings s;
    s.Firmware = memory.Firmware;
    const bool hasParams = s.Firmware >= kParamFirmware;
    const auto param = [&](int address, int& field) {
        if (hasParams)
            field = main[address];
    };
    s.Flags = static_cast<std::uint16_t>(main[addr::Flags] | (main[addr::Flags + 1] << 8));
    s.ContactIdle = main[addr::ContactIdle];
    s.ContactFull = main[addr::ContactFull];
    s.GreenLed = main[addr::GreenLed];
    s.YellowLed = main[addr::YellowLed];
    s.RedLed = main[addr::RedLed];

    s.LambdaRefCounts = s.Firmware < kLambdaTrimFirmware
                            ? main[addr::LambdaRef]
                            : kLambdaSwitchCounts + static_cast<std::int8_t>(main[addr::LambdaRef]);
    param(addr::LambdaJump, s.LambdaJump);
    param(addr::LambdaInt, s.LambdaInt);
    param(addr::LambdaIntLim, s.LambdaIntLim);
    param(addr::LambdaTpsLim, s.LambdaTpsLim);
    param(addr::LambdaRpmSetIn, s.LambdaRpmSetIn);
    param(addr::LambdaStartup, s.LambdaStartup);
    param(addr::OutValAtZeroRpm, s.OutValAtZeroRpm);
    param(addr::MaxOutValue, s.MaxOutValue);
    param(addr::TpsAccelOutFact, s.TpsAccelOutFact);
    param(addr::TpsAccelBackFact, s.TpsAccelBackFact);
    param(addr::TpsAccelRetSpeed, s.TpsAccelRetSpeed);
    param(addr::TpsDecelRetSpeed, s.TpsDecelRetSpeed);

    // The sensor units the program knows have fixed scales; the free settings use their bytes.
    switch (main[addr::WBO2MessDevice]) {
        case 2:
        case 4:
            s.WbAfr10At0V = 90;
            s.WbAfr10At5V = 190;
            break;
        case 3:
            s.WbAfr10At0V = 100;
            s.WbAfr10At5V = 180;
            break;
        case 5:
            s.WbAfr10At0V = 74;
            s.WbAfr10At5V = 224;
            break;
        case 6:
            s.WbAfr10At0V = 100;
            s.WbAfr10At5V = 200;
            break;
        case 7:
            s.WbAfr10At0V = 0;
            s.WbAfr10At5V = 243;
            break;
        default:
            s.WbAfr10At0V = main[addr::WBO2AfrAt0V];
            s.WbAfr10At5V = main[addr::WBO2AfrAt5V];
            break;
    }
    if (s.WbAfr10At0V >= s.WbAfr10At5V) {
        s.WbAfr10At0V = 0;
        s.WbAfr10At5V = 254;
    }
    s.WbKp = main[addr::WBO2ControllerKp];
    s.WbKi = main[addr::WBO2ControllerKi];
    s.WbIntLimUp = main[addr::WBO2IntLimUp];
    s.WbIntLimDown = main[addr::WBO2IntLimDown];
    s.WbStartup = main[addr::WBO2StartupCounter];
    s.WbErrorLow = main[addr::WBO2ErrorDetLimLow];
    s.WbErrorHigh = main[addr::WBO2ErrorDetLimHigh];

    s.InputF = InputFunction(s.Flags, flag::TempInAsLambda, flag::AnaInFMode1);
    s.InputE = InputFunction(s.Flags, flag::GPInAsLambda, flag::AnaInEMode1);

    s.TpsScale = main + addr::TpsScale;
    s.TempControl = main + addr::TempControl;
    s.GeneralPurposeControl = main + addr::GeneralPurposeControl;
    s.IdleControl = main + addr::IdleControl;
    const bool ownSites = s.Firmware >= kSitesFirmware;
    s.TpsSites = ownSites ? main + addr::TpsSites : kOldTpsSites.data();
    s.RpmSites = ownSites ? main + addr::RpmSites : kOldRpmSites.data();
    s.FuelMap = main + FuelMapAddress(s.Firmware);
    s.AfrMap = memory.Afr + kAfrMapInArea;
    return s;
}

}  // namespace zv::sim
