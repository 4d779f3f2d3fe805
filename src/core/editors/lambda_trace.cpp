#include "editors/lambda_trace.h"

#include <algorithm>

#include "dashboard/dashboard.h"
#include "data/zv_data_class.h"

namespace zv {

namespace {

constexpr std::uint32_t kTeal = 0x008080;
constexpr std::uint32_t kYellow = 0xFFFF00;
constexpr std::uint32_t kFuchsia = 0xFF00FF;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kWideband = 0xFF0080;
constexpr int kTraceMax = 51;
constexpr int kFirstFirmwareWithPcScale = 28;

// Record bytes the trace reads.
constexpr std::size_t kInputF = 5;
constexpr std::size_t kInputE = 7;
constexpr std::size_t kLambdaVal = 14;
constexpr std::size_t kLambdaStatus = 15;
constexpr int kStartupBit = 2;

// The input bytes of a record of the newer layouts.
std::span<const std::uint8_t> InputBytes(const std::uint8_t* record) {
    return {record, kInputE + 1};
}

}  // namespace

int TraceY(int v, int height) {
    return static_cast<int>(v * 0.8 * height / kTraceMax + 0.1 * height);
}

TTraceGrid TraceGrid(int height) {
    return {static_cast<int>(0.1 * height), static_cast<int>(0.9 * height),
            static_cast<int>(0.492 * height), kTeal};
}

void TLambdaTrace::Draw(TTraceDraw& draw, TTrace& trace, int v, std::uint32_t colour,
                        TTraceShape& shape, int height) const {
    const int y = TraceY(v, height);
    const int yPrevious = TraceY(trace.Previous, height);
    draw.Lines.push_back({column_, yPrevious, column_ + 1, y, colour});
    trace.Previous = static_cast<std::uint8_t>(v);
    shape.Left = column_ + 4;
    shape.Top = y - 7;
}

TTraceDraw TLambdaTrace::Tick(const TZVDataClass& data, int width, int height,
                              std::uint16_t& lambdaInput) {
    TTraceDraw draw;
    if (++column_ >= width) {
        column_ = 0;
        draw.Clear = true;
    }
    // The record area of the unit's generation; units below firmware 9 fill none of these.
    const TLiveLayout layout = LiveLayoutOfFirmware(data.ReceiveData.Firmware);
    const std::uint8_t* record = layout == TLiveLayout::Live24   ? data.LiveRecords.Live24.data()
                                 : layout == TLiveLayout::Live28 ? data.LiveRecords.Live28.data()
                                                                 : data.LiveRecords.Live18.data();
    const bool newer = record != data.LiveRecords.Live18.data();
    if (!newer || data.DeviceData.Firmware < kFirstFirmwareWithPcScale)
        DrawOlder(draw, record, lambdaInput, height);
    else if (data.DeviceData.DispAfrAt5V != 0)
        DrawNewer(draw, data, record, lambdaInput, height);
    return draw;
}

void TLambdaTrace::DrawOlder(TTraceDraw& draw, const std::uint8_t* record,
                             std::uint16_t lambdaInput, int height) {
    if (TZVDataClass::TestBit(record[kLambdaStatus], kStartupBit))
        Draw(draw, controller_, 25, kYellow, lloShape_, height);
    else
        Draw(draw, controller_, (255 - record[kLambdaVal]) / 5, kFuchsia, lloShape_, height);
    Draw(draw, sensor_, kTraceMax - lambdaInput, kGreen, lloShape_, height);
    Draw(draw, wideband_, record[kInputF] / 5, kWideband, wboShape_, height);
}

void TLambdaTrace::DrawNewer(TTraceDraw& draw, const TZVDataClass& data, const std::uint8_t* record,
                             std::uint16_t& lambdaInput, int height) {
    const auto narrow = InputByteWithFunction(InputBytes(record), data, kInputNarrowband);
    lloShape_.Visible = narrow.has_value();
    if (narrow) {
        lambdaInput = std::min<std::uint16_t>(*narrow, kTraceMax);
        Draw(draw, sensor_, kTraceMax - lambdaInput, kGreen, lloShape_, height);
    }
    const auto wide = InputByteWithFunction(InputBytes(record), data, kInputWideband);
    wboShape_.Visible = wide.has_value();
    if (wide)
        Draw(draw, wideband_, kTraceMax - *wide * kTraceMax / 255, kWideband, wboShape_, height);
}

}  // namespace zv
