#include "unit/unit_defaults.h"

#include "data/default_data.h"

namespace zv::sim {

int DeviceTypeForFirmware(int firmware) {
    if (firmware <= 8)
        return 1;
    if (firmware <= 23)
        return 2;
    if (firmware <= 36)
        return 3;
    return 4;
}

zv::ImageBytes NewDataSetImage(int firmware) {
    zv::TZVDataClass data;
    zv::ApplyDefaultFields(data);
    data.DeviceData.Firmware = static_cast<std::uint8_t>(firmware);
    data.FieldsToImage();
    data.FileImageToDevice();
    return data.DeviceData.Image;
}

}  // namespace zv::sim
