// Both input configuration dialogs: the box and list rules on their working copy of the flags
// word, the plausibility refusal, what OK stores and sends, and what is kept at once.
#include "editors/type_config2_dlg.h"
#include "editors/type_config_dlg.h"
#include "dashboard/dashboard.h"
#include "page_fixture.h"

namespace zv::test {
namespace {

constexpr int kTempInAsLambda = 2;
constexpr int kGPInAsLambda = 3;
constexpr int kLampAsSelect = 4;
constexpr int kAnaInFMode1 = 8;
constexpr int kAnaInEMode1 = 9;

class TypeConfig : public PageTest {
  protected:
    void SetUp() override {
        PageTest::SetUp();
        Dlg.Accepted = [this] { ++accepted_; };
        Dlg2.Accepted = [this] { ++accepted_; };
        Dlg2.StartTimer1 = [this] { ++timerStarts_; };
    }
    void OfflineWithFlags(int firmware, std::uint16_t flags) {
        AttachUnit(firmware);
        Main.CreateNewDataSet("car.zvt");
        Data().DeviceData.Firmware = static_cast<std::uint8_t>(firmware);
        Data().DeviceData.SetFlagsWord(flags);
        Main.FlagsToInputSelections(flags);
        StartIdle();
        Data().DeviceData.ChangedOffline = 0;
    }
    static std::uint16_t Bits(std::initializer_list<int> bits) {
        std::uint16_t flags = 0;
        for (int b : bits)
            TZVDataClass::SetFlag(flags, b);
        return flags;
    }
    bool Stored(const char* name) { return Settings.ReadBool("Options", name).value_or(false); }

    TTypeConfigDlg Dlg{Host};
    TTypeConfig2Dlg Dlg2{Host};
    int accepted_ = 0;
    int timerStarts_ = 0;
};

TEST_F(TypeConfig, OlderDialogKeepsTheLambdaBoxesExclusive) {
    OfflineWithFlags(20, Bits({kTempInAsLambda, kGPInAsLambda}));
    Dlg.FormShow();
    EXPECT_TRUE(Dlg.State().TempAsLambda);
    EXPECT_FALSE(Dlg.State().GPAsLambda);
    EXPECT_FALSE(Dlg.State().WBOEnabled);
    EXPECT_TRUE(Dlg.Lamps().Visible);
    EXPECT_EQ(Dlg.Height(), 325);

    Dlg.GPInputAsLambdaCheckBoxClick(true);
    EXPECT_FALSE(Dlg.State().TempAsLambda);
    EXPECT_TRUE(Dlg.State().GPAsLambda);
    EXPECT_TRUE(Dlg.State().TempAsWBO) << "pin F turns to the wideband display";
    EXPECT_TRUE(Stored("WBO2DispOnF"));
    EXPECT_TRUE(Host.WBO2DispOnF());
    EXPECT_EQ(Dlg.WorkingFlags(), Bits({kGPInAsLambda}));

    Dlg.GPInputAsLambdaCheckBoxClick(false);
    EXPECT_FALSE(Dlg.Lamps().Visible);
    EXPECT_EQ(Dlg.Height(), 220);
    Dlg.TempInputAsLambdaCheckBoxClick(true);
    EXPECT_FALSE(Host.WBO2DispOnF()) << "pin F as narrowband input feeds no wideband display";
    EXPECT_FALSE(Stored("WBO2DispOnF"));
    EXPECT_FALSE(Dlg.State().WBOEnabled);
    EXPECT_FALSE(Dlg.State().TempAsWBO) << "the disabled box shows what pin F feeds: nothing";
}

TEST_F(TypeConfig, LampBoxesAndOk) {
    OfflineWithFlags(20, Bits({kTempInAsLambda}));
    Dlg.FormShow();
    EXPECT_TRUE(Dlg.Lamps().AsRevLim);
    Dlg.LampAsRevLimCheckBoxClick(false);
    EXPECT_TRUE(Dlg.Lamps().AsLambda);
    EXPECT_TRUE(TZVDataClass::TestFlag(Dlg.WorkingFlags(), kLampAsSelect));
    EXPECT_FALSE(TZVDataClass::TestFlag(Data().DeviceData.FlagsWord(), kLampAsSelect))
        << "the data set changes only on OK";
    Dlg.OkButtonClick();
    EXPECT_EQ(Data().DeviceData.FlagsWord(), Bits({kTempInAsLambda, kLampAsSelect}));
    EXPECT_EQ(Data().Detail[param::LampAsSelect], 1);
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 1);
    EXPECT_EQ(accepted_, 1);

    // A second showing without changes: OK keeps everything as it is.
    Data().DeviceData.ChangedOffline = 0;
    Dlg.FormShow();
    Dlg.LampAsLambdaCheckBoxClick(false);
    Dlg.LampAsRevLimCheckBoxClick(false);
    Dlg.OkButtonClick();
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 0);
    EXPECT_EQ(accepted_, 1);
}

// The module list names the eight devices; a stored index outside them selects no entry.
TEST_F(TypeConfig, ModuleListWritesTheSettingAtOnce) {
    OfflineWithFlags(20, 0);
    Settings.WriteInteger("Options", "WBO2ModuleType", 255);
    Dlg.FormShow();
    EXPECT_EQ(Dlg.State().ModuleIndex, -1);
    Dlg.WBOModuleComboBoxChange(4);
    EXPECT_EQ(Settings.ReadInteger("Options", "WBO2ModuleType"), 4);
    EXPECT_EQ(Host.WBO2ModuleType(), 4);
    EXPECT_EQ(Dlg.State().Modules[4], "Innovate LC-1: 0..5V = 7.35 - 22.39 AFR");
    Dlg.CancelButtonClick();
    EXPECT_EQ(Settings.ReadInteger("Options", "WBO2ModuleType"), 4) << "Cancel keeps it";
}

// After the refusal the lists show E wideband and F map compensation; that pair is what OK
// stores and what the live displays read, not the refused F wideband kept in the flags.
TEST_F(TypeConfig, NewerDialogRefusesTheSameLambdaKindOnBothInputs) {
    OfflineWithFlags(30, Bits({kTempInAsLambda, kAnaInFMode1}));  // F wideband
    Dlg2.FormShow();
    EXPECT_EQ(Dlg2.State().InputF, 2);
    Dlg2.InputESelectionComboBoxChange(2);
    ASSERT_EQ(Dialogs.Boxes.size(), 1u);
    EXPECT_EQ(timerStarts_, 1);
    EXPECT_EQ(Dlg2.State().InputF, 2) << "the list shows the reset 100 ms later";
    Dlg2.Timer1Timer();
    EXPECT_EQ(Dlg2.State().InputE, 2);
    EXPECT_EQ(Dlg2.State().InputF, 0);
    const std::uint16_t eWideband = Bits({kGPInAsLambda, kAnaInEMode1});
    EXPECT_EQ(Dlg2.WorkingFlags(), eWideband);
    Dlg2.OkButtonClick();
    EXPECT_EQ(Data().DeviceData.FlagsWord(), eWideband);
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 1);
    EXPECT_EQ(Data().InputESelect, 2);
    EXPECT_EQ(Data().InputFSelect, 0);
    const std::array<std::uint8_t, 8> record{0, 0, 0, 0, 0, 111, 0, 222};
    EXPECT_EQ(InputByteWithFunction(record, Data(), 2), 222) << "the displays read E";
}

// Cancel leaves the data set's flags, and the live displays read the inputs those flags name.
TEST_F(TypeConfig, NewerDialogCancelKeepsTheDisplaysOnTheStoredInputs) {
    OfflineWithFlags(30, Bits({kTempInAsLambda, kAnaInFMode1}));  // F wideband
    const std::uint16_t before = Data().DeviceData.FlagsWord();
    Dlg2.FormShow();
    Dlg2.InputFSelectionComboBoxChange(0);
    Dlg2.InputESelectionComboBoxChange(1);
    Dlg2.CancelButtonClick();
    EXPECT_EQ(Data().DeviceData.FlagsWord(), before);
    EXPECT_EQ(Data().InputFSelect, 2);
    EXPECT_EQ(Data().InputESelect, 0);
    Dlg2.FormShow();
    EXPECT_EQ(Dlg2.State().InputF, 2);
    EXPECT_EQ(Dlg2.State().InputE, 0);
}

// The older units' live records (24-byte from firmware 24) are read by the input functions,
// which OK derives from the flags word it stores.
TEST_F(TypeConfig, OlderDialogOkSetsTheInputsTheDisplaysRead) {
    OfflineWithFlags(26, 0);
    Dlg.FormShow();
    Dlg.GPInputAsLambdaCheckBoxClick(true);
    Dlg.OkButtonClick();
    EXPECT_EQ(Data().DeviceData.FlagsWord(), Bits({kGPInAsLambda}));
    EXPECT_EQ(Data().InputESelect, 1);
    EXPECT_EQ(Data().InputFSelect, 0);
}

// Cancel keeps pin F narrowband in the flags; the wideband display the box handler switched to
// pin F at once would read the narrowband probe.
TEST_F(TypeConfig, OlderDialogCancelKeepsPinFOffTheWidebandDisplay) {
    OfflineWithFlags(20, Bits({kTempInAsLambda}));
    Host.SetWBO2DispOnF(false);
    Dlg.FormShow();
    Dlg.TempInputAsLambdaCheckBoxClick(false);
    EXPECT_TRUE(Host.WBO2DispOnF());
    Dlg.CancelButtonClick();
    EXPECT_EQ(Data().DeviceData.FlagsWord(), Bits({kTempInAsLambda}));
    EXPECT_FALSE(Host.WBO2DispOnF());
    EXPECT_FALSE(Stored("WBO2DispOnF"));
}

// A lamp choice made before a selection change stays in the working copy that OK stores.
TEST_F(TypeConfig, NewerDialogKeepsAnEarlierLampChoice) {
    OfflineWithFlags(30, 0);
    Dlg2.FormShow();
    EXPECT_FALSE(Dlg2.Lamps().Visible);
    Dlg2.InputFSelectionComboBoxChange(1);
    EXPECT_TRUE(Dlg2.Lamps().Visible);
    Dlg2.LampAsLambdaCheckBoxClick(true);
    Dlg2.InputESelectionComboBoxChange(2);
    Dlg2.OkButtonClick();
    const std::uint16_t flags = Data().DeviceData.FlagsWord();
    EXPECT_TRUE(TZVDataClass::TestFlag(flags, kLampAsSelect));
    EXPECT_TRUE(TZVDataClass::TestFlag(flags, kTempInAsLambda));
    EXPECT_TRUE(TZVDataClass::TestFlag(flags, kGPInAsLambda));
    EXPECT_EQ(accepted_, 1);
}

TEST_F(TypeConfig, NewerDialogOnlyAbove27) {
    OfflineWithFlags(27, Bits({kLampAsSelect}));
    Dlg2.FormShow();
    Dlg2.LampAsRevLimCheckBoxClick(true);
    EXPECT_EQ(Dlg2.WorkingFlags(), 0) << "not shown for firmware 27: no working copy";
    Data().DeviceData.Firmware = 28;
    Dlg2.FormShow();
    EXPECT_EQ(Dlg2.WorkingFlags(), Bits({kLampAsSelect}));
}

TEST_F(TypeConfig, OkOnlineSendsTheFlagsWordOnlyWhenChanged) {
    TTypeConfig2Dlg& dlg = Dlg2;
    GoOnlineWithNewDataSet(30);
    Unit->ClearCounters();
    dlg.FormShow();
    dlg.OkButtonClick();
    Clock.Advance(1000);
    EXPECT_TRUE(Unit->WriteLog().empty());
    dlg.FormShow();
    dlg.InputFSelectionComboBoxChange(1);
    dlg.OkButtonClick();
    Clock.Advance(1000);
    ASSERT_EQ(Unit->WriteLog().size(), 2u);
    EXPECT_EQ(Unit->WriteLog()[0].Address, 4);
    EXPECT_EQ(Unit->Peek(2, 4) | (Unit->Peek(2, 5) << 8), Data().DeviceData.FlagsWord());
    EXPECT_TRUE(TZVDataClass::TestFlag(Data().DeviceData.FlagsWord(), kTempInAsLambda));
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 0);
}

}  // namespace
}  // namespace zv::test
