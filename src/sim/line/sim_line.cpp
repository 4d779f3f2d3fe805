#include "line/sim_line.h"

#include <algorithm>
#include <utility>

namespace zv::sim {

namespace {

std::uint64_t CeilUs(std::uint64_t ns) {
    return (ns + 999u) / 1000u;
}

}  // namespace

TSimLine::TSimLine(VirtualTimerService& clock, std::vector<int> ports, UnitEndpoint* unit)
    : Clock_(clock),
      Unit_(unit),
      Ports_(std::move(ports)),
      PcTx_(
          clock, [](void* line) { static_cast<TSimLine*>(line)->PcByteArrived(); }, this),
      UnitTx_(
          clock, [](void* line) { static_cast<TSimLine*>(line)->UnitByteArrived(); }, this) {
    Ports_.erase(std::remove_if(Ports_.begin(), Ports_.end(),
                                [](int p) { return p < 1 || p > zv::SerialPort::kMaxPortNumber; }),
                 Ports_.end());
    std::sort(Ports_.begin(), Ports_.end());
    Ports_.erase(std::unique(Ports_.begin(), Ports_.end()), Ports_.end());
    if (!Ports_.empty())
        Port_ = Ports_.front();
}

void TSimLine::AttachUnit(UnitEndpoint* unit) {
    Unit_ = unit;
    PollUnit();
}

void TSimLine::SetRandomFaults(std::uint32_t seed, double dropRate, double corruptRate) {
    Random_.seed(seed);
    DropRate_ = std::clamp(dropRate, 0.0, 1.0);
    CorruptRate_ = std::clamp(corruptRate, 0.0, 1.0);
}

std::uint64_t TSimLine::ByteCount(LineDirection direction) const {
    return direction == LineDirection::PcToUnit ? PcTx_.Count : UnitTx_.Count;
}

std::vector<std::uint8_t> TSimLine::SentBytes(LineDirection direction) const {
    std::vector<std::uint8_t> bytes;
    for (const auto& b : Traffic_) {
        if (b.Direction == direction)
            bytes.push_back(b.Sent);
    }
    return bytes;
}

std::uint64_t TSimLine::WireUs() const {
    return (PcTx_.Completed + UnitTx_.Completed) * kByteNs / 1000u;
}

bool TSimLine::Idle() const {
    return !PcTx_.Busy && !UnitTx_.Busy && PcPending_.Empty() && !(Unit_ && Unit_->HasOutput());
}

TSimLine::Outcome TSimLine::ApplyFaults(LineDirection direction, std::uint64_t index,
                                        std::uint8_t byte) {
    Outcome out;
    out.Value = byte;
    for (const auto& f : Faults_) {
        if (f.Direction != direction || f.ByteIndex != index)
            continue;
        switch (f.Kind) {
            case LineFaultKind::Drop:
                out.Lost = true;
                break;
            case LineFaultKind::Corrupt:
                out.Value = static_cast<std::uint8_t>(out.Value ^ f.XorMask);
                break;
            case LineFaultKind::Delay:
                out.DelayUs += f.DelayUs;
                break;
        }
    }
    if (DropRate_ > 0.0 || CorruptRate_ > 0.0) {
        // Raw engine output keeps the draws identical on every platform.
        const double draw = static_cast<double>(Random_()) / 4294967296.0;
        if (draw < DropRate_) {
            out.Lost = true;
        } else if (draw < DropRate_ + CorruptRate_) {
            out.Value = static_cast<std::uint8_t>(out.Value ^ (1u << (Random_() % 8u)));
        }
    }
    if (!RatesMatch())
        out.Lost = true;
    return out;
}

void TSimLine::StartByte(Channel& channel, std::uint8_t byte, const Outcome& outcome) {
    const std::uint64_t nowNs = Clock_.NowUs() * 1000u;
    const std::uint64_t startNs = std::max(nowNs, channel.FreeAtNs) + outcome.DelayUs * 1000u;
    channel.FreeAtNs = startNs + kByteNs;
    channel.Busy = true;
    channel.Index = channel.Count;
    channel.Sent = byte;
    channel.InFlight = outcome;
    ++channel.Count;
    channel.Arrival.ArmAtUs(CeilUs(channel.FreeAtNs));
}

void TSimLine::Record(LineDirection direction, std::uint64_t index, std::uint8_t sent,
                      const Outcome& outcome) {
    if (!RecordTraffic_)
        return;
    LineByte b;
    b.Direction = direction;
    b.Index = index;
    b.EndUs = Clock_.NowUs();
    b.Sent = sent;
    b.Received = outcome.Value;
    b.Lost = outcome.Lost;
    Traffic_.push_back(b);
}

void TSimLine::StartNextPcByte() {
    if (PcTx_.Busy || PcPending_.Empty())
        return;
    const std::uint8_t byte = PcPending_.Pop();
    StartByte(PcTx_, byte, ApplyFaults(LineDirection::PcToUnit, PcTx_.Count, byte));
}

void TSimLine::PcByteArrived() {
    PcTx_.Busy = false;
    ++PcTx_.Completed;
    Outcome outcome = PcTx_.InFlight;
    if (!Unit_)
        outcome.Lost = true;
    Record(LineDirection::PcToUnit, PcTx_.Index, PcTx_.Sent, outcome);
    if (!outcome.Lost)
        Unit_->ReceiveByte(outcome.Value, Clock_.NowMs());
    PollUnit();
    StartNextPcByte();
}

void TSimLine::PollUnit() {
    SendUnitByte(ReplyLagUs_);
}

void TSimLine::SendUnitByte(std::uint64_t lagUs) {
    if (UnitTx_.Busy || !Unit_ || !Unit_->HasOutput())
        return;
    const std::uint8_t byte = Unit_->TakeOutputByte();
    Outcome outcome = ApplyFaults(LineDirection::UnitToPc, UnitTx_.Count, byte);
    outcome.DelayUs += lagUs;
    StartByte(UnitTx_, byte, outcome);
}

void TSimLine::UnitByteArrived() {
    UnitTx_.Busy = false;
    ++UnitTx_.Completed;
    Outcome outcome = UnitTx_.InFlight;
    if (!Open_)
        outcome.Lost = true;
    Record(LineDirection::UnitToPc, UnitTx_.Index, UnitTx_.Sent, outcome);
    if (!outcome.Lost) {
        RxQueue_.Push(outcome.Value);
        ++RxSinceNotify_;
    }
    SendUnitByte(0);  // the rest of a burst: an adapter holds back only its start
    const bool burstEnded = !UnitTx_.Busy;
    const bool chunkFull = RxChunk_ > 0 && RxSinceNotify_ >= RxChunk_;
    if (RxSinceNotify_ > 0 && (chunkFull || burstEnded)) {
        RxSinceNotify_ = 0;
        RaiseRxChar();
    }
}

bool TSimLine::Open() {
    if (Open_ || Port_ == 0)
        return false;
    if (std::find(Ports_.begin(), Ports_.end(), Port_) == Ports_.end())
        return false;
    Open_ = true;
    RxQueue_.Clear();
    RxSinceNotify_ = 0;
    return true;
}

void TSimLine::Close() {
    Open_ = false;
    RxQueue_.Clear();
    RxSinceNotify_ = 0;
    // The driver's transmit queue goes with the handle; a byte already on the wire finishes.
    PcPending_.Clear();
}

bool TSimLine::SetPort(int number) {
    if (number != 0 && std::find(Ports_.begin(), Ports_.end(), number) == Ports_.end())
        return false;
    Port_ = number;
    return true;
}

bool TSimLine::SetBaudIndex(int index) {
    if (zv::BaudRateOfIndex(index) == 0)
        return false;
    BaudIndex_ = index;
    return true;
}

std::size_t TSimLine::BytesAvailable() const {
    return Open_ ? RxQueue_.Size() : 0;
}

std::size_t TSimLine::ReadBuf(std::uint8_t* buffer, std::size_t n) {
    if (!Open_ || buffer == nullptr)
        return 0;
    return RxQueue_.Take(buffer, n);
}

std::size_t TSimLine::WriteBuf(const std::uint8_t* buffer, std::size_t n) {
    if (!Open_ || buffer == nullptr)
        return 0;
    PcPending_.Append(buffer, n);
    StartNextPcByte();
    return n;
}

std::string TSimLine::ReadString() {
    if (!Open_)
        return {};
    return RxQueue_.TakeAll();
}

}  // namespace zv::sim
