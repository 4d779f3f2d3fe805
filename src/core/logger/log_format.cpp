// The log file's text: its column names, its data lines and its header, closing and comment lines.
#include "logger/log_format.h"

#include <cstdio>
#include <cstdlib>
#include <variant>

#include "data/text_file.h"
#include "text/date_format.h"
#include "text/point_format.h"

namespace zv {

namespace {

// A column fragment: names and the printf items of their values, each ended by a tab.
struct TFragment {
    const char* Names;
    const char* Formats;
};

// H1's first item is PCCnt's, whose name stands before every header.
constexpr TFragment H1 = {"LoopCnt\tEngine Rpm\tTPS[%]\tIdle\tIdleVal\t",
                          "%0.7d\t%0.3d\t%0.4d\t%4.1f\t%0.3d\t%0.3d\t"};
constexpr TFragment H2 = {"UFoto\tLMVal\tLMVal1\tLMVal2\tLMOut\t",
                          "%0.3d\t%0.3d\t%0.3d\t%0.3d\t%0.3d\t"};
constexpr TFragment H3 = {
    "IdleContact\tWOTContact\tShiftLightGreen\tShiftLightYellow\tShiftLightRed\tLambdaShiftMode\tLa"
    "mbdaLimOff\t"
    "LambdaStartup\tLambdaError\tLambdaStartup\tLambdaTest1\tLambdaTest2\t",
    "%0.1d\t%0.1d\t%0.1d\t%0.1d\t%0.1d\t%0.1d\t%0.1d\t%0.1d\t%0.1d\t%0.1d\t%0.1d\t%0.1d\t"};
constexpr TFragment H4 = {"TPS accel val\tWBO2 Flags\tTPS scaled\tDebug_0\tDebug_1\t",
                          "%0.3d\t%0.3d\t%0.3d\t%0.3d\t%0.3d\t"};
constexpr TFragment FA = {"AnaInF\tCompFVal\t", "%3.0f\t%3.0f\t"};
constexpr TFragment FN = {"InF_NB\tCompF_NB\t", "%3.0f\t%3.0f\t"};
constexpr TFragment FW = {"InF_AFR\tCompF_AFR\t", "%2.1f\t%3.0f\t"};
constexpr TFragment EA = {"AnaInE\tCompEVal\t", "%3.0f\t%3.0f\t"};
constexpr TFragment EN = {"InE_NB\tCompE_NB\t", "%3.0f\t%3.0f\t"};
constexpr TFragment EW = {"InE_AFR\tCompE_AFR\t", "%2.1f\t%3.0f\t"};

// The older units' header: every byte of the record under its name; its last name has no tab.
constexpr const char* H0 =
    "LoopCnt\tEngine "
    "Rpm\tTPS[%]\tIdle\tIdleVal\tAnaInF\tCompFVal\tAnaInE\tCompEVal\tUFoto\tLMVal\tLMVal1\tLMVal2\t"
    "LMOut\tLambdaVal\tIdleContact\tWOTContact\tShiftLightGreen\tShiftLightYellow\tShiftLightRed\tL"
    "ambdaShiftMode\t"
    "LambdaLimOff\tLambdaStartup\tLambdaError\tLambdaStartup\tLambdaTest1\tLambdaTest2";
constexpr const char* kThreeDigits = "%0.3d\t";

// The older wideband line holds r[14] after LMOut and, from firmware 24, six further bytes
// with no tab after the last; both get names so that every value sits under one.
constexpr const char* kOlderExtrasFormats = "%0.3d\t%0.3d\t%0.3d\t%0.3d\t%0.3d\t%0.3d";

std::string Repeat(const char* item, int times) {
    std::string text;
    for (int i = 0; i < times; ++i)
        text += item;
    return text;
}

void Append(TLogColumns& c, const TFragment& f) {
    c.Columns += f.Names;
    c.LineFormat += f.Formats;
}

TLogColumns FragmentColumns(const TFragment& f, const TFragment& e, bool throttleExtras) {
    TLogColumns c;
    c.Kind = TLogLineKind::Fragments;
    c.ThrottleExtras = throttleExtras;
    for (const TFragment* part : {&H1, &f, &e, &H2, &H3})
        Append(c, *part);
    if (throttleExtras)
        Append(c, H4);
    return c;
}

using TValue = std::variant<long long, double>;

long long Byte(std::span<const std::uint8_t> r, std::size_t k) {
    return k < r.size() ? r[k] : 0;
}

void PushBits(std::vector<TValue>& v, std::span<const std::uint8_t> r, std::size_t k,
              std::initializer_list<int> bits) {
    for (int bit : bits)
        v.emplace_back((Byte(r, k) >> bit) & 1);
}

// The wideband controller's correction: signed (128 and above mean raw - 255), and only once
// its startup is done; before that the byte counts the startup.
long long WidebandCorrection(std::span<const std::uint8_t> r) {
    if (((Byte(r, 18) >> 6) & 1) == 0)
        return 0;
    const long long raw = Byte(r, 19);
    return raw >= 128 ? raw - 255 : raw;
}

// Values of inputs F and E in line order: Fv, Fc, Ev, Ec.
void PushInputPairs(std::vector<TValue>& v, std::span<const std::uint8_t> r, const TLogConfig& cfg,
                    const TLogAfr& afr) {
    const long long c = WidebandCorrection(r);
    TValue fv = Byte(r, 5), fc = Byte(r, 6), ev = Byte(r, 7), ec = Byte(r, 8);
    if (cfg.InputE == 1) {
        ec = Byte(r, 14);
        if (cfg.InputF == 2) {
            fv = afr.ScaleF;
            fc = c;
        }
    } else if (cfg.InputE == 2) {
        ev = afr.ScaleE;
        if (cfg.InputF == 1) {
            fc = Byte(r, 14);
            ec = c;
        }
    } else if (cfg.InputF == 1) {
        fc = Byte(r, 14);
    } else if (cfg.InputF == 2) {
        fv = afr.ScaleF;
        fc = c;
    }
    for (const TValue& value : {fv, fc, ev, ec})
        v.push_back(value);
}

std::vector<TValue> LineValues(const TLogColumns& cols, const TLogConfig& cfg,
                               std::span<const std::uint8_t> r, std::uint32_t pcCount,
                               const TLogAfr& afr) {
    const long long rpm = static_cast<long long>(static_cast<double>(Byte(r, 1)) * 39.2157);
    const long long tps = static_cast<long long>(static_cast<double>(Byte(r, 2)) / 0.255);
    std::vector<TValue> v = {static_cast<long long>(pcCount), Byte(r, 16), rpm,
                             static_cast<double>(tps) / 10.0, Byte(r, 3),  Byte(r, 4)};
    if (cols.Kind == TLogLineKind::Fragments) {
        PushInputPairs(v, r, cfg, afr);
        for (std::size_t k = 9; k <= 13; ++k)
            v.emplace_back(Byte(r, k));
    } else if (cols.Kind == TLogLineKind::OlderWideband) {
        v.emplace_back(afr.DeviceF);
        for (std::size_t k = 6; k <= 14; ++k)
            v.emplace_back(Byte(r, k));
    } else {
        for (std::size_t k = 5; k <= 14; ++k)
            v.emplace_back(Byte(r, k));
    }
    PushBits(v, r, 0, {6, 7, 3, 4, 5});
    PushBits(v, r, 15, {0, 1, 2, 3, 5, 6, 7});
    if (cols.ThrottleExtras) {
        // The newer units' extras leave out byte 19, which their input pair already shows.
        for (std::size_t k = 17; k <= 22; ++k) {
            if (k != 19 || cols.Kind != TLogLineKind::Fragments)
                v.emplace_back(Byte(r, k));
        }
    }
    return v;
}

// One printf item of the line format, with the value converted as C's printf would read it. The
// zero flag of the integer items has no effect beside a precision, which pads with zeros. The
// fraction always takes a point: spreadsheets and tools read the log whatever the desktop's
// language.
std::string FormatItem(const std::string& item, const TValue& value) {
    const long long asInt = std::holds_alternative<long long>(value)
                                ? std::get<long long>(value)
                                : static_cast<long long>(std::get<double>(value));
    const double asFloat = std::holds_alternative<double>(value)
                               ? std::get<double>(value)
                               : static_cast<double>(std::get<long long>(value));
    if (item == "%4.1f" || item == "%3.0f" || item == "%2.1f")
        return FormatPoint(item.c_str(), asFloat);
    char buffer[64];
    if (item == "%0.7d")
        std::snprintf(buffer, sizeof buffer, "%.7lld", asInt);
    else if (item == "%0.4d")
        std::snprintf(buffer, sizeof buffer, "%.4lld", asInt);
    else if (item == "%0.3d")
        std::snprintf(buffer, sizeof buffer, "%.3lld", asInt);
    else if (item == "%0.1d")
        std::snprintf(buffer, sizeof buffer, "%.1lld", asInt);
    else
        return {};
    return buffer;
}

}  // namespace

TLogColumns BuildLogColumns(const TLogConfig& cfg) {
    if (cfg.Firmware >= 28) {
        const int e = cfg.InputE;
        const int f = cfg.InputF;
        if (e == 1)
            return FragmentColumns(f == 2 ? FW : FA, EN, false);
        if (e == 2)
            return FragmentColumns(f == 1 ? FN : FA, EW, false);
        if (f == 1)
            return FragmentColumns(FN, EA, false);
        if (f == 2)
            return FragmentColumns(FW, EA, true);
        return FragmentColumns(FA, EA, false);
    }
    TLogColumns c;
    if (!cfg.WBO2DispOnF) {
        c.Kind = TLogLineKind::Older;
        c.Columns = H0;
        c.LineFormat = std::string(H1.Formats) + Repeat(kThreeDigits, 4) + H2.Formats +
                       kThreeDigits + H3.Formats;
        return c;
    }
    c.Kind = TLogLineKind::OlderWideband;
    c.Columns =
        std::string(H1.Names) + FW.Names + EN.Names + H2.Names + kLambdaValName + "\t" + H3.Names;
    c.LineFormat = std::string(H1.Formats) + "%2.1f\t" + Repeat(kThreeDigits, 9) + H3.Formats;
    if (cfg.Firmware >= 24) {
        c.ThrottleExtras = true;
        std::string extras;
        for (const char* name : kOlderExtrasNames)
            extras += (extras.empty() ? "" : "\t") + std::string(name);
        c.Columns += extras;
        c.LineFormat += kOlderExtrasFormats;
    }
    return c;
}

std::string FormatLogLine(const TLogColumns& columns, const TLogConfig& config,
                          std::span<const std::uint8_t> record, std::uint32_t pcCount,
                          const TLogAfr& afr) {
    const std::vector<TValue> values = LineValues(columns, config, record, pcCount, afr);
    std::string line;
    std::size_t pos = 0;
    for (const TValue& value : values) {
        if (pos >= columns.LineFormat.size())
            break;
        const std::size_t tab = columns.LineFormat.find('\t', pos);
        const std::size_t end = tab == std::string::npos ? columns.LineFormat.size() : tab;
        line += FormatItem(columns.LineFormat.substr(pos, end - pos), value);
        if (tab != std::string::npos)
            line += '\t';
        pos = end + 1;
    }
    return line;
}

std::string MakeLogFileName(const std::string& folder, std::time_t when) {
    const std::tm* local = std::localtime(&when);
    const std::tm tm = local ? *local : std::tm{};
    char name[32];
    std::snprintf(name, sizeof name, "%02d%02d%02d%02d.L%02d", tm.tm_year % 100, tm.tm_mon + 1,
                  tm.tm_mday, tm.tm_hour, tm.tm_min);
    return JoinPath(folder, name);
}

namespace {

std::string Rule(std::size_t dashes) {
    return ";" + std::string(dashes, '-');
}

}  // namespace

std::vector<std::string> LogHeaderLines(const std::string& serialNo, std::time_t opened,
                                        const std::string& columns) {
    const std::string rule = Rule(47);
    return {rule,
            "; Zevrin plus Log file",
            ("; Serial No.: " + serialNo).substr(0, 34),
            rule,
            "; Log opened: " + FormatLogDateTime(opened),
            rule,
            "PCCnt\t" + columns,
            ""};
}

std::vector<std::string> LogClosingLines(std::time_t closed) {
    return {Rule(48), "; Log closed: " + FormatLogDateTime(closed), Rule(48)};
}

std::string LogNoteLine(std::uint32_t pcCount, const std::string& text) {
    char stamp[16];
    std::snprintf(stamp, sizeof stamp, "%.7u", static_cast<unsigned>(pcCount));
    return std::string("; ") + stamp + " " + text;
}

std::vector<std::string> LogCommentBlock(const std::vector<std::string>& comment,
                                         const std::string& nowShort) {
    const std::string rule = Rule(36);
    std::vector<std::string> lines = {rule, "; Comment", rule};
    if (comment.empty()) {
        lines.push_back("; " + nowShort + " ; No Comment");
    } else {
        for (const auto& line : comment)
            lines.push_back("; " + line);
    }
    lines.push_back(rule);
    return lines;
}

}  // namespace zv
