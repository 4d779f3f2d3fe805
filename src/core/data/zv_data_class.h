#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace zv {

// The unit's memory image: main area (unit area 2) followed by the AFR area (unit area 1).
constexpr std::size_t kMainAreaSize = 1792;
constexpr std::size_t kAfrAreaSize = 1024;
constexpr std::size_t kAfrAreaStart = kMainAreaSize;
constexpr std::size_t kImageSize = kMainAreaSize + kAfrAreaSize;

// Places in the main area.
namespace img {
constexpr std::size_t PulseWord = 0;
constexpr std::size_t FlagsWord = 4;
constexpr std::size_t TpsScale = 144;
constexpr std::size_t FotoControl = 160;
constexpr std::size_t TempControl = 176;
constexpr std::size_t GeneralPurposeControl = 192;
constexpr std::size_t IdleControl = 208;
constexpr std::size_t TpsSites = 224;
constexpr std::size_t RpmSites = 240;
constexpr std::size_t FuelMap = 768;
constexpr std::size_t UnusedTail = 1024;
// The AFR target map within the AFR area.
constexpr std::size_t AfrMapInArea = 512;
constexpr std::size_t AfrMap = kAfrAreaStart + AfrMapInArea;
}  // namespace img

constexpr int kLinRowCount = 7;

// Linearisation rows, in the order of Lin and of the data file's [Zevrin Lin].
namespace lin {
enum : int {
    TpsScale = 0,
    FotoControl,
    GeneralPurposeControl,
    TempControl,
    IdleControl,
    TpsSites,
    RpmSites
};
}

const char* LinRowName(int row);
// Image offset of a Lin row (note: TempControl lies before GeneralPurposeControl in the image).
std::size_t LinRowOffset(int row);

// Image offset of fuel map cell (t, r), t the throttle and r the engine-speed site index (0 =
// lowest): the map is stored throttle-major with both indices reversed.
std::size_t FuelMapOffset(int t, int r);

using ByteRow = std::array<std::uint8_t, 16>;
using ByteGrid = std::array<ByteRow, 16>;
using ImageBytes = std::array<std::uint8_t, kImageSize>;

// Identification of a unit as read by the online mode.
struct TIdent {
    std::string Text;  // identification text as received (up to 176 characters)
    std::uint8_t DeviceType = 0;
    std::string SerialNo;      // at most 20 characters
    std::string FirmwareCode;  // at most 4 characters; empty when the unit reported none
    std::string VersionCode;   // at most 6 characters

    bool operator==(const TIdent&) const = default;
};

// One data set of the unit; always copied as a whole.
struct TZVDataSet {
    TIdent Ident;
    std::uint8_t Firmware = 0;
    ImageBytes Image{};
    std::uint16_t Pulse = 0;
    std::uint8_t DeviceValid = 0;
    std::uint8_t ChangedOffline = 0;
    std::uint8_t DispAfrAt0V = 0;
    std::uint8_t DispAfrAt5V = 0;

    std::uint16_t FlagsWord() const;
    void SetFlagsWord(std::uint16_t flags);
};

// The unit's generation fixes the live record's length and byte order.
enum class TLiveLayout : std::uint8_t { Live11, Live18, Live24, Live28 };

// Firmware up to 8: 11 bytes; 9..23: 18; 24..36: 24; 37 and more: 28.
TLiveLayout LiveLayoutOfFirmware(int firmware);
std::size_t LiveLayoutLength(TLiveLayout layout);

// The last live record of each layout.
struct TLiveRecords {
    std::array<std::uint8_t, 11> Live11{};
    std::array<std::uint8_t, 18> Live18{};
    std::array<std::uint8_t, 24> Live24{};
    std::array<std::uint8_t, 28> Live28{};

    std::span<std::uint8_t> Buffer(TLiveLayout layout);
    std::span<const std::uint8_t> Buffer(TLiveLayout layout) const;
};

// Everything the program knows about one data set: the edit fields in PC form and three
// copies of the unit's image (from the file, the working one, and the one an upload lands in).
class TZVDataClass {
  public:
    TZVDataClass();

    std::string FileName;
    std::vector<std::string> Comment;
    ByteGrid Map{};                         // Map[t][r], t throttle index, r engine-speed index
    std::array<std::int32_t, 44> Detail{};  // the parameter table's values
    std::array<ByteRow, kLinRowCount> Lin{};
    ByteGrid AfrMap{};  // value b means AFR (b + 105) / 10
    TZVDataSet FileData;
    std::uint8_t Loaded = 0;
    TZVDataSet DeviceData;
    std::uint8_t InputESelect = 0;  // 0 none, 1 narrowband lambda, 2 wideband lambda
    std::uint8_t InputFSelect = 0;
    TZVDataSet ReceiveData;
    TLiveRecords LiveRecords;
    // The unit a data file names in its SerialNo and Firmware lines ("" and 40 where it names
    // none): Open sets the image's firmware aside, but a log must still be matched to its unit.
    std::string FileSerialNo;
    int FileUnitFirmware = 40;

    // Edit fields into FileData.Image (the Pulse word also into DeviceData.Image).
    void FieldsToImage();
    // DeviceData.Image over FileData.Image, then the edit fields from it.
    void ImageToFields();
    // The data file text, one entry per line.
    void SaveToStrings(std::vector<std::string>& lines) const;

    std::uint16_t PulseFromDataSet(const TZVDataSet& set) const;
    std::uint16_t PulseToRaw(std::uint16_t pulse) const;
    // True when the main areas of the file image and the working image are equal.
    bool SameAsDevice() const;
    static void ClearUnusedAreas(TZVDataSet& set);

    // Copies the file image (both areas) over the working image.
    void FileImageToDevice() { DeviceData.Image = FileData.Image; }

    static void SetFlag(std::uint16_t& flags, int n) {
        flags = static_cast<std::uint16_t>(flags | (1u << n));
    }
    static void ClearFlag(std::uint16_t& flags, int n) {
        flags = static_cast<std::uint16_t>(flags & ~(1u << n));
    }
    static bool TestFlag(std::uint16_t flags, int n) { return ((flags >> n) & 1u) != 0; }
    static bool TestBit(std::uint8_t byte, int n) { return ((byte >> n) & 1u) != 0; }
};

// The 16-bit timing word: decode a stored word and encode a value for a firmware index.
std::uint16_t DecodePulse(std::uint16_t word, int firmware);
std::uint16_t EncodePulse(std::uint16_t pulse, int firmware);
// A word of one firmware's encoding as the same Pulse in another's; a word whose encoding the
// two share stays exactly as it is.
std::uint16_t RecodePulse(std::uint16_t word, int fromFirmware, int toFirmware);

// The AFR map's packing into the image: 64..127 becomes 127, 128 and more 255 (no target).
std::uint8_t PackAfrCell(std::uint8_t value);

// What a parameter's value becomes on its way into the image and back: the low byte of a byte
// parameter, 0 or 1 for a flag; other parameters keep their value.
std::int32_t ParameterValueViaImage(int index, std::int32_t value);

}  // namespace zv
