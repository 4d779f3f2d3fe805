#include "line/virtual_timer_service.h"

#include <stdexcept>

namespace zv::sim {

namespace {

class VirtualTimer : public zv::Timer {
  public:
    explicit VirtualTimer(std::shared_ptr<VirtualTimerService::Queue> queue)
        : Queue_(std::move(queue)) {}
    ~VirtualTimer() override { Queue_->Cancel(Pending_); }

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
        Queue_->Cancel(Pending_);
        Active_ = true;
        Arm();
    }
    void Stop() override {
        Queue_->Cancel(Pending_);
        Pending_ = 0;
        Active_ = false;
    }
    bool Active() const override { return Active_; }

  private:
    // A repeating timer of 0 ms would never let the clock move on; it ticks every millisecond.
    std::uint64_t PeriodUs() const {
        const int ms = (IntervalMs_ == 0 && !SingleShot_) ? 1 : IntervalMs_;
        return static_cast<std::uint64_t>(ms) * 1000u;
    }
    void Arm() {
        Pending_ = Queue_->Schedule(Queue_->NowUs + PeriodUs(), [this] { Fire(); });
    }
    void Fire() {
        Pending_ = 0;
        if (SingleShot_) {
            Active_ = false;
        } else {
            Arm();
        }
        // A copy, because the handler may install another one.
        auto handler = Handler_;
        if (handler)
            handler();
    }

    std::shared_ptr<VirtualTimerService::Queue> Queue_;
    std::function<void()> Handler_;
    int IntervalMs_ = 0;
    bool SingleShot_ = false;
    bool Active_ = false;
    VirtualTimerService::EventId Pending_ = 0;
};

}  // namespace

VirtualTimerService::EventId VirtualTimerService::Queue::Schedule(std::uint64_t atUs,
                                                                  std::function<void()> action) {
    if (atUs < NowUs)
        atUs = NowUs;
    const EventId id = NextId++;
    Events.emplace(std::make_pair(atUs, id), std::move(action));
    DueOf.emplace(id, atUs);
    return id;
}

void VirtualTimerService::Queue::Cancel(EventId id) {
    auto it = DueOf.find(id);
    if (it == DueOf.end())
        return;
    Events.erase({it->second, id});
    DueOf.erase(it);
}

bool VirtualTimerService::Queue::RunNext(std::uint64_t limitUs) {
    if (Events.empty())
        return false;
    auto first = Events.begin();
    if (first->first.first > limitUs)
        return false;
    NowUs = first->first.first;
    auto action = std::move(first->second);
    DueOf.erase(first->first.second);
    Events.erase(first);
    action();
    return true;
}

VirtualTimerService::VirtualTimerService(std::uint64_t startMs)
    : Queue_(std::make_shared<Queue>()) {
    Queue_->NowUs = startMs * 1000u;
}

std::unique_ptr<zv::Timer> VirtualTimerService::CreateTimer() {
    return std::make_unique<VirtualTimer>(Queue_);
}

std::uint32_t VirtualTimerService::GetTickCount() const {
    return static_cast<std::uint32_t>((Queue_->NowUs / 1000u) & 0xFFFFFFFFu);
}

std::uint64_t VirtualTimerService::NowUs() const {
    return Queue_->NowUs;
}

VirtualTimerService::EventId VirtualTimerService::ScheduleAtUs(std::uint64_t atUs,
                                                               std::function<void()> action) {
    return Queue_->Schedule(atUs, std::move(action));
}

VirtualTimerService::EventId VirtualTimerService::ScheduleAfterUs(std::uint64_t delayUs,
                                                                  std::function<void()> action) {
    return Queue_->Schedule(Queue_->NowUs + delayUs, std::move(action));
}

void VirtualTimerService::Cancel(EventId id) {
    Queue_->Cancel(id);
}

void VirtualTimerService::EnterRun() {
    // Advancing from inside an event would run later events before the current one finished.
    if (Queue_->Running)
        throw std::logic_error("virtual clock advanced from inside one of its events");
}

void VirtualTimerService::Advance(std::uint64_t ms) {
    AdvanceUs(ms * 1000u);
}

void VirtualTimerService::AdvanceUs(std::uint64_t us) {
    EnterRun();
    Queue_->Running = true;
    const std::uint64_t target = Queue_->NowUs + us;
    try {
        while (Queue_->RunNext(target)) {
        }
    } catch (...) {
        Queue_->Running = false;
        throw;
    }
    Queue_->Running = false;
    Queue_->NowUs = target;
}

bool VirtualTimerService::RunUntil(const std::function<bool()>& done, std::uint64_t limitMs) {
    EnterRun();
    if (done())
        return true;
    Queue_->Running = true;
    const std::uint64_t target = Queue_->NowUs + limitMs * 1000u;
    bool result = false;
    try {
        while (Queue_->RunNext(target)) {
            if (done()) {
                result = true;
                break;
            }
        }
    } catch (...) {
        Queue_->Running = false;
        throw;
    }
    Queue_->Running = false;
    if (!result)
        Queue_->NowUs = target;
    return result;
}

std::optional<std::uint64_t> VirtualTimerService::NextDueUs() const {
    if (Queue_->Events.empty())
        return std::nullopt;
    return Queue_->Events.begin()->first.first;
}

std::size_t VirtualTimerService::PendingEvents() const {
    return Queue_->Events.size();
}

}  // namespace zv::sim
