#pragma once

#include <cstdint>
#include <deque>
#include <random>
#include <vector>

#include "line/sim_line.h"
#include "line/unit_endpoint.h"
#include "line/virtual_timer_service.h"
#include "unit/sim_unit.h"

namespace zv::sim {

// The simulated unit behind the line, with stray bytes on demand, and a record of every live
// record it sent (where it lies in the unit's byte stream), so that a run can tell whether a
// record the program showed is one the unit sent, whole.
class WatchedUnit : public UnitEndpoint {
  public:
    explicit WatchedUnit(TSimUnit& unit) : Unit_(unit) {}
    void ReceiveByte(std::uint8_t byte, std::uint64_t nowMs) override;
    bool HasOutput() const override { return !Noise_.empty() || Unit_.HasOutput(); }
    std::uint8_t TakeOutputByte() override;
    void AddNoise(std::uint8_t byte) { Noise_.push_back(byte); }
    // Line noise for the rest of the run: one to three stray bytes every 100 to 600 ms, drawn
    // from rng (which must outlive the clock's events).
    void StartNoise(VirtualTimerService& clock, TSimLine& line, std::mt19937& rng);
    // First index (in the unit's byte stream) of every live record it sent.
    const std::vector<std::uint64_t>& RecordStarts() const { return RecordStarts_; }

  private:
    TSimUnit& Unit_;
    std::deque<std::uint8_t> Noise_;
    std::uint64_t Taken_ = 0;
    std::vector<std::uint64_t> RecordStarts_;
};

// What reached the PC of each byte the unit sent, by its index in the unit's stream: the byte
// as received, or -1 when it was lost.
std::vector<int> ReceivedUnitBytes(const std::vector<LineByte>& traffic);

// Whether record is what arrived from one of the last `window` live records the unit sent, all
// of it and in place.
bool RecordWasSent(const std::vector<std::uint8_t>& record, const std::vector<int>& received,
                   const std::vector<std::uint64_t>& starts, std::size_t window);

}  // namespace zv::sim
