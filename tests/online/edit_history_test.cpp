// Undo and redo of the data set's edits: what lands in the unit, what a step holds and names,
// and when a history starts afresh.
#include "data_files.h"
#include "editors/map_form.h"
#include "editors/param_form.h"
#include "editors/type_config_dlg.h"
#include "history/image_changes.h"
#include "history/restored_write.h"
#include "history/step_names.h"
#include "lambda/wbo2_presets.h"
#include "page_fixture.h"
#include "temp_dir.h"

namespace zv::test {
namespace {

constexpr std::uint8_t kPlus = 187;
// Firmware 30 keeps the Pulse word as 65535 - trunc(1529984 / Pulse).
constexpr std::uint16_t kPulse116At30 = 52346, kPulse117At30 = 52459;

class EditHistory : public PageTest {
  protected:
    // Fuel map cell (t, r) as the unit of firmware 9 and later keeps it: 0x100 + k with
    // k = 16 x (15 - t) + (15 - r).
    std::uint8_t UnitCell(int t, int r) {
        return Unit->Peek(2, static_cast<std::uint16_t>(0x100 + 16 * (15 - t) + (15 - r)));
    }
    std::uint8_t& Cell(int t, int r) { return At(img::FuelMap + 16 * (15 - t) + (15 - r)); }
    void StepCell(int t, int r) {
        Map.CellClick(t, r);
        Press(Map, {kPlus});
    }
    std::string UndoText(Language lang = Language::English) {
        return Main.History().UndoCaption(lang);
    }
    std::string RedoText(Language lang = Language::English) {
        return Main.History().RedoCaption(lang);
    }
    std::uint16_t UnitWord(std::uint16_t address) {
        return static_cast<std::uint16_t>(Unit->Peek(2, address) | Unit->Peek(2, address + 1) << 8);
    }
    // A new data set's file, opened offline (its firmware unknown), with a unit of that firmware
    // on the line.
    void OpenFile(int unitFirmware, TPage& page) {
        AttachUnit(unitFirmware);
        ASSERT_TRUE(Main.OpenDataFile(Dir.Write("car.zvt", ToFileText(NewFileLines()))));
        ASSERT_EQ(Data().DeviceData.Firmware, 40);
        StartIdle();
        page.LoadFromImage();
        page.ShowPage();
    }
    void Download() {
        Online->DispatchKey(key::F8);
        ASSERT_TRUE(RunUntilState(link::Idle, 120000));
        ASSERT_TRUE(Saw("Device Data Download"));
    }

    TempDir Dir;
    TMapForm Map{Host};
    TParamForm Param{Host};
};

TEST_F(EditHistory, OnlineUndoAndRedoOfACellReachTheUnitAcrossAPageChange) {
    GoOnline(30, Map);
    Form.SetPage(1, &Map);
    Form.NotebookPageChanged(1);
    const std::uint8_t before = Cell(4, 6);
    ASSERT_LT(before, 255);
    EXPECT_EQ(UndoText(), "Undo");
    StepCell(4, 6);
    EXPECT_EQ(UndoText(), "Undo: fuel map cell 5/7 +1");
    EXPECT_EQ(UndoText(Language::German), "Rückgängig: Kennfeld Zelle 5/7 +1");
    Clock.Advance(1000);
    ASSERT_EQ(UnitCell(4, 6), before + 1);

    Form.NotebookPageChanged(6);
    ASSERT_TRUE(Form.EditUndoClick());
    EXPECT_EQ(Cell(4, 6), before);
    EXPECT_EQ(Map.State().ManMapValue, std::to_string(before)) << "the page shows it at once";
    EXPECT_EQ(Map.State().Chart.CursorT, 4) << "the cursor stays";
    EXPECT_EQ(Map.State().Chart.CursorR, 6);
    Clock.Advance(1000);
    EXPECT_EQ(UnitCell(4, 6), before);
    EXPECT_EQ(UndoText(), "Undo");
    EXPECT_EQ(RedoText(Language::German), "Wiederholen: Kennfeld Zelle 5/7 +1");
    EXPECT_FALSE(Form.EditUndoClick());

    ASSERT_TRUE(Form.EditRedoClick());
    Clock.Advance(1000);
    EXPECT_EQ(UnitCell(4, 6), before + 1);
    EXPECT_EQ(Data().Map[4][6], before + 1) << "edit fields follow";
    EXPECT_FALSE(Form.EditRedoClick());
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 0);

    Online->DispatchKey(key::F5);
    ASSERT_TRUE(RunUntilState(link::Idle, 5000));
    ASSERT_TRUE(Form.EditUndoClick()) << "the history outlives the link";
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 1);
    Online->DispatchKey(key::F5);
    ASSERT_TRUE(RunUntilState(link::RunOnline, 30000));
    EXPECT_TRUE(Main.History().CanRedo()) << "and going online with the same unit";

    ASSERT_TRUE(Form.EditRedoClick());
    Online->DispatchKey(key::F5);
    ASSERT_TRUE(RunUntilState(link::Idle, 5000));
    Unit->Poke(2, 0x100, static_cast<std::uint8_t>(Unit->Peek(2, 0x100) ^ 1));  // behind our back
    Online->DispatchKey(key::F7);
    ASSERT_TRUE(RunUntilStatus("Upload successfull", 60000));
    Clock.Advance(1000);
    EXPECT_FALSE(Main.History().CanUndo()) << "the unit's data set, read and accepted, is new";
}

// Steps made on a file of unknown firmware undo and redo to the values the operator saw, after
// the data set went into a unit whose firmware keeps the Pulse word otherwise; a plain byte
// comes back exactly. Each value reaches the unit with the next download.
TEST_F(EditHistory, StepsOnAFileUndoToTheValuesShownAfterADownloadIntoAUnit) {
    OpenFile(30, Param);
    Form.SetPage(6, &Param);
    ASSERT_EQ(Param.State().Values[0], "116");
    Press(Param, {38});  // Up on the Pulse, the item selected first
    ASSERT_EQ(Param.State().Values[0], "117");
    Param.ValuePanelClick(5);  // the idle contact threshold, 34 in a new data set
    Press(Param, {38});
    ASSERT_EQ(At(2), 35);
    Download();
    ASSERT_EQ(UnitWord(0), kPulse117At30) << "the unit counts 117 pulses";
    ASSERT_EQ(Unit->Peek(2, 2), 35);

    ASSERT_TRUE(Form.EditUndoClick());
    ASSERT_TRUE(Form.EditUndoClick());
    EXPECT_EQ(Param.State().Values[0], "116");
    EXPECT_EQ(Data().Detail[param::Pulse], 116);
    EXPECT_EQ(At(2), 34);
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 1);
    Download();
    EXPECT_EQ(UnitWord(0), kPulse116At30);
    EXPECT_EQ(Unit->Peek(2, 2), 34);

    ASSERT_TRUE(Form.EditRedoClick());
    EXPECT_EQ(Param.State().Values[0], "117");
    ASSERT_TRUE(Form.EditRedoClick());
    EXPECT_EQ(At(2), 35);
    Download();
    EXPECT_EQ(UnitWord(0), kPulse117At30);
    EXPECT_EQ(Unit->Peek(2, 2), 35);

    Online->DispatchKey(key::F5);
    ASSERT_TRUE(RunUntilState(link::RunOnline, 60000));
    ASSERT_TRUE(Form.EditUndoClick());
    ASSERT_TRUE(Form.EditUndoClick());
    Clock.Advance(1000);
    EXPECT_EQ(UnitWord(0), kPulse116At30) << "online, at once";
    EXPECT_EQ(Param.State().Values[0], "116");
}

// A data set taken over from a unit and edited offline stays as the operator saw it when a unit
// of another firmware is connected and its upload refused: the page, an undo and the download
// into that unit all have the Pulse values shown (firmware 38 keeps the Pulse word as it is).
TEST_F(EditHistory, TakenOverDataKeepTheirPulseForAUnitOfAnotherFirmware) {
    GoOnline(30, Param);
    Form.SetPage(6, &Param);
    Online->DispatchKey(key::F5);
    ASSERT_TRUE(RunUntilState(link::Idle, 5000));
    Press(Param, {38});
    ASSERT_EQ(Param.State().Values[0], "117");

    AttachUnit(38, 4, true, "ZV000704");
    Dialogs.Answers = {MsgAnswer::No};  // keep the PC's data set
    Online->DispatchKey(key::F5);
    ASSERT_TRUE(RunUntilState(link::Idle, 60000));
    ASSERT_TRUE(Saw("Upload successfull"));
    Param.LoadFromImage();
    EXPECT_EQ(Param.State().Values[0], "117");
    ASSERT_TRUE(Form.EditUndoClick());
    EXPECT_EQ(Param.State().Values[0], "116");
    Download();
    EXPECT_EQ(UnitWord(0), 116);
    ASSERT_TRUE(Form.EditRedoClick());
    Download();
    EXPECT_EQ(UnitWord(0), 117);
}

// The data downloaded and read back bring nothing new: going online after F8 keeps the history,
// and its steps go to the unit at once. Data changed in the unit behind the PC's back do.
TEST_F(EditHistory, GoingOnlineAfterADownloadKeepsTheHistory) {
    OpenFile(30, Map);
    Form.SetPage(1, &Map);
    const std::uint8_t before = Cell(4, 6);
    StepCell(4, 6);
    Download();
    ASSERT_EQ(UnitCell(4, 6), before + 1);
    Online->DispatchKey(key::F5);
    ASSERT_TRUE(RunUntilState(link::RunOnline, 60000));
    ASSERT_TRUE(Saw("Upload successfull")) << "the unit's data were read";
    EXPECT_TRUE(Dialogs.Boxes.empty()) << "and were the PC's";

    ASSERT_TRUE(Form.EditUndoClick());
    Clock.Advance(1000);
    EXPECT_EQ(UnitCell(4, 6), before);
    EXPECT_EQ(Map.State().ManMapValue, std::to_string(before));
    ASSERT_TRUE(Form.EditRedoClick());
    Clock.Advance(1000);
    EXPECT_EQ(UnitCell(4, 6), before + 1);
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 0);

    Online->DispatchKey(key::F5);
    ASSERT_TRUE(RunUntilState(link::Idle, 5000));
    Unit->Poke(2, 0x100, static_cast<std::uint8_t>(Unit->Peek(2, 0x100) ^ 1));
    Online->DispatchKey(key::F7);
    ASSERT_TRUE(RunUntilStatus("Upload successfull", 60000));
    Clock.Advance(1000);
    EXPECT_FALSE(Main.History().CanUndo());
}

// A switch is an item of its own: read back from the unit with the unit's own bits of the flags
// word set otherwise, its undo turns back its bit alone and leaves those bits as the unit has them.
TEST_F(EditHistory, ASwitchUndoesItsOwnBitOnly) {
    OpenFile(30, Param);
    Form.SetPage(6, &Param);
    const std::uint16_t flags = Data().DeviceData.FlagsWord();
    ASSERT_FALSE(Param.State().PinLDown);
    Param.DigOut_L_FuncSpeedButtonClick();  // pin L: the 50 Hz pulse, bit 7
    ASSERT_EQ(Data().DeviceData.FlagsWord(), flags ^ 0x80);
    Download();
    const auto unitHigh = static_cast<std::uint8_t>(Unit->Peek(2, 5) ^ 0xF0);  // bits 12..15
    Unit->Poke(2, 5, unitHigh);
    Online->DispatchKey(key::F5);
    ASSERT_TRUE(RunUntilState(link::RunOnline, 60000));

    ASSERT_TRUE(Form.EditUndoClick());
    Clock.Advance(1000);
    EXPECT_EQ(Unit->Peek(2, 4), flags & 0xFF) << "pin L is the idle contact output again";
    EXPECT_EQ(Unit->Peek(2, 5), unitHigh);
    EXPECT_FALSE(Param.State().PinLDown);
}

// An operation that writes many places is one step: the input configuration's flags word, an
// operator's switch and cells stepped inside one named step each come back whole.
TEST_F(EditHistory, OnlineStepsOfManyBytesComeBackWhole) {
    GoOnline(20, Map);
    const std::array<std::uint8_t, 2> flags = {Unit->Peek(2, 4), Unit->Peek(2, 5)};
    TTypeConfigDlg dialog{Host};
    dialog.FormShow();
    dialog.LampAsRevLimCheckBoxClick(!dialog.Lamps().AsRevLim);
    dialog.OkButtonClick();
    EXPECT_EQ(UndoText(), "Undo: input configuration");
    Online->DispatchKey(key::F9);
    EXPECT_TRUE(UndoText() == "Undo: idle control on" || UndoText() == "Undo: idle control off");
    const std::array<std::uint8_t, 3> before = {Cell(0, 0), Cell(0, 1), Cell(0, 2)};
    {
        TEditStep step(Host.History(), NameStep({"drei Zellen", "three cells"}));
        for (int r = 0; r < 3; ++r)
            StepCell(0, r);
    }
    Clock.Advance(2000);
    ASSERT_TRUE(Unit->Peek(2, 4) != flags[0] || Unit->Peek(2, 5) != flags[1]);
    for (int r = 0; r < 3; ++r)
        ASSERT_EQ(UnitCell(0, r), before[static_cast<std::size_t>(r)] + 1);

    EXPECT_EQ(UndoText(), "Undo: three cells");
    ASSERT_TRUE(Form.EditUndoClick());
    Clock.Advance(2000);
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(UnitCell(0, r), before[static_cast<std::size_t>(r)]);
    ASSERT_TRUE(Form.EditUndoClick());
    ASSERT_TRUE(Form.EditUndoClick());
    Clock.Advance(2000);
    EXPECT_EQ(Unit->Peek(2, 4), flags[0]);
    EXPECT_EQ(Unit->Peek(2, 5), flags[1]);
    EXPECT_EQ(Online->Controls().F9.Down, TZVDataClass::TestFlag(Data().DeviceData.FlagsWord(), 0))
        << "the switch shows the restored bit";
    EXPECT_FALSE(Main.History().CanUndo());
}

// A single-value step starts the short pause of its page; taking it back does not wait for it.
TEST_F(EditHistory, TheParameterPauseDoesNotHoldAnUndoUp) {
    GoOnline(30, Map);
    const std::uint8_t before = Unit->Peek(2, 8);
    {
        TEditStep step(Host.History(), NameStep({"Schwelle", "threshold"}));
        WriteMainByte(Host, 8, before == 254 ? 253 : before + 1, true);
    }
    ASSERT_TRUE(Host.PauseTimerActive());
    ASSERT_TRUE(Form.EditUndoClick());
    EXPECT_EQ(At(8), before);
    Clock.Advance(1000);
    EXPECT_EQ(Unit->Peek(2, 8), before);
}

// A step that wrote the same byte twice undoes to the value before its first write and redoes
// to its last, in the PC and in the unit.
TEST_F(EditHistory, AByteWrittenTwiceInOneStepComesBackAsBeforeAndAfterIt) {
    GoOnline(30, Map);
    At(8) = 10;
    {
        TEditStep step(Host.History(), NameStep({"Schwelle", "threshold"}));
        WriteMainByte(Host, 8, 20);
        WriteMainByte(Host, 8, 30);
    }
    Clock.Advance(1000);
    ASSERT_EQ(Unit->Peek(2, 8), 30);

    ASSERT_TRUE(Form.EditUndoClick());
    EXPECT_EQ(At(8), 10);
    Clock.Advance(1000);
    EXPECT_EQ(Unit->Peek(2, 8), 10);
    EXPECT_FALSE(Main.History().CanUndo()) << "both writes were one step";

    ASSERT_TRUE(Form.EditRedoClick());
    EXPECT_EQ(At(8), 30);
    Clock.Advance(1000);
    EXPECT_EQ(Unit->Peek(2, 8), 30);
}

// A key that changes nothing, such as Page Up on a cell already at 255, leaves no step: what can
// be undone and redone stays as it was.
TEST_F(EditHistory, AKeyThatChangesNothingLeavesNoStep) {
    OpenOffline(30, Map);
    Form.SetPage(1, &Map);
    Cell(2, 2) = 100;
    Cell(4, 6) = 255;
    Map.LoadFromImage();
    StepCell(2, 2);
    ASSERT_TRUE(Form.EditUndoClick());
    ASSERT_EQ(RedoText(), "Redo: fuel map cell 3/3 +1");
    int steps = 0;
    const int listener = Main.History().AddStepListener(
        [&steps](THistoryEvent event, const THistoryStep&) { steps += event == THistoryEvent::Done; });

    Map.CellClick(4, 6);
    Press(Map, {33, kPlus});  // Page Up, plus
    EXPECT_EQ(Cell(4, 6), 255);
    EXPECT_EQ(steps, 0) << "a running log gets no edit note";
    EXPECT_FALSE(Main.History().CanUndo());
    EXPECT_EQ(UndoText(), "Undo");
    EXPECT_EQ(RedoText(), "Redo: fuel map cell 3/3 +1") << "the undone step can still be redone";
    ASSERT_TRUE(Form.EditRedoClick());
    EXPECT_EQ(Cell(2, 2), 101);
    Main.History().RemoveStepListener(listener);
}

TEST_F(EditHistory, OfflineUndoMarksTheDataSetAndANewEditDropsRedo) {
    OpenOffline(30, Map);
    const ImageBytes fresh = Data().DeviceData.Image;
    LoadWBO2Preset(Host, 1);
    ASSERT_EQ(At(img::AfrMap + 255), 42) << "\"Standard 1\" gives 14.7 at the lowest cell";
    EXPECT_EQ(UndoText(), "Undo: wideband preset map Standard 1");
    EXPECT_EQ(UndoText(Language::German), "Rückgängig: AFR-Vorgabekennfeld Standard 1");
    Data().DeviceData.ChangedOffline = 0;
    Main.SetModified(false);

    ASSERT_TRUE(Form.EditUndoClick());
    EXPECT_EQ(Data().DeviceData.Image, fresh) << "every byte of the preset came back";
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 1);
    EXPECT_TRUE(Main.Modified());
    ASSERT_TRUE(Form.EditRedoClick());
    EXPECT_EQ(At(img::AfrMap + 255), 42);
    ASSERT_TRUE(Form.EditUndoClick());

    StepCell(0, 0);
    EXPECT_FALSE(Main.History().CanRedo()) << "the undone preset is gone";
    EXPECT_EQ(RedoText(), "Redo");
    ASSERT_TRUE(Form.EditUndoClick());
    EXPECT_EQ(Data().DeviceData.Image, fresh);
    EXPECT_FALSE(Form.EditUndoClick());
    Clock.Advance(1000);
    EXPECT_TRUE(Unit->WriteLog().empty());
}

// A step that rebuilt the whole image sends each block where the unit keeps it: the device
// data at its offset, the fuel map at 0x300 below firmware 9 and 0x100 from it, the AFR map in
// area 1 at 0x200 from firmware 27 (the first that takes it); the rest stays in the PC.
TEST(UnitPlaces, OfBlocksByFirmware) {
    auto place = [](std::size_t offset, int firmware) {
        const auto p = UnitPlaceOfBlock(offset, firmware);
        return p ? std::pair<int, int>{p->Area, p->Address} : std::pair<int, int>{0, -1};
    };
    EXPECT_EQ(place(240, 8), std::make_pair(2, 240));
    EXPECT_EQ(place(768 + 16, 8), std::make_pair(2, 0x310));
    EXPECT_EQ(place(768 + 240, 9), std::make_pair(2, 0x1F0));
    EXPECT_EQ(place(1792 + 512 + 32, 27), std::make_pair(1, 0x220));
    EXPECT_EQ(place(1792 + 512 + 240, 27), std::make_pair(1, 0x2F0));
    EXPECT_EQ(place(1792 + 512, 26), std::make_pair(0, -1));
    EXPECT_EQ(place(256, 30), std::make_pair(0, -1));
    EXPECT_EQ(place(1792 + 768, 30), std::make_pair(0, -1));
}

// A write recorded on an image of one firmware comes back where a unit of the image's firmware
// now keeps it and in its encoding: the fuel map at 0x300 below firmware 9, the Pulse word as the
// value it showed (exactly as recorded where the encoding is the same), bytes the step left alone
// as the image now holds them.
TEST(RestoredWrites, FollowTheFirmwareOfTheImage) {
    TZVDataSet set;
    set.Image.fill(0x11);
    TImageWrite cell = MainAreaWrite(768 + 5);
    cell.Address = 0x105;
    const TRecordedWrite cellWrite{cell, {50}, {51}, 40};
    set.Firmware = 8;
    const TRestoredWrite back = RestoredWrite(cellWrite, THistoryEvent::Undone, set);
    EXPECT_EQ(back.Where.Area, 2);
    EXPECT_EQ(back.Where.Address, 0x305);
    EXPECT_EQ(back.Bytes, std::vector<std::uint8_t>{50});
    EXPECT_EQ(RestoredWrite(cellWrite, THistoryEvent::Redone, set).Bytes,
              std::vector<std::uint8_t>{51});

    // 116 and 117 as firmware 40 keeps them; 65535 - trunc(2040000 / 116) = 47949 = 0xBB4D.
    const TRecordedWrite pulse{MainAreaWrite(0), {0x74, 0x00}, {0x75, 0x00}, 40};
    const auto undone = [&](int firmware) {
        set.Firmware = static_cast<std::uint8_t>(firmware);
        return RestoredWrite(pulse, THistoryEvent::Undone, set).Bytes;
    };
    EXPECT_EQ(undone(8), (std::vector<std::uint8_t>{0x4D, 0xBB}));
    EXPECT_EQ(undone(5), (std::vector<std::uint8_t>{0xBB, 0x4D})) << "high byte first";
    EXPECT_EQ(undone(38), (std::vector<std::uint8_t>{0x74, 0x00}));
    // 52350 = 0xCC7E reads as 116 on firmware 30 without being the word 116 encodes to.
    const TRecordedWrite odd{MainAreaWrite(0), {0x7E, 0xCC}, {0xEB, 0xCC}, 30};
    set.Firmware = 20;
    EXPECT_EQ(RestoredWrite(odd, THistoryEvent::Undone, set).Bytes,
              (std::vector<std::uint8_t>{0x7E, 0xCC}));

    // A preset's block: the bytes it did not change (reserved 22..31) stay as the unit has them.
    std::vector<std::uint8_t> old(16, 0xFF), now(16, 0xFF);
    now[0] = 9;  // byte 16, the output at zero rpm
    const TRecordedWrite block{MainAreaWrite(16), old, now, 30};
    set.Firmware = 30;
    const TRestoredWrite blockBack = RestoredWrite(block, THistoryEvent::Undone, set);
    std::vector<std::uint8_t> expected(16, 0x11);
    expected[0] = 0xFF;
    EXPECT_EQ(blockBack.Bytes, expected);
    EXPECT_TRUE(blockBack.Where.ToUnit);
}

// The history belongs to a data set: it goes when the operator has let that data set go.
TEST_F(EditHistory, OpeningAFileStartsANewHistory) {
    OpenOffline(30, Map);
    TempDir dir;
    const std::string path = dir.Write("car.zvt", ToFileText(NewFileLines()));
    StepCell(3, 3);
    Dialogs.Answers = {MsgAnswer::No, MsgAnswer::No};  // do not save first
    Dialogs.OpenChoices = {std::nullopt, path};
    Main.OpenZVFileClick();
    EXPECT_TRUE(Main.History().CanUndo()) << "the open dialog was cancelled";
    Main.OpenZVFileClick();
    EXPECT_EQ(Data().FileName, path);
    EXPECT_FALSE(Main.History().CanUndo());
    EXPECT_EQ(UndoText(), "Undo");
}

// A data set taken over from the unit has no file; edited offline, it must not vanish under the
// next upload without the question that a file's data set gets.
TEST_F(EditHistory, AnUploadOverUnsavedOfflineEditsAsksFirst) {
    GoOnline(30, Map);
    Online->DispatchKey(key::F5);
    ASSERT_TRUE(RunUntilState(link::Idle, 5000));
    ASSERT_EQ(Data().Loaded, 0) << "taken over, not opened";
    const std::uint8_t before = Cell(4, 6);
    StepCell(4, 6);
    ASSERT_TRUE(Main.Modified());
    for (MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes}) {
        SCOPED_TRACE(answer == MsgAnswer::Yes ? "Yes" : "No");
        Dialogs.Boxes.clear();
        Dialogs.Answers = {answer};
        Online->DispatchKey(key::F7);
        ASSERT_TRUE(RunUntilStatus("Upload successfull", 60000));
        Clock.Advance(1000);
        ASSERT_EQ(Dialogs.Boxes.size(), 1u);
        EXPECT_EQ(Dialogs.Boxes[0].Caption, "Warning");
        if (answer == MsgAnswer::No) {
            EXPECT_EQ(Cell(4, 6), before + 1) << "the edit stays";
            EXPECT_EQ(Data().Map[4][6], before + 1);
            EXPECT_TRUE(Main.History().CanUndo());
        } else {
            EXPECT_EQ(Cell(4, 6), before) << "the unit's data were taken";
            EXPECT_FALSE(Main.History().CanUndo());
        }
    }
}

}  // namespace
}  // namespace zv::test
