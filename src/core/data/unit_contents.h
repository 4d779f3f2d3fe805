#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "data/zv_data_class.h"

namespace zv {

// What the connected unit holds, byte by byte of the image, as far as the program has read it
// from the unit: an upload, and the read-back that confirms every write. Only reads count, so
// a write that failed or was cut off leaves the byte as the unit really has it. Bytes never read
// are unknown. Kept for one unit: its identification text says which.
class TUnitContents {
  public:
    // Another unit, or none: nothing is known any more.
    void Forget(const std::string& identText = {});
    const std::string& IdentText() const { return ident_; }

    // The unit was read to hold these bytes at these image offsets.
    void Learn(std::size_t offset, std::span<const std::uint8_t> bytes);
    // A write of the byte went out: until it is read back, the unit may hold either value.
    void Unlearn(std::size_t offset) {
        if (offset < kImageSize)
            known_.reset(offset);
    }

    bool Knows(std::size_t offset) const { return offset < kImageSize && known_.test(offset); }
    std::uint8_t At(std::size_t offset) const { return offset < kImageSize ? bytes_[offset] : 0; }
    bool KnowsAny() const { return known_.any(); }
    // The working byte is in the unit: known there with this value.
    bool Holds(std::size_t offset, std::uint8_t value) const {
        return Knows(offset) && bytes_[offset] == value;
    }
    // The unit's bytes as last read, and unknown ones from the image given.
    ImageBytes Overlaid(const ImageBytes& unknownFrom) const;

  private:
    std::string ident_;
    ImageBytes bytes_{};
    std::bitset<kImageSize> known_;
};

}  // namespace zv
