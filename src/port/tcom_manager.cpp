#include "tcom_manager.h"

#include <QCoreApplication>
#include <QFileSystemWatcher>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "device_change_filter.h"
#include "port_directory.h"
#include "system_serial_ports.h"
#include "tserial.h"

namespace zv::port {

namespace {

constexpr int kRescanMs = 1000;
// Device nodes and links appear in bursts; one rescan after the burst is enough.
constexpr int kSettleMs = 150;

std::string Resolved(const std::string& path) {
    std::error_code ec;
    const auto target = std::filesystem::canonical(path, ec);
    return ec ? path : target.string();
}

bool Exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

bool SamePort(const TComPort& a, const TComPort& b) {
    return a.Number == b.Number && a.Device == b.Device && a.Target == b.Target;
}

// Where the system opens COM<n>, listed or not.
std::optional<std::string> ConventionalDevice(int number) {
    if (number < 1 || number > kMaxComNumber)
        return std::nullopt;
#ifdef Q_OS_WIN
    // From COM10 on Windows opens the port only under its device path.
    return number >= 10 ? "\\\\.\\COM" + std::to_string(number) : "COM" + std::to_string(number);
#else
    return StableDevicePath(number);
#endif
}

}  // namespace

TCOMManager::TCOMManager(QObject* parent)
    : QObject(parent), SystemDevices(native::SystemSerialPorts), UnlistedDevice(ConventionalDevice) {
    ScanPorts(kMaxComNumber);
    Watch();
}

TCOMManager::~TCOMManager() {
    if (deviceChanges_ && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(deviceChanges_.get());
    for (TSerial* serial : serials_)
        serial->ManagerGone();
}

void TCOMManager::Watch() {
    watcher_ = new QFileSystemWatcher(this);
#ifndef Q_OS_WIN
    watcher_->addPath(QStringLiteral("/dev"));
    const QString directory = QString::fromStdString(PortDirectory());
    if (Exists(directory.toStdString()))
        watcher_->addPath(directory);
#endif
    settleTimer_.setSingleShot(true);
    settleTimer_.setInterval(kSettleMs);
    connect(&settleTimer_, &QTimer::timeout, this, [this] { Rescan(); });
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this,
            [this] { settleTimer_.start(); });
#ifdef Q_OS_WIN
    if (QCoreApplication::instance()) {
        deviceChanges_ = std::make_unique<DeviceChangeFilter>([this] { settleTimer_.start(); });
        QCoreApplication::instance()->installNativeEventFilter(deviceChanges_.get());
    }
#endif
    rescanTimer_.setInterval(kRescanMs);
    connect(&rescanTimer_, &QTimer::timeout, this, [this] { Rescan(); });
    rescanTimer_.start();
}

std::vector<TComPort> TCOMManager::Probe(int max) const {
    std::map<int, std::string> found;
#ifndef Q_OS_WIN
    found = ReadPortDirectory(PortDirectory());
#endif
    for (const auto& [number, path] : named_) {
        if (!found.count(number) && Exists(path))
            found[number] = path;
    }
    for (const auto& [number, path] :
         NumberDevices(SystemDevices ? SystemDevices() : std::vector<std::string>{}, found)) {
        found[number] = path;
    }
    std::vector<TComPort> ports;
    for (const auto& [number, path] : found) {
        if (number > max)
            break;
        TComPort port;
        port.Number = number;
        port.Name = "COM" + std::to_string(number);
        port.Device = path;
        port.Target = Resolved(path);
        ports.push_back(port);
    }
    return ports;
}

void TCOMManager::ScanPorts(int max) {
    max = std::min(max, kMaxComNumber);
    if (max <= highestScanned_)
        return;
    for (auto& port : Probe(max)) {
        if (port.Number > highestScanned_ && IndexOf(port.Number) < 0)
            ports_.push_back(port);
    }
    std::sort(ports_.begin(), ports_.end(),
              [](const TComPort& a, const TComPort& b) { return a.Number < b.Number; });
    highestScanned_ = max;
}

void TCOMManager::Rescan() {
    std::vector<TComPort> fresh = Probe(highestScanned_);
    bool removed = false;
    bool arrived = false;
    for (const auto& old : ports_) {
        const bool kept = std::any_of(fresh.begin(), fresh.end(),
                                      [&](const TComPort& p) { return SamePort(p, old); });
        if (kept)
            continue;
        removed = true;
        if (old.Serial)
            old.Serial->PortRemoved();
    }
    for (auto& port : fresh) {
        const int index = IndexOf(port.Number);
        if (index >= 0 && SamePort(ports_[static_cast<std::size_t>(index)], port)) {
            port.Serial = ports_[static_cast<std::size_t>(index)].Serial;
        } else {
            arrived = true;
        }
    }
    ports_ = std::move(fresh);
    if (removed && OnPortRemoved)
        OnPortRemoved();
    if (arrived) {
        if (OnPortArrived)
            OnPortArrived();
        // A port that a closed TSerial waits for may be back.
        const std::vector<TSerial*> waiting = serials_;
        for (TSerial* serial : waiting)
            serial->PortArrived();
    }
}

bool TCOMManager::IsPresent(int number) const {
    return IndexOf(number) >= 0;
}

int TCOMManager::IndexOf(int number) const {
    for (std::size_t i = 0; i < ports_.size(); ++i) {
        if (ports_[i].Number == number)
            return static_cast<int>(i);
    }
    return -1;
}

std::vector<int> TCOMManager::Numbers() const {
    std::vector<int> numbers;
    for (const auto& port : ports_)
        numbers.push_back(port.Number);
    return numbers;
}

std::string TCOMManager::DevicePath(int number) const {
    const int index = IndexOf(number);
    if (index >= 0) {
#ifdef Q_OS_WIN
        return ConventionalDevice(number).value_or(std::string());
#else
        return ports_[static_cast<std::size_t>(index)].Device;
#endif
    }
    if (number < 1 || number > kMaxComNumber || !UnlistedDevice)
        return {};
    return UnlistedDevice(number).value_or(std::string());
}

int TCOMManager::AddDevicePath(const std::string& path) {
    if (!Exists(path))
        return 0;
    const std::string target = Resolved(path);
    for (const auto& port : ports_) {
        if (port.Device == path || port.Target == target)
            return port.Number;
    }
    for (int n = kMaxComNumber; n >= 1; --n) {
        if (IsPresent(n) || named_.count(n))
            continue;
        named_[n] = path;
        TComPort port;
        port.Number = n;
        port.Name = "COM" + std::to_string(n);
        port.Device = path;
        port.Target = target;
        ports_.push_back(port);
        std::sort(ports_.begin(), ports_.end(),
                  [](const TComPort& a, const TComPort& b) { return a.Number < b.Number; });
        highestScanned_ = kMaxComNumber;
        return n;
    }
    return 0;
}

void TCOMManager::Attach(TSerial* serial) {
    serials_.push_back(serial);
}

void TCOMManager::Detach(TSerial* serial) {
    serials_.erase(std::remove(serials_.begin(), serials_.end(), serial), serials_.end());
    for (auto& port : ports_) {
        if (port.Serial == serial)
            port.Serial = nullptr;
    }
}

void TCOMManager::SetOpenSerial(int number, TSerial* serial) {
    for (auto& port : ports_) {
        if (port.Serial == serial)
            port.Serial = nullptr;
        if (port.Number == number)
            port.Serial = serial;
    }
}

}  // namespace zv::port
