#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>

namespace zv {

// Typed persistent values by section and name. The store only keeps values; the reading rule
// (missing values are written with their default) lives in core's settings helpers.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    virtual std::optional<bool> ReadBool(const std::string& section, const std::string& name) = 0;
    virtual std::optional<int> ReadInteger(const std::string& section, const std::string& name) = 0;
    virtual std::optional<std::string> ReadString(const std::string& section, const std::string& name) = 0;
    virtual void WriteBool(const std::string& section, const std::string& name, bool value) = 0;
    virtual void WriteInteger(const std::string& section, const std::string& name, int value) = 0;
    virtual void WriteString(const std::string& section, const std::string& name, const std::string& value) = 0;
    // Makes what was written permanent; false when the medium refused it.
    virtual bool Flush() { return true; }
};

// A store that lives in memory: tests and the command-line tool use it.
class MemorySettingsStore : public SettingsStore {
public:
    std::optional<bool> ReadBool(const std::string& section, const std::string& name) override {
        auto it = bools_.find({section, name});
        return it == bools_.end() ? std::nullopt : std::optional<bool>(it->second);
    }
    std::optional<int> ReadInteger(const std::string& section, const std::string& name) override {
        auto it = ints_.find({section, name});
        return it == ints_.end() ? std::nullopt : std::optional<int>(it->second);
    }
    std::optional<std::string> ReadString(const std::string& section, const std::string& name) override {
        auto it = strings_.find({section, name});
        return it == strings_.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    void WriteBool(const std::string& section, const std::string& name, bool value) override {
        bools_[{section, name}] = value;
    }
    void WriteInteger(const std::string& section, const std::string& name, int value) override {
        ints_[{section, name}] = value;
    }
    void WriteString(const std::string& section, const std::string& name, const std::string& value) override {
        strings_[{section, name}] = value;
    }

private:
    using Key = std::pair<std::string, std::string>;
    std::map<Key, bool> bools_;
    std::map<Key, int> ints_;
    std::map<Key, std::string> strings_;
};

}  // namespace zv
