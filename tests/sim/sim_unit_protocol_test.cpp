#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "sim_test_support.h"

namespace zv::sim {
namespace {

using test::Config;
using test::DefaultImage;
using test::TWire;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kAck = 0x06, kNak = 0x15, kPing = 0x16;

Bytes BlockReply(const ImageBytes& image, std::size_t offset) {
    Bytes reply{kAck};
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < 16; ++i) {
        reply.push_back(image[offset + i]);
        sum = static_cast<std::uint8_t>(sum ^ image[offset + i]);
    }
    reply.push_back(sum);
    return reply;
}

// A unit of the firmware holding the default data set, the image with the fuel map marked so
// that a block from the wrong place cannot pass for it.
struct Loaded {
    explicit Loaded(int firmware)
        : Image(DefaultImage(firmware)), Unit(Config(3, firmware)), Wire(Unit) {
        for (std::size_t i = 256; i < 512; ++i)
            Image[i] = static_cast<std::uint8_t>(i * 7);
        Unit.LoadImage(Image);
    }
    ImageBytes Image;
    TSimUnit Unit;
    TWire Wire;
};

TEST(SimUnitProtocol, PingIdentificationAndLiveRequestLengths) {
    Loaded u(30);
    EXPECT_EQ(u.Wire.Send(kPing), Bytes{kAck});
    EXPECT_EQ(u.Wire.Send(0x02).size(), 176u);
    for (auto [fw, length] : {std::pair{0, 11u},
                              {8, 11u},
                              {9, 18u},
                              {23, 18u},
                              {24, 24u},
                              {36, 24u},
                              {37, 28u},
                              {40, 28u}}) {
        TSimUnit unit(Config(3, fw));
        unit.LoadImage(DefaultImage(fw));
        TWire wire(unit, 5000);
        EXPECT_EQ(wire.Live().size(), length) << "firmware " << fw;
        EXPECT_EQ(LiveRecordLength(fw), length);
    }
    EXPECT_EQ(u.Unit.RequestCount(kPing), 1u);
    EXPECT_EQ(u.Unit.RequestCount(0x02), 1u);
}

TEST(SimUnitProtocol, BlockReadsOfBothAreas) {
    Loaded u(30);
    // The link opens every block read with a ping.
    EXPECT_EQ(u.Wire.Send(kPing), Bytes{kAck});
    EXPECT_EQ(u.Wire.ReadBlock(0xA4, 0x0000), BlockReply(u.Image, 0));
    EXPECT_EQ(u.Wire.ReadBlock(0xA4, 0x00F0), BlockReply(u.Image, 0xF0));
    EXPECT_EQ(u.Wire.ReadBlock(0xA6, 0x0200), BlockReply(u.Image, kAfrAreaStart + 0x200));
    EXPECT_EQ(u.Wire.ReadBlock(0xA6, 0x02F0), BlockReply(u.Image, kAfrAreaStart + 0x2F0));
}

TEST(SimUnitProtocol, FuelMapAddressByFirmware) {
    for (int fw : {8, 9, 30}) {
        Loaded u(fw);
        const std::uint16_t map = fw >= 9 ? 0x100 : 0x300;
        EXPECT_EQ(FuelMapAddress(fw), map);
        for (std::uint16_t block = 0; block < 16; ++block) {
            EXPECT_EQ(u.Wire.ReadBlock(0xA4, static_cast<std::uint16_t>(map + 16 * block)),
                      BlockReply(u.Image, img::FuelMap + 16u * block))
                << "firmware " << fw << " block " << block;
        }
        // Nothing is lost where the map moved from: the snapshot is the image that was loaded.
        EXPECT_EQ(u.Unit.ImageSnapshot(), u.Image);
    }
}

TEST(SimUnitProtocol, ReadsAndRequestChecksumsAtTheEdges) {
    Loaded u(30);
    // Beyond the end of the AFR area the bus reads open; the reply is still well formed.
    Bytes expected{kAck};
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < 16; ++i) {
        const std::uint8_t b = i < 8 ? u.Image[kAfrAreaStart + 0x3F8 + i] : 0xFF;
        expected.push_back(b);
        sum = static_cast<std::uint8_t>(sum ^ b);
    }
    expected.push_back(sum);
    EXPECT_EQ(u.Wire.ReadBlock(0xA6, 0x03F8), expected);

    // A request with a wrong checksum is refused and does not leave the unit out of step.
    EXPECT_EQ(u.Wire.Send({0xA4, 0x01, 0x00, 0x00}), Bytes{kNak});
    EXPECT_EQ(u.Unit.RejectedRequests(), 1u);
    EXPECT_EQ(u.Wire.ReadBlock(0xA4, 0x0100), BlockReply(u.Image, img::FuelMap));

    // Area 0 exists but holds nothing of the data set.
    const Bytes area0 = u.Wire.ReadBlock(0xA8, 0x0000);
    ASSERT_EQ(area0.size(), 18u);
    EXPECT_EQ(area0[0], kAck);
}

TEST(SimUnitProtocol, ChecksummedWriteDialogue) {
    Loaded u(30);
    // Area 2, address 0x0104, data 0x5A: checksum 0x5F.
    EXPECT_EQ(u.Wire.Send({0xA3, 0x01, 0x04, 0x5A, 0x5F}), Bytes{kAck});
    EXPECT_EQ(u.Unit.Peek(2, 0x0104), 0x5A);
    ImageBytes expected = u.Image;
    expected[img::FuelMap + 4] = 0x5A;
    EXPECT_EQ(u.Unit.ImageSnapshot(), expected);
    ASSERT_EQ(u.Unit.WriteLog().size(), 1u);
    const TSimWrite& w = u.Unit.WriteLog()[0];
    EXPECT_EQ(w.Area, 2);
    EXPECT_EQ(w.Address, 0x0104);
    EXPECT_EQ(w.Data, 0x5A);
    EXPECT_TRUE(w.Checksummed);
    EXPECT_TRUE(w.Stored);

    // AFR area.
    EXPECT_EQ(u.Wire.ChecksumWrite(0xA5, 0x0200, 0x2A), Bytes{kAck});
    EXPECT_EQ(u.Unit.ImageSnapshot()[kAfrAreaStart + 0x200], 0x2A);
}

TEST(SimUnitProtocol, ChecksummedWriteRejections) {
    Loaded u(30);
    const ImageBytes before = u.Unit.ImageSnapshot();
    // Wrong checksum: refused, nothing written.
    EXPECT_EQ(u.Wire.Send({0xA3, 0x01, 0x04, 0x5A, 0x5E}), Bytes{kNak});
    EXPECT_EQ(u.Unit.ImageSnapshot(), before);
    EXPECT_TRUE(u.Unit.WriteLog().empty());
    // Beyond the end of the area: answered 0x1B, which the link takes like 0x06.
    EXPECT_EQ(u.Wire.ChecksumWrite(0xA5, 0x0400, 0x11), Bytes{0x1B});
    EXPECT_EQ(u.Unit.ImageSnapshot(), before);
    ASSERT_EQ(u.Unit.WriteLog().size(), 1u);
    EXPECT_FALSE(u.Unit.WriteLog()[0].Stored);
    // The echo command of the older units means nothing here.
    EXPECT_TRUE(u.Wire.Send({0xA2, 0x01, 0x04, 0x5A}).empty());
    EXPECT_EQ(u.Unit.ImageSnapshot(), before);
    // The link's three 0x04 after a silent write are taken without answer.
    const std::size_t eots = u.Unit.RequestCount(0x04);
    EXPECT_TRUE(u.Wire.Send({0x04, 0x04, 0x04}).empty());
    EXPECT_EQ(u.Unit.RequestCount(0x04), eots + 3);
    EXPECT_EQ(u.Wire.Send(kPing), Bytes{kAck});
}

TEST(SimUnitProtocol, EchoWriteDialogue) {
    Loaded u(6);
    EXPECT_EQ(u.Wire.Send({0xA2, 0x03}), Bytes{0x03});  // addrHigh echoed, not the command
    EXPECT_EQ(u.Wire.Send(0x05), Bytes{0x05});
    EXPECT_EQ(u.Wire.Send(0x77), Bytes{0x77});
    EXPECT_EQ(u.Unit.Peek(2, 0x0305), u.Image[img::FuelMap + 5]);  // not before the confirmation
    EXPECT_EQ(u.Wire.Send(kAck), (Bytes{0x77, kAck}));
    EXPECT_EQ(u.Unit.Peek(2, 0x0305), 0x77);
    EXPECT_EQ(u.Unit.ImageSnapshot()[img::FuelMap + 5], 0x77);
    ASSERT_EQ(u.Unit.WriteLog().size(), 1u);
    EXPECT_FALSE(u.Unit.WriteLog()[0].Checksummed);

    // Area 1 with its own command.
    EXPECT_EQ(u.Wire.Send({0xA5, 0x02, 0x10, 0x33, kAck}), (Bytes{0x02, 0x10, 0x33, 0x33, kAck}));
    EXPECT_EQ(u.Unit.Peek(1, 0x0210), 0x33);
    // The checksummed command means nothing to this unit.
    EXPECT_TRUE(u.Wire.Send({0xA3, 0x01, 0x04, 0x5A, 0x5F}).empty());
}

TEST(SimUnitProtocol, EchoWriteRejectedByThePc) {
    Loaded u(6);
    const ImageBytes before = u.Unit.ImageSnapshot();
    EXPECT_EQ(u.Wire.Send({0xA2, 0x00, 0x02, 0x40}), (Bytes{0x00, 0x02, 0x40}));
    // The PC saw a wrong echo: 0x15 drops the byte, the following 0x16 is answered as a ping,
    // and that answer lets the PC start the byte again.
    EXPECT_EQ(u.Wire.Send({kNak, kPing}), Bytes{kAck});
    EXPECT_EQ(u.Unit.ImageSnapshot(), before);
    EXPECT_TRUE(u.Unit.WriteLog().empty());
    EXPECT_EQ(u.Wire.Send({0xA2, 0x00, 0x02, 0x40, kAck}), (Bytes{0x00, 0x02, 0x40, 0x40, kAck}));
    EXPECT_EQ(u.Unit.Peek(2, 0x0002), 0x40);
}

TEST(SimUnitProtocol, EchoWriteBeyondTheAreaReadsBackOpen) {
    Loaded u(6);
    // Area 2 ends at 0x6FF: the byte cannot be kept, and the read-back shows it.
    EXPECT_EQ(u.Wire.Send({0xA2, 0x07, 0x00, 0x12, kAck}), (Bytes{0x07, 0x00, 0x12, 0xFF, kAck}));
    ASSERT_EQ(u.Unit.WriteLog().size(), 1u);
    EXPECT_FALSE(u.Unit.WriteLog()[0].Stored);
}

TEST(SimUnitProtocol, LateByteAbandonsARequest) {
    Loaded u(6);
    EXPECT_EQ(u.Wire.Send({0xA2, 0x00}), Bytes{0x00});
    // The PC's echo timer ran out (30 ms) and it starts the byte again: the unit must take the
    // new command as a command, not as the address low byte of the old one.
    u.Wire.Wait(30);
    EXPECT_EQ(u.Wire.Send({0xA2, 0x00, 0x03, 0x21, kAck}), (Bytes{0x00, 0x03, 0x21, 0x21, kAck}));
    EXPECT_EQ(u.Unit.Peek(2, 0x0003), 0x21);
    ASSERT_EQ(u.Unit.WriteLog().size(), 1u);

    // A confirmation that comes too late writes nothing.
    EXPECT_EQ(u.Wire.Send({0xA2, 0x00, 0x06, 0x99}), (Bytes{0x00, 0x06, 0x99}));
    u.Wire.Wait(40);
    EXPECT_TRUE(u.Wire.Send(kAck).empty());
    EXPECT_NE(u.Unit.Peek(2, 0x0006), 0x99);

    // Within the gap the request goes on.
    Loaded c(30);
    c.Wire.Send({0xA3, 0x01});
    c.Wire.Wait(20);
    EXPECT_EQ(c.Wire.Send({0x04, 0x5A, 0x5F}), Bytes{kAck});
}

// --- Faults ---------------------------------------------------------------------------------

TEST(SimUnitFaults, AnswerNextWithReplacesOnlyTheFirstByteOfOneReply) {
    Loaded u(30);
    u.Unit.AnswerNextWith(0x15);
    EXPECT_EQ(u.Wire.Send(kPing), Bytes{0x15});
    EXPECT_EQ(u.Wire.Send(kPing), Bytes{kAck});

    u.Unit.AnswerNextWith(0x00);
    Bytes reply = u.Wire.ReadBlock(0xA4, 0x0000);
    Bytes expected = BlockReply(u.Image, 0);
    expected[0] = 0x00;
    EXPECT_EQ(reply, expected);

    // An echo: the wrong echo of addrHigh is the whole reply.
    Loaded e(6);
    e.Unit.AnswerNextWith(0x7E);
    EXPECT_EQ(e.Wire.Send({0xA2, 0x01}), Bytes{0x7E});
    EXPECT_EQ(e.Wire.Send(0x02), Bytes{0x02});
}

TEST(SimUnitFaults, SilenceIgnoresRequestsUntilItsEnd) {
    Loaded u(30);
    u.Unit.GoSilent(100);
    EXPECT_TRUE(u.Wire.Send(kPing).empty());
    EXPECT_TRUE(u.Wire.Send(0xA0).empty());
    // A request begun in the silence does not finish after it.
    u.Wire.Send({0xA4, 0x01});
    u.Wire.NowMs = 100;
    EXPECT_TRUE(u.Wire.Send({0x00, 0x01}).empty());
    EXPECT_EQ(u.Wire.Send(kPing), Bytes{kAck});
    EXPECT_EQ(u.Unit.RequestCount(kPing), 1u);
}

TEST(SimUnitFaults, VanishedUnitAnswersNothingAndLosesWhatItWasSending) {
    Loaded u(30);
    u.Unit.ReceiveByte(0x02, 0);  // the identification is on its way
    ASSERT_TRUE(u.Unit.HasOutput());
    u.Unit.TakeOutputByte();
    u.Unit.Vanish();
    EXPECT_FALSE(u.Unit.HasOutput());
    EXPECT_TRUE(u.Wire.Send(kPing).empty());
    EXPECT_TRUE(u.Wire.ChecksumWrite(0xA3, 0x0104, 0x01).empty());
    EXPECT_NE(u.Unit.Peek(2, 0x0104), 0x01);
    u.Unit.Reappear();
    EXPECT_EQ(u.Wire.Send(kPing), Bytes{kAck});
}

TEST(SimUnitFaults, MemoryThatRefusesWritesKeepsItsBytesAndSaysSo) {
    Loaded u(7);
    u.Unit.RefuseWrites(true);
    const std::uint8_t kept = u.Unit.Peek(2, 0x0002);
    EXPECT_EQ(u.Wire.ChecksumWrite(0xA3, 0x0002, kept ^ 0x01), Bytes{kNak});
    EXPECT_EQ(u.Unit.Peek(2, 0x0002), kept);

    Loaded e(6);
    e.Unit.RefuseWrites(true);
    const std::uint8_t old = e.Unit.Peek(2, 0x0002);
    const auto d = static_cast<std::uint8_t>(old ^ 0x01);
    EXPECT_EQ(e.Wire.Send({0xA2, 0x00, 0x02, d, kAck}), (Bytes{0x00, 0x02, d, old, kAck}));
    EXPECT_EQ(e.Unit.Peek(2, 0x0002), old);
    e.Unit.RefuseWrites(false);
    EXPECT_EQ(e.Wire.Send({0xA2, 0x00, 0x02, d, kAck}), (Bytes{0x00, 0x02, d, d, kAck}));
}

TEST(SimUnitMemory, LoadAndPeekByArea) {
    TSimUnit unit(Config(3, 30));
    std::vector<std::uint8_t> afr(kArea1Size);
    for (std::size_t i = 0; i < afr.size(); ++i)
        afr[i] = static_cast<std::uint8_t>(i);
    unit.LoadArea(1, afr);
    EXPECT_EQ(unit.Peek(1, 0x0123), 0x23);
    EXPECT_EQ(unit.Peek(1, 0x0400), 0xFF);
    unit.Poke(2, 0x0100, 0x42);
    EXPECT_EQ(unit.ImageSnapshot()[img::FuelMap], 0x42);
    EXPECT_EQ(unit.AreaBytes(2).size(), kArea2Size);
}

}  // namespace
}  // namespace zv::sim

namespace zv::sim {
namespace {

// Any memory and any line noise: well-formed answers, no crash, and the unit is back in step
// after a pause.
TEST(SimUnitRobustness, GarbageMemoryAndLineNoise) {
    std::uint32_t seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return static_cast<std::uint8_t>(seed >> 16);
    };
    for (int fill : {0x00, 0xFF, -1}) {
        for (int fw : {0, 8, 20, 30, 40}) {
            ImageBytes image{};
            for (auto& b : image)
                b = fill < 0 ? next() : static_cast<std::uint8_t>(fill);
            TSimUnit unit(Config(3, fw), image);
            TWire wire(unit);
            for (std::uint64_t t = 0; t < 90000; t += 450) {
                wire.NowMs = t;
                ASSERT_EQ(wire.Live().size(), LiveRecordLength(fw)) << fill << "/" << fw;
            }
            for (int i = 0; i < 5000; ++i) {
                unit.ReceiveByte(next(), wire.NowMs);
                wire.NowMs += next() % 4;
                wire.Drain();
            }
            wire.Wait(100);
            EXPECT_EQ(wire.Send(0x16), Bytes{0x06});
        }
    }
}

}  // namespace
}  // namespace zv::sim
