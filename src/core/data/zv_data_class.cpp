#include "data/zv_data_class.h"

#include <algorithm>
#include <cmath>

#include "data/firmware_table.h"
#include "data/parameter_table.h"

namespace zv {

namespace {

const char* const kLinRowNames[kLinRowCount] = {
    "TpsScale", "FotoControl", "GeneralPurposeControl", "TempControl", "IdleControl",
    "TpsSites", "RpmSites",
};

const std::size_t kLinRowOffsets[kLinRowCount] = {
    img::TpsScale, img::FotoControl, img::GeneralPurposeControl, img::TempControl, img::IdleControl,
    img::TpsSites, img::RpmSites,
};

// The wideband controller switch exists only from this firmware on; below it the bit is
// the unit's own and is carried unchanged.
constexpr int kWBO2ControlFirmware = 35;

std::uint16_t ReadWord(const ImageBytes& image, std::size_t offset) {
    return static_cast<std::uint16_t>(image[offset] | (image[offset + 1] << 8));
}

void WriteWord(ImageBytes& image, std::size_t offset, std::uint16_t word) {
    image[offset] = static_cast<std::uint8_t>(word & 0xFF);
    image[offset + 1] = static_cast<std::uint8_t>(word >> 8);
}

std::uint16_t SwapBytes(std::uint16_t w) {
    return static_cast<std::uint16_t>((w >> 8) | (w << 8));
}

std::size_t AfrMapOffset(int t, int r) {
    return img::AfrMap + 16 * static_cast<std::size_t>(15 - t) + static_cast<std::size_t>(15 - r);
}

// Flag parameters are packed as "greater than 0", except LampAsSelect, which is set only by 1.
bool FlagValueSet(int index, std::int32_t value) {
    return index == param::LampAsSelect ? value == 1 : value > 0;
}

// trunc(k / pulse) as the timer count of the unit, limited to what the 16-bit word can hold.
std::uint16_t PulseCount(double k, std::uint16_t pulse) {
    if (pulse == 0)
        return 0xFFFF;  // no period: the word that decodes as 0
    const double count = std::trunc(k / pulse);
    return static_cast<std::uint16_t>(65535 - std::min(count, 65535.0));
}

// A word close to 65535 (no unit writes one) decodes beyond 16 bits; it is held at 65535 so that
// it still reads as out of range instead of wrapping to some plausible count.
std::uint16_t PulseFromCount(double k, std::uint16_t word) {
    if (word == 0xFFFF)
        return 0;
    return static_cast<std::uint16_t>(std::min(std::trunc(k / (65535 - word)), 65535.0));
}

constexpr double kPulseConstA = 2040000.0;  // firmware up to 8
constexpr double kPulseConstB = 1529984.0;  // firmware 9..36

// The four ways the word is written, by firmware index (0..3 write as 4..5 do).
int PulseEncoding(int firmware) {
    if (firmware <= 5)
        return 0;
    if (firmware <= 8)
        return 1;
    return firmware <= 36 ? 2 : 3;
}

}  // namespace

std::size_t FuelMapOffset(int t, int r) {
    return img::FuelMap + 16 * static_cast<std::size_t>(15 - t) + static_cast<std::size_t>(15 - r);
}

const char* LinRowName(int row) {
    return (row >= 0 && row < kLinRowCount) ? kLinRowNames[row] : "";
}

std::size_t LinRowOffset(int row) {
    return kLinRowOffsets[row];
}

TLiveLayout LiveLayoutOfFirmware(int firmware) {
    if (firmware <= 8)
        return TLiveLayout::Live11;
    if (firmware <= 23)
        return TLiveLayout::Live18;
    if (firmware <= 36)
        return TLiveLayout::Live24;
    return TLiveLayout::Live28;
}

std::size_t LiveLayoutLength(TLiveLayout layout) {
    switch (layout) {
        case TLiveLayout::Live11:
            return 11;
        case TLiveLayout::Live18:
            return 18;
        case TLiveLayout::Live24:
            return 24;
        case TLiveLayout::Live28:
            break;
    }
    return 28;
}

std::span<std::uint8_t> TLiveRecords::Buffer(TLiveLayout layout) {
    switch (layout) {
        case TLiveLayout::Live11:
            return Live11;
        case TLiveLayout::Live18:
            return Live18;
        case TLiveLayout::Live24:
            return Live24;
        case TLiveLayout::Live28:
            break;
    }
    return Live28;
}

std::span<const std::uint8_t> TLiveRecords::Buffer(TLiveLayout layout) const {
    return const_cast<TLiveRecords*>(this)->Buffer(layout);
}

std::uint16_t TZVDataSet::FlagsWord() const {
    return ReadWord(Image, img::FlagsWord);
}

void TZVDataSet::SetFlagsWord(std::uint16_t flags) {
    WriteWord(Image, img::FlagsWord, flags);
}

std::uint8_t PackAfrCell(std::uint8_t value) {
    if (value >= 128)
        return 255;
    if (value >= 64)
        return 127;
    return value;
}

std::int32_t ParameterValueViaImage(int index, std::int32_t value) {
    switch (Parameter(index).Place) {
        case ImagePlace::Byte:
            return value & 0xFF;
        case ImagePlace::FlagBit:
            return FlagValueSet(index, value) ? 1 : 0;
        default:
            return value;
    }
}

std::uint16_t DecodePulse(std::uint16_t word, int firmware) {
    if (firmware <= 3)
        return 116;
    if (firmware <= 5)
        return PulseFromCount(kPulseConstA, SwapBytes(word));
    if (firmware <= 8)
        return PulseFromCount(kPulseConstA, word);
    if (firmware <= 36)
        return PulseFromCount(kPulseConstB, word);
    return word;
}

std::uint16_t EncodePulse(std::uint16_t pulse, int firmware) {
    if (firmware <= 5)
        return SwapBytes(PulseCount(kPulseConstA, pulse));
    if (firmware <= 8)
        return PulseCount(kPulseConstA, pulse);
    if (firmware <= 36)
        return PulseCount(kPulseConstB, pulse);
    return pulse;
}

std::uint16_t RecodePulse(std::uint16_t word, int fromFirmware, int toFirmware) {
    if (PulseEncoding(fromFirmware) == PulseEncoding(toFirmware))
        return word;
    return EncodePulse(DecodePulse(word, fromFirmware), toFirmware);
}

TZVDataClass::TZVDataClass() {
    std::fill_n(FileData.Image.begin(), kMainAreaSize, 0xFF);
    std::fill_n(DeviceData.Image.begin(), kMainAreaSize, 0xFF);
}

void TZVDataClass::FieldsToImage() {
    ImageBytes& image = FileData.Image;
    for (int t = 0; t < 16; ++t) {
        for (int r = 0; r < 16; ++r) {
            image[FuelMapOffset(t, r)] = Map[t][r];
            image[AfrMapOffset(t, r)] = PackAfrCell(AfrMap[t][r]);
        }
    }
    for (int row = lin::TpsScale; row <= lin::IdleControl; ++row) {
        std::copy(Lin[row].begin(), Lin[row].end(),
                  image.begin() + static_cast<long>(LinRowOffset(row)));
    }

    std::uint16_t flags = FileData.FlagsWord();
    for (int i = 0; i < kParameterCount; ++i) {
        const ParameterRow& p = Parameter(i);
        if (p.Place != ImagePlace::FlagBit)
            continue;
        if (i == param::WBO2Control && DeviceData.Firmware < kWBO2ControlFirmware)
            continue;
        if (FlagValueSet(i, Detail[i])) {
            SetFlag(flags, p.FlagBit);
        } else {
            ClearFlag(flags, p.FlagBit);
        }
    }
    FileData.SetFlagsWord(flags);

    const std::uint16_t pulse = PulseToRaw(static_cast<std::uint16_t>(Detail[param::Pulse]));
    WriteWord(DeviceData.Image, img::PulseWord, pulse);
    WriteWord(image, img::PulseWord, pulse);

    for (int i = 0; i < kParameterCount; ++i) {
        const ParameterRow& p = Parameter(i);
        if (p.Place == ImagePlace::Byte)
            image[p.Offset] = static_cast<std::uint8_t>(Detail[i] & 0xFF);
    }
    for (int row : {lin::TpsSites, lin::RpmSites}) {
        std::copy(Lin[row].begin(), Lin[row].end(),
                  image.begin() + static_cast<long>(LinRowOffset(row)));
    }
}

void TZVDataClass::ImageToFields() {
    FileData.Image = DeviceData.Image;
    const ImageBytes& image = DeviceData.Image;
    for (int t = 0; t < 16; ++t) {
        for (int r = 0; r < 16; ++r) {
            Map[t][r] = image[FuelMapOffset(t, r)];
            AfrMap[t][r] = PackAfrCell(image[AfrMapOffset(t, r)]);
        }
    }
    for (int row = 0; row < kLinRowCount; ++row) {
        std::copy_n(image.begin() + static_cast<long>(LinRowOffset(row)), 16, Lin[row].begin());
    }

    const std::uint16_t flags = DeviceData.FlagsWord();
    for (int i = 0; i < kParameterCount; ++i) {
        const ParameterRow& p = Parameter(i);
        if (p.Place == ImagePlace::FlagBit) {
            if (i == param::WBO2Control && DeviceData.Firmware < kWBO2ControlFirmware)
                continue;
            Detail[i] = TestFlag(flags, p.FlagBit) ? 1 : 0;
        } else if (p.Place == ImagePlace::Byte) {
            Detail[i] = image[p.Offset];
        }
    }
    Detail[param::Pulse] = DecodePulse(ReadWord(image, img::PulseWord), DeviceData.Firmware);
}

void TZVDataClass::SaveToStrings(std::vector<std::string>& lines) const {
    lines.clear();
    lines.push_back("[Zevrin System]");
    lines.push_back(std::string("Firmware=") + (DeviceData.Ident.FirmwareCode.empty()
                                                    ? "unknown"
                                                    : FirmwareName(DeviceData.Firmware)));
    lines.push_back("SerialNo=" + (DeviceData.Ident.SerialNo.empty() ? std::string("unknown")
                                                                     : DeviceData.Ident.SerialNo));
    auto joinRow = [](const ByteRow& row) {
        std::string text;
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i > 0)
                text += ',';
            text += std::to_string(row[i]);
        }
        return text;
    };
    auto grid = [&](const char* header, const ByteGrid& values) {
        lines.emplace_back();
        lines.emplace_back(header);
        for (int t = 0; t < 16; ++t)
            lines.push_back("T" + std::to_string(t) + "=" + joinRow(values[t]));
    };
    grid("[Zevrin Map]", Map);
    grid("[Zevrin AFR map]", AfrMap);

    lines.emplace_back();
    lines.emplace_back("[Zevrin Detail]");
    for (int i = 0; i < kParameterCount; ++i) {
        lines.push_back(std::string(Parameter(i).Key) + "=" + std::to_string(Detail[i]));
    }

    lines.emplace_back();
    lines.emplace_back("[Zevrin Lin]");
    for (int row = 0; row < kLinRowCount; ++row) {
        lines.push_back(std::string(LinRowName(row)) + "=" + joinRow(Lin[row]));
    }

    lines.emplace_back();
    lines.emplace_back("[Zevrin Comment]");
    lines.insert(lines.end(), Comment.begin(), Comment.end());
}

std::uint16_t TZVDataClass::PulseFromDataSet(const TZVDataSet& set) const {
    return DecodePulse(ReadWord(set.Image, img::PulseWord), set.Firmware);
}

std::uint16_t TZVDataClass::PulseToRaw(std::uint16_t pulse) const {
    return EncodePulse(pulse, DeviceData.Firmware);
}

bool TZVDataClass::SameAsDevice() const {
    return std::equal(FileData.Image.begin(), FileData.Image.begin() + kMainAreaSize,
                      DeviceData.Image.begin());
}

void TZVDataClass::ClearUnusedAreas(TZVDataSet& set) {
    auto fill = [&set](std::size_t from, std::size_t to) {
        std::fill(set.Image.begin() + static_cast<long>(from),
                  set.Image.begin() + static_cast<long>(to) + 1, 0xFF);
    };
    const int fw = set.Firmware;
    if (fw <= 3) {
        fill(0, 1);
        fill(4, 207);
        fill(224, 767);
    } else if (fw <= 8) {
        fill(4, 205);
        fill(224, 767);
        static const ByteRow kTpsSites = {242, 228, 214, 200, 186, 172, 158, 144,
                                          129, 115, 101, 87,  73,  59,  45,  31};
        static const ByteRow kRpmSites = {225, 212, 200, 187, 175, 162, 150, 137,
                                          125, 105, 85,  65,  45,  30,  15,  7};
        std::copy(kTpsSites.begin(), kTpsSites.end(),
                  set.Image.begin() + static_cast<long>(img::TpsSites));
        std::copy(kRpmSites.begin(), kRpmSites.end(),
                  set.Image.begin() + static_cast<long>(img::RpmSites));
    }
    fill(img::UnusedTail, kMainAreaSize - 1);
}

}  // namespace zv
