#include "port_switch.h"

#include "link/port_name.h"
#include "tserial.h"

namespace zv::port {

namespace {

// The built-in simulated unit answers on a number of its own, beyond the serial ports.
constexpr int kBuiltInPort = zv::kSimulatedUnitPort;

}  // namespace

TPortSwitch::TPortSwitch(zv::SerialPort& builtIn, TSerial& serial)
    : builtIn_(builtIn), serial_(serial) {
    // Only the selected port's bytes reach the link; the other one is closed anyway.
    builtIn_.SetOnRxChar([this] {
        if (number_ == kBuiltInPort)
            RaiseRxChar();
    });
    serial_.SetOnRxChar([this] {
        if (number_ != kBuiltInPort)
            RaiseRxChar();
    });
    builtIn_.SetPort(kBuiltInPort);
}

TPortSwitch::~TPortSwitch() {
    builtIn_.SetOnRxChar(nullptr);
    serial_.SetOnRxChar(nullptr);
}

zv::SerialPort& TPortSwitch::Active() const {
    return number_ == kBuiltInPort ? builtIn_ : static_cast<zv::SerialPort&>(serial_);
}

bool TPortSwitch::SetPort(int number) {
    if (number != kBuiltInPort && (number < 0 || number > kMaxPortNumber))
        return false;
    if (number != number_)
        Active().Close();
    number_ = number;
    if (number == kBuiltInPort)
        return true;
    if (!serial_.SetPort(number))
        serial_.AwaitPort(number);
    return true;
}

std::vector<int> TPortSwitch::AvailablePorts() const {
    return serial_.AvailablePorts();
}

bool TPortSwitch::SetBaudIndex(int index) {
    const bool builtIn = builtIn_.SetBaudIndex(index);
    const bool serial = serial_.SetBaudIndex(index);
    return number_ == kBuiltInPort ? builtIn : serial;
}

}  // namespace zv::port
