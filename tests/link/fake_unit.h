#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "line/unit_endpoint.h"

namespace zv::test {

// A plain, well-behaved unit for the link's tests: answers every request from two memory areas
// addressed as on the wire. Faults come from the line, so that the tests see exactly the bytes
// a real line would garble.
class FakeUnit : public zv::sim::UnitEndpoint {
  public:
    explicit FakeUnit(int firmware)
        : Firmware(firmware), Area0(256, 0), Area1(1024, 0), Area2(1792, 0) {}

    int Firmware;
    std::string IdentText = std::string(176, 'I');
    std::vector<std::uint8_t> Area0, Area1, Area2;
    std::size_t LiveLength = 28;
    std::uint8_t LiveCounter = 0;  // first byte of each record, counted up per record
    // Every byte of a record carries its number: byte i is the first byte + i, so a record
    // spliced from two shows at once.
    bool NumberedRecords = false;
    std::uint8_t ChecksumReply = 0x06;  // or 0x1B
    std::uint8_t PingReply = 0x06;
    bool EchoWrongData = false;  // echo writes: the data echo never matches
    bool Silent = false;
    std::vector<std::uint8_t> Received;  // every byte that arrived, in order
    std::size_t Stores = 0;
    // A memory cell gone bad: per area-2 address, how many more stores the unit acknowledges
    // without keeping them.
    std::map<std::size_t, int> LoseStores;
    std::map<std::size_t, std::size_t> StoresAt;  // store requests per area-2 address
    // A garbled address the checksum does not show: the n-th store to an area-2 address lands
    // at another one instead.
    struct Landing {
        std::size_t Address = 0;
        std::size_t OnStore = 1;
        std::size_t At = 0;
    };
    std::vector<Landing> Misdirect;
    std::size_t Landings = 0;  // stores that landed elsewhere

    void ReceiveByte(std::uint8_t byte, std::uint64_t nowMs) override;
    bool HasOutput() const override { return !Output.empty(); }
    std::uint8_t TakeOutputByte() override {
        const std::uint8_t b = Output.front();
        Output.pop_front();
        return b;
    }

    std::vector<std::uint8_t>& Area(int area) {
        return area == 0 ? Area0 : area == 1 ? Area1 : Area2;
    }
    std::deque<std::uint8_t> Output;

  private:
    void Send(std::initializer_list<std::uint8_t> bytes) { Output.insert(Output.end(), bytes); }
    void Store(std::uint8_t data);
    int AreaOfCommand(std::uint8_t command) const;

    std::vector<std::uint8_t> Request_;
};

}  // namespace zv::test
