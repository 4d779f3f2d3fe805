#include "fault_judge.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>

namespace zv::bench {

namespace {

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

void Append(std::string& out, const char* name, std::uint64_t value, bool first = false) {
    if (!first)
        out += ", ";
    out += "\"";
    out += name;
    out += "\": " + std::to_string(value);
}

}  // namespace

const char* KindName(FaultKind kind) {
    switch (kind) {
        case FaultKind::None:
            return "none";
        case FaultKind::Drop:
            return "drop";
        case FaultKind::Corrupt:
            return "corrupt";
        case FaultKind::CorruptIdent:
            return "corrupt-ident";
        case FaultKind::Delay:
            return "delay";
        case FaultKind::Silent:
            return "silent";
        case FaultKind::Vanish:
            return "vanish";
        case FaultKind::PortVanish:
            return "port-vanish";
        case FaultKind::Noise:
            return "noise";
    }
    return "?";
}

RunCounts& RunCounts::operator+=(const RunCounts& other) {
    Runs += other.Runs;
    WrongDataAccepted += other.WrongDataAccepted;
    FailuresReportedAsSuccess += other.FailuresReportedAsSuccess;
    LostEdits += other.LostEdits;
    Crashes += other.Crashes;
    Hangs += other.Hangs;
    RecordsShown += other.RecordsShown;
    EditsQueued += other.EditsQueued;
    TransfersDone += other.TransfersDone;
    return *this;
}

std::string RunCounts::Describe() const {
    std::string out;
    Append(out, "wrongDataAccepted", WrongDataAccepted, true);
    Append(out, "failuresReportedAsSuccess", FailuresReportedAsSuccess);
    Append(out, "lostEdits", LostEdits);
    Append(out, "crashes", Crashes);
    Append(out, "hangs", Hangs);
    return out;
}

std::string RunCounts::Json() const {
    std::string out = "{";
    Append(out, "runs", Runs, true);
    out += ", " + Describe();
    Append(out, "transfersDone", TransfersDone);
    Append(out, "recordsShown", RecordsShown);
    Append(out, "editsQueued", EditsQueued);
    return out + "}";
}

MsgAnswer AnswerYesDialogs::MessageBox(MsgKind, const std::string&, const std::string& text,
                                       MsgButtons buttons) {
    Texts.push_back(text);
    return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Yes;
}

bool FaultJudge::Saw(const std::string& text) const {
    return std::find(Statuses_.begin(), Statuses_.end(), text) != Statuses_.end();
}

bool FaultJudge::SawFailure() const {
    for (const auto& s : Statuses_) {
        if (Contains(s, "timeout") || Contains(s, "Timeout") || Contains(s, "failed") ||
            Contains(s, "Not supported"))
            return true;
    }
    return !Messages_.empty() && Kind_ != FaultKind::None;
}

bool FaultJudge::RegionMatches(TTransfer transfer, const ImageBytes& image,
                               const sim::TSimUnit& unit) const {
    const TTransferInfo info = TransferInfo(transfer, Firmware_);
    const auto& area = unit.AreaBytes(info.Area);
    for (std::size_t i = 0; i < info.Length; ++i) {
        const std::size_t address = info.Address + i;
        const std::uint8_t unitByte = address < area.size() ? area[address] : 0xFF;
        if (image[info.ImageOffset + i] != unitByte)
            return false;
    }
    return true;
}

void FaultJudge::Explain(const std::vector<TTransfer>& transfers, bool upload,
                         const ImageBytes& image, const sim::TSimUnit& unit) const {
    for (const auto& status : Statuses_)
        std::fprintf(stderr, "  status: %s\n", status.c_str());
    if (upload)
        return;
    for (TTransfer t : transfers) {
        const TTransferInfo info = TransferInfo(t, Firmware_);
        const auto& area = unit.AreaBytes(info.Area);
        for (std::size_t i = 0; i < info.Length; ++i) {
            if (area[info.Address + i] != image[info.ImageOffset + i])
                std::fprintf(stderr, "  area %d address %zu: unit %d, data set %d\n", info.Area,
                             info.Address + i, area[info.Address + i], image[info.ImageOffset + i]);
        }
    }
}

bool FaultJudge::UploadMatches(TTransfer transfer, const ImageBytes& image,
                               const sim::TSimUnit& unit) const {
    // What the program keeps of the unit's memory: its image, without what its firmware does
    // not use.
    TZVDataSet expected;
    expected.Image = unit.ImageSnapshot();
    expected.Firmware = static_cast<std::uint8_t>(Firmware_);
    TZVDataClass::ClearUnusedAreas(expected);
    const TTransferInfo info = TransferInfo(transfer, Firmware_);
    return std::equal(image.begin() + static_cast<long>(info.ImageOffset),
                      image.begin() + static_cast<long>(info.ImageOffset + info.Length),
                      expected.Image.begin() + static_cast<long>(info.ImageOffset));
}

RunCounts FaultJudge::Sequence(TSequence sequence, const std::vector<TTransfer>& transfers,
                               bool upload, const TZVDataClass& data, const ImageBytes& before,
                               const sim::TSimUnit& unit) const {
    RunCounts counts;
    // Which transfers said "Done".
    std::set<std::uint8_t> done;
    int current = -1;
    for (const auto& s : Statuses_) {
        for (TTransfer t : transfers) {
            if (s == TransferInfo(t, Firmware_).StatusText)
                current = static_cast<int>(t);
        }
        if (s == "Done" && current >= 0)
            done.insert(static_cast<std::uint8_t>(current));
    }
    const bool reportedOk = !SawFailure();
    const ImageBytes& image = data.DeviceData.Image;
    bool allMatch = true;
    for (TTransfer t : transfers) {
        if (!TransferApplies(data, t) && !upload)
            continue;
        const bool match = upload ? UploadMatches(t, image, unit) : RegionMatches(t, image, unit);
        const bool saidDone = done.count(static_cast<std::uint8_t>(t)) > 0;
        counts.TransfersDone += saidDone;
        // An upload's bytes count once they were taken over; a download's as soon as it said done.
        if (!upload && saidDone && !match)
            ++counts.WrongDataAccepted;
        allMatch = allMatch && match;
    }
    if (std::getenv("ZV_FM_DEBUG") != nullptr)
        Explain(transfers, upload, image, unit);
    if (upload) {
        const bool taken = Saw("Upload successfull") && data.DeviceData.DeviceValid == 1;
        if (taken && !allMatch)
            ++counts.WrongDataAccepted;
        // Part of a failed upload must not replace the working data. The pulse word is left out:
        // identifying the unit encodes it anew for the unit's firmware.
        if (!taken && !std::equal(before.begin() + 2, before.end(), image.begin() + 2))
            ++counts.WrongDataAccepted;
        if (reportedOk && !(taken && allMatch))
            ++counts.FailuresReportedAsSuccess;
    } else {
        if (reportedOk && !allMatch)
            ++counts.FailuresReportedAsSuccess;
        if (sequence == TSequence::Download && !allMatch && data.DeviceData.ChangedOffline == 0)
            ++counts.LostEdits;
    }
    return counts;
}

bool FaultJudge::EditsLost(const std::vector<std::size_t>& edited, const TZVDataClass& data,
                           const sim::TSimUnit& unit) const {
    const auto& area = unit.AreaBytes(2);
    for (std::size_t index : edited) {
        const std::size_t address = FuelMapAddress(Firmware_) + (index - img::FuelMap);
        if (area[address] != data.DeviceData.Image[index] && data.DeviceData.ChangedOffline == 0)
            return true;
    }
    return false;
}

void ScrambleRegions(const std::vector<TTransfer>& transfers, int firmware, std::mt19937& rng,
                     ImageBytes& image) {
    for (TTransfer t : transfers) {
        const TTransferInfo info = TransferInfo(t, firmware);
        for (std::size_t i = 0; i < info.Length; ++i)
            image[info.ImageOffset + i] = static_cast<std::uint8_t>(rng());
    }
}

void EditFuelMap(TOnlineMode& online, TZVDataClass& data, int firmware, std::mt19937& rng,
                 RunCounts& counts, std::vector<std::size_t>& edited) {
    const std::size_t k = rng() % 255u;
    const std::uint8_t kind = static_cast<std::uint8_t>(rng() % 2u);  // one or two bytes
    for (std::size_t i = 0; i <= kind; ++i) {
        data.DeviceData.Image[img::FuelMap + k + i] = static_cast<std::uint8_t>(rng());
        edited.push_back(img::FuelMap + k + i);
    }
    if (online.LinkState() == link::RunOnline) {
        const auto address = static_cast<std::uint16_t>(FuelMapAddress(firmware) + k);
        online.Link().QueueWrite(2, &data.DeviceData.Image[img::FuelMap + k], kind, address);
        ++counts.EditsQueued;
    } else {
        data.DeviceData.ChangedOffline = 1;
    }
}

}  // namespace zv::bench
