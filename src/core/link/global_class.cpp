#include "link/global_class.h"

#include <initializer_list>

#include "text/text_table.h"
#include "data/firmware_table.h"

namespace zv {

namespace {

const char* const kVersionCodes[TGlobalClass::kVersionCodeCount] = {
    "***",    "A01.00", "A01.01", "A01.02", "A01.04", "A01.05", "A02.00", "A02.01", "A02.02",
    "B01.00", "B01.01", "B01.04", "B01.10", "B01.11", "B01.12", "B01.13", "B01.14", "B01.15",
    "B01.16", "B01.17", "B01.18", "B01.19", "B01.20", "B02.00", "C00.00", "C00.15", "C00.18",
    "C01.00", "C01.01", "C01.02", "C01.03", "C01.04", "C01.05", "C01.06", "C01.07", "C01.08",
    "C02.00", "D00.00", "D01.00", "D00.00", "---",
};

const TGlobalClass::SerialRange kSerialRanges[4] = {{0, 24}, {0, 419}, {420, 701}, {702, 712}};

// A table being filled: entries are addressed by serial number, not by position.
class TableBuilder {
  public:
    TableBuilder(std::vector<std::uint8_t>& table, TGlobalClass::SerialRange range, int fill)
        : Table_(table), First_(range.First) {
        Table_.assign(static_cast<std::size_t>(range.Last - range.First + 1),
                      static_cast<std::uint8_t>(fill));
    }
    TableBuilder& Span(long from, long to, int firmware) {
        for (long n = from; n <= to; ++n)
            At(n) = static_cast<std::uint8_t>(firmware);
        return *this;
    }
    TableBuilder& Each(int firmware, std::initializer_list<long> serials) {
        for (long n : serials)
            At(n) = static_cast<std::uint8_t>(firmware);
        return *this;
    }

  private:
    std::uint8_t& At(long n) { return Table_[static_cast<std::size_t>(n - First_)]; }
    std::vector<std::uint8_t>& Table_;
    long First_;
};

}  // namespace

TGlobalClass::TGlobalClass() {
    TableBuilder(SerialTables_[0], kSerialRanges[0], 2)
        .Span(0, 0, 2)
        .Span(1, 1, 7)
        .Span(2, 4, 2)
        .Span(5, 5, 7)
        .Span(6, 10, 2)
        .Span(11, 12, 7)
        .Span(13, 13, 4)
        .Span(14, 14, 6)
        .Span(15, 15, 7)
        .Span(16, 24, 8);

    TableBuilder(SerialTables_[1], kSerialRanges[1], 20)
        .Each(12, {3})
        .Each(13, {4})
        .Each(14, {5})
        .Each(16, {38, 39})
        .Each(17, {6})
        .Each(18, {1,  2,  8,  9,  10, 11, 12, 13, 14, 16, 28, 29,
                   30, 31, 32, 33, 35, 36, 40, 41, 43, 47, 48})
        .Each(19, {7, 25, 26, 27, 50, 51, 53, 55})
        .Each(21, {136, 404, 410})
        .Each(22, {15, 217})
        .Each(28, {0, 147, 333})
        .Each(30, {42,  64,  68,  82,  92,  111, 126, 128, 133, 151, 172, 175, 187,
                   190, 203, 206, 228, 229, 238, 267, 271, 286, 298, 320, 322, 323,
                   340, 344, 352, 355, 366, 368, 380, 385, 388, 408, 417, 419})
        .Each(31, {17,  21,  34,  44,  49,  52,  54,  77,  84,  101, 142, 157,
                   174, 186, 202, 204, 209, 219, 227, 252, 257, 270, 272, 290,
                   291, 292, 307, 311, 312, 336, 346, 348, 349, 373, 386, 415})
        .Each(32, {45, 46, 125, 230, 256, 300, 365})
        .Each(34, {163, 278, 283});

    TableBuilder(SerialTables_[2], kSerialRanges[2], 40)
        .Span(420, 421, 30)
        .Span(422, 422, 25)
        .Span(423, 423, 32)
        .Span(424, 424, 26)
        .Span(425, 425, 31)
        .Span(426, 430, 27)
        .Span(431, 436, 28)
        .Span(437, 438, 30)
        .Span(439, 446, 28)
        .Span(447, 447, 30)
        .Span(448, 448, 28)
        .Span(449, 483, 30)
        .Span(484, 484, 32)
        .Span(485, 497, 30)
        .Span(498, 507, 31)
        .Span(508, 508, 30)
        .Span(509, 585, 31)
        .Span(586, 586, 32)
        .Span(587, 639, 31)
        .Span(640, 699, 32)
        .Span(700, 701, 33);

    TableBuilder(SerialTables_[3], kSerialRanges[3], 40).Span(702, 703, 37).Span(704, 712, 38);
}

const char* TGlobalClass::DeviceTypeName(int type) {
    return zv::DeviceTypeName(type);
}

const char* TGlobalClass::VersionCode(int firmware) {
    if (firmware < 0 || firmware >= kVersionCodeCount)
        return kVersionCodes[kFirmwareUnknown];
    return kVersionCodes[firmware];
}

int TGlobalClass::DeviceTypeOf(std::string_view text) {
    for (int type = kFirstSupportedType; type <= kUnknownType; ++type) {
        if (text.find(zv::DeviceTypeName(type)) != std::string_view::npos)
            return type;
    }
    return kUnknownType;
}

int TGlobalClass::FirmwareFromCode(std::string_view code) {
    for (int i = 0; i < kVersionCodeCount; ++i) {
        if (code == kVersionCodes[i])
            return i;
    }
    return kFirmwareUnknown;
}

TGlobalClass::SerialRange TGlobalClass::SerialRangeOf(int type) {
    if (type < kFirstSupportedType || type > kLastSupportedType)
        return {};
    return kSerialRanges[type - kFirstSupportedType];
}

int TGlobalClass::FirmwareFromSerial(int type, long n) const {
    if (type < kFirstSupportedType || type > kLastSupportedType)
        return 0;
    const SerialRange range = kSerialRanges[type - kFirstSupportedType];
    if (n < range.First || n > range.Last)
        return kFirmwareUnknown;
    return SerialTables_[static_cast<std::size_t>(type - kFirstSupportedType)]
                        [static_cast<std::size_t>(n - range.First)];
}

}  // namespace zv
