#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace zv::gui {

// One program per user: a lock file in the user's runtime folder. The lock names the process
// that holds it, so a run that crashed leaves no lock behind that could block the next start.
class TSingleInstance {
  public:
    TSingleInstance();
    explicit TSingleInstance(const QString& lockPath);
    // True when this process is now the one instance.
    bool Acquire();

  private:
    std::unique_ptr<QLockFile> lock_;
};

}  // namespace zv::gui
