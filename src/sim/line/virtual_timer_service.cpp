#include "line/virtual_timer_service.h"

#include <stdexcept>

namespace zv::sim {

namespace {

class VirtualTimer : public zv::Timer {
  public:
    explicit VirtualTimer(std::shared_ptr<EventQueue> queue)
        : Due_(std::move(queue), &VirtualTimer::FireThunk, this) {}

    void SetHandler(std::function<void()> handler) override { Handler_ = std::move(handler); }
    void SetInterval(int milliseconds) override {
        IntervalMs_ = milliseconds < 0 ? 0 : milliseconds;
        if (Active_)
            Start();
    }
    int Interval() const override { return IntervalMs_; }
    void SetSingleShot(bool singleShot) override { SingleShot_ = singleShot; }
    bool SingleShot() const override { return SingleShot_; }
    void Start() override {
        Active_ = true;
        Arm();
    }
    void Stop() override {
        Due_.Disarm();
        Active_ = false;
    }
    bool Active() const override { return Active_; }

  private:
    static void FireThunk(void* timer) { static_cast<VirtualTimer*>(timer)->Fire(); }

    // A repeating timer of 0 ms would never let the clock move on; it ticks every millisecond.
    std::uint64_t PeriodUs() const {
        const int ms = (IntervalMs_ == 0 && !SingleShot_) ? 1 : IntervalMs_;
        return static_cast<std::uint64_t>(ms) * 1000u;
    }
    void Arm() { Due_.ArmAtUs(Due_.NowUs() + PeriodUs()); }
    void Fire() {
        if (SingleShot_) {
            Active_ = false;
        } else {
            Arm();
        }
        // A copy, because the handler may install another one or destroy this timer.
        auto handler = Handler_;
        if (handler)
            handler();
    }

    RecurringEvent Due_;
    std::function<void()> Handler_;
    int IntervalMs_ = 0;
    bool SingleShot_ = false;
    bool Active_ = false;
};

}  // namespace

class VirtualTimerService::RunGuard {
  public:
    explicit RunGuard(bool& running) : Running_(running) {
        if (Running_)
            throw std::logic_error("virtual clock advanced from inside one of its events");
        Running_ = true;
    }
    ~RunGuard() { Running_ = false; }
    RunGuard(const RunGuard&) = delete;
    RunGuard& operator=(const RunGuard&) = delete;

  private:
    bool& Running_;
};

VirtualTimerService::VirtualTimerService(std::uint64_t startMs)
    : Queue_(std::make_shared<EventQueue>()) {
    Queue_->SetNowUs(startMs * 1000u);
}

std::unique_ptr<zv::Timer> VirtualTimerService::CreateTimer() {
    return std::make_unique<VirtualTimer>(Queue_);
}

std::uint32_t VirtualTimerService::GetTickCount() const {
    return static_cast<std::uint32_t>((Queue_->NowUs() / 1000u) & 0xFFFFFFFFu);
}

std::uint64_t VirtualTimerService::NowUs() const {
    return Queue_->NowUs();
}

VirtualTimerService::EventId VirtualTimerService::ScheduleAtUs(std::uint64_t atUs,
                                                               std::function<void()> action) {
    return Queue_->Schedule(atUs, std::move(action));
}

VirtualTimerService::EventId VirtualTimerService::ScheduleAfterUs(std::uint64_t delayUs,
                                                                  std::function<void()> action) {
    return Queue_->Schedule(Queue_->NowUs() + delayUs, std::move(action));
}

void VirtualTimerService::Cancel(EventId id) {
    Queue_->Cancel(id);
}

void VirtualTimerService::Advance(std::uint64_t ms) {
    AdvanceUs(ms * 1000u);
}

void VirtualTimerService::AdvanceUs(std::uint64_t us) {
    const RunGuard guard(Running_);
    const std::uint64_t target = Queue_->NowUs() + us;
    while (Queue_->RunNext(target)) {
    }
    Queue_->SetNowUs(target);
}

bool VirtualTimerService::RunUntil(const std::function<bool()>& done, std::uint64_t limitMs) {
    const RunGuard guard(Running_);
    if (done())
        return true;
    const std::uint64_t target = Queue_->NowUs() + limitMs * 1000u;
    while (Queue_->RunNext(target)) {
        if (done())
            return true;
    }
    Queue_->SetNowUs(target);
    return false;
}

std::optional<std::uint64_t> VirtualTimerService::NextDueUs() const {
    if (Queue_->Empty())
        return std::nullopt;
    return Queue_->EarliestDueUs();
}

std::size_t VirtualTimerService::PendingEvents() const {
    return Queue_->Pending();
}

}  // namespace zv::sim
