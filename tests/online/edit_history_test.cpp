// Undo and redo of the data set's edits: what lands in the unit, what a step holds and names,
// and when a history starts afresh.
#include "data_files.h"
#include "editors/map_form.h"
#include "editors/type_config_dlg.h"
#include "history/image_changes.h"
#include "history/step_names.h"
#include "lambda/wbo2_presets.h"
#include "page_fixture.h"
#include "temp_dir.h"

namespace zv::test {
namespace {

constexpr std::uint8_t kPlus = 187;

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

    TMapForm Map{Host};
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
    Online->DispatchKey(key::F7);
    ASSERT_TRUE(RunUntilStatus("Upload successfull", 60000));
    Clock.Advance(1000);
    EXPECT_FALSE(Main.History().CanUndo()) << "the unit's data set, read and accepted, is new";
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
