// The link commands run core's online mode exactly as the program does: against the simulated
// unit in this process (on virtual time, or paced to the wall clock with --realtime), or through
// a real port on real timers.
#include "link_commands.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>

#include "app/main_model.h"
#include "app/start_up.h"
#include "documents_folder.h"
#include "link/port_name.h"
#include "console_dialogs.h"
#include "link_rig.h"
#include "online/online_mode.h"
#include "text/point_format.h"
#include "text/whole_number.h"
#include "watch_log.h"

namespace zv::tool {

const std::string kLinkUsage = std::string(
    "  upload --port PORT -o FILE        read the unit's data set (F7) and save it to FILE\n"
    "  download --port PORT FILE         write the data set of FILE into the unit (F8), after\n"
    "                                    saving the unit's data set as a backup in the\n"
    "                                    program's data folder (its path goes to stdout);\n"
    "                                    --no-backup: without it. A backup that fails stops\n"
    "                                    the download\n"
    "  watch --port PORT --seconds N     go online (F5), print each live record, go offline\n"
    "                                    --log DIR: record the live records into a log in DIR\n"
    "  PORT is sim or sim:FW (the simulated unit, FW a firmware index 1..40, default 30),\n"
    "  COM<n> or a device path. For the simulated unit: --sim-data FILE (it starts with that\n"
    "  data set instead of a new data set's defaults), --sim-save FILE (its memory is saved as\n"
    "  a data file at the end), --realtime (at true 9600-baud timing; without it the unit runs\n"
    "  on virtual time, so watch --seconds N covers N seconds of engine time in far less),\n") +
    SimDriveUsage(19) + std::string(
    "  --answer yes|no (for boxes that ask).\n"
    "  Exit codes: 0 done, 1 the transfer failed, 2 usage, 3 the port is missing or cannot be\n"
    "  opened, 4 no answer from the unit, 5 the unit is not supported.\n");

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitPort = 3;
constexpr int kExitNoAnswer = 4;
constexpr int kExitUnsupported = 5;

struct LinkOptions {
    std::string Port;
    TPortName Name;
    std::string Output;  // upload -o
    std::string File;    // download
    int Seconds = 0;     // watch
    std::string LogDir;  // watch --log
    std::string SimData;
    std::string SimSave;
    bool Realtime = false;
    std::optional<TSimDrive> Drive;
    bool AnswerYes = true;
    bool Backup = true;  // download
};

// Error text for the command line, or empty when the options are complete.
std::string ParseOptions(const std::string& command, const std::vector<std::string>& args,
                         LinkOptions& o) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size())
                return std::nullopt;
            return args[++i];
        };
        std::optional<std::string> v;
        if (a == "--realtime") {
            o.Realtime = true;
        } else if (a == "--no-backup" && command == "download") {
            o.Backup = false;
        } else if (a == "--port" || a == "-o" || a == "--seconds" || a == "--sim-data" ||
                   a == "--sim-save" || a == "--answer" || a == "--log" || a == "--drive") {
            v = value();
            if (!v)
                return a + " needs a value";
            if (a == "--port")
                o.Port = *v;
            if (a == "-o")
                o.Output = *v;
            if (a == "--sim-data")
                o.SimData = *v;
            if (a == "--sim-save")
                o.SimSave = *v;
            if (a == "--log")
                o.LogDir = *v;
            if (a == "--drive") {
                std::string error;
                o.Drive = ParseSimDrive(*v, error);
                if (!o.Drive)
                    return error;
            }
            if (a == "--answer") {
                if (*v != "yes" && *v != "no")
                    return "--answer takes yes or no";
                o.AnswerYes = *v == "yes";
            }
            if (a == "--seconds") {
                const auto n = ParseWholeNumber(*v, 1, 86400);
                if (!n)
                    return "--seconds takes a whole number from 1 to 86400";
                o.Seconds = static_cast<int>(*n);
            }
        } else if (!a.empty() && a[0] != '-' && command == "download" && o.File.empty()) {
            o.File = a;
        } else {
            return "unexpected argument: " + a;
        }
    }
    if (o.Port.empty())
        return "--port is missing";
    std::string error;
    const auto name = ParsePortName(o.Port, error);
    if (!name)
        return error;
    o.Name = *name;
    if (o.Name.Type != TPortName::Kind::Sim &&
        (!o.SimData.empty() || !o.SimSave.empty() || o.Realtime || o.Drive)) {
        return "--sim-data, --sim-save, --realtime and --drive are for the simulated unit only";
    }
    if (command == "upload" && o.Output.empty())
        return "upload needs -o FILE";
    if (command == "download" && o.File.empty())
        return "download needs the data file";
    if (command == "watch" && o.Seconds == 0)
        return "watch needs --seconds N";
    return {};
}

// Everything one link command needs, wired as the program wires it.
class Session {
  public:
    Session(LinkRig& rig, const LinkOptions& options, Language lang)
        : rig_(rig), dialogs_(options.AnswerYes) {
        model_.SetLanguage(lang);
        online_ = &model_.ConnectLink(rig.Timers(), rig.Port());
        online_->ComPortNo = rig.PortNumber();
        model_.SetDataFolder(DataFolderOf(DocumentsFolder()));
        online_->StatusShown = [](const std::string& text) {
            std::cerr << "status: " << text << '\n';
        };
        started_ = std::chrono::steady_clock::now();
    }

    // Runs the link until done() holds or limitMs pass, with progress on stderr once a
    // transfer has taken longer than a second of real time.
    bool RunUntil(const std::function<bool()>& done, std::uint64_t limitMs) {
        return rig_.RunUntil(
            [&] {
                ShowProgress();
                return done();
            },
            limitMs);
    }

    // Runs until the sequence has ended (state 39), whichever way it went there; false when it
    // had not ended within limitMs.
    bool RunToEnd(std::uint64_t limitMs) {
        return RunUntil([this] { return online_->LinkState() == link::Idle; }, limitMs);
    }

    TMainModel& Model() { return model_; }
    const TimerService& Timers() const { return rig_.Timers(); }
    std::uint64_t NowMs() const { return rig_.NowMs(); }
    TOnlineMode& Online() { return *online_; }
    void WatchStatus(std::vector<std::string>& statuses) {
        online_->StatusShown = [this, &statuses](const std::string& text) {
            // The gauge keeps the last phase's count until the new phase moves it.
            shownPosition_ = online_->Gauge().Position;
            shownMax_ = online_->Gauge().Max;
            std::cerr << "status: " << text << '\n';
            statuses.push_back(text);
            status_ = text;
        };
    }

  private:
    void ShowProgress() {
        const auto now = std::chrono::steady_clock::now();
        const TGaugeState& gauge = online_->Gauge();
        const std::uint8_t state = online_->LinkState();
        const bool transfer =
            (state >= link::DeviceDataUpload && state <= link::AfrMapUpload) ||
            (state >= link::DeviceDataDownload && state <= link::FotoCurveDownload);
        if (!transfer || gauge.Max <= 0 || now - started_ < std::chrono::seconds(1) ||
            now - shown_ < std::chrono::milliseconds(250)) {
            return;
        }
        if (gauge.Position == shownPosition_ && gauge.Max == shownMax_)
            return;
        shown_ = now;
        shownPosition_ = gauge.Position;
        shownMax_ = gauge.Max;
        std::cerr << "progress: " << status_ << ' ' << gauge.Position << '/' << gauge.Max << '\n';
    }

    LinkRig& rig_;
    ConsoleDialogs dialogs_;
    MemorySettingsStore settings_;
    TMainModel model_{dialogs_, settings_};
    TOnlineMode* online_ = nullptr;
    std::string status_;
    std::chrono::steady_clock::time_point started_, shown_;
    int shownPosition_ = -1, shownMax_ = -1;
};

// The exit code of a sequence that ended with these statuses, with its message.
int SequenceOutcome(const std::vector<std::string>& statuses, const std::string& what) {
    auto seen = [&](const char* text) {
        return std::find(statuses.begin(), statuses.end(), text) != statuses.end();
    };
    if (seen("Connect Timeout")) {
        std::cerr << "zvtool: no answer from the unit\n";
        return kExitNoAnswer;
    }
    if (seen("Not supported Device")) {
        std::cerr << "zvtool: the unit is not supported\n";
        return kExitUnsupported;
    }
    std::cerr << "zvtool: the " << what << " did not complete\n";
    return kExitFailed;
}

bool SequenceFailed(const std::vector<std::string>& statuses) {
    for (const auto& s : statuses) {
        if (s.find("imeout") != std::string::npos || s == "Not supported Device")
            return true;
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
        return SequenceOutcome(statuses, "upload");
    }
    session.Model().Data().FileName = options.Output;
    return session.Model().SaveDataFile() ? kExitOk : kExitFailed;
}

int Download(Session& session, const LinkOptions& options) {
    std::vector<std::string> statuses;
    session.WatchStatus(statuses);
    session.Model().SetReadOnlyOpen(true);  // the file only feeds the unit: it stays as it is
    if (!session.Model().OpenDataFile(options.File))
        return kExitFailed;
    // Nobody is asked on the command line: a backup that fails stops the download. A file is
    // never the unit's own data taken over, so the whole data set goes in.
    session.Online().BackupBeforeDownload = options.Backup;
    session.Online().OperatorAsked = false;
    session.Online().StartSequence(session.Online().DownloadSequence(), link::ConnectTransfer);
    const bool ended = session.RunToEnd(kSequenceLimitMs);
    if (!session.Online().LastBackupPath().empty())
        std::printf("backup: %s\n", session.Online().LastBackupPath().c_str());
    // The backup's reading says "Done" too: only one after the fuel map's download counts.
    const auto written = std::find(statuses.begin(), statuses.end(), "ZV map download");
    if (!ended || SequenceFailed(statuses) || std::find(written, statuses.end(), "Done") == statuses.end()) {
        return SequenceOutcome(statuses, "download");
    }
    return kExitOk;
}

void PrintRecord(std::uint64_t ms, const TDashboardState& d) {
    std::printf("%s s  rpm %s  tps %s  out %s  idle %s  wot %s  nb %s  afr %s  wbo2 %s\n",
                FormatFixed(double(ms) / 1000.0, 8, 3).c_str(), d.RotDispPanel.c_str(),
                d.PotiDispPanel.c_str(), d.OutputDispPanel.c_str(), d.IdleLed ? "on" : "off",
                d.FullLed ? "on" : "off",
                d.NBCorrectionValPanel.empty() ? "-" : d.NBCorrectionValPanel.c_str(),
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
    running = session.RunUntil(
        [&] {
            return session.Online().LinkState() == link::RunOnline &&
                   session.Online().StepStarted();
        },
        kSequenceLimitMs);
    std::optional<WatchLog> log;
    if (!options.LogDir.empty())
        log.emplace(session.Model(), session.Online(), session.Timers(), options.LogDir);
    if (running && log && !log->Arm())
        running = false;
    if (running) {
        const std::uint64_t until =
            session.NowMs() + static_cast<std::uint64_t>(options.Seconds) * 1000;
        session.RunUntil([&] { return session.NowMs() >= until; },
                         static_cast<std::uint64_t>(options.Seconds) * 1000);
    }
    if (log) {
        log->Release();
        session.RunUntil([&] { return !log->IsOpen(); }, 2000);
    }
    session.Online().OffOnlineButtonClick();
    session.RunToEnd(60000);
    if (log && !log->Finish())
        return kExitFailed;
    if (!running)
        return SequenceOutcome(statuses, "connection");
    if (records == 0) {
        std::cerr << "zvtool: no live records\n";
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace

int RunLinkCommand(const std::string& command, const std::vector<std::string>& args,
                   Language lang) {
    LinkOptions options;
    std::string error = ParseOptions(command, args, options);
    if (!error.empty()) {
        std::cerr << "zvtool " << command << ": " << error << '\n' << kLinkUsage;
        return kExitUsage;
    }
    std::unique_ptr<LinkRig> rig;
    if (options.Name.Type == TPortName::Kind::Sim) {
        SimRigOptions sim;
        sim.Firmware = options.Name.Firmware;
        sim.Data = options.SimData;
        sim.Save = options.SimSave;
        sim.Realtime = options.Realtime;
        sim.Drive = options.Drive.value_or(TSimDrive{});
        sim.Lang = lang;
        rig = MakeSimRig(sim, error);
        if (!rig) {
            std::cerr << "zvtool " << command << ": " << error << '\n';
            return kExitFailed;
        }
    } else {
        rig = MakeSerialRig(options.Name, error);
        if (rig)
            error = rig->CheckPort();
        if (!error.empty()) {
            std::cerr << "zvtool " << command << ": " << error << '\n';
            return kExitPort;
        }
    }
    Session session(*rig, options, lang);
    int result = kExitUsage;
    if (command == "upload")
        result = Upload(session, options);
    if (command == "download")
        result = Download(session, options);
    if (command == "watch")
        result = Watch(session, options);
    if (!rig->Finish())
        return kExitFailed;
    return result;
}

}  // namespace zv::tool
