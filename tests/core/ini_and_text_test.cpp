#include <gtest/gtest.h>

#include "data/ini_file.h"
#include "data/text_codec.h"

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

}  // namespace
}  // namespace zv
