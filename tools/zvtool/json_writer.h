#pragma once

#include <cstdio>
#include <string>

namespace zv::tool {

// Just enough JSON for the tool's output: strings are UTF-8 and escaped as JSON requires.
inline std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char buffer[8];
                    std::snprintf(buffer, sizeof buffer, "\\u%04x",
                                  static_cast<unsigned>(static_cast<unsigned char>(c)));
                    out += buffer;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

template <typename Range>
std::string JsonNumbers(const Range& values) {
    std::string out = "[";
    bool first = true;
    for (const auto& v : values) {
        if (!first)
            out += ",";
        out += std::to_string(static_cast<long long>(v));
        first = false;
    }
    return out + "]";
}

}  // namespace zv::tool
