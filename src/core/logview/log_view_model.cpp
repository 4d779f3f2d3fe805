#include "logview/log_view_model.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "sensors/wideband_sensor.h"

namespace zv {

namespace {

constexpr std::string_view kBitColumns[] = {
    "IdleContact",     "WOTContact",   "ShiftLightGreen", "ShiftLightYellow",
    "ShiftLightRed",   "LambdaShiftMode", "LambdaLimOff", "LambdaStartup",
    "LambdaError",     "LambdaTest1",  "LambdaTest2",
};

constexpr double kAfrAxisLow = 10.0;
constexpr double kAfrAxisHigh = 20.0;

bool IsBitColumn(std::string_view name) {
    return std::find(std::begin(kBitColumns), std::end(kBitColumns), name) != std::end(kBitColumns);
}

// A logged AFR of 0 or of the readouts' limit and above is no reading of the sensor.
bool IsAfrReading(double afr) {
    return afr > 0.0 && afr < kAfrDisplayLimit;
}

// Fixed ranges for the quantities a tuner knows; the column's own span otherwise.
TLogChannel ChannelOf(const TLogColumn& column) {
    TLogChannel channel{column.Name(), "", 0.0, 1.0, false, column.Decimals()};
    const std::string& name = column.Name();
    if (name == "Engine Rpm") {
        channel.Unit = "rpm";
        channel.High = kRpmScaleMax;
    } else if (name == "TPS[%]") {
        channel.Unit = "%";
        channel.High = 100.0;
    } else if (name == "InF_AFR" || name == "InE_AFR") {
        channel.Unit = "AFR";
        channel.Low = kAfrAxisLow;
        channel.High = kAfrAxisHigh;
    } else if (!IsBitColumn(name) && column.Size() > 0) {
        const std::vector<float> values = column.Values();
        const auto [low, high] = std::minmax_element(values.begin(), values.end());
        channel.Low = *low;
        channel.High = *high > *low ? *high : *low + 1.0;
    }
    return channel;
}

}  // namespace

std::optional<double> TLogHitCounts::Value(int t, int r, TLogHitMeasure measure) const {
    const TLogHitCell& cell = Cells[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)];
    switch (measure) {
    case TLogHitMeasure::Count:
        return cell.Count;
    case TLogHitMeasure::AfrError:
        return cell.AfrError;
    case TLogHitMeasure::Correction:
        return cell.Correction;
    }
    return std::nullopt;
}

TLogViewModel::TLogViewModel(TLogData data)
    : data_(std::move(data)),
      afr_(data_.Find(TLogQuantity::WidebandAfr)),
      correction_(data_.Find(TLogQuantity::WidebandCorrection)),
      target_(data_.LineCount()) {
    maps_.Throttle = maps_.Rpm = DisplayedSites(TSites{});
    if (data_.LineCount() > 0) {
        logStart_ = data_.Time(0);
        logEnd_ = data_.Time(data_.LineCount() - 1);
    }
    BuildChannels();
    ShowAll();
    CountHits();
}

void TLogViewModel::BuildChannels() {
    for (std::size_t i = 0; i < data_.ColumnCount(); ++i)
        channels_.push_back(ChannelOf(data_.Column(i)));
    if (afr_)
        channels_.push_back({"AFR target", "AFR", kAfrAxisLow, kAfrAxisHigh, true, 1});
    for (TLogQuantity q : {TLogQuantity::EngineSpeed, TLogQuantity::Throttle, TLogQuantity::Output,
                           TLogQuantity::WidebandAfr}) {
        if (auto column = data_.Find(q))
            shown_.push_back(*column);
    }
    if (afr_)
        shown_.push_back(channels_.size() - 1);
    for (TLogQuantity q : {TLogQuantity::WidebandCorrection, TLogQuantity::IdleContact,
                           TLogQuantity::WotContact}) {
        if (auto column = data_.Find(q))
            shown_.push_back(*column);
    }
}

void TLogViewModel::SetDataSet(const TZVDataClass& data) {
    hasDataSet_ = data.Loaded != 0 || data.DeviceData.DeviceValid != 0;
    maps_ = TOperatingMaps::Of(data);
    const auto rpm = data_.Find(TLogQuantity::EngineSpeed);
    const auto tps = data_.Find(TLogQuantity::Throttle);
    for (std::size_t line = 0; line < data_.LineCount(); ++line) {
        target_[line] = std::nullopt;
        if (rpm && tps && hasDataSet_)
            target_[line] = maps_.AfrTarget(ThrottleRaw(data_.Column(*tps).Value(line)),
                                            RpmRaw(data_.Column(*rpm).Value(line)));
    }
    CountHits();
}

bool TLogViewModel::IsShown(std::size_t channel) const {
    return std::find(shown_.begin(), shown_.end(), channel) != shown_.end();
}

// Shown channels keep the channel list's order, so that a channel switched off and on again
// comes back to its place.
void TLogViewModel::SetShown(std::size_t channel, bool shown) {
    if (channel >= channels_.size() || IsShown(channel) == shown)
        return;
    if (!shown) {
        shown_.erase(std::find(shown_.begin(), shown_.end(), channel));
        return;
    }
    shown_.push_back(channel);
    std::sort(shown_.begin(), shown_.end(), [this](std::size_t a, std::size_t b) {
        // The target follows the measured AFR rather than the end of the list.
        auto place = [this](std::size_t c) {
            return channels_[c].Target && afr_ ? static_cast<double>(*afr_) + 0.5
                                                : static_cast<double>(c);
        };
        return place(a) < place(b);
    });
}

std::optional<double> TLogViewModel::Value(std::size_t channel, std::size_t line) const {
    if (line >= data_.LineCount() || channel >= channels_.size())
        return std::nullopt;
    if (channels_[channel].Target)
        return target_[line];
    return data_.Column(channel).Value(line);
}

void TLogViewModel::SetView(double start, double span) {
    const double whole = logEnd_ - logStart_;
    span = std::clamp(span, std::min(kMinSpan, whole), whole);
    viewStart_ = std::clamp(start, logStart_, logEnd_ - span);
    viewEnd_ = viewStart_ + span;
}

void TLogViewModel::Zoom(double about, double factor) {
    const double span = viewEnd_ - viewStart_;
    if (factor <= 0.0 || span <= 0.0)
        return;
    const double newSpan = std::clamp(span / factor, std::min(kMinSpan, logEnd_ - logStart_),
                                      logEnd_ - logStart_);
    SetView(about - (about - viewStart_) * newSpan / span, newSpan);
}

void TLogViewModel::Pan(double seconds) {
    SetView(viewStart_ + seconds, viewEnd_ - viewStart_);
}

void TLogViewModel::ShowAll() {
    SetView(logStart_, logEnd_ - logStart_);
}

std::optional<std::size_t> TLogViewModel::LineAt(double time) const {
    std::size_t below = 0;
    std::size_t above = data_.LineCount();
    if (above == 0 || time < data_.Time(0))
        return std::nullopt;
    while (above - below > 1) {
        const std::size_t mid = below + (above - below) / 2;
        (data_.Time(mid) <= time ? below : above) = mid;
    }
    return below;
}

double TLogViewModel::CursorTime() const {
    return data_.LineCount() > 0 ? data_.Time(cursor_) : 0.0;
}

void TLogViewModel::SetCursorTime(double time) {
    cursor_ = LineAt(time).value_or(0);
}

void TLogViewModel::SetCursorLine(std::size_t line) {
    if (data_.LineCount() > 0)
        cursor_ = std::min(line, data_.LineCount() - 1);
}

void TLogViewModel::KeepCursorInView() {
    const double t = CursorTime();
    if (t < viewStart_)
        Pan(t - viewStart_);
    else if (t > viewEnd_)
        Pan(t - viewEnd_);
}

void TLogViewModel::HandleKey(TLogKey key, bool shift) {
    const std::size_t step = shift ? 10 : 1;
    const double span = viewEnd_ - viewStart_;
    switch (key) {
    case TLogKey::Left:
        SetCursorLine(cursor_ > step ? cursor_ - step : 0);
        break;
    case TLogKey::Right:
        SetCursorLine(cursor_ + step);
        break;
    case TLogKey::ZoomIn:
        Zoom(CursorTime(), 2.0);
        break;
    case TLogKey::ZoomOut:
        Zoom(CursorTime(), 0.5);
        break;
    case TLogKey::Home:
        SetCursorLine(0);
        break;
    case TLogKey::End:
        SetCursorLine(data_.LineCount());
        break;
    case TLogKey::PageUp:
        Pan(-span);
        return;
    case TLogKey::PageDown:
        Pan(span);
        return;
    }
    KeepCursorInView();
}

std::vector<const TLogNote*> TLogViewModel::VisibleNotes() const {
    std::vector<const TLogNote*> notes;
    for (const TLogNote& note : data_.Notes) {
        if (note.Time >= viewStart_ && note.Time <= viewEnd_)
            notes.push_back(&note);
    }
    return notes;
}

void TLogViewModel::CountHits() {
    hits_ = {};
    hits_.Throttle = maps_.Throttle;
    hits_.Rpm = maps_.Rpm;
    hits_.HasAfr = afr_.has_value();
    const auto rpm = data_.Find(TLogQuantity::EngineSpeed);
    const auto tps = data_.Find(TLogQuantity::Throttle);
    if (!rpm || !tps || !hasDataSet_)
        return;
    struct TSums {
        double Error = 0.0, Correction = 0.0;
        int Errors = 0, Corrections = 0;
    };
    std::array<std::array<TSums, 16>, 16> sums{};
    for (std::size_t line = 0; line < data_.LineCount(); ++line) {
        const auto [t, r] = maps_.NearestCell(ThrottleRaw(data_.Column(*tps).Value(line)),
                                              RpmRaw(data_.Column(*rpm).Value(line)));
        const auto ti = static_cast<std::size_t>(t);
        const auto ri = static_cast<std::size_t>(r);
        ++hits_.Cells[ti][ri].Count;
        TSums& sum = sums[ti][ri];
        if (afr_ && target_[line]) {
            const double afr = data_.Column(*afr_).Value(line);
            if (IsAfrReading(afr)) {
                sum.Error += afr - *target_[line];
                ++sum.Errors;
            }
        }
        if (correction_) {
            sum.Correction += data_.Column(*correction_).Value(line);
            ++sum.Corrections;
        }
    }
    for (std::size_t t = 0; t < 16; ++t) {
        for (std::size_t r = 0; r < 16; ++r) {
            const TSums& sum = sums[t][r];
            if (sum.Errors > 0)
                hits_.Cells[t][r].AfrError = sum.Error / sum.Errors;
            if (sum.Corrections > 0)
                hits_.Cells[t][r].Correction = sum.Correction / sum.Corrections;
        }
    }
}

}  // namespace zv
