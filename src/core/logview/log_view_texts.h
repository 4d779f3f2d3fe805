#pragma once

#include <string>

#include "text/text_table.h"

namespace zv {

// The log viewer's own texts in the current language.
struct TLogViewTexts {
    std::string TitlePrefix;  // "<prefix> — <file>"
    std::string OpenLogMenu;
    std::string OpenLogTitle;
    std::string PlotsTab, HitsTab, AutotuneTab;
    std::string AutotuneHint, AutotuneButton;
    std::string ChannelsLabel, ValuesLabel;
    std::string NameHeader, ValueHeader, UnitHeader;
    std::string TimeName;  // the cursor's row in the value table
    std::string Play, Pause, SpeedLabel;
    std::string ReplayOnlineTip;  // why replay is off while online
    std::string ReplayTip;
    std::string MeasureLabel, MeasureCount, MeasureAfrError, MeasureCorrection;
    std::string HitsAxis;  // the grid's corner: "% \ rpm"
    std::string NoWideband;
    std::string NoDataSet;  // no data set open: no sites, no targets
    std::string NoTarget;  // a cell or line without a target
    std::string EmptyLog;
    std::string ErrorCaption;
    std::string AfrTargetName;
};

const TLogViewTexts& LogViewTexts(Language lang);

}  // namespace zv
