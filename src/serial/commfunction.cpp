#include "commfunction.h"

#include "core/texts.h"

#include <algorithm>
#include <array>

namespace {

enum class Box { Warning, Error };

struct Message {
    int code;
    Box box;
    core::TextId text;
};

using T = core::TextId;

constexpr std::array kOpenMessages{
    Message{serial::kSioBadPort, Box::Warning, T::kPortHardwareFail},
    Message{serial::kSioOpenFail, Box::Warning, T::kPortOpenFail},
    Message{serial::kSioSystemFail, Box::Warning, T::kSystemCallFail},
};
constexpr std::array kParamsMessages{
    Message{serial::kSioBadPort, Box::Warning, T::kPortNotOpen},
    Message{serial::kSioSystemFail, Box::Warning, T::kSystemCallFail},
};
constexpr std::array kCloseMessages{
    Message{serial::kSioSystemFail, Box::Warning, T::kSystemCallFail},
};
constexpr std::array kSendMessages{
    Message{serial::kSioBadPort, Box::Warning, T::kPortNotOpen},
    Message{serial::kSioBadParam, Box::Error, T::kSendParamsError},
    Message{serial::kSioAbortWrite, Box::Warning, T::kSendParamsError},
};

template <std::size_t N> const Message* Find(const std::array<Message, N>& table, int code) {
    for (const auto& m : table) {
        if (m.code == code)
            return &m;
    }
    return nullptr;
}

} // namespace

TCommFun::TCommFun(serial::Sio& sio, core::Dialogs& dialogs, const std::string& variantType)
    : m_sio(sio), m_dialogs(dialogs), m_variantType(variantType) {}

bool TCommFun::OpenPort(int port) {
    const bool opened = Report(Call::Open, port, m_sio.sio_open(port));
    if (opened)
        Changed();
    return opened;
}

bool TCommFun::SetPortParams(int port, int baudCode, int dataBitsCode, int stopBitsCode,
                             int parityCode) {
    const int mode = dataBitsCode | stopBitsCode | parityCode;
    return Report(Call::Params, port, m_sio.sio_ioctl(port, baudCode, mode));
}

bool TCommFun::ClosePort(int port) {
    const bool closed = Report(Call::Close, port, m_sio.sio_close(port));
    if (closed)
        Changed();
    return closed;
}

bool TCommFun::SendData(int port, const core::Bytes& data, int length) {
    // A length beyond the data would send whatever lies behind it.
    const bool inside = length >= 0 && static_cast<std::size_t>(length) <= data.size();
    const int code = inside ? m_sio.sio_write(port, data.data(), length) : serial::kSioBadParam;
    return Report(Call::Send, port, code);
}

void TCommFun::ReceiveData(int port, core::Bytes& received) {
    const int waiting = m_sio.sio_iqueue(port);
    if (waiting <= 0) {
        ReportLost(port);
        return;
    }
    std::array<char, kReceiveBufferSize> buffer;
    const int asked = std::min(waiting, kReceiveBufferSize);
    const int count = m_sio.sio_read(port, buffer.data(), asked);
    if (count < 0) {
        ReportLost(port);
        return;
    }
    if (count > 0)
        received.assign(buffer.data(), static_cast<std::size_t>(std::min(count, asked)));
}

bool TCommFun::Report(Call call, int port, int code) {
    const bool ok = call == Call::Send ? code >= 0 : code == serial::kSioOk;
    if (ok)
        return true;
    if (code == serial::kSioBadPort && ReportLost(port))
        return false;
    const Message* m = nullptr;
    switch (call) {
    case Call::Open:
        m = Find(kOpenMessages, code);
        break;
    case Call::Params:
        m = Find(kParamsMessages, code);
        break;
    case Call::Close:
        m = Find(kCloseMessages, code);
        break;
    case Call::Send:
        m = Find(kSendMessages, code);
        break;
    }
    if (!m)
        return false;
    std::string text = core::SerialLinkText(m->text, m_variantType);
    // The operating system's (or the server's) reason tells the operator what to do about a
    // failed open or line.
    const std::string reason = call == Call::Open     ? m_sio.LastOpenError(port)
                               : call == Call::Params ? m_sio.LastLineError(port)
                                                      : std::string();
    if (!reason.empty())
        text += "\n" + reason;
    if (m->box == Box::Error)
        m_dialogs.Error(text);
    else
        m_dialogs.Warning(text);
    return false;
}

bool TCommFun::ReportLost(int port) {
    const std::string reason = m_sio.TakeLostReason(port);
    if (reason.empty())
        return false;
    Changed();
    m_dialogs.Warning(std::string(core::SerialLinkText(T::kPortNotOpen, m_variantType)) + "\n" +
                      reason);
    if (m_onLost)
        m_onLost(port);
    return true;
}

void TCommFun::Changed() {
    if (m_onChange)
        m_onChange();
}
