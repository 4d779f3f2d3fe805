#include "seams/settings.h"

namespace zv {

bool TSettings::f_ReadBool(const std::string& section, const std::string& name, bool defaultValue) {
    if (const auto value = store_.ReadBool(section, name))
        return *value;
    store_.WriteBool(section, name, defaultValue);
    return defaultValue;
}

int TSettings::i_ReadInteger(const std::string& section, const std::string& name,
                             int defaultValue) {
    if (const auto value = store_.ReadInteger(section, name))
        return *value;
    store_.WriteInteger(section, name, defaultValue);
    return defaultValue;
}

std::string TSettings::s_ReadString(const std::string& section, const std::string& name,
                                    const std::string& defaultValue) {
    if (auto value = store_.ReadString(section, name); value && !value->empty())
        return *value;
    store_.WriteString(section, name, defaultValue);
    return defaultValue;
}

void TSettings::v_WriteBool(const std::string& section, const std::string& name, bool value) {
    store_.WriteBool(section, name, value);
}

void TSettings::v_WriteInteger(const std::string& section, const std::string& name, int value) {
    store_.WriteInteger(section, name, value);
}

void TSettings::v_WriteString(const std::string& section, const std::string& name,
                              const std::string& value) {
    store_.WriteString(section, name, value);
}

}  // namespace zv
