#pragma once

#include <QSettings>
#include <memory>

#include "seams/settings_store.h"

namespace zv::gui {

// The settings in Qt's native store: on Windows the registry key
// HKEY_CURRENT_USER\SOFTWARE\Brenvik-dudizedode\Zevrin plus Control\Settings with one subkey per
// section, elsewhere Qt's native settings file of that organisation and application. Booleans
// are kept as the integers 0 and 1, as 32-bit registry values.
class QtSettingsStore : public SettingsStore {
  public:
    QtSettingsStore();
    // A store in a file of its own (tests).
    explicit QtSettingsStore(const QString& iniPath);

    std::optional<bool> ReadBool(const std::string& section, const std::string& name) override;
    std::optional<int> ReadInteger(const std::string& section, const std::string& name) override;
    std::optional<std::string> ReadString(const std::string& section,
                                          const std::string& name) override;
    void WriteBool(const std::string& section, const std::string& name, bool value) override;
    void WriteInteger(const std::string& section, const std::string& name, int value) override;
    void WriteString(const std::string& section, const std::string& name,
                     const std::string& value) override;
    bool Flush() override;

    static constexpr const char* kOrganization = "Brenvik-dudizedode";
    static constexpr const char* kApplication = "Zevrin plus Control";

  private:
    QVariant Value(const std::string& section, const std::string& name) const;
    void SetValue(const std::string& section, const std::string& name, const QVariant& value);

    std::unique_ptr<QSettings> settings_;
};

}  // namespace zv::gui
