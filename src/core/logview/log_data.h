#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "logview/log_column.h"

namespace zv {

// What a comment line of a log says.
enum class TLogNoteKind : std::uint8_t {
    Comment,  // a comment block added after the close, or any other comment line
    Mark,     // the operator's mark, numbered from 1 in each log
    Edit,     // a change made while the log ran, and undo and redo of one
    Undo,
    Redo,
};

struct TLogNote {
    TLogNoteKind Kind = TLogNoteKind::Comment;
    // UTF-8. A mark's or an edit's text follows its word ("fuel map cell 5/7 +1"); a comment
    // block's lines are joined by "\n".
    std::string Text;
    double Time = 0.0;     // seconds of the data line before it; 0 before the first
    int Number = 0;        // a mark's number
    std::size_t Line = 0;  // in the file, from 1
};

// A line the reader left out: the last one, cut short by a crash or a power loss, or one that is
// no data line of the log's columns.
enum class TLogProblemKind : std::uint8_t { CutShort, Unreadable };

struct TLogProblem {
    std::size_t Line = 0;  // in the file, from 1
    TLogProblemKind Kind = TLogProblemKind::Unreadable;
};

// Quantities a viewer or the autotune asks for whatever the log's layout.
enum class TLogQuantity : std::uint8_t {
    EngineSpeed,         // rpm
    Throttle,            // percent
    Output,              // injector output raw (OutputPercent gives the dashboard's percent)
    MapValue,            // fuel map value of the current cell
    WidebandAfr,         // the AFR of the wideband input, E or F
    WidebandCorrection,  // the wideband controller's correction
    WidebandFlags,
    ThrottleAccel,
    IdleContact,
    WotContact,
    NarrowbandSignal,   // the narrowband sensor's input, E or F
    NarrowbandControl,  // the narrowband controller's value (offset 128)
};

// The dashboard's output percentage of a raw output value: trunc(raw / 2.55).
int OutputPercent(float raw);

// A log file read back: header stamps, the data lines column by column, the notes in file order
// and what could not be read.
class TLogData {
  public:
    std::string SerialNo;
    std::string Opened;  // "yyyy-mm-dd  hh:nn:ss" as the header has it
    std::string Closed;  // empty when the log has no closing lines
    std::vector<TLogNote> Notes;
    std::vector<TLogProblem> Problems;

    std::size_t LineCount() const { return pcCount_.size(); }
    // Milliseconds since the log opened (PCCnt) and the same in seconds.
    std::uint32_t PcCount(std::size_t line) const { return pcCount_[line]; }
    double Time(std::size_t line) const { return pcCount_[line] / 1000.0; }

    // The columns after PCCnt, named as in the header. Names may repeat ("LambdaStartup"):
    // occurrence counts the columns of that name from 0.
    std::size_t ColumnCount() const { return columns_.size(); }
    const TLogColumn& Column(std::size_t index) const { return columns_[index]; }
    std::optional<std::size_t> FindColumn(std::string_view name, int occurrence = 0) const;
    // The column of a quantity, or none when the log's layout does not have it. The wideband
    // controller's correction is found only where the layout carries it (not every column of its
    // name does); the older units' raw "WBO2 Corr" is not, as it needs the flags to read.
    std::optional<std::size_t> Find(TLogQuantity quantity) const;

    // Memory the numbers take.
    std::size_t BytesHeld() const;

    // Building, for the reader: the columns once, then whole lines.
    void SetColumns(const std::vector<std::string>& names, std::size_t expectedLines);
    void AppendLine(std::uint32_t pcCount, const std::vector<TLogNumber>& values);

  private:
    bool CarriesCorrection(std::string_view column) const;

    std::vector<std::uint32_t> pcCount_;
    std::vector<TLogColumn> columns_;
};

}  // namespace zv
