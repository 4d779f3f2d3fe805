#include "online_fixture.h"

#include "data/default_data.h"
#include "data/parameter_table.h"
#include "link/transfer_table.h"

namespace zv::test {
namespace {

using Statuses_t = std::vector<std::string>;

TEST_F(OnlineTest, StartWithoutUnitKeepsCheckingUntilF5) {
    Online->StartUp();
    Clock.Advance(60000);
    EXPECT_EQ(Online->LinkState(), link::AwaitUnit);
    EXPECT_EQ(Online->Panels().ComState, "Device check");
    EXPECT_TRUE(Online->Controls().F5.Down);
    EXPECT_FALSE(Online->Controls().F7.Enabled);
    EXPECT_TRUE(Online->ComGaugeTimer().Active()) << "the bar runs while connecting";

    Online->DispatchKey(key::F5);
    ASSERT_TRUE(RunUntilState(link::Idle, 5000));
    EXPECT_TRUE(Saw("Cancel Online"));
    EXPECT_EQ(Online->Panels().ComState, "Offline");
    EXPECT_FALSE(Online->Controls().F5.Down);
    EXPECT_TRUE(Dialogs.Boxes.empty());
}

TEST_F(OnlineTest, UploadWithoutUnitTimesOutAfterTenPings) {
    Main.CreateNewDataSet("car.zvt");
    StartIdle();
    ASSERT_TRUE(Online->Controls().F7.Enabled);
    Online->DispatchKey(key::F7);
    const auto start = Clock.NowMs();
    ASSERT_TRUE(RunUntilStatus("Connect Timeout", 10000));
    // Ten tries of five job ticks each, and a tick to start each next try.
    EXPECT_GE(Clock.NowMs() - start, 5000u);
    EXPECT_LE(Clock.NowMs() - start, 7000u);
    ASSERT_EQ(Dialogs.Boxes.size(), 1u);
    EXPECT_EQ(Dialogs.Boxes[0].Caption, "Error");
    EXPECT_EQ(Dialogs.Boxes[0].Text, "Unable to establish communication to Zevrin plus unit!");
    ASSERT_TRUE(RunUntilState(link::Idle, 2000));
    EXPECT_EQ(Online->Panels().ComState, "Offline");
}

TEST_F(OnlineTest, GoingOnlineReadsTheUnitThenStreams) {
    AttachUnit(30);
    Online->StartUp();
    ASSERT_TRUE(RunUntilState(link::RunOnline, 20000));
    EXPECT_EQ(Statuses, (Statuses_t{"Device check", "Upload Device ID", "Upload ID success", "Device Data Upload",
                                    "Done", "ZV map Upload", "Done", "AFR map Upload", "Done", "Upload successfull",
                                    "Run Online"}));
    EXPECT_EQ(Unit->RequestCount(0x02), 2u) << "a healthy line: two replies that agree";
    EXPECT_TRUE(Dialogs.Boxes.empty()) << "nothing loaded: nothing to ask";
    EXPECT_EQ(Data().DeviceData.DeviceValid, 1);
    EXPECT_EQ(Data().DeviceData.Firmware, 30);
    EXPECT_TRUE(Main.NeverSaved()) << "the unit's data have no file yet";
    EXPECT_EQ(Data().Detail[param::MaxRot], 10000) << "values the unit does not keep start from their defaults";
    EXPECT_EQ(Online->Panels().VerLevel, "V1.03 C");
    EXPECT_EQ(Online->Panels().DeviceType, "ZV_00000003");

    const ImageBytes unit = Unit->ImageSnapshot();
    EXPECT_TRUE(std::equal(unit.begin() + img::FuelMap, unit.begin() + img::UnusedTail,
                           Data().DeviceData.Image.begin() + img::FuelMap));
    EXPECT_TRUE(std::equal(unit.begin(), unit.begin() + 256, Data().DeviceData.Image.begin()));
    EXPECT_TRUE(std::equal(unit.begin() + img::AfrMap, unit.begin() + img::AfrMap + 256,
                           Data().DeviceData.Image.begin() + img::AfrMap));

    Clock.Advance(3000);
    EXPECT_GT(Records, 20) << "about ten records a second";
    EXPECT_TRUE(Online->Controls().Logger.Enabled);
    EXPECT_TRUE(Online->Controls().F9.Enabled);
    EXPECT_TRUE(Online->Controls().MapLiveCursor);
    EXPECT_TRUE(Online->LinkBusy());

    // Offline and online again with the same unit: its data are read again, since they may have
    // changed elsewhere meanwhile, and holding the PC's they are taken without a question.
    Online->DispatchKey(key::F5);
    ASSERT_TRUE(RunUntilState(link::Idle, 5000));
    EXPECT_FALSE(Online->LinkBusy());
    Statuses.clear();
    Online->DispatchKey(key::F5);
    ASSERT_TRUE(RunUntilState(link::RunOnline, 20000));
    EXPECT_EQ(Statuses, (Statuses_t{"Device check", "Upload Device ID", "Upload ID success",
                                    "Device Data Upload", "Done", "ZV map Upload", "Done",
                                    "AFR map Upload", "Done", "Upload successfull", "Run Online"}));
    EXPECT_TRUE(Dialogs.Boxes.empty());
}

// F7 keeps the line busy: each step's request follows the last step's result within a few
// milliseconds instead of waiting for the timers' ticks. Left beside the bytes: the sequence's
// first tick (500 ms from idle), its first job tick, the tick between the two identification
// replies, and the unit's own answer delays.
TEST_F(OnlineTest, AnUploadRunsAtTheLinesPace) {
    AttachUnit(30);
    Main.CreateNewDataSet("car.zvt");
    StartIdle();
    const auto bytes = [&] {
        return Line.ByteCount(sim::LineDirection::PcToUnit) +
               Line.ByteCount(sim::LineDirection::UnitToPc);
    };
    const std::uint64_t before = bytes();
    const std::uint64_t start = Clock.NowMs();
    Online->DispatchKey(key::F7);
    ASSERT_TRUE(RunUntilStatus("Upload successfull", 20000));
    const double wireMs = static_cast<double>(bytes() - before) * 10.0 / 9.6;
    const double ticksMs = 500 + 100 + 100;
    EXPECT_LT(static_cast<double>(Clock.NowMs() - start), wireMs + ticksMs + 300)
        << "wire " << wireMs << " ms";
}

TEST_F(OnlineTest, OlderFirmwareUploadsOnlyWhatItHas) {
    for (int fw : {3, 4, 25, 26}) {
        SCOPED_TRACE(fw);
        AttachUnit(fw, fw <= 8 ? 1 : 3);
        Statuses.clear();
        Online->StartSequence(TSequence::Main, link::Connect);
        ASSERT_TRUE(RunUntilState(link::RunOnline, 20000));
        EXPECT_EQ(Saw("Device Data Upload"), fw >= 4) << "firmware 3 has no device data block";
        EXPECT_EQ(Saw("AFR map Upload"), fw >= 26);
        if (fw == 3) {
            EXPECT_EQ(Data().DeviceData.Image[img::TpsSites], 0xFF)
                << "what it does not use is cleared";
        }
        Online->StartSequence(TSequence::Main, link::CancelOnline);
        ASSERT_TRUE(RunUntilState(link::Idle, 5000));
        Data().DeviceData.DeviceValid = 0;
    }
}

TEST_F(OnlineTest, AcceptingTheUploadWhenTheLoadedFileDiffers) {
    for (MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes}) {
        SCOPED_TRACE(answer == MsgAnswer::Yes ? "Yes" : "No");
        Dialogs.Boxes.clear();
        Statuses.clear();
        AttachUnit(20, 2);
        Main.CreateNewDataSet("car.zvt");
        Unit->LoadImage(Data().DeviceData.Image);
        Data().Map[3][3] = 1;  // the unit holds the default map
        Data().FieldsToImage();
        Data().FileImageToDevice();
        StartIdle();
        Dialogs.Answers = {answer};
        Online->DispatchKey(key::F5);
        ASSERT_TRUE(RunUntilStatus("Upload successfull", 20000));
        if (answer == MsgAnswer::No) {
            ASSERT_TRUE(RunUntilState(link::Idle, 5000));
            EXPECT_EQ(Data().DeviceData.Image, Data().FileData.Image) << "the file's data stay";
            EXPECT_EQ(Data().Map[3][3], 1);
            EXPECT_EQ(Data().DeviceData.DeviceValid, 0);
        } else {
            ASSERT_TRUE(RunUntilState(link::RunOnline, 5000));
            EXPECT_EQ(Data().Map[3][3], DefaultMapRow(3)[3]) << "the unit's data were taken";
            EXPECT_EQ(Data().DeviceData.DeviceValid, 1);
        }
        ASSERT_EQ(Dialogs.Boxes.size(), 1u);
        EXPECT_EQ(Dialogs.Boxes[0].Caption, "Warning");
        EXPECT_EQ(Dialogs.Boxes[0].Text,
                  "Device data do not match file data!\r\nLoad anyway?\r\nNote: Device data will be overwritten!");
        Online->StartSequence(TSequence::Main, link::CancelOnline);
        ASSERT_TRUE(RunUntilState(link::Idle, 5000));
        Data().DeviceData.DeviceValid = 0;
    }
}

TEST_F(OnlineTest, TheSameDataAsTheUnitNeedNoQuestion) {
    AttachUnit(30);
    Main.CreateNewDataSet("car.zvt");
    Data().DeviceData.Firmware = 30;  // as downloaded into this unit before
    Data().FieldsToImage();
    Data().FileImageToDevice();
    Unit->LoadImage(Data().DeviceData.Image);
    StartIdle();
    Online->DispatchKey(key::F5);
    ASSERT_TRUE(RunUntilState(link::RunOnline, 20000));
    EXPECT_TRUE(Dialogs.Boxes.empty());
}

// Bit 10 of the flags word (the wideband controller switch) is part of the data set only from
// firmware 35 on: below it a unit that differs from the loaded file in that bit alone holds the
// same data and is taken without a question.
TEST_F(OnlineTest, FlagBit10CountsInTheComparisonFromFirmware35) {
    for (int fw : {34, 35}) {
        SCOPED_TRACE(fw);
        AttachUnit(fw);
        Main.CreateNewDataSet("car.zvt");
        Data().DeviceData.Firmware = static_cast<std::uint8_t>(fw);
        Data().Detail[param::WBO2Control] = 1;
        Data().FieldsToImage();
        std::uint16_t flags = Data().FileData.FlagsWord();
        TZVDataClass::SetFlag(flags, 10);
        Data().FileData.SetFlagsWord(flags);
        Data().FileImageToDevice();
        ImageBytes unit = Data().DeviceData.Image;
        unit[img::FlagsWord + 1] = static_cast<std::uint8_t>(unit[img::FlagsWord + 1] & ~0x04);
        Unit->LoadImage(unit);
        StartIdle();
        Dialogs.Boxes.clear();
        Dialogs.Answers = {MsgAnswer::No};
        Online->StartSequence(TSequence::Main, link::Connect);
        ASSERT_TRUE(RunUntilStatus("Upload successfull", 20000));
        Clock.Advance(1000);
        EXPECT_EQ(Dialogs.Boxes.size(), fw >= 35 ? 1u : 0u);
        Online->StartSequence(TSequence::Main, link::CancelOnline);
        ASSERT_TRUE(RunUntilState(link::Idle, 5000));
        Data().DeviceData.DeviceValid = 0;
    }
}

TEST_F(OnlineTest, ADyingStreamReconnectsWithoutAMessage) {
    AttachUnit(38, 4);
    Online->StartUp();
    ASSERT_TRUE(RunUntilState(link::RunOnline, 20000));
    Clock.Advance(1000);  // records are flowing
    ASSERT_GT(Records, 0);
    Unit->Vanish();
    const auto lost = Clock.NowMs();
    const bool reconnecting = RunUntilState(link::AwaitUnit, 20000);
    ASSERT_TRUE(reconnecting) << int(Online->LinkState()) << " job " << int(Online->Link().Job()) << " " << Statuses.back();
    EXPECT_GT(Clock.NowMs() - lost, 5000u);
    EXPECT_LT(Clock.NowMs() - lost, 9000u);
    EXPECT_TRUE(Dialogs.Boxes.empty());
    Unit->Reappear();
    ASSERT_TRUE(RunUntilState(link::RunOnline, 20000)) << "back once the unit answers";
}

TEST_F(OnlineTest, EditsLeftQueuedWhenGoingOfflineAreNeverSentLater) {
    AttachUnit(30);
    Online->StartUp();
    ASSERT_TRUE(RunUntilState(link::RunOnline, 20000));
    Clock.Advance(500);
    for (std::size_t k = 0; k < 12; ++k)
        EditMapByte(k, 165);
    Online->DispatchKey(key::F5);
    ASSERT_TRUE(RunUntilState(link::Idle, 5000));
    ASSERT_LT(Unit->WriteLog().size(), 12u) << "some edits were still queued";
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 1) << "the unit lacks edits the PC holds";

    // Edited offline and downloaded into the same unit: the changes made offline may be
    // parameters, so the device data block goes too, and then nothing is missing in the unit.
    EditMapByte(11, 200);
    Data().DeviceData.Image[img::TempControl + 3] = 99;  // a curve point edited offline
    Statuses.clear();
    Online->DispatchKey(key::F8);
    ASSERT_TRUE(RunUntilState(link::Idle, 120000));
    EXPECT_EQ(Statuses, (Statuses_t{"Device check", "Upload Device ID", "Upload ID success",
                                    "Device Data Download", "Done", "ZV map download", "Done",
                                    "AFR map download", "Done", "Offline"}));
    EXPECT_EQ(Unit->ImageSnapshot()[img::FuelMap + 11], 200);
    EXPECT_EQ(Unit->ImageSnapshot()[img::TempControl + 3], 99);
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 0);

    Unit->ClearCounters();
    Online->DispatchKey(key::F5);
    EXPECT_TRUE(Dialogs.Boxes.empty()) << "nothing is missing in the unit any more";
    ASSERT_TRUE(RunUntilState(link::RunOnline, 20000));
    Clock.Advance(2000);
    EXPECT_TRUE(Unit->WriteLog().empty()) << "no stale edit goes out";
    EXPECT_EQ(Unit->ImageSnapshot()[img::FuelMap + 11], 200);
    EXPECT_EQ(Data().DeviceData.Image[img::FuelMap + 11], 200);

    // Without offline changes a second F8 into the same unit skips its device data block.
    Online->DispatchKey(key::F5);
    ASSERT_TRUE(RunUntilState(link::Idle, 5000));
    Statuses.clear();
    Online->DispatchKey(key::F8);
    ASSERT_TRUE(RunUntilState(link::Idle, 120000));
    EXPECT_EQ(Statuses,
              (Statuses_t{"Device check", "Upload Device ID", "Upload ID success",
                          "ZV map download", "Done", "AFR map download", "Done", "Offline"}));
}

TEST_F(OnlineTest, EditsQueuedForAVanishedUnitNeverReachTheUnitThatReplacesIt) {
    AttachUnit(30);
    Online->StartUp();
    ASSERT_TRUE(RunUntilState(link::RunOnline, 20000));
    Clock.Advance(500);
    Unit->Vanish();
    Clock.Advance(200);
    for (std::size_t k = 0; k < 12; ++k)
        EditMapByte(k, 165);
    ASSERT_TRUE(RunUntilState(link::AwaitUnit, 20000));
    ASSERT_EQ(Dialogs.Boxes.size(), 1u) << "the operator learns that the unit lacks edits";
    EXPECT_EQ(Dialogs.Boxes[0].Text, "Data Changed");

    AttachUnit(30, 3, true, "ZV000449");
    ASSERT_TRUE(RunUntilState(link::RunOnline, 20000));
    Clock.Advance(2000);
    EXPECT_GT(Unit->RequestCount(0xA0), 10u);
    EXPECT_TRUE(Unit->WriteLog().empty());
    EXPECT_EQ(Data().DeviceData.Image[img::FuelMap], Unit->ImageSnapshot()[img::FuelMap])
        << "its data were taken";
}

TEST_F(OnlineTest, DownloadWritesWhatTheFirmwareHas) {
    for (int fw : {26, 27}) {
        SCOPED_TRACE(fw);
        AttachUnit(fw);
        Main.CreateNewDataSet("car.zvt");
        Data().Map[0][0] = 7;
        Data().AfrMap[0][0] = 9;
        Data().Detail[param::ContactIdle] = 40;
        Data().FieldsToImage();
        Data().FileImageToDevice();
        StartIdle();
        Statuses.clear();
        Online->DispatchKey(key::F8);
        ASSERT_TRUE(RunUntilState(link::Idle, 120000));
        EXPECT_TRUE(Saw("Device Data Download")) << "no unit data held: the device block goes too";
        EXPECT_EQ(Saw("AFR map download"), fw >= 27);
        const ImageBytes unit = Unit->ImageSnapshot();
        EXPECT_EQ(unit[img::FuelMap + 255], 7);
        EXPECT_EQ(unit[2], 40);
        EXPECT_EQ(unit[img::AfrMap + 255] == 9, fw >= 27);
        for (const auto& write : Unit->WriteLog()) EXPECT_TRUE(write.Stored);
    }
}

// A unit that acknowledges every written byte but keeps none: the download must not say "Done",
// and the data set stays marked as changed offline, since the unit does not hold it.
TEST_F(OnlineTest, ADownloadTheUnitDoesNotKeepIsReportedAsFailed) {
    AttachUnit(30);
    Main.CreateNewDataSet("car.zvt");
    Data().Map[0][0] = 7;
    Data().FieldsToImage();
    Data().FileImageToDevice();
    Data().DeviceData.ChangedOffline = 1;
    StartIdle();
    Unit->ForgetWrites(true);
    Statuses.clear();
    Online->DispatchKey(key::F8);
    ASSERT_TRUE(RunUntilState(link::Idle, 120000));
    EXPECT_TRUE(Saw("Download timeout"));
    EXPECT_FALSE(Saw("Done"));
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 1);
}

TEST_F(OnlineTest, SingleMapAndCurveSequencesWriteExactlyTheirBytes) {
    struct Case {
        TSequence Sequence;
        std::vector<std::uint16_t> Addresses;  // first address of each 16 or 256 byte run, area 2
        std::size_t Bytes;
    };
    const std::vector<Case> cases = {
        {TSequence::IdleCurveDownload, {208}, 16},
        {TSequence::TempCurveDownload, {176}, 16},
        {TSequence::GpCurveDownload, {192}, 16},
        {TSequence::FotoCurveDownload, {160}, 16},
        {TSequence::MapDownload, {0x100, 224, 240}, 256 + 32},
        {TSequence::AfrMapDownload, {512}, 256},
    };
    AttachUnit(30);
    Main.CreateNewDataSet("car.zvt");
    StartIdle();
    for (const auto& c : cases) {
        Unit->ClearCounters();
        Online->StartSequence(c.Sequence, link::ConnectTransfer);
        ASSERT_TRUE(RunUntilState(link::Idle, 120000));
        const auto& log = Unit->WriteLog();
        ASSERT_EQ(log.size(), c.Bytes);
        std::size_t i = 0;
        for (std::uint16_t first : c.Addresses) {
            const std::size_t run = c.Bytes == 16 ? 16 : (first >= 224 && first < 256 ? 16 : 256);
            for (std::size_t k = 0; k < run; ++k, ++i) EXPECT_EQ(log[i].Address, first + k);
        }
    }
}

// The unit falls silent when a step begins: the step reports its time-out, and the sequence,
// whichever row it follows, ends offline with the port closed.
TEST_F(OnlineTest, EverySequenceThatFailsEndsOfflineWithThePortClosed) {
    struct Case {
        TSequence Sequence;
        std::uint8_t Start;
        const char* SilentFrom;  // status text at which the unit stops answering
        const char* Failure;
    };
    const std::vector<Case> cases = {
        {TSequence::Upload, link::ConnectTransfer, "Upload Device ID", "Upload ID timeout"},
        {TSequence::Upload, link::ConnectTransfer, "Device Data Upload", "Upload 256 timeout"},
        {TSequence::Upload, link::ConnectTransfer, "ZV map Upload", "Upload 256 timeout"},
        {TSequence::Main, link::Connect, "Device Data Upload", "Upload 256 timeout"},
        {TSequence::Main, link::Connect, "Device check", "Device check - level 2"},
        {TSequence::Download, link::ConnectTransfer, "Device Data Download", "Download timeout"},
        {TSequence::Download, link::ConnectTransfer, "ZV map download", "Download timeout"},
        {TSequence::MapDownload, link::ConnectTransfer, "ZV map download", "Download timeout"},
        {TSequence::IdleCurveDownload, link::ConnectTransfer, "Idle Download", "Download timeout"},
    };
    Main.CreateNewDataSet("car.zvt");
    StartIdle();
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.SilentFrom) + " / " + c.Failure);
        AttachUnit(30);
        Statuses.clear();
        Online->StatusShown = [&](const std::string& text) {
            Statuses.push_back(text);
            if (text == c.SilentFrom)
                Unit->Vanish();
        };
        Online->StartSequence(c.Sequence, c.Start);
        ASSERT_TRUE(Clock.RunUntil([&] { return Online->LinkState() == link::Idle; }, 4000000));
        EXPECT_TRUE(Saw(c.Failure));
        EXPECT_EQ(Statuses.back(), "Offline");
        EXPECT_FALSE(Line.IsOpen());
        EXPECT_EQ(Data().DeviceData.DeviceValid, 0);
        // A download cut off says what it left in the unit; nothing else fails with a box.
        if (std::string(c.Failure) == "Download timeout") {
            ASSERT_EQ(Dialogs.Boxes.size(), 1u);
            EXPECT_EQ(Dialogs.Boxes[0].Kind, MsgKind::Error);
            EXPECT_EQ(Dialogs.Boxes[0].Text.rfind("The download stopped before it was complete.", 0), 0u);
        } else {
            EXPECT_TRUE(Dialogs.Boxes.empty());
        }
        Dialogs.Boxes.clear();
    }
}

// The identification has no checksum. One character of the version code arrives garbled in
// the first reply: unprintable (0x43 as 0xF5, which read as unknown firmware), or another digit
// ("C01.03" as "C01.04", firmware 31). Either way the unit is read again and known as what it is.
TEST_F(OnlineTest, AGarbledIdentificationIsReadAgain) {
    struct Garble {
        std::uint64_t Index;  // character 75 is the first of the version code
        std::uint8_t Mask;
    };
    for (const Garble g : {Garble{74, 0x43 ^ 0xF5}, Garble{79, 0x33 ^ 0x34}}) {
        SCOPED_TRACE(g.Index);
        AttachUnit(30);
        Dialogs.Boxes.clear();
        Online->StatusShown = [&](const std::string& text) {
            if (text != "Upload Device ID")
                return;
            const std::uint64_t next = Line.ByteCount(sim::LineDirection::UnitToPc);
            Line.InjectFault({sim::LineDirection::UnitToPc, next + g.Index,
                              sim::LineFaultKind::Corrupt, g.Mask});
        };
        Online->StartSequence(TSequence::Main, link::Connect);
        ASSERT_TRUE(Clock.RunUntil([&] { return Online->LinkState() == link::RunOnline; }, 30000));
        EXPECT_TRUE(Dialogs.Boxes.empty());
        EXPECT_EQ(Data().DeviceData.Firmware, 30);
        EXPECT_EQ(Online->Panels().VerLevel, "V1.03 C");
        EXPECT_EQ(Data().DeviceData.Ident.VersionCode, "C01.03");
        Online->StartSequence(TSequence::Main, link::CancelOnline);
        ASSERT_TRUE(RunUntilState(link::Idle, 5000));
        Data().DeviceData.DeviceValid = 0;
    }
}

// An edit that the unit's memory will not take is reported, and the data set counts as changed
// for the next time the link goes online; the stream goes on.
TEST_F(OnlineTest, AnEditTheUnitRefusesIsReported) {
    AttachUnit(30);
    Online->StartUp();
    ASSERT_TRUE(RunUntilState(link::RunOnline, 20000));
    const std::uint8_t flagsLow = Unit->Peek(2, 4);
    Unit->RefuseWrites(true);
    Online->DispatchKey(key::F9);
    ASSERT_TRUE(RunUntilStatus("Write failed: area 2, address 0x0004", 20000));
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 1);
    EXPECT_EQ(Unit->Peek(2, 4), flagsLow);
    const int records = Records;
    Clock.Advance(1000);
    EXPECT_GT(Records, records + 5);
    EXPECT_EQ(Online->LinkState(), link::RunOnline);
}

TEST_F(OnlineTest, IdentificationOutcomes) {
    // A type 3 unit without version code whose serial number lies outside its table.
    AttachUnit(30, 3, false, "ZV000419");
    Online->StartUp();
    ASSERT_TRUE(RunUntilState(link::RunOnline, 20000));
    ASSERT_EQ(Dialogs.Boxes.size(), 1u);
    EXPECT_EQ(Dialogs.Boxes[0].Caption, "Confirmation");
    EXPECT_EQ(Dialogs.Boxes[0].Text, "Unknown serial number!!! Please use newer pc program.");
    EXPECT_EQ(Data().DeviceData.Firmware, 40);

    Online->DispatchKey(key::F5);
    ASSERT_TRUE(RunUntilState(link::Idle, 5000));
    Dialogs.Boxes.clear();
    AttachUnit(30, 5);
    Online->DispatchKey(key::F5);
    ASSERT_TRUE(RunUntilStatus("Not supported Device", 20000));
    ASSERT_EQ(Dialogs.Boxes.size(), 1u);
    EXPECT_EQ(Dialogs.Boxes[0].Text, "Not supported device!");
    ASSERT_TRUE(RunUntilState(link::Idle, 5000));

    // No version code, and a serial number that is not a number: offline without a message.
    Dialogs.Boxes.clear();
    Statuses.clear();
    AttachUnit(30, 3, false, "ZV0A0450");
    Online->DispatchKey(key::F5);
    ASSERT_TRUE(RunUntilState(link::Idle, 20000));
    EXPECT_EQ(Statuses, (Statuses_t{"Device check", "Upload Device ID", "Offline"}));
    EXPECT_TRUE(Dialogs.Boxes.empty());
    EXPECT_FALSE(Line.IsOpen());
    EXPECT_FALSE(Online->Controls().F5.Down);
}

TEST_F(OnlineTest, APendingFileIsOpenedOnceTheLinkIsIdle) {
    std::vector<std::string> lines;
    Main.CreateNewDataSet("x.zvt");
    const std::string path = ::testing::TempDir() + "pending.zvt";
    Main.Data().FileName = path;
    ASSERT_TRUE(Main.SaveDataFile());
    ScriptedDialogs dialogs;
    TMainModel fresh(dialogs, Settings);
    TOnlineMode online(fresh, Clock, Line);
    online.PendingFile = path;
    online.StartUp();
    ASSERT_TRUE(Clock.RunUntil([&] { return online.LinkState() == link::Idle && online.PendingFile.empty(); }, 5000));
    EXPECT_EQ(fresh.Data().FileName, path);
    EXPECT_TRUE(online.Controls().F7.Enabled);
    EXPECT_TRUE(online.Controls().F8.Enabled);
}

}  // namespace
}  // namespace zv::test
