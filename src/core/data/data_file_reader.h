#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "text/text_table.h"
#include "data/zv_data_class.h"
#include "seams/dialogs.h"

namespace zv {

// A message box that reading a file wants to show; the caller shows them in order once it
// knows the read is complete.
struct TFileMessage {
    MsgKind Kind;
    std::string Text;
};

enum class FileLayout {
    Current,         // sections with keys ([Zevrin Map] or the older [Zevrin Table] with keys)
    Oldest,          // a "Zevrin Table" line followed by bare rows: rewritten before reading
    NotADataFile,
};

struct TLayoutCheck {
    FileLayout Layout = FileLayout::NotADataFile;
    std::vector<std::string> UpgradedLines;  // the file in the current layout, for Oldest
};

// Finds the file's layout; for the oldest one builds its lines in the newer layout.
TLayoutCheck UpgradeOldLayout(const std::vector<std::string>& lines);

// Splits a comma-separated row into exactly 16 bytes (each number's low 8 bits). False, with
// the row untouched, when a piece is not a number or the count is not 16.
bool ParseByteRow(const std::string& text, ByteRow& row);

struct TDataFileRead {
    bool Complete = false;
    std::string FailureText;   // why the file is not a data file, when not complete
    int FileFirmware = 40;     // index of the file's Firmware line
    bool Upgrade = false;      // older keys or missing values: rewrite the file at once
    bool MarkModified = false; // a linearisation row was missing
    bool DefaultsTaken = false;  // an entry was missing and its default stands in for it
    std::vector<TFileMessage> Messages;
};

struct TReadContext {
    Language Lang = Language::English;
    std::string Path;          // for the comment line of a file without comments
    std::time_t Now = 0;
};

// Reads the lines of a data file (current layout) into the edit fields of data: Map, AfrMap,
// Detail, Lin, Comment and FileData.Firmware. On an incomplete read data may be half-filled:
// callers read into a copy and take it over only when the read is complete.
TDataFileRead ReadDataFileLines(const std::vector<std::string>& lines, TZVDataClass& data,
                                const TReadContext& context);

// The engine-speed sites must fall strictly from the first to the last byte; returns the sites
// it had to correct (one entry per correction).
std::vector<int> CorrectRpmSites(ByteRow& sites);

}  // namespace zv
