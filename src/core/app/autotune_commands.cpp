// Autotune's proposal into the working data set.
#include "app/main_model.h"
#include "autotune/autotune_apply.h"

namespace zv {

int TMainModel::ApplyAutotune(const TTuneResult& result, const std::optional<TCellRect>& block) {
    return zv::ApplyAutotune(
        history_,
        [this](const TImageWrite& where, std::span<const std::uint8_t> bytes) {
            return WriteImage(where, bytes);
        },
        data_.DeviceData, AutotuneChanges(result, block));
}

}  // namespace zv
