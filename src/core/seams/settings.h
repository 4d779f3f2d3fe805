#pragma once

#include <string>

#include "seams/settings_store.h"

namespace zv {

// The program's settings helpers, the only way it touches the settings store. Reading applies
// one rule everywhere: a boolean or integer that is missing or unreadable, and a string that is
// missing or empty, is written with its default and the default is returned, so that the store
// always shows every setting the program uses.
class TSettings {
  public:
    explicit TSettings(SettingsStore& store) : store_(store) {}

    bool f_ReadBool(const std::string& section, const std::string& name, bool defaultValue);
    int i_ReadInteger(const std::string& section, const std::string& name, int defaultValue);
    std::string s_ReadString(const std::string& section, const std::string& name,
                             const std::string& defaultValue);

    void v_WriteBool(const std::string& section, const std::string& name, bool value);
    void v_WriteInteger(const std::string& section, const std::string& name, int value);
    void v_WriteString(const std::string& section, const std::string& name,
                       const std::string& value);

    // True when everything written so far has reached the store's medium.
    bool Flush() { return store_.Flush(); }

  private:
    SettingsStore& store_;
};

}  // namespace zv
