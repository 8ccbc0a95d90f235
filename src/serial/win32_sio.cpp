#include "win32_sio.h"

#include "ports.h"

#include <cctype>
#include <windows.h>

namespace serial {

namespace {

// How long a write may wait beyond the line time of its bytes for the device to take them.
constexpr DWORD kWriteGraceMs = 1000;

HANDLE HandleOf(const Win32Port& p) {
    return static_cast<HANDLE>(p.handle);
}

std::wstring Wide(const std::string& text) {
    const int size =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0)
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                              size);
    return out;
}

bool IsComName(const std::string& name) {
    if (name.size() < 4)
        return false;
    for (std::size_t i = 0; i < 3; ++i) {
        if (std::toupper(static_cast<unsigned char>(name[i])) != "COM"[i])
            return false;
    }
    for (std::size_t i = 3; i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i])))
            return false;
    }
    return true;
}

BYTE ParityOf(int parity) {
    switch (parity) {
    case kParityOdd:
        return ODDPARITY;
    case kParityEven:
        return EVENPARITY;
    case kParityMark:
        return MARKPARITY;
    case kParitySpace:
        return SPACEPARITY;
    default:
        return NOPARITY;
    }
}

// Raw bytes both ways: no flow control, no character substitution, and errors that do not stop
// the port until they are cleared.
void MakeRaw(DCB& dcb) {
    dcb.fBinary = TRUE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fTXContinueOnXoff = TRUE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fAbortOnError = FALSE;
}

// Sets `asked`; a refusal as an invalid parameter is judged by what the device holds then.
DWORD SetLine(HANDLE handle, DCB& asked) {
    if (::SetCommState(handle, &asked))
        return ERROR_SUCCESS;
    const DWORD error = ::GetLastError();
    if (error != ERROR_INVALID_PARAMETER)
        return error;
    DCB held{};
    held.DCBlength = sizeof held;
    if (!::GetCommState(handle, &held))
        return ::GetLastError();
    return LineTaken(asked.BaudRate, asked.ByteSize, asked.StopBits, held.BaudRate, held.ByteSize,
                     held.StopBits)
               ? ERROR_SUCCESS
               : error;
}

} // namespace

std::string Utf8(const std::wstring& text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                              size, nullptr, nullptr);
    return out;
}

std::string SystemErrorText(unsigned long error) {
    wchar_t* buffer = nullptr;
    const DWORD size = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer ? buffer : L"", size);
    ::LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
        text.pop_back();
    const std::string number = "error " + std::to_string(error);
    return text.empty() ? number : Utf8(text) + " (" + number + ")";
}

bool DeviceGone(unsigned long error) {
    // A USB adapter pulled out fails the calls on its open handle with access denied or a
    // general failure; a far end that closed (Wine's pseudo-terminal) with not ready.
    return error == ERROR_NOT_READY || error == ERROR_BAD_COMMAND ||
           error == ERROR_DEVICE_NOT_CONNECTED || error == ERROR_DEVICE_REMOVED ||
           error == ERROR_GEN_FAILURE || error == ERROR_ACCESS_DENIED;
}

Win32Outcome OpenFailure(const std::string& device, unsigned long error) {
    switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY:
        return {kSioOpenFail, device + ": in use by another program"};
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return {kSioOpenFail, device + ": no such port here (" + SystemErrorText(error) + ")"};
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
    case ERROR_TOO_MANY_OPEN_FILES:
    case ERROR_NO_SYSTEM_RESOURCES:
        return {kSioSystemFail, device + ": " + SystemErrorText(error)};
    case ERROR_INVALID_FUNCTION:
    case ERROR_INVALID_HANDLE:
    case ERROR_NOT_SUPPORTED:
        return {kSioOpenFail, device + ": not a serial device (" + SystemErrorText(error) + ")"};
    default:
        return {kSioOpenFail, device + ": " + SystemErrorText(error)};
    }
}

std::wstring Win32DeviceName(const std::string& device) {
    return Wide(IsComName(device) ? "\\\\.\\" + device : device);
}

bool LineTaken(unsigned long askedRate, int askedBits, int askedStop, unsigned long heldRate,
               int heldBits, int heldStop) {
    return askedRate == heldRate && askedBits == heldBits && askedStop == heldStop;
}

Win32Sio::Win32Sio(DeviceOf deviceOf) : SioPorts(std::move(deviceOf)) {}

Win32Sio::~Win32Sio() {
    for (int port = 1; port <= kPortCount; ++port)
        sio_close(port);
}

int Win32Sio::FailOpen(Port& p, Win32Outcome outcome) {
    if (p.fd >= 0)
        ::CloseHandle(HandleOf(p));
    p.fd = -1;
    p.handle = nullptr;
    p.openError = std::move(outcome.reason);
    return outcome.code;
}

void Win32Sio::Lose(Port& p, unsigned long error) {
    ::CloseHandle(HandleOf(p));
    p.fd = -1;
    p.handle = nullptr;
    p.lost = true;
    p.lostReason = DisconnectedReason(p.device, SystemErrorText(error));
}

int Win32Sio::Fail(Port& p, unsigned long error) {
    if (DeviceGone(error)) {
        Lose(p, error);
        return kSioBadPort;
    }
    return kSioSystemFail;
}

bool Win32Sio::SetTimeouts(Port& p) {
    // reads take what waits and return at once; a write may take its line time and the grace
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.WriteTotalTimeoutMultiplier = static_cast<DWORD>((10000 + p.rate - 1) / p.rate);
    timeouts.WriteTotalTimeoutConstant = kWriteGraceMs;
    return ::SetCommTimeouts(HandleOf(p), &timeouts) != 0;
}

int Win32Sio::OpenDevice(int port, Port& p) {
    if (p.device.empty())
        return FailOpen(p, {kSioOpenFail, "No device for " + PortName(port) + ": name one as " +
                                              PortName(port) +
                                              "=COMn in section [Ports] of Config.ini"});
    const HANDLE handle =
        ::CreateFileW(Win32DeviceName(p.device).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return FailOpen(p, OpenFailure(p.device, ::GetLastError()));
    p.handle = handle;
    p.fd = 0;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(handle, &dcb))
        return FailOpen(p, OpenFailure(p.device, ::GetLastError()));
    // Wine leaves the parity unset when a pseudo-terminal holds the odd flag without the enable
    // flag, so a value no parity has is taken for none: set back, it would fail the open.
    if (dcb.Parity > SPACEPARITY)
        dcb.Parity = NOPARITY;
    MakeRaw(dcb);
    if (const DWORD error = SetLine(handle, dcb); error != ERROR_SUCCESS)
        return FailOpen(p, {kSioSystemFail, p.device + ": " + SystemErrorText(error)});
    p.rate = dcb.BaudRate > 0 ? static_cast<int>(dcb.BaudRate) : 9600;
    // bytes from before the open answer nothing this program asked
    if (!SetTimeouts(p) || !::PurgeComm(handle, PURGE_RXCLEAR | PURGE_TXCLEAR))
        return FailOpen(p, {kSioSystemFail, p.device + ": " + SystemErrorText(::GetLastError())});
    p.queued = 0;
    p.lost = false;
    p.lostReason.clear();
    return kSioOk;
}

int Win32Sio::sio_ioctl(int port, int baud, int mode) {
    Port* p = OpenAt(port);
    if (!p)
        return kSioBadPort;
    const int rate = RateOfBaudCode(baud);
    if (rate == 0 || !ValidMode(mode))
        return kSioBadParam;
    p->lineError.clear();
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(HandleOf(*p), &dcb))
        return Fail(*p, ::GetLastError());
    MakeRaw(dcb);
    dcb.BaudRate = static_cast<DWORD>(rate);
    dcb.ByteSize = static_cast<BYTE>(5 + (mode & kDataMask));
    dcb.StopBits = (mode & kStop2) ? TWOSTOPBITS : ONESTOPBIT;
    dcb.Parity = ParityOf(mode & kParityMask);
    dcb.fParity = dcb.Parity != NOPARITY;
    if (const DWORD error = SetLine(HandleOf(*p), dcb); error != ERROR_SUCCESS) {
        p->lineError = p->device + ": " + SystemErrorText(error);
        return Fail(*p, error);
    }
    p->rate = rate;
    if (!SetTimeouts(*p))
        return Fail(*p, ::GetLastError());
    return kSioOk;
}

int Win32Sio::sio_close(int port) {
    if (!Valid(port))
        return kSioBadPort;
    Port& p = At(port);
    if (p.fd < 0)
        return CloseClosed(p);
    const bool closed = ::CloseHandle(HandleOf(p)) != 0;
    p.fd = -1;
    p.handle = nullptr;
    return closed ? kSioOk : kSioSystemFail;
}

int Win32Sio::sio_write(int port, const char* data, int length) {
    Port* p = nullptr;
    if (const int bad = BufferCall(port, data, length, p))
        return bad;
    p->writeError.clear();
    if (length == 0)
        return 0;
    DWORD written = 0;
    if (!::WriteFile(HandleOf(*p), data, static_cast<DWORD>(length), &written, nullptr)) {
        const DWORD error = ::GetLastError();
        p->writeError = p->device + ": " + SystemErrorText(error);
        return Fail(*p, error);
    }
    if (static_cast<int>(written) < length) {
        const long long allowed = 10LL * 1000 * length / p->rate + kWriteGraceMs;
        p->writeError = WriteStalledReason(p->device, static_cast<int>(written), length, allowed);
        return kSioWriteTimeout;
    }
    return static_cast<int>(written);
}

int Win32Sio::sio_iqueue(int port) {
    Port* p = OpenAt(port);
    if (!p)
        return kSioBadPort;
    DWORD errors = 0;
    COMSTAT status{};
    if (!::ClearCommError(HandleOf(*p), &errors, &status))
        return Fail(*p, ::GetLastError());
    p->queued = static_cast<unsigned>(status.cbInQue);
    return static_cast<int>(status.cbInQue);
}

int Win32Sio::sio_read(int port, char* buffer, int length) {
    Port* p = nullptr;
    if (const int bad = BufferCall(port, buffer, length, p))
        return bad;
    if (length == 0)
        return 0;
    DWORD got = 0;
    if (!::ReadFile(HandleOf(*p), buffer, static_cast<DWORD>(length), &got, nullptr))
        return Fail(*p, ::GetLastError());
    // Nothing read although the queue said bytes wait: the device went away in between.
    if (got == 0 && p->queued > 0) {
        Lose(*p, ERROR_DEVICE_NOT_CONNECTED);
        return kSioBadPort;
    }
    p->queued = p->queued > got ? p->queued - static_cast<unsigned>(got) : 0;
    return static_cast<int>(got);
}

int Win32Sio::sio_readiness(int port) {
    return OpenAt(port) ? kSioNoReadiness : kSioBadPort;
}

} // namespace serial
