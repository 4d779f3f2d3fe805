#pragma once

#include <QString>
#include <memory>

class QLockFile;

namespace zv::gui {

// One program per user. On Windows a named mutex, which the system drops with the process that
// holds it; elsewhere a lock file in the user's runtime folder that names the process holding it.
// Either way a run that crashed leaves nothing behind that could block the next start.
class TSingleInstance {
  public:
    TSingleInstance();
    explicit TSingleInstance(const QString& lockName);
    ~TSingleInstance();
    TSingleInstance(const TSingleInstance&) = delete;
    TSingleInstance& operator=(const TSingleInstance&) = delete;
    // True when this process is now the one instance.
    bool Acquire();

  private:
    QString name_;
#ifdef Q_OS_WIN
    void* mutex_ = nullptr;
#else
    std::unique_ptr<QLockFile> lock_;
#endif
};

}  // namespace zv::gui
