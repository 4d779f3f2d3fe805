#include "logview/log_replay.h"

#include <algorithm>

namespace zv {

TLogReplay::TLogReplay(TimerService& timers, const TLogData& log)
    : log_(log), timers_(timers), timer_(timers.CreateTimer()) {
    timer_->SetInterval(kTickMs);
    timer_->SetHandler([this] { Tick(); });
}

void TLogReplay::SetLine(std::size_t line) {
    if (log_.LineCount() == 0)
        return;
    line_ = std::min(line, log_.LineCount() - 1);
    logTime_ = log_.Time(line_);
}

void TLogReplay::SetSpeed(int speed) {
    speed_ = speed == 4 || speed == 16 ? speed : 1;
}

void TLogReplay::Play() {
    if (log_.LineCount() == 0 || Playing())
        return;
    if (line_ + 1 >= log_.LineCount())
        SetLine(0);  // played to the end: from the start again
    logTime_ = log_.Time(line_);
    lastTick_ = timers_.GetTickCount();
    timer_->Start();
    if (LinePassed)
        LinePassed(line_);
    if (Changed)
        Changed();
}

void TLogReplay::Pause() {
    if (!Playing())
        return;
    timer_->Stop();
    if (Changed)
        Changed();
}

// The tick count measures the time really passed, so a late timer does not slow the replay.
void TLogReplay::Tick() {
    const std::uint32_t now = timers_.GetTickCount();
    logTime_ += static_cast<double>(now - lastTick_) * speed_ / 1000.0;
    lastTick_ = now;
    while (line_ + 1 < log_.LineCount() && log_.Time(line_ + 1) <= logTime_) {
        ++line_;
        if (LinePassed)
            LinePassed(line_);
    }
    if (line_ + 1 >= log_.LineCount())
        Pause();
}

}  // namespace zv
