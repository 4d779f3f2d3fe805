#include "unit/lambda_controllers.h"

#include <algorithm>
#include <cstdlib>

namespace zv::sim {

namespace {

constexpr std::uint64_t kStuckMs = 10000;
constexpr std::uint64_t kAtLimitMs = 5000;
constexpr std::uint64_t kErrorRetryMs = 2000;

namespace nb {
constexpr std::uint8_t Overrun = 0x01, LimitOverrun = 0x02, Startup = 0x04, Error = 0x08,
                       StartupIndicator = 0x20, Rich = 0x40, AtLimit = 0x80;
constexpr std::uint8_t Holding = Overrun | LimitOverrun | Startup | Error;
}  // namespace nb

namespace wb {
constexpr std::uint8_t SensorError = 0x01, RichLimit = 0x10, LeanLimit = 0x20, Started = 0x40,
                       NoTarget = 0x80;
}

std::uint8_t U8(int v) {
    return static_cast<std::uint8_t>(std::clamp(v, 0, 255));
}

}  // namespace

void TNarrowBandController::SwitchOff() {
    *this = TNarrowBandController{};
}

void TNarrowBandController::Step(const TUnitSettings& s, const TLambdaLoop& loop) {
    if (!Active_) {
        Active_ = true;  // switched on: the error timers start now
        LastSwitchMs_ = loop.NowMs;
    }
    const bool rich = loop.Signal > s.LambdaRefCounts;
    std::uint8_t flags = 0;
    if (loop.Overrun)
        flags |= nb::Overrun;
    if (loop.Throttle > s.LambdaTpsLim)
        flags |= nb::LimitOverrun;
    if (loop.StartupLeftMs > 0) {
        flags |= nb::Startup | nb::StartupIndicator;
        Switched_ = false;
        LastSwitchMs_ = loop.NowMs;
    } else {
        if (rich != Rich_) {
            Switched_ = true;
            LastSwitchMs_ = loop.NowMs;
        }
        if (!Switched_)
            flags |= nb::StartupIndicator;  // the sensor has not answered yet
    }
    // Only time spent regulating counts towards a control error.
    if ((flags & (nb::Overrun | nb::LimitOverrun)) != 0 || !loop.Running)
        LastSwitchMs_ = loop.NowMs;

    if (Error_ && loop.NowMs - ErrorSinceMs_ >= kErrorRetryMs) {
        Error_ = false;
        LastSwitchMs_ = loop.NowMs;
        AtLimit_ = false;
    }
    const bool stuck = loop.NowMs - LastSwitchMs_ > kStuckMs;
    const bool limitTooLong = AtLimit_ && loop.NowMs - AtLimitSinceMs_ > kAtLimitMs;
    if (!Error_ && (stuck || limitTooLong)) {
        Error_ = true;
        ErrorSinceMs_ = loop.NowMs;
    }
    if (Error_)
        flags |= nb::Error;

    if ((flags & nb::Holding) == 0 && loop.Running) {
        if (rich != Rich_)
            Corr16_ += (rich ? -16 : 16) * s.LambdaJump;
        Corr16_ += (rich ? -s.LambdaInt : s.LambdaInt) / 2;
    } else if ((flags & (nb::LimitOverrun | nb::Startup | nb::Error)) != 0) {
        Corr16_ = 0;  // these run on the map alone; overrun keeps the correction for later
    }
    const int limit = s.LambdaIntLim;
    Corr16_ = std::clamp(Corr16_, -16 * limit, 16 * limit);
    const bool atLimit = limit > 0 && std::abs(Corr16_) >= 16 * limit;
    if (atLimit && !AtLimit_)
        AtLimitSinceMs_ = loop.NowMs;
    AtLimit_ = atLimit;
    Rich_ = rich;
    if (rich)
        flags |= nb::Rich;
    if (atLimit)
        flags |= nb::AtLimit;
    Flags_ = flags;
    Value_ = (flags & nb::Startup) != 0 ? U8(static_cast<int>((loop.StartupLeftMs + 999) / 1000))
                                        : U8(128 + Corr16_ / 16);
}

int TWideBandController::MeasuredAfr10(const TUnitSettings& s, int signal) {
    return s.WbAfr10At0V + signal * (s.WbAfr10At5V - s.WbAfr10At0V) / 255;
}

void TWideBandController::Step(const TUnitSettings& s, const TLambdaLoop& loop, int targetByte) {
    std::uint8_t flags = 0;
    if (loop.StartupLeftMs == 0)
        flags |= wb::Started;
    const bool noTarget = (targetByte & 0x80) != 0;
    if (noTarget)
        flags |= wb::NoTarget;
    const bool input = s.WideBandInput();
    if (input && (loop.Signal < s.WbErrorLow || loop.Signal > s.WbErrorHigh)) {
        flags |= wb::SensorError;
    }
    if (!s.Flag(flag::WBO2Control) || !input) {
        Integ16_ = 0;
        Corr_ = 0;
        Flags_ = flags;
        return;
    }
    const int limUp = std::min(s.WbIntLimUp, 127);
    const int limDown = std::min(s.WbIntLimDown, 127);
    // Regulates only where it can trust the reading and the engine burns fuel; elsewhere the
    // correction is held for when it can again.
    if ((flags & (wb::Started | wb::NoTarget | wb::SensorError)) == wb::Started && !loop.Overrun &&
        loop.Running) {
        const int error = MeasuredAfr10(s, loop.Signal) - (targetByte + 105);  // lean > 0
        // The integrator steps once per sensor update, not per loop: at the loop's pace it
        // would run away during the exhaust's dead time (a second at idle) and swing.
        if (loop.NowMs >= NextIntegrateMs_) {
            Integ16_ = std::clamp(Integ16_ + s.WbKi * error, -16 * limDown, 16 * limUp);
            NextIntegrateMs_ = loop.NowMs + kIntegrateMs;
        }
        Corr_ = s.WbKp * error / 16 + Integ16_ / 16;
    }
    Corr_ = std::clamp(Corr_, -limDown, limUp);
    if (limUp > 0 && Corr_ >= limUp)
        flags |= wb::RichLimit;
    if (limDown > 0 && Corr_ <= -limDown)
        flags |= wb::LeanLimit;
    if (s.Flag(flag::WBO2ErrorOnIntLimit) && (flags & (wb::RichLimit | wb::LeanLimit)) != 0) {
        flags |= wb::SensorError;
    }
    Flags_ = flags;
}

}  // namespace zv::sim
