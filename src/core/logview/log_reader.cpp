// Reads a log file back: header stamps, column names, data lines, notes and comment blocks.
#include "logview/log_reader.h"

#include <algorithm>
#include <iterator>
#include <limits>

#include "data/text_codec.h"
#include "data/text_file.h"
#include "logger/log_format.h"

namespace zv {

namespace {

// A log's header has eight lines; anything that has not named its columns by then is no log.
constexpr std::size_t kMaxHeaderLines = 32;
constexpr std::string_view kColumnsWord = "PCCnt";
constexpr std::string_view kSerialNo = "; Serial No.: ";
constexpr std::string_view kOpened = "; Log opened: ";
constexpr std::string_view kClosed = "; Log closed: ";
constexpr std::string_view kCommentTitle = "; Comment";

struct TLine {
    std::string_view Text;  // without its line end
    std::size_t Number = 0;
    bool Ended = false;  // a line end follows: the line was written whole
};

class TLineCursor {
  public:
    explicit TLineCursor(std::string_view bytes) : bytes_(bytes) {}

    bool Next(TLine& line) {
        if (pos_ >= bytes_.size())
            return false;
        std::size_t end = bytes_.find('\n', pos_);
        line.Ended = end != std::string_view::npos;
        if (!line.Ended)
            end = bytes_.size();
        line.Text = bytes_.substr(pos_, end - pos_);
        if (!line.Text.empty() && line.Text.back() == '\r')
            line.Text.remove_suffix(1);
        line.Number = ++number_;
        pos_ = line.Ended ? end + 1 : end;
        return true;
    }

  private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
    std::size_t number_ = 0;
};

bool StartsWith(std::string_view text, std::string_view start) {
    return text.substr(0, start.size()) == start;
}

// Comment text is Windows-1252 as the logger writes it, or UTF-8 from an editor.
std::string Utf8(std::string_view text) {
    return DecodeFileText(std::string(text));
}

// ";" and dashes only: the rules around the header, the closing stamp and comment blocks.
bool IsRule(std::string_view text) {
    return text.size() > 1 && text[0] == ';' &&
           std::all_of(text.begin() + 1, text.end(), [](char c) { return c == '-'; });
}

void SplitFields(std::string_view text, std::vector<std::string_view>& fields) {
    fields.clear();
    std::size_t pos = 0;
    while (true) {
        const std::size_t tab = text.find('\t', pos);
        fields.push_back(text.substr(pos, tab == std::string_view::npos ? text.npos : tab - pos));
        if (tab == std::string_view::npos)
            break;
        pos = tab + 1;
    }
    // Every value but the older wideband line's last is followed by a tab.
    if (fields.size() > 1 && fields.back().empty())
        fields.pop_back();
}

bool Contains(const std::vector<std::string>& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// The older units' wideband line holds values its header does not name: LambdaVal after LMOut
// and, from firmware 24, six further bytes. They get the names our own logger gives them; any
// other value without a name gets one after its place.
void NameUnnamedValues(std::vector<std::string>& names, std::size_t count) {
    const bool olderWideband = Contains(names, "InF_AFR") && !Contains(names, kLambdaValName);
    if (names.size() < count && olderWideband) {
        const auto lmOut = std::find(names.begin(), names.end(), "LMOut");
        if (lmOut != names.end())
            names.insert(std::next(lmOut), kLambdaValName);
    }
    if (olderWideband && count - std::min(count, names.size()) == std::size(kOlderExtrasNames))
        names.insert(names.end(), std::begin(kOlderExtrasNames), std::end(kOlderExtrasNames));
    while (names.size() < count)
        names.push_back("Value " + std::to_string(names.size() + 1));
}

class TLogParser {
  public:
    TLogParser(std::string_view bytes, const std::string& name) : cursor_(bytes), name_(name) {
        expectedLines_ = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
    }

    TLogReadResult Run() {
        TLogReadResult result;
        if (!ReadHeader()) {
            result.Error = {name_ + " ist keine Zevrin plus Log-Datei (keine Spaltenzeile PCCnt).",
                            name_ + " is not a Zevrin plus log file (no PCCnt column line)."};
            return result;
        }
        ReadBody();
        EndBlock();
        result.Data = std::move(data_);
        return result;
    }

  private:
    enum class TBlock : std::uint8_t { None, Titled, Collecting };

    bool ReadHeader() {
        TLine line;
        while (cursor_.Next(line) && line.Ended && line.Number <= kMaxHeaderLines) {
            const std::string_view text = line.Text;
            if (text == kColumnsWord || StartsWith(text, std::string(kColumnsWord) + "\t")) {
                SplitFields(text, fields_);
                for (std::size_t i = 1; i < fields_.size(); ++i)
                    names_.push_back(Utf8(fields_[i]));
                return true;
            }
            if (StartsWith(text, kSerialNo))
                data_.SerialNo = Utf8(text.substr(kSerialNo.size()));
            else if (StartsWith(text, kOpened))
                data_.Opened = Utf8(text.substr(kOpened.size()));
            else if (!text.empty() && text[0] != ';')
                return false;
        }
        return false;
    }

    void ReadBody() {
        TLine line;
        while (cursor_.Next(line)) {
            if (!line.Ended) {
                data_.Problems.push_back({line.Number, TLogProblemKind::CutShort});
                return;
            }
            if (line.Text.empty())
                continue;
            if (line.Text[0] == ';')
                ReadCommentLine(line);
            else if (!ReadDataLine(line.Text))
                data_.Problems.push_back({line.Number, TLogProblemKind::Unreadable});
        }
    }

    bool ReadDataLine(std::string_view text) {
        SplitFields(text, fields_);
        TLogNumber pcCount;
        if (fields_.size() < 2 || !ParseLogNumber(fields_[0], pcCount) || pcCount.Decimals != 0 ||
            pcCount.Digits < 0 || pcCount.Digits > std::numeric_limits<std::uint32_t>::max())
            return false;
        const std::size_t count = fields_.size() - 1;
        if (!columnsSet_) {
            NameUnnamedValues(names_, count);
            data_.SetColumns(names_, expectedLines_);
            columnsSet_ = true;
        }
        if (count != data_.ColumnCount())
            return false;
        values_.resize(count);
        for (std::size_t i = 0; i < count; ++i) {
            if (!ParseLogNumber(fields_[i + 1], values_[i]))
                return false;
        }
        data_.AppendLine(static_cast<std::uint32_t>(pcCount.Digits), values_);
        lastTime_ = static_cast<double>(pcCount.Digits) / 1000.0;
        return true;
    }

    void ReadCommentLine(const TLine& line) {
        const std::string_view text = line.Text;
        if (IsRule(text)) {
            // The rule under a block's title opens its lines, the next one ends them.
            if (block_ == TBlock::Titled)
                block_ = TBlock::Collecting;
            else if (block_ == TBlock::Collecting)
                EndBlock();
            return;
        }
        if (StartsWith(text, kClosed) && block_ == TBlock::None) {
            data_.Closed = Utf8(text.substr(kClosed.size()));
            return;
        }
        if (text == kCommentTitle) {
            EndBlock();
            block_ = TBlock::Titled;
            blockNote_ = {TLogNoteKind::Comment, {}, lastTime_, 0, line.Number};
            return;
        }
        const std::string_view body = text.substr(StartsWith(text, "; ") ? 2 : 1);
        if (block_ != TBlock::None) {
            blockNote_.Text += (blockNote_.Text.empty() ? "" : "\n") + Utf8(body);
            return;
        }
        data_.Notes.push_back(Note(body, line.Number));
    }

    // "0012345 Mark 3", "0012345 Edit: ...": a note the logger stamped while the log ran. Other
    // comment lines between the data lines are kept as they are.
    TLogNote Note(std::string_view body, std::size_t number) const {
        TLogNote note{TLogNoteKind::Comment, Utf8(body), lastTime_, 0, number};
        const std::size_t space = body.find(' ');
        TLogNumber stamp;
        if (space == std::string_view::npos || !ParseLogNumber(body.substr(0, space), stamp) ||
            stamp.Decimals != 0)
            return note;
        const std::string_view rest = body.substr(space + 1);
        const std::string mark = std::string(kLogMarkWord) + " ";
        TLogNumber markNumber;
        if (StartsWith(rest, mark) && ParseLogNumber(rest.substr(mark.size()), markNumber)) {
            note.Kind = TLogNoteKind::Mark;
            note.Number = static_cast<int>(markNumber.Digits);
            note.Text = Utf8(rest);
            return note;
        }
        for (auto [word, kind] : {std::pair{kLogEditWord, TLogNoteKind::Edit},
                                  std::pair{kLogUndoWord, TLogNoteKind::Undo},
                                  std::pair{kLogRedoWord, TLogNoteKind::Redo}}) {
            const std::string start = std::string(word) + " ";
            if (StartsWith(rest, start)) {
                note.Kind = kind;
                note.Text = Utf8(rest.substr(start.size()));
                return note;
            }
        }
        return note;
    }

    void EndBlock() {
        if (block_ != TBlock::None)
            data_.Notes.push_back(std::move(blockNote_));
        block_ = TBlock::None;
        blockNote_ = {};
    }

    TLineCursor cursor_;
    std::string name_;
    TLogData data_;
    std::vector<std::string> names_;
    bool columnsSet_ = false;
    std::size_t expectedLines_ = 0;
    double lastTime_ = 0.0;
    TBlock block_ = TBlock::None;
    TLogNote blockNote_;
    // Reused from line to line: a long log is read without an allocation per line.
    std::vector<std::string_view> fields_;
    std::vector<TLogNumber> values_;
};

}  // namespace

TLogReadResult ParseLog(std::string_view bytes, const std::string& name) {
    return TLogParser(bytes, name).Run();
}

TLogReadResult ReadLog(const std::string& path) {
    const auto bytes = ReadFileBytes(path);
    if (!bytes) {
        TLogReadResult result;
        result.Error = {"Die Datei " + path + " kann nicht gelesen werden.",
                        "The file " + path + " cannot be read."};
        return result;
    }
    return ParseLog(*bytes, path);
}

}  // namespace zv
