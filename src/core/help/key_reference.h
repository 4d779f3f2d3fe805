#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/key_control.h"
#include "text/text_table.h"

namespace zv {

// One line of the key reference: the keys and what they do on the page.
struct TKeyRow {
    std::string Keys;
    std::string Action;
};

struct TKeyReference {
    std::string Title;
    std::string CloseButton;  // the dialog's one button, in the same language
    std::vector<TKeyRow> Rows;
};

// The keys of notebook page 0..11 as the unit with the given firmware index has them: the page's
// own keys first (its configured step keys included where the page honours them), then the
// function keys that work on every page.
TKeyReference KeyReference(int page, int firmware, Language lang, TConfiguredStepKeys stepKeys);

}  // namespace zv
