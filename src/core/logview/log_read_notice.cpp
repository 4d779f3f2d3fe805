#include "logview/log_read_notice.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "data/firmware_table.h"
#include "data/zv_data_class.h"
#include "logger/log_format.h"

namespace zv {

namespace {

// A long list of line numbers helps nobody; the first few say where to look.
constexpr std::size_t kListedLines = 5;
// The data logger's newer line layout starts here; older logs keep LambdaVal.
constexpr int kFirstFragmentFirmware = 28;

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A data file of no unit says "unknown".
bool NamesUnit(std::string_view serial) {
    return !serial.empty() && serial != "unknown";
}

std::string ProblemList(const std::vector<TLogProblem>& problems, Language lang) {
    const bool german = lang == Language::German;
    std::string list;
    for (std::size_t i = 0; i < problems.size() && i < kListedLines; ++i) {
        const TLogProblem& p = problems[i];
        const bool cut = p.Kind == TLogProblemKind::CutShort;
        list += (i ? ", " : "") + std::string(german ? "Zeile " : "line ") +
                std::to_string(p.Line) + " (" +
                (german ? (cut ? "abgeschnitten" : "unlesbar") : (cut ? "cut short" : "unreadable")) +
                ")";
    }
    if (problems.size() > kListedLines)
        list += ", …";
    return list;
}

struct TDataSetUnit {
    std::string SerialNo;
    int Firmware = kFirmwareUnknown;
};

TDataSetUnit UnitOf(const TZVDataClass& data) {
    if (data.DeviceData.DeviceValid != 0)
        return {data.DeviceData.Ident.SerialNo, data.DeviceData.Firmware};
    if (data.Loaded != 0)
        return {data.FileSerialNo, data.FileUnitFirmware};
    return {};
}

bool OlderLog(const TLogData& log) {
    return log.FindColumn(kLambdaValName).has_value();
}

}  // namespace

std::optional<TOwnedText> SkippedLinesNotice(const TLogData& log) {
    const std::size_t n = log.Problems.size();
    if (n == 0)
        return std::nullopt;
    const std::string count = std::to_string(n);
    const bool one = n == 1;
    return TOwnedText{
        count + (one ? " Zeile des Logs wurde übersprungen: " : " Zeilen des Logs wurden übersprungen: ") +
            ProblemList(log.Problems, Language::German) + ".",
        count + (one ? " line of the log was skipped: " : " lines of the log were skipped: ") +
            ProblemList(log.Problems, Language::English) + "."};
}

std::optional<TOwnedText> OtherUnitNotice(const TLogData& log, const TZVDataClass& data) {
    const TDataSetUnit unit = UnitOf(data);
    const std::string logSerial(Trimmed(log.SerialNo));
    const std::string setSerial(Trimmed(unit.SerialNo));
    if (NamesUnit(logSerial) && NamesUnit(setSerial) && logSerial != setSerial) {
        return TOwnedText{
            "Das Log wurde auf Steuergerät " + logSerial + " aufgezeichnet, der geöffnete "
            "Datensatz gehört zu " + setSerial + ": AFR-Ziele, Treffer und Autotune nehmen "
            "Stützstellen und Ziele des falschen Datensatzes. Öffnen Sie den Datensatz von " +
                logSerial + ".",
            "The log was recorded on unit " + logSerial + ", the open data set belongs to " +
                setSerial + ": AFR targets, hit counts and autotune take the sites and targets "
                "of the wrong data set. Open the data set of " + logSerial + "."};
    }
    if (log.ColumnCount() > 0 && unit.Firmware != kFirmwareUnknown &&
        OlderLog(log) != (unit.Firmware < kFirstFragmentFirmware)) {
        return TOwnedText{
            "Das Log stammt von einem Steuergerät einer anderen Generation (Firmware " +
                std::string(OlderLog(log) ? "bis 27" : "ab 28") +
                ") als der geöffnete Datensatz: AFR-Ziele, Treffer und Autotune nehmen "
                "Stützstellen und Ziele des falschen Datensatzes.",
            "The log comes from a unit of another generation (firmware " +
                std::string(OlderLog(log) ? "up to 27" : "28 and above") +
                ") than the open data set: AFR targets, hit counts and autotune take the sites "
                "and targets of the wrong data set."};
    }
    return std::nullopt;
}

}  // namespace zv
