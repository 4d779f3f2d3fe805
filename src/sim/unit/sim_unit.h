#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "data/zv_data_class.h"
#include "unit/engine_model.h"
#include "unit/ident_text.h"

namespace zv::sim {

// What the simulated unit claims to be.
struct TSimUnitConfig {
    int DeviceType = 3;  // 1..4 supported; 5 identifies as "UNKNOWN"; 0 sends no type name at all
    int Firmware = 30;   // firmware index 0..40: decides write variant, map address, record layout
    // Eight characters at identification text positions 17..24: two letters, then the number that
    // the serial number tables know ("ZV000450" is type 3, n = 450). Shorter texts are padded with
    // blanks, longer ones cut. Empty: FindSerialNo(DeviceType, Firmware), or the first number of
    // the type's table when no entry gives that firmware (see SerialNoOf).
    std::string SerialNo;
    // false: the version code field carries six blanks, as on the older units that are known
    // by their serial number alone.
    bool ReportVersionCode = true;
    // false: the four characters of the firmware code are blanks (the unit reports none).
    bool ReportFirmwareCode = true;
    // A multi-byte request whose next byte comes later than this after the previous one is
    // abandoned and the byte starts a new request; the unit resynchronises this way after the
    // PC's time-outs (the shortest, the echo write's, is 30 ms).
    std::uint64_t RequestGapMs = 25;
    // Virtual time at which the engine behind the live records starts (cranking, then the
    // drive cycle of TDriveCycle).
    std::uint64_t EngineStartMs = 0;
    // How the engine is driven after its start.
    zv::TSimDrive Drive;
};

// One byte the unit stored into its memory (or refused to, see Stored).
struct TSimWrite {
    int Area = 0;               // 0, 1 or 2
    std::uint16_t Address = 0;  // unit address
    std::uint8_t Data = 0;
    bool Checksummed = false;  // checksummed variant (firmware 7 and higher) or echo variant
    bool Stored = false;       // false: address outside the area, nothing changed
    std::uint64_t AtMs = 0;
};

// Memory area sizes of the unit (area 0 is not used by any sequence of the program).
constexpr std::size_t kArea0Size = 256;
constexpr std::size_t kArea1Size = kAfrAreaSize;   // AFR area
constexpr std::size_t kArea2Size = kMainAreaSize;  // main area

// Whether the simulated unit can stand for a unit of the firmware index: 1 to 40. Index 0
// ("***") is the program's "no firmware": no unit identifies itself as it, so a unit claiming
// it would be taken for another firmware and read and written at the wrong places.
bool CanBeFirmware(int firmware);

// Unit address of the fuel map in area 2: 0x100 from firmware index 9 on, 0x300 below.
std::uint16_t FuelMapAddress(int firmware);
// Live record length of a firmware index: 11, 18, 24 or 28 bytes.
std::size_t LiveRecordLength(int firmware);

// The Zevrin plus unit as a program part: answers every request of the link protocol byte
// by byte from its memory areas, identifies itself as configured, produces live records from
// an engine model running on the virtual time it is given, and misbehaves on demand.
//
// Its answers, all decided when the last byte of a request arrives:
// - 0x16: 0x06. 0x02: the 176 characters of BuildIdentText. 0xA0: the live record of its
//   firmware's layout, from the engine model advanced to that moment.
// - 0xA8/0xA6/0xA4 hi lo chk (area 0/1/2): 0x06, 16 bytes, their XOR. Bytes past the end of the
//   area read 0xFF. A request whose chk is not hi XOR lo gets 0x15 alone: the unit will not
//   answer from an address it may have misheard, and the link repeats the block on its time-out.
// - Firmware 6 and lower, echo write 0xA7/0xA5/0xA2 (area 0/1/2): hi, lo and the data byte are
//   each echoed; 0x06 from the PC then stores the byte and the unit answers the byte read back
//   and 0x06 (past the area's end the read-back is 0xFF, so the PC sees the failure); 0x15
//   drops the byte, and the 0x16 that follows it is answered as a ping.
// - Firmware 7 and higher, checksummed write 0xA7/0xA5/0xA3 hi lo d chk: 0x06 when stored;
//   0x1B (which the link takes like 0x06) for an address past the area's end, nothing stored;
//   0x15 for a wrong chk, nothing stored, so that the link repeats after its 200 ms.
// - The write command of the other variant, 0x06/0x15/0x04 outside a dialogue and every other
//   byte: no answer. A request whose next byte is later than RequestGapMs is abandoned.
class TSimUnit {
  public:
    explicit TSimUnit(const TSimUnitConfig& config);
    TSimUnit(const TSimUnitConfig& config, const zv::ImageBytes& image);

    const TSimUnitConfig& Config() const { return Config_; }
    const std::string& IdentText() const { return IdentText_; }

    // Memory from a data set image (main area + AFR area, image layout of the data class).
    void LoadImage(const zv::ImageBytes& image);
    // Memory back in image layout (fuel map moved from its unit address to image offset 768).
    zv::ImageBytes ImageSnapshot() const;
    // Raw unit memory of an area (0, 1 or 2), addressed as on the wire. Before any loading the
    // main and AFR areas hold 0xFF and area 0 zeros. LoadArea copies as many bytes as fit.
    const std::vector<std::uint8_t>& AreaBytes(int area) const;
    void LoadArea(int area, const std::vector<std::uint8_t>& bytes);
    std::uint8_t Peek(int area, std::uint16_t address) const;
    void Poke(int area, std::uint16_t address, std::uint8_t value);

    // A byte has completely arrived at the unit at virtual time nowMs (milliseconds).
    void ReceiveByte(std::uint8_t byte, std::uint64_t nowMs);
    // Bytes the unit has decided to send, oldest first; the line takes them one at a time
    // (TakeOutputByte gives 0 when there is none).
    bool HasOutput() const { return !Output_.empty(); }
    std::uint8_t TakeOutputByte();
    std::size_t OutputSize() const { return Output_.size(); }

    // Faults on demand.
    void AnswerNextWith(std::uint8_t wrongByte);  // the first byte of the next reply is replaced
    // Ignores every byte that arrives before untilMs (and any request begun before it); output
    // already decided is still sent.
    void GoSilent(std::uint64_t untilMs);
    void Vanish();  // gone: answers nothing, pending output is lost
    void Reappear();
    // A memory that no longer takes bytes: nothing is stored, a checksummed write is answered
    // 0x15 and an echo write reads back the byte that stayed.
    void RefuseWrites(bool refuse) { RefuseWrites_ = refuse; }
    // A memory that has stopped keeping bytes without knowing it: a checksummed write is still
    // answered 0x06, but nothing is stored (an echo write reads back the byte that stayed).
    void ForgetWrites(bool forget) { ForgetWrites_ = forget; }
    bool Vanished() const { return Vanished_; }

    // Counters for tests. A request is counted by the byte that opened it; bytes that arrive
    // outside a dialogue (0x04, a stray 0x06) count as requests of their own.
    std::size_t RequestCount(std::uint8_t command) const;
    const std::map<std::uint8_t, std::size_t>& RequestCounts() const { return Requests_; }
    const std::vector<TSimWrite>& WriteLog() const { return Writes_; }
    // Requests refused for a wrong checksum, and echo writes the PC rejected with 0x15.
    std::size_t RejectedRequests() const { return Rejected_; }
    void ClearCounters();

    // The engine behind the live records.
    const TEngineModel& Engine() const { return Engine_; }
    TEngineModel& Engine() { return Engine_; }
    // The live record the unit would send at virtual time nowMs (also used by the 0xA0 answer).
    std::vector<std::uint8_t> LiveRecordAt(std::uint64_t nowMs);

  private:
    enum class RxState : std::uint8_t {
        Idle,
        ReadAddrHigh,
        ReadAddrLow,
        ReadCheck,  // block read
        EchoAddrHigh,
        EchoAddrLow,
        EchoData,
        EchoConfirm,  // echo write
        CsAddrHigh,
        CsAddrLow,
        CsData,
        CsCheck,  // checksummed write
    };

    void StartRequest(std::uint8_t byte, std::uint64_t nowMs);
    void Reply(std::initializer_list<std::uint8_t> bytes);
    void Reply(const std::vector<std::uint8_t>& bytes);
    void Store(int area, std::uint16_t address, std::uint8_t data, bool checksummed,
               std::uint64_t nowMs);
    std::vector<std::uint8_t>& Area(int area);
    bool InArea(int area, std::uint16_t address) const;
    TUnitMemoryView MemoryView() const;

    TSimUnitConfig Config_;
    std::string IdentText_;
    std::vector<std::uint8_t> Area0_, Area1_, Area2_;
    TEngineModel Engine_;

    RxState State_ = RxState::Idle;
    int ReqArea_ = 0;
    std::uint8_t AddrHigh_ = 0, AddrLow_ = 0, Data_ = 0;
    std::uint64_t LastByteMs_ = 0;

    std::deque<std::uint8_t> Output_;
    std::optional<std::uint8_t> WrongFirstByte_;
    std::uint64_t SilentUntilMs_ = 0;
    bool Vanished_ = false;
    bool RefuseWrites_ = false;
    bool ForgetWrites_ = false;

    std::map<std::uint8_t, std::size_t> Requests_;
    std::vector<TSimWrite> Writes_;
    std::size_t Rejected_ = 0;
};

}  // namespace zv::sim
