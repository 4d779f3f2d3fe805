#include "pty_fault_rig.h"

#include <signal.h>

#include <QTimer>
#include <fstream>
#include <sstream>

#include "link/transfer_table.h"
#include "qt_wait.h"
#include "unit/unit_defaults.h"
#include "unit/watched_unit.h"
#include "unit_memory.h"

namespace zv::bench {

namespace {

constexpr int kSequenceLimitMs = 300000;
constexpr int kConnectLimitMs = 30000;
constexpr int kEditMs = 4000;
constexpr int kSettleMs = 5000;
constexpr int kOfflineLimitMs = 10000;
constexpr const char* kMemory = "unit.mem";  // the unit's memory, kept across restarts

sim::TSimUnitConfig UnitConfig(int firmware) {
    sim::TSimUnitConfig config;
    config.Firmware = firmware;
    config.DeviceType = sim::DeviceTypeForFirmware(firmware);
    return config;
}

struct Traffic {
    std::vector<int> Received;
    std::vector<std::uint64_t> Starts;
};

Traffic ReadTraffic(const std::string& path) {
    Traffic traffic;
    std::ifstream in(path);
    std::string line;
    if (std::getline(in, line)) {
        std::istringstream values(line);
        for (int v; values >> v;)
            traffic.Received.push_back(v);
    }
    if (std::getline(in, line)) {
        std::istringstream values(line);
        for (std::uint64_t v; values >> v;)
            traffic.Starts.push_back(v);
    }
    return traffic;
}

}  // namespace

PtyFaultRig::PtyFaultRig(int firmware, std::uint32_t seed, FaultKind kind, double rate)
    : Firmware_(firmware), Kind_(kind), Rate_(rate), Seed_(seed), Rng_(seed) {
    Manager_.SystemDevices = [] { return std::vector<std::string>{}; };
    Main_ = std::make_unique<TMainModel>(Dialogs_, Settings_);
    Main_->Now = [] { return std::time_t{1700000000}; };
    Online_ = &Main_->ConnectLink(Timers_, Serial_);
    Online_->StatusShown = [this](const std::string& text) {
        Statuses_.push_back(text);
        if (text == FaultAnchor_) {
            FaultAnchor_.clear();
            StartTimedFault();
        }
    };
    Online_->RecordArrived = [this](const TLiveRecord&) {
        const auto record = LiveRecordBuffer(Main_->Data().LiveRecords, Firmware_);
        Shown_.emplace_back(record.begin(), record.end());
    };
    Main_->CreateNewDataSet(File("fault.zvt"));
    Main_->Data().FieldsToImage();
    Main_->Data().FileImageToDevice();
}

PtyFaultRig::~PtyFaultRig() {
    Online_->StatusShown = nullptr;
    Online_->RecordArrived = nullptr;
}

std::string PtyFaultRig::File(const std::string& name) const {
    return Dir_.filePath(QString::fromStdString(name)).toStdString();
}

FaultJudge PtyFaultRig::Judge() const {
    return FaultJudge(Firmware_, Kind_, Statuses_, Dialogs_.Texts);
}

bool PtyFaultRig::WriteUnitData(const ImageBytes& image) {
    return tool::WriteRawMemory(image, File(kMemory));
}

bool PtyFaultRig::StartUnit(bool withFaults) {
    ++Starts_;
    std::vector<std::string> args{"--firmware", std::to_string(Firmware_),
                                  "--link",     File("tty"),
                                  "--memory",   File(kMemory),
                                  "--traffic",  File("traffic" + std::to_string(Starts_)),
                                  "--seed",     std::to_string(Seed_)};
    if (withFaults) {
        char text[64];
        switch (Kind_) {
            case FaultKind::Drop:
            case FaultKind::Corrupt:
                std::snprintf(text, sizeof text, "%g", Rate_);
                args.insert(args.end(), {Kind_ == FaultKind::Drop ? "--drop" : "--corrupt", text});
                break;
            case FaultKind::Silent:
                std::snprintf(text, sizeof text, "%g", Rate_);
                args.insert(args.end(), {"--silent-on-signal", text});
                break;
            case FaultKind::Noise:
                args.emplace_back("--noise");
                break;
            default:
                break;
        }
    }
    Unit_ = std::make_unique<test::Zvsim>(args);
    if (Starts_ == 1 && Unit_->Ready()) {
        // The port directory names the link, not the terminal: a restarted unit is reached
        // under the same name.
        Online_->ComPortNo = Manager_.AddDevicePath(File("tty"));
        Serial_.SetPort(Online_->ComPortNo);
    }
    return Unit_->Ready();
}

void PtyFaultRig::ArmTimedFault(const std::string& anchor, int afterMs) {
    if (Kind_ != FaultKind::Silent && Kind_ != FaultKind::Vanish)
        return;
    FaultAnchor_ = anchor;
    FaultAfterMs_ = afterMs;
}

void PtyFaultRig::StartTimedFault() {
    if (Kind_ == FaultKind::Vanish) {
        ArmRestart(FaultAfterMs_);
        return;
    }
    QTimer::singleShot(FaultAfterMs_, &Owner_, [this] {
        if (Unit_)
            Unit_->Signal(SIGUSR1);
    });
}

void PtyFaultRig::ArmRestart(int afterMs) {
    const int back = std::uniform_int_distribution<int>(300, 5000)(Rng_);
    RestartPending_ = true;
    QTimer::singleShot(afterMs, &Owner_, [this, back] {
        Unit_->Stop();
        QTimer::singleShot(back, &Owner_, [this] {
            StartUnit(false);
            RestartPending_ = false;
        });
    });
}

std::unique_ptr<sim::TSimUnit> PtyFaultRig::StopUnit() {
    WaitFor([this] { return !RestartPending_; }, 20000);
    if (Unit_)
        Unit_->Stop();
    const auto image = tool::ReadRawMemory(File(kMemory));
    if (!image)
        return nullptr;
    return std::make_unique<sim::TSimUnit>(UnitConfig(Firmware_), *image);
}

std::unique_ptr<sim::TSimUnit> PtyFaultRig::EndRun(int limitMs, RunCounts& counts) {
    if (!WaitFor([this] { return Online_->LinkState() == link::Idle; }, limitMs)) {
        counts.Hangs = 1;
        return nullptr;
    }
    auto unit = StopUnit();
    if (!unit)
        counts.Crashes = 1;
    return unit;
}

std::uint64_t PtyFaultRig::RecordsNotSent() const {
    std::vector<Traffic> traffic;
    for (int i = 1; i <= Starts_; ++i)
        traffic.push_back(ReadTraffic(File("traffic" + std::to_string(i))));
    std::uint64_t bad = 0;
    for (const auto& record : Shown_) {
        bool sent = false;
        for (const auto& t : traffic)
            sent = sent || sim::RecordWasSent(record, t.Received, t.Starts, t.Starts.size());
        bad += !sent;
    }
    return bad;
}

RunCounts PtyFaultRig::RunSequence(TSequence sequence, const std::vector<TTransfer>& transfers,
                                   bool upload) {
    RunCounts counts;
    TZVDataClass& data = Main_->Data();
    ImageBytes unitImage = data.DeviceData.Image;
    ScrambleRegions(transfers, Firmware_, Rng_, upload ? unitImage : data.DeviceData.Image);
    if (!upload)
        data.DeviceData.ChangedOffline = 1;
    const ImageBytes before = data.DeviceData.Image;
    // The shortest sequence, the upload, moves data for about 1.4 s after the identification.
    ArmTimedFault("Upload ID success", std::uniform_int_distribution<int>(100, 1200)(Rng_));
    if (!WriteUnitData(unitImage) || !StartUnit(true)) {
        counts.Crashes = 1;
        return counts;
    }

    Online_->StartSequence(sequence, link::ConnectTransfer);
    const auto unit = EndRun(kSequenceLimitMs, counts);
    if (!unit)
        return counts;
    return Judge().Sequence(sequence, transfers, upload, data, before, *unit);
}

RunCounts PtyFaultRig::RunLive() {
    RunCounts counts;
    TZVDataClass& data = Main_->Data();
    // Faults begin once the stream runs, as in the runs on virtual time.
    ArmTimedFault("Run Online", std::uniform_int_distribution<int>(0, 3000)(Rng_));
    if (!WriteUnitData(data.DeviceData.Image) || !StartUnit(true)) {
        counts.Crashes = 1;
        return counts;
    }
    Online_->StartSequence(TSequence::Main, link::Connect);
    if (!WaitFor([this] { return Judge().Saw("Run Online") || Online_->LinkState() == link::Idle; },
                 kConnectLimitMs)) {
        counts.Hangs = 1;
        return counts;
    }
    std::vector<std::size_t> edited;
    std::mt19937 rng(Rng_());
    for (int t = 0; t < kEditMs; t += 250) {
        EditFuelMap(*Online_, data, Firmware_, rng, counts, edited);
        WaitFor([] { return false; }, 250);
    }
    WaitFor([] { return false; }, kSettleMs);
    Online_->StartSequence(TSequence::Main, link::CancelOnline);
    const auto unit = EndRun(kOfflineLimitMs, counts);
    if (!unit)
        return counts;
    if (Judge().EditsLost(edited, data, *unit))
        ++counts.LostEdits;
    counts.RecordsShown = Shown_.size();
    counts.WrongDataAccepted += RecordsNotSent();
    return counts;
}

}  // namespace zv::bench
