#pragma once
// Logs typed for autotune: the newer wideband line, runs of steady readings at given points.
#include <cstdio>
#include <initializer_list>
#include <string>

namespace zv::test {

// A log of the newer wideband line: a run of 30 readings 0.1 s apart at each given point.
struct TRun {
    double Rpm;
    double ThrottlePercent;
    double Afr;
};

inline std::string LogLine(int ms, const TRun& run) {
    char line[256];
    std::snprintf(line, sizeof line,
                  "%07d\t001\t%.0f\t%.1f\t040\t050\t%.2f\t0\t070\t080\t090\t100\t110\t120\t064\t"
                  "0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t000\t064\t020\t021\t022\t",
                  ms, run.Rpm, run.ThrottlePercent, run.Afr);
    return line;
}

inline std::string TuneLogText(std::initializer_list<TRun> runs) {
    const std::string rule = ";-----------------------------------------------";
    std::string text = rule + "\r\n; Zevrin plus Log file\r\n; Serial No.: ZP-1\r\n" + rule +
                       "\r\n; Log opened: 2026-12-08  06:00:00\r\n" + rule +
                       "\r\nPCCnt\tLoopCnt\tEngine Rpm\tTPS[%]\tIdle\tIdleVal\tInF_AFR\tCompF_AFR\t"
                       "AnaInE\tCompEVal\tUFoto\tLMVal\tLMVal1\tLMVal2\tLMOut\tIdleContact\t"
                       "WOTContact\tShiftLightGreen\tShiftLightYellow\tShiftLightRed\t"
                       "LambdaShiftMode\tLambdaLimOff\tLambdaStartup\tLambdaError\tLambdaStartup\t"
                       "LambdaTest1\tLambdaTest2\tTPS accel val\tWBO2 Flags\tTPS scaled\tDebug_0\t"
                       "Debug_1\t\r\n\r\n";
    int ms = 1000;
    for (const TRun& run : runs) {
        for (int i = 0; i < 30; ++i, ms += 100)
            text += LogLine(ms, run) + "\r\n";
        ms += 10000;
    }
    return text;
}

// Over the autotune fixture's data set (sites 51 = 20 %, 102 = 40 %, 4000 rpm at index 3, a
// flat map of 100 and targets of 14.7): lean by a tenth at 4000 rpm / 40 % (the 3/3 cell:
// 100 -> 110), rich by 5 % at 4000 rpm / 20 % (the 2/3 cell: 100 -> 95).
inline constexpr TRun kLean{4000, 40.0, 16.17};
inline constexpr TRun kRich{4000, 20.0, 13.965};

}  // namespace zv::test
