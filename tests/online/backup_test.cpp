// F8 keeps what it overwrites: the unit's data set is read and saved as a backup first, and a
// backup can be downloaded again.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <ctime>

#include "backup/backup_text.h"
#include "backup/unit_backup.h"
#include "online_fixture.h"
#include "temp_dir.h"
#include "unit/unit_defaults.h"

namespace zv::test {

namespace {

class BackupTest : public OnlineTest {
protected:
    void SetUp() override {
        // Backup names carry the local time; UTC makes them the same on every machine.
        setenv("TZ", "UTC", 1);
        tzset();
        OnlineTest::SetUp();
        Main.SetDataFolder(Folder.Path().string());
        Online->BackupBeforeDownload = true;
        AttachDistinctUnit(30);
        Main.CreateNewDataSet("car.zvt");
        Data().Map[0][0] = 7;
        Data().FieldsToImage();
        Data().FileImageToDevice();
        StartIdle();
    }

    // A unit holding a data set of its own, which the PC's does not share.
    void AttachDistinctUnit(int firmware, const std::string& serial = "ZV000450", int type = 3) {
        AttachUnit(firmware, type, true, serial);
        Unit->LoadImage(sim::NewDataSetImage(firmware));
        for (std::uint16_t k = 0; k < 256; k += 15) Unit->Poke(2, static_cast<std::uint16_t>(0x100 + k), 200);
        Unit->Poke(1, 512 + 3, 33);
        Before = Unit->ImageSnapshot();
        Statuses.clear();
    }

    // The data set of a data file as image bytes, read as Open reads it.
    static ImageBytes ImageOfFile(const std::string& path, int firmware) {
        ScriptedDialogs dialogs;
        MemorySettingsStore settings;
        TMainModel model(dialogs, settings);
        model.SetReadOnlyOpen(true);
        EXPECT_TRUE(model.OpenDataFile(path));
        EXPECT_TRUE(dialogs.Boxes.empty());
        // The timing word is encoded for the unit's firmware, as a download encodes it.
        model.Data().DeviceData.Firmware = static_cast<std::uint8_t>(firmware);
        model.Data().FieldsToImage();
        return model.Data().FileData.Image;
    }

    // F8 as the operator presses it, to the end of the sequence.
    void DownloadToEnd() {
        Online->DispatchKey(key::F8);
        ASSERT_TRUE(RunUntilState(link::Idle, 300000));
    }

    // File > Restore backup with the newest backup chosen and the download confirmed; the PC's
    // data need no saving first.
    void RestoreNewest() {
        Dialogs.ListChoices = {0};
        Dialogs.Answers = {MsgAnswer::Yes, MsgAnswer::No};
        Main.RestoreBackupClick();
        ASSERT_TRUE(RunUntilState(link::Idle, 300000));
    }

    // The places a data file carries for firmware 30 (flag bit 10 and bits 12..15 excepted) hold
    // the same values in both images.
    static void ExpectSameDataSet(const ImageBytes& unit, const ImageBytes& expected) {
        for (std::size_t i = 0; i <= 21; ++i) {
            const unsigned mask = i == img::FlagsWord + 1 ? 0x0B : 0xFF;
            EXPECT_EQ(unit[i] & mask, expected[i] & mask) << i;
        }
        for (std::size_t i = 32; i <= 42; ++i) EXPECT_EQ(unit[i], expected[i]) << i;
        for (std::size_t i = img::TpsScale; i < img::RpmSites + 16; ++i) EXPECT_EQ(unit[i], expected[i]) << i;
        for (std::size_t i = img::FuelMap; i < img::UnusedTail; ++i) EXPECT_EQ(unit[i], expected[i]) << i;
    }

    TempDir Folder;
    ImageBytes Before{};
};

// 1700000000 is 2023-11-14 22:13:20 UTC.
}  // namespace

TEST(BackupSavedNote, NamesTheFileAndKeepsTheWholePathForTheTip) {
    const TStatusNote posix =
        BackupSavedNote("/home/t/Data/backups/ZV000420 2026-12-08 083234.zvt", Language::English);
    EXPECT_EQ(posix.Text, "Backup saved: ZV000420 2026-12-08 083234.zvt");
    EXPECT_EQ(posix.Tip, "Backup saved: /home/t/Data/backups/ZV000420 2026-12-08 083234.zvt");
    const TStatusNote windows =
        BackupSavedNote("C:\\Users\\t\\backups\\ZV000450 2023-11-14 221345.zvt", Language::German);
    EXPECT_EQ(windows.Text, "Sicherung gespeichert: ZV000450 2023-11-14 221345.zvt");
    EXPECT_EQ(windows.Tip,
              "Sicherung gespeichert: C:\\Users\\t\\backups\\ZV000450 2023-11-14 221345.zvt");
    EXPECT_EQ(BackupSavedNote("a.zvt", Language::English).Text, "Backup saved: a.zvt");
}

TEST_F(BackupTest, TheBackupHoldsWhatTheUnitHeldAndTheDownloadFollows) {
    // The AFR map is read from firmware 26 on.
    for (int fw : {25, 26}) {
        SCOPED_TRACE(fw);
        AttachDistinctUnit(fw);
        Data().Map[0][0] = static_cast<std::uint8_t>(fw);
        Data().FieldsToImage();
        Data().FileImageToDevice();
        Main.Now = [fw] { return std::time_t{1700000000 + fw}; };
        Online->DispatchKey(key::F8);
        ASSERT_TRUE(RunUntilState(link::Idle, 300000));

        const std::string name = std::string("ZV000450 2023-11-14 2213") + (fw == 25 ? "45" : "46") + ".zvt";
        const std::string path = (Folder.Path() / "backups" / name).string();
        EXPECT_EQ(Online->LastBackupPath(), path);
        EXPECT_TRUE(Saw("Backup saved: " + path));
        EXPECT_TRUE(Dialogs.Boxes.empty());
        const ImageBytes saved = ImageOfFile(path, fw);
        // What a data file carries of these firmwares: parameters and curves, fuel map, AFR map.
        for (std::size_t i = 0; i <= 21; ++i) {
            // Flag bit 10 is firmware 35's and bits 12..15 are nobody's: a data file has no place for them.
            const unsigned mask = i == img::FlagsWord + 1 ? 0x0B : 0xFF;
            EXPECT_EQ(saved[i] & mask, Before[i] & mask) << i;
        }
        for (std::size_t i = img::TpsScale; i < img::UnusedTail; ++i) EXPECT_EQ(saved[i], Before[i]) << i;
        EXPECT_EQ(saved[img::FuelMap], 200);
        if (fw >= 26) {
            for (std::size_t i = img::AfrMap; i < img::AfrMap + 256; ++i) EXPECT_EQ(saved[i], Before[i]) << i;
        }

        // The working data set stayed the PC's, and it is what the unit holds now.
        EXPECT_EQ(Data().Map[0][0], fw);
        EXPECT_EQ(Unit->ImageSnapshot()[img::FuelMap + 255], fw);
        EXPECT_EQ(Unit->ImageSnapshot()[img::FuelMap], Data().DeviceData.Image[img::FuelMap]);
        EXPECT_EQ(Statuses.back(), "Offline");
    }
}

// A backup that cannot be made stops the download before a byte is written, unless the operator
// chooses to go on without it.
TEST_F(BackupTest, AFailedBackupWritesNothingUnlessTheOperatorGoesOn) {
    struct Case {
        const char* Why;
        bool UnitSilentWhileRead;
        const char* Reason;
    };
    const Case cases[] = {
        {"unwritable folder", false, "The backup could not be saved: "},
        {"unit silent", true, "The unit did not send all of its data."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Why);
        TempDir blocked;
        // A file where the data folder should be: no folder can be made below it.
        const std::string notAFolder = blocked.Write("data", "x");
        Main.SetDataFolder(c.UnitSilentWhileRead ? Folder.Path().string() : notAFolder);
        Online->StatusShown = [&](const std::string& text) {
            Statuses.push_back(text);
            if (c.UnitSilentWhileRead && text == "ZV map Upload") Unit->GoSilent(Clock.NowMs() + 7000);
        };
        for (MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes}) {
            Unit->ClearCounters();
            const ImageBytes before = Unit->ImageSnapshot();
            Dialogs.Boxes.clear();
            Statuses.clear();
            Dialogs.Answers = {answer};
            Online->DispatchKey(key::F8);
            ASSERT_TRUE(RunUntilState(link::Idle, 300000));
            ASSERT_EQ(Dialogs.Boxes.size(), 1u);
            EXPECT_EQ(Dialogs.Boxes[0].Kind, MsgKind::Warning);
            EXPECT_EQ(Dialogs.Boxes[0].Buttons, MsgButtons::YesNo);
            EXPECT_NE(Dialogs.Boxes[0].Text.find(c.Reason), std::string::npos) << Dialogs.Boxes[0].Text;
            EXPECT_TRUE(Saw("Backup failed"));
            EXPECT_TRUE(Online->LastBackupPath().empty());
            if (answer == MsgAnswer::No) {
                EXPECT_TRUE(Unit->WriteLog().empty());
                EXPECT_EQ(Unit->ImageSnapshot(), before);
                EXPECT_FALSE(Saw("ZV map download"));
            } else {
                EXPECT_EQ(Unit->ImageSnapshot()[img::FuelMap + 255], 7);
            }
        }
    }
}

// The restore list shows this unit's backups only, newest first; the chosen one goes into the
// unit, after a backup of what it replaces.
TEST_F(BackupTest, RestoreListsTheUnitsBackupsNewestFirstAndDownloadsTheChosenOne) {
    TZVDataSet unit;
    unit.Ident.SerialNo = "ZV000450";
    unit.Firmware = 30;
    unit.Image = Before;
    unit.Image[img::FuelMap + 255] = 111;
    ASSERT_TRUE(SaveUnitBackup(unit, Folder.Path().string(), 1600000000, Language::English).Ok());
    unit.Image[img::FuelMap + 255] = 122;
    ASSERT_TRUE(SaveUnitBackup(unit, Folder.Path().string(), 1650000000, Language::English).Ok());
    unit.Ident.SerialNo = "ZV000451";
    ASSERT_TRUE(SaveUnitBackup(unit, Folder.Path().string(), 1690000000, Language::English).Ok());
    Folder.Write("backups/ZV000450 notes.zvt", "");

    Main.RestoreBackupClick();
    ASSERT_EQ(Dialogs.Boxes.size(), 1u) << "no unit identified yet";
    EXPECT_EQ(Dialogs.Boxes[0].Kind, MsgKind::Information);
    EXPECT_TRUE(Dialogs.ListRequests.empty());

    // One download makes the unit known (and takes the newest backup of all).
    Online->DispatchKey(key::F8);
    ASSERT_TRUE(RunUntilState(link::Idle, 300000));
    Dialogs.Boxes.clear();
    Dialogs.ListChoices = {2};
    Dialogs.Answers = {MsgAnswer::Yes, MsgAnswer::No};  // download it; the PC's data need no saving
    Main.Now = [] { return std::time_t{1700000100}; };
    Main.RestoreBackupClick();
    ASSERT_EQ(Dialogs.ListRequests.size(), 1u);
    EXPECT_EQ(Dialogs.ListRequests[0].Title, "Restore backup");
    EXPECT_EQ(Dialogs.ListRequests[0].Items,
              (std::vector<std::string>{"2023-11-14 22:13:20    ZV000450 (ZV_00000003)", "2022-04-15 05:20:00    ZV000450",
                                        "2020-09-13 12:26:40    ZV000450"}));
    ASSERT_EQ(Dialogs.Boxes.size(), 2u);
    EXPECT_EQ(Dialogs.Boxes[0].Kind, MsgKind::Confirmation);
    EXPECT_EQ(Dialogs.Boxes[1].Text, "Data have been changed! Save first?");
    EXPECT_NE(Dialogs.Boxes[0].Text.find("2020-09-13 12:26:40"), std::string::npos);
    ASSERT_TRUE(RunUntilState(link::Idle, 300000));
    EXPECT_EQ(Unit->ImageSnapshot()[img::FuelMap + 255], 111);
    EXPECT_TRUE(Main.NeverSaved()) << "Save asks for a name instead of writing into the backup";
    EXPECT_EQ(Online->LastBackupPath(), (Folder.Path() / "backups" / "ZV000450 2023-11-14 221500.zvt").string());
}

// The restore list names the unit identified before; by the time the download starts another unit
// may sit on the port, or one that reports the same serial number as another type.
TEST_F(BackupTest, ARestoreGoesOnlyIntoTheUnitTheBackupIsOf) {
    struct Case {
        const char* Serial;
        int Type;
        const char* Connected;
        bool BackupFirst;
    };
    for (const Case c : {Case{"ZV000450", 3, "ZV000450 (ZV_00000003)", true},
                         Case{"ZV000420", 4, "ZV000420 (ZV_00000004)", true},
                         Case{"ZV000450", 3, "ZV000450 (ZV_00000003)", false}}) {
        SCOPED_TRACE(std::string(c.Serial) + (c.BackupFirst ? "" : " without a backup first"));
        AttachDistinctUnit(30, "ZV000420", 3);
        Main.Now = [] { return std::time_t{1700000000}; };
        Online->BackupBeforeDownload = true;
        DownloadToEnd();  // the backup of ZV000420
        Online->BackupBeforeDownload = c.BackupFirst;
        AttachDistinctUnit(30, c.Serial, c.Type);
        Unit->ClearCounters();
        Dialogs.Boxes.clear();
        Statuses.clear();
        RestoreNewest();

        ASSERT_EQ(Dialogs.ListRequests.back().Items.size(), 1u);
        EXPECT_EQ(Dialogs.ListRequests.back().Items[0], "2023-11-14 22:13:20    ZV000420 (ZV_00000003)");
        EXPECT_NE(Dialogs.Boxes.front().Text.find("into unit ZV000420 (ZV_00000003)?"), std::string::npos)
            << Dialogs.Boxes.front().Text;
        ASSERT_FALSE(Dialogs.Boxes.empty());
        EXPECT_EQ(std::count_if(Dialogs.Boxes.begin(), Dialogs.Boxes.end(),
                                [](const auto& box) { return box.Kind == MsgKind::Error; }),
                  1);
        EXPECT_EQ(Dialogs.Boxes.back().Kind, MsgKind::Error);
        EXPECT_EQ(Dialogs.Boxes.back().Text, std::string("The backup belongs to unit ZV000420 (ZV_00000003), but the unit "
                                                     "connected is ") +
                                             c.Connected + ".\r\nNothing was written to the unit.");
        EXPECT_TRUE(Unit->WriteLog().empty());
        EXPECT_EQ(Unit->ImageSnapshot(), Before);
        EXPECT_TRUE(Online->LastBackupPath().empty()) << "nothing was read for a backup either";
        std::error_code ec;
        std::filesystem::remove_all(Folder.Path() / "backups", ec);
    }
}

// A backup restores exactly what the unit held or nothing: one that lacks entries or holds a
// value out of range is refused before anything is sent, and stays as it is on the disk.
TEST_F(BackupTest, ADamagedBackupIsRefusedAndLeftAsItIs) {
    DownloadToEnd();  // makes the unit known
    const std::string whole = TempDir::Read(Online->LastBackupPath());
    const auto without = [&](const std::string& from, const std::string& to) {
        const std::size_t a = whole.find(from);
        return whole.substr(0, a) + whole.substr(whole.find(to, a));
    };
    const auto replaced = [&](const std::string& line, const std::string& by) {
        std::string text = whole;
        return text.replace(text.find(line), line.size(), by);
    };
    struct Case {
        const char* Why;
        std::string Text;
        const char* Reason;
    };
    const Case cases[] = {
        {"no AFR map", without("[Zevrin AFR map]", "[Zevrin Detail]"), "Entries are missing."},
        {"no parameter", without("ContactFull=", "GreenLed="), "Entries are missing."},
        {"no curve", without("TempControl=", "IdleControl="), "Entries are missing."},
        {"out of range", replaced("ContactIdle=" + std::to_string(Before[2]), "ContactIdle=200"), "ContactIdle"},
    };
    ASSERT_NE(whole.find("ContactIdle=" + std::to_string(Before[2])), std::string::npos);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Why);
        std::error_code ec;
        std::filesystem::remove_all(Folder.Path() / "backups", ec);
        std::filesystem::create_directories(Folder.Path() / "backups");
        const std::string path = Folder.Write("backups/ZV000450 2023-11-14 221320.zvt", c.Text);
        Unit->ClearCounters();
        Dialogs.Boxes.clear();
        Dialogs.ListRequests.clear();
        RestoreNewest();
        ASSERT_EQ(Dialogs.ListRequests.size(), 1u);
        ASSERT_EQ(Dialogs.Boxes.size(), 1u) << "one box, and no question to restore it";
        EXPECT_EQ(Dialogs.Boxes[0].Kind, MsgKind::Error);
        EXPECT_EQ(Dialogs.Boxes[0].Text.rfind("The backup ZV000450 2023-11-14 221320.zvt is incomplete or damaged "
                                              "and is not restored:\r\n", 0), 0u) << Dialogs.Boxes[0].Text;
        EXPECT_NE(Dialogs.Boxes[0].Text.find(c.Reason), std::string::npos) << Dialogs.Boxes[0].Text;
        EXPECT_EQ(TempDir::Read(path), c.Text);
        EXPECT_TRUE(Unit->WriteLog().empty());
        EXPECT_EQ(Online->LinkState(), link::Idle);
        EXPECT_EQ(Data().Map[0][0], 7) << "the PC keeps its data set";
    }
}

// F8 writes only the maps into a unit whose data the PC holds. Where the unit's own sites, curves
// or parameters have moved since, the backup read first shows it: the operator is asked, and the
// unit ends up holding the PC's whole data set or is left untouched.
TEST_F(BackupTest, AUnitWhoseOwnDataDifferGetsTheWholeDataSetOrNothing) {
    Online->DispatchKey(key::F7);  // the PC takes the unit's data over
    ASSERT_TRUE(RunUntilState(link::Idle, 300000));
    ASSERT_TRUE(Data().DeviceData.DeviceValid);
    const ImageBytes pc = Data().DeviceData.Image;

    // Unchanged: the maps only, nothing asked.
    Dialogs.Boxes.clear();
    Statuses.clear();
    DownloadToEnd();
    EXPECT_TRUE(Dialogs.Boxes.empty());
    EXPECT_FALSE(Saw("Device Data Download"));
    EXPECT_TRUE(Saw("ZV map download"));

    struct Case {
        const char* Why;
        bool Asked;
        MsgAnswer Answer;
    };
    for (const Case c : {Case{"declined", true, MsgAnswer::No}, Case{"accepted", true, MsgAnswer::Yes},
                         Case{"nobody to ask", false, MsgAnswer::No}}) {
        SCOPED_TRACE(c.Why);
        // Tuned elsewhere meanwhile: a parameter and an idle curve point.
        Unit->Poke(2, 2, static_cast<std::uint8_t>(pc[2] + 5));
        Unit->Poke(2, img::IdleControl + 3, static_cast<std::uint8_t>(pc[img::IdleControl + 3] ^ 0x11));
        const ImageBytes tuned = Unit->ImageSnapshot();
        Unit->ClearCounters();
        Online->OperatorAsked = c.Asked;
        Dialogs.Boxes.clear();
        Dialogs.Answers = {c.Answer};
        Statuses.clear();
        DownloadToEnd();
        EXPECT_TRUE(Saw("Unit data differ"));
        if (c.Asked) {
            ASSERT_EQ(Dialogs.Boxes.size(), 1u);
            EXPECT_EQ(Dialogs.Boxes[0].Kind, MsgKind::Confirmation);
            EXPECT_EQ(Dialogs.Boxes[0].Buttons, MsgButtons::YesNo);
            EXPECT_EQ(Dialogs.Boxes[0].Text.rfind("The unit's sites, curves or parameters differ from the PC's data set: ", 0), 0u)
                << Dialogs.Boxes[0].Text;
            EXPECT_NE(Dialogs.Boxes[0].Text.find("Download the whole data set?"), std::string::npos);
        } else {
            EXPECT_TRUE(Dialogs.Boxes.empty());
        }
        EXPECT_FALSE(Online->LastBackupPath().empty());
        if (c.Answer == MsgAnswer::No && c.Asked) {
            EXPECT_TRUE(Unit->WriteLog().empty());
            EXPECT_EQ(Unit->ImageSnapshot(), tuned);
        } else {
            EXPECT_TRUE(Saw("Device Data Download"));
            ExpectSameDataSet(Unit->ImageSnapshot(), pc);
        }
    }
}

// A unit that still holds what the PC took over from it gets its maps only, without a question,
// in every generation: places and parameters a firmware does not have never count as changed.
// The backup taken on the way can be restored.
TEST_F(BackupTest, AUnitHoldingThePcsDataGetsItsMapsWithoutAQuestion) {
    for (int fw : {1, 4, 8, 9, 11, 25, 26, 27, 32, 35, 38}) {
        SCOPED_TRACE(fw);
        AttachDistinctUnit(fw);
        Online->DispatchKey(key::F7);
        ASSERT_TRUE(RunUntilState(link::Idle, 300000));
        // The lambda jump comes with firmware 11: before, its byte means nothing to the unit.
        if (fw >= 9 && fw < 11) Unit->Poke(2, 10, 123);
        Dialogs.Boxes.clear();
        Statuses.clear();
        DownloadToEnd();
        EXPECT_TRUE(Dialogs.Boxes.empty()) << Dialogs.Boxes.front().Text;
        EXPECT_FALSE(Saw("Unit data differ"));
        EXPECT_FALSE(Saw("Device Data Download"));
        EXPECT_TRUE(Saw("ZV map download"));
        EXPECT_EQ(BackupDamage(Online->LastBackupPath(), Language::English), "") << "the backup restores";
    }
}

// Two units reporting one serial number, backed up in the same second: each backup keeps its own
// unit's data, and the restore list tells them apart.
TEST_F(BackupTest, BackupsInOneSecondKeepEachUnitsData) {
    const auto unitWith = [this](int type, std::uint8_t contactIdle) {
        AttachDistinctUnit(30, "ZV000450", type);
        Unit->Poke(2, 2, contactIdle);
    };
    unitWith(3, 40);
    DownloadToEnd();
    const std::string first = Online->LastBackupPath();
    unitWith(4, 60);
    DownloadToEnd();
    const std::string second = Online->LastBackupPath();
    // And a file of that name that something else put there first.
    const std::string foreign = Folder.Write("backups/ZV000450 2023-11-14 221320 (3).zvt", "not mine");
    unitWith(3, 80);
    DownloadToEnd();
    const std::string third = Online->LastBackupPath();

    const auto backups = Folder.Path() / "backups";
    EXPECT_EQ(first, (backups / "ZV000450 2023-11-14 221320.zvt").string());
    EXPECT_EQ(second, (backups / "ZV000450 2023-11-14 221320 (2).zvt").string());
    EXPECT_EQ(third, (backups / "ZV000450 2023-11-14 221320 (4).zvt").string());
    EXPECT_EQ(ImageOfFile(first, 30)[2], 40);
    EXPECT_EQ(ImageOfFile(second, 30)[2], 60);
    EXPECT_EQ(ImageOfFile(third, 30)[2], 80);
    EXPECT_EQ(TempDir::Read(foreign), "not mine");

    Dialogs.Boxes.clear();
    Dialogs.Answers = {MsgAnswer::No};  // look at the list only
    Dialogs.ListChoices = {0};
    Main.RestoreBackupClick();
    ASSERT_EQ(Dialogs.ListRequests.size(), 1u);
    EXPECT_EQ(Dialogs.ListRequests[0].Items,
              (std::vector<std::string>{"2023-11-14 22:13:20    ZV000450 (ZV_00000003)",
                                        "2023-11-14 22:13:20    ZV000450", "2023-11-14 22:13:20    ZV000450 (ZV_00000004)",
                                        "2023-11-14 22:13:20    ZV000450 (ZV_00000003)"}));
}

// The tint's reference "against the unit's latest backup" is the newest backup of the unit the
// link identified, and a clear message where there is no unit or no backup.
TEST_F(BackupTest, TheLatestBackupOfTheUnitIsTheTintsReference) {
    TZVDataSet unit;
    unit.Ident.SerialNo = "ZV000450";
    unit.Firmware = 30;
    unit.Image = Before;
    unit.Image[img::FuelMap + 255] = 111;  // cell (0, 0)
    ASSERT_TRUE(SaveUnitBackup(unit, Folder.Path().string(), 1600000000, Language::English).Ok());
    unit.Image[img::FuelMap + 255] = 122;
    ASSERT_TRUE(SaveUnitBackup(unit, Folder.Path().string(), 1650000000, Language::English).Ok());
    unit.Ident.SerialNo = "ZV000451";
    unit.Image[img::FuelMap + 255] = 133;
    ASSERT_TRUE(SaveUnitBackup(unit, Folder.Path().string(), 1690000000, Language::English).Ok());

    EXPECT_FALSE(Main.OverlayFromLatestBackup());
    ASSERT_EQ(Dialogs.Boxes.size(), 1u);
    EXPECT_EQ(Dialogs.Boxes[0].Text.rfind("No unit is known yet.", 0), 0u);

    Data().ReceiveData.Ident.SerialNo = "ZV000449";
    EXPECT_FALSE(Main.OverlayFromLatestBackup());
    ASSERT_EQ(Dialogs.Boxes.size(), 2u);
    EXPECT_EQ(Dialogs.Boxes[1].Text.rfind("There is no backup of unit ZV000449 in", 0), 0u);
    EXPECT_FALSE(Main.Overlay().HasReference());
    EXPECT_EQ(Main.OverlaySource(), TOverlaySource::None) << "the menu ticks nothing";

    Data().ReceiveData.Ident.SerialNo = "ZV000450";
    ASSERT_TRUE(Main.OverlayFromLatestBackup());
    EXPECT_EQ(Main.OverlaySource(), TOverlaySource::LatestBackup);
    EXPECT_EQ(Main.Overlay().ReferenceName(), "ZV000450 2022-04-15 052000.zvt");
    ASSERT_TRUE(Main.Overlay().Shown());
    ByteGrid map = Data().Map;
    map[0][0] = 122;
    EXPECT_EQ(Main.Overlay().MapClasses(map)[0][0], 0) << "the cell as that backup holds it";
    map[0][0] = 111;
    EXPECT_NE(Main.Overlay().MapClasses(map)[0][0], 0);
    EXPECT_EQ(Dialogs.Boxes.size(), 2u);
}

}  // namespace zv::test
