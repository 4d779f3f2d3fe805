#include <gtest/gtest.h>

#include "data/ini_file.h"
#include "data/text_codec.h"
#include "german_locale.h"
#include "text/point_format.h"
#include "text/text_table.h"

namespace zv {
namespace {

TEST(IniFile, ProfileRules) {
    const IniFile ini({
        "key=before any section",
        "  [ Zevrin Detail ]  ",
        "; Pulse=1",
        "Pulse = 116  ",
        "PULSE=99",
        "Name=\"quoted value\"",
        "NoEquals",
        "[zevrin detail]",
        "MaxRot=1",
        "[Other]",
        "Empty=",
    });
    EXPECT_EQ(ini.ReadString("zevrin DETAIL", "pulse", "x"), "116") << "first key of the first section";
    EXPECT_EQ(ini.ReadString("Zevrin Detail", "MaxRot", "none"), "none") << "a repeated section is not read";
    EXPECT_EQ(ini.ReadString("Zevrin Detail", "Name", ""), "quoted value");
    EXPECT_FALSE(ini.HasKey("Zevrin Detail", "NoEquals"));
    EXPECT_FALSE(ini.HasKey("", "key"));
    EXPECT_EQ(ini.ReadString("Other", "Empty", "x"), "");
    EXPECT_EQ(ini.ReadInteger("Other", "Empty", -9999), -9999);
    EXPECT_EQ(ini.ReadInteger("Zevrin Detail", "Pulse", 0), 116);
}

TEST(IniFile, Integers) {
    EXPECT_EQ(ParseIniInteger("-12"), -12);
    EXPECT_EQ(ParseIniInteger("+7"), 7);
    EXPECT_EQ(ParseIniInteger(" $1F "), 31);
    EXPECT_EQ(ParseIniInteger("0x1f"), 31);
    EXPECT_EQ(ParseIniInteger("-$10"), -16);
    EXPECT_EQ(ParseIniInteger("$FFFFFFFF"), -1);
    EXPECT_EQ(ParseIniInteger("2147483647"), 2147483647);
    EXPECT_EQ(ParseIniInteger("-2147483648"), INT32_MIN);
    for (const char* bad : {"", "-", "$", "0x", "12a", "1 2", "2147483648", "$100000000", "1.5", "abc"}) {
        EXPECT_FALSE(ParseIniInteger(bad).has_value()) << bad;
    }
}

TEST(TextTable, SpotChecksInBothLanguages) {
    const struct {
        int Pair;
        const char* German;
        const char* English;
    } pairs[] = {
        {0, "Öffnen", "Open"},
        {5, "Bestätigung", "Confirmation"},
        {12, "Alte Fileversion wurde Aktualisiert..", "Old file version has been updated.. "},
        {14,
         "Wert für Parameter '%s' zu groß!\r\nGültiger Wertebereich: '%d'...'%d'.\r\nSetze "
         "Standardwert '%d'.",
         "Value of parameter '%s' too big!\r\nValid range is: '%d'...'%d'.\r\nSet default '%d'."},
        {17,
         "Gerätedaten unterschiedlich zu Datei!\r\nTrotzdem laden?\r\nAchtung: Gerätedaten werden "
         "überschrieben!",
         "Device data do not match file data!\r\nLoad anyway?\r\nNote: Device data will be "
         "overwritten!"},
        {18, "Verbindungsfehler!", "Unable to establish communication to Zevrin plus unit!"},
        {30, "Drucken", "&Print"},
        {33, "Druckereinstellung", "Printer adjustment"},
        {37, "&Einstellungen", "Settings"},
        {53, "Drehzahl  [U/min]", "Engine speed [rpm]"},
        {54, "Drosselklappe [V]", "TPS load      [V]"},
        {62, "(ALT-F4) Program Beenden", "(ALT-F4) Close Application"},
        {66, "(F5) Verbindung zum Steuergerät aufbauen", "(F5) Go online to Zevrin Controller"},
        {72, "Datenlogger ein-/ausschalten", "Switch Data logger on/off"},
    };
    for (const auto& p : pairs) {
        EXPECT_STREQ(Text(p.Pair, Language::German), p.German) << p.Pair;
        EXPECT_STREQ(Text(p.Pair, Language::English), p.English) << p.Pair;
    }
    EXPECT_STREQ(Text(73, Language::English), "");
    EXPECT_STREQ(PageName(2, Language::German), "Leerlaufsteller - Typ A");
    EXPECT_STREQ(PageName(4, Language::English), "Z/V Narrow Band Lambda");
    EXPECT_STREQ(PageName(9, Language::German), "Lampen Ausgänge");
    EXPECT_STREQ(PageName(11, Language::English), "Comment");
    EXPECT_STREQ(DeviceTypeName(4), "ZV_00000004");
    EXPECT_STREQ(DeviceTypeName(5), "UNKNOWN");
    EXPECT_STREQ(ReleaseDate().English, "06|05|2018");
}

TEST(TextTable, MnemonicMarksLeavePlainText) {
    EXPECT_EQ(WithoutMnemonic("&Create a new Zevrin file"), "Create a new Zevrin file");
    EXPECT_EQ(WithoutMnemonic("R&&D C&OM3&"), "R&D COM3&");
    EXPECT_EQ(WithoutMnemonic(""), "");
}

TEST(TextCodec, EveryWindowsByteSurvivesARoundTrip) {
    std::string all;
    for (int b = 1; b < 256; ++b) {
        if (b != '\r' && b != '\n') all += static_cast<char>(b);
    }
    all += '\xE4';  // ends with a lone high byte, so the whole is no valid UTF-8
    const std::string utf8 = DecodeFileText(all);
    EXPECT_EQ(EncodeWindows1252(utf8), all);
    EXPECT_NE(utf8.find("\xE2\x82\xAC"), std::string::npos) << "0x80 is the euro sign";
}

TEST(TextCodec, Utf8IsTakenAsItIs) {
    EXPECT_EQ(DecodeFileText("\xEF\xBB\xBFGr\xC3\xB6\xC3\x9F" "e"), "Gr\xC3\xB6\xC3\x9F" "e");
    EXPECT_EQ(DecodeFileText("Gr\xF6\xDF" "e"), "Gr\xC3\xB6\xC3\x9F" "e") << "not UTF-8: Windows-1252";
    EXPECT_EQ(DecodeFileText("\xC0\xAF"), "\xC3\x80\xC2\xAF") << "an overlong form is no UTF-8";
    EXPECT_EQ(EncodeWindows1252("\xE4\xB8\xAD x"), "? x") << "characters Windows-1252 lacks";
}

TEST(TextCodec, Lines) {
    EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_TRUE(SplitLines("").empty());
    EXPECT_EQ(JoinLinesCrlf({"a", ""}), "a\r\n\r\n");
}

// printf's "%W.Pf" with a point under any locale: blanks in front up to the width, rounding as
// printf rounds (the exact binary value, halves to even), text around the item kept.
TEST(PointFormat, FixedItemsAsPrintfWritesThemInTheCLocale) {
    test::GermanLocale german;
    EXPECT_EQ(FormatFixed(96.0, 4, 1), "96.0");
    EXPECT_EQ(FormatFixed(5.0, 4, 1), " 5.0");
    EXPECT_EQ(FormatFixed(100.0, 4, 1), "100.0") << "the width is a minimum";
    EXPECT_EQ(FormatFixed(-55.0, 3, 0), "-55");
    EXPECT_EQ(FormatFixed(0.0, 3, 0), "  0");
    EXPECT_EQ(FormatFixed(2.5, 3, 0), "  2");
    EXPECT_EQ(FormatFixed(3.5, 3, 0), "  4");
    EXPECT_EQ(FormatFixed(0.125, 1, 2), "0.12");
    EXPECT_EQ(FormatFixed(23 / 51.0, 1, 2), "0.45");
    EXPECT_EQ(FormatPoint("%1.2fV", 0.5), "0.50V");
    EXPECT_EQ(FormatPoint("%2.1f", 110 / 2.55), "43.1");
    EXPECT_EQ(FormatPoint("%3.0f", 59.9), " 60");
    EXPECT_EQ(FormatSigned(10.0, 1), "+10.0");
    EXPECT_EQ(FormatSigned(0.0, 1), "+0.0");
    EXPECT_EQ(FormatSigned(-3.46, 1), "-3.5");
    EXPECT_EQ(FormatShort(0.5), "0.5");
    EXPECT_EQ(FormatShort(100.0), "100");
    EXPECT_EQ(FormatShort(2.25), "2.25");
}

}  // namespace
}  // namespace zv
