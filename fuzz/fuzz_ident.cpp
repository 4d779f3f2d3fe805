// Arbitrary bytes as the unit's identification text: parsing never fails and every result it
// gives is one the online mode can act on.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "data/firmware_table.h"
#include "link/global_class.h"
#include "link/unit_ident.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    using namespace zv;
    static const TGlobalClass global;
    const std::string text(reinterpret_cast<const char*>(bytes), size);
    const TIdentResult result = ParseIdentification(text, global);
    if (result.Ident.Text != text.substr(0, ident::kTextLength))
        std::abort();
    if (result.Result == TIdentResult::Outcome::Identified &&
        (result.Firmware < 0 || result.Firmware > kFirmwareUnknown))
        std::abort();
    (void)IdentCharactersAllowed(text);
    const long serial = SerialNumberValue(text);
    if (serial < -1 || serial > 999999999)
        std::abort();
    return 0;
}
