#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "sim_test_support.h"
#include "unit/drive_cycle.h"
#include "unit/map_lookup.h"

namespace zv::sim {
namespace {

using test::Config;
using test::DefaultImage;
using test::kWarm;
using test::RpmFor;
using test::TWire;
using Record = std::vector<std::uint8_t>;

// Flags word bits.
constexpr std::uint16_t kIdle = 1 << 0, kNarrowBand = 1 << 1, kFLambda = 1 << 2, kELambda = 1 << 3,
                        kLampAsSelect = 1 << 4, kTempAdd = 1 << 5, kPinLPulse = 1 << 7,
                        kFWide = 1 << 8, kWideBand = 1 << 10;

bool Bit(std::uint8_t b, int n) {
    return ((b >> n) & 1) != 0;
}

ImageBytes ScaledMap(ImageBytes image, double factor) {
    for (std::size_t i = img::FuelMap; i < img::FuelMap + 256; ++i) {
        image[i] = static_cast<std::uint8_t>(std::min(255.0, image[i] * factor));
    }
    return image;
}

// A unit with a data set, queried over the wire at chosen virtual times.
struct Bench : test::TBench {
    Bench(int firmware, std::uint16_t flags) : Bench(firmware, DefaultImage(firmware, flags)) {}
    Bench(int firmware, const ImageBytes& image) : TBench(Config(3, firmware), image) {}
    void Hold(int tps, int rpmRaw) { Unit.Engine().Cycle().HoldAt(tps, RpmFor(rpmRaw)); }
    void Write(std::uint16_t address, std::uint8_t data) {
        ASSERT_EQ(Wire.ChecksumWrite(0xA3, address, data), Record{0x06});
    }
};

// --- Operating point, map value, contacts, lamps --------------------------------------------

TEST(LiveRecord, MapValueAtTheSitesIsTheCellAndInterpolatesBetween) {
    Bench b(30, kIdle);
    const SiteList tps = SitesFromStored(DefaultLinRow(lin::TpsSites).data());
    const SiteList rpm = SitesFromStored(DefaultLinRow(lin::RpmSites).data());
    std::uint64_t t = 10000;
    for (auto [ti, ri] : {std::pair{0, 0}, {15, 15}, {7, 3}, {12, 9}, {3, 14}}) {
        b.Hold(tps[static_cast<std::size_t>(ti)], rpm[static_cast<std::size_t>(ri)]);
        const Record r = b.At(t += 100);
        EXPECT_EQ(r[10], DefaultMapRow(ti)[static_cast<std::size_t>(ri)]) << ti << "/" << ri;
        EXPECT_EQ(r[2], tps[static_cast<std::size_t>(ti)]);
        EXPECT_EQ(r[1], rpm[static_cast<std::size_t>(ri)]);
    }
    // Throttle site 7 (100), rpm 90 between the sites 83 and 96 of cells 170 and 175.
    b.Hold(100, 90);
    EXPECT_EQ(b.At(t += 100)[10], 172);
    // A write to that row's upper cell (unit address 0x100 + 16 x 8 + 8) counts from the next loop.
    b.Write(0x0188, 201);
    EXPECT_EQ(b.At(t += 10)[10], 170 + 31 * 7 / 13);
    // Outside the sites the edge cells hold.
    b.Hold(255, 255);
    EXPECT_EQ(b.At(t += 100)[10], DefaultMapRow(15)[15]);
}

TEST(LiveRecord, OlderUnitsUseTheirFixedSitesAndTheMapAt0x300) {
    ImageBytes image = DefaultImage(8, kIdle);
    image[img::FuelMap + 16 * (15 - 4) + (15 - 6)] = 0x99;  // cell t = 4, r = 6
    Bench b(8, image);
    // Fixed sites lowest first: throttle 31, 45, 59, 73, 87, ...; rpm 7, 15, 30, 45, 65, 85, 105.
    b.Hold(87, 105);
    const Record r = b.At(5000);
    ASSERT_EQ(r.size(), 11u);
    EXPECT_EQ(r[4], 0x99);
    EXPECT_EQ(r[0], 105);
    EXPECT_EQ(r[1], 87);
    EXPECT_EQ(b.Wire.ChecksumWrite(0xA3, 0x0300 + 16 * 11 + 9, 0x42),
              Record{0x06});  // firmware 8 writes with checksum
    EXPECT_EQ(b.At(5010)[4], 0x42);
}

TEST(LiveRecord, ContactsFollowTheirThresholds) {
    Bench b(30, kIdle);  // ContactIdle 34, ContactFull 170
    std::uint64_t t = 5000;
    const auto status = [&](int tps) {
        b.Hold(tps, 100);
        return b.At(t += 20)[0];
    };
    EXPECT_TRUE(Bit(status(34), 6));
    EXPECT_FALSE(Bit(status(35), 6));
    EXPECT_FALSE(Bit(status(169), 7));
    EXPECT_TRUE(Bit(status(170), 7));
    b.Write(2, 40);
    EXPECT_TRUE(Bit(status(35), 6));
    b.Write(3, 200);
    EXPECT_FALSE(Bit(status(170), 7));

    Bench old(5, kIdle);  // Live11: the contacts in byte 7
    old.Hold(20, 80);
    EXPECT_EQ(old.At(5000)[7] & 0xC0, 0x40);
    old.Hold(250, 80);
    EXPECT_EQ(old.At(5100)[7] & 0xC0, 0x80);
}

TEST(LiveRecord, ShiftLampsFollowTheirThresholds) {
    Bench b(30, kIdle);  // green 179, yellow 186, red 194
    std::uint64_t t = 5000;
    const auto lamps = [&](int rpmRaw) {
        b.Hold(200, rpmRaw);
        return (b.At(t += 20)[0] >> 3) & 7;
    };
    EXPECT_EQ(lamps(178), 0);
    EXPECT_EQ(lamps(179), 1);
    EXPECT_EQ(lamps(185), 1);
    EXPECT_EQ(lamps(186), 3);
    EXPECT_EQ(lamps(193), 3);
    EXPECT_EQ(lamps(194), 7);
    b.Write(8, 190);
    EXPECT_EQ(lamps(190), 7);
}

TEST(LiveRecord, LampsAsLambdaIndicatorsFollowTheNarrowbandSignal) {
    for (int fw : {18, 30}) {
        Bench b(fw, kIdle | kFLambda | kLampAsSelect);
        for (std::uint64_t t = 20000; t < 100000; t += 250) {
            const Record r = b.At(t);
            const int q = r[5];
            const int lamps = (r[0] >> 3) & 7;
            const int lean = fw > 18 ? 4 : 1, rich = fw > 18 ? 1 : 4;
            const int expected = q <= 9 ? lean : q >= 33 ? rich : 2;
            ASSERT_EQ(lamps, expected) << "firmware " << fw << " at " << t << " q " << q;
        }
    }
}

TEST(LiveRecord, PinLIsIdleContactOrA50HzPulse) {
    Bench contact(32, kIdle);
    contact.Hold(32, 30);
    Record r = contact.At(5000);
    EXPECT_EQ(Bit(r[0], 0), Bit(r[0], 6));
    Bench pulse(32, kIdle | kPinLPulse);
    pulse.Hold(32, 30);
    const bool first = Bit(pulse.At(5000)[0], 0);
    EXPECT_NE(Bit(pulse.At(5010)[0], 0), first);  // a 10 ms half period
    EXPECT_EQ(Bit(pulse.At(5020)[0], 0), first);
}

// --- Drive cycle ------------------------------------------------------------------------------

TEST(LiveRecord, DriveCycleShowsIdleFullLoadAndOverrun) {
    Bench b(30, kIdle);
    const std::uint64_t round =
        TDriveCycle::kStartMs + (kWarm / TDriveCycle::kCycleMs + 1) * TDriveCycle::kCycleMs;
    std::uint8_t lastLoop = b.At(round)[16];
    bool sawAllLamps = false;
    for (std::uint64_t at = 100; at < TDriveCycle::kCycleMs; at += 100) {
        const Record r = b.At(round + at);
        ASSERT_EQ(r.size(), 24u);
        EXPECT_EQ(static_cast<std::uint8_t>(r[16] - lastLoop), 10);  // one loop per 10 ms
        lastLoop = r[16];
        std::uint8_t x = 0;
        for (int i = 0; i < 23; ++i)
            x = static_cast<std::uint8_t>(x ^ r[static_cast<std::size_t>(i)]);
        EXPECT_EQ(r[23], x);

        const int rpm = r[1] * 10000 / 255;
        if (at >= 1000 && at < TDriveCycle::kAccelFrom) {  // warm idle
            EXPECT_TRUE(Bit(r[0], 6));
            EXPECT_NEAR(rpm, 900, 80);
            EXPECT_GT(r[13], 30);
            EXPECT_GT(r[3], 0);  // idle actuator at work
        }
        if (at >= TDriveCycle::kCruiseFrom + 3000 && at < TDriveCycle::kFullLoadFrom) {
            EXPECT_EQ(r[0] & 0xC0, 0);
            EXPECT_NEAR(rpm, 3000, 300);  // the road takes the speed up and down a little
        }
        if (at >= TDriveCycle::kFullLoadFrom + 1000 && at < TDriveCycle::kOverrunFrom) {
            EXPECT_TRUE(Bit(r[0], 7));
            EXPECT_GE(r[13], 180);
            sawAllLamps = sawAllLamps || (r[0] & 0x38) == 0x38;
        }
        if (at >= TDriveCycle::kOverrunFrom + 500 && at < TDriveCycle::kIdleFrom - 500) {
            EXPECT_TRUE(Bit(r[0], 6));
            EXPECT_EQ(r[13], 0) << "fuel cut in overrun at " << at;
            EXPECT_LT(static_cast<std::int8_t>(r[17]), 1);  // throttle closed: no enrichment
        }
    }
    EXPECT_TRUE(sawAllLamps);
}

// Bytes 24 and 25 of the 28-byte record carry the engine speed in rpm, low byte first; byte 1
// its raw byte (rpm x 255 / 10000).
TEST(LiveRecord, RpmWordAtAHeldEngineSpeed) {
    Bench b(38, kIdle);
    b.Unit.Engine().Cycle().HoldAt(100, 3456);
    const Record r = b.At(kWarm);
    ASSERT_EQ(r.size(), 28u);
    EXPECT_EQ(r[24], 0x80);
    EXPECT_EQ(r[25], 0x0D);
    EXPECT_EQ(r[1], 88);
}

TEST(LiveRecord, EngineStandsStillBeforeItsStart) {
    TSimUnitConfig c = Config(3, 30);
    c.EngineStartMs = 10000;
    TSimUnit unit(c);
    unit.LoadImage(DefaultImage(30, kIdle));
    TWire wire(unit, 5000);
    const Record r = wire.Live();
    EXPECT_EQ(r[1], 0);
    EXPECT_EQ(r[13], 10);  // OutValAtZeroRpm
    wire.NowMs = 13000;
    EXPECT_GT(wire.Live()[1], 15);
}

TEST(LiveRecord, SameRequestsGiveTheSameRecords) {
    Bench a(38, kIdle | kFLambda | kFWide | kWideBand),
        b(38, kIdle | kFLambda | kFWide | kWideBand);
    for (std::uint64_t t = 0; t < 120000; t += 777)
        EXPECT_EQ(a.At(t), b.At(t)) << t;
}

// --- Corrections -----------------------------------------------------------------------------

TEST(LiveRecord, TemperatureCorrectionMultiplicativeOrAdditive) {
    const auto output = [](int fw, std::uint16_t flags, std::uint8_t curve) {
        ImageBytes image = DefaultImage(fw, flags);
        std::fill(image.begin() + img::TempControl, image.begin() + img::TempControl + 16, curve);
        Bench b(fw, image);
        b.Hold(41, 33);  // map cell 96
        return b.At(kWarm);
    };
    const int map = output(30, 0, 0)[10];
    EXPECT_EQ(output(30, 0, 0)[13], map);
    Record r = output(30, 0, 64);
    EXPECT_EQ(r[6], 64);
    EXPECT_EQ(r[13], static_cast<int>(map * (1 + 3.0 * 64 / 191)));
    EXPECT_EQ(output(30, kTempAdd, 64)[13], static_cast<int>(map * 1.25));  // 64 is 25 %
    // Below firmware 15 there is no additive mode.
    EXPECT_EQ(output(14, kTempAdd, 64)[13], static_cast<int>(map * (1 + 3.0 * 64 / 191)));
    // Input F as lambda input: no temperature correction.
    r = output(30, kFLambda, 64);
    EXPECT_EQ(r[6], 0);
    EXPECT_EQ(r[13], map);
}

TEST(LiveRecord, MaxOutValueLimitsTheOutput) {
    ImageBytes image = DefaultImage(30, 0);
    image[21] = 120;
    Bench b(30, image);
    b.Hold(240, 200);
    const Record r = b.At(kWarm);
    EXPECT_GT(r[10], 120);
    EXPECT_EQ(r[13], 120);
}

TEST(LiveRecord, AccelerationValueFollowsTheThrottle) {
    Bench b(30, 0);
    b.Hold(40, 60);
    b.At(kWarm);
    b.Hold(200, 60);
    const Record opening = b.At(kWarm + 20);
    EXPECT_GT(static_cast<std::int8_t>(opening[17]), 50);
    EXPECT_GT(opening[13], opening[10]);  // enriched
    const Record settled = b.At(kWarm + 3000);
    EXPECT_EQ(settled[17], 0);
    b.Hold(40, 60);
    EXPECT_LT(static_cast<std::int8_t>(b.At(kWarm + 3020)[17]), -20);
}

// --- Mixture and lambda sensors ------------------------------------------------------------

// Mean and extremes of a byte over records 100 ms apart.
struct Stats {
    double Mean = 0;
    int Min = 255, Max = 0;
};
Stats Over(Bench& b, std::uint64_t from, std::uint64_t to, std::size_t byte) {
    Stats s;
    int n = 0;
    for (std::uint64_t t = from; t < to; t += 100) {
        const int v = b.At(t)[byte];
        s.Mean += v;
        s.Min = std::min(s.Min, v);
        s.Max = std::max(s.Max, v);
        ++n;
    }
    s.Mean /= n;
    return s;
}

TEST(LiveRecord, NarrowbandSignalShowsTheMixture) {
    // No controller: the sensor on input F reports what the map gives.
    const auto signal = [](double mapFactor) {
        Bench b(30, ScaledMap(DefaultImage(30, kFLambda), mapFactor));
        b.Hold(100, 90);
        return Over(b, kWarm, kWarm + 5000, 5);
    };
    const Stats tuned = signal(1.0), rich = signal(1.3), lean = signal(0.75);
    EXPECT_LT(tuned.Min, 15);  // switching around 0.45 V
    EXPECT_GT(tuned.Max, 30);
    EXPECT_GE(rich.Min, 33);
    EXPECT_LE(lean.Max, 9);
}

TEST(LiveRecord, WidebandSignalAndMeasuredAfrShowTheMixture) {
    // ends: a custom sensor scale whose two ends are both this AFR x 10 (0: the data set's scale).
    const auto measured = [](double mapFactor, std::uint8_t ends = 0) {
        ImageBytes image = ScaledMap(DefaultImage(38, kFLambda | kFWide), mapFactor);
        if (ends != 0) {
            image[32] = 0;  // WBO2MessDevice: custom AFR min and max
            image[33] = ends;
            image[34] = ends;
        }
        // Two equal units: a unit answers for its present, so each byte needs a run of its own.
        Bench afr(38, image), raw(38, image);
        afr.Hold(100, 90);
        raw.Hold(100, 90);
        // Four periods of the mixture's wander.
        return std::pair{Over(afr, kWarm, kWarm + 6800, 12), Over(raw, kWarm, kWarm + 6800, 5)};
    };
    const auto [tunedAfr, tunedRaw] = measured(1.0);
    EXPECT_NEAR(tunedAfr.Mean, 42, 3);  // 14.7 in the AFR map's code
    // The default scale 8.9 .. 18.9 AFR: 14.7 reads about 148.
    EXPECT_NEAR(tunedRaw.Mean, (147 - 89) * 255 / 100, 8);
    const auto [richAfr, richRaw] = measured(1.3);
    EXPECT_NEAR(richAfr.Mean, 147 / 1.3 - 105, 3);
    EXPECT_LT(richRaw.Mean, tunedRaw.Mean - 50);
    // Equal ends are no scale: the unit reads its input as 0 .. 25.4 AFR, as the program shows it.
    const auto [equalAfr, equalRaw] = measured(1.3, 150);
    EXPECT_NEAR(equalAfr.Mean, 147 / 1.3 - 105, 3);
    EXPECT_NEAR(equalRaw.Mean, 147 / 1.3 * 255 / 254, 8);
}

TEST(LiveRecord, NarrowbandControllerStartupOverrunLimitAndCorrection) {
    Bench b(30, ScaledMap(DefaultImage(30, kIdle | kNarrowBand | kFLambda), 0.9));
    b.Hold(100, 90);
    // LambdaStartup 35 s: counter in byte 14, bits 2 and 5.
    Record r = b.At(5000);
    EXPECT_EQ(r[15] & 0x24, 0x24);
    EXPECT_EQ(r[14], 30);
    r = b.At(34500);
    EXPECT_EQ(r[14], 1);
    // Warm, the controller enriches the lean map and stays out of its error states.
    const Stats corr = Over(b, kWarm, kWarm + 5000, 14);
    EXPECT_GT(corr.Mean, 134);
    EXPECT_LE(corr.Max, 128 + 20);  // LambdaIntLim
    EXPECT_EQ(b.At(kWarm + 5000)[15] & 0x0F, 0);
    // Full load above LambdaTpsLim (170): limit overrun, neutral value.
    b.Hold(200, 150);
    r = b.At(kWarm + 5100);
    EXPECT_TRUE(Bit(r[15], 1));
    EXPECT_EQ(r[14], 128);
    // Closed throttle well above LambdaRpmSetIn: overrun with fuel cut, until the set-in speed.
    b.Hold(32, 120);
    r = b.At(kWarm + 5200);
    EXPECT_TRUE(Bit(r[15], 0));
    EXPECT_EQ(r[13], 0);
    b.Hold(32, 29);
    r = b.At(kWarm + 5300);
    EXPECT_FALSE(Bit(r[15], 0));
    EXPECT_GT(r[13], 0);

    // Switched off by the flags word (F10): nothing from the controller.
    b.Write(4, kIdle | kFLambda);
    b.Hold(100, 90);
    const Stats off = Over(b, kWarm + 5400, kWarm + 7000, 14);
    EXPECT_EQ(off.Min, 128);
    EXPECT_EQ(off.Max, 128);
    EXPECT_EQ(b.At(kWarm + 7000)[15], 0);
}

TEST(LiveRecord, WidebandControllerStartupCountersByLayout) {
    Bench live24(30, kFLambda | kFWide | kWideBand);
    Bench live28(38, kFLambda | kFWide | kWideBand);
    // WBO2StartupCounter 25 s; at 5 s: 20 s left, Live28 counting half seconds.
    Record r24 = live24.At(5000), r28 = live28.At(5000);
    EXPECT_FALSE(Bit(r24[18], 6));
    EXPECT_EQ(r24[19], 20);
    EXPECT_EQ(r28[19], 40);
    // Between whole seconds the counters still hold what they count down from: at 5.7 s, 19.3 s
    // are left, which the unit counts as 20 seconds (Live24) and 39 half seconds (Live28).
    r24 = live24.At(5700);
    r28 = live28.At(5700);
    EXPECT_EQ(r24[19], 20);
    EXPECT_EQ(r28[19], 39);
    r24 = live24.At(25000);
    r28 = live28.At(25000);
    EXPECT_TRUE(Bit(r24[18], 6));
    EXPECT_TRUE(Bit(r28[18], 6));
    // Before the wideband device has heated its sensor its output is below WBO2ErrorDetLimLow.
    EXPECT_FALSE(Bit(live28.At(25010)[18], 0));
    Bench early(38, kFLambda | kFWide | kWideBand);
    EXPECT_TRUE(Bit(early.At(3000)[18], 0));
}

TEST(LiveRecord, WidebandControllerCorrectsTowardsTheTarget) {
    Bench b(38, ScaledMap(DefaultImage(38, kFLambda | kFWide | kWideBand), 0.9));
    b.Hold(100, 90);
    Record r = b.At(kWarm);
    EXPECT_EQ(r[18] & 0xC1, 0x40);  // started, cell has a target, sensor fine
    const int correction = r[19];
    EXPECT_GE(correction, 1);
    EXPECT_LE(correction, 15);  // WBO2ControllerIntLimUp
    EXPECT_EQ(Bit(r[18], 4), correction == 15);
    EXPECT_NEAR(Over(b, kWarm, kWarm + 3000, 12).Mean, 42, 3);  // measured AFR near 14.7

    // Rich map: correction below zero, sent as 255 + correction.
    Bench rich(38, ScaledMap(DefaultImage(38, kFLambda | kFWide | kWideBand), 1.1));
    rich.Hold(100, 90);
    r = rich.At(kWarm);
    EXPECT_GE(r[19], 255 - 15);
    EXPECT_LT(r[19], 255);

    // An NC cell locks the controller out: the AFR byte of the held cell (stored indexes
    // 8 and 8 at this point, AFR area 512 + 16 x 8 + 8) set to 255.
    ASSERT_EQ(b.Wire.ChecksumWrite(0xA5, 512 + 16 * 8 + 8, 0xFF), Record{0x06});
    r = b.At(kWarm + 3010);
    EXPECT_TRUE(Bit(r[18], 7));
    EXPECT_EQ(r[11], 0xFF);

    // A sensor error limit above the signal sets the error bit.
    b.Write(41, 250);
    EXPECT_TRUE(Bit(b.At(kWarm + 3020)[18], 0));
}

TEST(LiveRecord, EveryLayoutHasItsBytesFilled) {
    for (int fw : {8, 20, 30, 38}) {
        Bench b(fw, kIdle | kNarrowBand | kFLambda);
        std::vector<int> seen(LiveRecordLength(fw), 0);
        std::vector<std::uint8_t> first = b.At(0);
        for (std::uint64_t t = 100; t < 120000; t += 100) {
            const Record r = b.At(t);
            for (std::size_t i = 0; i < r.size(); ++i)
                seen[i] += r[i] != first[i] ? 1 : 0;
        }
        // Every byte changes over two drive cycles but the ones that hold a setting or a state
        // that this set-up keeps (corrections of unset curves, the wideband byte without input).
        for (std::size_t i = 0; i < seen.size(); ++i) {
            const bool steady =
                (fw >= 9 && (i == 6 || i == 8)) || (fw < 9 && i == 5) || (fw >= 24 && i == 12);
            if (!steady) {
                EXPECT_GT(seen[i], 0) << "firmware " << fw << " byte " << i;
            }
        }
    }
}

}  // namespace
}  // namespace zv::sim
