#include "fault_matrix_plan.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace zv::bench {

std::vector<Scenario> AllScenarios() {
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

std::vector<Fault> AllFaults() {
    return {
        {FaultKind::None, 0},        {FaultKind::Drop, 0.002},   {FaultKind::Drop, 0.02},
        {FaultKind::Corrupt, 0.002}, {FaultKind::Corrupt, 0.02}, {FaultKind::CorruptIdent, 0},
        {FaultKind::Delay, 0.002},   {FaultKind::Delay, 0.02},   {FaultKind::Silent, 0.3},
        {FaultKind::Silent, 3},      {FaultKind::Silent, 10},    {FaultKind::Vanish, 0},
        {FaultKind::PortVanish, 0},  {FaultKind::Noise, 0},
    };
}

std::vector<Scenario> PtyScenarios() {
    const std::vector<Scenario> all = AllScenarios();
    std::vector<Scenario> chosen;
    for (const char* name :
         {"upload", "download-echo", "download-checksum", "map", "live-checksum"}) {
        const auto it =
            std::find_if(all.begin(), all.end(), [&](const Scenario& s) { return s.Name == name; });
        if (it == all.end())
            throw std::logic_error(std::string("no scenario named ") + name);
        chosen.push_back(*it);
    }
    return chosen;
}

std::vector<Fault> PtyFaults() {
    return {
        {FaultKind::None, 0},   {FaultKind::Drop, 0.003}, {FaultKind::Corrupt, 0.003},
        {FaultKind::Silent, 3}, {FaultKind::Vanish, 0},   {FaultKind::Noise, 0},
    };
}

std::string RunLabel(const Scenario& scenario, const Fault& fault, int seed) {
    char text[160];
    std::snprintf(text, sizeof text, "%s / %s %.3f / seed %d", scenario.Name.c_str(),
                  KindName(fault.Kind), fault.Rate, seed);
    return text;
}

int SeedsArgument(int argc, char** argv, int byDefault) {
    return argc > 1 ? std::max(1, std::atoi(argv[1])) : byDefault;
}

}  // namespace zv::bench
