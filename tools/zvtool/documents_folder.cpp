#include "documents_folder.h"

#ifdef ZV_HAVE_PORTS
#include <QStandardPaths>
#else
#include <cstdlib>
#endif

namespace zv::tool {

#ifdef ZV_HAVE_PORTS

std::string DocumentsFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString();
}

#else

// Without Qt (the Windows build of the Qt-free parts): the profile's Documents folder.
std::string DocumentsFolder() {
    const char* profile = std::getenv("USERPROFILE");
    if (!profile)
        profile = std::getenv("HOME");
    return std::string(profile ? profile : ".") + "/Documents";
}

#endif

}  // namespace zv::tool
