#include "data/unit_contents.h"

namespace zv {

void TUnitContents::Forget(const std::string& identText) {
    ident_ = identText;
    known_.reset();
    bytes_.fill(0);
}

void TUnitContents::Learn(std::size_t offset, std::span<const std::uint8_t> bytes) {
    for (std::size_t i = 0; i < bytes.size() && offset + i < kImageSize; ++i) {
        bytes_[offset + i] = bytes[i];
        known_.set(offset + i);
    }
}

ImageBytes TUnitContents::Overlaid(const ImageBytes& unknownFrom) const {
    ImageBytes image = unknownFrom;
    for (std::size_t i = 0; i < kImageSize; ++i) {
        if (known_.test(i))
            image[i] = bytes_[i];
    }
    return image;
}

}  // namespace zv
