#include "app/single_instance.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace zv::gui {

namespace {

#ifdef Q_OS_WIN
// Local to the user's session, so that each user who is logged on runs one program.
const char* const kMutexName = "Local\\ZevrinPlusControl.SingleInstance";
#else
QString DefaultLockPath() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return QDir(dir).filePath(QStringLiteral("zevrin-plus-control.lock"));
}
#endif

}  // namespace

#ifdef Q_OS_WIN

TSingleInstance::TSingleInstance() : TSingleInstance(QString::fromLatin1(kMutexName)) {}

TSingleInstance::TSingleInstance(const QString& lockName) : name_(lockName) {}

TSingleInstance::~TSingleInstance() {
    if (mutex_ != nullptr)
        CloseHandle(static_cast<HANDLE>(mutex_));
}

bool TSingleInstance::Acquire() {
    if (mutex_ != nullptr)
        return true;
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name_.toLocal8Bit().constData());
    if (mutex == nullptr)
        return true;  // no guard to be had: better one program too many than none
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    mutex_ = mutex;
    return true;
}

#else

TSingleInstance::TSingleInstance() : TSingleInstance(DefaultLockPath()) {}

TSingleInstance::TSingleInstance(const QString& lockName)
    : name_(lockName), lock_(std::make_unique<QLockFile>(lockName)) {
    // Only a lock whose process is gone counts as stale, however long the program has run.
    lock_->setStaleLockTime(0);
}

TSingleInstance::~TSingleInstance() = default;

bool TSingleInstance::Acquire() {
    return lock_->tryLock(0);
}

#endif

}  // namespace zv::gui
