#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "data/default_data.h"
#include "data/zv_data_class.h"
#include "unit/sim_unit.h"

namespace zv::sim::test {

// The image of a new data set (its defaults) encoded for a firmware index, with the
// flags word replaced.
inline ImageBytes DefaultImage(int firmware, std::uint16_t flags = 0x0061) {
    TZVDataClass data;
    data.DeviceData.Firmware = static_cast<std::uint8_t>(firmware);
    ApplyDefaultFields(data);
    data.FieldsToImage();
    ImageBytes image = data.FileData.Image;
    image[img::FlagsWord] = static_cast<std::uint8_t>(flags & 0xFF);
    image[img::FlagsWord + 1] = static_cast<std::uint8_t>(flags >> 8);
    return image;
}

inline TSimUnitConfig Config(int type, int firmware, bool versionCode = true) {
    TSimUnitConfig c;
    c.DeviceType = type;
    c.Firmware = firmware;
    c.ReportVersionCode = versionCode;
    return c;
}

// The PC side of the line, reduced to what these tests need: bytes arrive at the unit 1 ms
// apart on a virtual clock, and whatever the unit decided to send is collected.
class TWire {
  public:
    explicit TWire(TSimUnit& unit, std::uint64_t startMs = 0) : NowMs(startMs), Unit_(unit) {}

    std::vector<std::uint8_t> Send(std::initializer_list<std::uint8_t> bytes) {
        for (std::uint8_t b : bytes) {
            Unit_.ReceiveByte(b, NowMs);
            NowMs += 1;
        }
        return Drain();
    }
    std::vector<std::uint8_t> Send(std::uint8_t b) { return Send({b}); }

    std::vector<std::uint8_t> Drain() {
        std::vector<std::uint8_t> out;
        while (Unit_.HasOutput())
            out.push_back(Unit_.TakeOutputByte());
        return out;
    }

    void Wait(std::uint64_t ms) { NowMs += ms; }

    std::vector<std::uint8_t> ReadBlock(std::uint8_t command, std::uint16_t address) {
        const auto hi = static_cast<std::uint8_t>(address >> 8);
        const auto lo = static_cast<std::uint8_t>(address & 0xFF);
        return Send({command, hi, lo, static_cast<std::uint8_t>(hi ^ lo)});
    }

    std::vector<std::uint8_t> ChecksumWrite(std::uint8_t command, std::uint16_t address,
                                            std::uint8_t data) {
        const auto hi = static_cast<std::uint8_t>(address >> 8);
        const auto lo = static_cast<std::uint8_t>(address & 0xFF);
        return Send({command, hi, lo, data, static_cast<std::uint8_t>(hi ^ lo ^ data)});
    }

    // The live record at the current time.
    std::vector<std::uint8_t> Live() { return Send(0xA0); }

    std::uint64_t NowMs;

  private:
    TSimUnit& Unit_;
};

// Engine speed in rpm whose raw byte (rpm x 255 / 10000, cut) is exactly raw.
inline int RpmFor(int raw) {
    return (raw * 10000 + 254) / 255;
}

// Virtual time by which the coolant is at temperature and every startup is over.
constexpr std::uint64_t kWarm = 300000;

// A unit with a data set, asked for its live record at chosen virtual times. Times only go
// forward: a unit answers for its present.
struct TBench {
    TBench(const TSimUnitConfig& config, const ImageBytes& image) : Unit(config), Wire(Unit) {
        Unit.LoadImage(image);
    }
    std::vector<std::uint8_t> At(std::uint64_t ms) {
        Wire.NowMs = ms;
        return Wire.Live();
    }

    TSimUnit Unit;
    TWire Wire;
};

}  // namespace zv::sim::test
