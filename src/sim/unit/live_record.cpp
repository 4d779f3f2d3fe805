#include "unit/live_record.h"

#include <algorithm>

#include "unit/sim_unit.h"

namespace zv::sim {

namespace {

std::uint8_t Xor(const std::vector<std::uint8_t>& r, std::size_t count) {
    std::uint8_t x = 0;
    for (std::size_t i = 0; i < count; ++i)
        x = static_cast<std::uint8_t>(x ^ r[i]);
    return x;
}

std::uint8_t Low(std::uint16_t w) {
    return static_cast<std::uint8_t>(w & 0xFF);
}
std::uint8_t High(std::uint16_t w) {
    return static_cast<std::uint8_t>(w >> 8);
}

// Byte 19 while the wideband startup runs: whole seconds left (Live24) or half seconds
// (Live28, which the program halves again).
std::uint8_t StartupCount(std::uint32_t ms, std::uint32_t unitMs) {
    return static_cast<std::uint8_t>(std::min<std::uint32_t>((ms + unitMs - 1) / unitMs, 255));
}

}  // namespace

std::vector<std::uint8_t> PackLiveRecord(const TLiveValues& v, int firmware) {
    const std::size_t length = LiveRecordLength(firmware);
    std::vector<std::uint8_t> r(length, 0);
    if (length == 11) {
        // The older units send the same quantities in their own order; bytes 2, 3, 5, 6 and 10
        // are not read by the program.
        r[0] = v.RpmRaw;
        r[1] = v.TpsRaw;
        r[2] = v.AnaInF;
        r[3] = v.AnaInE;
        r[4] = v.LMVal;
        r[5] = v.CompFVal;
        r[6] = v.LoopCnt;
        r[7] = v.Status;
        r[8] = v.LMOut;
        r[9] = v.IdlePosition;
        r[10] = Xor(r, 10);
        return r;
    }
    r[0] = v.Status;
    r[1] = v.RpmRaw;
    r[2] = v.TpsRaw;
    r[3] = v.IdlePosition;
    r[4] = v.IdleVal;
    r[5] = v.AnaInF;
    r[6] = v.CompFVal;
    r[7] = v.AnaInE;
    r[8] = v.CompEVal;
    r[9] = v.UFoto;
    r[10] = v.LMVal;
    r[11] = v.LMVal1;
    r[12] = v.LMVal2;
    r[13] = v.LMOut;
    r[14] = v.LambdaVal;
    r[15] = v.NbFlags;
    r[16] = v.LoopCnt;
    r[17] = v.TpsAccel;
    if (length == 18)
        return r;

    const bool startupDone = (v.WboFlags & 0x40) != 0;
    r[18] = v.WboFlags;
    r[19] = startupDone ? v.WboCorrection : StartupCount(v.WboStartupMs, length == 28 ? 500 : 1000);
    r[20] = v.TpsScaled;
    r[21] = Low(v.WbAdc);
    r[22] = High(v.WbAdc);
    r[23] = Xor(r, 23);  // a check byte over the record; the program does not read it
    if (length == 24)
        return r;

    r[24] = Low(v.Rpm);
    r[25] = High(v.Rpm);
    r[26] = Low(v.InjectorUs);
    r[27] = High(v.InjectorUs);
    return r;
}

}  // namespace zv::sim
