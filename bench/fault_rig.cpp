#include "fault_rig.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "link/tcomx.h"

namespace zv::bench {

namespace {

constexpr std::uint64_t kSequenceLimitMs = 1200000;
constexpr std::uint64_t kConnectLimitMs = 30000;
constexpr std::uint64_t kEditMs = 8000;
constexpr std::uint64_t kSettleMs = 15000;
constexpr std::uint64_t kOfflineLimitMs = 10000;
constexpr std::uint64_t kFaultHorizonBytes = 10000;

}  // namespace

FaultRig::FaultRig(int firmware, std::uint32_t seed, FaultKind kind, double rate)
    : Firmware_(firmware), Kind_(kind), Rate_(rate), Rng_(seed) {
    sim::TSimUnitConfig config;
    config.Firmware = firmware;
    config.DeviceType = firmware <= 8 ? 1 : 3;
    Unit_ = std::make_unique<sim::TSimUnit>(config);
    Watched_ = std::make_unique<sim::WatchedUnit>(*Unit_);
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
        case FaultKind::Noise:
            // Stray bytes every few hundred milliseconds for the whole run.
            Watched_->StartNoise(Clock_, Line_, Rng_);
            break;
        default:
            break;
    }
}

bool FaultRig::RunUntilIdle(std::uint64_t limitMs) {
    return Clock_.RunUntil([this] { return Online_->LinkState() == link::Idle; }, limitMs);
}

FaultJudge FaultRig::Judge() const {
    return FaultJudge(Firmware_, Kind_, Statuses_, Dialogs_.Texts);
}

RunCounts FaultRig::RunSequence(TSequence sequence, const std::vector<TTransfer>& transfers,
                                bool upload) {
    RunCounts counts;
    TZVDataClass& data = Main_->Data();
    // The PC and the unit hold different bytes everywhere a transfer moves some, so that a
    // transfer that did not happen cannot pass for one that did.
    ImageBytes unitImage = data.DeviceData.Image;
    ImageBytes& differing = upload ? unitImage : data.DeviceData.Image;
    ScrambleRegions(transfers, Firmware_, Rng_, differing);
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

    return Judge().Sequence(sequence, transfers, upload, data, before, *Unit_);
}

void FaultRig::CheckRecord(RunCounts&) {
    ++ShownRecords_;
    TZVDataClass& data = Main_->Data();
    const auto record = LiveRecordBuffer(data.LiveRecords, Firmware_);
    // What reached the PC of each record the unit sent: the shown one must be one of them, all of
    // it.
    const std::vector<std::uint8_t> shown(record.begin(), record.end());
    if (!sim::RecordWasSent(shown, sim::ReceivedUnitBytes(Line_.Traffic()),
                            Watched_->RecordStarts(), 8))
        ++BadRecords_;
}

RunCounts FaultRig::RunLive() {
    RunCounts counts;
    TZVDataClass& data = Main_->Data();
    Unit_->LoadImage(data.DeviceData.Image);
    Online_->StartSequence(TSequence::Main, link::Connect);
    if (!Clock_.RunUntil([this] { return Judge().Saw("Run Online"); }, kConnectLimitMs)) {
        counts.Hangs = 1;
        return counts;
    }
    ArmFaults();
    std::vector<std::size_t> edited;
    std::mt19937 rng(Rng_());
    for (std::uint64_t t = 0; t < kEditMs; t += 250) {
        EditFuelMap(*Online_, Main_->Data(), Firmware_, rng, counts, edited);
        Clock_.Advance(250);
    }
    Clock_.Advance(kSettleMs);
    Online_->StartSequence(TSequence::Main, link::CancelOnline);
    if (!RunUntilIdle(kOfflineLimitMs)) {
        counts.Hangs = 1;
        return counts;
    }
    if (Judge().EditsLost(edited, data, *Unit_))
        ++counts.LostEdits;
    counts.RecordsShown = ShownRecords_;
    counts.WrongDataAccepted += BadRecords_;
    return counts;
}

}  // namespace zv::bench
