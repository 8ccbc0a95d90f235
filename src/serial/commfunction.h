// The tool's only path to the serial port: each library result becomes a success flag and,
// for the failures the operator can act on, a message box.
#pragma once

#include "core/hex.h"
#include "core/services.h"
#include "sio.h"

#include <functional>
#include <string>

class TCommFun {
public:
    // Bytes one poll takes at most; the rest waits for the next poll.
    static constexpr int kReceiveBufferSize = 1025;

    // `variantType` is read at each message, so a later load of the configuration counts.
    TCommFun(serial::Sio& sio, core::Dialogs& dialogs, const std::string& variantType);
    // The variant is kept by reference, so a temporary would dangle.
    TCommFun(serial::Sio&, core::Dialogs&, const std::string&&) = delete;

    bool OpenPort(int port);
    bool SetPortParams(int port, int baudCode, int dataBitsCode, int stopBitsCode, int parityCode);
    bool ClosePort(int port);
    // Sends the first `length` bytes of `data`, zero bytes included.
    bool SendData(int port, const core::Bytes& data, int length);
    // Replaces `received` with what is waiting, when anything is; leaves it alone otherwise.
    void ReceiveData(int port, core::Bytes& received);
    // What tells that bytes wait on `port` (Sio::sio_readiness).
    int Readiness(int port) { return m_sio.sio_readiness(port); }
    // The line the device of `port` acknowledged, where it may differ from the line asked
    // (Sio::AcknowledgedLine); empty otherwise.
    std::string AcknowledgedLine(int port) const { return m_sio.AcknowledgedLine(port); }

    // Called once when the device of an open port vanished, after its box: the port is closed
    // from then on, and whoever keeps its open flag clears it. Empty for none.
    void OnPortLost(std::function<void(int port)> handler) { m_onLost = std::move(handler); }
    // Called after a port was opened, closed or lost, so whoever watches its readiness looks
    // again. Empty for none.
    void OnPortChange(std::function<void()> handler) { m_onChange = std::move(handler); }

private:
    enum class Call { Open, Params, Close, Send };
    bool Report(Call call, int port, int code);
    // Shows, once, that the device of `port` vanished; false when it did not.
    bool ReportLost(int port);
    void Changed();

    serial::Sio& m_sio;
    core::Dialogs& m_dialogs;
    const std::string& m_variantType;
    std::function<void(int port)> m_onLost;
    std::function<void()> m_onChange;
};
