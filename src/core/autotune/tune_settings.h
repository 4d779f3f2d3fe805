#pragma once

#include <optional>

namespace zv {

class TZVDataClass;

// How long the exhaust takes from the valve to the wideband sensor and through the controller
// that reads it: shorter at higher engine speed, never more than 600 ms.
double DefaultSensorDelayMs(double rpm);

// The filters and limits of one autotune run. Every filter can be switched off or moved; the
// defaults are those of a careful first pass.
struct TTuneSettings {
    // Wideband controller state, where the samples carry its flag byte.
    bool RequireStartupDone = true;
    // The controller's correction at its rich or lean limit, or the output at its own limit:
    // the fuel was then not the map times the correction.
    bool RejectAtLimit = true;

    // Steady throttle: no acceleration value and the throttle moved no more than this (in
    // percent) in the window before the reading's operating point.
    bool RequireSteadyThrottle = true;
    double SteadyWindowS = 0.3;
    double MaxThrottleChangePercent = 2.0;

    double MinRpm = 600.0;  // an engine speed of at least this

    // The AFR readings the sensor can give: the data set's error limits on the sensor scale.
    // Readings of 0 never count.
    double AfrMin = 0.0;
    double AfrMax = 0.0;

    // A mark or an edit unsettles the engine and changes the map: readings whose operating point
    // lies less than this after one are not used.
    double AfterMarkS = 2.0;

    // The sensor delay: the default curve times DelayScale, or a fixed delay.
    std::optional<double> FixedDelayMs;
    double DelayScale = 1.0;
    // Records further apart than this around the delayed operating point leave it unknown.
    double MaxRecordGapS = 0.5;

    // A cell changes only with at least this much sample weight on it (a sample on the cell's
    // sites counts 1; one between cells shares its 1 among the four around it).
    double MinSamples = 20.0;
    double AuthorityPercent = 10.0;  // at most this much change per pass

    double SensorDelayMs(double rpm) const;
};

// The defaults with the AFR limits of the data set's sensor: its error limits through its scale.
TTuneSettings TuneSettingsFor(const TZVDataClass& data);

}  // namespace zv
