#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "line/byte_fifo.h"
#include "line/unit_endpoint.h"
#include "line/virtual_timer_service.h"
#include "seams/serial_port.h"

namespace zv::sim {

enum class LineDirection : std::uint8_t { PcToUnit, UnitToPc };
enum class LineFaultKind : std::uint8_t { Drop, Corrupt, Delay };

// A fault for one byte, counted per direction from the first byte the line ever carried
// (ByteCount() gives the index the next byte will have).
struct LineFault {
    LineDirection Direction = LineDirection::UnitToPc;
    std::uint64_t ByteIndex = 0;
    LineFaultKind Kind = LineFaultKind::Drop;
    std::uint8_t XorMask = 0xFF;  // Corrupt: the bits that flip
    std::uint64_t DelayUs = 0;    // Delay: the line stays quiet this long before the byte
};

// One byte that crossed (or was lost on) the line.
struct LineByte {
    LineDirection Direction = LineDirection::PcToUnit;
    std::uint64_t Index = 0;  // per direction
    std::uint64_t EndUs = 0;  // its last bit arrived
    std::uint8_t Sent = 0;
    std::uint8_t Received = 0;  // what the far end got (differs when corrupted)
    bool Lost = false;          // dropped, or the far end was not listening
};

// The serial line between the link and the unit on virtual time: 9600 baud, 8N1, so one byte
// takes 10 bit times (1.0417 ms) in each direction, both directions at once. The unit gets a
// PC byte when its last bit has arrived and its answer bytes come back at the same speed.
// Receive notifications come in configurable chunks, and bytes can be dropped, corrupted or
// delayed in either direction.
class TSimLine : public zv::SerialPort {
  public:
    static constexpr std::uint64_t kByteNs = 1041667;  // 10 bits at 9600 bits per second

    // Only the listed port numbers exist; the unit may be attached later.
    TSimLine(VirtualTimerService& clock, std::vector<int> ports = {1},
             UnitEndpoint* unit = nullptr);

    void AttachUnit(UnitEndpoint* unit);
    // Starts sending whatever the unit has queued; the line does so by itself after every byte
    // it delivers to the unit.
    void PollUnit();

    // 1: a notification per arriving byte. 0: one notification when the unit stops sending.
    // n: one per n bytes, and one when the unit stops sending.
    void SetRxChunk(std::size_t bytesPerNotification) { RxChunk_ = bytesPerNotification; }
    // Baud index of the unit's side; a port set to another rate receives and sends garbage
    // that neither end accepts.
    void SetLineBaudIndex(int index) { LineBaudIndex_ = index; }

    // A USB-serial adapter on the PC's side holds received bytes back for its latency timer:
    // the first byte of each reply (a burst after the unit's side fell quiet) leaves this much
    // later, the rest of the burst follows it at line speed.
    void SetReplyLagUs(std::uint64_t us) { ReplyLagUs_ = us; }

    void InjectFault(const LineFault& fault) { Faults_.push_back(fault); }
    void ClearFaults() { Faults_.clear(); }
    // Random faults from a fixed seed, the same in every run: each byte is dropped or corrupted
    // with the given probability (0..1).
    void SetRandomFaults(std::uint32_t seed, double dropRate, double corruptRate);
    // Bytes so far in a direction: the index the next byte will have.
    std::uint64_t ByteCount(LineDirection direction) const;

    // Every byte kept, for a run that checks what crossed the line afterwards. Only on request:
    // the record grows with each byte, and a line that carries live records for hours (the
    // program's built-in unit, zvtool watch) must not.
    void SetRecordTraffic(bool record) { RecordTraffic_ = record; }
    const std::vector<LineByte>& Traffic() const { return Traffic_; }
    void ClearTraffic() { Traffic_.clear(); }
    // Bytes as sent in one direction, in order (from the recorded traffic).
    std::vector<std::uint8_t> SentBytes(LineDirection direction) const;
    // Wire time of every byte that has crossed the line so far, in microseconds.
    std::uint64_t WireUs() const;
    bool Idle() const;  // nothing in flight or waiting in either direction

    // SerialPort
    bool Open() override;
    void Close() override;
    bool IsOpen() const override { return Open_; }
    bool SetPort(int number) override;
    int Port() const override { return Port_; }
    std::vector<int> AvailablePorts() const override { return Ports_; }
    bool SetBaudIndex(int index) override;
    int BaudIndex() const override { return BaudIndex_; }
    std::size_t BytesAvailable() const override;
    std::size_t ReadBuf(std::uint8_t* buffer, std::size_t n) override;
    std::size_t WriteBuf(const std::uint8_t* buffer, std::size_t n) override;
    std::string ReadString() override;

  private:
    struct Outcome {
        std::uint8_t Value = 0;
        bool Lost = false;
        std::uint64_t DelayUs = 0;
    };
    // One direction of the line carries one byte at a time; its arrival is one event, re-armed
    // for every byte, so that the line allocates nothing per byte.
    struct Channel {
        Channel(VirtualTimerService& clock, EventQueue::FireFn arrived, void* line)
            : Arrival(clock.Events(), arrived, line) {}
        std::uint64_t Count = 0;      // bytes started
        std::uint64_t Completed = 0;  // bytes whose last bit has gone out
        std::uint64_t FreeAtNs = 0;
        bool Busy = false;
        // The byte on the wire.
        std::uint64_t Index = 0;
        std::uint8_t Sent = 0;
        Outcome InFlight;
        RecurringEvent Arrival;
    };

    Outcome ApplyFaults(LineDirection direction, std::uint64_t index, std::uint8_t byte);
    void StartByte(Channel& channel, std::uint8_t byte, const Outcome& outcome);
    void Record(LineDirection direction, std::uint64_t index, std::uint8_t sent,
                const Outcome& outcome);
    void StartNextPcByte();
    // Starts the unit's next byte when the line is free, lagUs late.
    void SendUnitByte(std::uint64_t lagUs);
    void PcByteArrived();
    void UnitByteArrived();
    bool RatesMatch() const { return BaudIndex_ == LineBaudIndex_; }

    VirtualTimerService& Clock_;
    UnitEndpoint* Unit_ = nullptr;
    std::vector<int> Ports_;
    int Port_ = 0;
    int BaudIndex_ = zv::kBaud9600Index;
    int LineBaudIndex_ = zv::kBaud9600Index;
    bool Open_ = false;

    ByteFifo PcPending_;  // written by the PC, not yet on the wire
    ByteFifo RxQueue_;    // arrived at the PC, not yet read
    Channel PcTx_;
    Channel UnitTx_;
    std::size_t RxChunk_ = 1;
    std::uint64_t ReplyLagUs_ = 0;
    std::size_t RxSinceNotify_ = 0;

    std::vector<LineFault> Faults_;
    std::mt19937 Random_;
    double DropRate_ = 0.0;
    double CorruptRate_ = 0.0;

    bool RecordTraffic_ = false;
    std::vector<LineByte> Traffic_;
};

}  // namespace zv::sim
