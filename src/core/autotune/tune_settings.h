#pragma once

#include <array>
#include <optional>

namespace zv {

class TZVDataClass;

// How long the gas takes from the cylinder to the wideband reading: a fixed part (the sensor,
// its controller, the last stretch of pipe) and the exhaust volume swept out by the gas flow,
// which grows with engine speed and with load. The throttle stands in for the load: even a
// closed throttle passes some air, and the flow is near its full value long before the throttle
// is wide open. About 1 s at idle, 0.12 s at 6000 rpm full load with the defaults.
struct TDelayModel {
    double BaseMs = 80.0;
    // Milliseconds times rpm at full load: the gas travel time at 1 rpm and full load.
    double VolumeMsRpm = 285000.0;

    double DelayMs(double rpm, double rawThrottle) const;
    bool operator==(const TDelayModel&) const = default;
};

// The share of full load a throttle position (raw counts) stands for.
double LoadOfThrottle(double rawThrottle);

// Fuel map cells autotune leaves alone, [t][r] by site index, lowest first.
using TCellLocks = std::array<std::array<bool, 16>, 16>;

// The filters and limits of one autotune run. Every filter can be switched off or moved; the
// defaults are those of a careful first pass.
struct TTuneSettings {
    // Whether the data set runs the wideband controller. Off, its start-up and its correction
    // do not matter: the fuel was the map's alone.
    bool ControllerOn = true;
    // Wideband controller state, where the samples carry its flag byte.
    bool RequireStartupDone = true;
    // The injector output at its own maximum: the fuel was less than the map asked for. (The
    // controller at its rich or lean limit still applied a known correction and counts.)
    bool RejectAtLimit = true;

    // Steady throttle: no acceleration value and the throttle moved no more than this (in
    // percent) in the window before the reading's operating point.
    bool RequireSteadyThrottle = true;
    double SteadyWindowS = 0.3;
    double MaxThrottleChangePercent = 2.0;

    double MinRpm = 600.0;  // an engine speed of at least this

    // Fuel cut (output 0 or the overrun state) and acceleration enrichment leave gas of another
    // mixture in the exhaust: readings are not used while that gas may still be on its way, for
    // this many gas travel times after the cut or the enrichment ended.
    bool RejectFuelCut = true;
    double FuelCutHoldoff = 1.0;
    bool RejectEnrichment = true;
    double EnrichmentHoldoff = 1.0;
    // Where the log has no acceleration value, a moving throttle stands for the enrichment,
    // which runs out within this time (the unit's own runs out within 1.3 s at most).
    double EnrichmentS = 1.5;

    // A cold engine needs more fuel than the map gives it warm: readings less than WarmUpS after
    // an engine start the log shows are not used, nor those while the temperature correction
    // lies more than WarmCorrection above the value it settles to.
    bool RejectWarmUp = true;
    double WarmUpS = 300.0;
    double WarmCorrection = 2.0;

    // The AFR readings the sensor can give: the data set's error limits on the sensor scale.
    // Readings of 0 never count.
    double AfrMin = 0.0;
    double AfrMax = 0.0;

    // A mark or an edit unsettles the engine and changes the map: readings whose operating point
    // lies less than this after one are not used.
    double AfterMarkS = 2.0;

    // The sensor delay: the model times DelayScale, or a fixed delay. With EstimateDelay the
    // model's volume comes from the log's fuel-cut edges where it has at least MinDelayEdges.
    TDelayModel Delay;
    bool EstimateDelay = true;
    int MinDelayEdges = 4;
    std::optional<double> FixedDelayMs;
    double DelayScale = 1.0;
    // Records further apart than this around the delayed operating point leave it unknown.
    double MaxRecordGapS = 0.5;

    // A cell changes only with at least this much sample weight on it (a sample on the cell's
    // sites counts 1; one between cells shares its 1 among the four around it).
    double MinSamples = 20.0;
    double AuthorityPercent = 10.0;  // at most this much change per pass
    // How strongly neighbouring cells' corrections are held alike, in samples' worth.
    double Smoothing = 4.0;

    TCellLocks Locked{};

    double SensorDelayMs(double rpm, double rawThrottle) const;
    bool IsLocked(int t, int r) const;
};

// The defaults with the AFR limits of the data set's sensor (its error limits through its
// scale) and whether it runs the wideband controller.
TTuneSettings TuneSettingsFor(const TZVDataClass& data);

}  // namespace zv
