#include "unit/sim_unit.h"

#include <algorithm>

#include "data/firmware_table.h"
#include "unit/live_record.h"

namespace zv::sim {

namespace {

namespace cmd {
constexpr std::uint8_t Ping = 0x16, Ack = 0x06, Nak = 0x15, Ident = 0x02, Live = 0xA0,
                       WriteArea0 = 0xA7, WriteArea1 = 0xA5, EchoWriteArea2 = 0xA2,
                       CsWriteArea2 = 0xA3, ReadArea0 = 0xA8, ReadArea1 = 0xA6, ReadArea2 = 0xA4,
                       BeyondEnd = 0x1B;
}

// From this firmware index on the unit writes with a checksum instead of echoing.
constexpr int kChecksumWriteFirmware = 7;
// From this firmware index on the fuel map lies at 0x100 instead of 0x300.
constexpr int kLowMapFirmware = 9;
constexpr std::size_t kMapSize = 256;
constexpr std::size_t kLowMap = 0x100;
constexpr std::size_t kImageMap = img::FuelMap;  // 0x300

// Read from memory beyond an area's end: the unit's bus reads open.
constexpr std::uint8_t kOpenBus = 0xFF;

// The area image offsets 256..511 and 768..1023 exchange places in units that keep their map
// low, so that loading and taking a snapshot are exact inverses.
void SwapMapBlocks(std::vector<std::uint8_t>& main) {
    std::swap_ranges(main.begin() + kLowMap, main.begin() + kLowMap + kMapSize,
                     main.begin() + kImageMap);
}

}  // namespace

bool CanBeFirmware(int firmware) {
    return firmware >= 1 && firmware <= kFirmwareUnknown;
}

std::uint16_t FuelMapAddress(int firmware) {
    return static_cast<std::uint16_t>(firmware >= kLowMapFirmware ? kLowMap : kImageMap);
}

std::size_t LiveRecordLength(int firmware) {
    if (firmware < 9)
        return 11;
    if (firmware < 24)
        return 18;
    if (firmware < 37)
        return 24;
    return 28;
}

TSimUnit::TSimUnit(const TSimUnitConfig& config)
    : Config_(config),
      IdentText_(BuildIdentText(config)),
      Area0_(kArea0Size, 0),
      Area1_(kArea1Size, 0xFF),
      Area2_(kArea2Size, 0xFF) {
    Engine_.SetEngineStart(config.EngineStartMs);
    Engine_.Cycle().SetDrive(config.Drive);
}

TSimUnit::TSimUnit(const TSimUnitConfig& config, const zv::ImageBytes& image) : TSimUnit(config) {
    LoadImage(image);
}

void TSimUnit::LoadImage(const zv::ImageBytes& image) {
    Area2_.assign(image.begin(), image.begin() + kMainAreaSize);
    Area1_.assign(image.begin() + kAfrAreaStart, image.end());
    if (Config_.Firmware >= kLowMapFirmware)
        SwapMapBlocks(Area2_);
}

zv::ImageBytes TSimUnit::ImageSnapshot() const {
    std::vector<std::uint8_t> main = Area2_;
    if (Config_.Firmware >= kLowMapFirmware)
        SwapMapBlocks(main);
    zv::ImageBytes image{};
    std::copy(main.begin(), main.end(), image.begin());
    std::copy(Area1_.begin(), Area1_.end(), image.begin() + kAfrAreaStart);
    return image;
}

const std::vector<std::uint8_t>& TSimUnit::AreaBytes(int area) const {
    return area == 2 ? Area2_ : area == 1 ? Area1_ : Area0_;
}

std::vector<std::uint8_t>& TSimUnit::Area(int area) {
    return area == 2 ? Area2_ : area == 1 ? Area1_ : Area0_;
}

void TSimUnit::LoadArea(int area, const std::vector<std::uint8_t>& bytes) {
    std::vector<std::uint8_t>& a = Area(area);
    std::copy_n(bytes.begin(), std::min(bytes.size(), a.size()), a.begin());
}

bool TSimUnit::InArea(int area, std::uint16_t address) const {
    return address < AreaBytes(area).size();
}

std::uint8_t TSimUnit::Peek(int area, std::uint16_t address) const {
    return InArea(area, address) ? AreaBytes(area)[address] : kOpenBus;
}

void TSimUnit::Poke(int area, std::uint16_t address, std::uint8_t value) {
    if (InArea(area, address))
        Area(area)[address] = value;
}

std::uint8_t TSimUnit::TakeOutputByte() {
    if (Output_.empty())
        return 0;
    const std::uint8_t b = Output_.front();
    Output_.pop_front();
    return b;
}

void TSimUnit::AnswerNextWith(std::uint8_t wrongByte) {
    WrongFirstByte_ = wrongByte;
}

void TSimUnit::GoSilent(std::uint64_t untilMs) {
    SilentUntilMs_ = untilMs;
}

void TSimUnit::Vanish() {
    Vanished_ = true;
    Output_.clear();
    State_ = RxState::Idle;
}

void TSimUnit::Reappear() {
    Vanished_ = false;
}

std::size_t TSimUnit::RequestCount(std::uint8_t command) const {
    const auto it = Requests_.find(command);
    return it == Requests_.end() ? 0 : it->second;
}

void TSimUnit::ClearCounters() {
    Requests_.clear();
    Writes_.clear();
    Rejected_ = 0;
}

TUnitMemoryView TSimUnit::MemoryView() const {
    return TUnitMemoryView{Area2_.data(), Area1_.data(), Config_.Firmware};
}

std::vector<std::uint8_t> TSimUnit::LiveRecordAt(std::uint64_t nowMs) {
    Engine_.AdvanceTo(nowMs, MemoryView());
    return PackLiveRecord(Engine_.Values(), Config_.Firmware);
}

void TSimUnit::Reply(std::initializer_list<std::uint8_t> bytes) {
    Reply(std::vector<std::uint8_t>(bytes));
}

void TSimUnit::Reply(const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty())
        return;
    auto first = bytes.begin();
    if (WrongFirstByte_) {
        Output_.push_back(*WrongFirstByte_);
        WrongFirstByte_.reset();
        ++first;
    }
    Output_.insert(Output_.end(), first, bytes.end());
}

void TSimUnit::Store(int area, std::uint16_t address, std::uint8_t data, bool checksummed,
                     std::uint64_t nowMs) {
    const bool stored = InArea(area, address) && !RefuseWrites_ && !ForgetWrites_;
    // The loops up to now ran on the memory as it was; the byte counts from the next loop on.
    if (stored)
        Engine_.AdvanceTo(nowMs, MemoryView());
    if (stored)
        Area(area)[address] = data;
    Writes_.push_back(TSimWrite{area, address, data, checksummed, stored, nowMs});
}

void TSimUnit::ReceiveByte(std::uint8_t byte, std::uint64_t nowMs) {
    if (Vanished_)
        return;
    if (nowMs < SilentUntilMs_) {
        State_ = RxState::Idle;
        return;
    }
    // A request whose next byte is late was given up by the PC; this byte starts a new one.
    if (State_ != RxState::Idle && nowMs - LastByteMs_ > Config_.RequestGapMs) {
        State_ = RxState::Idle;
    }
    LastByteMs_ = nowMs;

    const auto address = [this] { return static_cast<std::uint16_t>((AddrHigh_ << 8) | AddrLow_); };
    switch (State_) {
        case RxState::Idle:
            StartRequest(byte, nowMs);
            break;

        case RxState::ReadAddrHigh:
            AddrHigh_ = byte;
            State_ = RxState::ReadAddrLow;
            break;
        case RxState::ReadAddrLow:
            AddrLow_ = byte;
            State_ = RxState::ReadCheck;
            break;
        case RxState::ReadCheck: {
            State_ = RxState::Idle;
            if (byte != (AddrHigh_ ^ AddrLow_)) {
                // A garbled request is refused outright rather than answered from a wrong place.
                ++Rejected_;
                Reply({cmd::Nak});
                break;
            }
            std::vector<std::uint8_t> reply{cmd::Ack};
            std::uint8_t sum = 0;
            for (unsigned i = 0; i < 16; ++i) {
                const std::uint8_t b = Peek(ReqArea_, static_cast<std::uint16_t>(address() + i));
                reply.push_back(b);
                sum = static_cast<std::uint8_t>(sum ^ b);
            }
            reply.push_back(sum);
            Reply(reply);
            break;
        }

        case RxState::EchoAddrHigh:
            AddrHigh_ = byte;
            Reply({byte});
            State_ = RxState::EchoAddrLow;
            break;
        case RxState::EchoAddrLow:
            AddrLow_ = byte;
            Reply({byte});
            State_ = RxState::EchoData;
            break;
        case RxState::EchoData:
            Data_ = byte;
            Reply({byte});
            State_ = RxState::EchoConfirm;
            break;
        case RxState::EchoConfirm:
            State_ = RxState::Idle;
            if (byte == cmd::Ack) {
                // Stored, then read back: a byte the memory could not take reads differently.
                Store(ReqArea_, address(), Data_, false, nowMs);
                Reply({Peek(ReqArea_, address()), cmd::Ack});
            } else if (byte == cmd::Nak) {
                ++Rejected_;  // the PC refused the echo: nothing is written
            } else {
                StartRequest(byte, nowMs);
            }
            break;

        case RxState::CsAddrHigh:
            AddrHigh_ = byte;
            State_ = RxState::CsAddrLow;
            break;
        case RxState::CsAddrLow:
            AddrLow_ = byte;
            State_ = RxState::CsData;
            break;
        case RxState::CsData:
            Data_ = byte;
            State_ = RxState::CsCheck;
            break;
        case RxState::CsCheck:
            State_ = RxState::Idle;
            if (byte != (AddrHigh_ ^ AddrLow_ ^ Data_)) {
                ++Rejected_;
                Reply({cmd::Nak});
            } else if (!InArea(ReqArea_, address())) {
                Store(ReqArea_, address(), Data_, true, nowMs);
                Reply({cmd::BeyondEnd});
            } else if (RefuseWrites_) {
                Store(ReqArea_, address(), Data_, true, nowMs);
                Reply({cmd::Nak});
            } else {
                Store(ReqArea_, address(), Data_, true, nowMs);
                Reply({cmd::Ack});
            }
            break;
    }
}

void TSimUnit::StartRequest(std::uint8_t byte, std::uint64_t nowMs) {
    ++Requests_[byte];
    const bool checksummed = Config_.Firmware >= kChecksumWriteFirmware;
    const auto startWrite = [&](int area) {
        ReqArea_ = area;
        State_ = checksummed ? RxState::CsAddrHigh : RxState::EchoAddrHigh;
    };
    const auto startRead = [&](int area) {
        ReqArea_ = area;
        State_ = RxState::ReadAddrHigh;
    };
    switch (byte) {
        case cmd::Ping:
            Reply({cmd::Ack});
            break;
        case cmd::Ident:
            Reply(std::vector<std::uint8_t>(IdentText_.begin(), IdentText_.end()));
            break;
        case cmd::Live:
            Reply(LiveRecordAt(nowMs));
            break;
        case cmd::ReadArea0:
            startRead(0);
            break;
        case cmd::ReadArea1:
            startRead(1);
            break;
        case cmd::ReadArea2:
            startRead(2);
            break;
        case cmd::WriteArea0:
            startWrite(0);
            break;
        case cmd::WriteArea1:
            startWrite(1);
            break;
        case cmd::EchoWriteArea2:
            if (!checksummed)
                startWrite(2);
            break;
        case cmd::CsWriteArea2:
            if (checksummed)
                startWrite(2);
            break;
        default:
            // 0x06, 0x15 and the 0x04 after a silent write need no answer; anything else is
            // not a command of this unit.
            break;
    }
}

}  // namespace zv::sim
