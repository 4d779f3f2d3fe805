#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>

#include "link/global_class.h"
#include "link/unit_ident.h"
#include "sim_test_support.h"
#include "unit/ident_text.h"

namespace zv {
namespace {

const TGlobalClass& Global() {
    static const TGlobalClass global;
    return global;
}

// A 176-character identification text with the given fields at their 1-based positions.
std::string IdentText(const std::string& type, const std::string& serial,
                      const std::string& version, const std::string& firmwareCode = "C103") {
    std::string text(176, '.');
    text.replace(0, 16, (type + std::string(16, ' ')).substr(0, 16));
    text.replace(16, 8, (serial + std::string(8, ' ')).substr(0, 8));
    text.replace(66, 4, (firmwareCode + std::string(4, ' ')).substr(0, 4));
    text.replace(74, 6, version);
    return text;
}

// --- TGlobalClass --------------------------------------------------------------------------

TEST(GlobalClass, DeviceTypeIsTheFirstNameFoundOrUnknown) {
    EXPECT_EQ(TGlobalClass::DeviceTypeOf("ZV_00000003     "), 3);
    EXPECT_EQ(TGlobalClass::DeviceTypeOf("  ZV_00000001   "), 1);
    // Several names: the lowest index wins, not the first position.
    EXPECT_EQ(TGlobalClass::DeviceTypeOf("ZV_00000004ZV_00000002"), 2);
    EXPECT_EQ(TGlobalClass::DeviceTypeOf("ZV_0000000"), 5);
    EXPECT_EQ(TGlobalClass::DeviceTypeOf("zv_00000003"), 5);
    EXPECT_EQ(TGlobalClass::DeviceTypeOf("UNKNOWN"), 5);
    EXPECT_EQ(TGlobalClass::DeviceTypeOf(""), 5);
    EXPECT_EQ(TGlobalClass::DeviceTypeOf("***"), 5);  // type 0's name is no device
}

TEST(GlobalClass, VersionCodeIsComparedExactlyAndTheFirstEntryWins) {
    EXPECT_EQ(TGlobalClass::FirmwareFromCode("B01.16"), 18);
    EXPECT_EQ(TGlobalClass::FirmwareFromCode("A01.00"), 1);
    EXPECT_EQ(TGlobalClass::FirmwareFromCode("C02.00"), 36);
    EXPECT_EQ(TGlobalClass::FirmwareFromCode("D01.00"), 38);
    EXPECT_EQ(TGlobalClass::FirmwareFromCode("D00.00"), 37);  // 39 has the same code
    // Where one generation of codes ends and the next begins.
    EXPECT_EQ(TGlobalClass::FirmwareFromCode("A02.02"), 8);
    EXPECT_EQ(TGlobalClass::FirmwareFromCode("B01.00"), 9);
    EXPECT_EQ(TGlobalClass::FirmwareFromCode("B01.04"), 11);
    EXPECT_EQ(TGlobalClass::FirmwareFromCode("B02.00"), 23);
    EXPECT_EQ(TGlobalClass::FirmwareFromCode("C00.00"), 24);
    EXPECT_EQ(TGlobalClass::FirmwareFromCode("C00.15"), 25);
    EXPECT_EQ(TGlobalClass::FirmwareFromCode("C00.18"), 26);
    EXPECT_EQ(TGlobalClass::FirmwareFromCode("C01.00"), 27);
    EXPECT_EQ(TGlobalClass::FirmwareFromCode("C01.05"), 32);
    EXPECT_EQ(TGlobalClass::FirmwareFromCode("C01.07"), 34);
    EXPECT_EQ(TGlobalClass::FirmwareFromCode("C01.08"), 35);
    EXPECT_EQ(TGlobalClass::FirmwareFromCode("***"), 0);
    EXPECT_EQ(TGlobalClass::FirmwareFromCode("---"), 40);
    EXPECT_EQ(TGlobalClass::FirmwareFromCode("b01.16"), 40);
    EXPECT_EQ(TGlobalClass::FirmwareFromCode("B01.16 "), 40);
    EXPECT_EQ(TGlobalClass::FirmwareFromCode("B1.16"), 40);
    EXPECT_EQ(TGlobalClass::FirmwareFromCode(""), 40);
}

TEST(GlobalClass, EveryVersionCodeLeadsBackToItsIndexExceptTheDuplicate) {
    for (int fw = 0; fw <= 40; ++fw) {
        const int expected = fw == 39 ? 37 : fw;
        EXPECT_EQ(TGlobalClass::FirmwareFromCode(TGlobalClass::VersionCode(fw)), expected) << fw;
    }
}

TEST(GlobalClass, SerialTableBordersAndSpotChecks) {
    const TGlobalClass& g = Global();
    EXPECT_EQ(g.FirmwareFromSerial(1, 0), 2);
    EXPECT_EQ(g.FirmwareFromSerial(1, 13), 4);
    EXPECT_EQ(g.FirmwareFromSerial(1, 14), 6);
    EXPECT_EQ(g.FirmwareFromSerial(1, 24), 8);
    EXPECT_EQ(g.FirmwareFromSerial(1, 25), 40);
    EXPECT_EQ(g.FirmwareFromSerial(1, -1), 40);

    EXPECT_EQ(g.FirmwareFromSerial(2, 0), 28);
    EXPECT_EQ(g.FirmwareFromSerial(2, 3), 12);
    EXPECT_EQ(g.FirmwareFromSerial(2, 18), 20);  // no exception there
    EXPECT_EQ(g.FirmwareFromSerial(2, 291), 31);
    EXPECT_EQ(g.FirmwareFromSerial(2, 419), 30);
    EXPECT_EQ(g.FirmwareFromSerial(2, 420), 40);

    EXPECT_EQ(g.FirmwareFromSerial(1, 10), 2);
    EXPECT_EQ(g.FirmwareFromSerial(1, 12), 7);
    EXPECT_EQ(g.FirmwareFromSerial(1, 15), 7);
    EXPECT_EQ(g.FirmwareFromSerial(1, 16), 8);
    EXPECT_EQ(g.FirmwareFromSerial(2, 15), 22);
    EXPECT_EQ(g.FirmwareFromSerial(2, 39), 16);
    EXPECT_EQ(g.FirmwareFromSerial(2, 136), 21);
    EXPECT_EQ(g.FirmwareFromSerial(2, 163), 34);
    EXPECT_EQ(g.FirmwareFromSerial(2, 365), 32);

    // Type 3: the first and last serial number of every run.
    const std::pair<long, int> type3[] = {
        {420, 30}, {421, 30}, {423, 32}, {424, 26}, {425, 31}, {426, 27}, {430, 27}, {431, 28},
        {436, 28}, {437, 30}, {438, 30}, {439, 28}, {446, 28}, {447, 30}, {448, 28}, {449, 30},
        {483, 30}, {484, 32}, {485, 30}, {497, 30}, {498, 31}, {507, 31}, {508, 30}, {509, 31},
        {585, 31}, {587, 31}, {639, 31}, {640, 32}, {699, 32}, {700, 33},
    };
    for (const auto& [serial, firmware] : type3)
        EXPECT_EQ(g.FirmwareFromSerial(3, serial), firmware) << serial;
    EXPECT_EQ(g.FirmwareFromSerial(3, 419), 40);
    EXPECT_EQ(g.FirmwareFromSerial(3, 420), 30);
    EXPECT_EQ(g.FirmwareFromSerial(3, 422), 25);
    EXPECT_EQ(g.FirmwareFromSerial(3, 586), 32);
    EXPECT_EQ(g.FirmwareFromSerial(3, 701), 33);
    EXPECT_EQ(g.FirmwareFromSerial(3, 702), 40);

    EXPECT_EQ(g.FirmwareFromSerial(4, 701), 40);
    EXPECT_EQ(g.FirmwareFromSerial(4, 702), 37);
    EXPECT_EQ(g.FirmwareFromSerial(4, 704), 38);
    EXPECT_EQ(g.FirmwareFromSerial(4, 712), 38);
    EXPECT_EQ(g.FirmwareFromSerial(4, 713), 40);

    EXPECT_EQ(g.FirmwareFromSerial(0, 5), 0);
    EXPECT_EQ(g.FirmwareFromSerial(5, 5), 0);
}

// How often each firmware index occurs in each table, counted from the published lists by a
// separate script; a mistyped or lost entry changes a count.
TEST(GlobalClass, SerialTablesHoldTheIndexesOfTheLists) {
    const std::map<int, std::map<int, int>> expected = {
        {1, {{2, 9}, {4, 1}, {6, 1}, {7, 5}, {8, 9}}},
        {2,
         {{12, 1},
          {13, 1},
          {14, 1},
          {16, 2},
          {17, 1},
          {18, 23},
          {19, 8},
          {20, 291},
          {21, 3},
          {22, 2},
          {28, 3},
          {30, 38},
          {31, 36},
          {32, 7},
          {34, 3}}},
        {3, {{25, 1}, {26, 1}, {27, 5}, {28, 15}, {30, 54}, {31, 141}, {32, 63}, {33, 2}}},
        {4, {{37, 2}, {38, 9}}},
    };
    for (const auto& [type, counts] : expected) {
        const TGlobalClass::SerialRange range = TGlobalClass::SerialRangeOf(type);
        std::map<int, int> found;
        for (long n = range.First; n <= range.Last; ++n)
            ++found[Global().FirmwareFromSerial(type, n)];
        EXPECT_EQ(found, counts) << "type " << type;
    }
}

// --- ParseIdentification -------------------------------------------------------------------

TEST(ParseIdentification, VersionCodeDecidesTheFirmware) {
    const TIdentResult r =
        ParseIdentification(IdentText("ZV_00000003", "ZV000450", "B01.16", "B116"), Global());
    ASSERT_EQ(r.Result, TIdentResult::Outcome::Identified);
    EXPECT_EQ(r.Ident.DeviceType, 3);
    EXPECT_EQ(r.Ident.SerialNo, "ZV000450");
    EXPECT_EQ(r.Ident.FirmwareCode, "B116");
    EXPECT_EQ(r.Ident.VersionCode, "B01.16");
    EXPECT_EQ(r.Firmware, 18);  // not the serial number's 30
    EXPECT_FALSE(r.BySerialNumber);
    EXPECT_EQ(r.Ident.Text.size(), 176u);
}

TEST(ParseIdentification, UnknownVersionCodeGivesIndex40) {
    const TIdentResult r =
        ParseIdentification(IdentText("ZV_00000003", "ZV000450", "X09.99"), Global());
    EXPECT_EQ(r.Result, TIdentResult::Outcome::Identified);
    EXPECT_EQ(r.Firmware, 40);
    EXPECT_TRUE(r.UnknownFirmware());
    // A version code of blanks that are not six of them is a code, not the serial number case.
    EXPECT_EQ(
        ParseIdentification(IdentText("ZV_00000003", "ZV000450", "     ."), Global()).Firmware, 40);
}

TEST(ParseIdentification, SixBlanksTakeTheFirmwareFromTheSerialNumber) {
    TIdentResult r = ParseIdentification(IdentText("ZV_00000001", "ZV0013", "      "), Global());
    ASSERT_EQ(r.Result, TIdentResult::Outcome::Identified);
    EXPECT_TRUE(r.BySerialNumber);
    EXPECT_EQ(r.SerialNumber, 13);
    EXPECT_EQ(r.Firmware, 4);
    EXPECT_EQ(r.Ident.SerialNo, "ZV0013");  // the padding is not part of the serial number

    r = ParseIdentification(IdentText("ZV_00000003", "ZV000419", "      "), Global());
    EXPECT_EQ(r.Firmware, 40);
    EXPECT_TRUE(r.UnknownFirmware());

    // The same number means different firmware for different types.
    EXPECT_EQ(
        ParseIdentification(IdentText("ZV_00000002", "SN000003", "      "), Global()).Firmware, 12);
    EXPECT_EQ(
        ParseIdentification(IdentText("ZV_00000001", "SN000003", "      "), Global()).Firmware, 2);
}

TEST(ParseIdentification, SerialNumberThatIsNotANumber) {
    for (const char* serial :
         {"ZVAB0013", "ZV 00013", "ZV-00013", "ZV+00013", "ZV", "ZV0x13", "ZV00 13"}) {
        const TIdentResult r =
            ParseIdentification(IdentText("ZV_00000001", serial, "      "), Global());
        EXPECT_EQ(r.Result, TIdentResult::Outcome::SerialNotANumber) << serial;
    }
    // With a version code the serial number is never read as a number.
    EXPECT_EQ(
        ParseIdentification(IdentText("ZV_00000001", "ZVABCDEF", "A01.04"), Global()).Firmware, 4);
}

TEST(ParseIdentification, DeviceTypeOnlyFromTheFirst16Characters) {
    std::string text = IdentText("Zevrin", "ZV000450", "C01.03");
    text.replace(20, 11, "ZV_00000003");  // inside the serial number field and beyond
    const TIdentResult r = ParseIdentification(text, Global());
    EXPECT_EQ(r.Result, TIdentResult::Outcome::NotSupported);
    EXPECT_EQ(r.Ident.DeviceType, 5);
    EXPECT_TRUE(r.Ident.SerialNo.empty());

    EXPECT_EQ(ParseIdentification(IdentText("UNKNOWN", "ZV000450", "C01.03"), Global()).Result,
              TIdentResult::Outcome::NotSupported);
    // A type name split by the 16th character is not found.
    EXPECT_EQ(
        ParseIdentification(IdentText("     ZV_00000003", "ZV000450", "C01.03"), Global()).Result,
        TIdentResult::Outcome::Identified);
    EXPECT_EQ(
        ParseIdentification(IdentText("      ZV_00000003", "0450", "C01.03"), Global()).Result,
        TIdentResult::Outcome::NotSupported);
}

TEST(ParseIdentification, ShortAndLongTexts) {
    // Cut after the serial number: no version code at all is not six blanks.
    const std::string shortText = IdentText("ZV_00000003", "ZV000450", "C01.03").substr(0, 30);
    TIdentResult r = ParseIdentification(shortText, Global());
    EXPECT_EQ(r.Result, TIdentResult::Outcome::Identified);
    EXPECT_EQ(r.Firmware, 40);
    EXPECT_EQ(r.Ident.FirmwareCode, "");

    r = ParseIdentification(IdentText("ZV_00000003", "ZV000450", "C01.03") + "trailing", Global());
    EXPECT_EQ(r.Ident.Text.size(), 176u);
    EXPECT_EQ(r.Firmware, 30);

    EXPECT_EQ(ParseIdentification("", Global()).Result, TIdentResult::Outcome::NotSupported);
}

TEST(ParseIdentification, BlankFirmwareCodeIsEmpty) {
    const TIdentResult r =
        ParseIdentification(IdentText("ZV_00000002", "ZV000003", "      ", "    "), Global());
    EXPECT_EQ(r.Ident.FirmwareCode, "");
    EXPECT_EQ(r.Firmware, 12);
}

// --- The simulated unit's identification, read back through the parser ---------------------

using sim::test::Config;
using sim::test::TWire;

TIdentResult IdentifyThroughTheWire(const sim::TSimUnitConfig& config) {
    sim::TSimUnit unit(config);
    TWire wire(unit);
    const std::vector<std::uint8_t> reply = wire.Send(0x02);
    EXPECT_EQ(reply.size(), 176u);
    return ParseIdentification(std::string(reply.begin(), reply.end()), Global());
}

TEST(SimIdentification, RoundTripWithVersionCode) {
    for (int type = 1; type <= 4; ++type) {
        for (int fw = 1; fw <= 38; ++fw) {
            const TIdentResult r = IdentifyThroughTheWire(Config(type, fw));
            ASSERT_EQ(r.Result, TIdentResult::Outcome::Identified) << type << "/" << fw;
            EXPECT_EQ(r.Ident.DeviceType, type);
            EXPECT_EQ(r.Firmware, fw) << type << "/" << fw;
            EXPECT_EQ(r.Ident.VersionCode, TGlobalClass::VersionCode(fw));
            EXPECT_EQ(r.Ident.FirmwareCode, sim::FirmwareCodeOf(fw));
            EXPECT_FALSE(r.BySerialNumber);
        }
    }
    EXPECT_EQ(sim::FirmwareCodeOf(30), "C103");
    // The units that share "D00.00" identify as the first of them.
    EXPECT_EQ(IdentifyThroughTheWire(Config(4, 39)).Firmware, 37);
}

TEST(SimIdentification, RoundTripOfEveryOlderUnitKnownBySerialNumber) {
    for (int type = 1; type <= 4; ++type) {
        for (int fw = 1; fw <= 40; ++fw) {
            const auto serial = sim::FindSerialNo(type, fw);
            if (!serial)
                continue;
            const TIdentResult r = IdentifyThroughTheWire(Config(type, fw, false));
            ASSERT_EQ(r.Result, TIdentResult::Outcome::Identified) << type << "/" << fw;
            EXPECT_TRUE(r.BySerialNumber);
            EXPECT_EQ(r.Ident.SerialNo, *serial);
            EXPECT_EQ(r.Ident.VersionCode, "      ");
            EXPECT_EQ(r.Firmware, fw) << type << "/" << fw;
        }
    }
}

TEST(SimIdentification, SerialNumbersForFirmware) {
    EXPECT_EQ(sim::FindSerialNo(1, 4), "ZV000013");
    EXPECT_EQ(sim::FindSerialNo(3, 30), "ZV000420");
    EXPECT_EQ(sim::FindSerialNo(2, 20), "ZV000018");
    EXPECT_EQ(sim::FindSerialNo(3, 40), "ZV000702");
    EXPECT_FALSE(sim::FindSerialNo(3, 9).has_value());  // no type 3 unit had it
    EXPECT_FALSE(sim::FindSerialNo(5, 30).has_value());
}

TEST(SimIdentification, ConfiguredSerialNumberAndOddUnits) {
    sim::TSimUnitConfig c = Config(3, 31, false);
    c.SerialNo = "ZV000586";  // a type 3 unit of firmware 32, whatever the configuration says
    TIdentResult r = IdentifyThroughTheWire(c);
    EXPECT_EQ(r.Ident.SerialNo, "ZV000586");
    EXPECT_EQ(r.Firmware, 32);

    c.SerialNo = "ZVA00586";
    EXPECT_EQ(IdentifyThroughTheWire(c).Result, TIdentResult::Outcome::SerialNotANumber);

    c = Config(1, 4);
    c.ReportFirmwareCode = false;
    r = IdentifyThroughTheWire(c);
    EXPECT_EQ(r.Ident.FirmwareCode, "");
    EXPECT_EQ(r.Firmware, 4);

    EXPECT_EQ(IdentifyThroughTheWire(Config(5, 30)).Result, TIdentResult::Outcome::NotSupported);
    EXPECT_EQ(IdentifyThroughTheWire(Config(0, 30)).Result, TIdentResult::Outcome::NotSupported);
    // No type 3 unit had firmware 9: without a version code the unit falls back to the first
    // number of its table, which the program takes for firmware 30.
    EXPECT_EQ(IdentifyThroughTheWire(Config(3, 9, false)).Firmware, 30);
}

TEST(SimIdentification, SameUnitSameTextDifferentUnitDifferentText) {
    sim::TSimUnit a(Config(3, 30)), b(Config(3, 30)), other(Config(3, 31));
    EXPECT_EQ(a.IdentText(), b.IdentText());
    EXPECT_NE(a.IdentText(), other.IdentText());
}

}  // namespace
}  // namespace zv
