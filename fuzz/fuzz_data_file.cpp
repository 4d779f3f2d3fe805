// A data file of arbitrary bytes, read as the program opens one. A file that reads completely
// must save to a file that reads completely again and saves to the same lines: whatever the
// reader accepts, the program can write and read back without losing or changing a value.
// The data set is saved under the firmware its file named (as after a unit of that firmware
// reported its code), since the checks a read applies to the parameters depend on it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "data/data_file_reader.h"
#include "data/text_codec.h"
#include "data/zv_data_class.h"

namespace {

using namespace zv;

bool ReadLines(const std::vector<std::string>& lines, TZVDataClass& data) {
    const TLayoutCheck layout = UpgradeOldLayout(lines);
    if (layout.Layout == FileLayout::NotADataFile)
        return false;
    const auto& current = layout.Layout == FileLayout::Oldest ? layout.UpgradedLines : lines;
    const TReadContext context{Language::English, "fuzz.zvt", 1700000000};
    const TDataFileRead read = ReadDataFileLines(current, data, context);
    data.DeviceData.Firmware = static_cast<std::uint8_t>(read.FileFirmware);
    data.DeviceData.Ident.FirmwareCode = "C1";
    return read.Complete;
}

std::vector<std::string> SavedLines(TZVDataClass& data) {
    data.FieldsToImage();
    std::vector<std::string> lines;
    data.SaveToStrings(lines);
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(bytes), size);
    TZVDataClass first;
    if (!ReadLines(SplitLines(DecodeFileText(text)), first))
        return 0;
    const std::vector<std::string> saved = SavedLines(first);
    TZVDataClass second;
    if (!ReadLines(saved, second))
        std::abort();  // the program wrote a file it cannot read
    if (SavedLines(second) != saved)
        std::abort();  // saving what was read changed the data set
    return 0;
}
