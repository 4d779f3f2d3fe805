#pragma once

// Logs typed for the viewer's tests: the layout of a unit with firmware 28 or more, a wideband
// sensor on input F and a narrowband probe on input E.
#include <cstdio>
#include <string>
#include <vector>

#include "data/zv_data_class.h"
#include "logview/log_reader.h"

namespace zv::test {

inline const std::string kWidebandColumns =
    "LoopCnt\tEngine Rpm\tTPS[%]\tIdle\tIdleVal\tInF_AFR\tCompF_AFR\tInE_NB\tCompE_NB\tUFoto\t"
    "LMVal\tLMVal1\tLMVal2\tLMOut\tIdleContact\tWOTContact\tShiftLightGreen\tShiftLightYellow\t"
    "ShiftLightRed\tLambdaShiftMode\tLambdaLimOff\tLambdaStartup\tLambdaError\tLambdaStartup\t"
    "LambdaTest1\tLambdaTest2\t";

inline std::string LogText(const std::string& columns, const std::vector<std::string>& lines) {
    const std::string rule = ";-----------------------------------------------";
    std::string text = rule + "\r\n; Zevrin plus Log file\r\n; Serial No.: ZP-1\r\n" + rule +
                       "\r\n; Log opened: 2024-03-07  14:05:09\r\n" + rule + "\r\nPCCnt\t" +
                       columns + "\r\n\r\n";
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

// One wideband line: time in ms, rpm, throttle, AFR and correction as logged; LMVal counts up.
inline std::string WidebandLine(int ms, const std::string& rpm, const std::string& tps,
                                const std::string& afr, const std::string& correction,
                                int lmVal = 118) {
    char time[16];
    std::snprintf(time, sizeof time, "%07d", ms);
    return std::string(time) + "\t007\t" + rpm + "\t" + tps + "\t030\t040\t" + afr + "\t" +
           correction + "\t060\t131\t080\t" + std::to_string(lmVal) +
           "\t110\t120\t128\t1\t0\t1\t0\t0\t0\t1\t0\t0\t1\t0\t1\t";
}

inline TLogData ParsedLog(const std::string& text) {
    TLogReadResult read = ParseLog(text, "test.L05");
    return std::move(read.Data.value());
}

// 121 lines every 0.5 s over a minute.
inline TLogData MinuteLog() {
    std::vector<std::string> lines;
    for (int i = 0; i <= 120; ++i)
        lines.push_back(WidebandLine(i * 500, "2000", "45.0", "14.7", "-55", 100 + i));
    return ParsedLog(LogText(kWidebandColumns, lines));
}

// Sites every 16 raw counts on both axes, lowest 0; every AFR target 14.5 (byte 40).
inline void SetEvenSites(TZVDataClass& data) {
    data.Loaded = 1;  // as a data file opened
    ImageBytes& image = data.DeviceData.Image;
    for (int i = 0; i < 16; ++i) {
        image[img::TpsSites + 15 - static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(16 * i);
        image[img::RpmSites + 15 - static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(16 * i);
    }
    for (std::size_t k = 0; k < 256; ++k)
        image[img::AfrMap + k] = 40;
}

// Target map cell (t, r), both 0 at the lowest site, stored highest site first.
inline std::uint8_t& AfrCell(TZVDataClass& data, int t, int r) {
    return data.DeviceData.Image[img::AfrMap + 16 * static_cast<std::size_t>(15 - t) +
                                 static_cast<std::size_t>(15 - r)];
}

}  // namespace zv::test
