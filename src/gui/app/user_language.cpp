#include "app/user_language.h"

#include <QLocale>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace zv::gui {

int UserLanguageId() {
#ifdef Q_OS_WIN
    return GetUserDefaultLangID();
#else
    return QLocale::system().language() == QLocale::German ? 1031 : 1033;
#endif
}

}  // namespace zv::gui
