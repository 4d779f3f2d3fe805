#include <gtest/gtest.h>

#include <utility>

#include "app/main_model.h"
#include "data/default_data.h"
#include "data/parameter_table.h"
#include "data/zv_data_class.h"
#include "scripted_dialogs.h"

namespace zv {
namespace {

std::uint16_t Word(const ImageBytes& image, std::size_t offset) {
    return static_cast<std::uint16_t>(image[offset] | (image[offset + 1] << 8));
}

TEST(DataImage, ConstructorFillsMainAreasAndLeavesAfrAreasZero) {
    const TZVDataClass d;
    EXPECT_EQ(d.FileData.Image[0], 0xFF);
    EXPECT_EQ(d.DeviceData.Image[kMainAreaSize - 1], 0xFF);
    EXPECT_EQ(d.DeviceData.Image[kAfrAreaStart], 0);
    EXPECT_EQ(d.ReceiveData.Image[0], 0);
    EXPECT_EQ(d.Loaded, 0);
    EXPECT_EQ(d.DeviceData.Firmware, 0);
}

TEST(DataImage, AfrCellsPackAndUnpackWithTheirMarks) {
    TZVDataClass d;
    ApplyDefaultFields(d);
    d.AfrMap[0][0] = 64;
    d.AfrMap[0][1] = 141;
    d.AfrMap[0][2] = 63;
    d.FieldsToImage();
    // PC cell [t][r] lies at 512 + 16 (15 - t) + (15 - r) of the AFR area.
    EXPECT_EQ(d.FileData.Image[img::AfrMap + 16 * 15 + 15], 127);
    EXPECT_EQ(d.FileData.Image[img::AfrMap + 16 * 15 + 14], 255);
    EXPECT_EQ(d.FileData.Image[img::AfrMap + 16 * 15 + 13], 63);

    d.DeviceData.Image[img::AfrMap + 16 * 15 + 15] = 127;
    d.DeviceData.Image[img::AfrMap + 16 * 15 + 14] = 200;
    d.ImageToFields();
    EXPECT_EQ(d.AfrMap[0][0], 127);
    EXPECT_EQ(d.AfrMap[0][1], 255);
}

TEST(DataImage, FuelMapAndCurvesLieInUnitOrder) {
    TZVDataClass d;
    ApplyDefaultFields(d);
    d.Map[0][0] = 1;
    d.Map[15][15] = 2;
    d.Map[3][7] = 3;
    d.FieldsToImage();
    EXPECT_EQ(d.FileData.Image[768 + 255], 1);
    EXPECT_EQ(d.FileData.Image[768], 2);
    EXPECT_EQ(d.FileData.Image[768 + 16 * 12 + 8], 3);
    // The image keeps TempControl before GeneralPurposeControl, unlike Lin.
    d.Lin[lin::TempControl].fill(7);
    d.Lin[lin::GeneralPurposeControl].fill(9);
    d.FieldsToImage();
    EXPECT_EQ(d.FileData.Image[176], 7);
    EXPECT_EQ(d.FileData.Image[192], 9);
}

TEST(DataImage, PulseDecodingByFirmware) {
    EXPECT_EQ(DecodePulse(65535, 9), 0);
    EXPECT_EQ(DecodePulse(52351, 9), 116);  // 1529984 / 13184
    EXPECT_EQ(DecodePulse(1234, 2), 116);   // the oldest units have a fixed value
    EXPECT_EQ(DecodePulse(116, 37), 116);
    EXPECT_EQ(DecodePulse(EncodePulse(100, 7), 7), 100);
}

TEST(DataImage, PulseWordByteOrderDependsOnFirmware) {
    TZVDataClass d;
    ApplyDefaultFields(d);
    d.Detail[param::Pulse] = 116;
    d.DeviceData.Firmware = 6;
    d.FieldsToImage();
    const std::uint16_t w6 = Word(d.FileData.Image, 0);
    EXPECT_EQ(w6, 65535 - 2040000 / 116);
    EXPECT_EQ(Word(d.DeviceData.Image, 0), w6) << "the pulse word also goes to the working image";

    d.DeviceData.Firmware = 5;
    d.FieldsToImage();
    EXPECT_EQ(d.FileData.Image[0], w6 >> 8) << "high byte first on firmware 4 and 5";
    EXPECT_EQ(d.FileData.Image[1], w6 & 0xFF);
}

TEST(DataImage, PulseRoundTripsForFirmwareFourAndAbove) {
    for (int fw : {4, 5, 6, 8, 9, 20, 36, 37, 40}) {
        for (int pulse : {30, 77, 116, 150}) {
            TZVDataClass d;
            ApplyDefaultFields(d);
            d.DeviceData.Firmware = static_cast<std::uint8_t>(fw);
            d.Detail[param::Pulse] = pulse;
            d.FieldsToImage();
            d.FileImageToDevice();
            d.ImageToFields();
            // The unit's timer count cannot hold every value exactly (30 is below what firmware
            // up to 8 can count and comes back as 31), but it never comes back far off.
            EXPECT_NEAR(d.Detail[param::Pulse], pulse, 1) << "firmware " << fw;
        }
    }
}

TEST(DataImage, PulseEncodingNeverDividesByZeroOrWraps) {
    TZVDataClass d;
    for (int fw : {0, 5, 8, 9, 36}) {
        d.DeviceData.Firmware = static_cast<std::uint8_t>(fw);
        EXPECT_EQ(DecodePulse(d.PulseToRaw(0), std::max(fw, 4)), 0) << "firmware " << fw;
        // Far too short a period: the longest count the word holds, not a wrapped value.
        EXPECT_EQ(d.PulseToRaw(1), 0) << "firmware " << fw;
    }
}

TEST(DataImage, FlagsFollowTheirParameters) {
    TZVDataClass d;
    ApplyDefaultFields(d);
    d.DeviceData.Firmware = 34;
    d.FileData.SetFlagsWord(0xF000 | (1u << 10));
    d.Detail[param::WBO2Control] = 0;
    d.Detail[param::LampAsSelect] = 2;
    d.Detail[param::IdleControl] = 5;
    d.Detail[param::DigIO_L_AsPulse] = 1;
    d.FieldsToImage();
    const std::uint16_t flags = d.FileData.FlagsWord();
    EXPECT_TRUE(TZVDataClass::TestFlag(flags, 10)) << "below firmware 35 the wideband switch is left alone";
    EXPECT_FALSE(TZVDataClass::TestFlag(flags, 4)) << "LampAsSelect is set only by the value 1";
    EXPECT_TRUE(TZVDataClass::TestFlag(flags, 0));
    EXPECT_TRUE(TZVDataClass::TestFlag(flags, 7));
    EXPECT_EQ(flags & 0xF000, 0xF000) << "reserved bits are kept";

    d.Detail[param::WBO2Control] = 1;
    d.FileImageToDevice();
    d.DeviceData.SetFlagsWord(static_cast<std::uint16_t>(d.DeviceData.FlagsWord() & ~(1u << 10)));
    d.ImageToFields();
    EXPECT_EQ(d.Detail[param::WBO2Control], 1) << "below firmware 35 the parameter keeps its value";

    d.DeviceData.Firmware = 35;
    d.ImageToFields();
    EXPECT_EQ(d.Detail[param::WBO2Control], 0);
}

TEST(DataImage, EachFlagParameterHasItsOwnBit) {
    const std::pair<const char*, int> bits[] = {
        {"IdleControl", 0},    {"NarrowBandLambdaControl", 1},
        {"TempInAsLambda", 2}, {"GPInAsLambda", 3},
        {"LampAsSelect", 4},   {"TempAddMultSel", 5},
        {"GpAddMultSel", 6},   {"DigIO_L_AsPulse", 7},
        {"AnaInFMode1", 8},    {"AnaInEMode1", 9},
        {"WBO2Control", 10},   {"WBO2SetErrorOnIntegratorLimit", 11},
    };
    for (const auto& [key, bit] : bits) {
        TZVDataClass d;
        ApplyDefaultFields(d);
        d.DeviceData.Firmware = 35;
        for (const auto& [other, unused] : bits)
            d.Detail[static_cast<std::size_t>(ParameterIndexOfKey(other))] = 0;
        d.Detail[static_cast<std::size_t>(ParameterIndexOfKey(key))] = 1;
        d.FileData.SetFlagsWord(0);
        d.FieldsToImage();
        EXPECT_EQ(d.FileData.FlagsWord(), 1u << bit) << key;
    }
}

TEST(DataImage, FieldsSurviveTheImageForEveryParameter) {
    TZVDataClass d;
    ApplyDefaultFields(d);
    d.DeviceData.Firmware = 38;
    for (int i = 0; i < kParameterCount; ++i) {
        const ParameterRow& p = Parameter(i);
        if (p.Place == ImagePlace::Byte) d.Detail[static_cast<std::size_t>(i)] = p.Max;
        if (p.Place == ImagePlace::FlagBit) d.Detail[static_cast<std::size_t>(i)] = 1;
    }
    const auto before = d.Detail;
    d.FieldsToImage();
    d.FileImageToDevice();
    d.Detail.fill(0);
    d.ImageToFields();
    for (int i = 0; i < kParameterCount; ++i) {
        if (Parameter(i).Place == ImagePlace::PcOnly) continue;
        EXPECT_EQ(d.Detail[static_cast<std::size_t>(i)], before[static_cast<std::size_t>(i)]) << Parameter(i).Key;
    }
    EXPECT_EQ(d.FileData.Image, d.DeviceData.Image);
}

TEST(DataImage, SameAsDeviceComparesOnlyTheMainArea) {
    TZVDataClass d;
    d.DeviceData.Image[kAfrAreaStart + 600] = 1;
    EXPECT_TRUE(d.SameAsDevice());
    d.DeviceData.Image[1000] = 1;
    EXPECT_FALSE(d.SameAsDevice());
}

TEST(DataImage, ClearUnusedAreasByFirmware) {
    TZVDataSet set;
    set.Image.fill(0x11);
    set.Firmware = 3;
    TZVDataClass::ClearUnusedAreas(set);
    EXPECT_EQ(set.Image[1], 0xFF);
    EXPECT_EQ(set.Image[2], 0x11);
    EXPECT_EQ(set.Image[207], 0xFF);
    EXPECT_EQ(set.Image[208], 0x11) << "idle curve stays";
    EXPECT_EQ(set.Image[800], 0x11) << "fuel map stays";
    EXPECT_EQ(set.Image[1024], 0xFF);

    set.Image.fill(0x11);
    set.Firmware = 8;
    TZVDataClass::ClearUnusedAreas(set);
    EXPECT_EQ(set.Image[0], 0x11);
    EXPECT_EQ(set.Image[205], 0xFF);
    EXPECT_EQ(set.Image[206], 0x11);
    EXPECT_EQ(set.Image[224], 242) << "fixed throttle sites";
    EXPECT_EQ(set.Image[255], 7) << "fixed engine-speed sites";
    EXPECT_EQ(set.Image[300], 0xFF);

    set.Image.fill(0x11);
    set.Firmware = 9;
    TZVDataClass::ClearUnusedAreas(set);
    EXPECT_EQ(set.Image[300], 0x11);
    EXPECT_EQ(set.Image[1023], 0x11);
    EXPECT_EQ(set.Image[1791], 0xFF);
    EXPECT_EQ(set.Image[1792], 0x11) << "the AFR area is left alone";
}

TEST(DataImage, InputSelectionsAndFlags) {
    test::ScriptedDialogs dialogs;
    MemorySettingsStore settings;
    TMainModel model(dialogs, settings);
    TZVDataClass& d = model.Data();

    model.FlagsToInputSelections(static_cast<std::uint16_t>((1u << 2) | (1u << 8) | (1u << 3)));
    EXPECT_EQ(d.InputFSelect, 2);
    EXPECT_EQ(d.InputESelect, 1);
    model.FlagsToInputSelections(static_cast<std::uint16_t>(1u << 9));
    EXPECT_EQ(d.InputESelect, 0) << "the mode bit alone means no lambda input";

    std::uint16_t flags = 0x1234;
    d.InputESelect = 2;
    d.InputFSelect = 2;
    EXPECT_FALSE(model.InputSelectionsToFlags(flags));
    EXPECT_EQ(flags, 0x1234);
    EXPECT_EQ(d.InputFSelect, 0);
    ASSERT_EQ(dialogs.Boxes.size(), 1u);
    EXPECT_EQ(dialogs.Boxes[0].Caption, "Information");
    EXPECT_NE(dialogs.Boxes[0].Text.find("wide band"), std::string::npos);

    d.InputESelect = 1;
    d.InputFSelect = 2;
    flags = 0;
    EXPECT_TRUE(model.InputSelectionsToFlags(flags));
    EXPECT_EQ(flags, (1u << 3) | (1u << 2) | (1u << 8));
    d.InputESelect = 7;
    d.InputFSelect = 0;
    EXPECT_TRUE(model.InputSelectionsToFlags(flags));
    EXPECT_EQ(flags, 0);
}

TEST(DataImage, SaveToStringsFirmwareAndSerialLines) {
    TZVDataClass d;
    ApplyDefaultFields(d);
    std::vector<std::string> lines;
    d.SaveToStrings(lines);
    EXPECT_EQ(lines[1], "Firmware=unknown");
    EXPECT_EQ(lines[2], "SerialNo=unknown");
    EXPECT_EQ(lines.back(), "[Zevrin Comment]");

    d.DeviceData.Firmware = 30;
    d.DeviceData.Ident.FirmwareCode = "C13";
    d.DeviceData.Ident.SerialNo = "ZV000450";
    d.Comment = {"a", "", "b"};
    d.SaveToStrings(lines);
    EXPECT_EQ(lines[1], "Firmware=V1.03 C");
    EXPECT_EQ(lines[2], "SerialNo=ZV000450");
    EXPECT_EQ(lines[5], "T0=46,53,58,64,69,71,71,73,76,78,79,79,78,79,80,80");
    EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()), (std::vector<std::string>{"a", "", "b"}));
}

TEST(DataImage, DefaultAfrTargetsConvertAsStored) {
    EXPECT_EQ(AfrByteFromNumber(14.7), 42);
    EXPECT_EQ(AfrByteFromNumber(255.0), 141);
    EXPECT_EQ(AfrByteFromNumber(12.4), 19);
    const ByteRow row0 = DefaultAfrRow(0);
    EXPECT_EQ(row0[2], 42);
    EXPECT_EQ(row0[3], 141);
    const ByteRow row4 = DefaultAfrRow(4);
    EXPECT_EQ(row4[13], AfrByteFromNumber(14.4));
    EXPECT_EQ(row4[15], AfrByteFromNumber(13.8));

    // Rows and cells where the targets change: {t, r, stored byte}.
    const int cells[][3] = {
        {1, 2, 42},   {1, 3, 141},  {2, 13, 39},  {2, 15, 35},  {3, 14, 33},  {3, 15, 34},
        {9, 12, 42},  {9, 13, 35},  {10, 0, 37},  {10, 12, 37}, {10, 15, 29}, {11, 0, 29},
        {11, 2, 28},  {11, 15, 25}, {12, 6, 26},  {12, 7, 25},  {12, 14, 23}, {13, 3, 23},
        {13, 14, 21}, {14, 15, 20}, {15, 14, 20}, {15, 15, 19},
    };
    for (const auto& [t, r, stored] : cells) {
        EXPECT_EQ(DefaultAfrRow(t)[static_cast<std::size_t>(r)], stored)
            << "row " << t << " cell " << r;
    }
}

}  // namespace
}  // namespace zv
