#include <gtest/gtest.h>

#include <filesystem>

#include "app/main_form_model.h"
#include "data_files.h"
#include "online/online_mode.h"
#include "temp_dir.h"

namespace zv {
namespace {

using test::ModelFixture;
using test::TempDir;

class MainForm : public ::testing::Test {
  protected:
    // A data set read from a file and then changed, as the close question sees it.
    void OpenAndChange() {
        f.model.CreateNewDataSet(path);
        ASSERT_TRUE(f.model.SaveDataFile());
        ASSERT_TRUE(f.model.OpenDataFile(path));
        f.model.SetModified(true);
        f.dialogs.Boxes.clear();
    }
    std::string OnDisk() const { return TempDir::Read(path); }

    TempDir dir;
    std::string path = dir.File("car.zvt");
    ModelFixture f;
    TMainFormModel form{f.model, f.settings};
};

TEST_F(MainForm, ClosingWithUnsavedDataNeverLosesThem) {
    EXPECT_TRUE(form.FormCloseQuery()) << "nothing to ask without a data set";
    OpenAndChange();
    const std::string before = OnDisk();
    f.model.Data().Comment = {"changed"};

    f.dialogs.Answers = {MsgAnswer::Cancel};
    EXPECT_FALSE(form.FormCloseQuery());
    ASSERT_EQ(f.dialogs.Boxes.size(), 1u);
    EXPECT_EQ(f.dialogs.Boxes[0].Kind, MsgKind::Confirmation);
    EXPECT_EQ(f.dialogs.Boxes[0].Caption, "Confirmation");
    EXPECT_EQ(f.dialogs.Boxes[0].Text, "Data have been changed! Save first? -> " + path);
    EXPECT_EQ(f.dialogs.Boxes[0].Buttons, MsgButtons::YesNoCancel);

    f.dialogs.Answers = {MsgAnswer::No};
    EXPECT_TRUE(form.FormCloseQuery()) << "No closes";
    EXPECT_TRUE(f.dialogs.SaveRequests.empty()) << "and saves nothing, as the button says";
    EXPECT_EQ(OnDisk(), before);

    f.dialogs.Answers = {MsgAnswer::Yes};
    EXPECT_TRUE(form.FormCloseQuery());
    EXPECT_NE(OnDisk(), before) << "Yes saves into the data set's file";
    EXPECT_NE(OnDisk().find("changed"), std::string::npos);
}

// Every reply through a USB-serial adapter waits for its latency timer; the tuner learns once
// per port what a slow one costs (about a thousand turns per full transfer) and how to lower it.
TEST_F(MainForm, ASlowUsbSerialAdapterIsPointedOutOncePerPort) {
    auto has = [](const std::string& text, const std::string& part) {
        return text.find(part) != std::string::npos;
    };
    f.model.AdapterLatencyFound(3, 4);
    EXPECT_TRUE(f.dialogs.Boxes.empty()) << "4 ms costs little";
    f.model.AdapterLatencyFound(3, 0);
    EXPECT_TRUE(f.dialogs.Boxes.empty());

    f.model.AdapterLatencyFound(3, 5);
    ASSERT_EQ(f.dialogs.Boxes.size(), 1u);
    EXPECT_EQ(f.dialogs.Boxes[0].Kind, MsgKind::Information);
    EXPECT_EQ(f.dialogs.Boxes[0].Caption, "Information");
    EXPECT_EQ(f.dialogs.Boxes[0].Buttons, MsgButtons::Ok);
    EXPECT_TRUE(has(f.dialogs.Boxes[0].Text, "COM3")) << f.dialogs.Boxes[0].Text;
    EXPECT_TRUE(has(f.dialogs.Boxes[0].Text, " 5 ms"));
    EXPECT_TRUE(has(f.dialogs.Boxes[0].Text, "about 5 s more"));

    f.model.AdapterLatencyFound(3, 16);
    EXPECT_EQ(f.dialogs.Boxes.size(), 1u) << "once per port and run";

    f.model.AdapterLatencyFound(7, 16);
    ASSERT_EQ(f.dialogs.Boxes.size(), 2u);
    const std::string& en = f.dialogs.Boxes[1].Text;
    EXPECT_TRUE(has(en, "The USB-serial adapter on COM7 holds received bytes back for 16 ms")) << en;
    EXPECT_TRUE(has(en, "Each of the about 1000 request-reply turns of a full upload or download "
                        "waits that long: about 16 s more per transfer."));
    EXPECT_TRUE(has(en, "Device Manager > Ports (COM & LPT) > the adapter > Properties > Port "
                        "Settings > Advanced > Latency Timer = 1 ms"));

    f.model.SetLanguage(Language::German);
    f.model.AdapterLatencyFound(12, 32);
    ASSERT_EQ(f.dialogs.Boxes.size(), 3u);
    EXPECT_EQ(f.dialogs.Boxes[2].Caption, "Information");
    const std::string& de = f.dialogs.Boxes[2].Text;
    EXPECT_TRUE(has(de, "COM12 hält empfangene Bytes 32 ms zurück")) << de;
    EXPECT_TRUE(has(de, "etwa 1000 Frage-Antwort-Wechsel"));
    EXPECT_TRUE(has(de, "etwa 32 s mehr je Übertragung"));
    EXPECT_TRUE(has(de, "Geräte-Manager > Anschlüsse (COM & LPT) > der Adapter > Eigenschaften > "
                        "Port Settings > Advanced > Latency Timer = 1 ms"));
}

TEST_F(MainForm, AFailedOrCancelledSaveKeepsTheProgramOpen) {
    OpenAndChange();
    f.model.Data().FileName = dir.File("missing-folder/car.zvt");
    f.dialogs.Answers = {MsgAnswer::Yes};
    EXPECT_FALSE(form.FormCloseQuery()) << "the save failed";

    // A data set that never had a file asks for a name; cancelling that keeps it open too.
    f.model.SetNeverSaved(true);
    f.dialogs.Answers = {MsgAnswer::Yes};
    f.dialogs.SaveChoices = {std::nullopt};
    EXPECT_FALSE(form.FormCloseQuery());
    EXPECT_EQ(f.dialogs.SaveRequests.size(), 1u);

    f.dialogs.Answers = {MsgAnswer::Yes};
    f.dialogs.SaveChoices = {dir.File("named.zvt")};
    EXPECT_TRUE(form.FormCloseQuery());
    EXPECT_TRUE(std::filesystem::exists(dir.File("named.zvt")));
}

// Settings that cannot be kept at exit: the operator is told.
class RefusingStore : public MemorySettingsStore {
  public:
    bool Flush() override { return false; }
};

TEST_F(MainForm, ExitWritesWindowStateAndRecentFilesAndReportsAFailure) {
    f.model.SetRecentFiles({"/b.zvt", "/a.zvt"});
    EXPECT_TRUE(form.FormClose(TWindowState::Normal));
    EXPECT_EQ(f.settings.ReadString("Options", "Windowstate"), "Normal");
    EXPECT_EQ(f.settings.ReadString("Files", "Name0"), "/b.zvt");
    EXPECT_EQ(f.settings.ReadString("Files", "Name2"), "");
    EXPECT_TRUE(f.dialogs.Boxes.empty());

    RefusingStore refusing;
    TMainFormModel broken(f.model, refusing);
    EXPECT_FALSE(broken.FormClose(TWindowState::Maximized));
    ASSERT_EQ(f.dialogs.Boxes.size(), 1u);
    EXPECT_EQ(f.dialogs.Boxes[0].Kind, MsgKind::Information);
}

// A data set of the simulated unit must never pass for a car's: the title says where it came
// from until it is saved under a name of its own.
TEST_F(MainForm, TitleMarksADataSetOfTheSimulatedUnitUntilSavedUnderANewName) {
    const std::string plain = f.model.Caption();
    EXPECT_EQ(form.WindowTitle(), plain);
    f.model.SetFromSimulatedUnit(true);
    EXPECT_EQ(form.WindowTitle(), plain + "  [Simulated unit]");
    form.ApplyLanguage(Language::German);
    EXPECT_EQ(form.WindowTitle(), plain + "  [Simulierte Einheit]");
    form.ApplyLanguage(Language::English);

    f.dialogs.SaveChoices = {path};
    f.model.MenuSaveZVFileAsClick();
    ASSERT_EQ(f.model.Data().FileName, path);
    EXPECT_EQ(form.WindowTitle(), f.model.Caption()) << "saved under a new name: the mark goes";

    f.model.SetFromSimulatedUnit(true);
    f.model.ZVFileSaveClick();
    EXPECT_NE(form.WindowTitle().find("[Simulated unit]"), std::string::npos)
        << "saving under the same name keeps the mark";
    ASSERT_TRUE(f.model.OpenDataFile(path));
    EXPECT_EQ(form.WindowTitle(), f.model.Caption()) << "a data set read from a file is the file's";
}

TEST_F(MainForm, MenuStatesFollowTheDataSetAndItsFirmware) {
    TZVDataClass& d = f.model.Data();
    EXPECT_FALSE(form.PrintEnabled());
    EXPECT_FALSE(form.InputConfigEnabled());
    d.DeviceData.DeviceValid = 1;
    d.DeviceData.Firmware = 10;
    EXPECT_TRUE(form.PrintEnabled());
    EXPECT_FALSE(form.InputConfigEnabled());
    d.DeviceData.Firmware = 11;
    EXPECT_TRUE(form.InputConfigEnabled());
    d.DeviceData.DeviceValid = 0;
    d.Loaded = 1;
    EXPECT_TRUE(form.InputConfigEnabled());
    d.DeviceData.Firmware = 27;
    EXPECT_EQ(form.TypeConfigDialog(), 1);
    d.DeviceData.Firmware = 28;
    EXPECT_EQ(form.TypeConfigDialog(), 2);
}

TEST_F(MainForm, LanguageSwitchRecaptionsAndIsStored) {
    form.MenuLanguageSelectClick(Language::German);
    EXPECT_EQ(f.settings.ReadString("Options", "Language"), "german");
    EXPECT_EQ(form.Caption(TMainText::FileMenu), "&Datei");
    EXPECT_EQ(form.Hint(TMainText::F5Button), "(F5) Verbindung zum Steuergerät aufbauen");
    EXPECT_EQ(form.Hint(TMainText::RecentFile), "Diese Zevrin-Datei laden");
    // Status-bar hints carry no mnemonic marks.
    EXPECT_EQ(form.Hint(TMainText::New), "Neue Zevrin-Datei erzeugen");
    EXPECT_EQ(form.Hint(TMainText::Save), "Speichern der Daten in einer Zevrin-Datei");
    EXPECT_FALSE(form.LanguageItemEnabled(Language::German));
    EXPECT_TRUE(form.LanguageItemEnabled(Language::English));
    EXPECT_EQ(form.DateTimePanel(1700000000)[0], ' ');
    EXPECT_EQ(form.DateTimePanel(1700000000)[3], '.');

    form.MenuLanguageSelectClick(Language::English);
    EXPECT_EQ(f.settings.ReadString("Options", "Language"), "english");
    EXPECT_EQ(form.Caption(TMainText::EngineSpeedLabel), "Engine speed [rpm]");
    EXPECT_EQ(form.Caption(TMainText::About), "About");
    EXPECT_EQ(form.DateTimePanel(1700000000)[3], '/');
    EXPECT_EQ(form.PageNamePanel(), "Intro");
    form.NotebookPageChanged(9);
    EXPECT_EQ(form.PageNamePanel(), "Lamp Outputs");

    // A pulse input shows "50Hz" until the next language switch writes the idle text again.
    form.ControlsRefreshed(true);
    EXPECT_EQ(form.IdleContactLabel(), "50Hz");
    form.MenuLanguageSelectClick(Language::German);
    EXPECT_EQ(form.IdleContactLabel(), "Leerl.");
}

TEST_F(MainForm, EscShowsThePageSelectionUnlessThePageTakesTheKey) {
    int shown = 0;
    std::vector<int> pageKeys;
    form.ShowPageSelection = [&shown] { ++shown; };
    form.PageKey(key::Esc);
    form.PageKey(38);
    EXPECT_EQ(shown, 1) << "on the introduction page only Esc does something";

    form.PageHandlesKey = [&pageKeys](int page, int code) {
        if (page != 1)
            return false;
        pageKeys.push_back(code);
        return true;
    };
    form.NotebookPageChanged(1);
    form.PageKey(key::Esc);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(pageKeys, std::vector<int>{key::Esc});
    form.NotebookPageChanged(11);
    form.PageKey(key::Esc);
    EXPECT_EQ(shown, 2) << "a page without its own handler still leads back to the selection";
}

TEST_F(MainForm, AfrPanelDoubleClickTogglesTheReadoutAndRemembersIt) {
    EXPECT_FALSE(form.WBO2DispAfrMaster());
    form.AFRPanelDblClick();
    EXPECT_TRUE(form.WBO2DispAfrMaster());
    EXPECT_EQ(f.settings.ReadBool("Options", "WBO2DispAfrMaster"), true);
    form.AFRPanelDblClick();
    EXPECT_EQ(f.settings.ReadBool("Options", "WBO2DispAfrMaster"), false);
}

}  // namespace
}  // namespace zv
