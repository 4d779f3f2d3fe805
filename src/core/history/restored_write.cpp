#include "history/restored_write.h"

#include "history/image_changes.h"

namespace zv {

namespace {

bool InFlagsWord(std::size_t offset) {
    return offset == img::FlagsWord || offset == img::FlagsWord + 1;
}

std::uint16_t WordOf(const std::vector<std::uint8_t>& bytes) {
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

// A step recorded before the image was encoded for another unit is restored where that unit
// keeps the bytes (the fuel map moved with the firmware). A place of an editor's own that no
// transfer knows stays as recorded; one the unit of now does not keep stays in the PC.
TImageWrite PlaceFor(const TRecordedWrite& write, int firmware) {
    TImageWrite place = write.Where;
    place.Pause = false;
    if (const auto unit = UnitPlaceOfBlock(write.Where.Offset, firmware)) {
        place.Area = unit->Area;
        place.Address = unit->Address;
        place.ToUnit = true;
    } else if (UnitPlaceOfBlock(write.Where.Offset, write.Firmware)) {
        place.ToUnit = false;
    }
    return place;
}

}  // namespace

TRestoredWrite RestoredWrite(const TRecordedWrite& write, THistoryEvent event,
                             const TZVDataSet& set) {
    const bool back = event == THistoryEvent::Undone;
    const std::vector<std::uint8_t>& to = back ? write.Old : write.New;
    const std::vector<std::uint8_t>& from = back ? write.New : write.Old;
    const std::size_t at = write.Where.Offset;
    const auto now = set.Image.begin() + static_cast<std::ptrdiff_t>(at);
    TRestoredWrite restored{PlaceFor(write, set.Firmware),
                            {now, now + static_cast<std::ptrdiff_t>(to.size())}};
    for (std::size_t i = 0; i < to.size(); ++i) {
        const auto changed = static_cast<std::uint8_t>(
            InFlagsWord(at + i) ? from[i] ^ to[i] : (from[i] != to[i] ? 0xFF : 0));
        restored.Bytes[i] =
            static_cast<std::uint8_t>((restored.Bytes[i] & ~changed) | (to[i] & changed));
    }
    if (at == img::PulseWord && to.size() >= 2 && WordOf(from) != WordOf(to)) {
        const auto word = WordBytes(RecodePulse(WordOf(to), write.Firmware, set.Firmware));
        restored.Bytes[0] = word[0];
        restored.Bytes[1] = word[1];
    }
    return restored;
}

}  // namespace zv
