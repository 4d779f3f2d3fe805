#pragma once

#include <cstdint>
#include <ctime>
#include <span>
#include <string>
#include <vector>

namespace zv {

// How a log's lines are laid out. The unit's generation and the functions of inputs E and F
// decide which values a line holds and under which column names.
enum class TLogLineKind : std::uint8_t {
    Fragments,      // firmware 28 and above: the fragments of the input configuration
    Older,          // firmware 27 and below: every byte of the record as it is
    OlderWideband,  // firmware 27 and below with the wideband display on input F
};

struct TLogColumns {
    TLogLineKind Kind = TLogLineKind::Older;
    std::string Columns;     // the column names after "PCCnt\t"
    std::string LineFormat;  // one printf item per value, each but possibly the last ended by a tab
    bool ThrottleExtras = false;  // the line ends with the throttle and wideband extras
};

// What decides the layout: DeviceData.Firmware, InputESelect, InputFSelect, WBO2DispOnF.
struct TLogConfig {
    int Firmware = 0;
    int InputE = 0;
    int InputF = 0;
    bool WBO2DispOnF = false;
};

TLogColumns BuildLogColumns(const TLogConfig& config);

// The older wideband line's values that its fragments leave unnamed: r[14] after LMOut and, from
// firmware 24, six further bytes. Readers name them the same way in logs written without them.
inline constexpr const char* kLambdaValName = "LambdaVal";
inline constexpr const char* kOlderExtrasNames[] = {"TPS accel val", "WBO2 Flags", "WBO2 Corr",
                                                    "TPS scaled",    "Debug_0",    "Debug_1"};

// The air/fuel ratios a line may need, converted by the caller: input F and input E through the
// data set's own scale, and input F through the wideband device chosen in the configuration.
struct TLogAfr {
    double ScaleF = 0.0;
    double ScaleE = 0.0;
    double DeviceF = 0.0;
};

// One data line (without its line end) of a live record. Bytes past the record's end read as 0.
std::string FormatLogLine(const TLogColumns& columns, const TLogConfig& config,
                          std::span<const std::uint8_t> record, std::uint32_t pcCount,
                          const TLogAfr& afr);

// The name of a log opened at that local time in the folder: yymmddhh.Lnn.
std::string MakeLogFileName(const std::string& folder, std::time_t when);

// Lines 1 to 8 of a new log, its closing lines, and a comment block of the logger's comment
// editor (an empty editor gives a dated "No Comment" line, stamped with nowShort).
std::vector<std::string> LogHeaderLines(const std::string& serialNo, std::time_t opened,
                                        const std::string& columns);
std::vector<std::string> LogClosingLines(std::time_t closed);

// A note between the data lines of an open log: "; 0012345 Mark 3", "; 0012345 Edit: ...". The
// stamp counts milliseconds since the log opened, as PCCnt does, so a viewer puts the note
// where it happened. The words stay English in both languages, like the log's other stamps.
inline constexpr const char* kLogMarkWord = "Mark";
inline constexpr const char* kLogEditWord = "Edit:";
inline constexpr const char* kLogUndoWord = "Undo:";
inline constexpr const char* kLogRedoWord = "Redo:";
std::string LogNoteLine(std::uint32_t pcCount, const std::string& text);
std::vector<std::string> LogCommentBlock(const std::vector<std::string>& comment,
                                         const std::string& nowShort);

}  // namespace zv
