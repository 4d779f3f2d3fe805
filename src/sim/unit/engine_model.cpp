#include "unit/engine_model.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "data/default_data.h"
#include "unit/map_lookup.h"

namespace zv::sim {

namespace {

constexpr double kStoichAfr10 = 147.0;
constexpr double kSwitchPoint = 23.0;             // a cold narrowband sensor sits at 0.45 V
constexpr std::uint64_t kNbSensorWarmMs = 15000;  // heated narrowband sensor
constexpr std::uint64_t kMaxCatchUpMs = 600000;
constexpr int kWideBandFirmware = 24;  // records from here on carry the controller
constexpr int kAddMultFirmware = 15;   // additive corrections from here on
// Overrun fuel cut begins this far (raw speed) above LambdaRpmSetIn and ends at it.
constexpr int kOverrunHysteresis = 20;

std::uint8_t U8(int v) {
    return static_cast<std::uint8_t>(std::clamp(v, 0, 255));
}

// The engine's fuel need: the default map run at the default AFR targets (cells without a
// target at 14.7).
struct TEngineNeed {
    std::array<std::array<int, 16>, 16> Map{};    // [t][r], lowest first
    std::array<std::array<int, 16>, 16> Afr10{};  // AFR x 10
    SiteList Tps{}, Rpm{};

    TEngineNeed() {
        for (std::size_t t = 0; t < 16; ++t) {
            const ByteRow map = DefaultMapRow(static_cast<int>(t));
            const ByteRow afr = DefaultAfrRow(static_cast<int>(t));
            for (std::size_t r = 0; r < 16; ++r) {
                Map[t][r] = map[r];
                Afr10[t][r] = afr[r] >= 64 ? 147 : afr[r] + 105;
            }
        }
        Tps = SitesFromStored(DefaultLinRow(lin::TpsSites).data());
        Rpm = SitesFromStored(DefaultLinRow(lin::RpmSites).data());
    }

    // Fuel output that burns at lambda 1.
    double StoichOutput(int tps, int rpmRaw) const {
        const auto at = [](const std::array<std::array<int, 16>, 16>& grid) {
            return [&grid](int t, int r) {
                return grid[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)];
            };
        };
        const int map = InterpolateMap(at(Map), Tps, Rpm, tps, rpmRaw);
        const int afr10 = InterpolateMap(at(Afr10), Tps, Rpm, tps, rpmRaw);
        return map * afr10 / kStoichAfr10;
    }
};

const TEngineNeed& EngineNeed() {
    static const TEngineNeed need;
    return need;
}

// A temperature or general-purpose curve value as a fuel factor.
double CorrectionFactor(int b, bool additive) {
    if (additive)
        return 1.0 + (b * 100 / 255) / 100.0;
    return 1.0 + std::min(b, 191) * 3.0 / 191.0;
}

// Idle compensation byte b as a fuel factor: (b x 200 div 255) - 100 percent.
double IdleCompensation(int b) {
    return (100.0 + (b * 200 / 255 - 100)) / 100.0;
}

std::uint32_t LeftMs(int seconds, std::uint64_t sinceStartMs, bool running) {
    const std::uint64_t total = static_cast<std::uint64_t>(seconds) * 1000;
    if (!running)
        return static_cast<std::uint32_t>(total);
    return static_cast<std::uint32_t>(total > sinceStartMs ? total - sinceStartMs : 0);
}

int InputRaw(TInputFunction function, int narrowBand, int wideBand, int plain) {
    switch (function) {
        case TInputFunction::NarrowBand:
            return narrowBand;
        case TInputFunction::WideBand:
            return wideBand;
        default:
            return plain;
    }
}

}  // namespace

void TEngineModel::AdvanceTo(std::uint64_t nowMs, const TUnitMemoryView& memory) {
    if (nowMs > NextLoopMs_ + kMaxCatchUpMs) {
        NextLoopMs_ = (nowMs - kMaxCatchUpMs) / kLoopMs * kLoopMs;
    }
    while (NextLoopMs_ <= nowMs) {
        Loop(NextLoopMs_, memory);
        NextLoopMs_ += kLoopMs;
    }
}

void TEngineModel::StepSensors(const TUnitSettings& s, std::uint64_t sinceStartMs, bool started) {
    // A heated narrowband sensor switches steeply around lambda 1.
    const double nbTarget = !started || sinceStartMs < kNbSensorWarmMs
                                ? kSwitchPoint
                                : 5.0 + 36.0 / (1.0 + std::exp((Lambda_ - 1.0) * 80.0));
    NbSignal_ += (nbTarget - NbSignal_) * 0.15;
    // The wideband device's output on the scale the unit is set to; 0 V while it heats.
    WbSensor_.Step(Lambda_, Inputs_.TpsRaw, Inputs_.Rpm, started, sinceStartMs);
    const double span = s.WbAfr10At5V - s.WbAfr10At0V;
    const double counts = (kStoichAfr10 * WbSensor_.Lambda() - s.WbAfr10At0V) * 255.0 / span;
    WbSignal_ = WbSensor_.Ready() ? std::clamp(counts, 0.0, 255.0) : 0.0;
}

int TEngineModel::StepAcceleration(const TUnitSettings& s, int tpsScaled) {
    const int ds = tpsScaled - PrevTpsScaled_;
    PrevTpsScaled_ = tpsScaled;
    if (ds > 0)
        Accel4_ += ds * s.TpsAccelOutFact * 2;
    if (ds < 0)
        Accel4_ += ds * s.TpsAccelBackFact * 2;
    if (Accel4_ > 0)
        Accel4_ = std::max(0, Accel4_ - s.TpsAccelRetSpeed);
    if (Accel4_ < 0)
        Accel4_ = std::min(0, Accel4_ + s.TpsDecelRetSpeed);
    Accel4_ = std::clamp(Accel4_, -512, 508);
    return Accel4_ / 4;
}

double TEngineModel::StepIdle(const TUnitSettings& s, bool idleContact, bool running,
                              TLiveValues& v) {
    // Opened further when cold, held as a dashpot while the throttle is open.
    const double cold = std::clamp((85.0 - Inputs_.CoolantC) / 65.0, 0.0, 1.0);
    const bool on = s.Flag(flag::IdleControl);
    double target = 0.0;
    if (on) {
        const double idleRpm = 900.0 + 200.0 * cold;
        target = idleContact ? 60.0 + 80.0 * cold + (idleRpm - Inputs_.Rpm) / 10.0 : 90.0;
        target = std::clamp(target, 0.0, 255.0);
    }
    IdlePosition_ += std::clamp(target - IdlePosition_, -2.0, 2.0);
    v.IdlePosition = U8(static_cast<int>(IdlePosition_));
    v.IdleVal = U8(CurveAt(s.IdleControl, v.IdlePosition));
    if (!on || !idleContact || !running) {
        IdleAirFactor_ = 1.0;
        return 1.0;
    }
    // The air the valve passes at this position, as the default compensation curve meets it.
    const int defaultCompensation = CurveAt(DefaultLinRow(lin::IdleControl).data(), v.IdlePosition);
    IdleAirFactor_ = IdleCompensation(defaultCompensation);
    return IdleCompensation(v.IdleVal);
}

std::uint8_t TEngineModel::StatusByte(const TUnitSettings& s, int rpmRaw, bool idleContact,
                                      bool fullContact, int narrowBandSignal) {
    std::uint8_t status = 0;
    // Pin L: the idle contact, or a 50 Hz square wave toggled every 10 ms loop.
    PinL_ = s.Flag(flag::DigIOLAsPulse) ? !PinL_ : idleContact;
    if (PinL_)
        status |= 0x01;
    if (s.Flag(flag::LampAsSelect) && s.NarrowBandInput()) {
        // Lambda indicator: the lamp wiring swapped ends after firmware 18.
        const std::uint8_t richLamp = s.Firmware > 18 ? 0x08 : 0x20;
        const std::uint8_t leanLamp = s.Firmware > 18 ? 0x20 : 0x08;
        status |= narrowBandSignal <= 9 ? leanLamp : narrowBandSignal >= 33 ? richLamp : 0x10;
    } else {
        if (rpmRaw >= s.GreenLed)
            status |= 0x08;
        if (rpmRaw >= s.YellowLed)
            status |= 0x10;
        if (rpmRaw >= s.RedLed)
            status |= 0x20;
    }
    if (idleContact)
        status |= 0x40;
    if (fullContact)
        status |= 0x80;
    return status;
}

void TEngineModel::Loop(std::uint64_t nowMs, const TUnitMemoryView& memory) {
    const TUnitSettings s = TUnitSettings::Read(memory);
    const bool started = nowMs >= EngineStartMs_;
    const std::uint64_t since = started ? nowMs - EngineStartMs_ : 0;
    Inputs_ = Cycle_.At(since, SitesFromStored(s.TpsSites), SitesFromStored(s.RpmSites));
    const bool running = started && Inputs_.Rpm > 0;
    TLiveValues v;
    v.LoopCnt = static_cast<std::uint8_t>(Values_.LoopCnt + 1);

    // Operating point and contacts.
    const int tps = Inputs_.TpsRaw;
    const int rpmRaw = std::min(Inputs_.Rpm * 255 / 10000, 255);
    const bool idleContact = tps <= s.ContactIdle;
    const bool fullContact = tps >= s.ContactFull;
    const int tpsScaled = CurveAt(s.TpsScale, tps);

    // Inputs E and F.
    StepSensors(s, since, started);
    const int nbRaw = static_cast<int>(NbSignal_);
    const int wbRaw = static_cast<int>(WbSignal_);
    v.AnaInF = U8(InputRaw(s.InputF, nbRaw, wbRaw, Inputs_.TempSensorRaw));
    v.AnaInE = U8(InputRaw(s.InputE, nbRaw, wbRaw, Inputs_.GpSensorRaw));
    v.UFoto = U8(Inputs_.PhotoRaw);
    const int nbQ = s.NarrowBandInput() ? nbRaw : 0;
    const int wbQ = s.WideBandInput() ? wbRaw : 0;
    // The 10-bit conversion sees the wideband signal, else whatever input F carries.
    const double adcSource = s.WideBandInput()                        ? WbSignal_
                             : s.InputF == TInputFunction::NarrowBand ? NbSignal_
                                                                      : Inputs_.TempSensor;
    v.WbAdc = static_cast<std::uint16_t>(
        std::clamp(static_cast<int>(adcSource * 1023.0 / 255.0), 0, 1023) << 6);

    // Fuel map value of the operating point.
    const int lmVal = InterpolateMap(
        [&s](int t, int r) { return static_cast<int>(s.FuelMap[16 * (15 - t) + (15 - r)]); },
        SitesFromStored(s.TpsSites), SitesFromStored(s.RpmSites), tps, rpmRaw);
    const int accel = StepAcceleration(s, tpsScaled);

    // Temperature and general-purpose corrections (none while the input is a lambda input).
    const bool plainF = s.InputF == TInputFunction::Plain;
    const bool plainE = s.InputE == TInputFunction::Plain;
    v.CompFVal = U8(plainF ? CurveAt(s.TempControl, v.AnaInF) : 0);
    v.CompEVal = U8(plainE ? CurveAt(s.GeneralPurposeControl, v.AnaInE) : 0);
    const bool addModes = s.Firmware >= kAddMultFirmware;
    const double factorF = CorrectionFactor(v.CompFVal, addModes && s.Flag(flag::TempAddMult));
    const double factorE = CorrectionFactor(v.CompEVal, addModes && s.Flag(flag::GpAddMult));
    const double idleFactor = StepIdle(s, idleContact, running, v);

    // Overrun fuel cut: closed throttle well above the set-in speed, resumed at it.
    if (idleContact && running && rpmRaw > s.LambdaRpmSetIn + kOverrunHysteresis)
        Overrun_ = true;
    if (!idleContact || !running || rpmRaw <= s.LambdaRpmSetIn)
        Overrun_ = false;

    // Lambda controllers.
    TLambdaLoop loop;
    loop.NowMs = nowMs;
    loop.Running = running;
    loop.Overrun = Overrun_;
    loop.Throttle = tps;
    if (s.Flag(flag::NarrowBand) && s.NarrowBandInput()) {
        loop.StartupLeftMs = LeftMs(s.LambdaStartup, since, running);
        loop.Signal = nbQ;
        NarrowBand_.Step(s, loop);
    } else {
        NarrowBand_.SwitchOff();
    }
    v.NbFlags = NarrowBand_.Flags();
    v.LambdaVal = NarrowBand_.ValueByte();

    const bool wideBandUnit = s.Firmware >= kWideBandFirmware;
    int targetByte = 0xFF;
    if (wideBandUnit) {
        const int ti = SiteIndex(tps, s.TpsSites);
        const int ri = SiteIndex(rpmRaw, s.RpmSites);
        targetByte = s.AfrMap[16 * ti + ri];
        loop.StartupLeftMs = LeftMs(s.WbStartup, since, running);
        loop.Signal = wbQ;
        WideBand_.Step(s, loop, targetByte);
        v.WboStartupMs = loop.StartupLeftMs;
        v.WboCorrection = WideBand_.CorrectionByte();
    }

    // Injector output.
    const double beforeLambda = lmVal * factorF * factorE * idleFactor;
    const double wanted =
        beforeLambda * NarrowBand_.FuelFactor() * WideBand_.FuelFactor() + accel / 2.0;
    int out = 0;
    if (!running) {
        out = s.OutValAtZeroRpm;
    } else if (!Overrun_) {
        out = static_cast<int>(wanted);
    }
    out = std::clamp(out, 0, s.MaxOutValue);
    const bool atMaxOut = running && !Overrun_ && wanted >= s.MaxOutValue;
    v.LMVal = U8(lmVal);
    v.LMOut = U8(out);
    v.InjectorUs = static_cast<std::uint16_t>(out * 40);
    if (wideBandUnit) {
        v.WboFlags = static_cast<std::uint8_t>(WideBand_.Flags() | (atMaxOut ? 0x02 : 0));
        // Diagnostics: the target cell and the measured AFR, both in the AFR map's code.
        v.LMVal1 = U8(targetByte);
        v.LMVal2 = s.WideBandInput()
                       ? U8(std::min(TWideBandController::MeasuredAfr10(s, wbQ) - 105, 254))
                       : 0xFF;
    } else {
        // Diagnostics: the output after the input corrections and after the lambda correction.
        v.LMVal1 = U8(static_cast<int>(lmVal * factorF * factorE));
        v.LMVal2 = U8(static_cast<int>(beforeLambda * NarrowBand_.FuelFactor()));
    }

    // The mixture this output gives.
    if (!running || out == 0) {
        Lambda_ = 5.0;  // nothing but air
    } else {
        const double cold = std::clamp((85.0 - Inputs_.CoolantC) / 65.0, 0.0, 1.0);
        const double need =
            EngineNeed().StoichOutput(tps, rpmRaw) * (1.0 + 0.25 * cold) * IdleAirFactor_;
        Lambda_ = std::clamp(need * (1.0 + Inputs_.Disturbance) / out, 0.5, 5.0);
    }

    v.Status = StatusByte(s, rpmRaw, idleContact, fullContact, nbQ);
    v.RpmRaw = U8(rpmRaw);
    v.TpsRaw = U8(tps);
    v.TpsScaled = U8(tpsScaled);
    v.TpsAccel = static_cast<std::uint8_t>(static_cast<std::int8_t>(accel));
    v.Rpm = static_cast<std::uint16_t>(std::min(Inputs_.Rpm, 65535));
    Values_ = v;
}

}  // namespace zv::sim
