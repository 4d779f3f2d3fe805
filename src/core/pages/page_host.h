#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "config/key_control.h"
#include "data/zv_data_class.h"
#include "history/edit_history.h"
#include "online/main_controls.h"
#include "online/sequences.h"
#include "seams/dialogs.h"
#include "seams/settings.h"
#include "text/text_table.h"

namespace zv {

// What the main window offers its pages. Implemented once on the main window's side, so that
// every editor writes, sends and marks its changes the same way.
class TPageHost {
  public:
    virtual ~TPageHost() = default;

    virtual TZVDataClass& Data() = 0;
    virtual Language CurrentLanguage() const = 0;
    // The online mode is in its run-online state: edits go to the unit at once.
    virtual bool RunOnline() const = 0;
    // The notebook page the operator sees; pages with their own timers stop them elsewhere.
    virtual int PageOnView() const = 0;
    // What the link states decided about the pages' controls (live cursors, transfer buttons).
    virtual const TMainControls& Controls() const = 0;

    // The edit step of every editor. bytes (1, 2 or 16 of them) are the new values for the
    // image at write.Offset; when they equal what is there nothing happens and false is
    // returned. Otherwise they are stored, the edit fields rebuilt when asked, the data set
    // marked modified, and the bytes queued for the unit while running online (PauseTimer
    // started when asked) or the data set marked as changed offline.
    // Every write lands in the edit history: in the step a TEditStep on History() keeps open,
    // or as a step of its own.
    virtual bool WriteImage(const TImageWrite& write, std::span<const std::uint8_t> bytes) = 0;
    virtual TEditHistory& History() = 0;
    // The short pause after a single-value write to the unit; steps of that value wait for it.
    virtual bool PauseTimerActive() const = 0;
    // The operator's two step keys of the main key control seen as plus (187) and minus (189).
    virtual std::uint8_t TranslateStepKey(std::uint8_t key) const = 0;
    // The same two keys, for the hover texts of the pages that honour them.
    virtual TConfiguredStepKeys ConfiguredStepKeys() const = 0;

    virtual TSettings& Settings() = 0;
    virtual MsgAnswer ShowMessage(MsgKind kind, const std::string& text,
                                  MsgButtons buttons = MsgButtons::Ok) = 0;
    // A yes/no question with a box to tick for "remember the answer".
    virtual MsgAnswer AskRemembering(const std::string& text, const std::string& rememberText,
                                     bool& remember) = 0;
    // Esc on a page: the page selection comes to the front.
    virtual void ShowPageSelection() = 0;
    // The keys go back to the main window's key control.
    virtual void FocusKeyControl() = 0;
    // A transfer button: starts the download sequence of that kind.
    virtual void StartDownload(TSequence sequence) = 0;
    // Takes the link offline (closing the port) when it is online; nothing otherwise.
    virtual void SwitchOfflineIfOnline() = 0;

    // The wideband readout's settings, held by the main window and shared by the pages that
    // show the reading.
    virtual int WBODebounceLevel() const = 0;
    virtual void SetWBODebounceLevel(int level) = 0;
    virtual bool WBO2DispAfrMaster() const = 0;
    virtual void ToggleWBO2DispAfrMaster() = 0;  // also written to the settings
    virtual bool WBO2DispOnF() const = 0;        // pin F carries a wideband display signal
    virtual int WBO2ModuleType() const = 0;      // device index of the wideband controller
    // The input configuration's choices, kept in the settings at once.
    virtual void SetWBO2DispOnF(bool on) = 0;
    virtual void SetWBO2ModuleType(int type) = 0;
    // Input functions of E and F into the flags word; refuses (with its message) the same
    // lambda kind on both inputs, and then resets F to none.
    virtual bool InputSelectionsToFlags(std::uint16_t& flags) = 0;
    // The input functions that a flags word names, for every display that reads an input.
    virtual void FlagsToInputSelections(std::uint16_t flags) = 0;
};

// The edit step for bytes of the main area, whose offsets are also the unit's addresses.
inline bool WriteMainBytes(TPageHost& host, std::size_t offset, std::span<const std::uint8_t> bytes,
                           bool pause = false) {
    TImageWrite write = MainAreaWrite(offset);
    write.Pause = pause;
    return host.WriteImage(write, bytes);
}

inline bool WriteMainByte(TPageHost& host, std::size_t offset, int value, bool pause = false) {
    const std::array<std::uint8_t, 1> bytes = {static_cast<std::uint8_t>(value)};
    return WriteMainBytes(host, offset, bytes, pause);
}

// Switches one bit of the flags word and writes the word; gives the new word.
inline std::uint16_t ToggleMainFlag(TPageHost& host, int bit) {
    const auto flags = static_cast<std::uint16_t>(host.Data().DeviceData.FlagsWord() ^ (1u << bit));
    WriteMainBytes(host, img::FlagsWord, WordBytes(flags));
    return flags;
}

}  // namespace zv
