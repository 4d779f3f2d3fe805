#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "fault_judge.h"
#include "link/transfer_table.h"
#include "online/sequences.h"

namespace zv::bench {

// One transfer (or the live stream) as the fault matrix runs it.
struct Scenario {
    std::string Name;
    TSequence Sequence;  // Main: going online and editing while the stream runs
    int Firmware;
    std::vector<TTransfer> Transfers;  // what the sequence moves, in order
    bool Upload = false;
};

struct Fault {
    FaultKind Kind;
    double Rate;  // per byte, or the silence in seconds
};

// Every transfer: full upload and download (echo and checksummed firmware), each map and
// curve, the live stream on both firmware sides.
std::vector<Scenario> AllScenarios();
// Every fault the line and the unit can show on virtual time, at several rates.
std::vector<Fault> AllFaults();

// The slice run over a pseudo-terminal against zvsim, where a run takes seconds: the full
// transfers and the live stream of the checksummed firmware, the echo download, the faults zvsim
// can show (vanish: zvsim ended and started again on its saved memory 0.3 to 5 s later).
std::vector<Scenario> PtyScenarios();
std::vector<Fault> PtyFaults();

// "name / kind rate / seed n", how a run is named in the lists of failing runs.
std::string RunLabel(const Scenario& scenario, const Fault& fault, int seed);

// The seeds argument of the matrix programs.
int SeedsArgument(int argc, char** argv, int byDefault);

// One run on a rig (the virtual-time rig or the one over a pseudo-terminal): an exception is a
// crash. The seed mixes in the firmware so that the two firmware sides see other faults.
template <class Rig>
RunCounts RunScenario(const Scenario& s, const Fault& f, int seed) {
    RunCounts run;
    try {
        Rig rig(s.Firmware, static_cast<std::uint32_t>(seed * 7919 + s.Firmware), f.Kind, f.Rate);
        run = s.Sequence == TSequence::Main ? rig.RunLive()
                                            : rig.RunSequence(s.Sequence, s.Transfers, s.Upload);
    } catch (const std::exception&) {
        run.Crashes = 1;
    }
    run.Runs = 1;
    return run;
}

// Every scenario under every fault for seeds 1..seeds; before(s, f, seed) and
// after(s, f, seed, run) see each run.
template <class Rig, class Before, class After>
RunCounts RunMatrix(const std::vector<Scenario>& scenarios, const std::vector<Fault>& faults,
                    int seeds, Before before, After after) {
    RunCounts total;
    for (const Scenario& s : scenarios) {
        for (const Fault& f : faults) {
            for (int seed = 1; seed <= seeds; ++seed) {
                before(s, f, seed);
                const RunCounts run = RunScenario<Rig>(s, f, seed);
                after(s, f, seed, run);
                total += run;
            }
        }
    }
    return total;
}

}  // namespace zv::bench
