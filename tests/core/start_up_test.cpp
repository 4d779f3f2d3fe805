#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>
#include <utility>
#include <vector>

#include "app/command_line.h"
#include "app/start_up.h"
#include "temp_dir.h"

namespace zv {
namespace {

using test::TempDir;

// The start reads its settings inside a working folder of its own; the recent folder becomes
// the current folder, which the test puts back.
class StartSettings : public ::testing::Test {
  protected:
    void SetUp() override { previous_ = std::filesystem::current_path(); }
    void TearDown() override { std::filesystem::current_path(previous_); }

    TStartSettings Load(int languageId = 1033) {
        TSettings settings(store);
        return LoadSettings(settings, {home.Path().string(), languageId, "24.12.2023 18:30:00"});
    }

    TempDir home;
    MemorySettingsStore store;

  private:
    std::filesystem::path previous_;
};

TEST_F(StartSettings, FirstStartWritesEveryDefaultAndFollowsTheUsersLanguage) {
    const TStartSettings s = Load(1031);
    EXPECT_EQ(s.Lang, Language::German) << "a German user gets German on the first start";
    EXPECT_EQ(store.ReadString("Options", "Language"), "english") << "while the store says english";
    EXPECT_EQ(store.ReadString("Date", "Lastuse"), "24.12.2023 18:30:00");
    EXPECT_EQ(store.ReadInteger("Com", "Port"), 0);
    EXPECT_EQ(store.ReadBool("Options", "WBO2DispOnF"), false);
    EXPECT_EQ(store.ReadBool("Options", "WBO2DispAfrMaster"), false);
    EXPECT_EQ(store.ReadString("Options", "Windowstate"), "maximized");
    EXPECT_EQ(store.ReadInteger("Options", "KeyUpSmallCode"), 65);
    EXPECT_EQ(store.ReadInteger("Options", "KeyDownSmallCode"), 63);
    EXPECT_EQ(store.ReadString("Files", "Name0"), "ERROR");
    EXPECT_FALSE(store.ReadString("Files", "Name1").has_value())
        << "reading stops at the first ERROR";
    const char sep = static_cast<char>(std::filesystem::path::preferred_separator);
    const std::string expectedDir =
        home.Path().string() + sep + "Brenvik-Zevrin-plus" + sep + "Data" + sep + "MyCar" + sep;
    EXPECT_EQ(store.ReadString("Options", "RecentDir"), expectedDir);
    EXPECT_EQ(s.RecentDir, expectedDir) << "the folder does not exist, so the default is used";
    EXPECT_EQ(s.WindowState, TWindowState::Maximized);

    MemorySettingsStore other;
    TSettings settings(other);
    EXPECT_EQ(LoadSettings(settings, {home.Path().string(), 1033, ""}).Lang, Language::English);
}

TEST_F(StartSettings, StoredValuesAndTheirOddities) {
    store.WriteString("Options", "Language", "GERMAN");
    store.WriteInteger("Com", "Port", 150);
    store.WriteString("Options", "Windowstate", "Minimized");
    store.WriteString("Options", "RecentDir", home.Path().string());
    EXPECT_EQ(Load().Lang, Language::German) << "the stored language is compared in lower case";
    EXPECT_EQ(Load().Port, 0) << "a port of 100 or more is taken as 0";
    EXPECT_EQ(Load().WindowState, TWindowState::Minimized);
    EXPECT_EQ(std::filesystem::current_path(), home.Path()) << "the recent folder is entered";

    store.WriteString("Options", "Language", "klingon");
    store.WriteInteger("Com", "Port", 99);
    store.WriteString("Options", "Windowstate", "");
    EXPECT_EQ(Load().Lang, Language::English);
    EXPECT_EQ(Load().Port, 99);
    EXPECT_EQ(Load().WindowState, TWindowState::Maximized) << "an empty value reads as its default";
    EXPECT_EQ(store.ReadString("Options", "Windowstate"), "maximized");
    EXPECT_EQ(WindowStateOf("maximized"), TWindowState::Maximized);
    EXPECT_EQ(WindowStateOf("Normal"), TWindowState::Normal);
}

// A normal window comes back where it stood; one stored for a larger or another screen is
// brought into this one.
TEST_F(StartSettings, ANormalWindowComesBackWhereItStood) {
    store.WriteString("Options", "WindowNormalPlace", "100,50,900,600");
    EXPECT_EQ(Load().NormalPlace, (TWindowRect{100, 50, 900, 600}));
    for (const char* bad : {"", "100,50,900", "1,2,0,5", "1,2,5,0", "a,b,c,d", "1,2,3,4,5"})
        EXPECT_FALSE(WindowPlaceOf(bad)) << bad;
    EXPECT_EQ(WindowPlaceText({-8, 0, 1, 2}), "-8,0,1,2");

    const TWindowRect screen{0, 0, 1366, 728};
    EXPECT_EQ(NormalWindowPlace(TWindowRect{100, 50, 900, 600}, screen),
              (TWindowRect{100, 50, 900, 600}));
    EXPECT_EQ(NormalWindowPlace(TWindowRect{2000, -40, 900, 600}, screen),
              (TWindowRect{466, 0, 900, 600}))
        << "from a second screen, or above this one: moved inside";
    EXPECT_EQ(NormalWindowPlace(TWindowRect{0, 0, 1366, 728}, screen), screen) << "just fits";
    const TWindowRect fourFifths{137, 73, 1092, 582};
    EXPECT_EQ(NormalWindowPlace(TWindowRect{0, 0, 1367, 600}, screen), fourFifths)
        << "wider than the screen";
    EXPECT_EQ(NormalWindowPlace(TWindowRect{0, 0, 900, 729}, screen), fourFifths)
        << "taller than the screen";
    EXPECT_EQ(NormalWindowPlace(std::nullopt, screen), fourFifths);
}

// Port 0 is "no port": nothing that is stored in Com/Port ever chooses the simulated unit, which
// only its own setting chooses.
TEST_F(StartSettings, StoredPortsNeverChooseTheSimulatedUnit) {
    const TStartSettings first = Load();
    EXPECT_EQ(first.Port, 0);
    EXPECT_FALSE(first.SimulatedUnit) << "a first start has no port at all";
    EXPECT_EQ(store.ReadBool("Com", "SimulatedUnit"), false) << "written with its default";
    for (const auto& [stored, expected] :
         std::vector<std::pair<int, int>>{{100, 0}, {99, 99}, {1, 1}, {0, 0}, {-1, 0}, {-7, 0}}) {
        store.WriteInteger("Com", "Port", stored);
        const TStartSettings s = Load();
        EXPECT_EQ(s.Port, expected) << "stored port " << stored;
        EXPECT_FALSE(s.SimulatedUnit) << "stored port " << stored;
    }
    store.WriteBool("Com", "SimulatedUnit", true);
    store.WriteInteger("Com", "Port", 5);
    const TStartSettings sim = Load();
    EXPECT_TRUE(sim.SimulatedUnit);
    EXPECT_EQ(sim.Port, 5) << "the serial port chosen before stays stored";
}

// The dialog can never assign Tab, Esc, a navigation key or a code beyond a byte; a stored one
// would take that key from the pages.
TEST_F(StartSettings, StepKeysTheKeyConfigurationCannotProduceFallBackToTheDefaults) {
    for (const int bad : {0, 9, 27, 33, 38, 40, 107, 187, 189, 256, 265, -1}) {
        store.WriteInteger("Options", "KeyUpSmallCode", bad);
        store.WriteInteger("Options", "KeyDownSmallCode", bad);
        const TStartSettings s = Load();
        EXPECT_EQ(s.KeyUpSmallCode, 65) << "stored code " << bad;
        EXPECT_EQ(s.KeyDownSmallCode, 63) << "stored code " << bad;
    }
    for (const int good : {1, 8, 10, 26, 28, 66, 188, 255}) {
        store.WriteInteger("Options", "KeyUpSmallCode", good);
        store.WriteInteger("Options", "KeyDownSmallCode", good == 66 ? 67 : 66);
        const TStartSettings s = Load();
        EXPECT_EQ(s.KeyUpSmallCode, good);
        EXPECT_EQ(s.KeyDownSmallCode, good == 66 ? 67 : 66);
    }
}

TEST_F(StartSettings, RecentFilesAreReadOnceEachAndWrittenBackInListOrder) {
    store.WriteString("Files", "Name0", "/data/a.zvt");
    store.WriteString("Files", "Name1", "/data/b.zvt");
    store.WriteString("Files", "Name2", "/data/a.zvt");
    store.WriteString("Files", "Name3", "/data/c.zvt");
    store.WriteString("Files", "Name4", "ERROR");
    store.WriteString("Files", "Name5", "/data/after-the-end.zvt");
    const TStartSettings s = Load();
    EXPECT_EQ(s.RecentFiles,
              (std::vector<std::string>{"/data/a.zvt", "/data/b.zvt", "/data/c.zvt"}));
    EXPECT_EQ(RecentFileCaption(2, "/data/b.zvt"), "&2  /data/b.zvt");
    EXPECT_EQ(RecentFileCaption(3, "/data/Müller & Söhne.zvt"), "&3  /data/Müller && Söhne.zvt")
        << "an ampersand of the path is shown, not taken as the item's mnemonic";

    TSettings settings(store);
    ASSERT_TRUE(SaveRecentFiles(settings, {"/x/1", "/x/2", "/x/3", "/x/4", "/x/5"}, 2));
    EXPECT_EQ(store.ReadString("Files", "Name4"), "/x/5");
    EXPECT_EQ(store.ReadString("Files", "Name5"), "") << "the slot after a list of five is emptied";
    EXPECT_EQ(store.ReadInteger("Files", "NumFiles"), 2);
}

TEST(StartUpFile, BareNamesAreLookedForBesideTheProgram) {
    const char sep = static_cast<char>(std::filesystem::path::preferred_separator);
    EXPECT_EQ(StartUpFile("car.zvt", "/opt/zv"), std::string("/opt/zv") + sep + "car.zvt");
    EXPECT_EQ(StartUpFile("/home/me/car.zvt", "/opt/zv"), "/home/me/car.zvt");
    EXPECT_EQ(StartUpFile("maps/car.zvt", "/opt/zv"),
              (std::filesystem::current_path() / "maps/car.zvt").string())
        << "a relative path stays valid after the start enters the recent folder";
    EXPECT_EQ(StartUpFile("", "/opt/zv"), "");
}

TEST(CommandLine, PortLanguageAndFile) {
    const TCommandLine sim = ParseCommandLine({"--port", "sim:26", "--lang", "de", "car.zvt"});
    EXPECT_EQ(sim.Error, "");
    ASSERT_TRUE(sim.Port.has_value());
    EXPECT_EQ(sim.Port->Type, TPortName::Kind::Sim);
    EXPECT_EQ(sim.Port->Firmware, 26);
    EXPECT_EQ(sim.Lang, Language::German);
    EXPECT_EQ(sim.File, "car.zvt");
    EXPECT_EQ(ParseCommandLine({"--port", "sim"}).Port->Firmware, 30);
    EXPECT_FALSE(ParseCommandLine({}).Port.has_value());
    const auto com = ParseCommandLine({"--port", "COM12"}).Port;
    ASSERT_TRUE(com.has_value());
    EXPECT_EQ(com->Type, TPortName::Kind::Com);
    EXPECT_EQ(com->Number, 12);
    const auto device = ParseCommandLine({"--port", "/dev/ttyUSB0"}).Port;
    ASSERT_TRUE(device.has_value());
    EXPECT_EQ(device->Type, TPortName::Kind::Device);
    EXPECT_EQ(device->Path, "/dev/ttyUSB0");
    for (const auto& bad :
         std::vector<std::vector<std::string>>{{"--port", "sim:41"},
                                               {"--port", "sim:"},
                                               {"--port", "COM1x"},
                                               {"--port", "COM0"},
                                               {"--port", "sim:0"},
                                               {"--lang", "fr"},
                                               {"--port"},
                                               {"--verbose"},
                                               {"a.zvt", "b.zvt"},
                                               {"--page", "0"},
                                               {"--page", "12"},
                                               {"--page", "5x"},
                                               {"car.zvt", "--log"},
                                               {"--sim-data", "a.zvt"},
                                               {"--port", "COM1", "--sim-data", "a.zvt"}}) {
        EXPECT_NE(ParseCommandLine(bad).Error, "") << bad[0];
    }
}

TEST(CommandLine, StartPageAndSimulatedUnitData) {
    const TCommandLine line =
        ParseCommandLine({"--page", "11", "--sim-data", "wide.zvt", "--port", "sim:37"});
    EXPECT_EQ(line.Error, "");
    EXPECT_EQ(line.StartPage, 11);
    EXPECT_EQ(line.SimData, "wide.zvt");
    EXPECT_EQ(ParseCommandLine({"--page", "1"}).StartPage, 1);
    EXPECT_TRUE(ParseCommandLine({"--help"}).Help);
}

TEST(CommandLine, DriveOfTheSimulatedUnit) {
    EXPECT_FALSE(ParseCommandLine({"--port", "sim"}).Drive.has_value());
    TCommandLine line = ParseCommandLine({"--port", "sim", "--drive", "sweep"});
    ASSERT_EQ(line.Error, "");
    EXPECT_EQ(line.Drive->Type, TSimDrive::Kind::Sweep);
    line = ParseCommandLine({"--drive", "cycle", "--port", "sim:24"});
    ASSERT_EQ(line.Error, "");
    EXPECT_EQ(line.Drive->Type, TSimDrive::Kind::Cycle);
    for (const auto& [text, tps, rpm] :
         {std::tuple{"hold:35,2400", 35, 2400}, std::tuple{"hold:0,0", 0, 0},
          std::tuple{"hold:100,10000", 100, 10000}}) {
        line = ParseCommandLine({"--port", "sim", "--drive", text});
        ASSERT_EQ(line.Error, "") << text;
        EXPECT_EQ(line.Drive->Type, TSimDrive::Kind::Hold);
        EXPECT_EQ(line.Drive->TpsPercent, tps);
        EXPECT_EQ(line.Drive->Rpm, rpm);
    }
    // Each refusal says what is wrong.
    for (const auto& [text, says] : {std::pair{"hold:101,2400", "throttle"},
                                     {"hold:-1,2400", "throttle"},
                                     {"hold:35.5,2400", "throttle"},
                                     {"hold:,2400", "throttle"},
                                     {"hold:35,10001", "engine speed"},
                                     {"hold:35,", "engine speed"},
                                     {"hold:35,2400,1", "engine speed"},
                                     {"hold:35", "TPS,RPM"},
                                     {"hold", "cycle, sweep"},
                                     {"Sweep", "cycle, sweep"},
                                     {"", "cycle, sweep"}}) {
        line = ParseCommandLine({"--port", "sim", "--drive", text});
        EXPECT_NE(line.Error.find(says), std::string::npos) << text << ": " << line.Error;
    }
    EXPECT_EQ(ParseCommandLine({"--port", "sim", "--drive"}).Error, "--drive needs a value");
    EXPECT_EQ(ParseCommandLine({"--drive", "sweep"}).Error,
              "--drive is for the built-in simulated unit only (--port sim)");
    EXPECT_NE(ParseCommandLine({"--port", "COM3", "--drive", "sweep"}).Error, "");
}

TEST(CommandLine, LogForTheViewerBesideADataFile) {
    const TCommandLine line = ParseCommandLine({"--log", "24030714.L05", "car.zvt"});
    EXPECT_EQ(line.Error, "");
    EXPECT_EQ(line.Log, "24030714.L05");
    EXPECT_EQ(line.File, "car.zvt");
    EXPECT_EQ(ParseCommandLine({"car.zvt"}).Log, "");
}

}  // namespace
}  // namespace zv
