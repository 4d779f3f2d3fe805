#pragma once

namespace zv::gui {

// The user's default language identifier as Windows gives it (1031 German, 1033 English US);
// elsewhere 1031 for a German system locale and 1033 for any other.
int UserLanguageId();

}  // namespace zv::gui
