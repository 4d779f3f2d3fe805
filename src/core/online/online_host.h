#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "backup/unit_backup.h"
#include "data/zv_data_class.h"
#include "history/edit_history.h"
#include "seams/dialogs.h"
#include "text/text_table.h"

namespace zv {

// What the online mode needs of the program around it: the one data set, the boxes and texts
// in the current language, the marks of the data set, and a place to keep the port the
// operator chose. The main model gives it; the online mode knows nothing above this.
class TOnlineHost {
  public:
    virtual ~TOnlineHost() = default;

    virtual TZVDataClass& Data() = 0;
    virtual Language CurrentLanguage() const = 0;
    virtual const char* Text(int k) const = 0;
    virtual MsgAnswer ShowMessage(MsgKind kind, const std::string& text,
                                  MsgButtons buttons = MsgButtons::Ok) = 0;
    // The question before an upload that differs from the working data replaces them (Yes/No,
    // or with Cancel where the PC's data may also be written into the unit); the program may
    // offer to show what differs before the operator answers.
    virtual MsgAnswer AskAcceptUpload(const std::string& text,
                                      MsgButtons buttons = MsgButtons::YesNo) {
        return ShowMessage(MsgKind::Warning, text, buttons);
    }

    // The edit step of the pages and the operating keys (see TPageHost::WriteImage), and the
    // history it records into, which an accepted upload starts afresh.
    virtual bool WriteImage(const TImageWrite& write, std::span<const std::uint8_t> bytes) = 0;
    virtual TEditHistory& History() = 0;

    virtual bool Modified() const = 0;
    virtual void SetModified(bool modified) = 0;
    virtual void SetNeverSaved(bool neverSaved) = 0;
    // A data set taken over from the built-in simulated unit is marked as such until it is
    // saved under a name of its own; one from a real unit is not.
    virtual void SetFromSimulatedUnit(bool fromSimulatedUnit) = 0;
    virtual void FlagsToInputSelections(std::uint16_t flags) = 0;
    // True when the file was read and is now the current data set.
    virtual bool OpenDataFile(const std::string& path) = 0;
    // The port the operator picked in the port menu, kept for the next start.
    virtual void StorePortChoice(int port) = 0;
    // Keeps the data set a unit held before a download overwrote it.
    virtual TBackupSaved SaveUnitBackup(const TZVDataSet& unit) = 0;

    // Set by the online mode: whether it is online (F5 down) and how to switch it off as F5
    // would, for the file commands that must not change the data set under a running stream.
    std::function<bool()> IsOnline;
    std::function<void()> SwitchOffline;
};

}  // namespace zv
