#include "autotune/log_samples.h"

#include <algorithm>

#include "logview/log_operating_point.h"
#include "logview/log_read_notice.h"
#include "logview/log_reader.h"

namespace zv {

namespace {

constexpr double kGapBetweenLogsS = 3600.0;
constexpr int kWbStartupDone = 1 << 6;  // flag bit: the byte after it is the correction

// The older units' wideband line: "LambdaVal" sits beside "InF_AFR", and "CompF_AFR" holds the
// input's own correction rather than the controller's.
bool OlderWidebandLine(const TLogData& log) {
    return log.FindColumn("LambdaVal") && log.FindColumn("InF_AFR");
}

// The controller's correction as the record gives it: the byte itself up to 127, 255 less
// below zero, and only once the start-up has ended (before that the byte counts the start-up).
int CorrectionOfRawByte(int flags, int raw) {
    if ((flags & kWbStartupDone) == 0)
        return 0;
    return raw >= 128 ? raw - 255 : raw;
}

struct TSampleColumns {
    std::optional<std::size_t> Rpm, Throttle, Afr, Correction, RawCorrection, Flags, Accel, Idle,
        Full, Output, Overrun, TempCorrection;
};

TSampleColumns ColumnsOf(const TLogData& log) {
    TSampleColumns c;
    c.Rpm = log.Find(TLogQuantity::EngineSpeed);
    c.Throttle = log.Find(TLogQuantity::Throttle);
    c.Afr = log.Find(TLogQuantity::WidebandAfr);
    c.Flags = log.Find(TLogQuantity::WidebandFlags);
    c.Accel = log.Find(TLogQuantity::ThrottleAccel);
    c.Idle = log.Find(TLogQuantity::IdleContact);
    c.Full = log.Find(TLogQuantity::WotContact);
    c.Output = log.Find(TLogQuantity::Output);
    c.Overrun = log.FindColumn("LambdaShiftMode");
    // Input F's own correction is the engine temperature curve's, where F is no lambda input.
    c.TempCorrection = log.FindColumn("CompFVal");
    if (OlderWidebandLine(log))
        c.RawCorrection = log.FindColumn("WBO2 Corr");
    else
        c.Correction = log.Find(TLogQuantity::WidebandCorrection);
    return c;
}

float At(const TLogData& log, const std::optional<std::size_t>& column, std::size_t line) {
    return column ? log.Column(*column).Value(line) : 0.0f;
}

// A logged number as a whole number in a range: a damaged log can hold any number there.
int Whole(float value, int lo, int hi) {
    if (!(value >= static_cast<float>(lo)))  // NaN too
        return lo;
    return value >= static_cast<float>(hi) ? hi : static_cast<int>(value);
}

// The acceleration value is a signed byte logged as it is.
int SignedByte(int raw) {
    return raw >= 128 ? raw - 256 : raw;
}

}  // namespace

TTuneLog SamplesOfLog(const TLogData& log) {
    const TSampleColumns c = ColumnsOf(log);
    TTuneLog out;
    out.CorrectionLogged = c.Correction || c.RawCorrection;
    out.Samples.reserve(log.LineCount());
    for (std::size_t line = 0; line < log.LineCount(); ++line) {
        TTuneSample s;
        s.TimeS = log.Time(line);
        // The logged values were cut from the unit's bytes; the byte is the one they came from,
        // not the cut value converted back, which lies just below it.
        s.Rpm = RpmOfRawSpeed(RpmRaw(At(log, c.Rpm, line)));
        s.Throttle = ThrottleRaw(At(log, c.Throttle, line));
        s.Afr = At(log, c.Afr, line);
        if (c.Flags)
            s.WbFlags = static_cast<std::uint8_t>(Whole(At(log, c.Flags, line), 0, 255));
        s.CorrectionKnown = out.CorrectionLogged;
        if (c.Correction)
            s.Correction = Whole(At(log, c.Correction, line), -255, 255);
        else if (c.RawCorrection && s.WbFlags)
            s.Correction =
                CorrectionOfRawByte(*s.WbFlags, Whole(At(log, c.RawCorrection, line), 0, 255));
        if (c.Accel)
            s.Accel = SignedByte(Whole(At(log, c.Accel, line), 0, 255));
        if (c.Output)
            s.Output = Whole(At(log, c.Output, line), 0, 255);
        if (c.TempCorrection)
            s.TempCorrection = Whole(At(log, c.TempCorrection, line), 0, 255);
        s.Overrun = At(log, c.Overrun, line) != 0.0f;
        s.IdleContact = At(log, c.Idle, line) != 0.0f;
        s.FullContact = At(log, c.Full, line) != 0.0f;
        out.Samples.push_back(s);
    }
    for (const TLogNote& note : log.Notes) {
        if (note.Kind != TLogNoteKind::Comment)
            out.MarkTimes.push_back(note.Time);
    }
    return out;
}

namespace {

std::variant<TTuneLog, TOwnedText> SamplesOfRead(const TLogReadResult& read) {
    if (!read.Data)
        return read.Error;
    if (read.Data->LineCount() == 0) {
        return TOwnedText{"Das Log enthält keine Datenzeilen; nichts abzustimmen.",
                          "The log holds no data lines; there is nothing to tune from."};
    }
    if (!read.Data->Find(TLogQuantity::WidebandAfr)) {
        return TOwnedText{
            "Das Log enthält keine Breitband-AFR (kein Eingang E oder F mit "
            "Breitband-Funktion); nichts abzustimmen.",
            "The log holds no wideband AFR (neither input E nor F has the wideband "
            "function); there is nothing to tune from."};
    }
    return SamplesOfLog(*read.Data);
}

}  // namespace

std::variant<TTuneLog, TOwnedText> SamplesFromLog(const std::string& path) {
    return SamplesOfRead(ReadLog(path));
}

TLogSamplesRead ReadLogSamples(const std::string& path, const TZVDataClass& data) {
    const TLogReadResult read = ReadLog(path);
    TLogSamplesRead result{SamplesOfRead(read), {}};
    if (!read.Data)
        return result;
    if (auto skipped = SkippedLinesNotice(*read.Data))
        result.Notices.push_back(std::move(*skipped));
    if (auto other = OtherUnitNotice(*read.Data, data))
        result.Notices.push_back(std::move(*other));
    return result;
}

void AppendTuneLog(TTuneLog& all, const TTuneLog& next) {
    const double offset = all.Samples.empty() && all.MarkTimes.empty()
                              ? 0.0
                              : std::max(all.Samples.empty() ? 0.0 : all.Samples.back().TimeS,
                                         all.MarkTimes.empty() ? 0.0 : all.MarkTimes.back()) +
                                    kGapBetweenLogsS;
    for (TTuneSample s : next.Samples) {
        s.TimeS += offset;
        all.Samples.push_back(s);
    }
    for (double m : next.MarkTimes)
        all.MarkTimes.push_back(m + offset);
    all.CorrectionLogged = all.CorrectionLogged && next.CorrectionLogged;
    for (TFuelEpoch e : next.Epochs) {
        e.UntilS += offset;
        all.Epochs.push_back(std::move(e));
    }
}

}  // namespace zv
