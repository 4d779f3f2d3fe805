#include "link/fake_unit.h"

namespace zv::test {

int FakeUnit::AreaOfCommand(std::uint8_t command) const {
    switch (command) {
        case 0xA8:
        case 0xA7:
            return 0;
        case 0xA6:
        case 0xA5:
            return 1;
        default:
            return 2;
    }
}

void FakeUnit::Store(std::uint8_t data) {
    const int area = AreaOfCommand(Request_[0]);
    std::size_t address = static_cast<std::size_t>(Request_[1]) << 8 | Request_[2];
    ++Stores;
    if (area == 2) {
        const std::size_t nth = ++StoresAt[address];
        if (LoseStores[address] > 0) {
            --LoseStores[address];
            return;
        }
        for (const Landing& landing : Misdirect) {
            if (landing.Address == address && landing.OnStore == nth) {
                address = landing.At;
                ++Landings;
                break;
            }
        }
    }
    if (address < Area(area).size())
        Area(area)[address] = data;
}

void FakeUnit::ReceiveByte(std::uint8_t byte, std::uint64_t) {
    Received.push_back(byte);
    if (Silent)
        return;
    Request_.push_back(byte);
    const std::uint8_t command = Request_[0];
    const std::size_t n = Request_.size();
    const bool echoWrites = Firmware <= 6;
    switch (command) {
        case 0x16:
            Send({PingReply});
            break;
        case 0x02:
            for (char c : IdentText)
                Output.push_back(static_cast<std::uint8_t>(c));
            break;
        case 0xA0: {
            const std::uint8_t number = LiveCounter++;
            Output.push_back(number);
            for (std::size_t i = 1; i < LiveLength; ++i)
                Output.push_back(static_cast<std::uint8_t>(NumberedRecords ? number + i : i));
            break;
        }
        case 0xA4:
        case 0xA6:
        case 0xA8: {
            if (n < 4)
                return;
            const std::size_t address = static_cast<std::size_t>(Request_[1]) << 8 | Request_[2];
            if ((Request_[1] ^ Request_[2]) == Request_[3]) {
                Output.push_back(0x06);
                std::uint8_t sum = 0;
                const auto& mem = Area(AreaOfCommand(command));
                for (std::size_t i = 0; i < 16; ++i) {
                    const std::uint8_t b = address + i < mem.size() ? mem[address + i] : 0xFF;
                    sum = static_cast<std::uint8_t>(sum ^ b);
                    Output.push_back(b);
                }
                Output.push_back(sum);
            }
            break;
        }
        case 0xA2:
        case 0xA3:
        case 0xA5:
        case 0xA7:
            if (echoWrites) {
                if (command == 0xA3)
                    break;
                if (n == 1)
                    return;
                if (n == 2 || n == 3) {
                    Send({byte});  // echo address high, address low
                    return;
                }
                if (n == 4) {
                    Send({static_cast<std::uint8_t>(EchoWrongData ? byte ^ 0xFF : byte)});
                    return;
                }
                if (byte == 0x06) {
                    Store(Request_[3]);
                    Send({Request_[3], 0x06});
                    break;
                }
                // Not confirmed: the byte opens the next request.
                Request_.clear();
                ReceiveByte(byte, 0);
                Received.pop_back();
                return;
            }
            if (command == 0xA2)
                break;
            if (n < 5)
                return;
            if ((Request_[1] ^ Request_[2] ^ Request_[3]) == Request_[4]) {
                Store(Request_[3]);
                Send({ChecksumReply});
            }
            break;
        default:
            break;  // 0x04, 0x15, stray bytes: nothing to answer
    }
    Request_.clear();
}

}  // namespace zv::test
