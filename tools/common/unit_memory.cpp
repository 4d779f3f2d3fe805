#include "unit_memory.h"

#include "app/main_model.h"
#include "console_dialogs.h"
#include "data/firmware_table.h"
#include "unit/unit_defaults.h"

namespace zv::tool {

std::optional<ImageBytes> ImageForUnit(const std::string& path, int firmware, Language lang) {
    if (path.empty())
        return sim::NewDataSetImage(firmware);
    ConsoleDialogs dialogs;
    MemorySettingsStore settings;
    TMainModel model(dialogs, settings);
    model.SetLanguage(lang);
    model.SetReadOnlyOpen(true);  // the file only feeds the unit: it stays as it is
    if (!model.OpenDataFile(path))
        return std::nullopt;
    TZVDataClass& d = model.Data();
    d.DeviceData.Firmware = static_cast<std::uint8_t>(firmware);
    d.FieldsToImage();
    d.FileImageToDevice();
    return d.DeviceData.Image;
}

bool SaveUnitMemory(const sim::TSimUnit& unit, int firmware, const std::string& path,
                    Language lang) {
    ConsoleDialogs dialogs;
    MemorySettingsStore settings;
    TMainModel model(dialogs, settings);
    model.SetLanguage(lang);
    model.CreateNewDataSet(path);
    TZVDataClass& d = model.Data();
    d.DeviceData.Image = unit.ImageSnapshot();
    d.DeviceData.Firmware = static_cast<std::uint8_t>(firmware);
    d.DeviceData.Ident.FirmwareCode = FirmwareName(firmware);
    d.DeviceData.Ident.SerialNo = unit.IdentText().substr(16, 8);
    d.Comment = {std::string("Memory of the simulated unit, firmware ") + FirmwareName(firmware)};
    return model.SaveDataFile();
}

}  // namespace zv::tool
