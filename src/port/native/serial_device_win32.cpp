// Serial devices on the Win32 communications API, with overlapped I/O.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <list>
#include <memory>
#include <thread>
#include <vector>

#include "serial_device.h"

namespace zv::port::native {

namespace {

// How long a read of bytes the driver holds may take to complete before it is cancelled.
constexpr DWORD kReadSettleMs = 50;
// How often the receive thread looks at the driver's queue while it waits for an event.
constexpr DWORD kQueueCheckMs = 20;

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
    HANDLE Acknowledged = nullptr;  // the owner took the reported bytes (auto-reset)
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

DWORD QueuedBytes(HANDLE handle) {
    DWORD errors = 0;
    COMSTAT status{};
    return ClearCommError(handle, &errors, &status) ? status.cbInQue : 0;
}

// Reports bytes the driver holds unless the owner has not yet taken note of the last report.
void ReportIfQueued(HANDLE handle, std::atomic<bool>& reported,
                    const std::function<void()>& onArrival) {
    if (QueuedBytes(handle) > 0 && !reported.exchange(true))
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
    state_->Acknowledged = CreateEventA(nullptr, FALSE, FALSE, nullptr);
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
    CloseHandle(state_->Acknowledged);
    CloseHandle(state_->Handle);
    state_->StopEvent = nullptr;
    state_->Acknowledged = nullptr;
    state_->Handle = INVALID_HANDLE_VALUE;
    state_->Gone = false;
}

bool SerialDevice::IsOpen() const {
    return state_->Handle != INVALID_HANDLE_VALUE;
}

std::size_t SerialDevice::Queued() const {
    return IsOpen() ? QueuedBytes(state_->Handle) : 0;
}

std::size_t SerialDevice::Read(std::uint8_t* buffer, std::size_t n) {
    // Never more than the driver holds: Wine lets a read for more wait for further bytes
    // despite the time-outs that say return at once.
    n = std::min(n, Queued());
    if (!IsOpen() || n == 0)
        return 0;
    OVERLAPPED overlapped{};
    overlapped.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD got = 0;
    if (!ReadFile(state_->Handle, buffer, static_cast<DWORD>(n), &got, &overlapped)) {
        bool done = false;
        if (GetLastError() == ERROR_IO_PENDING) {
            if (WaitForSingleObject(overlapped.hEvent, kReadSettleMs) != WAIT_OBJECT_0)
                CancelIoEx(state_->Handle, &overlapped);
            done = GetOverlappedResult(state_->Handle, &overlapped, &got, TRUE) != 0;
            if (!done && GetLastError() == ERROR_OPERATION_ABORTED) {
                done = true;  // cancelled above: what came in is in got
            }
        }
        if (!done) {
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
    if (state_->Acknowledged)
        SetEvent(state_->Acknowledged);
}

namespace {

bool Stopping(const SerialDevice::State* state) {
    return WaitForSingleObject(state->StopEvent, 0) == WAIT_OBJECT_0;
}

// Under Wine a wait ends at once for as long as bytes sit in the driver, so the next wait
// begins only once the owner has taken the last report's bytes. False when told to stop.
bool AwaitAcknowledge(const SerialDevice::State* state) {
    if (!state->ArrivalReported)
        return true;
    const HANDLE waits[] = {state->StopEvent, state->Acknowledged};
    return WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1;
}

bool DeviceAnswers(HANDLE handle) {
    DWORD errors = 0;
    COMSTAT status{};
    return ClearCommError(handle, &errors, &status) != 0;
}

enum class WaitEnd { Event, Stopped, Dead, Failed };

// What a WaitCommEvent writes into until it completes, so on the heap: a wait that cannot be
// ended must not write into a stack that is gone.
struct CommWait {
    CommWait() { Overlapped.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr); }
    OVERLAPPED Overlapped{};
    DWORD Mask = 0;
};

bool Completed(const CommWait& wait) {
    return HasOverlappedIoCompleted(&wait.Overlapped);
}

// Wine signals a wait's event a moment before it writes the wait's result: true when the
// result comes within a few ms.
bool CompletesShortly(CommWait& wait) {
    for (int attempt = 0; attempt < 5 && !Completed(wait); ++attempt)
        WaitForSingleObject(wait.Overlapped.hEvent, 1);
    return Completed(wait);
}

// Waits for the pending WaitCommEvent to complete. Every kQueueCheckMs it also looks at the
// driver's queue: bytes there that the wait has not ended for mean the wait is dead (Wine
// leaves one so after a late signal for the wait before, one that completed at once). They
// are reported, and the wait is to be replaced, so that a lost EV_RXCHAR delays one reply
// instead of stalling the link.
WaitEnd AwaitCompletion(SerialDevice::State* state, CommWait& wait,
                        const std::function<void()>& report) {
    const HANDLE waits[] = {wait.Overlapped.hEvent, state->StopEvent};
    for (;;) {
        const DWORD signalled = WaitForMultipleObjects(2, waits, FALSE, kQueueCheckMs);
        if (signalled != WAIT_OBJECT_0 && signalled != WAIT_TIMEOUT)
            return WaitEnd::Stopped;
        if (Completed(wait))
            return WaitEnd::Event;
        if (signalled == WAIT_TIMEOUT) {
            if (state->ArrivalReported || QueuedBytes(state->Handle) == 0)
                continue;
            ReportIfQueued(state->Handle, state->ArrivalReported, report);
            return WaitEnd::Dead;
        }
        if (CompletesShortly(wait))
            return WaitEnd::Event;
        // A late signal for the wait before: clear it, then look again, as this wait may have
        // completed in between.
        ResetEvent(wait.Overlapped.hEvent);
        if (Completed(wait))
            return WaitEnd::Event;
    }
}

// Ends a pending wait. Under Wine a wait may not end on cancelling (a dead one, or one that
// began as Close cleared the mask); false when it is still pending after a second.
bool CancelWait(HANDLE handle, CommWait& wait) {
    for (int attempt = 0; attempt < 10 && !Completed(wait); ++attempt) {
        CancelIoEx(handle, &wait.Overlapped);
        WaitForSingleObject(wait.Overlapped.hEvent, 100);
    }
    return Completed(wait);
}

WaitEnd WaitForEvent(SerialDevice::State* state, CommWait& wait,
                     const std::function<void()>& report) {
    ResetEvent(wait.Overlapped.hEvent);
    wait.Mask = 0;
    if (WaitCommEvent(state->Handle, &wait.Mask, &wait.Overlapped))
        return WaitEnd::Event;
    if (GetLastError() != ERROR_IO_PENDING)
        return WaitEnd::Failed;
    // EV_RXCHAR comes only for bytes that arrive after the wait began (so under Wine): bytes
    // that came in before are reported here.
    ReportIfQueued(state->Handle, state->ArrivalReported, report);
    const WaitEnd end = AwaitCompletion(state, wait, report);
    if (end != WaitEnd::Event)
        return end;
    DWORD unused = 0;
    if (GetOverlappedResult(state->Handle, &wait.Overlapped, &unused, FALSE))
        return WaitEnd::Event;
    // Wine also ends a pending wait as aborted when the port is read; a device that still
    // answers is not gone.
    wait.Mask = 0;
    return GetLastError() == ERROR_OPERATION_ABORTED && DeviceAnswers(state->Handle)
               ? WaitEnd::Event
               : WaitEnd::Failed;
}

// Cancels a pending wait; one that does not end is left to the driver, which may still write
// into it (closing the handle ends it), and a new one takes its place.
void ReplaceWait(HANDLE handle, std::unique_ptr<CommWait>& wait) {
    if (CancelWait(handle, *wait))
        return;
    wait.release();
    wait = std::make_unique<CommWait>();
}

void ReceiveLoop(SerialDevice::State* state, const std::function<void()>& onArrival) {
    std::function<void()> report = onArrival;
    if (!report)
        report = [] {};
    auto wait = std::make_unique<CommWait>();
    while (!Stopping(state) && AwaitAcknowledge(state)) {
        const WaitEnd end = WaitForEvent(state, *wait, report);
        if (end == WaitEnd::Stopped || end == WaitEnd::Dead)
            ReplaceWait(state->Handle, wait);
        if (end == WaitEnd::Stopped)
            break;
        if (end == WaitEnd::Failed) {
            if (!Stopping(state)) {
                state->Gone = true;
                report();
            }
            break;
        }
        if (wait->Mask & EV_RXCHAR)
            ReportIfQueued(state->Handle, state->ArrivalReported, report);
    }
    CloseHandle(wait->Overlapped.hEvent);
}

}  // namespace

}  // namespace zv::port::native
