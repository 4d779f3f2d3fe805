// zvsim: the simulated unit on a pseudo-terminal at true 9600-baud timing, for trying the
// program and the command-line tool on a real byte channel.
#include <signal.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "data/firmware_table.h"
#include "link/sim_drive.h"
#include "port_directory.h"
#include "pty_unit.h"
#include "text/whole_number.h"
#include "unit/ident_text.h"
#include "unit/unit_defaults.h"
#include "unit_memory.h"

namespace {

namespace fs = std::filesystem;
using namespace zv;

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

const std::string kUsage = std::string(
    "usage: zvsim [OPTIONS]\n"
    "  --firmware FW        firmware index 1..40 (default 30)\n"
    "  --type N             device type 0..5 (default: the type of the firmware's generation)\n"
    "  --serial TEXT        serial number, e.g. ZV000450 (default: one that fits the firmware)\n"
    "  --data FILE          the unit's memory from a data file (default: a new data set)\n"
    "  --save-on-exit FILE  save the unit's memory as a data file when zvsim ends\n"
    "  --memory FILE        the unit's memory as raw bytes: read at the start when FILE exists\n"
    "                       (instead of --data), written back when zvsim ends\n") +
    SimDriveUsage(23) + std::string(
    "  --link PATH          a symbolic link PATH to the terminal, removed at the end\n"
    "  --com N              register as COM<N> in the port directory, removed at the end\n"
    "  --drop P, --corrupt P  lose or garble each byte on the line with probability P (0..1)\n"
    "  --seed N             seed of the line faults (default 1)\n"
    "  --silent FROM:SECS   the unit ignores everything for SECS seconds from FROM seconds on\n"
    "  --silent-on-signal SECS  the unit ignores everything for SECS seconds from each SIGUSR1\n"
    "  --lag MS             each reply leaves MS milliseconds late (0..1000, default 0), as\n"
    "                       through a USB-serial adapter holding bytes back for its latency timer\n"
    "  --noise              stray bytes from the unit every 100 to 600 ms (seeded by --seed)\n"
    "  --traffic FILE       when zvsim ends, write what reached the program of each byte the\n"
    "                       unit sent (-1: lost) and where each live record began\n"
    "Prints \"device: PATH\" (and \"port: COM<N>\") when ready; ends on SIGTERM or SIGINT.\n");

struct Options {
    int Firmware = 30;
    std::optional<int> DeviceType;
    std::string SerialNo;
    std::string Data;
    std::string SaveOnExit;
    std::string Link;
    int Com = 0;
    double Drop = 0.0;
    double Corrupt = 0.0;
    std::uint32_t Seed = 1;
    double SilentFrom = -1.0;
    double SilentSeconds = 0.0;
    double SilentOnSignal = -1.0;
    int LagMs = 0;
    bool Noise = false;
    std::string Traffic;
    std::string Memory;
    TSimDrive Drive;
};

std::optional<double> Fraction(const std::string& text, double min, double max) {
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || errno != 0 || *end != '\0' || !(value >= min && value <= max))
        return std::nullopt;
    return value;
}

// Error text, or empty when the options are fine.
std::string Parse(const std::vector<std::string>& args, Options& o) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--noise") {
            o.Noise = true;
            continue;
        }
        if (i + 1 >= args.size())
            return a == "--help" ? "help" : a + " needs a value";
        const std::string v = args[++i];
        if (a == "--firmware") {
            const auto n = ParseWholeNumber(v, 1, 40);
            if (!n)
                return "--firmware takes a firmware index from 1 to 40";
            o.Firmware = static_cast<int>(*n);
        } else if (a == "--type") {
            const auto n = ParseWholeNumber(v, 0, 5);
            if (!n)
                return "--type takes a device type from 0 to 5";
            o.DeviceType = static_cast<int>(*n);
        } else if (a == "--serial") {
            o.SerialNo = v;
        } else if (a == "--drive") {
            std::string error;
            const auto drive = ParseSimDrive(v, error);
            if (!drive)
                return error;
            o.Drive = *drive;
        } else if (a == "--data") {
            o.Data = v;
        } else if (a == "--save-on-exit") {
            o.SaveOnExit = v;
        } else if (a == "--memory") {
            o.Memory = v;
        } else if (a == "--traffic") {
            o.Traffic = v;
        } else if (a == "--link") {
            o.Link = v;
        } else if (a == "--com") {
            const auto n = ParseWholeNumber(v, 1, port::kMaxComNumber);
            if (!n)
                return "--com takes a port number from 1 to 99";
            o.Com = static_cast<int>(*n);
        } else if (a == "--drop" || a == "--corrupt") {
            const auto p = Fraction(v, 0.0, 1.0);
            if (!p)
                return a + " takes a probability from 0 to 1";
            (a == "--drop" ? o.Drop : o.Corrupt) = *p;
        } else if (a == "--seed") {
            const auto n = ParseWholeNumber(v, 0, 999999999);
            if (!n)
                return "--seed takes a whole number";
            o.Seed = static_cast<std::uint32_t>(*n);
        } else if (a == "--lag") {
            const auto n = ParseWholeNumber(v, 0, 1000);
            if (!n)
                return "--lag takes milliseconds from 0 to 1000";
            o.LagMs = static_cast<int>(*n);
        } else if (a == "--silent") {
            const auto colon = v.find(':');
            const auto from =
                colon == std::string::npos ? std::nullopt : Fraction(v.substr(0, colon), 0.0, 1e6);
            const auto secs =
                colon == std::string::npos ? std::nullopt : Fraction(v.substr(colon + 1), 0.0, 1e6);
            if (!from || !secs)
                return "--silent takes FROM:SECONDS";
            o.SilentFrom = *from;
            o.SilentSeconds = *secs;
        } else if (a == "--silent-on-signal") {
            const auto secs = Fraction(v, 0.0, 1e6);
            if (!secs)
                return "--silent-on-signal takes SECONDS";
            o.SilentOnSignal = *secs;
        } else {
            return "unknown option " + a;
        }
    }
    return {};
}

// A symbolic link to the terminal that disappears again when zvsim ends.
class TerminalLink {
  public:
    // Error text, or empty when the link is in place. A link left behind by a zvsim that did
    // not end cleanly (its device is gone) is replaced; a live one is not.
    std::string Make(const fs::path& at, const std::string& device) {
        std::error_code ec;
        if (fs::is_symlink(at, ec)) {
            if (fs::exists(at, ec))
                return at.string() + " already leads to a device";
            fs::remove(at, ec);
        } else if (fs::exists(at, ec)) {
            return at.string() + " exists and is not a link";
        }
        if (at.has_parent_path())
            fs::create_directories(at.parent_path(), ec);
        fs::create_symlink(device, at, ec);
        if (ec)
            return "cannot create " + at.string() + ": " + ec.message();
        path_ = at;
        device_ = device;
        return {};
    }
    ~TerminalLink() {
        std::error_code ec;
        if (!path_.empty() && fs::read_symlink(path_, ec) == device_)
            fs::remove(path_, ec);
    }

  private:
    fs::path path_;
    fs::path device_;
};

// Line 1: each byte the unit sent as the program got it (-1: lost); line 2: the index of the
// first byte of each live record.
bool WriteTraffic(tool::TPtyUnit& served, const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file)
        return false;
    for (int byte : sim::ReceivedUnitBytes(served.Line().Traffic()))
        std::fprintf(file, "%d ", byte);
    std::fprintf(file, "\n");
    for (std::uint64_t start : served.Watched().RecordStarts())
        std::fprintf(file, "%llu ", static_cast<unsigned long long>(start));
    std::fprintf(file, "\n");
    return std::fclose(file) == 0;
}

volatile sig_atomic_t g_stop = 0;
void OnSignal(int) {
    g_stop = 1;
}
// A test decides by SIGUSR1 when the unit falls silent, say in the middle of a transfer.
volatile sig_atomic_t g_silence = 0;
void OnSilenceSignal(int) {
    g_silence = 1;
}

std::unique_ptr<sim::TSimUnit> MakeUnit(const Options& o, const ImageBytes& image) {
    sim::TSimUnitConfig config;
    config.Firmware = o.Firmware;
    config.DeviceType = o.DeviceType.value_or(sim::DeviceTypeForFirmware(o.Firmware));
    config.SerialNo = o.SerialNo;
    config.Drive = o.Drive;
    return std::make_unique<sim::TSimUnit>(config, image);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    const std::string error = Parse(std::vector<std::string>(argv + 1, argv + argc), options);
    if (error == "help") {
        std::cout << kUsage;
        return kExitOk;
    }
    if (!error.empty()) {
        std::cerr << "zvsim: " << error << '\n' << kUsage;
        return kExitUsage;
    }
    std::error_code ec;
    const bool raw = !options.Memory.empty() && fs::exists(options.Memory, ec);
    const auto image = raw ? tool::ReadRawMemory(options.Memory)
                           : tool::ImageForUnit(options.Data, options.Firmware, Language::English);
    if (!image) {
        std::cerr << "zvsim: cannot read " << (raw ? options.Memory : options.Data) << '\n';
        return kExitFailed;
    }

    // The signals are let through only while zvsim waits, so none is lost between checks.
    sigset_t blocked, waiting;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGTERM);
    sigaddset(&blocked, SIGINT);
    sigaddset(&blocked, SIGUSR1);
    sigprocmask(SIG_BLOCK, &blocked, &waiting);
    sigdelset(&waiting, SIGTERM);
    sigdelset(&waiting, SIGINT);
    sigdelset(&waiting, SIGUSR1);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    struct sigaction silence {};
    silence.sa_handler = OnSilenceSignal;
    sigaction(SIGUSR1, &silence, nullptr);
    signal(SIGPIPE, SIG_IGN);

    tool::TPtyUnit served(MakeUnit(options, *image));
    if (!served.Start()) {
        std::cerr << "zvsim: " << served.Error() << '\n';
        return kExitFailed;
    }
    if (options.Drop > 0.0 || options.Corrupt > 0.0)
        served.Line().SetRandomFaults(options.Seed, options.Drop, options.Corrupt);
    served.Line().SetRecordTraffic(!options.Traffic.empty());
    served.Line().SetReplyLagUs(static_cast<std::uint64_t>(options.LagMs) * 1000u);
    std::mt19937 noiseRandom(options.Seed);
    if (options.Noise)
        served.Watched().StartNoise(served.Clock(), served.Line(), noiseRandom);
    if (options.SilentFrom >= 0.0) {
        const auto fromUs = static_cast<std::uint64_t>(options.SilentFrom * 1e6);
        const auto untilMs =
            static_cast<std::uint64_t>((options.SilentFrom + options.SilentSeconds) * 1e3);
        served.Clock().ScheduleAtUs(fromUs,
                                    [&served, untilMs] { served.Unit().GoSilent(untilMs); });
    }

    TerminalLink link, com;
    std::string linkError;
    if (!options.Link.empty())
        linkError = link.Make(options.Link, served.DevicePath());
    const std::string comName = options.Com ? "COM" + std::to_string(options.Com) : std::string();
    if (linkError.empty() && options.Com)
        linkError = com.Make(fs::path(port::PortDirectory()) / comName, served.DevicePath());
    if (!linkError.empty()) {
        std::cerr << "zvsim: " << linkError << '\n';
        return kExitFailed;
    }

    const sim::TSimUnitConfig& config = served.Unit().Config();
    std::printf("zvsim: firmware %d (%s), device type %d, serial number %s\n", config.Firmware,
                FirmwareName(config.Firmware), config.DeviceType, sim::SerialNoOf(config).c_str());
    std::printf("device: %s\n", served.DevicePath().c_str());
    if (!comName.empty())
        std::printf("port: %s\n", comName.c_str());
    std::fflush(stdout);

    while (!g_stop) {
        served.Step(&waiting);
        if (g_silence) {
            g_silence = 0;
            if (options.SilentOnSignal >= 0.0)
                served.GoSilentFor(static_cast<std::uint64_t>(options.SilentOnSignal * 1e3));
        }
    }

    if (!options.SaveOnExit.empty() &&
        !tool::SaveUnitMemory(served.Unit(), options.Firmware, options.SaveOnExit,
                              Language::English)) {
        std::cerr << "zvsim: cannot save the unit's memory to " << options.SaveOnExit << '\n';
        return kExitFailed;
    }
    if (!options.Memory.empty() &&
        !tool::WriteRawMemory(served.Unit().ImageSnapshot(), options.Memory)) {
        std::cerr << "zvsim: cannot write " << options.Memory << '\n';
        return kExitFailed;
    }
    if (!options.Traffic.empty() && !WriteTraffic(served, options.Traffic)) {
        std::cerr << "zvsim: cannot write " << options.Traffic << '\n';
        return kExitFailed;
    }
    return kExitOk;
}
