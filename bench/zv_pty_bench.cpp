// How close the link comes to the wire on a real byte channel: core on real timers and a real
// serial port, against zvsim on a pseudo-terminal at true 9600-baud timing. Each time is set
// against the wire time of the bytes that crossed the line in the same run (1.0417 ms each),
// each live rate against the limit that wire time plus the 70 ms pause allow. Prints one JSON
// object. A sequence also gives lineMs, the time until its last transfer was done, before the
// program's own closing steps (accepting the upload, taking it over, going offline). The full
// upload and download once more with every reply 16 and 32 ms late, as through a USB-serial
// adapter's latency timer. Slow by nature (about three minutes).
#include <sys/resource.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <string>

#include "app/main_model.h"
#include "link/tcomx.h"
#include "link/transfer_table.h"
#include "online/online_mode.h"
#include "qt_wait.h"
#include "scripted_dialogs.h"
#include "seams/qt_timer_service.h"
#include "tcom_manager.h"
#include "tserial.h"
#include "zvsim_process.h"

namespace {

using namespace zv;
using bench::WaitFor;

constexpr double kByteMs = 10.0 / 9.6;  // 10 bits at 9600 bits per second

// Counts every byte that crosses the line in either direction.
class CountingPort : public SerialPort {
  public:
    explicit CountingPort(SerialPort& port) : port_(port) {
        port.SetOnRxChar([this] { RaiseRxChar(); });
    }
    bool Open() override { return port_.Open(); }
    void Close() override { port_.Close(); }
    bool IsOpen() const override { return port_.IsOpen(); }
    bool SetPort(int number) override { return port_.SetPort(number); }
    int Port() const override { return port_.Port(); }
    std::vector<int> AvailablePorts() const override { return port_.AvailablePorts(); }
    bool SetBaudIndex(int index) override { return port_.SetBaudIndex(index); }
    int BaudIndex() const override { return port_.BaudIndex(); }
    std::size_t BytesAvailable() const override { return port_.BytesAvailable(); }
    std::size_t ReadBuf(std::uint8_t* buffer, std::size_t n) override {
        return Count(port_.ReadBuf(buffer, n));
    }
    std::size_t WriteBuf(const std::uint8_t* buffer, std::size_t n) override {
        return Count(port_.WriteBuf(buffer, n));
    }
    std::string ReadString() override {
        std::string s = port_.ReadString();
        Count(s.size());
        return s;
    }
    std::uint64_t Bytes = 0;

  private:
    std::size_t Count(std::size_t n) {
        Bytes += n;
        return n;
    }
    SerialPort& port_;
};

double CpuMs() {
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    return (static_cast<double>(use.ru_utime.tv_sec + use.ru_stime.tv_sec) * 1000.0 +
            static_cast<double>(use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1000.0);
}

std::string Timing(double ms, std::uint64_t bytes) {
    const double wireMs = static_cast<double>(bytes) * kByteMs;
    char text[160];
    std::snprintf(text, sizeof text, "{\"ms\": %.1f, \"wireMs\": %.1f, \"ratio\": %.3f}", ms,
                  wireMs, ms / wireMs);
    return text;
}

// zvsim of one firmware behind a port, and the program's objects on real timers.
struct Rig {
    explicit Rig(int firmware, int lagMs = 0)
        : unit({"--firmware", std::to_string(firmware), "--link",
                dir.filePath("tty").toStdString(), "--lag", std::to_string(lagMs)}) {
        manager.SystemDevices = [] { return std::vector<std::string>{}; };
        number = manager.AddDevicePath(dir.filePath("tty").toStdString());
        serial.SetPort(number);
    }
    QTemporaryDir dir;
    test::Zvsim unit;
    port::TCOMManager manager;
    port::TSerial serial{manager};
    CountingPort counted{serial};
    QtTimerService timers;
    int number = 0;
};

// The time of a sequence that ended as it should, and its JSON.
struct SequenceRun {
    double Ms = 0;
    std::string Json = "null";
};

// One sequence of the online mode, from its connect state to its end, each reply lagMs late.
SequenceRun Sequence(int firmware, TSequence sequence, int lagMs = 0) {
    Rig rig(firmware, lagMs);
    test::ScriptedDialogs dialogs;
    MemorySettingsStore settings;
    TMainModel model(dialogs, settings);
    model.CreateNewDataSet(rig.dir.filePath("new.zvt").toStdString());
    TOnlineMode& online = model.ConnectLink(rig.timers, rig.counted);
    online.ComPortNo = rig.number;
    bool done = false;
    QElapsedTimer clock;
    double lineMs = 0;  // when the last transfer was done: the rest are the program's own steps
    online.StatusShown = [&](const std::string& text) {
        done = done || text == "Done";
        if (text == "Done" || text == "Upload successfull")
            lineMs = static_cast<double>(clock.elapsed());
    };
    const std::uint64_t bytes = rig.counted.Bytes;
    clock.start();
    online.StartSequence(sequence, link::ConnectTransfer);
    WaitFor([&] { return online.LinkState() == link::Idle; }, 120000);
    if (!done || online.LinkState() != link::Idle)
        return {};
    const std::uint64_t moved = rig.counted.Bytes - bytes;
    SequenceRun run;
    run.Ms = static_cast<double>(clock.elapsed());
    std::string timing = Timing(run.Ms, moved);
    char line[120];
    std::snprintf(line, sizeof line, ", \"lineMs\": %.1f, \"lineRatio\": %.3f}", lineMs,
                  lineMs / (static_cast<double>(moved) * kByteMs));
    timing.pop_back();
    run.Json = timing + line;
    return run;
}

// One entry of a lag list: the time and its ratio against the time without lag.
std::string LagEntry(int lagMs, const SequenceRun& run, const SequenceRun& unlagged) {
    if (run.Json == "null" || unlagged.Json == "null")
        return "{\"lagMs\": " + std::to_string(lagMs) + ", \"ms\": null}";
    char text[120];
    std::snprintf(text, sizeof text, "{\"lagMs\": %d, \"ms\": %.1f, \"ratio\": %.2f}", lagMs,
                  run.Ms, run.Ms / unlagged.Ms);
    return text;
}

// A USB-serial adapter's latency timer on every reply: the sequence at 16 and 32 ms against
// its own time without lag, measured in this run.
std::string Lagged(int firmware, TSequence sequence, const SequenceRun& unlagged) {
    std::string out = "[" + LagEntry(0, unlagged, unlagged);
    for (int lagMs : {16, 32})
        out += ", " + LagEntry(lagMs, Sequence(firmware, sequence, lagMs), unlagged);
    return out + "]";
}

// The link alone, its port open, on a unit of the firmware.
struct LinkRig : Rig {
    explicit LinkRig(int firmware) : Rig(firmware) {
        data.ReceiveData.Firmware = static_cast<std::uint8_t>(firmware);
        data.DeviceData.Firmware = static_cast<std::uint8_t>(firmware);
        for (std::size_t i = 0; i < kImageSize; ++i)
            data.DeviceData.Image[i] = static_cast<std::uint8_t>(i * 7);
        link = std::make_unique<TComX>(timers, counted, data);
        link->Init(number, kBaud9600Index);
        WaitFor([] { return false; }, 300);  // the idle job's tick has passed
    }
    TZVDataClass data;
    std::unique_ptr<TComX> link;
};

std::string Job(int firmware, TTransfer transfer) {
    LinkRig rig(firmware);
    const std::uint64_t bytes = rig.counted.Bytes;
    QElapsedTimer clock;
    clock.start();
    if (!StartTransfer(*rig.link, rig.data, transfer))
        return "null";
    WaitFor([&] { return rig.link->JobResult() != jobresult::None; }, 60000);
    if (rig.link->JobResult() != jobresult::Done)
        return "null";
    return Timing(static_cast<double>(clock.elapsed()), rig.counted.Bytes - bytes);
}

std::string Live(int firmware, std::size_t length) {
    constexpr int kWindowMs = 5000;
    LinkRig rig(firmware);
    if (!StartTransfer(*rig.link, rig.data, TTransfer::LiveStream))
        return "null";
    if (!WaitFor([&] { return rig.link->NewRecord(); }, 10000))
        return "null";
    rig.link->ClearNewRecord();
    int records = 0;
    const double cpuStart = CpuMs();
    QElapsedTimer clock;
    clock.start();
    WaitFor(
        [&] {
            if (rig.link->NewRecord()) {
                ++records;
                rig.link->ClearNewRecord();
            }
            return clock.elapsed() >= kWindowMs;
        },
        kWindowMs + 1000);
    const double seconds = static_cast<double>(clock.elapsed()) / 1000.0;
    const double cpuPercent = (CpuMs() - cpuStart) / (seconds * 1000.0) * 100.0;
    rig.link->SetJob(job::StreamStop);
    const double hz = static_cast<double>(records) / seconds;
    const double limitHz = 1000.0 / (static_cast<double>(1 + length) * kByteMs + TComX::kPacingMs);
    char text[200];
    std::snprintf(text, sizeof text,
                  "{\"hz\": %.2f, \"limitHz\": %.2f, \"ratio\": %.3f, \"cpuPercent\": %.2f}", hz,
                  limitHz, hz / limitHz, cpuPercent);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::string out = "{";
    const SequenceRun upload = Sequence(30, TSequence::Upload);
    const SequenceRun download = Sequence(30, TSequence::Download);
    out += "\"uploadSequence30\": " + upload.Json;
    out += ", \"downloadSequence30cs\": " + download.Json;
    out += ", \"downloadSequence6echo\": " + Sequence(6, TSequence::Download).Json;
    out += ", \"upload256\": " + Job(30, TTransfer::FuelMapUpload);
    out += ", \"download256cs\": " + Job(30, TTransfer::FuelMapDownload);
    out += ", \"download256echo\": " + Job(6, TTransfer::FuelMapDownload);
    out += ", \"live11\": " + Live(8, 11);
    out += ", \"live18\": " + Live(20, 18);
    out += ", \"live24\": " + Live(30, 24);
    out += ", \"live28\": " + Live(38, 28);
    out += ", \"adapterLagUpload30\": " + Lagged(30, TSequence::Upload, upload);
    out += ", \"adapterLagDownload30cs\": " + Lagged(30, TSequence::Download, download);
    out += "}";
    std::puts(out.c_str());
    return 0;
}
