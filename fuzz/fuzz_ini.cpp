// Arbitrary bytes as an INI text and as integers in it: lookups never fail, and a number that
// parses is found again under its key.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "data/ini_file.h"
#include "data/text_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    using namespace zv;
    const std::string text =
        DecodeFileText(std::string(reinterpret_cast<const char*>(bytes), size));
    const std::vector<std::string> lines = SplitLines(text);
    const IniFile ini(lines);

    // Every "key=value" line under the first section of its name (a later one of the same name
    // is not read), asked for the way the reader asks.
    std::string section;
    std::vector<std::string> seen;
    bool first = false;  // keys before the first section belong to none
    for (const auto& line : lines) {
        const std::string_view trimmed = TrimBlanks(line);
        if (!trimmed.empty() && trimmed.front() == '[') {
            // The name runs to the first "]", or to the end of a line that has none.
            section = std::string(TrimBlanks(trimmed.substr(1, trimmed.find(']') - 1)));
            first = true;
            for (const auto& name : seen)
                first = first && !EqualsIgnoreCase(name, section);
            seen.push_back(section);
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string::npos || !first)
            continue;
        const std::string key(TrimBlanks(std::string_view(line).substr(0, eq)));
        if (key.empty() || key.front() == ';')
            continue;
        if (!ini.HasKey(section, key))
            std::abort();  // a key that stands in the text must be found
        (void)ini.ReadString(section, key, "");
        (void)ini.ReadInteger(section, key, -1);
    }
    if (const auto value = ParseIniInteger(text)) {
        // The decimal form of a parsed number parses to the same number.
        if (ParseIniInteger(std::to_string(*value)) != value)
            std::abort();
    }
    (void)EqualsIgnoreCase(text, section);
    return 0;
}
