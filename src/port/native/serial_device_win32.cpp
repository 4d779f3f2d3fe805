// Serial devices on the Win32 communications API, with overlapped I/O.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <list>
#include <thread>
#include <vector>

#include "serial_device.h"

namespace zv::port::native {

namespace {

// A write the driver has not finished: the bytes and the OVERLAPPED must live until it has.
struct PendingWrite {
    std::vector<std::uint8_t> Bytes;
    OVERLAPPED Overlapped{};
};

std::string SystemMessage(DWORD error) {
    char text[256] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, text, sizeof text, nullptr);
    std::string message(text, length);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
        message.pop_back();
    return message.empty() ? "system error " + std::to_string(error) : message;
}

OpenFailure FailureOfError(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return OpenFailure::Missing;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            return OpenFailure::InUse;
        default:
            return OpenFailure::Refused;
    }
}

bool SetFrame(HANDLE handle, int baudRate) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!BuildCommDCBA("baud=19200 parity=N data=8 stop=1", &dcb))
        return false;
    dcb.BaudRate = static_cast<DWORD>(baudRate);
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fTXContinueOnXoff = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fAbortOnError = FALSE;
    dcb.XonLim = 400;
    dcb.XoffLim = 1600;
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    dcb.ErrorChar = '?';
    dcb.EofChar = 0x1A;
    dcb.EvtChar = 0x0D;
    return SetCommState(handle, &dcb) != 0;
}

// Reads return at once with what the driver holds; writes have no time limit.
bool SetNonBlockingReads(HANDLE handle) {
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    return SetCommTimeouts(handle, &timeouts) != 0;
}

}  // namespace

struct SerialDevice::State {
    HANDLE Handle = INVALID_HANDLE_VALUE;
    HANDLE StopEvent = nullptr;
    std::thread Receiver;
    std::atomic<bool> Gone{false};
    std::atomic<bool> ArrivalReported{false};
    std::list<PendingWrite> Writes;

    void ReapWrites(bool wait) {
        for (auto it = Writes.begin(); it != Writes.end();) {
            DWORD done = 0;
            if (!wait && !HasOverlappedIoCompleted(&it->Overlapped)) {
                ++it;
                continue;
            }
            GetOverlappedResult(Handle, &it->Overlapped, &done, TRUE);
            CloseHandle(it->Overlapped.hEvent);
            it = Writes.erase(it);
        }
    }
};

namespace {

// Reports bytes the driver holds unless the owner has not yet taken note of the last report.
void ReportIfQueued(HANDLE handle, std::atomic<bool>& reported,
                    const std::function<void()>& onArrival) {
    DWORD errors = 0;
    COMSTAT status{};
    if (ClearCommError(handle, &errors, &status) && status.cbInQue > 0 && !reported.exchange(true))
        onArrival();
}

// The receive thread: waits for EV_RXCHAR until told to stop or the device goes away.
void ReceiveLoop(SerialDevice::State* state, const std::function<void()>& onArrival);

}  // namespace

SerialDevice::SerialDevice() : state_(std::make_unique<State>()) {}

SerialDevice::~SerialDevice() {
    Close();
}

OpenFailure SerialDevice::Open(const std::string& device, int baudRate, std::size_t queueSize) {
    if (IsOpen())
        return OpenFailure::Refused;
    HANDLE handle = CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        errorText_ = SystemMessage(error);
        return FailureOfError(error);
    }
    const DWORD queue = static_cast<DWORD>(queueSize);
    if (!SetupComm(handle, queue, queue) || !SetFrame(handle, baudRate) ||
        !SetNonBlockingReads(handle) || !SetCommMask(handle, EV_RXCHAR)) {
        errorText_ = SystemMessage(GetLastError());
        CloseHandle(handle);
        return OpenFailure::Refused;
    }
    PurgeComm(handle, PURGE_RXCLEAR | PURGE_TXCLEAR);
    // The lines follow the control block; a device without them refuses nothing there.
    modemLinesOn_ = true;
    state_->Handle = handle;
    state_->Gone = false;
    state_->ArrivalReported = false;
    state_->StopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    state_->Receiver = std::thread(ReceiveLoop, state_.get(), onArrival_);
    errorText_.clear();
    return OpenFailure::None;
}

void SerialDevice::Close() {
    if (state_->Handle == INVALID_HANDLE_VALUE)
        return;
    SetEvent(state_->StopEvent);
    // Clearing the mask ends a pending wait at once.
    SetCommMask(state_->Handle, 0);
    if (state_->Receiver.joinable())
        state_->Receiver.join();
    CancelIo(state_->Handle);
    state_->ReapWrites(true);
    CloseHandle(state_->StopEvent);
    CloseHandle(state_->Handle);
    state_->StopEvent = nullptr;
    state_->Handle = INVALID_HANDLE_VALUE;
    state_->Gone = false;
}

bool SerialDevice::IsOpen() const {
    return state_->Handle != INVALID_HANDLE_VALUE;
}

std::size_t SerialDevice::Queued() const {
    DWORD errors = 0;
    COMSTAT status{};
    if (!IsOpen() || !ClearCommError(state_->Handle, &errors, &status))
        return 0;
    return status.cbInQue;
}

std::size_t SerialDevice::Read(std::uint8_t* buffer, std::size_t n) {
    if (!IsOpen() || n == 0)
        return 0;
    OVERLAPPED overlapped{};
    overlapped.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(n, MAXDWORD));
    // With the non-blocking time-outs a pending read completes at once.
    if (!ReadFile(state_->Handle, buffer, want, &got, &overlapped)) {
        if (GetLastError() != ERROR_IO_PENDING ||
            !GetOverlappedResult(state_->Handle, &overlapped, &got, TRUE)) {
            state_->Gone = true;
            got = 0;
        }
    }
    CloseHandle(overlapped.hEvent);
    return got;
}

std::size_t SerialDevice::Write(const std::uint8_t* buffer, std::size_t n) {
    if (!IsOpen() || n == 0)
        return 0;
    state_->ReapWrites(false);
    // Overlapped, so that the caller goes on while the bytes go out at the line's rate; a
    // plain WriteFile also misreports the count under Wine.
    auto& write = state_->Writes.emplace_back();
    write.Bytes.assign(buffer, buffer + n);
    write.Overlapped.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD put = 0;
    if (WriteFile(state_->Handle, write.Bytes.data(), static_cast<DWORD>(n), &put,
                  &write.Overlapped) ||
        GetLastError() == ERROR_IO_PENDING) {
        return n;
    }
    CloseHandle(write.Overlapped.hEvent);
    state_->Writes.pop_back();
    return 0;
}

void SerialDevice::DiscardInput() {
    if (IsOpen())
        PurgeComm(state_->Handle, PURGE_RXCLEAR);
}

bool SerialDevice::Vanished() const {
    return IsOpen() && state_->Gone;
}

int SerialDevice::Descriptor() const {
    return -1;
}

void SerialDevice::ArrivalSeen() {
    state_->ArrivalReported = false;
}

namespace {

void ReceiveLoop(SerialDevice::State* state, const std::function<void()>& onArrival) {
    std::function<void()> report = onArrival;
    if (!report)
        report = [] {};
    OVERLAPPED overlapped{};
    overlapped.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    const HANDLE waits[] = {overlapped.hEvent, state->StopEvent};
    while (WaitForSingleObject(state->StopEvent, 0) != WAIT_OBJECT_0) {
        DWORD mask = 0;
        ResetEvent(overlapped.hEvent);
        const bool done = WaitCommEvent(state->Handle, &mask, &overlapped) != 0;
        if (!done && GetLastError() != ERROR_IO_PENDING) {
            state->Gone = true;
            report();
            break;
        }
        // EV_RXCHAR comes only for bytes that arrive after the wait began (so under Wine):
        // bytes that came in between are reported here.
        ReportIfQueued(state->Handle, state->ArrivalReported, report);
        if (!done && WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) {
            CancelIo(state->Handle);
            break;
        }
        DWORD unused = 0;
        if (!done && !GetOverlappedResult(state->Handle, &overlapped, &unused, FALSE)) {
            if (WaitForSingleObject(state->StopEvent, 0) != WAIT_OBJECT_0) {
                state->Gone = true;
                report();
            }
            break;
        }
        if (mask & EV_RXCHAR)
            ReportIfQueued(state->Handle, state->ArrivalReported, report);
    }
    CloseHandle(overlapped.hEvent);
}

}  // namespace

}  // namespace zv::port::native
