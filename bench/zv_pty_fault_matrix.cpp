// The fault matrix over a real pseudo-terminal: the program on real timers and the real serial
// port against zvsim at true 9600-baud timing, each transfer under each fault zvsim can show,
// judged by the same rules as the runs on virtual time (zv_fault_matrix) against the unit's
// memory that zvsim saves when it ends. Prints one JSON object with the counts; any run that
// breaks a rule is listed on stderr. Slow by nature (about 20 minutes for 2 seeds).
//
//   zv_pty_fault_matrix [seeds]     (default 2 seeds)
#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <vector>

#include "pty_fault_rig.h"

namespace {

using namespace zv;
using bench::FaultKind;
using bench::RunCounts;

struct Scenario {
    const char* Name;
    TSequence Sequence;  // Main: going online and editing while the stream runs
    int Firmware;
    std::vector<TTransfer> Transfers;
    bool Upload = false;
};

std::vector<Scenario> Scenarios() {
    using T = TTransfer;
    return {
        {"upload",
         TSequence::Upload,
         30,
         {T::DeviceDataUpload, T::FuelMapUpload, T::AfrMapUpload},
         true},
        {"download-echo", TSequence::Download, 5, {T::DeviceDataDownload, T::FuelMapDownload}},
        {"download-checksum",
         TSequence::Download,
         30,
         {T::DeviceDataDownload, T::FuelMapDownload, T::AfrMapDownload}},
        {"map",
         TSequence::MapDownload,
         30,
         {T::FuelMapDownload, T::TpsSitesDownload, T::RpmSitesDownload}},
        {"live-checksum", TSequence::Main, 30, {}},
    };
}

struct Fault {
    FaultKind Kind;
    double Rate;  // per byte, or the silence in seconds
};

// Vanish: zvsim ended and started again on its saved memory 0.3 to 5 s later.
std::vector<Fault> Faults() {
    return {
        {FaultKind::None, 0},   {FaultKind::Drop, 0.003}, {FaultKind::Corrupt, 0.003},
        {FaultKind::Silent, 3}, {FaultKind::Vanish, 0},   {FaultKind::Noise, 0},
    };
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int seeds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2;
    QElapsedTimer clock;
    clock.start();
    RunCounts total;
    for (const Scenario& s : Scenarios()) {
        for (const Fault& f : Faults()) {
            for (int seed = 1; seed <= seeds; ++seed) {
                RunCounts run;
                const qint64 started = clock.elapsed();
                try {
                    bench::PtyFaultRig rig(s.Firmware,
                                           static_cast<std::uint32_t>(seed * 7919 + s.Firmware),
                                           f.Kind, f.Rate);
                    run = s.Sequence == TSequence::Main
                              ? rig.RunLive()
                              : rig.RunSequence(s.Sequence, s.Transfers, s.Upload);
                } catch (const std::exception&) {
                    run.Crashes = 1;
                }
                run.Runs = 1;
                if (run.Faults() > 0 || std::getenv("ZV_FM_DEBUG"))
                    std::fprintf(stderr, "%s / %s %.3f / seed %d (%.1f s): %s\n", s.Name,
                                 bench::KindName(f.Kind), f.Rate, seed,
                                 static_cast<double>(clock.elapsed() - started) / 1000.0,
                                 run.Describe().c_str());
                total += run;
            }
        }
    }
    std::printf("%s\n", total.Json().c_str());
    std::fprintf(stderr, "%.0f s\n", static_cast<double>(clock.elapsed()) / 1000.0);
    return total.Faults() == 0 ? 0 : 1;
}
