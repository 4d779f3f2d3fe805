#pragma once

#include <string>

namespace zv {

// How the log viewer writes a time of a log: minutes and seconds, or hours as well once the log
// reaches an hour. One form for the whole log, so that the axis's labels and the cursor's time
// read alike from its start to its end.
enum class TLogClockForm { Minutes, Hours };

// The form for a log whose last line lies this many seconds after its first.
TLogClockForm LogClockForm(double logSeconds);

// "07:05" or "10:00:00"; the seconds as begun, as a clock shows them.
std::string LogClockText(double seconds, TLogClockForm form);
// The cursor's time with its tenth of a second: "07:05.3".
std::string LogCursorTimeText(double seconds, TLogClockForm form);
// The unit the value table gives the cursor's time: "mm:ss" or "h:mm:ss".
std::string LogClockUnit(TLogClockForm form);

}  // namespace zv
