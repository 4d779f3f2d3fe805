#include "tserial.h"

#include "tcom_manager.h"

namespace zv::port {

TSerial::TSerial(TCOMManager& manager, QObject* parent) : QObject(parent), manager_(&manager) {
    manager.Attach(this);
    const auto numbers = manager.Numbers();
    if (!numbers.empty())
        number_ = numbers.front();
    connect(&port_, &QSerialPort::readyRead, this, [this] { RaiseRxChar(); });
    connect(&port_, &QSerialPort::errorOccurred, this,
            [this](QSerialPort::SerialPortError e) { ErrorOccurred(e); });
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

bool TSerial::Open() {
    if (port_.isOpen())
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
    port_.setPortName(QString::fromStdString(device));
    port_.setBaudRate(BaudRateOfIndex(baudIndex_));
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    port_.setReadBufferSize(kBufSizeRec);
    if (!port_.open(QIODevice::ReadWrite)) {
        const auto error = port_.error();
        const std::string why = port_.errorString().toStdString();
        if (error == QSerialPort::DeviceNotFoundError) {
            waitingForPort_ = true;
            Fail(TOpenError::Missing, "port " + name + " (" + device + ") is not present: " + why);
        } else if (error == QSerialPort::PermissionError) {
            Fail(TOpenError::InUse,
                 "port " + name + " (" + device + ") is in use or not permitted: " + why);
        } else {
            Fail(TOpenError::Refused,
                 "port " + name + " (" + device + ") cannot be opened: " + why);
        }
        return false;
    }
    // Lines a pseudo-terminal or an adapter does not have refuse these; the link works without.
    port_.setRequestToSend(true);
    port_.setDataTerminalReady(true);
    port_.clearError();
    waitingForPort_ = false;
    Fail(TOpenError::None, {});
    if (manager_)
        manager_->SetOpenSerial(number_, this);
    return true;
}

void TSerial::Close() {
    waitingForPort_ = false;
    if (!port_.isOpen())
        return;
    port_.close();
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
    return port_.isOpen() ? static_cast<std::size_t>(port_.bytesAvailable()) : 0;
}

std::size_t TSerial::ReadBuf(std::uint8_t* buffer, std::size_t n) {
    if (!port_.isOpen() || n == 0)
        return 0;
    const qint64 got = port_.read(reinterpret_cast<char*>(buffer), static_cast<qint64>(n));
    return got > 0 ? static_cast<std::size_t>(got) : 0;
}

std::size_t TSerial::WriteBuf(const std::uint8_t* buffer, std::size_t n) {
    if (!port_.isOpen() || n == 0)
        return 0;
    const qint64 put = port_.write(reinterpret_cast<const char*>(buffer), static_cast<qint64>(n));
    // Hand the bytes to the driver now rather than when the event loop next runs.
    port_.flush();
    return put > 0 ? static_cast<std::size_t>(put) : 0;
}

std::string TSerial::ReadString() {
    if (!port_.isOpen())
        return {};
    const std::string waiting = port_.readAll().toStdString();
    // Bytes still in the driver's queue, which QSerialPort fetches only when the event loop
    // next runs, are just as stale: the link calls this before each request.
    port_.clear(QSerialPort::Input);
    return waiting;
}

void TSerial::ErrorOccurred(QSerialPort::SerialPortError error) {
    // A hang-up or a pulled adapter; settings the device refuses are no reason to close.
    // Closed from the event loop, not from inside QSerialPort's own notification.
    if (error == QSerialPort::ResourceError && port_.isOpen()) {
        QMetaObject::invokeMethod(
            this, [this] { PortRemoved(); }, Qt::QueuedConnection);
    }
}

void TSerial::MarkRemoved() {
    port_.close();
    if (manager_)
        manager_->SetOpenSerial(0, this);
    waitingForPort_ = true;
    if (OnCOMRemoved)
        OnCOMRemoved();
}

void TSerial::PortRemoved() {
    if (port_.isOpen())
        MarkRemoved();
}

void TSerial::PortArrived() {
    if (waitingForPort_ && manager_ && manager_->IsPresent(number_))
        Open();
}

}  // namespace zv::port
