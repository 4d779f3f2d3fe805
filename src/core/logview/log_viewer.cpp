#include "logview/log_viewer.h"

#include <algorithm>
#include <vector>

#include "data/zv_data_class.h"
#include "logview/log_live_record.h"
#include "logview/log_read_notice.h"
#include "logview/log_reader.h"
#include "logview/log_view_texts.h"

namespace zv {

TLogViewer::TLogViewer(TLogData log, TLogViewerHost host)
    : host_(std::move(host)), model_(std::move(log)), replay_(host_.Timers, model_.Data()) {
    model_.SetDataSet(host_.Data);
    replay_.LinePassed = [this](std::size_t line) { LinePassed(line); };
    replay_.Changed = [this] {
        if (!replay_.Playing() && host_.ReplayStopped)
            host_.ReplayStopped();
    };
}

void TLogViewer::PlayPause() {
    if (replay_.Playing()) {
        replay_.Pause();
    } else if (ReplayEnabled()) {
        replay_.SetLine(model_.CursorLine());
        replay_.Play();
    }
}

std::string TLogViewer::Notice(Language lang) const {
    std::vector<std::string> parts;
    if (const auto skipped = SkippedLinesNotice(model_.Data()))
        parts.push_back(skipped->Pick(lang));
    if (const auto other = OtherUnitNotice(model_.Data(), host_.Data))
        parts.push_back(other->Pick(lang));
    const TLogViewTexts& t = LogViewTexts(lang);
    if (!model_.HasWideband())
        parts.push_back(t.NoWideband);
    else if (!model_.HasDataSet())
        parts.push_back(t.NoDataSet);
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : "\n") + part;
    return text;
}

std::optional<TBackupEntry> TLogViewer::OwnBackup(const std::string& dataFolder) const {
    const std::string& serial = model_.Data().SerialNo;
    if (serial.empty() || !OtherUnitNotice(model_.Data(), host_.Data))
        return std::nullopt;
    std::vector<TBackupEntry> backups = ListBackups(dataFolder, serial);
    if (backups.empty())
        return std::nullopt;
    return std::move(backups.front());
}

std::string OwnBackupText(const TBackupEntry& backup, Language lang) {
    return lang == Language::German
               ? "Datensatz von " + backup.Unit.SerialNo + " öffnen (Sicherung vom " +
                     backup.When + ")"
               : "Open the data set of " + backup.Unit.SerialNo + " (backup of " + backup.When +
                     ")";
}

// The record goes where the stream puts the unit's records, so that pages sampling the last
// record offline see it too.
void TLogViewer::LinePassed(std::size_t line) {
    if (!ReplayEnabled()) {
        replay_.Pause();
        return;
    }
    model_.SetCursorLine(line);
    std::array<std::uint8_t, 28> bytes{};
    const TLiveRecord rebuilt = LiveRecordOfLine(model_.Data(), line, host_.Data, bytes);
    const std::span<std::uint8_t> buffer = host_.Data.LiveRecords.Buffer(rebuilt.Layout);
    std::copy(rebuilt.Bytes.begin(), rebuilt.Bytes.end(), buffer.begin());
    if (host_.ShowLiveFrame)
        host_.ShowLiveFrame({rebuilt.Layout, buffer});
}

TLogOpenResult OpenLogForViewer(const std::string& path) {
    TLogReadResult read = ReadLog(path);
    if (!read.Data)
        return {std::nullopt, read.Error};
    if (read.Data->LineCount() == 0) {
        return {std::nullopt,
                {path + ": " + LogViewTexts(Language::German).EmptyLog,
                 path + ": " + LogViewTexts(Language::English).EmptyLog}};
    }
    return {std::move(read.Data), {}};
}

}  // namespace zv
