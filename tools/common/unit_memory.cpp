#include "unit_memory.h"

#include <fstream>
#include <iterator>

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

std::optional<ImageBytes> ReadRawMemory(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    if (bytes.size() != kImageSize)
        return std::nullopt;
    ImageBytes image{};
    std::copy(bytes.begin(), bytes.end(), image.begin());
    return image;
}

bool WriteRawMemory(const ImageBytes& image, const std::string& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(image.data()),
              static_cast<std::streamsize>(image.size()));
    out.close();
    return !out.fail();
}

}  // namespace zv::tool
