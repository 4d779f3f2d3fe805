#pragma once

#include <cstdint>

#include "unit/drive_cycle.h"
#include "unit/lambda_controllers.h"
#include "unit/live_record.h"
#include "unit/unit_settings.h"
#include "unit/wideband_sensor.h"

namespace zv::sim {

// The unit's control loop over a simulated engine. Every 10 ms of virtual time it reads its
// parameters from memory (so a write takes effect in the next loop) and computes what the live
// records report:
// - the map value of the operating point, interpolated over the unit's own sites as the fuel map
//   view does; older units (firmware below 9) use their fixed sites;
// - idle and full-load contacts against ContactIdle/ContactFull; the idle actuator (IdleControl
//   switch) and its compensation curve; the throttle scaling curve and the acceleration value
//   (TpsAccel* parameters);
// - temperature (input F) and general-purpose (input E) corrections from their curves, additive
//   or multiplicative by the flags word from firmware 15 on, multiplicative below;
// - narrowband controller (jump and integrate around LambdaRef, startup counter, overrun fuel cut
//   with LambdaRpmSetIn, limit overrun above LambdaTpsLim, control error) and, from firmware 24,
//   the wideband PI controller against the AFR target map (startup counter, NC lockout, sensor
//   error limits, integrator limits, output at MaxOutValue);
// - the injector output and the mixture it gives, which the lambda sensors on inputs E and F
//   report (their function by flags bits 2, 3, 8, 9; the wideband one late, see
//   TWidebandSensor), and the shift lamps against
//   GreenLed/YellowLed/RedLed or, with LampAsSelect, as lambda indicators.
// Parameters that a firmware does not have (those that appear with firmware 11) take their
// defaults. The engine's own fuel need is what the default data set delivers at the default AFR
// targets (its fuel map and idle compensation curve), richer when cold; a unit holding the
// default data set therefore runs at its targets once warm, and a changed map, curve or
// correction moves the mixture that the sensors show.
class TEngineModel {
  public:
    static constexpr std::uint64_t kLoopMs = 10;

    // Virtual time of the engine start; before it the engine stands still.
    void SetEngineStart(std::uint64_t ms) { EngineStartMs_ = ms; }
    std::uint64_t EngineStartMs() const { return EngineStartMs_; }

    // Runs the loop in 10 ms steps up to nowMs (never backwards). A gap of more than ten
    // minutes is shortened to its last ten minutes; every controller has settled by then.
    void AdvanceTo(std::uint64_t nowMs, const TUnitMemoryView& memory);

    const TLiveValues& Values() const { return Values_; }
    std::uint64_t LastLoopMs() const { return NextLoopMs_ - kLoopMs; }
    const TEngineInputs& Inputs() const { return Inputs_; }
    double Lambda() const { return Lambda_; }  // the mixture the engine burns
    bool Overrun() const { return Overrun_; }

    TDriveCycle& Cycle() { return Cycle_; }
    const TDriveCycle& Cycle() const { return Cycle_; }

  private:
    void Loop(std::uint64_t nowMs, const TUnitMemoryView& memory);
    // Sensor signals from the mixture of the previous loop.
    void StepSensors(const TUnitSettings& s, std::uint64_t sinceStartMs, bool started);
    int StepAcceleration(const TUnitSettings& s, int tpsScaled);
    double StepIdle(const TUnitSettings& s, bool idleContact, bool running, TLiveValues& v);
    std::uint8_t StatusByte(const TUnitSettings& s, int rpmRaw, bool idleContact, bool fullContact,
                            int narrowBandSignal);

    TDriveCycle Cycle_;
    std::uint64_t EngineStartMs_ = 0;
    std::uint64_t NextLoopMs_ = 0;

    TEngineInputs Inputs_;
    TLiveValues Values_;
    double Lambda_ = 5.0;
    double NbSignal_ = 23.0;  // narrowband sensor, counts of 51 per volt
    TWidebandSensor WbSensor_;
    double WbSignal_ = 0.0;  // wideband controller output, counts
    int PrevTpsScaled_ = 0;
    int Accel4_ = 0;  // acceleration value in quarters
    double IdlePosition_ = 0;
    double IdleAirFactor_ = 1.0;  // extra fuel the engine needs for the idle valve's air
    bool Overrun_ = false;
    bool PinL_ = false;
    TNarrowBandController NarrowBand_;
    TWideBandController WideBand_;
};

}  // namespace zv::sim
