#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QFileSystemWatcher;

namespace zv::port {
class DeviceChangeFilter;
}

namespace zv::port {

class TSerial;

// One port present on this machine.
struct TComPort {
    std::string Name;  // COM1 .. COM99
    int Number = 0;
    std::string Device;         // what is opened: a device path, a port directory entry, or COMn
    std::string Target;         // the device behind it, so that a link moved to another one counts
    TSerial* Serial = nullptr;  // the open port on it, if any
};

// The ports present on this machine, each with its COM number. On Windows these are the
// system's COM ports. Elsewhere serial devices get stable numbers (see NumberDevices) and the
// port directory adds any device under a name COM<n> of its choosing; its entries win over a
// device's own number. Ports that come and go are noticed by watching /dev and the port
// directory (on Windows by the system's device-change broadcast), and by a rescan every second
// as a backstop, so no change goes unseen for long.
class TCOMManager : public QObject {
    Q_OBJECT
  public:
    // Scans COM1..COM99 at once and starts watching.
    explicit TCOMManager(QObject* parent = nullptr);
    ~TCOMManager() override;
    TCOMManager(const TCOMManager&) = delete;
    TCOMManager& operator=(const TCOMManager&) = delete;

    // Adds the ports numbered above the highest number scanned so far, up to max (at most 99).
    void ScanPorts(int max);
    // Compares a fresh scan of the same numbers with the list: an open port that vanished is
    // told so, and the arrived or removed callback runs when ports came or went.
    void Rescan();
    bool IsPresent(int number) const;
    int IndexOf(int number) const;  // -1 when not present
    const std::vector<TComPort>& Ports() const { return ports_; }
    std::vector<int> Numbers() const;
    // What TSerial opens for the number: the listed port's device, else the device the number
    // stands for by convention (see UnlistedDevice); empty when there is none.
    std::string DevicePath(int number) const;

    // A device named by its path (a link to one included) for this run: the number of the port
    // that already leads to it, else the highest free number, kept while the device exists.
    // 0 when the device does not exist or no number is free.
    int AddDevicePath(const std::string& path);

    std::function<void()> OnPortArrived;
    std::function<void()> OnPortRemoved;

    // The system's serial devices; tests replace it to get a machine without any.
    std::function<std::vector<std::string>()> SystemDevices;
    // The device to try for a number no list shows. Some drivers, and Wine's port setting, give
    // ports the system's list leaves out: a port the operator names is tried before it is
    // taken for missing. Tests replace it to point a number at a terminal of their own.
    std::function<std::optional<std::string>(int number)> UnlistedDevice;

    // Open ports register themselves, so that a vanished port can be told.
    void Attach(TSerial* serial);
    void Detach(TSerial* serial);
    void SetOpenSerial(int number, TSerial* serial);

  private:
    std::vector<TComPort> Probe(int max) const;
    void Watch();

    std::vector<TComPort> ports_;
    int highestScanned_ = 0;
    std::map<int, std::string> named_;  // AddDevicePath
    std::vector<TSerial*> serials_;
    QFileSystemWatcher* watcher_ = nullptr;
    std::unique_ptr<DeviceChangeFilter> deviceChanges_;
    QTimer rescanTimer_;
    QTimer settleTimer_;
};

}  // namespace zv::port
