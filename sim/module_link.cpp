#include "module_link.h"

#include "log.h"

#include "core/catalogue.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace sim {

namespace {

// One byte on the line: start bit, 8 data bits, a parity bit when used, stop bit.
Clock::duration ByteTime(const ModuleLink& link) {
    const int baud = std::max(core::BaudFromRateCode(link.line_rate), 1);
    const int bits = link.line_parity == 0 ? 10 : 11;
    return std::chrono::duration_cast<Clock::duration>(std::chrono::microseconds(bits * 1000000LL) /
                                                       baud);
}

} // namespace

std::optional<TimePoint> PumpOutput(ModuleLink& link, TimePoint now, const Log& log) {
    while (!link.output.empty()) {
        Chunk& chunk = link.output.front();
        if (!link.chunk_started) {
            link.chunk_start = std::max(chunk.not_before, link.line_free + chunk.gap_before);
            link.chunk_started = true;
            link.chunk_sent = 0;
        }
        const Clock::duration byte_time = ByteTime(link);
        // Byte i has left the UART one byte time after byte i-1, the first one byte time
        // after the start.
        std::size_t due = 0;
        if (now >= link.chunk_start)
            due = std::min<std::size_t>(
                chunk.data.size(), static_cast<std::size_t>((now - link.chunk_start) / byte_time));
        if (due > link.chunk_sent) {
            const ssize_t written =
                write(link.pty.master, chunk.data.data() + link.chunk_sent, due - link.chunk_sent);
            if (written < 0 && errno != EINTR) {
                // Nobody is reading (the host's buffer is full or its side is closed): a UART
                // does not wait, so the rest of this chunk is lost.
                log.Event(link.index, "host not reading, " +
                                          std::to_string(chunk.data.size() - link.chunk_sent) +
                                          " bytes dropped");
                link.chunk_sent = chunk.data.size();
            } else if (written > 0) {
                link.chunk_sent += static_cast<std::size_t>(written);
            }
        }
        if (link.chunk_sent < chunk.data.size())
            return link.chunk_start + byte_time * static_cast<Clock::rep>(link.chunk_sent + 1);
        const TimePoint end =
            link.chunk_start + byte_time * static_cast<Clock::rep>(chunk.data.size());
        if (end > now)
            return end; // the last byte is still on its way; the switch waits for it
        link.line_free = end;
        if (chunk.switch_after &&
            (link.line_rate != link.state.serial_rate || link.line_parity != link.state.parity)) {
            link.line_rate = link.state.serial_rate;
            link.line_parity = link.state.parity;
            log.Event(link.index, "now at " +
                                      std::to_string(core::BaudFromRateCode(link.line_rate)) +
                                      " baud, parity code " + std::to_string(link.line_parity));
        }
        link.output.pop_front();
        link.chunk_started = false;
    }
    return std::nullopt;
}

} // namespace sim
