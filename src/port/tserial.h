#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "seams/serial_port.h"

class QSocketNotifier;
class QTimer;

namespace zv::port {

class TCOMManager;
namespace native {
class NativePort;
}

// Why the last Open failed, for messages.
enum class TOpenError { None, NoPort, Missing, InUse, Refused };

// A real serial port for the link, on the system's own serial calls (native/): 8 data bits, no
// parity, one stop bit, no flow control, RTS and DTR on, at the baud rate of the link's index.
// Receive notifications arrive on the thread that owns the port, which is the thread of the
// link's timers, so the link needs no lock: on POSIX a socket notifier watches the terminal,
// on Windows the port's receive thread posts each arrival to this object's thread.
//
// A port that vanishes while open (an adapter pulled, the program behind a pseudo-terminal
// ended) is marked closed and OnCOMRemoved runs; the link then sees a silent unit. A port
// that vanished or was missing while the link wanted it open is opened again as soon as the
// port list sees it come back, so that the link's own retries find the unit.
class TSerial : public QObject, public zv::SerialPort {
    Q_OBJECT
  public:
    // Driver queue sizes.
    static constexpr int kBufSizeRec = 2048;
    static constexpr int kBufSizeTrm = 2048;

    explicit TSerial(TCOMManager& manager, QObject* parent = nullptr);
    ~TSerial() override;

    bool Open() override;
    void Close() override;
    bool IsOpen() const override;
    bool SetPort(int number) override;
    int Port() const override { return number_; }
    std::vector<int> AvailablePorts() const override;
    bool SetBaudIndex(int index) override;
    int BaudIndex() const override { return baudIndex_; }
    std::size_t BytesAvailable() const override;
    std::size_t ReadBuf(std::uint8_t* buffer, std::size_t n) override;
    std::size_t WriteBuf(const std::uint8_t* buffer, std::size_t n) override;
    std::string ReadString() override;

    // Selects a port that is not present (yet): Open then fails as missing, and the port opens
    // by itself when it arrives while the link wants it open.
    void AwaitPort(int number);

    TOpenError LastOpenError() const { return lastError_; }
    std::string LastErrorText() const { return lastErrorText_; }
    std::function<void()> OnCOMRemoved;
    // After each open, from the event loop (never inside the link's step that opened the port):
    // the latency timer of the USB-serial adapter behind the port, where one is known.
    std::function<void(int comPort, int latencyMs)> OnAdapterLatency;
    // Finds that latency timer for a device (the system's registry; nothing off Windows).
    std::function<std::optional<int>(const std::string& device)> LatencyLookup;

    // From the port list.
    void PortRemoved();
    void PortArrived();
    void ManagerGone() { manager_ = nullptr; }

  private:
    void Fail(TOpenError error, const std::string& text);
    void WatchArrivals();
    void StopWatching();
    // Bytes arrived (or the device went away): take them in, then tell the link.
    void Arrived();
    void ResumeWatching();
    void MarkRemoved();
    void ReportAdapterLatency(const std::string& device);

    TCOMManager* manager_;
    std::unique_ptr<native::NativePort> port_;
    QSocketNotifier* notifier_ = nullptr;  // POSIX: watches the terminal while open
    QTimer* arrivalPoll_ = nullptr;        // Windows: finds bytes whose report went missing
    int number_ = 0;
    int baudIndex_ = zv::kBaud9600Index;
    bool waitingForPort_ = false;  // wanted open, but the port is gone
    bool receivePaused_ = false;   // the receive queue was full: bytes wait in the driver
    TOpenError lastError_ = TOpenError::None;
    std::string lastErrorText_;
};

}  // namespace zv::port
