#include "app/main_form_model.h"

#include "link/port_name.h"
#include "text/text_table.h"
#include "online/online_mode.h"
#include "text/date_format.h"

namespace zv {

namespace {

struct TCaptionPair {
    int Caption;  // main text table pair, -1 for none
    int Hint;
};

// Indexed by TMainText.
constexpr TCaptionPair kCaptions[] = {
    {20, 21},
    {22, 23},
    {24, 25},
    {26, 27},
    {28, 29},
    {30, 31},
    {32, 33},
    {34, 35},
    {-1, 36},
    {37, -1},
    {38, -1},
    {39, -1},
    {40, -1},
    {41, -1},
    {42, -1},
    {43, -1},
    {44, -1},
    {45, -1},
    {46, -1},
    {47, -1},
    {48, -1},
    {49, -1},
    {50, -1},
    {51, -1},
    {52, -1},
    {53, -1},
    {54, -1},
    {55, -1},
    {56, -1},
    {-1, 62},
    {-1, 63},
    {-1, 64},
    {-1, 65},
    // The buttons carry the words of their menu items under the key.
    {44, 66},
    {46, 67},
    {45, 68},
    {47, 69},
    {-1, 70},
    {-1, 71},
    {49, 72},
};
constexpr auto kFirstOwnText = static_cast<std::size_t>(TMainText::LinkGroup);
static_assert(std::size(kCaptions) == kFirstOwnText);

// Captions of the dashboard that the main text table has no words for. Indexed from LinkGroup.
const TextPair kOwnCaptions[] = {
    {"Verbindung", "Link"},
    {"Motor", "Engine"},
    {"Leerlaufsteller", "Idle actuator"},
    {"Schmalband-Lambda", "Narrowband lambda"},
    {"Breitband-Lambda", "Wideband lambda"},
    {"Korrektur", "Correction"},
    {"Aktiv", "Active"},
    {"Fehler", "Error"},
    {"AFR", "AFR"},
    {"Lambda", "Lambda"},
    {"Schritt-Tasten", "Step keys"},
    {"Taste für Wert erhöhen (kleiner Schritt) – klicken zum Ändern",
     "Key for value increase (small step) – click to change"},
    {"Taste für Wert verringern (kleiner Schritt) – klicken zum Ändern",
     "Key for value decrease (small step) – click to change"},
    {"Gerätetyp", "Device type"},
    {"Seriennummer", "Serial number"},
    {"Versionsstand", "Version level"},
    {"Firmware", "Firmware"},
    {"Logzeilen", "Log lines"},
    {"Diese Seite kommt mit einer späteren Version des Programms.",
     "This page comes with a later version of the program."},
    {"&Hilfe", "&Help"},
    {"Tastenübersicht", "Key reference"},
};
static_assert(std::size(kOwnCaptions) ==
              static_cast<std::size_t>(TMainText::KeyReference) - kFirstOwnText + 1);
// F10 and F11 sit on their lambda panels, whose titles already say which controller they switch.
const TextPair kLambdaButton = {"Regelung", "Control"};

constexpr int kIdleContactText = 57;
constexpr int k50HzText = 58;
constexpr int kFirstFirmwareWithInputConfig = 11;
constexpr int kFirstFirmwareOfSecondTypeDialog = 28;

const TextPair kRecentFilesNotSaved = {
    "Die Liste der zuletzt benutzten Dateien konnte nicht gespeichert werden.",
    "The list of recently used files could not be saved.",
};

TCaptionPair PairOf(TMainText item) {
    return kCaptions[static_cast<std::size_t>(item)];
}

}  // namespace

TMainFormModel::TMainFormModel(TMainModel& main, SettingsStore& store)
    : main_(main), settings_(store) {}

void TMainFormModel::LoadSettings(const TStartEnvironment& env) {
    started_ = zv::LoadSettings(settings_, env);
    main_.SetRecentDir(started_.RecentDir);
    main_.SetRecentFiles(started_.RecentFiles);
    main_.SetLanguage(started_.Lang);
    wbo2DispAfrMaster_ = started_.WBO2DispAfrMaster;
    backupBeforeDownload_ = started_.BackupBeforeDownload;
    main_.SetDataFolder(DataFolderOf(env.UserPath));
    recentItems_.clear();
    int k = 0;
    for (const auto& path : started_.RecentFiles)
        recentItems_.push_back({RecentFileCaption(++k, path), path});
}

void TMainFormModel::ConfigureLink(TOnlineMode& online, std::optional<int> portThisRun) const {
    online.ComPortNo =
        portThisRun.value_or(started_.SimulatedUnit ? kSimulatedUnitPort : started_.Port);
    online.ComBaudIndex = kBaud9600Index;
    online.WBO2DispAfrMaster = wbo2DispAfrMaster_;
    online.BackupBeforeDownload = backupBeforeDownload_;
}

void TMainFormModel::BackupOptionClick() {
    backupBeforeDownload_ = !backupBeforeDownload_;
    settings_.v_WriteBool("Options", "BackupBeforeDownload", backupBeforeDownload_);
    if (TOnlineMode* online = main_.Online())
        online->BackupBeforeDownload = backupBeforeDownload_;
}

void TMainFormModel::ApplyLanguage(Language lang) {
    main_.SetLanguage(lang);
    idleContactShows50Hz_ = false;
    SetPagesLanguage(lang);
}

void TMainFormModel::StepKeysChanged() {
    SetPagesLanguage(CurrentLanguage());
}

void TMainFormModel::SetPagesLanguage(Language lang) {
    for (TPage* page : pages_) {
        if (page)
            page->SetLanguage(lang);
    }
}

void TMainFormModel::MenuLanguageSelectClick(Language lang) {
    ApplyLanguage(lang);
    settings_.v_WriteString("Options", "Language",
                            lang == Language::English ? "english" : "german");
}

TKeyReference TMainFormModel::PageKeyReference(TConfiguredStepKeys stepKeys) const {
    return KeyReference(pageOnView_, main_.Data().DeviceData.Firmware, CurrentLanguage(), stepKeys);
}

std::string TMainFormModel::Caption(TMainText item) const {
    const auto index = static_cast<std::size_t>(item);
    if (index >= kFirstOwnText)
        return kOwnCaptions[index - kFirstOwnText].Pick(CurrentLanguage());
    if (item == TMainText::F10Button || item == TMainText::F11Button)
        return kLambdaButton.Pick(CurrentLanguage());
    const int k = PairOf(item).Caption;
    return k < 0 ? std::string() : main_.Text(k);
}

std::string TMainFormModel::Hint(TMainText item) const {
    if (static_cast<std::size_t>(item) >= kFirstOwnText)
        return {};
    // Hints show in the status bar, where a mnemonic mark would show as it is.
    const int k = PairOf(item).Hint;
    return k < 0 ? std::string() : WithoutMnemonic(main_.Text(k));
}

std::string TMainFormModel::IdleContactLabel() const {
    return main_.Text(idleContactShows50Hz_ ? k50HzText : kIdleContactText);
}

void TMainFormModel::ControlsRefreshed(bool idleContactShows50Hz) {
    idleContactShows50Hz_ = idleContactShows50Hz;
}

std::string TMainFormModel::InfoText(const std::string& deviceType, const std::string& serialNo,
                                     const std::string& version) const {
    std::string text = std::string(kProgramTitle) + "\r\n" + ReleaseDate().Pick(CurrentLanguage());
    if (!deviceType.empty())
        text += "\r\n\r\n" + deviceType + "  " + serialNo + "  " + version;
    return text;
}

int TMainFormModel::PortInUse() const {
    const TOnlineMode* online = main_.Online();
    return online ? online->ComPortNo : kNoPort;
}

std::string TMainFormModel::WindowTitle() const {
    if (PortInUse() != kSimulatedUnitPort && !main_.FromSimulatedUnit())
        return main_.Caption();
    return main_.Caption() + "  [" + kSimulatedUnitName.Pick(CurrentLanguage()) + "]";
}

std::string TMainFormModel::PortPanel() const {
    const int port = PortInUse();
    if (port == kSimulatedUnitPort)
        return kSimulatedUnitName.Pick(CurrentLanguage());
    if (port == kNoPort)
        return kNoPortName.Pick(CurrentLanguage());
    return "COM" + std::to_string(port);
}

std::string TMainFormModel::DateTimePanel(std::time_t now) const {
    return " " + FormatLongDateTime(now, CurrentLanguage());
}

// Two digits everywhere and the afternoon's "p": the panel's text is never wider than these.
std::vector<std::string> TMainFormModel::DateTimePanelWidest() {
    std::tm widest{};
    widest.tm_year = 2028 - 1900;
    widest.tm_mon = 11;
    widest.tm_mday = 28;
    widest.tm_hour = 23;
    widest.tm_min = 58;
    widest.tm_sec = 58;
    widest.tm_isdst = -1;
    const std::time_t when = std::mktime(&widest);
    std::vector<std::string> texts;
    for (Language lang : {Language::German, Language::English})
        texts.push_back(" " + FormatLongDateTime(when, lang));
    return texts;
}

void TMainFormModel::NotebookPageChanged(int page) {
    if (page >= 0 && page < kPageCount)
        pageOnView_ = page;
}

std::string TMainFormModel::PageNamePanel() const {
    return PageName(pageOnView_, CurrentLanguage());
}

void TMainFormModel::SetWBO2DispOnF(bool on) {
    started_.WBO2DispOnF = on;
    settings_.v_WriteBool("Options", "WBO2DispOnF", on);
}

void TMainFormModel::SetPage(int index, TPage* page) {
    if (index >= 0 && index < kPageCount)
        pages_[static_cast<std::size_t>(index)] = page;
}

TPage* TMainFormModel::Page(int index) const {
    return index >= 0 && index < kPageCount ? pages_[static_cast<std::size_t>(index)] : nullptr;
}

void TMainFormModel::LoadPagesFromImage() {
    for (TPage* page : pages_) {
        if (page)
            page->LoadFromImage();
    }
}

bool TMainFormModel::EditUndoClick() {
    return ShowRestored(main_.Undo());
}

bool TMainFormModel::EditRedoClick() {
    return ShowRestored(main_.Redo());
}

// Pages keep their cursors through LoadFromImage; the switches follow the flags word.
bool TMainFormModel::ShowRestored(bool restored) {
    if (!restored)
        return false;
    LoadPagesFromImage();
    if (TOnlineMode* online = main_.Online())
        online->RefreshControls();
    return true;
}

void TMainFormModel::ShowLiveFrame(const TLiveRecord& record) {
    if (TPage* page = Page(pageOnView_))
        page->ShowLiveFrame(record);
}

void TMainFormModel::ShowPage(int page) {
    if (TPage* p = Page(page))
        p->ShowPage();
}

void TMainFormModel::RefreshPage(int page) {
    if (TPage* p = Page(page))
        p->RefreshPage();
}

void TMainFormModel::PageKey(int keyCode) {
    if (TPage* page = Page(pageOnView_)) {
        page->HandleKey(static_cast<std::uint8_t>(keyCode));
        return;
    }
    if (PageHandlesKey && PageHandlesKey(pageOnView_, keyCode))
        return;
    if (keyCode == key::Esc && ShowPageSelection)
        ShowPageSelection();
}

void TMainFormModel::PageShiftKey(int keyCode) {
    if (TPage* page = Page(pageOnView_))
        page->HandleShiftKey(static_cast<std::uint8_t>(keyCode));
    else
        PageKey(keyCode);
}

bool TMainFormModel::PrintEnabled() const {
    const TZVDataClass& d = main_.Data();
    return d.DeviceData.DeviceValid != 0 || d.Loaded != 0;
}

bool TMainFormModel::InputConfigEnabled() const {
    return PrintEnabled() && main_.Data().DeviceData.Firmware >= kFirstFirmwareWithInputConfig;
}

int TMainFormModel::TypeConfigDialog() const {
    return main_.Data().DeviceData.Firmware >= kFirstFirmwareOfSecondTypeDialog ? 2 : 1;
}

void TMainFormModel::AFRPanelDblClick() {
    wbo2DispAfrMaster_ = !wbo2DispAfrMaster_;
    settings_.v_WriteBool("Options", "WBO2DispAfrMaster", wbo2DispAfrMaster_);
    if (TOnlineMode* online = main_.Online())
        online->WBO2DispAfrMaster = wbo2DispAfrMaster_;
}

// Unsaved data are never lost by closing: No closes without saving, as the button says; Yes
// saves (asking for a name when the data set has none yet) and the window stays open when that
// save fails or its dialog is cancelled.
bool TMainFormModel::FormCloseQuery() {
    if (!AllowCloseDuringTransfer())
        return false;
    if (!main_.Modified() || main_.Data().Loaded != 1)
        return true;
    const std::string text =
        std::string(main_.Text(txt::DataChangedSaveFirst)) + " -> " + main_.Data().FileName;
    switch (main_.ShowMessage(MsgKind::Confirmation, text, MsgButtons::YesNoCancel)) {
        case MsgAnswer::No:
            return true;
        case MsgAnswer::Yes:
            main_.ZVFileSaveClick();
            return !main_.Modified();
        default:
            return false;
    }
}

bool TMainFormModel::FormClose(TWindowState state, const std::optional<TWindowRect>& normalPlace) {
    settings_.v_WriteString("Options", "Windowstate", WindowStateName(state));
    if (normalPlace)
        settings_.v_WriteString("Options", "WindowNormalPlace", WindowPlaceText(*normalPlace));
    if (SaveRecentFiles(settings_, main_.RecentFiles(), main_.FilesReadOrFirstSaved()))
        return true;
    main_.ShowMessage(MsgKind::Information, kRecentFilesNotSaved.Pick(CurrentLanguage()));
    return false;
}

}  // namespace zv
