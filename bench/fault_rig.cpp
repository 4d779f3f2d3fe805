#include "fault_rig.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "link/tcomx.h"

namespace zv::bench {

namespace {

constexpr std::uint64_t kSequenceLimitMs = 1200000;
constexpr std::uint64_t kConnectLimitMs = 30000;
constexpr std::uint64_t kEditMs = 8000;
constexpr std::uint64_t kSettleMs = 15000;
constexpr std::uint64_t kOfflineLimitMs = 10000;
constexpr std::uint64_t kFaultHorizonBytes = 10000;

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

void WatchedUnit::ReceiveByte(std::uint8_t byte, std::uint64_t nowMs) {
    const std::size_t before = Unit_.OutputSize();
    Unit_.ReceiveByte(byte, nowMs);
    // Noise goes out only while the unit has nothing to say, so a reply decided now starts
    // right after what the unit still has queued.
    if (byte == 0xA0 && Unit_.OutputSize() > before)
        RecordStarts_.push_back(Taken_ + before);
}

std::uint8_t WatchedUnit::TakeOutputByte() {
    ++Taken_;
    if (Unit_.HasOutput())
        return Unit_.TakeOutputByte();
    const std::uint8_t byte = Noise_.front();
    Noise_.pop_front();
    return byte;
}

FaultRig::FaultRig(int firmware, std::uint32_t seed, FaultKind kind, double rate)
    : Firmware_(firmware), Kind_(kind), Rate_(rate), Rng_(seed) {
    sim::TSimUnitConfig config;
    config.Firmware = firmware;
    config.DeviceType = firmware <= 8 ? 1 : 3;
    Unit_ = std::make_unique<sim::TSimUnit>(config);
    Watched_ = std::make_unique<WatchedUnit>(*Unit_);
    Line_.AttachUnit(Watched_.get());
    Main_ = std::make_unique<TMainModel>(Dialogs_, Settings_);
    Main_->Now = [] { return std::time_t{1700000000}; };
    Online_ = &Main_->ConnectLink(Clock_, Line_);
    Online_->ComPortNo = 1;
    Online_->StatusShown = [this](const std::string& text) {
        Statuses_.push_back(text);
        if (Kind_ == FaultKind::CorruptIdent && text == "Upload Device ID") {
            const std::uint64_t next = Line_.ByteCount(sim::LineDirection::UnitToPc);
            const auto at = std::uniform_int_distribution<std::uint64_t>(0, 175)(Rng_);
            const auto mask = static_cast<std::uint8_t>(1u << (Rng_() % 8u));
            Line_.InjectFault(
                {sim::LineDirection::UnitToPc, next + at, sim::LineFaultKind::Corrupt, mask});
        }
    };
    Online_->RecordArrived = [this](const TLiveRecord&) {
        RunCounts ignored;
        CheckRecord(ignored);
    };
    Main_->CreateNewDataSet("fault.zvt");
    Main_->Data().FieldsToImage();
    Main_->Data().FileImageToDevice();
}

void FaultRig::ArmTimedFault(std::uint64_t fromMs, std::uint64_t spanMs) {
    const std::uint64_t at = fromMs + std::uniform_int_distribution<std::uint64_t>(0, spanMs)(Rng_);
    switch (Kind_) {
        case FaultKind::Silent:
            Clock_.ScheduleAtUs(at * 1000, [this] {
                Unit_->GoSilent(Clock_.NowMs() + static_cast<std::uint64_t>(Rate_ * 1000));
            });
            break;
        case FaultKind::Vanish: {
            const auto back = std::uniform_int_distribution<std::uint64_t>(300, 5000)(Rng_);
            Clock_.ScheduleAtUs(at * 1000, [this] { Unit_->Vanish(); });
            Clock_.ScheduleAtUs((at + back) * 1000, [this] { Unit_->Reappear(); });
            break;
        }
        case FaultKind::PortVanish:
            Clock_.ScheduleAtUs(at * 1000, [this] { Line_.Close(); });
            break;
        default:
            break;
    }
}

void FaultRig::ArmFaults() {
    const std::uint64_t now = Clock_.NowMs();
    switch (Kind_) {
        case FaultKind::Drop:
            Line_.SetRandomFaults(static_cast<std::uint32_t>(Rng_()), Rate_, 0.0);
            break;
        case FaultKind::Corrupt:
            Line_.SetRandomFaults(static_cast<std::uint32_t>(Rng_()), 0.0, Rate_);
            break;
        case FaultKind::Delay:
            for (auto direction : {sim::LineDirection::PcToUnit, sim::LineDirection::UnitToPc}) {
                const std::uint64_t first = Line_.ByteCount(direction);
                for (std::uint64_t i = 0; i < kFaultHorizonBytes; ++i) {
                    if (std::uniform_real_distribution<double>(0, 1)(Rng_) >= Rate_)
                        continue;
                    const auto delayUs =
                        std::uniform_int_distribution<std::uint64_t>(1, 150000)(Rng_);
                    Line_.InjectFault(
                        {direction, first + i, sim::LineFaultKind::Delay, 0, delayUs});
                }
            }
            break;
        case FaultKind::Silent:
        case FaultKind::Vanish:
        case FaultKind::PortVanish:
            ArmTimedFault(now, 3000);
            break;
        case FaultKind::Noise: {
            // Stray bytes every few hundred milliseconds for the whole run.
            auto noise = std::make_shared<std::function<void()>>();
            *noise = [this, noise] {
                const int n = 1 + static_cast<int>(Rng_() % 3u);
                for (int i = 0; i < n; ++i)
                    Watched_->AddNoise(static_cast<std::uint8_t>(Rng_()));
                Line_.PollUnit();
                const auto nextMs = std::uniform_int_distribution<std::uint64_t>(100, 600)(Rng_);
                Clock_.ScheduleAfterUs(nextMs * 1000, [noise] { (*noise)(); });
            };
            Clock_.ScheduleAfterUs(50000, [noise] { (*noise)(); });
            break;
        }
        default:
            break;
    }
}

bool FaultRig::RunUntilIdle(std::uint64_t limitMs) {
    return Clock_.RunUntil([this] { return Online_->LinkState() == link::Idle; }, limitMs);
}

bool FaultRig::Saw(const std::string& text) const {
    return std::find(Statuses_.begin(), Statuses_.end(), text) != Statuses_.end();
}

bool FaultRig::SawFailure() const {
    for (const auto& s : Statuses_) {
        if (Contains(s, "timeout") || Contains(s, "Timeout") || Contains(s, "failed") ||
            Contains(s, "Not supported"))
            return true;
    }
    return !Dialogs_.Texts.empty() && Kind_ != FaultKind::None;
}

bool FaultRig::RegionMatches(TTransfer transfer, const ImageBytes& image) const {
    const TTransferInfo info = TransferInfo(transfer, Firmware_);
    const auto& area = Unit_->AreaBytes(info.Area);
    for (std::size_t i = 0; i < info.Length; ++i) {
        const std::size_t address = info.Address + i;
        const std::uint8_t unitByte = address < area.size() ? area[address] : 0xFF;
        if (image[info.ImageOffset + i] != unitByte)
            return false;
    }
    return true;
}

void FaultRig::Explain(const std::vector<TTransfer>& transfers, bool upload) const {
    for (const auto& status : Statuses_)
        std::fprintf(stderr, "  status: %s\n", status.c_str());
    if (upload)
        return;
    const ImageBytes& image = Main_->Data().DeviceData.Image;
    for (TTransfer t : transfers) {
        const TTransferInfo info = TransferInfo(t, Firmware_);
        const auto& area = Unit_->AreaBytes(info.Area);
        for (std::size_t i = 0; i < info.Length; ++i) {
            if (area[info.Address + i] != image[info.ImageOffset + i])
                std::fprintf(stderr, "  area %d address %zu: unit %d, data set %d\n", info.Area,
                             info.Address + i, area[info.Address + i], image[info.ImageOffset + i]);
        }
    }
}

bool FaultRig::UploadMatches(TTransfer transfer, const ImageBytes& image) const {
    // What the program keeps of the unit's memory: its image, without what its firmware does
    // not use.
    TZVDataSet expected;
    expected.Image = Unit_->ImageSnapshot();
    expected.Firmware = static_cast<std::uint8_t>(Firmware_);
    TZVDataClass::ClearUnusedAreas(expected);
    const TTransferInfo info = TransferInfo(transfer, Firmware_);
    return std::equal(image.begin() + static_cast<long>(info.ImageOffset),
                      image.begin() + static_cast<long>(info.ImageOffset + info.Length),
                      expected.Image.begin() + static_cast<long>(info.ImageOffset));
}

RunCounts FaultRig::RunSequence(TSequence sequence, const std::vector<TTransfer>& transfers,
                                bool upload) {
    RunCounts counts;
    TZVDataClass& data = Main_->Data();
    // The PC and the unit hold different bytes everywhere a transfer moves some, so that a
    // transfer that did not happen cannot pass for one that did.
    ImageBytes unitImage = data.DeviceData.Image;
    ImageBytes& differing = upload ? unitImage : data.DeviceData.Image;
    for (TTransfer t : transfers) {
        const TTransferInfo info = TransferInfo(t, Firmware_);
        for (std::size_t i = 0; i < info.Length; ++i)
            differing[info.ImageOffset + i] = static_cast<std::uint8_t>(Rng_());
    }
    Unit_->LoadImage(unitImage);
    if (!upload)
        data.DeviceData.ChangedOffline = 1;
    const ImageBytes before = data.DeviceData.Image;

    Online_->StartSequence(sequence, link::ConnectTransfer);
    ArmFaults();
    if (!RunUntilIdle(kSequenceLimitMs)) {
        counts.Hangs = 1;
        return counts;
    }

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
    bool allMatch = true;
    for (TTransfer t : transfers) {
        if (!TransferApplies(data, t) && !upload)
            continue;
        const bool match = upload ? UploadMatches(t, data.DeviceData.Image)
                                  : RegionMatches(t, data.DeviceData.Image);
        const bool saidDone = done.count(static_cast<std::uint8_t>(t)) > 0;
        counts.TransfersDone += saidDone;
        // An upload's bytes count once they were taken over; a download's as soon as it said done.
        if (!upload && saidDone && !match)
            ++counts.WrongDataAccepted;
        allMatch = allMatch && match;
    }
    if (std::getenv("ZV_FM_DEBUG") != nullptr)
        Explain(transfers, upload);
    if (upload) {
        const bool taken = Saw("Upload successfull") && data.DeviceData.DeviceValid == 1;
        if (taken && !allMatch)
            ++counts.WrongDataAccepted;
        // Part of a failed upload must not replace the working data. The pulse word is left out:
        // identifying the unit encodes it anew for the unit's firmware.
        if (!taken &&
            !std::equal(before.begin() + 2, before.end(), data.DeviceData.Image.begin() + 2))
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

void FaultRig::CheckRecord(RunCounts&) {
    ++ShownRecords_;
    TZVDataClass& data = Main_->Data();
    const auto record = LiveRecordBuffer(data.LiveRecords, Firmware_);
    // What reached the PC of each record the unit sent: the shown one must be one of them, all of
    // it.
    std::vector<int> received;
    for (const auto& b : Line_.Traffic()) {
        if (b.Direction != sim::LineDirection::UnitToPc)
            continue;
        if (received.size() <= b.Index)
            received.resize(b.Index + 1, -1);
        received[b.Index] = b.Lost ? -1 : b.Received;
    }
    const auto& starts = Watched_->RecordStarts();
    for (auto it = starts.rbegin(); it != starts.rend() && it - starts.rbegin() < 8; ++it) {
        const std::uint64_t s = *it;
        if (s + record.size() > received.size())
            continue;
        bool same = true;
        for (std::size_t i = 0; i < record.size() && same; ++i)
            same = received[s + i] == record[i];
        if (same)
            return;
    }
    ++BadRecords_;
}

void FaultRig::Edit(std::mt19937& rng, RunCounts& counts, std::vector<std::size_t>& edited) {
    TZVDataClass& data = Main_->Data();
    const std::size_t k = rng() % 255u;
    const std::uint8_t kind = static_cast<std::uint8_t>(rng() % 2u);  // one or two bytes
    for (std::size_t i = 0; i <= kind; ++i) {
        data.DeviceData.Image[img::FuelMap + k + i] = static_cast<std::uint8_t>(rng());
        edited.push_back(img::FuelMap + k + i);
    }
    if (Online_->LinkState() == link::RunOnline) {
        const auto address = static_cast<std::uint16_t>(FuelMapAddress(Firmware_) + k);
        Online_->Link().QueueWrite(2, &data.DeviceData.Image[img::FuelMap + k], kind, address);
        ++counts.EditsQueued;
    } else {
        data.DeviceData.ChangedOffline = 1;
    }
}

RunCounts FaultRig::RunLive() {
    RunCounts counts;
    TZVDataClass& data = Main_->Data();
    Unit_->LoadImage(data.DeviceData.Image);
    Online_->StartSequence(TSequence::Main, link::Connect);
    if (!Clock_.RunUntil([this] { return Saw("Run Online"); }, kConnectLimitMs)) {
        counts.Hangs = 1;
        return counts;
    }
    ArmFaults();
    std::vector<std::size_t> edited;
    std::mt19937 rng(Rng_());
    for (std::uint64_t t = 0; t < kEditMs; t += 250) {
        Edit(rng, counts, edited);
        Clock_.Advance(250);
    }
    Clock_.Advance(kSettleMs);
    Online_->StartSequence(TSequence::Main, link::CancelOnline);
    if (!RunUntilIdle(kOfflineLimitMs)) {
        counts.Hangs = 1;
        return counts;
    }
    const auto& area = Unit_->AreaBytes(2);
    for (std::size_t index : edited) {
        const std::size_t address = FuelMapAddress(Firmware_) + (index - img::FuelMap);
        if (area[address] != data.DeviceData.Image[index] && data.DeviceData.ChangedOffline == 0) {
            ++counts.LostEdits;
            break;
        }
    }
    counts.RecordsShown = ShownRecords_;
    counts.WrongDataAccepted += BadRecords_;
    return counts;
}

}  // namespace zv::bench
