#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "data_files.h"
#include "temp_dir.h"

namespace zv {
namespace {

using test::NewFileLines;
using test::ReplaceLine;
using test::TempDir;
using test::ToFileText;

struct ToolRun {
    int Exit;
    std::string Out;
    std::string Err;
};

class Zvtool : public ::testing::Test {
protected:
    TempDir dir;

    ToolRun Tool(const std::string& args) {
        const std::string out = dir.File("stdout.txt");
        const std::string err = dir.File("stderr.txt");
        const std::string command = std::string(ZVTOOL_PATH) + " " + args + " >" + out + " 2>" + err;
        const int status = std::system(command.c_str());
        return {WEXITSTATUS(status), TempDir::Read(out), TempDir::Read(err)};
    }
    std::string Q(const std::string& name) { return "'" + dir.File(name) + "'"; }
};

TEST_F(Zvtool, NewDumpSaveAndDiff) {
    ToolRun r = Tool("new " + Q("car.zvt"));
    ASSERT_EQ(r.Exit, 0) << r.Err;
    EXPECT_EQ(TempDir::Read(dir.File("car.zvt")).rfind("[Zevrin System]\r\nFirmware=unknown\r\n", 0), 0u);

    r = Tool("dump " + Q("car.zvt"));
    ASSERT_EQ(r.Exit, 0) << r.Err;
    EXPECT_NE(r.Out.find("\"fileFirmware\":40,\"firmware\":40,\"firmwareName\":\"---\""), std::string::npos);
    EXPECT_NE(r.Out.find("\"map\":[[46,53,58,"), std::string::npos);
    EXPECT_NE(r.Out.find("\"Pulse\":116"), std::string::npos);
    EXPECT_NE(r.Out.find("\"RpmSites\":[199,189,"), std::string::npos);
    EXPECT_NE(r.Out.find("\"modified\":false}"), std::string::npos);
    const auto image = r.Out.find("\"image\":\"");
    ASSERT_NE(image, std::string::npos);
    EXPECT_EQ(r.Out.find('"', image + 9) - (image + 9), 5632u);

    ASSERT_EQ(Tool("save " + Q("car.zvt") + " " + Q("copy")).Exit, 0);
    EXPECT_EQ(TempDir::Read(dir.File("copy")), TempDir::Read(dir.File("car.zvt"))) << "saved to OUT as given";
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
              "Fehler: Wert für Parameter 'Pulse' zu klein!\\nGültiger Wertebereich: '30'...'150'.\\nSetze "
              "Standardwert '116'.\n");
}

}  // namespace
}  // namespace zv
