// The port a module hangs on, as qxcli uses it: opened through the window's serial link, one
// request at a time, each answer collected until it is complete, every frame traced on demand.
#pragma once

#include "core/answer.h"
#include "core/catalogue.h"
#include "core/frame_trace.h"
#include "core/line_settings.h"
#include "core/services.h"
#include "serial/commfunction.h"
#include "serial/link.h"
#include "serial/posix_sio.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace cli {

// Keeps the serial link's message boxes as text, so a failure can name its reason.
class MessageKeeper : public core::Dialogs {
public:
    void Warning(const std::string& text) override { m_last = text; }
    void Error(const std::string& text) override { m_last = text; }
    bool Question(const std::string&) override { return false; }
    bool WarningQuestion(const std::string&) override { return false; }
    // The last message and forgets it; its reason line where it has one.
    std::string Take();

private:
    std::string m_last;
};

class ModulePort {
public:
    // `name` is what the operator typed (COM3, /dev/ttyUSB0), `device` the path it stands for.
    ModulePort(std::string name, std::string device, bool trace, bool eded);
    ~ModulePort();
    ModulePort(const ModulePort&) = delete;
    ModulePort& operator=(const ModulePort&) = delete;

    // Throws Failure kPort with the reason: a busy port names its holder where /proc tells.
    void Open();
    // Rate in baud and parity code (0 none, 1 even, 2 odd), 8 data bits, 1 stop bit.
    void SetLine(int baud, int parity);
    const core::LineSettings& Line() const { return m_line; }
    int Baud() const { return m_line.BaudRate; }
    int Parity() const { return m_parity; }
    const std::string& Name() const { return m_name; }
    bool Eded() const { return m_eded; }

    // Sends the command in the framing qxcli uses for it and collects the answer: its first
    // byte must come within `firstByte` (`wait` when not given), then it is complete once it
    // is as long as its frame says; a frame's beginning waits up to `wait` for each next
    // byte, bytes that begin no frame end at a pause. Nothing when no byte came.
    std::optional<core::AnswerResult>
    Exchange(const core::Command& command, std::string_view payload, std::chrono::milliseconds wait,
             std::string_view id = {}, std::optional<std::chrono::milliseconds> firstByte = {});

    // The framing a command goes out in on this port.
    core::Framing FramingOf(const core::Command& command) const;

private:
    // The handler every answer goes to: EDED under --framing eded.
    core::Framing Handler() const;
    // What the port delivers now; throws Failure kPort when the port is lost.
    core::Bytes Receive();
    // Drops what a late answer to an earlier request left on the line.
    void DrainStale();
    core::Bytes Collect(std::chrono::milliseconds firstByte, std::chrono::milliseconds wait);
    void Trace(core::FrameTraceRecord record, std::optional<std::chrono::milliseconds> roundTrip);

    std::string m_name;
    std::string m_device;
    bool m_trace;
    bool m_eded;
    std::string m_variant;
    MessageKeeper m_messages;
    serial::PosixSio m_sio;
    TCommFun m_commFun;
    serial::Link m_link;
    core::LineSettings m_line;
    int m_parity = 0;
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point m_sentAt{};
    std::string m_pending; // the request code the last answer was awaited for
};

// A whole frame takes this long on the wire at `baud`, with a parity bit where `parity` is not
// 0: start, 8 data, parity and stop bits for each byte, rounded up to whole ms.
std::chrono::milliseconds WireTime(std::size_t bytes, int baud, int parity);

} // namespace cli
