#include "qt_wait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

namespace zv::bench {

bool WaitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer clock;
    clock.start();
    QTimer wake;  // done() is looked at least this often, whatever else happens
    wake.start(20);
    while (!done() && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return done();
}

}  // namespace zv::bench
