// Every transfer under every fault the line and the unit can show, at several rates and seeds,
// on virtual time with the simulated unit. Each run is judged against the unit's memory and the
// data set: a transfer reported done holds exactly the right bytes, a failure is reported as
// one, an edit queued while online reaches the unit or the data set says it did not, and every
// live record shown is one the unit sent, whole. Prints one JSON object with the counts.
//
//   zv_fault_matrix [seeds]     (default 12 seeds; any run that breaks a rule is listed on stderr)
//   ZV_FM_ONLY="map corrupt 0.002 92" runs only that scenario, fault, rate and seed.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/main_model.h"
#include "fault_rig.h"
#include "link/transfer_table.h"

namespace {

using namespace zv;
using bench::FaultKind;
using bench::FaultRig;
using bench::RunCounts;

struct Scenario {
    const char* Name;
    TSequence Sequence;  // Main: going online and editing while the stream runs
    int Firmware;
    std::vector<TTransfer> Transfers;  // what the sequence moves, in order
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
        {"upload-fw5", TSequence::Upload, 5, {T::DeviceDataUpload, T::FuelMapUpload}, true},
        {"download-echo", TSequence::Download, 5, {T::DeviceDataDownload, T::FuelMapDownload}},
        {"download-checksum",
         TSequence::Download,
         30,
         {T::DeviceDataDownload, T::FuelMapDownload, T::AfrMapDownload}},
        {"map",
         TSequence::MapDownload,
         30,
         {T::FuelMapDownload, T::TpsSitesDownload, T::RpmSitesDownload}},
        {"afr-map", TSequence::AfrMapDownload, 30, {T::AfrMapDownload}},
        {"idle-curve", TSequence::IdleCurveDownload, 30, {T::IdleCurveDownload}},
        {"temp-curve", TSequence::TempCurveDownload, 30, {T::TempCurveDownload}},
        {"gp-curve", TSequence::GpCurveDownload, 30, {T::GpCurveDownload}},
        {"foto-curve", TSequence::FotoCurveDownload, 30, {T::FotoCurveDownload}},
        {"live-echo", TSequence::Main, 5, {}},
        {"live-checksum", TSequence::Main, 30, {}},
    };
}

struct Fault {
    FaultKind Kind;
    double Rate;  // per byte, or the silence in seconds
};

std::vector<Fault> Faults() {
    return {
        {FaultKind::None, 0},        {FaultKind::Drop, 0.002},   {FaultKind::Drop, 0.02},
        {FaultKind::Corrupt, 0.002}, {FaultKind::Corrupt, 0.02}, {FaultKind::CorruptIdent, 0},
        {FaultKind::Delay, 0.002},   {FaultKind::Delay, 0.02},   {FaultKind::Silent, 0.3},
        {FaultKind::Silent, 3},      {FaultKind::Silent, 10},    {FaultKind::Vanish, 0},
        {FaultKind::PortVanish, 0},  {FaultKind::Noise, 0},
    };
}

}  // namespace

int main(int argc, char** argv) {
    const int seeds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 12;
    RunCounts total;
    for (const Scenario& s : Scenarios()) {
        for (const Fault& f : Faults()) {
            for (int seed = 1; seed <= seeds; ++seed) {
                RunCounts run;
                char label[96];
                std::snprintf(label, sizeof label, "%s %s %.3f %d", s.Name, KindName(f.Kind),
                              f.Rate, seed);
                const char* only = std::getenv("ZV_FM_ONLY");
                if (only != nullptr && label != std::string(only))
                    continue;
                if (std::getenv("ZV_FM_DEBUG"))
                    std::fprintf(stderr, "RUN %s\n", label);
                try {
                    FaultRig rig(s.Firmware, static_cast<std::uint32_t>(seed * 7919 + s.Firmware),
                                 f.Kind, f.Rate);
                    run = s.Sequence == TSequence::Main
                              ? rig.RunLive()
                              : rig.RunSequence(s.Sequence, s.Transfers, s.Upload);
                } catch (const std::exception&) {
                    run.Crashes = 1;
                }
                run.Runs = 1;
                if (run.Faults() > 0)
                    std::fprintf(stderr, "%s / %s %.3f / seed %d: %s\n", s.Name, KindName(f.Kind),
                                 f.Rate, seed, run.Describe().c_str());
                total += run;
            }
        }
    }
    std::printf("%s\n", total.Json().c_str());
    return total.Faults() == 0 ? 0 : 1;
}
