// How close the link comes to the wire: each transfer's time against the wire time of the
// bytes it moved, each verified download's time against the wire time of its writes plus one
// read-back pass (its budget: 1.1 times that plus 100 ms), and the live stream's record rate
// against what wire time plus the pacing pause allow. Runs on virtual time, so one run gives the
// same numbers every time.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "data/zv_data_class.h"
#include "line/sim_line.h"
#include "line/virtual_timer_service.h"
#include "link/tcomx.h"
#include "link/transfer_table.h"
#include "unit/sim_unit.h"

namespace {

using namespace zv;

// The link, the line and the unit of one firmware on a fresh clock.
struct Rig {
    explicit Rig(int firmware) {
        sim::TSimUnitConfig config;
        config.Firmware = firmware;
        Unit = std::make_unique<sim::TSimUnit>(config);
        Adapter = std::make_unique<sim::UnitAdapter<sim::TSimUnit>>(*Unit);
        Line.AttachUnit(Adapter.get());
        Line.SetRecordTraffic(false);
        Data.ReceiveData.Firmware = static_cast<std::uint8_t>(firmware);
        Data.DeviceData.Firmware = static_cast<std::uint8_t>(firmware);
        for (std::size_t i = 0; i < kImageSize; ++i)
            Data.DeviceData.Image[i] = static_cast<std::uint8_t>(i * 7);
        Link = std::make_unique<TComX>(Clock, Line, Data);
        Link->Init(1, kBaud9600Index);
        Clock.Advance(500);  // past the constructor's idle tick
    }

    sim::VirtualTimerService Clock;
    sim::TSimLine Line{Clock, {1}};
    std::unique_ptr<sim::TSimUnit> Unit;
    std::unique_ptr<sim::UnitAdapter<sim::TSimUnit>> Adapter;
    TZVDataClass Data;
    std::unique_ptr<TComX> Link;
};

struct Timing {
    bool Done = false;
    double Ms = 0;
    double WireMs = 0;
};

Timing Run(int firmware, TTransfer transfer) {
    Rig rig(firmware);
    const std::uint64_t startUs = rig.Clock.NowUs();
    const std::uint64_t wireStartUs = rig.Line.WireUs();
    if (!StartTransfer(*rig.Link, rig.Data, transfer))
        return {};
    const bool ended =
        rig.Clock.RunUntil([&] { return rig.Link->JobResult() != jobresult::None; }, 60000);
    if (!ended || rig.Link->JobResult() != jobresult::Done)
        return {};
    return {true, static_cast<double>(rig.Clock.NowUs() - startUs) / 1000.0,
            static_cast<double>(rig.Line.WireUs() - wireStartUs) / 1000.0};
}

std::string Transfer(int firmware, TTransfer transfer) {
    const Timing t = Run(firmware, transfer);
    if (!t.Done)
        return "null";
    char text[160];
    std::snprintf(text, sizeof text, "{\"ms\": %.3f, \"wireMs\": %.3f, \"ratio\": %.4f}", t.Ms,
                  t.WireMs, t.Ms / t.WireMs);
    return text;
}

// Wire time of a 256-byte download's writes and of one pass reading its sixteen blocks back: a
// checksummed write is five bytes out and one back, an echo write five each way; a block read
// is 0x16 answered by 0x06, then four bytes of request and eighteen of reply.
double WritePlusPassMs(int firmware) {
    const std::uint64_t writeBytes = firmware >= 7 ? 5 + 1 : 5 + 5;
    const std::uint64_t readBytes = 1 + 1 + 4 + 18;
    return static_cast<double>((256 * writeBytes + 16 * readBytes) * sim::TSimLine::kByteNs) /
           1e6;
}

std::string VerifiedDownload(int firmware) {
    const Timing t = Run(firmware, TTransfer::FuelMapDownload);
    if (!t.Done)
        return "null";
    const double referenceMs = WritePlusPassMs(firmware);
    const double limitMs = 1.1 * referenceMs + 100.0;
    char text[240];
    std::snprintf(text, sizeof text,
                  "{\"ms\": %.3f, \"wireMs\": %.3f, \"writePlusPassMs\": %.3f, "
                  "\"ratio\": %.4f, \"limitMs\": %.3f, \"withinLimit\": %s}",
                  t.Ms, t.WireMs, referenceMs, t.Ms / referenceMs, limitMs,
                  t.Ms <= limitMs ? "true" : "false");
    return text;
}

std::string Live(int firmware) {
    constexpr std::uint64_t kStreamMs = 60000;
    Rig rig(firmware);
    if (!StartTransfer(*rig.Link, rig.Data, TTransfer::LiveStream))
        return "null";
    const std::uint64_t endUs = rig.Clock.NowUs() + kStreamMs * 1000;
    std::uint64_t records = 0;
    while (rig.Clock.NowUs() < endUs) {
        const std::uint64_t leftMs = (endUs - rig.Clock.NowUs() + 999) / 1000;
        if (!rig.Clock.RunUntil([&] { return rig.Link->NewRecord() || rig.Clock.NowUs() >= endUs; },
                                leftMs))
            break;
        if (rig.Link->NewRecord() && rig.Clock.NowUs() <= endUs)
            ++records;
        rig.Link->ClearNewRecord();
    }
    const double hz = static_cast<double>(records) * 1000.0 / static_cast<double>(kStreamMs);
    const double wireMs =
        static_cast<double>((1 + LiveRecordLength(firmware)) * sim::TSimLine::kByteNs) / 1e6;
    const double limitHz = 1000.0 / (wireMs + TComX::kPacingMs);
    char text[160];
    std::snprintf(text, sizeof text, "{\"hz\": %.3f, \"limitHz\": %.3f, \"ratio\": %.4f}", hz,
                  limitHz, hz / limitHz);
    return text;
}

}  // namespace

int main() {
    std::string out = "{";
    out += "\"upload256\": " + Transfer(30, TTransfer::FuelMapUpload);
    out += ", \"download256cs\": " + VerifiedDownload(30);
    out += ", \"download256echo\": " + VerifiedDownload(5);
    out += ", \"live11\": " + Live(8);
    out += ", \"live18\": " + Live(20);
    out += ", \"live24\": " + Live(30);
    out += ", \"live28\": " + Live(38);
    out += "}";
    std::puts(out.c_str());
    return 0;
}
