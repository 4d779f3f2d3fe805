#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "data_files.h"
#include "temp_dir.h"
#include "zvtool_run.h"

namespace zv {
namespace {

using test::NewFileLines;
using test::ReplaceLine;
using test::TempDir;
using test::ToFileText;
using test::ToolRun;
using test::ValueDifferences;
using test::Zvtool;

TEST_F(Zvtool, NewDumpSaveAndDiff) {
    ToolRun r = Tool("new " + Q("car.zvt"));
    ASSERT_EQ(r.Exit, 0) << r.Err;
    EXPECT_EQ(
        TempDir::Read(dir.File("car.zvt")).rfind("[Zevrin System]\r\nFirmware=unknown\r\n", 0), 0u);

    r = Tool("dump " + Q("car.zvt"));
    ASSERT_EQ(r.Exit, 0) << r.Err;
    EXPECT_NE(r.Out.find("\"fileFirmware\":40,\"firmware\":40,\"firmwareName\":\"---\""),
              std::string::npos);
    EXPECT_NE(r.Out.find("\"map\":[[46,53,58,"), std::string::npos);
    EXPECT_NE(r.Out.find("\"Pulse\":116"), std::string::npos);
    EXPECT_NE(r.Out.find("\"RpmSites\":[199,189,"), std::string::npos);
    EXPECT_NE(r.Out.find("\"modified\":false}"), std::string::npos);
    const auto image = r.Out.find("\"image\":\"");
    ASSERT_NE(image, std::string::npos);
    EXPECT_EQ(r.Out.find('"', image + 9) - (image + 9), 5632u);

    ASSERT_EQ(Tool("save " + Q("car.zvt") + " " + Q("copy")).Exit, 0);
    EXPECT_EQ(TempDir::Read(dir.File("copy")), TempDir::Read(dir.File("car.zvt")))
        << "saved to OUT as given";
    r = Tool("diff " + Q("car.zvt") + " " + Q("copy"));
    EXPECT_EQ(r.Exit, 0);
    EXPECT_EQ(r.Out, "");

    auto lines = NewFileLines();
    ReplaceLine(lines, "T3=", "T3=1,94,107,119,126,133,136,142,146,151,152,153,156,159,159,159");
    ReplaceLine(lines, "MaxRot=", "MaxRot=8000");
    lines.push_back("extra");
    dir.Write("other.zvt", ToFileText(lines));
    r = Tool("diff " + Q("car.zvt") + " " + Q("other.zvt"));
    EXPECT_EQ(r.Exit, 1);
    EXPECT_NE(r.Out.find("Map[3][0]: 73 -> 1\n"), std::string::npos);
    EXPECT_NE(r.Out.find("Detail MaxRot: 10000 -> 8000\n"), std::string::npos);
    EXPECT_NE(r.Out.find("Comment line 2: (none) -> \"extra\"\n"), std::string::npos);

    // Every kind of item, in the order of the file: maps, parameters, curves, sites, comment.
    lines = NewFileLines();
    ReplaceLine(lines, "T15=", "T15=67,93,114,140,164,175,183,194,199,210,221,226,235,245,252,250");
    ReplaceLine(lines, "TempControl=", "TempControl=0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,25");
    ReplaceLine(lines, "RpmSites=", "RpmSites=199,191,177,165,151,137,123,109,96,83,70,57,45,33,24,13");
    ReplaceLine(lines, "ContactIdle=", "ContactIdle=40");
    dir.Write("items.zvt", ToFileText(lines));
    r = Tool("diff " + Q("car.zvt") + " " + Q("items.zvt"));
    EXPECT_EQ(r.Exit, 1);
    EXPECT_EQ(ValueDifferences(r.Out), (std::vector<std::string>{"Map[15][15]: 251 -> 250",
                                                                 "Detail ContactIdle: 34 -> 40",
                                                                 "Lin TempControl[15]: 0 -> 25",
                                                                 "Lin RpmSites[1]: 189 -> 191"}));
}

TEST_F(Zvtool, BadFilesExitOneWithAMessage) {
    dir.Write("empty.zvt", "");
    dir.Write("garbage.zvt", std::string("\x7f\x45\x4c\x46\x00\x01\x02\xff\xfe", 9));
    auto lines = NewFileLines();
    ReplaceLine(lines, "T4=", "T4=1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17");
    dir.Write("long.zvt", ToFileText(lines));
    const std::string before = TempDir::Read(dir.File("long.zvt"));
    for (const char* name : {"empty.zvt", "garbage.zvt", "long.zvt"}) {
        const ToolRun r = Tool(std::string("dump ") + Q(name));
        EXPECT_EQ(r.Exit, 1) << name;
        EXPECT_EQ(r.Out, "") << name;
        EXPECT_EQ(r.Err.rfind("Error: Not a valid Zevrin file", 0), 0u) << name << ": " << r.Err;
    }
    EXPECT_EQ(TempDir::Read(dir.File("long.zvt")), before);
    ToolRun r = Tool("--lang de dump " + Q("missing.zvt"));
    EXPECT_EQ(r.Exit, 1);
    EXPECT_EQ(r.Err.rfind("Warnung: ", 0), 0u);
    EXPECT_EQ(Tool("frobnicate").Exit, 2);
}

TEST_F(Zvtool, MessagesOneLinePerBox) {
    auto lines = NewFileLines();
    ReplaceLine(lines, "Pulse=", "Pulse=5");
    dir.Write("p.zvt", ToFileText(lines));
    const ToolRun r = Tool("--lang de dump " + Q("p.zvt"));
    EXPECT_EQ(r.Exit, 0);
    EXPECT_EQ(r.Err,
              "Fehler: Wert für Parameter 'Pulse' zu klein!\\nGültiger Wertebereich: "
              "'30'...'150'.\\nSetze "
              "Standardwert '116'.\n");
}

// Looking at a file never changes it, even when the program's Open would rewrite it; only
// dump --upgrade does that rewrite, and save writes nothing but its output.
TEST_F(Zvtool, DumpDiffAndSaveLeaveTheFilesTheyReadAsTheyAre) {
    std::string oldest = "Zevrin Table\r\n";
    for (int t = 0; t < 16; ++t)
        oldest += "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15," + std::to_string(t) + "\r\n";
    oldest += "[Zevrin Comment]\r\nold car\r\n";
    dir.Write("old.zvt", oldest);
    auto lines = NewFileLines();
    ReplaceLine(lines, "LambdaRpmSetIn=", "LambdaRotSetIn=40");
    const std::string olderKeys = ToFileText(lines);
    dir.Write("keys.zvt", olderKeys);

    ToolRun r = Tool("dump " + Q("old.zvt"));
    ASSERT_EQ(r.Exit, 0) << r.Err;
    EXPECT_NE(r.Out.find("\"map\":[[1,2,3,4,"), std::string::npos);
    EXPECT_NE(r.Err.find("would rewrite"), std::string::npos) << r.Err;
    r = Tool("diff " + Q("old.zvt") + " " + Q("keys.zvt"));
    EXPECT_EQ(r.Exit, 1);
    EXPECT_NE(r.Out.find("Detail LambdaRpmSetIn: 29 -> 40\n"), std::string::npos) << r.Out;
    ASSERT_EQ(Tool("save " + Q("old.zvt") + " " + Q("out.zvt")).Exit, 0);
    EXPECT_NE(TempDir::Read(dir.File("out.zvt")).find("[Zevrin Map]\r\nT0=1,2,3,4,"),
              std::string::npos);
    EXPECT_TRUE(TempDir::Read(dir.File("old.zvt")) == oldest) << "the oldest layout was rewritten";
    EXPECT_TRUE(TempDir::Read(dir.File("keys.zvt")) == olderKeys)
        << "older key names were rewritten";
    r = Tool("download --port sim " + Q("keys.zvt") + " --sim-data " + Q("old.zvt"));
    EXPECT_EQ(r.Exit, 0) << r.Err;
    EXPECT_TRUE(TempDir::Read(dir.File("keys.zvt")) == olderKeys) << "download rewrote its file";
    EXPECT_TRUE(TempDir::Read(dir.File("old.zvt")) == oldest) << "--sim-data rewrote its file";

    ASSERT_EQ(Tool("dump --upgrade " + Q("keys.zvt")).Exit, 0);
    const std::string upgraded = TempDir::Read(dir.File("keys.zvt"));
    EXPECT_NE(upgraded.find("\r\nLambdaRpmSetIn=40\r\n"), std::string::npos);
    EXPECT_EQ(upgraded.find("LambdaRotSetIn"), std::string::npos);
    EXPECT_NE(Tool("--help").Out.find("dump --upgrade FILE"), std::string::npos);
}

// A save replaces only the contents: the target keeps its permissions, and a symbolic link
// stays a link whose target receives the data.
TEST_F(Zvtool, SaveKeepsPermissionsAndWritesThroughALink) {
    namespace fs = std::filesystem;
    ASSERT_EQ(Tool("new " + Q("car.zvt")).Exit, 0);
    fs::create_directory(dir.Path() / "keep");
    const std::string target = dir.Write("keep/target.zvt", "old contents");
    const auto ownerOnly = fs::perms::owner_read | fs::perms::owner_write;
    fs::permissions(target, ownerOnly);
    fs::create_symlink("keep/target.zvt", dir.Path() / "link.zvt");

    const ToolRun r = Tool("save " + Q("car.zvt") + " " + Q("link.zvt"));
    ASSERT_EQ(r.Exit, 0) << r.Err;
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "link.zvt"));
    EXPECT_TRUE(TempDir::Read(target) == TempDir::Read(dir.File("car.zvt")))
        << "the link's target was not written";
    EXPECT_EQ(fs::status(target).permissions(), ownerOnly);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path() / "keep"), {}), 1)
        << "no temporary file left";
}

TEST_F(Zvtool, DownloadIntoTheSimulatedUnitKeepsEveryValueItHolds) {
    auto lines = NewFileLines();
    ReplaceLine(lines, "T3=", "T3=1,94,107,119,126,133,136,142,146,151,152,153,156,159,159,200");
    ReplaceLine(lines, "ContactIdle=", "ContactIdle=44");
    ReplaceLine(lines, "IdleControl=1", "IdleControl=0");
    ReplaceLine(lines, "T0=42", "T0=40,40,42,255,255,255,255,255,255,255,255,255,255,255,255,255");
    dir.Write("car.zvt", ToFileText(lines));
    for (int fw : {6, 30}) {
        SCOPED_TRACE(fw);
        const std::string unitFile = "unit" + std::to_string(fw) + ".zvt";
        const ToolRun run = Tool("download --port sim:" + std::to_string(fw) + " " + Q("car.zvt") +
                                 " --sim-save " + Q(unitFile));
        ASSERT_EQ(run.Exit, 0) << run.Err;
        EXPECT_EQ(
            run.Err.rfind(
                "status: Device check\nstatus: Upload Device ID\nstatus: Upload ID success\n", 0),
            0u);
        EXPECT_NE(run.Err.find("status: Device Data Download\n"), std::string::npos);
        const ToolRun diff = Tool("diff " + Q("car.zvt") + " " + Q(unitFile));
        // Firmware 6 has no AFR map; everything else lives in the unit.
        EXPECT_EQ(ValueDifferences(diff.Out, fw < 27 ? "AfrMap" : ""), std::vector<std::string>{})
            << diff.Out;
    }
}

TEST_F(Zvtool, UploadFromTheSimulatedUnitGivesBackItsDataSet) {
    auto lines = NewFileLines();
    ReplaceLine(lines, "T9=", "T9=70,96,114,136,156,167,174,182,189,196,204,208,215,220,224,99");
    ReplaceLine(lines, "LambdaJump=", "LambdaJump=17");
    dir.Write("car.zvt", ToFileText(lines));
    const ToolRun run =
        Tool("upload --port sim:30 --sim-data " + Q("car.zvt") + " -o " + Q("up.zvt"));
    ASSERT_EQ(run.Exit, 0) << run.Err;
    EXPECT_NE(run.Err.find("status: AFR map Upload\n"), std::string::npos);
    EXPECT_EQ(TempDir::Read(dir.File("up.zvt")).rfind("[Zevrin System]\r\nFirmware=V1.03 C\r\n", 0),
              0u);
    const ToolRun diff = Tool("diff " + Q("car.zvt") + " " + Q("up.zvt"));
    EXPECT_EQ(ValueDifferences(diff.Out), std::vector<std::string>{}) << diff.Out;
}

// The unit's data set is saved in the program's data folder before the download overwrites it;
// without a backup folder to write to nothing reaches the unit.
TEST_F(Zvtool, DownloadBacksTheUnitUpFirst) {
    auto lines = NewFileLines();
    ReplaceLine(lines, "T9=", "T9=70,96,114,136,156,167,174,182,189,196,204,208,215,220,224,99");
    dir.Write("unit.zvt", ToFileText(lines));
    dir.Write("car.zvt", ToFileText(NewFileLines()));
    const std::string args = "download --port sim:30 " + Q("car.zvt") + " --sim-data " + Q("unit.zvt") +
                             " --sim-save " + Q("after.zvt");
    const std::filesystem::path backups = dir.Path() / "Documents" / "Brenvik-Zevrin-plus" / "Data" / "backups";

    ToolRun run = Tool(args);
    ASSERT_EQ(run.Exit, 0) << run.Err;
    ASSERT_EQ(run.Out.rfind("backup: " + backups.string() + "/ZV", 0), 0u) << run.Out;
    const std::string backup = run.Out.substr(8, run.Out.size() - 9);
    EXPECT_EQ(std::filesystem::path(backup).extension(), ".zvt");
    EXPECT_EQ(ValueDifferences(Tool("diff " + Q("unit.zvt") + " '" + backup + "'").Out), std::vector<std::string>{});
    EXPECT_EQ(ValueDifferences(Tool("diff " + Q("car.zvt") + " " + Q("after.zvt")).Out), std::vector<std::string>{});

    std::filesystem::remove_all(backups);
    run = Tool(args + " --no-backup");
    ASSERT_EQ(run.Exit, 0) << run.Err;
    EXPECT_EQ(run.Out, "");
    EXPECT_FALSE(std::filesystem::exists(backups));

    // A file where the data folder should be.
    std::filesystem::remove_all(backups.parent_path());
    dir.Write("Documents/Brenvik-Zevrin-plus/Data", "");
    run = Tool(args);
    EXPECT_EQ(run.Exit, 1);
    EXPECT_NE(run.Err.find("Error: The backup of the device data failed.\\nThe backup could not be saved: "),
              std::string::npos) << run.Err;
    EXPECT_EQ(run.Err.find("Download"), std::string::npos) << "nothing was written";
    EXPECT_EQ(ValueDifferences(Tool("diff " + Q("unit.zvt") + " " + Q("after.zvt")).Out), std::vector<std::string>{});
}

// Index 0 ("***") is no unit's firmware: the simulated unit refuses to pose as one rather than
// hand over a data set read from the wrong places. Index 1 is the first it can be.
TEST_F(Zvtool, SimulatedUnitIsRefusedForAFirmwareNoUnitHas) {
    ToolRun run = Tool("upload --port sim:0 -o " + Q("up0.zvt"));
    EXPECT_EQ(run.Exit, 2);
    EXPECT_NE(run.Err.find("firmware index 0"), std::string::npos) << run.Err;
    EXPECT_EQ(run.Err.find("status:"), std::string::npos) << "nothing was tried";
    EXPECT_FALSE(std::filesystem::exists(dir.File("up0.zvt")));

    run = Tool("upload --port sim:1 -o " + Q("up1.zvt"));
    ASSERT_EQ(run.Exit, 0) << run.Err;
    const std::string file = TempDir::Read(dir.File("up1.zvt"));
    EXPECT_EQ(file.rfind("[Zevrin System]\r\nFirmware=V1.00 A\r\n", 0), 0u);
    EXPECT_NE(file.find("\r\nT0=46,53,58,64,69,71,71,73,76,78,79,79,78,79,80,80\r\n"),
              std::string::npos)
        << "the default map, not open memory";
}

TEST_F(Zvtool, WatchPrintsLiveRecordsAndRefusesPortsThatAreNotThere) {
    const ToolRun run = Tool("watch --port sim:38 --seconds 3");
    ASSERT_EQ(run.Exit, 0) << run.Err;
    EXPECT_GT(std::count(run.Out.begin(), run.Out.end(), '\n'), 20);
    EXPECT_NE(run.Out.find(" rpm "), std::string::npos);
    EXPECT_NE(run.Err.find("status: Run Online\n"), std::string::npos);
    EXPECT_NE(run.Err.find("status: Offline\n"), std::string::npos);

    const ToolRun missing = Tool("upload --port COM98 -o " + Q("x.zvt"));
    EXPECT_EQ(missing.Exit, 3);
    EXPECT_NE(missing.Err.find("COM98"), std::string::npos) << missing.Err;
    EXPECT_EQ(Tool("upload --port " + Q("no-such-device") + " -o " + Q("x.zvt")).Exit, 3);
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.zvt")));
    EXPECT_EQ(Tool("upload --port COM0 -o " + Q("x.zvt")).Exit, 2);
    EXPECT_EQ(Tool("watch --port sim:41 --seconds 1").Exit, 2);
    EXPECT_EQ(Tool("download --port sim " + Q("missing.zvt")).Exit, 1);
}

// A block with its axes, its value quoted as a spreadsheet quotes a decimal comma, goes to the
// cell its axes name; a value beyond the range is refused as typed, before any rounding.
TEST_F(Zvtool, AnImportedBlockWithAxesAndAQuotedDecimalCommaLandsOnItsCell) {
    ASSERT_EQ(Tool("new " + Q("car.zvt")).Exit, 0);
    ASSERT_EQ(Tool("export " + Q("car.zvt") + " --map -o " + Q("map.csv")).Exit, 0);
    const std::string csv = TempDir::Read(dir.File("map.csv"));
    // The corner and rpm site 1 from the axis row; throttle site 15 heads the second line.
    std::vector<std::string> header;
    for (std::size_t at = 0, end = 0; at < csv.find("\r\n"); at = end + 1) {
        end = std::min(csv.find(',', at), csv.find("\r\n"));
        header.push_back(csv.substr(at, end - at));
    }
    const std::size_t second = csv.find("\r\n") + 2;
    const std::string top = csv.substr(second, csv.find(',', second) - second);
    const std::string axes = header[0] + "," + header[2] + "\r\n" + top + ",";

    dir.Write("block.csv", axes + "\"112,5\"\r\n");
    ToolRun r = Tool("import " + Q("car.zvt") + " --map " + Q("block.csv") + " -o " + Q("out.zvt"));
    ASSERT_EQ(r.Exit, 0) << r.Err;
    r = Tool("diff " + Q("car.zvt") + " " + Q("out.zvt"));
    const std::vector<std::string> changed = ValueDifferences(r.Out);
    ASSERT_EQ(changed.size(), 1u) << r.Out;
    EXPECT_EQ(changed[0].rfind("Map[15][1]: ", 0), 0u) << changed[0];
    EXPECT_EQ(changed[0].substr(changed[0].size() - 7), " -> 113") << "112.5 halfway up";

    dir.Write("over.csv", axes + "255.5\r\n");
    r = Tool("import " + Q("car.zvt") + " --map " + Q("over.csv") + " -o " + Q("over.zvt"));
    EXPECT_EQ(r.Exit, 2);
    EXPECT_NE(r.Err.find("Row 2, column 2: 255.5 is outside 0 .. 255."), std::string::npos)
        << r.Err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("over.zvt")));
}

}  // namespace
}  // namespace zv

namespace zv {
namespace {

using test::TempDir;
using test::ToolRun;
using test::ValueDifferences;
using test::Zvtool;

// Field `field` (from 0) of line `line` (from 0) of a CSV text with CR LF line ends.
std::string WithField(const std::string& csv, int line, int field, const std::string& value) {
    std::size_t start = 0;
    for (int l = 0; l < line; ++l)
        start = csv.find("\r\n", start) + 2;
    for (int f = 0; f < field; ++f)
        start = csv.find(',', start) + 1;
    const std::size_t end = csv.find_first_of(",\r", start);
    return csv.substr(0, start) + value + csv.substr(end);
}

TEST_F(Zvtool, ExportedMapChangedAndImportedChangesThatCellAndABadRowIsRefusedWithItsPlace) {
    ASSERT_EQ(Tool("new " + Q("car.zvt")).Exit, 0);
    ToolRun r = Tool("export " + Q("car.zvt") + " --map -o " + Q("map.csv"));
    ASSERT_EQ(r.Exit, 0) << r.Err;
    const std::string csv = TempDir::Read(dir.File("map.csv"));
    EXPECT_EQ(csv.rfind("% \\ rpm,", 0), 0u);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 17);
    // The last line is the lowest throttle site; its first value the new map's Map[0][0].
    ASSERT_EQ(WithField(csv, 16, 1, "46"), csv);

    dir.Write("edited.csv", WithField(csv, 16, 1, "50"));
    r = Tool("import " + Q("car.zvt") + " --map " + Q("edited.csv") + " -o " + Q("out.zvt"));
    ASSERT_EQ(r.Exit, 0) << r.Err;
    r = Tool("diff " + Q("car.zvt") + " " + Q("out.zvt"));
    EXPECT_EQ(ValueDifferences(r.Out), std::vector<std::string>{"Map[0][0]: 46 -> 50"});

    dir.Write("bad.csv", WithField(csv, 4, 3, "abc"));
    r = Tool("import " + Q("car.zvt") + " --map " + Q("bad.csv") + " -o " + Q("bad.zvt"));
    EXPECT_EQ(r.Exit, 2);
    EXPECT_NE(r.Err.find("Row 5, column 4: \"abc\" is not a number."), std::string::npos) << r.Err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("bad.zvt")));

    ASSERT_EQ(Tool("export " + Q("car.zvt") + " --afr -o " + Q("afr.csv")).Exit, 0);
    const std::string afr = TempDir::Read(dir.File("afr.csv"));
    dir.Write("rich.csv", WithField(afr, 1, 1, "17.5"));
    r = Tool("--lang de import " + Q("car.zvt") + " --afr " + Q("rich.csv") + " -o " + Q("x.zvt"));
    EXPECT_EQ(r.Exit, 2);
    EXPECT_NE(r.Err.find("Zeile 2, Spalte 2: 17.5 liegt außerhalb von 10.5 .. 16.8 (oder NC)."),
              std::string::npos)
        << r.Err;

    r = Tool("export " + Q("car.zvt") + " --curve oil");
    EXPECT_EQ(r.Exit, 2) << "an unknown curve name";
    EXPECT_NE(r.Err.find("temp"), std::string::npos) << "the usage names the curves";
}

}  // namespace
}  // namespace zv
