#include <gtest/gtest.h>

#include "data/data_file_reader.h"
#include "data/default_data.h"
#include "data/parameter_table.h"
#include "data/text_file.h"
#include "data_files.h"
#include "temp_dir.h"

namespace zv {
namespace {

using test::ModelFixture;
using test::NewFileLines;
using test::RemoveLine;
using test::ReplaceLine;
using test::TempDir;
using test::ToFileText;

class DataFileRead : public ::testing::Test {
protected:
    TempDir dir;
    ModelFixture f;
    TZVDataClass& data() { return f.model.Data(); }

    std::string Write(const std::vector<std::string>& lines, const std::string& name = "file.zvt") {
        return dir.Write(name, ToFileText(lines));
    }
    // The line of a parameter in a saved file.
    static std::string SavedLine(const std::string& path, const std::string& key) {
        const auto lines = ReadTextLines(path);
        for (const auto& line : lines.value_or(std::vector<std::string>{})) {
            if (line.rfind(key + "=", 0) == 0)
                return line;
        }
        return "(no line)";
    }
};

TEST_F(DataFileRead, OldestLayoutIsRewrittenAfterAPauseAndRead) {
    std::vector<std::string> lines = {"Zevrin Table"};
    for (int t = 0; t < 16; ++t) {
        std::string row;
        for (int r = 0; r < 16; ++r) row += (r ? "," : "") + std::to_string(t * 16 + r);
        lines.push_back(row);
        if (t == 4) lines.push_back("a line without commas is skipped");
    }
    lines.push_back("");
    lines.push_back("[Zevrin Comment]");
    lines.push_back("old car");
    const auto path = Write(lines);

    ASSERT_TRUE(f.model.OpenDataFile(path));
    EXPECT_EQ(data().Map[5][3], 83);
    EXPECT_EQ(data().Map[15][15], 255);
    EXPECT_EQ(f.dialogs.WaitedMs, 5000);
    ASSERT_FALSE(f.dialogs.Boxes.empty());
    EXPECT_EQ(f.dialogs.Boxes[0].Text, "Old file version has been updated.. ");
    EXPECT_EQ(data().Comment, std::vector<std::string>{"old car"});
    // Parameters were missing: the file is then written again in the current layout.
    const auto rewritten = *ReadTextLines(path);
    EXPECT_EQ(rewritten[4], "[Zevrin Map]");
    EXPECT_EQ(rewritten[6], "T1=16,17,18,19,20,21,22,23,24,25,26,27,28,29,30,31");
    EXPECT_EQ(rewritten.back(), "old car");
    EXPECT_FALSE(f.model.Modified());
}

// The comment is text, whatever it looks like: a saved comment with a section header and rows
// in it opens again as it was saved.
TEST_F(DataFileRead, ACommentThatLooksLikeSectionsIsOnlyText) {
    auto lines = NewFileLines();
    ReplaceLine(lines, "T0=", "T0=1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16");
    lines.push_back("[Zevrin Table]");
    lines.push_back("T0=9,9,9,9,9,9,9,9,9,9,9,9,9,9,9,9");
    ASSERT_TRUE(f.model.OpenDataFile(Write(lines)));
    EXPECT_EQ(data().Map[0][15], 16);
    ASSERT_GE(data().Comment.size(), 2u);
    EXPECT_EQ(data().Comment[data().Comment.size() - 2], "[Zevrin Table]");
}

TEST_F(DataFileRead, LayoutDetection) {
    EXPECT_EQ(UpgradeOldLayout({"[Zevrin Table]", "T0=1"}).Layout, FileLayout::Current);
    EXPECT_EQ(UpgradeOldLayout({"x", "[Zevrin Map]"}).Layout, FileLayout::Current);
    EXPECT_EQ(UpgradeOldLayout({"hello", "1,2"}).Layout, FileLayout::NotADataFile);
    const auto oldest = UpgradeOldLayout({"dropped", "Zevrin Table", "1,2", "skip", "3,4", "[Zevrin Lin]"});
    ASSERT_EQ(oldest.Layout, FileLayout::Oldest);
    EXPECT_EQ(oldest.UpgradedLines, (std::vector<std::string>{"[Zevrin Map]", "T0=1,2", "T1=3,4"}))
        << "lines with a comma become rows until there are 16; lines between them are dropped";
    EXPECT_EQ(UpgradeOldLayout({"[zevrin map]", "t0=1"}).Layout, FileLayout::Current);
}

TEST_F(DataFileRead, OlderSectionAndKeyNamesAreReadAndReplaced) {
    auto lines = NewFileLines();
    ReplaceLine(lines, "[Zevrin Map]", "[Zevrin Table]");
    ReplaceLine(lines, "T2=", "T2=1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,9");
    ReplaceLine(lines, "LambdaRpmSetIn=", "LambdaRotSetIn=40");
    ReplaceLine(lines, "LambdaTpsLim=", "LambdaPotiLim=$20");
    ReplaceLine(lines, "WBO2MessDevice=", "WBO2MessDevive=3");
    ReplaceLine(lines, "TpsSites=", "Poti=200,190,180,170,160,150,140,130,120,110,100,90,80,70,60,50");
    const auto path = Write(lines);

    ASSERT_TRUE(f.model.OpenDataFile(path));
    EXPECT_EQ(data().Map[2][15], 9);
    EXPECT_EQ(data().Detail[param::LambdaRpmSetIn], 40);
    EXPECT_EQ(data().Detail[param::LambdaTpsLim], 32);
    EXPECT_EQ(data().Detail[param::WBO2MessDevice], 3);
    EXPECT_EQ(data().Lin[lin::TpsSites][0], 200);
    EXPECT_TRUE(f.dialogs.Boxes.empty());

    const std::string text = TempDir::Read(path);
    EXPECT_NE(text.find("\r\nLambdaRpmSetIn=40\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nTpsSites=200,190,"), std::string::npos);
    EXPECT_EQ(text.find("LambdaRotSetIn"), std::string::npos);
    EXPECT_NE(text.find("[Zevrin Map]\r\nT0="), std::string::npos);
}

TEST_F(DataFileRead, ParametersOutOfRangeGetTheirDefaultsWithAMessage) {
    auto lines = NewFileLines();
    ReplaceLine(lines, "Pulse=", "Pulse=10");
    ReplaceLine(lines, "ContactIdle=", "ContactIdle=151");
    const auto path = Write(lines);
    ASSERT_TRUE(f.model.OpenDataFile(path));
    EXPECT_EQ(data().Detail[param::Pulse], 116);
    EXPECT_EQ(data().Detail[param::ContactIdle], 34);
    ASSERT_EQ(f.dialogs.Boxes.size(), 2u);
    EXPECT_EQ(f.dialogs.Boxes[0].Caption, "Error");
    EXPECT_EQ(f.dialogs.Boxes[0].Text,
              "Value of parameter 'Pulse' too small!\r\nValid range is: '30'...'150'.\r\nSet default '116'.");
    EXPECT_EQ(f.dialogs.Boxes[1].Text,
              "Value of parameter 'ContactIdle' too big!\r\nValid range is: '0'...'150'.\r\nSet default '34'.");
    EXPECT_EQ(TempDir::Read(path), ToFileText(lines)) << "range errors alone do not rewrite the file";
}

// The wideband page offers the sensor units 0..7; each must come back as it was saved.
TEST_F(DataFileRead, SensorUnitsZeroToSevenReopenAsSaved) {
    for (const int unit : {0, 6, 7}) {
        SCOPED_TRACE(unit);
        f.dialogs.Boxes.clear();
        const auto path = Write(NewFileLines(), "unit.zvt");
        ASSERT_TRUE(f.model.OpenDataFile(path));
        data().DeviceData.Image[32] = static_cast<std::uint8_t>(unit);
        data().ImageToFields();
        ASSERT_TRUE(f.model.SaveDataFile());
        EXPECT_EQ(SavedLine(path, "WBO2MessDevice"), "WBO2MessDevice=" + std::to_string(unit));
        ASSERT_TRUE(f.model.OpenDataFile(path));
        EXPECT_EQ(data().Detail[param::WBO2MessDevice], unit);
        EXPECT_EQ(data().DeviceData.Image[32], unit);
        EXPECT_TRUE(f.dialogs.Boxes.empty());
    }
    auto lines = NewFileLines();
    ReplaceLine(lines, "WBO2MessDevice=", "WBO2MessDevice=8");
    f.dialogs.Boxes.clear();
    ASSERT_TRUE(f.model.OpenDataFile(Write(lines)));
    EXPECT_EQ(data().Detail[param::WBO2MessDevice], 0);
    ASSERT_EQ(f.dialogs.Boxes.size(), 1u);
    EXPECT_EQ(f.dialogs.Boxes[0].Text,
              "Value of parameter 'WBO2MessDevice' too big!\r\nValid range is: '0'...'7'.\r\nSet default '0'.");
}

TEST_F(DataFileRead, GermanMessages) {
    f.model.SetLanguage(Language::German);
    auto lines = NewFileLines();
    ReplaceLine(lines, "MaxOutValue=", "MaxOutValue=-1");
    RemoveLine(lines, "[Zevrin Comment]");
    ASSERT_TRUE(f.model.OpenDataFile(Write(lines)));
    ASSERT_EQ(f.dialogs.Boxes.size(), 2u);
    EXPECT_EQ(f.dialogs.Boxes[0].Caption, "Fehler");
    EXPECT_EQ(f.dialogs.Boxes[0].Text,
              "Wert für Parameter 'MaxOutValue' zu klein!\r\nGültiger Wertebereich: '0'...'255'.\r\nSetze Standardwert '254'.");
    EXPECT_EQ(f.dialogs.Boxes[1].Caption, "Warnung");
    EXPECT_EQ(f.dialogs.Boxes[1].Text, "Sektion '[Zevrin Comment]' nicht gefunden. Setze Defaultwerte... ");
}

TEST_F(DataFileRead, FirmwareBelowElevenKeepsItsNewerParametersUnchecked) {
    auto lines = NewFileLines();
    ReplaceLine(lines, "Firmware=", "Firmware=V1.02 A");
    ReplaceLine(lines, "LambdaJump=", "LambdaJump=200");
    RemoveLine(lines, "LambdaInt=");
    const auto path = Write(lines);
    ASSERT_TRUE(f.model.OpenDataFile(path));
    EXPECT_EQ(f.model.FileFirmware(), 3);
    EXPECT_EQ(f.model.FirmwarePanel(), "V1.02 A");
    EXPECT_EQ(data().Detail[param::LambdaJump], 200);
    EXPECT_EQ(data().Detail[param::LambdaInt], -9999);
    EXPECT_TRUE(f.dialogs.Boxes.empty());

    // Saving keeps the mark of the missing value instead of a byte the unit never had, also
    // after an editor rebuilt the edit fields from the image.
    data().DeviceData.Image[img::FuelMap] = 1;
    data().ImageToFields();
    ASSERT_TRUE(f.model.SaveDataFile());
    const std::string text = TempDir::Read(path);
    EXPECT_NE(text.find("\r\nLambdaInt=-9999\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nLambdaJump=200\r\n"), std::string::npos);
}

// A parameter that the file's firmware does not have is not checked and goes back into the file
// exactly as it was read, whatever happened to the working image meanwhile; from the firmware on
// that has it, the value is checked. Flags are tried on both sides of their first firmware.
TEST_F(DataFileRead, ParametersTheFirmwareLacksGoBackAsRead) {
    struct Flag {
        const char* Key;
        const char* Lacks;  // the firmware just below the one that has the flag
        const char* Has;
    };
    const Flag flags[] = {
        {"WBO2SetErrorOnIntegratorLimit", "V1.01 B", "V1.04 B"},  // 10 and 11
        {"DigIO_L_AsPulse", "V1.04 C", "V1.05 C"},                // 31 and 32
        {"WBO2Control", "V1.07 C", "V1.08 C"},                    // 34 and 35
    };
    for (const Flag& flag : flags) {
        for (const std::string value : {"7", "-1", "missing"}) {
            SCOPED_TRACE(std::string(flag.Key) + "=" + value);
            auto lines = NewFileLines();
            ReplaceLine(lines, "Firmware=", std::string("Firmware=") + flag.Lacks);
            ASSERT_TRUE(value == "missing" ? RemoveLine(lines, std::string(flag.Key) + "=")
                                           : ReplaceLine(lines, std::string(flag.Key) + "=",
                                                         std::string(flag.Key) + "=" + value));
            const auto path = Write(lines);
            ASSERT_TRUE(f.model.OpenDataFile(path));
            // An editor changes a map cell and rebuilds the edit fields from the image.
            data().DeviceData.Image[img::FuelMap] = 1;
            data().ImageToFields();
            ASSERT_TRUE(f.model.SaveDataFile());
            const std::string expected = value == "missing" ? "-9999" : value;
            EXPECT_EQ(SavedLine(path, flag.Key), std::string(flag.Key) + "=" + expected);
        }
        auto lines = NewFileLines();
        ReplaceLine(lines, "Firmware=", std::string("Firmware=") + flag.Has);
        ReplaceLine(lines, std::string(flag.Key) + "=", std::string(flag.Key) + "=7");
        f.dialogs.Boxes.clear();
        const auto path = Write(lines);
        ASSERT_TRUE(f.model.OpenDataFile(path));
        ASSERT_TRUE(f.model.SaveDataFile());
        EXPECT_EQ(SavedLine(path, flag.Key), std::string(flag.Key) + "=0") << flag.Has;
        EXPECT_EQ(f.dialogs.Boxes.size(), 1u) << "out of range: " << flag.Has;
    }

    // The operator's own change of such a flag wins over the value read.
    auto lines = NewFileLines();
    ReplaceLine(lines, "Firmware=", "Firmware=V1.04 C");
    ReplaceLine(lines, "DigIO_L_AsPulse=", "DigIO_L_AsPulse=-1");
    const auto path = Write(lines);
    ASSERT_TRUE(f.model.OpenDataFile(path));
    std::uint16_t word = data().DeviceData.FlagsWord();
    TZVDataClass::SetFlag(word, 7);
    data().DeviceData.SetFlagsWord(word);
    data().ImageToFields();
    ASSERT_TRUE(f.model.SaveDataFile());
    EXPECT_EQ(SavedLine(path, "DigIO_L_AsPulse"), "DigIO_L_AsPulse=1");

    // Data taken over from a unit are the unit's, not the file's.
    data().DeviceData.DeviceValid = 1;
    TZVDataClass::ClearFlag(word, 7);
    data().DeviceData.SetFlagsWord(word);
    data().ImageToFields();
    ASSERT_TRUE(f.model.SaveDataFile());
    EXPECT_EQ(SavedLine(path, "DigIO_L_AsPulse"), "DigIO_L_AsPulse=0");
}

TEST_F(DataFileRead, MissingFuelMapRowMakesTheFileUnreadable) {
    auto lines = NewFileLines();
    ASSERT_TRUE(RemoveLine(lines, "T7="));  // the first T7 is the fuel map's
    EXPECT_FALSE(f.model.OpenDataFile(Write(lines)));
    EXPECT_EQ(f.dialogs.Boxes.back().Text, "Not a valid Zevrin file\r\n[Zevrin Map] T7");
}

TEST_F(DataFileRead, MissingRowsAndSectionsFallBackToDefaults) {
    auto lines = NewFileLines();
    ASSERT_TRUE(RemoveLine(lines, "[Zevrin System]"));
    ASSERT_TRUE(RemoveLine(lines, "Firmware="));
    ASSERT_TRUE(ReplaceLine(lines, "[Zevrin AFR map]", "[Zevrin AFR map gone]"));
    ASSERT_TRUE(RemoveLine(lines, "FotoControl="));
    const auto path = Write(lines);
    ASSERT_TRUE(f.model.OpenDataFile(path));
    EXPECT_EQ(f.model.FileFirmware(), 40) << "no firmware line";
    // Default targets; the rewrite passed them through the image, where "no target" is 255.
    for (int t = 0; t < 16; ++t) {
        for (int r = 0; r < 16; ++r) EXPECT_EQ(data().AfrMap[t][r], PackAfrCell(DefaultAfrRow(t)[r]));
    }
    EXPECT_EQ(data().Lin[lin::FotoControl], DefaultLinRow(lin::FotoControl));
    EXPECT_TRUE(f.dialogs.Boxes.empty());
    const std::string text = TempDir::Read(path);
    EXPECT_NE(text.find("\r\nFotoControl=255,203,"), std::string::npos) << "rewritten at once";
    EXPECT_NE(text.find("[Zevrin AFR map]\r\nT0=42,42,42,255,"), std::string::npos);
}

TEST_F(DataFileRead, RpmSitesThatDoNotFallAreCorrected) {
    ByteRow sites = {100, 100, 100, 90, 80, 70, 60, 50, 40, 30, 25, 20, 15, 10, 5, 1};
    EXPECT_EQ(CorrectRpmSites(sites), (std::vector<int>{0, 1}));
    EXPECT_EQ(sites[1], 95);
    EXPECT_EQ(sites[2], 92);

    ByteRow tail = {200, 190, 180, 170, 160, 150, 140, 130, 120, 110, 100, 90, 80, 0, 0, 0};
    CorrectRpmSites(tail);
    EXPECT_EQ(tail[13], 0);
    EXPECT_EQ(tail[14], 0) << "sites never wrap below zero";
    EXPECT_EQ(tail[15], 0);

    auto lines = NewFileLines();
    ReplaceLine(lines, "RpmSites=", "RpmSites=100,100,100,90,80,70,60,50,40,30,25,20,15,10,5,1");
    ASSERT_TRUE(f.model.OpenDataFile(Write(lines)));
    EXPECT_EQ(data().Lin[lin::RpmSites][1], 95);
    ASSERT_EQ(f.dialogs.Boxes.size(), 2u);
    EXPECT_EQ(f.dialogs.Boxes[0].Text, "The engine speed sites were not rising and have been corrected.");
}

TEST_F(DataFileRead, CommentSectionMissingGivesOneDatedLine) {
    auto lines = NewFileLines();
    lines.resize(lines.size() - 2);  // drop the header and the comment line
    const auto path = Write(lines);
    ASSERT_TRUE(f.model.OpenDataFile(path));
    ASSERT_EQ(f.dialogs.Boxes.size(), 1u);
    EXPECT_EQ(f.dialogs.Boxes[0].Text, "Section '[Zevrin Comment]' not found. Set Default.. ");
    ASSERT_EQ(data().Comment.size(), 1u);
    EXPECT_EQ(data().Comment[0].substr(data().Comment[0].size() - path.size() - 9), "         " + path);
}

TEST_F(DataFileRead, IniRulesOfExistingFiles) {
    auto lines = NewFileLines();
    for (auto& line : lines) {
        if (line == "[Zevrin Map]") line = "  [zevrin MAP]  ";
        if (line.rfind("T3=", 0) == 0) line = "  t3 =  3,3,3,3,3,3,3,3,3,3,3,3,3,3,3,3 ";
    }
    ReplaceLine(lines, "ContactFull=", "contactfull = 0x20");
    ReplaceLine(lines, "GreenLed=", "; GreenLed=1");
    lines.insert(lines.begin() + 25, "T3=9,9,9,9,9,9,9,9,9,9,9,9,9,9,9,9");  // a second T3 in the map section
    lines.push_back("RedLed=1");  // in the comment section: not a parameter
    lines.push_back("[Zevrin Detail]");
    lines.push_back("RedLed=1");  // a second section of the same name is never read
    ReplaceLine(lines, "[Zevrin Comment]", "[zevrin comment]");
    ASSERT_TRUE(f.model.OpenDataFile(Write(lines)));
    EXPECT_TRUE(f.dialogs.Boxes.empty()) << "the comment section is found in any case";
    EXPECT_EQ(data().Comment.back(), "RedLed=1");
    EXPECT_EQ(data().Map[3][0], 3);
    EXPECT_EQ(data().Detail[param::ContactFull], 32);
    EXPECT_EQ(data().Detail[param::GreenLed], 179) << "commented out: default";
    EXPECT_EQ(data().Detail[param::RedLed], 194);
}

TEST_F(DataFileRead, BadRowsLeaveTheDataSetAsItWas) {
    const auto good = dir.Write("good.zvt", ToFileText(NewFileLines()));
    ASSERT_TRUE(f.model.OpenDataFile(good));
    const TZVDataClass before = data();
    const std::string caption = f.model.Caption();

    const std::vector<std::pair<std::string, std::string>> cases = {
        {"T5=", "T5=1,2,x,4,5,6,7,8,9,10,11,12,13,14,15,16"},
        {"T5=", "T5=1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17"},
        {"T5=", "T5=1,2,3,4,5,6,7,8,9,10,11,12,13,14,15"},
        {"T5=", "T5=1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,"},
        {"IdleControl=1", "IdleControl=1"},  // parameter line, fine; the row below is broken
        {"IdleControl=121", "IdleControl=121,121,oops"},
    };
    for (const auto& [prefix, replacement] : cases) {
        auto lines = NewFileLines();
        ASSERT_TRUE(ReplaceLine(lines, prefix, replacement)) << prefix;
        lines[5] = "T0=1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1";  // a visible change if the read went through
        f.dialogs.Boxes.clear();
        const bool read = f.model.OpenDataFile(dir.Write("bad.zvt", ToFileText(lines)));
        if (replacement == "IdleControl=1") {
            EXPECT_TRUE(read);
            ASSERT_TRUE(f.model.OpenDataFile(good));
            continue;
        }
        EXPECT_FALSE(read) << replacement;
        ASSERT_EQ(f.dialogs.Boxes.size(), 1u) << replacement;
        EXPECT_EQ(f.dialogs.Boxes[0].Text.rfind("Not a valid Zevrin file\r\n[Zevrin ", 0), 0u);
        EXPECT_EQ(data().Map, before.Map);
        EXPECT_EQ(data().Lin, before.Lin);
        EXPECT_EQ(data().DeviceData.Image, before.DeviceData.Image);
        EXPECT_EQ(data().FileName, good);
        EXPECT_EQ(f.model.Caption(), caption);
    }
}

TEST_F(DataFileRead, NotADataFile) {
    for (const std::string& content : {std::string(), std::string("\x00\x01\xff\xfe garbage\r\n", 14),
                                       std::string("[Something]\r\nT0=1\r\n")}) {
        f.dialogs.Boxes.clear();
        EXPECT_FALSE(f.model.OpenDataFile(dir.Write("x.zvt", content)));
        ASSERT_EQ(f.dialogs.Boxes.size(), 1u);
        EXPECT_EQ(f.dialogs.Boxes[0].Caption, "Error");
        EXPECT_EQ(f.dialogs.Boxes[0].Text, "Not a valid Zevrin file");
        EXPECT_EQ(data().Loaded, 0);
    }
}

TEST_F(DataFileRead, ParseByteRowTakesLowBitsOfExactlySixteenNumbers) {
    ByteRow row{};
    ASSERT_TRUE(ParseByteRow("256,257,-1,$10,0x11, 5 ,6,7,8,9,10,11,12,13,14,15", row));
    EXPECT_EQ(row[0], 0);
    EXPECT_EQ(row[1], 1);
    EXPECT_EQ(row[2], 255);
    EXPECT_EQ(row[3], 16);
    EXPECT_EQ(row[4], 17);
    EXPECT_EQ(row[5], 5);
    const ByteRow kept = row;
    EXPECT_FALSE(ParseByteRow("ERROR", row));
    EXPECT_FALSE(ParseByteRow("", row));
    EXPECT_FALSE(ParseByteRow("1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,99999999999", row));
    EXPECT_EQ(row, kept);
}

}  // namespace
}  // namespace zv
