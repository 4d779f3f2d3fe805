// The link commands run core's online mode exactly as the program does, against the simulated
// unit in this process: on virtual time (fast), or paced to the wall clock with --realtime.
#include "link_commands.h"

#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <thread>

#include "app/main_model.h"
#include "console_dialogs.h"
#include "data/firmware_table.h"
#include "line/sim_line.h"
#include "line/unit_endpoint.h"
#include "line/virtual_timer_service.h"
#include "online/online_mode.h"
#include "unit/sim_unit.h"

namespace zv::tool {

const char* const kLinkUsage =
    "  upload --port sim[:FW] -o FILE    read the unit's data set (F7) and save it to FILE\n"
    "  download --port sim[:FW] FILE     write the data set of FILE into the unit (F8)\n"
    "  watch --port sim[:FW] --seconds N go online (F5), print each live record, go offline\n"
    "  Link options: --sim-data FILE (the simulated unit starts with that data set instead of\n"
    "  a new data set's defaults),\n"
    "  --sim-save FILE (the unit's memory is saved as a data file at the end), --realtime,\n"
    "  --answer yes|no (for boxes that ask). FW is a firmware index 1..40 (default 30).\n";

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kDefaultFirmware = 30;

struct LinkOptions {
    std::string Port;
    int Firmware = kDefaultFirmware;
    std::string Output;       // upload -o
    std::string File;         // download
    int Seconds = 0;          // watch
    std::string SimData;
    std::string SimSave;
    bool Realtime = false;
    bool AnswerYes = true;
};

std::optional<int> ParseNumber(const std::string& text, int min, int max) {
    if (text.empty() || text.size() > 6) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < min || value > max) return std::nullopt;
    return value;
}

// Error text for the command line, or empty when the options are complete.
std::string ParseOptions(const std::string& command, const std::vector<std::string>& args, LinkOptions& o) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size()) return std::nullopt;
            return args[++i];
        };
        std::optional<std::string> v;
        if (a == "--realtime") {
            o.Realtime = true;
        } else if (a == "--port" || a == "-o" || a == "--seconds" || a == "--sim-data" || a == "--sim-save" ||
                   a == "--answer") {
            v = value();
            if (!v) return a + " needs a value";
            if (a == "--port") o.Port = *v;
            if (a == "-o") o.Output = *v;
            if (a == "--sim-data") o.SimData = *v;
            if (a == "--sim-save") o.SimSave = *v;
            if (a == "--answer") {
                if (*v != "yes" && *v != "no") return "--answer takes yes or no";
                o.AnswerYes = *v == "yes";
            }
            if (a == "--seconds") {
                const auto n = ParseNumber(*v, 1, 86400);
                if (!n) return "--seconds takes a whole number from 1 to 86400";
                o.Seconds = *n;
            }
        } else if (!a.empty() && a[0] != '-' && command == "download" && o.File.empty()) {
            o.File = a;
        } else {
            return "unexpected argument: " + a;
        }
    }
    if (o.Port.empty()) return "--port is missing";
    if (o.Port.rfind("sim", 0) != 0) {
        return "port '" + o.Port + "': only the simulated unit (--port sim or sim:FIRMWARE) is available here";
    }
    if (o.Port.size() > 3) {
        const auto fw = o.Port[3] == ':' ? ParseNumber(o.Port.substr(4), 0, 40) : std::nullopt;
        if (!fw)
            return "port '" + o.Port + "': the firmware index after sim: is a number from 1 to 40";
        if (!sim::CanBeFirmware(*fw)) {
            return "port '" + o.Port + "': firmware index " + std::to_string(*fw) + " (\"" +
                   FirmwareName(*fw) +
                   "\") is no unit's firmware; the simulated unit can be firmware 1 to 40";
        }
        o.Firmware = *fw;
    }
    if (command == "upload" && o.Output.empty()) return "upload needs -o FILE";
    if (command == "download" && o.File.empty()) return "download needs the data file";
    if (command == "watch" && o.Seconds == 0) return "watch needs --seconds N";
    return {};
}

// The device type a unit of that firmware generation reports.
int DeviceTypeForFirmware(int firmware) {
    if (firmware <= 8) return 1;
    if (firmware <= 23) return 2;
    if (firmware <= 36) return 3;
    return 4;
}

// A data set's image as a unit of the firmware holds it (the timing word encoded for it): the
// data set of a file, or a new data set's defaults when no file is given.
std::optional<ImageBytes> ImageForUnit(const std::string& path, int firmware, Language lang) {
    ConsoleDialogs dialogs;
    MemorySettingsStore settings;
    TMainModel model(dialogs, settings);
    model.SetLanguage(lang);
    if (path.empty()) {
        model.CreateNewDataSet("defaults");
    } else if (!model.OpenDataFile(path)) {
        return std::nullopt;
    }
    TZVDataClass& d = model.Data();
    d.DeviceData.Firmware = static_cast<std::uint8_t>(firmware);
    d.FieldsToImage();
    d.FileImageToDevice();
    return d.DeviceData.Image;
}

bool SaveUnitMemory(const sim::TSimUnit& unit, int firmware, const std::string& path, Language lang) {
    ConsoleDialogs dialogs;
    MemorySettingsStore settings;
    TMainModel model(dialogs, settings);
    model.SetLanguage(lang);
    model.CreateNewDataSet(path);
    TZVDataClass& d = model.Data();
    d.DeviceData.Image = unit.ImageSnapshot();
    d.DeviceData.Firmware = static_cast<std::uint8_t>(firmware);
    d.DeviceData.Ident.FirmwareCode = FirmwareName(firmware);
    d.DeviceData.Ident.SerialNo = unit.IdentText().substr(16, 8);
    d.Comment = {std::string("Memory of the simulated unit, firmware ") + FirmwareName(firmware)};
    return model.SaveDataFile();
}

// Everything one link command needs, wired as the program wires it.
class Session {
public:
    Session(const LinkOptions& options, Language lang)
        : options_(options), dialogs_(options.AnswerYes), line_(clock_, {1}) {
        model_.SetLanguage(lang);
        sim::TSimUnitConfig config;
        config.Firmware = options.Firmware;
        config.DeviceType = DeviceTypeForFirmware(options.Firmware);
        unit_ = std::make_unique<sim::TSimUnit>(config);
        adapter_ = std::make_unique<sim::UnitAdapter<sim::TSimUnit>>(*unit_);
        line_.AttachUnit(adapter_.get());
        online_ = &model_.ConnectLink(clock_, line_);
        online_->ComPortNo = 1;
        online_->StatusShown = [](const std::string& text) { std::cerr << "status: " << text << '\n'; };
    }

    bool LoadUnit(Language lang) {
        const auto image = ImageForUnit(options_.SimData, options_.Firmware, lang);
        if (!image) return false;
        unit_->LoadImage(*image);
        return true;
    }

    // Runs the virtual clock until done() holds or limitMs pass; paced to the wall clock with
    // --realtime.
    bool RunUntil(const std::function<bool()>& done, std::uint64_t limitMs) {
        if (!options_.Realtime) return clock_.RunUntil(done, limitMs);
        const auto start = std::chrono::steady_clock::now();
        const std::uint64_t begin = clock_.NowMs();
        while (!done() && clock_.NowMs() - begin < limitMs) {
            clock_.Advance(10);
            std::this_thread::sleep_until(start + std::chrono::milliseconds(clock_.NowMs() - begin));
        }
        return done();
    }

    // Runs until the sequence has ended (state 39), whichever way it went there; false when it
    // had not ended within limitMs.
    bool RunToEnd(std::uint64_t limitMs) {
        return RunUntil([this] { return online_->LinkState() == link::Idle; }, limitMs);
    }

    TMainModel& Model() { return model_; }
    std::uint64_t NowMs() const { return clock_.NowMs(); }
    TOnlineMode& Online() { return *online_; }
    sim::TSimUnit& Unit() { return *unit_; }
    void WatchStatus(std::vector<std::string>& statuses) {
        online_->StatusShown = [&statuses](const std::string& text) {
            std::cerr << "status: " << text << '\n';
            statuses.push_back(text);
        };
    }

private:
    LinkOptions options_;
    ConsoleDialogs dialogs_;
    MemorySettingsStore settings_;
    TMainModel model_{dialogs_, settings_};
    sim::VirtualTimerService clock_;
    sim::TSimLine line_;
    std::unique_ptr<sim::TSimUnit> unit_;
    std::unique_ptr<sim::UnitAdapter<sim::TSimUnit>> adapter_;
    TOnlineMode* online_ = nullptr;
};

bool SequenceFailed(const std::vector<std::string>& statuses) {
    for (const auto& s : statuses) {
        if (s.find("imeout") != std::string::npos || s == "Not supported Device") return true;
    }
    return false;
}

constexpr std::uint64_t kSequenceLimitMs = 15 * 60 * 1000;

int Upload(Session& session, const LinkOptions& options) {
    std::vector<std::string> statuses;
    session.WatchStatus(statuses);
    session.Online().StartSequence(TSequence::Upload, link::ConnectTransfer);
    const bool ended = session.RunToEnd(kSequenceLimitMs);
    if (!ended || SequenceFailed(statuses) || session.Model().Data().DeviceData.DeviceValid == 0) {
        std::cerr << "zvtool: the upload did not complete\n";
        return kExitFailed;
    }
    session.Model().Data().FileName = options.Output;
    return session.Model().SaveDataFile() ? kExitOk : kExitFailed;
}

int Download(Session& session, const LinkOptions& options) {
    std::vector<std::string> statuses;
    session.WatchStatus(statuses);
    if (!session.Model().OpenDataFile(options.File)) return kExitFailed;
    session.Online().StartSequence(TSequence::Download, link::ConnectTransfer);
    const bool ended = session.RunToEnd(kSequenceLimitMs);
    if (!ended || SequenceFailed(statuses) ||
        std::find(statuses.begin(), statuses.end(), "Done") == statuses.end()) {
        std::cerr << "zvtool: the download did not complete\n";
        return kExitFailed;
    }
    return kExitOk;
}

void PrintRecord(std::uint64_t ms, const TDashboardState& d) {
    std::printf("%8.3f s  rpm %s  tps %s  out %s  idle %s  wot %s  nb %s  afr %s  wbo2 %s\n", double(ms) / 1000.0,
                d.RotDispPanel.c_str(), d.PotiDispPanel.c_str(), d.OutputDispPanel.c_str(), d.IdleLed ? "on" : "off",
                d.FullLed ? "on" : "off", d.NBCorrectionValPanel.empty() ? "-" : d.NBCorrectionValPanel.c_str(),
                d.AFRTopPanel.empty() ? "-" : d.AFRTopPanel.c_str(),
                d.WBO2CorrectionValPanel.empty() ? "-" : d.WBO2CorrectionValPanel.c_str());
    std::fflush(stdout);
}

int Watch(Session& session, const LinkOptions& options) {
    std::vector<std::string> statuses;
    session.WatchStatus(statuses);
    int records = 0;
    bool running = false;
    session.Online().RecordArrived = [&](const TLiveRecord&) {
        ++records;
        PrintRecord(session.NowMs(), session.Online().Dashboard());
    };
    session.Online().OffOnlineButtonClick();
    running = session.RunUntil([&] { return session.Online().LinkState() == link::RunOnline && session.Online().StepStarted(); },
                               kSequenceLimitMs);
    if (running) {
        const std::uint64_t until = session.NowMs() + static_cast<std::uint64_t>(options.Seconds) * 1000;
        session.RunUntil([&] { return session.NowMs() >= until; }, static_cast<std::uint64_t>(options.Seconds) * 1000);
    }
    session.Online().OffOnlineButtonClick();
    session.RunToEnd(60000);
    if (!running || records == 0) {
        std::cerr << "zvtool: no live records\n";
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace

int RunLinkCommand(const std::string& command, const std::vector<std::string>& args, Language lang) {
    LinkOptions options;
    const std::string error = ParseOptions(command, args, options);
    if (!error.empty()) {
        std::cerr << "zvtool " << command << ": " << error << '\n' << kLinkUsage;
        return kExitUsage;
    }
    Session session(options, lang);
    if (!session.LoadUnit(lang)) return kExitFailed;
    int result = kExitUsage;
    if (command == "upload") result = Upload(session, options);
    if (command == "download") result = Download(session, options);
    if (command == "watch") result = Watch(session, options);
    if (!options.SimSave.empty() && !SaveUnitMemory(session.Unit(), options.Firmware, options.SimSave, lang)) {
        return kExitFailed;
    }
    return result;
}

}  // namespace zv::tool
