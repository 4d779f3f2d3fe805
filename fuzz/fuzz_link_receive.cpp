// The unit's side of the line as arbitrary bytes, during every kind of transaction: the link
// must neither crash, run past a buffer, nor hang. Each byte the PC sends lets the "unit" answer
// with the next few input bytes; when the input is used up the unit falls silent and every job
// must still end with a result within its time budget.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "data/zv_data_class.h"
#include "line/byte_fifo.h"
#include "line/sim_line.h"
#include "line/unit_endpoint.h"
#include "line/virtual_timer_service.h"
#include "link/tcomx.h"
#include "link/transfer_table.h"

namespace {

using namespace zv;

class Input {
  public:
    Input(const std::uint8_t* bytes, std::size_t size) : Bytes_(bytes), Size_(size) {}
    bool Empty() const { return Pos_ >= Size_; }
    std::uint8_t Take() { return Empty() ? 0 : Bytes_[Pos_++]; }

  private:
    const std::uint8_t* Bytes_;
    std::size_t Size_;
    std::size_t Pos_ = 0;
};

// Answers every byte from the PC with the next input bytes; how many comes from the input too.
class FuzzUnit : public sim::UnitEndpoint {
  public:
    explicit FuzzUnit(Input& input) : Input_(input) {}

    void ReceiveByte(std::uint8_t, std::uint64_t) override {
        const std::uint8_t control = Input_.Take();
        // Mostly short answers, sometimes a whole block or record at once.
        const std::size_t n = control >= 0xF0 ? 18u + (control & 0x0F) : control % 4u;
        for (std::size_t i = 0; i < n && !Input_.Empty(); ++i)
            Output_.Push(Input_.Take());
    }
    bool HasOutput() const override { return !Output_.Empty(); }
    std::uint8_t TakeOutputByte() override { return Output_.Pop(); }

  private:
    Input& Input_;
    sim::ByteFifo Output_;
};

// Longest job: the 256-byte download, 300 ticks of 100 ms; identification and stream ends are
// shorter. A job that has not ended well after that hangs.
constexpr std::uint64_t kJobLimitMs = 40000;

void RunJobToItsEnd(sim::VirtualTimerService& clock, const TComX& link) {
    if (!clock.RunUntil([&] { return link.Job() == job::Idle; }, kJobLimitMs))
        std::abort();
}

void RunStream(sim::VirtualTimerService& clock, TComX& link, TZVDataClass& data, Input& input) {
    StartTransfer(link, data, TTransfer::LiveStream);
    clock.Advance(500);
    // Edits of one, two and sixteen bytes while the stream runs.
    std::array<std::uint8_t, 16> edit{};
    for (int k = 0; k < 3 && !input.Empty(); ++k) {
        const std::uint8_t kind = input.Take() % 3;
        const auto address = static_cast<std::uint16_t>(input.Take() | (input.Take() % 4) << 8);
        link.QueueWrite(static_cast<std::uint8_t>(1 + input.Take() % 2), edit.data(), kind,
                        address);
        clock.Advance(150);
    }
    clock.Advance(2000);
    (void)link.TakeWriteFailures();
    link.SetJob(job::StreamStop);
    RunJobToItsEnd(clock, link);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    Input input(bytes, size);
    const std::uint8_t kind = input.Take() % 6;
    const int firmware = 1 + input.Take() % 39;
    const std::size_t chunk = input.Take() % 4;

    sim::VirtualTimerService clock;
    sim::TSimLine line(clock, {1});
    FuzzUnit unit(input);
    line.AttachUnit(&unit);
    line.SetRecordTraffic(false);
    line.SetRxChunk(chunk);

    TZVDataClass data;
    data.DeviceData.Firmware = static_cast<std::uint8_t>(firmware);
    data.ReceiveData.Firmware = static_cast<std::uint8_t>(firmware);
    TComX link(clock, line, data);
    link.Init(1, kBaud9600Index);
    clock.Advance(200);

    switch (kind) {
        case 0:
            link.SetJob(job::Ping);
            break;
        case 1:
            StartTransfer(link, data, TTransfer::Identification);
            break;
        case 2:
            StartTransfer(link, data, TTransfer::FuelMapUpload);
            break;
        case 3:
            StartTransfer(link, data, TTransfer::IdleCurveDownload);
            break;
        case 4:
            StartTransfer(link, data, TTransfer::FuelMapDownload);
            break;
        default:
            RunStream(clock, link, data, input);
            return 0;
    }
    RunJobToItsEnd(clock, link);
    if (link.JobResult() == jobresult::None)
        std::abort();  // ended without a result: the online mode would wait for ever
    return 0;
}
