#include "app/single_instance.h"

#include <QDir>
#include <QStandardPaths>

namespace zv::gui {

namespace {

QString DefaultLockPath() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return QDir(dir).filePath(QStringLiteral("zevrin-plus-control.lock"));
}

}  // namespace

TSingleInstance::TSingleInstance() : TSingleInstance(DefaultLockPath()) {}

TSingleInstance::TSingleInstance(const QString& lockPath)
    : lock_(std::make_unique<QLockFile>(lockPath)) {
    // Only a lock whose process is gone counts as stale, however long the program has run.
    lock_->setStaleLockTime(0);
}

bool TSingleInstance::Acquire() {
    return lock_->tryLock(0);
}

}  // namespace zv::gui
