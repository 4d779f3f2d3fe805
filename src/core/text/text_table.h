#pragma once

#include <string>

namespace zv {

// The program speaks German or English and can switch while running.
enum class Language : unsigned char { German = 0, English = 1 };

// One German/English pair; the current language picks a member.
struct TextPair {
    const char* German;
    const char* English;

    const char* Pick(Language lang) const { return lang == Language::German ? German : English; }
};

// Named indexes into the main text table for the entries core uses directly.
namespace txt {
enum : int {
    Open = 0,
    SaveAsTitle = 1,
    FileFilter = 2,
    CaptionError = 3,
    CaptionWarning = 4,
    CaptionConfirmation = 5,
    CaptionInformation = 6,
    QuitDataLogging = 7,
    DataChanged = 8,
    NotAValidFile = 9,
    UnknownSerialNumber = 10,
    SectionNotFound = 11,
    OldFileVersionUpdated = 12,
    ParameterTooSmall = 13,
    ParameterTooBig = 14,
    FileExistsOverwrite = 15,
    DataChangedSaveFirst = 16,
    DeviceDataMismatch = 17,
    ConnectionError = 18,
    NotSupportedDevice = 19,
};
}  // namespace txt

constexpr int kMainTextCount = 73;
constexpr int kPageCount = 12;

// Member of main table pair k for the given language; empty for an index outside the table.
const char* Text(int k, Language lang);
const TextPair& MainTextPair(int k);

// A menu text as plain text: the "&" that marks a mnemonic goes, "&&" shows one "&".
std::string WithoutMnemonic(const std::string& text);

// Name of notebook page 0..11 (also the Window menu entries and the page-name panel).
const char* PageName(int page, Language lang);

// Device type list of the identification: 0 "***", 1..4 the supported types, 5 "UNKNOWN".
constexpr int kDeviceTypeCount = 6;
const char* DeviceTypeName(int type);

// Release date shown by the about box.
const TextPair& ReleaseDate();

// The program title that heads the main window caption.
inline constexpr const char* kProgramTitle = "Zevrin-Control  V3.28#00";

}  // namespace zv
