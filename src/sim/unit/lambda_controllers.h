#pragma once

#include <cstdint>

#include "unit/unit_settings.h"

namespace zv::sim {

// What one loop tells a lambda controller about the engine.
struct TLambdaLoop {
    std::uint64_t NowMs = 0;
    bool Running = false;  // the engine turns
    bool Overrun = false;  // fuel cut with closed throttle
    int Throttle = 0;      // raw throttle
    std::uint32_t StartupLeftMs = 0;
    int Signal = 0;  // the sensor's input byte
};

// Jump-and-integrate controller on a switching sensor around LambdaRef. Bits of its status
// byte: 0 overrun, 1 throttle above LambdaTpsLim, 2 startup counting, 3 control error (no switch
// for 10 s or the correction at LambdaIntLim for 5 s; the correction falls back to neutral and
// the controller tries again after 2 s), 5 startup or waiting for the first switch after it,
// 6 sensor rich, 7 correction at its limit.
class TNarrowBandController {
  public:
    void Step(const TUnitSettings& s, const TLambdaLoop& loop);
    void SwitchOff();

    std::uint8_t Flags() const { return Flags_; }
    // 128 + correction, or the startup seconds left while bit 2 is set.
    std::uint8_t ValueByte() const { return Value_; }
    double FuelFactor() const { return 1.0 + (Corr16_ / 16) / 128.0; }

  private:
    bool Active_ = false;
    int Corr16_ = 0;  // sixteenths of a count
    bool Rich_ = false;
    bool Switched_ = false;
    std::uint64_t LastSwitchMs_ = 0;
    bool AtLimit_ = false;
    std::uint64_t AtLimitSinceMs_ = 0;
    bool Error_ = false;
    std::uint64_t ErrorSinceMs_ = 0;
    std::uint8_t Flags_ = 0;
    std::uint8_t Value_ = 128;
};

// Proportional-integral controller on the wideband input against the AFR target map cell of
// the operating point. Bits of its status byte: 0 sensor error (signal outside the error limits,
// or an integrator limit with WBO2SetErrorOnIntegratorLimit), 1 output at MaxOutValue (set by
// the caller), 4 correction at the rich limit, 5 at the lean limit, 6 startup done, 7 cell NC.
class TWideBandController {
  public:
    // targetByte: the AFR map cell (bit 7 set: no target).
    void Step(const TUnitSettings& s, const TLambdaLoop& loop, int targetByte);

    std::uint8_t Flags() const { return Flags_; }
    int Correction() const { return Corr_; }
    // The correction as the record carries it: 0..127, or 255 + correction below zero.
    std::uint8_t CorrectionByte() const {
        return static_cast<std::uint8_t>(Corr_ >= 0 ? Corr_ : 255 + Corr_);
    }
    double FuelFactor() const { return 1.0 + Corr_ / 128.0; }
    // Measured AFR x 10 on the unit's scale.
    static int MeasuredAfr10(const TUnitSettings& s, int signal);

  private:
    static constexpr std::uint64_t kIntegrateMs = 200;
    int Integ16_ = 0;  // sixteenths of a count
    std::uint64_t NextIntegrateMs_ = 0;
    int Corr_ = 0;
    std::uint8_t Flags_ = 0;
};

}  // namespace zv::sim
