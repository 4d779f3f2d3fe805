#pragma once

#include <array>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/main_model.h"
#include "seams/settings.h"
#include "app/start_up.h"
#include "help/key_reference.h"
#include "pages/page.h"

namespace zv {

class TOnlineMode;

// The main window's captioned controls, each with its caption and hint from the main text table.
enum class TMainText {
    FileMenu,
    New,
    Open,
    Save,
    SaveAs,
    Print,
    PrinterSetup,
    Close,
    RecentFile,
    OptionsMenu,
    ComPortMenu,
    LanguageMenu,
    English,
    German,
    KeyConfig,
    InputConfig,
    Connect,
    Download,
    Upload,
    IdleControl,
    LambdaControl,
    DataLogger,
    WindowMenu,
    About,
    Info,
    EngineSpeedLabel,
    ThrottleLabel,
    OutputLabel,
    FullLoadLabel,
    ExitButton,
    SaveButton,
    OpenButton,
    NewButton,
    F5Button,
    F7Button,
    F8Button,
    F9Button,
    F10Button,
    F11Button,
    LoggerButton,
    // Captions of our own for the dashboard's groups.
    LinkGroup,
    EngineGroup,
    IdleActuatorLabel,
    NarrowBandPanel,
    WideBandPanel,
    CorrectionLabel,
    ActiveLed,
    ErrorLed,
    AfrUnit,
    LambdaUnit,
    StepKeysLabel,
    StepUpHint,
    StepDownHint,
    DeviceTypeHint,
    SerialNoHint,
    VersionHint,
    FirmwareHint,
    LogNumberHint,
    PagePending,
    HelpMenu,
    KeyReference,
};

// A recent-file item of the File menu.
struct TRecentItem {
    std::string Caption;  // "&k  path"
    std::string Path;
};

// What the main window decides beyond the data set and the link: its settings at start and
// exit, the captions of each language, the menu states, the status panels and the close
// question. The window paints this state and forwards its events here.
class TMainFormModel {
  public:
    TMainFormModel(TMainModel& main, SettingsStore& store);

    TSettings& Settings() { return settings_; }

    // Loading the settings at start; the recent-file items are built from them once.
    void LoadSettings(const TStartEnvironment& env);
    const TStartSettings& Started() const { return started_; }
    // Pin F as the wideband display input, as the input configuration sets it (kept at once).
    void SetWBO2DispOnF(bool on);
    const std::vector<TRecentItem>& RecentMenuItems() const { return recentItems_; }
    // Gives the link the stored port, or the port named for this run (which is not stored),
    // and the display settings.
    void ConfigureLink(TOnlineMode& online, std::optional<int> portThisRun) const;

    // Language.
    Language CurrentLanguage() const { return main_.CurrentLanguage(); }
    void ApplyLanguage(Language lang);
    // The operator assigned other step keys: the pages' hover texts name them.
    void StepKeysChanged();
    void MenuLanguageSelectClick(Language lang);
    bool LanguageItemEnabled(Language item) const { return item != CurrentLanguage(); }
    std::string Caption(TMainText item) const;
    std::string Hint(TMainText item) const;
    // The idle-contact label: "50Hz" after a control refresh found a pulse input, the idle
    // text again after a language switch.
    std::string IdleContactLabel() const;
    void ControlsRefreshed(bool idleContactShows50Hz);

    // The Info box: program, release and the unit the link identified (when there is one).
    std::string InfoText(const std::string& deviceType, const std::string& serialNo,
                         const std::string& version) const;

    // The window title: the data set's caption, marked while the simulated unit is in use or
    // its data set has not been saved under a name of its own.
    std::string WindowTitle() const;
    // The status bar's port panel: the port in use, the simulated unit, or that none is chosen.
    std::string PortPanel() const;
    // Status panels.
    std::string DateTimePanel(std::time_t now) const;
    // The widest texts the date panel shows, in both languages: its width must hold each, or a
    // switch of language cuts the clock.
    static std::vector<std::string> DateTimePanelWidest();
    int PageOnView() const { return pageOnView_; }
    void NotebookPageChanged(int page);
    std::string PageNamePanel() const;
    // F1 and the Help menu: the keys of the page on view, for the working data set's firmware.
    TKeyReference PageKeyReference(TConfiguredStepKeys stepKeys) const;

    // The notebook's pages. The main window reaches a page only through TPage: registered once,
    // it hears every data set load and language change, the live records and keys while on
    // view, and the page selection's show and refresh.
    void SetPage(int index, TPage* page);
    TPage* Page(int index) const;
    void LoadPagesFromImage();
    // The Edit menu: takes the last step back or makes it again, and every page and switch
    // shows the restored values. False when there was no step.
    bool EditUndoClick();
    bool EditRedoClick();
    // The Edit menu's Copy and Paste on the page on view's map or curve: the whole item as text
    // (nothing on a page without one), and a text pasted at its cursor as one undo step (false
    // when nothing changed; a refused text is shown with the place of its fault).
    std::optional<std::string> EditCopyClick() const;
    bool ClipboardEnabled() const;
    bool EditPasteClick(const std::string& text);
    // What the last paste rounded, for the status bar; empty when it took every value as typed.
    const std::string& PasteNote() const { return pasteNote_; }
    void ShowLiveFrame(const TLiveRecord& record);  // to the page on view
    void ShowPage(int page);
    void RefreshPage(int page);

    // Keys that are not operating keys, for the page on view. A page without a key handler of
    // its own shows the page selection on Esc, as the introduction page does.
    void PageKey(int keyCode);
    // An arrow key with Shift held, for the page on view.
    void PageShiftKey(int keyCode);
    std::function<bool(int page, int keyCode)> PageHandlesKey;
    std::function<void()> ShowPageSelection;

    // Menu states when a menu opens.
    bool PrintEnabled() const;
    bool InputConfigEnabled() const;  // type configuration and lambda control items
    int TypeConfigDialog() const;     // 1 or 2: which type configuration dialog the item opens

    // Options > Backup before download, kept at once.
    bool BackupBeforeDownload() const { return backupBeforeDownload_; }
    void BackupOptionClick();

    // The AFR panel's double click switches its readout between AFR and lambda.
    void AFRPanelDblClick();
    bool WBO2DispAfrMaster() const { return wbo2DispAfrMaster_; }

    // Closing: while data are being written into the unit, the question whether to let the
    // transfer finish first (then false, and CloseWhenTransferDone says to close once
    // TransferUnderWay is over); then the question about unsaved data (true: the window may
    // close). A close the operator did not ask for (a signal) waits without a question.
    bool FormCloseQuery();
    std::optional<std::string> TransferUnderWay() const;
    bool CloseWhenTransferDone() const { return closeAfterTransfer_ == TCloseAfterTransfer::Wait; }
    // A signal: wait for the transfer without asking; then (or after the time the window
    // gives it) close whatever the unit holds.
    void CloseWithoutTransferQuestion() { closeAfterTransfer_ = TCloseAfterTransfer::Wait; }
    void StopWaitingForTransfer() { closeAfterTransfer_ = TCloseAfterTransfer::CloseNow; }
    // What a close leaves in the unit, for the terminal (English).
    std::string UnitStateReport() const;
    // Stores the window's state, where a normal window stood, and the recent files.
    bool FormClose(TWindowState state, const std::optional<TWindowRect>& normalPlace = {});

  private:
    bool AllowCloseDuringTransfer();
    bool ShowRestored(bool restored);
    void SetPagesLanguage(Language lang);
    int PortInUse() const;

    TMainModel& main_;
    TSettings settings_;
    TStartSettings started_;
    std::vector<TRecentItem> recentItems_;
    int pageOnView_ = 0;
    enum class TCloseAfterTransfer : std::uint8_t { Ask, Wait, CloseNow };
    TCloseAfterTransfer closeAfterTransfer_ = TCloseAfterTransfer::Ask;
    std::array<TPage*, kPageCount> pages_{};
    std::string pasteNote_;
    bool wbo2DispAfrMaster_ = false;
    bool backupBeforeDownload_ = true;
    bool idleContactShows50Hz_ = false;
};

}  // namespace zv
