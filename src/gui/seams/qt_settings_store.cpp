#include "seams/qt_settings_store.h"

#include <QFileInfo>

namespace zv::gui {

namespace {

QString KeyOf(const std::string& section, const std::string& name) {
    return QStringLiteral("Settings/") + QString::fromStdString(section) + QLatin1Char('/') +
           QString::fromStdString(name);
}

}  // namespace

QtSettingsStore::QtSettingsStore()
    : settings_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                            kOrganization, kApplication)) {}

QtSettingsStore::QtSettingsStore(const QString& iniPath)
    : settings_(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

QVariant QtSettingsStore::Value(const std::string& section, const std::string& name) const {
    return settings_->value(KeyOf(section, name));
}

void QtSettingsStore::SetValue(const std::string& section, const std::string& name,
                               const QVariant& value) {
    settings_->setValue(KeyOf(section, name), value);
}

std::optional<int> QtSettingsStore::ReadInteger(const std::string& section,
                                                const std::string& name) {
    const QVariant v = Value(section, name);
    if (!v.isValid())
        return std::nullopt;
    bool ok = false;
    const int value = v.toString().trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

std::optional<bool> QtSettingsStore::ReadBool(const std::string& section, const std::string& name) {
    if (const auto number = ReadInteger(section, name))
        return *number != 0;
    const QString text = Value(section, name).toString().trimmed().toLower();
    if (text == QLatin1String("true"))
        return true;
    if (text == QLatin1String("false"))
        return false;
    return std::nullopt;
}

std::optional<std::string> QtSettingsStore::ReadString(const std::string& section,
                                                       const std::string& name) {
    const QVariant v = Value(section, name);
    if (!v.isValid())
        return std::nullopt;
    return v.toString().toStdString();
}

void QtSettingsStore::WriteBool(const std::string& section, const std::string& name, bool value) {
    SetValue(section, name, value ? 1 : 0);
}

void QtSettingsStore::WriteInteger(const std::string& section, const std::string& name, int value) {
    SetValue(section, name, value);
}

void QtSettingsStore::WriteString(const std::string& section, const std::string& name,
                                  const std::string& value) {
    SetValue(section, name, QString::fromStdString(value));
}

// QSettings keeps the first error it met, so a damaged file it read at start would report
// every later write as failed, even the one that has just replaced it with a sound file. After
// such a read the file itself tells: it is there and reads without error only when the write
// went through.
bool QtSettingsStore::Flush() {
    const bool damagedOnRead = settings_->status() == QSettings::FormatError;
    settings_->sync();
    if (!damagedOnRead)
        return settings_->status() == QSettings::NoError;
    const QString file = settings_->fileName();
    return QFileInfo::exists(file) &&
           QSettings(file, settings_->format()).status() == QSettings::NoError;
}

}  // namespace zv::gui
