#pragma once

#include <string>

#include "text/text_table.h"

namespace zv {

// A text in both languages that is built at run time (a step name, a refusal naming its place),
// where a TextPair holds fixed texts.
struct TOwnedText {
    std::string German;
    std::string English;

    const std::string& Pick(Language lang) const {
        return lang == Language::German ? German : English;
    }
};

}  // namespace zv
