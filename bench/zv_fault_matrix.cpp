// Every transfer under every fault the line and the unit can show, at several rates and seeds,
// on virtual time with the simulated unit. Each run is judged against the unit's memory and the
// data set: a transfer reported done holds exactly the right bytes, a failure is reported as
// one, an edit queued while online reaches the unit or the data set says it did not, and every
// live record shown is one the unit sent, whole. Prints one JSON object with the counts.
//
//   zv_fault_matrix [seeds]     (default 12 seeds; any run that breaks a rule is listed on stderr)
#include <cstdio>
#include <cstdlib>

#include "fault_matrix_plan.h"
#include "fault_rig.h"

int main(int argc, char** argv) {
    using namespace zv::bench;
    const bool debug = std::getenv("ZV_FM_DEBUG") != nullptr;
    const RunCounts total = RunMatrix<FaultRig>(
        AllScenarios(), AllFaults(), SeedsArgument(argc, argv, 12),
        [debug](const Scenario& s, const Fault& f, int seed) {
            if (debug)
                std::fprintf(stderr, "RUN %s %s %.3f %d\n", s.Name.c_str(), KindName(f.Kind),
                             f.Rate, seed);
        },
        [](const Scenario& s, const Fault& f, int seed, const RunCounts& run) {
            if (run.Faults() > 0)
                std::fprintf(stderr, "%s: %s\n", RunLabel(s, f, seed).c_str(),
                             run.Describe().c_str());
        });
    std::printf("%s\n", total.Json().c_str());
    return total.Faults() == 0 ? 0 : 1;
}
