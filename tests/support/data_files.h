#pragma once

#include <string>
#include <vector>

#include "app/main_model.h"
#include "data/text_codec.h"
#include "scripted_dialogs.h"

namespace zv::test {

// The lines of a new data set's file exactly as the program saves it.
inline std::vector<std::string> NewFileLines() {
    ScriptedDialogs dialogs;
    MemorySettingsStore settings;
    TMainModel model(dialogs, settings);
    model.Now = [] { return std::time_t{0}; };
    model.CreateNewDataSet("new.zvt");
    model.Data().ImageToFields();
    std::vector<std::string> lines;
    model.Data().SaveToStrings(lines);
    return lines;
}

inline std::string ToFileText(const std::vector<std::string>& lines) { return JoinLinesCrlf(lines); }

// Replaces the first line that starts with prefix (and returns true), e.g. "T3=" or "Pulse=".
inline bool ReplaceLine(std::vector<std::string>& lines, const std::string& prefix, const std::string& line) {
    for (auto& l : lines) {
        if (l.rfind(prefix, 0) == 0) {
            l = line;
            return true;
        }
    }
    return false;
}

inline bool RemoveLine(std::vector<std::string>& lines, const std::string& prefix) {
    for (auto it = lines.begin(); it != lines.end(); ++it) {
        if (it->rfind(prefix, 0) == 0) {
            lines.erase(it);
            return true;
        }
    }
    return false;
}

// A main model with scripted dialogs, a fixed clock and in-memory settings.
struct ModelFixture {
    ScriptedDialogs dialogs;
    MemorySettingsStore settings;
    TMainModel model{dialogs, settings};
    ModelFixture() { model.Now = [] { return std::time_t{1700000000}; }; }
};

}  // namespace zv::test
