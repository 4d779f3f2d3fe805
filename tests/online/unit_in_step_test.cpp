// The unit and the PC's data set in step across going offline and online: an edit made while the
// unit was offline or connecting, a unit changed elsewhere, an undo during a download and a
// download cut off are each either in the unit or announced, never hidden.
#include "app/main_form_model.h"
#include "online_fixture.h"

namespace zv::test {
namespace {

constexpr std::size_t kCell = 40;  // fuel map byte k = 40, unit address 0x128 from firmware 9 on
constexpr std::uint16_t kCellAddress = 0x100 + kCell;

class UnitInStep : public OnlineTest {
  protected:
    // Online with the unit's new data set taken over, then offline again.
    void TakeOverThenGoOffline() {
        GoOnlineWithNewDataSet(30);
        // A data set left from an earlier round goes into the new unit first (Yes).
        ASSERT_TRUE(OnlineAndSent());
        F5();
        ASSERT_TRUE(RunUntilState(link::Idle, 10000));
        Dialogs.Boxes.clear();
        Statuses.clear();
    }
    void F5() { Online->DispatchKey(key::F5); }
    // A map cell stepped through the edit step, as a page does.
    void EditCell(std::uint8_t value) {
        TImageWrite write = MainAreaWrite(img::FuelMap + kCell);
        write.Address = kCellAddress;
        const std::array<std::uint8_t, 1> bytes = {value};
        ASSERT_TRUE(Main.WriteImage(write, bytes));
    }
    std::uint8_t PcCell() { return Data().DeviceData.Image[img::FuelMap + kCell]; }
    std::uint8_t UnitCell() { return Unit->Peek(2, kCellAddress); }
    // Boxes asked with three buttons: the choice between the PC's and the unit's data.
    int Choices() const {
        return static_cast<int>(std::count_if(Dialogs.Boxes.begin(), Dialogs.Boxes.end(), [](const auto& b) {
            return b.Buttons == MsgButtons::YesNoCancel;
        }));
    }
    bool OnlineAndSent() {
        return RunUntilState(link::RunOnline, 30000) &&
               Clock.RunUntil([&] { return Online->Link().QueuedWrites() == 0; }, 10000) &&
               (Clock.Advance(300), true);
    }
};

TEST_F(UnitInStep, AnOfflineEditIsOfferedOnTheNextConnectionAndWrittenAsChosen) {
    TakeOverThenGoOffline();
    const std::uint8_t old = UnitCell();
    EditCell(static_cast<std::uint8_t>(old + 9));
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 1);
    Dialogs.Answers = {MsgAnswer::Yes};  // write the PC's differences
    F5();
    ASSERT_TRUE(OnlineAndSent());
    EXPECT_EQ(Dialogs.Boxes.front().Text, "Data Changed") << "the information comes first";
    EXPECT_EQ(Choices(), 1);
    EXPECT_EQ(UnitCell(), old + 9);
    EXPECT_EQ(PcCell(), old + 9);
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 0);
    EXPECT_TRUE(Main.History().CanUndo()) << "the PC's data set stayed, and its history";
}

// An edit made in each phase of going online, from the first ping to the acceptance of the
// unit's data: it reaches the unit once the operator chose the PC's differences (Yes, the
// default), never silently lost under the unit's values.
TEST_F(UnitInStep, AnEditInEveryPhaseOfGoingOnlineIsNotLost) {
    for (const char* phase : {"Device check", "Upload Device ID", "Device Data Upload",
                              "ZV map Upload", "AFR map Upload", "Upload successfull"}) {
        SCOPED_TRACE(phase);
        TakeOverThenGoOffline();
        const auto edited = static_cast<std::uint8_t>(UnitCell() + 3);
        F5();
        ASSERT_TRUE(RunUntilStatus(phase, 10000));
        EditCell(edited);
        ASSERT_TRUE(OnlineAndSent());
        EXPECT_EQ(Choices(), 1);
        EXPECT_EQ(UnitCell(), edited);
        EXPECT_EQ(PcCell(), edited);
        EXPECT_EQ(Data().DeviceData.ChangedOffline, 0);
        F5();
        ASSERT_TRUE(RunUntilState(link::Idle, 10000));
    }
}

TEST_F(UnitInStep, AUnitChangedElsewhereIsReadAndItsDataCanBeTaken) {
    TakeOverThenGoOffline();
    Unit->Poke(2, kCellAddress, 77);
    Dialogs.Answers = {MsgAnswer::No};  // take the unit's data
    F5();
    ASSERT_TRUE(OnlineAndSent());
    EXPECT_TRUE(Saw("ZV map Upload")) << "the same identification no longer skips the upload";
    EXPECT_EQ(Choices(), 1);
    EXPECT_EQ(PcCell(), 77);
    EXPECT_EQ(Data().Map[15 - kCell / 16][15 - kCell % 16], 77) << "and the page's fields";

    // Unchanged since: going online again asks nothing.
    F5();
    ASSERT_TRUE(RunUntilState(link::Idle, 10000));
    Dialogs.Boxes.clear();
    F5();
    ASSERT_TRUE(OnlineAndSent());
    EXPECT_TRUE(Dialogs.Boxes.empty());
}

TEST_F(UnitInStep, CancelKeepsThePcsDataOfflineAndStillMarked) {
    TakeOverThenGoOffline();
    const std::uint8_t old = UnitCell();
    EditCell(static_cast<std::uint8_t>(old + 1));
    Dialogs.Answers = {MsgAnswer::Cancel};
    F5();
    ASSERT_TRUE(Clock.RunUntil([&] { return Choices() == 1; }, 30000));
    ASSERT_TRUE(RunUntilState(link::Idle, 10000));
    EXPECT_EQ(PcCell(), old + 1);
    EXPECT_EQ(UnitCell(), old);
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 1);
}

TEST_F(UnitInStep, AnUndoAfterItsBlockWasWrittenLeavesTheDownloadMarkedChanged) {
    TakeOverThenGoOffline();
    const std::uint8_t old = UnitCell();
    EditCell(static_cast<std::uint8_t>(old + 5));
    Online->DispatchKey(key::F8);
    // The fuel map is written and read back; the AFR map follows on this firmware.
    ASSERT_TRUE(RunUntilStatus("AFR map download", 60000));
    ASSERT_TRUE(Main.Undo());
    ASSERT_TRUE(RunUntilState(link::Idle, 60000));
    EXPECT_EQ(UnitCell(), old + 5);
    EXPECT_EQ(PcCell(), old);
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 1) << "the unit lacks the undo";
}

// A download cut off by a vanishing unit in each of its parts: the box says which parts hold
// the PC's data, and once the unit is back the next F5 reads what it really holds and offers
// the differences, after which it holds the PC's data set.
TEST_F(UnitInStep, ADownloadCutOffSaysWhatTheUnitHoldsAndTheNextConnectionShowsIt) {
    struct Cut {
        const char* Part;
        const char* DeviceData;
        const char* FuelMap;
        int Choices;  // cut in the AFR map, which the PC left as the unit had it: nothing differs
    };
    for (const Cut& cut : {Cut{"Device Data Download", "- device data: partly", "- fuel map: its own as before", 1},
                           Cut{"ZV map download", "- device data: the PC's", "- fuel map: partly the PC's, partly its own", 1},
                           Cut{"AFR map download", "- device data: the PC's", "- fuel map: the PC's", 0}}) {
        SCOPED_TRACE(cut.Part);
        TakeOverThenGoOffline();
        // Every map cell and one parameter byte changed offline: the whole data set goes.
        for (std::size_t k = 0; k < 256; ++k) {
            const auto value = static_cast<std::uint8_t>(Data().DeviceData.Image[img::FuelMap + k] ^ 0x55);
            TImageWrite write = MainAreaWrite(img::FuelMap + k);
            write.Address = static_cast<std::uint16_t>(0x100 + k);
            const std::array<std::uint8_t, 1> bytes = {value};
            Main.WriteImage(write, bytes);
        }
        const std::array<std::uint8_t, 1> idle = {static_cast<std::uint8_t>(Data().DeviceData.Image[200] ^ 0x0F)};
        Main.WriteImage(MainAreaWrite(200), idle);
        Online->DispatchKey(key::F8);
        ASSERT_TRUE(RunUntilStatus(cut.Part, 60000));
        Clock.Advance(700);
        Unit->Vanish();
        ASSERT_TRUE(RunUntilState(link::Idle, 60000));
        ASSERT_FALSE(Dialogs.Boxes.empty());
        const auto& box = Dialogs.Boxes.back();
        EXPECT_EQ(box.Kind, MsgKind::Error);
        EXPECT_NE(box.Text.find(cut.DeviceData), std::string::npos) << box.Text;
        EXPECT_NE(box.Text.find(cut.FuelMap), std::string::npos) << box.Text;
        EXPECT_NE(box.Text.find("There is no backup"), std::string::npos) << box.Text;
        EXPECT_EQ(Data().DeviceData.ChangedOffline, 1);

        Unit->Reappear();
        Dialogs.Boxes.clear();
        Dialogs.Answers = {MsgAnswer::Yes};
        F5();
        ASSERT_TRUE(OnlineAndSent());
        EXPECT_EQ(Choices(), cut.Choices);
        for (std::size_t k = 0; k < 256; ++k)
            ASSERT_EQ(Unit->Peek(2, static_cast<std::uint16_t>(0x100 + k)), Data().DeviceData.Image[img::FuelMap + k]) << k;
        EXPECT_EQ(Unit->Peek(2, 200), Data().DeviceData.Image[200]);
        EXPECT_EQ(Data().DeviceData.ChangedOffline, 0);
        F5();
        ASSERT_TRUE(RunUntilState(link::Idle, 10000));
    }
}

}  // namespace
}  // namespace zv::test

namespace zv::test {
namespace {

TEST_F(UnitInStep, ClosingDuringADownloadAsksAndLetsItFinishFirst) {
    TakeOverThenGoOffline();
    TMainFormModel form{Main, Settings};
    EditCell(static_cast<std::uint8_t>(UnitCell() + 2));
    Online->DispatchKey(key::F8);
    ASSERT_TRUE(RunUntilStatus("ZV map download", 60000));
    ASSERT_TRUE(form.TransferUnderWay());
    Dialogs.Answers = {MsgAnswer::Cancel};
    EXPECT_FALSE(form.FormCloseQuery());
    EXPECT_EQ(Dialogs.Boxes.back().Text.rfind("Data are being written into the unit (ZV map download).", 0), 0u)
        << Dialogs.Boxes.back().Text;
    EXPECT_FALSE(form.CloseWhenTransferDone());

    Dialogs.Answers = {MsgAnswer::Yes};
    EXPECT_FALSE(form.FormCloseQuery());
    EXPECT_TRUE(form.CloseWhenTransferDone());
    const std::size_t boxes = Dialogs.Boxes.size();
    EXPECT_FALSE(form.FormCloseQuery()) << "still writing: the window waits";
    ASSERT_TRUE(RunUntilState(link::Idle, 60000));
    EXPECT_FALSE(form.TransferUnderWay());
    EXPECT_TRUE(form.FormCloseQuery());
    EXPECT_EQ(Dialogs.Boxes.size(), boxes) << "asked once";
    EXPECT_EQ(UnitCell(), PcCell()) << "the download finished";
    EXPECT_NE(form.UnitStateReport().find("- fuel map: the PC's"), std::string::npos) << form.UnitStateReport();
}

TEST_F(UnitInStep, ClosingWithNoWriteUnderWayAsksNothingAndNoClosesAtOnce) {
    TakeOverThenGoOffline();
    TMainFormModel form{Main, Settings};
    EXPECT_TRUE(form.FormCloseQuery());
    EXPECT_TRUE(Dialogs.Boxes.empty());
    Online->DispatchKey(key::F8);
    ASSERT_TRUE(RunUntilStatus("ZV map download", 60000));
    Dialogs.Answers = {MsgAnswer::No};
    EXPECT_TRUE(form.FormCloseQuery());
    EXPECT_EQ(Dialogs.Boxes.size(), 1u);
}

TEST_F(UnitInStep, TheTintCanTakeTheUnitAsLastReadAsItsReference) {
    TakeOverThenGoOffline();
    EXPECT_TRUE(Main.CanCompareWithUnit());
    EditCell(static_cast<std::uint8_t>(UnitCell() + 4));
    ASSERT_TRUE(Main.OverlayFromUnit());
    EXPECT_EQ(Main.OverlaySource(), TOverlaySource::UnitNow);
    const TClassGrid classes = Main.Overlay().MapClasses(Data().Map);
    int tinted = 0;
    for (const auto& row : classes)
        for (int c : row)
            tinted += c != 0;
    EXPECT_EQ(tinted, 1);
    EXPECT_NE(classes[15 - kCell / 16][15 - kCell % 16], 0) << "the edited cell, rising";
}

TEST(UnitAsLastRead, NothingReadNothingToCompare) {
    ScriptedDialogs dialogs;
    MemorySettingsStore settings;
    TMainModel main(dialogs, settings);
    EXPECT_FALSE(main.CanCompareWithUnit());
    EXPECT_FALSE(main.OverlayFromUnit());
    ASSERT_EQ(dialogs.Boxes.size(), 1u);
    EXPECT_EQ(dialogs.Boxes[0].Text, "Nothing has been read from the unit yet: go online first (F5).");
}

}  // namespace
}  // namespace zv::test
