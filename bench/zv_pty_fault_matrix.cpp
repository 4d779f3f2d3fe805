// The fault matrix over a real pseudo-terminal: the program on real timers and the real serial
// port against zvsim at true 9600-baud timing, each transfer under each fault zvsim can show,
// judged by the same rules as the runs on virtual time (zv_fault_matrix) against the unit's
// memory that zvsim saves when it ends. Prints one JSON object with the counts; any run that
// breaks a rule is listed on stderr. Slow by nature (about 20 minutes for 2 seeds).
//
//   zv_pty_fault_matrix [seeds]     (default 2 seeds)
#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>

#include "fault_matrix_plan.h"
#include "pty_fault_rig.h"

int main(int argc, char** argv) {
    using namespace zv::bench;
    QCoreApplication app(argc, argv);
    const bool debug = std::getenv("ZV_FM_DEBUG") != nullptr;
    QElapsedTimer clock;
    clock.start();
    qint64 started = 0;
    const RunCounts total = RunMatrix<PtyFaultRig>(
        PtyScenarios(), PtyFaults(), SeedsArgument(argc, argv, 2),
        [&](const Scenario&, const Fault&, int) { started = clock.elapsed(); },
        [&](const Scenario& s, const Fault& f, int seed, const RunCounts& run) {
            if (run.Faults() > 0 || debug)
                std::fprintf(stderr, "%s (%.1f s): %s\n", RunLabel(s, f, seed).c_str(),
                             static_cast<double>(clock.elapsed() - started) / 1000.0,
                             run.Describe().c_str());
        });
    std::printf("%s\n", total.Json().c_str());
    std::fprintf(stderr, "%.0f s\n", static_cast<double>(clock.elapsed()) / 1000.0);
    return total.Faults() == 0 ? 0 : 1;
}
