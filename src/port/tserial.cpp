#include "tserial.h"

#include <QSocketNotifier>
#include <QTimer>

#include "adapter_latency.h"
#include "native_port.h"
#include "tcom_manager.h"

namespace zv::port {

namespace {

// Under Wine the receive thread can miss the driver's notice of arriving bytes and may spend up
// to a second replacing a wait that never ends; looking at the driver's queue this often keeps
// a missed notice from costing a reply its time-out.
constexpr int kArrivalPollMs = 20;

TOpenError OpenErrorOf(native::OpenFailure failure) {
    switch (failure) {
        case native::OpenFailure::None:
            return TOpenError::None;
        case native::OpenFailure::Missing:
            return TOpenError::Missing;
        case native::OpenFailure::InUse:
            return TOpenError::InUse;
        case native::OpenFailure::Refused:
            break;
    }
    return TOpenError::Refused;
}

}  // namespace

TSerial::TSerial(TCOMManager& manager, QObject* parent)
    : QObject(parent),
      manager_(&manager),
      port_(std::make_unique<native::NativePort>(kBufSizeRec)) {
    LatencyLookup = native::AdapterLatencyTimerMs;
    manager.Attach(this);
    const auto numbers = manager.Numbers();
    if (!numbers.empty())
        number_ = numbers.front();
    // Runs on the port's receive thread (Windows): the link is entered on this object's thread
    // only. A queued call to an object that is gone by then is dropped by Qt.
    port_->Device().SetOnArrival([this] {
        QMetaObject::invokeMethod(
            this, [this] { Arrived(); }, Qt::QueuedConnection);
    });
}

TSerial::~TSerial() {
    Close();
    if (manager_)
        manager_->Detach(this);
}

void TSerial::Fail(TOpenError error, const std::string& text) {
    lastError_ = error;
    lastErrorText_ = text;
}

bool TSerial::IsOpen() const {
    return port_->IsOpen();
}

bool TSerial::Open() {
    if (port_->IsOpen())
        return false;
    if (number_ == 0) {
        Fail(TOpenError::NoPort, "no port selected");
        return false;
    }
    const std::string name = "COM" + std::to_string(number_);
    const std::string device = manager_ ? manager_->DevicePath(number_) : std::string();
    if (device.empty()) {
        // The link keeps retrying on a closed port; the port opens when it comes back.
        waitingForPort_ = true;
        Fail(TOpenError::Missing, "port " + name + " is not present");
        return false;
    }
    const TOpenError error = OpenErrorOf(port_->Open(device, BaudRateOfIndex(baudIndex_)));
    if (error != TOpenError::None) {
        const std::string why = port_->Device().ErrorText();
        const std::string what = "port " + name + " (" + device + ")";
        if (error == TOpenError::Missing) {
            waitingForPort_ = true;
            Fail(error, what + " is not present: " + why);
        } else if (error == TOpenError::InUse) {
            Fail(error, what + " is in use or not permitted: " + why);
        } else {
            Fail(error, what + " cannot be opened: " + why);
        }
        return false;
    }
    WatchArrivals();
    waitingForPort_ = false;
    Fail(TOpenError::None, {});
    if (manager_)
        manager_->SetOpenSerial(number_, this);
    ReportAdapterLatency(device);
    return true;
}

void TSerial::ReportAdapterLatency(const std::string& device) {
    if (!OnAdapterLatency || !LatencyLookup)
        return;
    const std::optional<int> latencyMs = LatencyLookup(device);
    if (!latencyMs)
        return;
    QTimer::singleShot(0, this, [this, port = number_, ms = *latencyMs] {
        if (OnAdapterLatency)
            OnAdapterLatency(port, ms);
    });
}

void TSerial::WatchArrivals() {
    const int descriptor = port_->Device().Descriptor();
    if (descriptor < 0) {
        // Windows: the receive thread reports arrivals, and a poll catches what it misses.
        arrivalPoll_ = new QTimer(this);
        arrivalPoll_->setInterval(kArrivalPollMs);
        connect(arrivalPoll_, &QTimer::timeout, this, [this] {
            if (!receivePaused_ && port_->Device().Queued() > 0)
                Arrived();
        });
        arrivalPoll_->start();
        return;
    }
    notifier_ = new QSocketNotifier(descriptor, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { Arrived(); });
}

void TSerial::StopWatching() {
    receivePaused_ = false;
    if (arrivalPoll_) {
        arrivalPoll_->stop();
        arrivalPoll_->deleteLater();
        arrivalPoll_ = nullptr;
    }
    if (!notifier_)
        return;
    // Before the descriptor closes: a notifier on a closed descriptor would fire on another.
    // Deleted later, as this may run inside the notifier's own signal (the link closes the
    // port from its receive handler).
    notifier_->setEnabled(false);
    notifier_->deleteLater();
    notifier_ = nullptr;
}

void TSerial::Arrived() {
    if (!port_->IsOpen())
        return;
    if (!port_->Receive()) {
        // Closed from the event loop, not from inside the notification.
        QMetaObject::invokeMethod(
            this, [this] { PortRemoved(); }, Qt::QueuedConnection);
        StopWatching();
        return;
    }
    // A full queue leaves the rest in the driver until the link reads; watching meanwhile
    // would only spin.
    receivePaused_ = port_->QueueFull();
    if (notifier_ && receivePaused_)
        notifier_->setEnabled(false);
    if (port_->BytesAvailable() > 0)
        RaiseRxChar();
}

void TSerial::ResumeWatching() {
    if (!receivePaused_ || port_->QueueFull())
        return;
    receivePaused_ = false;
    if (notifier_) {
        notifier_->setEnabled(true);
    } else {
        // No notifier to fire for bytes already in the driver (Windows): fetch them from the
        // event loop, not from inside the link's read.
        QMetaObject::invokeMethod(
            this, [this] { Arrived(); }, Qt::QueuedConnection);
    }
}

void TSerial::Close() {
    waitingForPort_ = false;
    if (!port_->IsOpen())
        return;
    StopWatching();
    port_->Close();
    if (manager_)
        manager_->SetOpenSerial(0, this);
}

bool TSerial::SetPort(int number) {
    if (number != 0 && (!manager_ || !manager_->IsPresent(number)))
        return false;
    number_ = number;
    return true;
}

void TSerial::AwaitPort(int number) {
    if (number >= 0 && number <= kMaxPortNumber)
        number_ = number;
}

std::vector<int> TSerial::AvailablePorts() const {
    return manager_ ? manager_->Numbers() : std::vector<int>{};
}

bool TSerial::SetBaudIndex(int index) {
    if (BaudRateOfIndex(index) == 0)
        return false;
    baudIndex_ = index;
    return true;
}

std::size_t TSerial::BytesAvailable() const {
    return port_->BytesAvailable();
}

std::size_t TSerial::ReadBuf(std::uint8_t* buffer, std::size_t n) {
    const std::size_t got = port_->Read(buffer, n);
    ResumeWatching();
    return got;
}

std::size_t TSerial::WriteBuf(const std::uint8_t* buffer, std::size_t n) {
    return port_->Write(buffer, n);
}

std::string TSerial::ReadString() {
    // Bytes still in the driver are just as stale: the link calls this before each request.
    std::string waiting = port_->ReadAll();
    ResumeWatching();
    return waiting;
}

void TSerial::MarkRemoved() {
    StopWatching();
    port_->Close();
    if (manager_)
        manager_->SetOpenSerial(0, this);
    waitingForPort_ = true;
    if (OnCOMRemoved)
        OnCOMRemoved();
}

void TSerial::PortRemoved() {
    if (port_->IsOpen())
        MarkRemoved();
}

void TSerial::PortArrived() {
    if (waitingForPort_ && manager_ && manager_->IsPresent(number_))
        Open();
}

}  // namespace zv::port
