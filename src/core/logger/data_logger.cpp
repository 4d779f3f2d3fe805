#include "logger/data_logger.h"

#include <cstdio>

#include "data/text_file.h"
#include "sensors/wideband_sensor.h"
#include "text/date_format.h"

namespace zv {

namespace {

constexpr int kKeyTab = 9;
constexpr int kKeyEscape = 27;
constexpr int kKeyM = 'M';

const TextPair kLogFilter = {"Log-Dateien (*.l*)|*.l*", "Log-Data (*.l*)|*.l*"};
const TextPair kSaveLogTitle = {"Log-Daten speichern unter:", "Save log-data in"};
const TextPair kLogExists = {" ist bereits vorhanden! Loggerdatei wurde nicht angelegt.",
                             " already exist. Log not opened!"};
const TextPair kCannotCreateLog = {"Loggerdatei wurde nicht angelegt:\r\n", "Log not opened:\r\n"};
const TextPair kCommentLabel = {"Log Kommentar", "Log Comment"};
const TextPair kClearBuffer = {"Puffer Löschen", "Clear Buffer"};
const TextPair kAddComment = {"Kommentar hinzuf.", "Add Comment"};
const TextPair kShowLogData = {"Log-Daten anz.", "Show Log Data"};
const TextPair kMark = {"Markierung", "Mark"};
const char* const kLoggerFolder = "Logger";

}  // namespace

bool LogsFirmware(int firmware) {
    return LiveLayoutOfFirmware(firmware) != TLiveLayout::Live11;
}

TDLogger::TDLogger(TZVDataClass& data, Dialogs& dialogs, const TimerService& clock,
                   TDLoggerHost host)
    : data_(data), dialogs_(dialogs), clock_(clock), host_(std::move(host)) {
    SetLanguage(host_.CurrentLanguage());
}

TLogConfig TDLogger::Config() const {
    return {data_.DeviceData.Firmware, data_.InputESelect, data_.InputFSelect, host_.WBO2DispOnF()};
}

void TDLogger::ShowError(const std::string& text) const {
    dialogs_.MessageBox(MsgKind::Error, Text(txt::CaptionError, host_.CurrentLanguage()), text,
                        MsgButtons::Ok);
}

std::string TDLogger::LogFilter() const {
    return kLogFilter.Pick(host_.CurrentLanguage());
}

std::string TDLogger::MakeLogFileName(const std::string& folder) const {
    return zv::MakeLogFileName(folder, host_.Now());
}

bool TDLogger::ChooseLogFile() {
    if (!LogDir.empty()) {
        LogFile = MakeLogFileName(LogDir);
        return true;
    }
    LogDir = JoinPath(host_.RecentDir(), kLoggerFolder);
    const std::string error = CreateFolders(LogDir);
    if (!error.empty()) {
        LogDir.clear();
        ShowError(error);
        return false;
    }
    FileDialogRequest request;
    request.Title = kSaveLogTitle.Pick(host_.CurrentLanguage());
    request.Filter = LogFilter();
    request.InitialDirectory = LogDir;
    request.ProposedName = MakeLogFileName(LogDir);
    const auto chosen = dialogs_.SaveFileDialog(request);
    if (!chosen) {
        LogDir.clear();
        return false;
    }
    LogFile = *chosen;
    LogDir = FolderOf(*chosen);
    return true;
}

bool TDLogger::OpenLogFile() {
    if (IsOpen)
        return true;
    const Language lang = host_.CurrentLanguage();
    if (FileExists(LogFile)) {
        state_.FileNamePanel = LogFile + " exists!!!";
        IsOpen = false;
        if (host_.ReleaseLogger)
            host_.ReleaseLogger();
        ShowError(LogFile + kLogExists.Pick(lang));
        return false;
    }
    BuildColumns();
    const std::string error = CreateTextFile(
        LogFile, LogHeaderLines(data_.DeviceData.Ident.SerialNo, host_.Now(), Columns));
    if (!error.empty()) {
        // Without its file the logger would ask again at every record: it is disarmed instead.
        if (host_.ReleaseLogger)
            host_.ReleaseLogger();
        ShowError(kCannotCreateLog.Pick(lang) + error);
        return false;
    }
    LineCount = 0;
    OpenFile = LogFile;
    IsOpen = true;
    // Comments belong to a finished log; one added now would land between the data lines.
    state_.AddCommentEnabled = false;
    state_.FileNamePanel = OpenFile;
    StartTick = clock_.GetTickCount();
    MarkCount = 0;
    state_.MarkEnabled = true;
    NotifyChanged();
    return true;
}

void TDLogger::BuildColumns() {
    // The values of every line follow the configuration the header was written for, so that a
    // change of the inputs while a log runs never puts them under the wrong names.
    config_ = Config();
    columns_ = BuildLogColumns(config_);
    Columns = columns_.Columns;
    LineFormat = columns_.LineFormat;
}

std::int32_t TDLogger::WriteLogLine(const TLiveRecord& record) {
    TLogAfr afr;
    afr.ScaleF = RawToAfr(data_, record.Bytes.size() > 5 ? record.Bytes[5] : 0).Afr;
    afr.ScaleE = RawToAfr(data_, record.Bytes.size() > 7 ? record.Bytes[7] : 0).Afr;
    afr.DeviceF =
        ByteToAfr(host_.WidebandDevice(), record.Bytes.size() > 5 ? record.Bytes[5] : 0).Afr;
    const std::uint32_t pcCount = clock_.GetTickCount() - StartTick;
    const std::string line = FormatLogLine(columns_, config_, record.Bytes, pcCount, afr);
    // A log that was removed or locked skips the record; the count stays with what is on disk.
    if (AppendTextLines(OpenFile, {line}))
        ++LineCount;
    return LineCount;
}

void TDLogger::CloseLogFile() {
    AppendTextLines(OpenFile, LogClosingLines(host_.Now()));
    Closed = true;
    state_.AddCommentEnabled = true;
    state_.MarkEnabled = false;
    NotifyChanged();
}

bool TDLogger::WriteNote(const std::string& text) {
    if (!IsOpen)
        return false;
    return AppendTextLines(OpenFile, {LogNoteLine(clock_.GetTickCount() - StartTick, text)});
}

void TDLogger::MarkButtonClick() {
    if (WriteNote(std::string(kLogMarkWord) + " " + std::to_string(MarkCount + 1)))
        ++MarkCount;
}

void TDLogger::WriteLogComment() {
    if (OpenFile.empty())
        return;
    const std::string now = FormatShortDateTime(host_.Now(), host_.CurrentLanguage());
    AppendTextLines(OpenFile, LogCommentBlock(comment_, now));
    state_.AddCommentEnabled = false;
}

bool TDLogger::ArmLogging() {
    if (IsOpen) {
        CloseLogFile();
        IsOpen = false;
    }
    return ChooseLogFile();
}

void TDLogger::LogLiveRecord(const TLiveRecord& record, bool loggerChecked) {
    // Units of the first generation (firmware up to 8, 11-byte records) are not logged.
    if (record.Layout == TLiveLayout::Live11)
        return;
    if (!loggerChecked) {
        if (IsOpen)
            CloseLogFile();
        IsOpen = false;
        return;
    }
    if (OpenLogFile())
        state_.LogNumPanel = std::to_string(WriteLogLine(record));
}

void TDLogger::CloseAtExit() {
    if (!IsOpen)
        return;
    CloseLogFile();
    IsOpen = false;
}

void TDLogger::ClearDLogBufferButtonClick() {
    LineCount = 0;
    state_.ViewLines.clear();
    ++state_.ViewLoads;
    state_.LogNumPanel = "0";
}

void TDLogger::AddCommentButtonClick() {
    if (state_.AddCommentEnabled)
        WriteLogComment();
}

void TDLogger::ShowDLogDataButtonClick() {
    std::string path = OpenFile;
    if (path.empty() || !FileExists(path)) {
        FileDialogRequest request;
        request.Title = Text(txt::Open, host_.CurrentLanguage());
        request.Filter = LogFilter();
        request.InitialDirectory = LogDir.empty() ? host_.RecentDir() : LogDir;
        const auto chosen = dialogs_.OpenFileDialog(request);
        // Nothing chosen: the page stays as it was.
        if (!chosen)
            return;
        path = *chosen;
    }
    state_.ViewLines.clear();
    // The running log keeps its file even when it was removed: the records meant for it must
    // never be appended to the log only looked at.
    if (!IsOpen)
        OpenFile = path;
    state_.FileNamePanel = path;
    if (auto lines = ReadTextLines(path))
        state_.ViewLines = std::move(*lines);
    ++state_.ViewLoads;
}

void TDLogger::ShowPage() {
    SetLanguage(host_.CurrentLanguage());
    state_.Focus = TDLoggerFocus::ClearBuffer;
    ++state_.FocusMoves;
    NotifyChanged();
}

void TDLogger::SetLanguage(Language lang) {
    state_.CommentLabel = kCommentLabel.Pick(lang);
    state_.ClearBufferCaption = kClearBuffer.Pick(lang);
    state_.AddCommentCaption = kAddComment.Pick(lang);
    state_.ShowLogDataCaption = kShowLogData.Pick(lang);
    state_.MarkCaption = kMark.Pick(lang);
    NotifyChanged();
}

void TDLogger::HandleKey(std::uint8_t key) {
    if (key == kKeyEscape) {
        if (host_.ShowPageSelection)
            host_.ShowPageSelection();
        return;
    }
    if (key == kKeyM) {
        if (state_.Focus != TDLoggerFocus::CommentEditor)
            MarkButtonClick();
        return;
    }
    if (key != kKeyTab)
        return;
    switch (state_.Focus) {
        // A disabled button cannot hold the focus: Add Comment is passed over until a log closed.
        case TDLoggerFocus::ClearBuffer:
            state_.Focus =
                state_.AddCommentEnabled ? TDLoggerFocus::AddComment : TDLoggerFocus::ShowLogData;
            break;
        case TDLoggerFocus::AddComment:
            state_.Focus = TDLoggerFocus::ShowLogData;
            break;
        case TDLoggerFocus::ShowLogData:
            state_.Focus = TDLoggerFocus::CommentEditor;
            break;
        case TDLoggerFocus::CommentEditor:
        case TDLoggerFocus::ViewList:
            state_.Focus = TDLoggerFocus::ClearBuffer;
            break;
    }
    ++state_.FocusMoves;
    NotifyChanged();
}

}  // namespace zv
