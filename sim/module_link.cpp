#include "module_link.h"

#include "log.h"

#include "core/catalogue.h"
#include "core/module/request_scanner.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace sim {

namespace {

// A module's UART receive FIFO: after a pause a request this long is taken in at once.
constexpr std::size_t kInputFifo = 64;
// A host sending without pause is read in batches this far apart, well within the quiet gap
// that ends a burst, and without waking for every byte.
constexpr auto kInputBatch = std::chrono::milliseconds(10);
// The module's transmit buffer, beside the chunk on the line.
constexpr std::size_t kOutputBuffer = 512;

// One byte on the line: start bit, 8 data bits, a parity bit when used, stop bit.
Clock::duration ByteTime(const ModuleLink& link) {
    const int baud = std::max(core::BaudFromRateCode(link.line_rate), 1);
    const int bits = link.line_parity == 0 ? 10 : 11;
    return std::chrono::duration_cast<Clock::duration>(std::chrono::microseconds(bits * 1000000LL) /
                                                       baud);
}

// Where the line's unused time begins: a pause counts only as long as the FIFO fills.
TimePoint InputLineStart(const ModuleLink& link, TimePoint now) {
    return std::max(link.input_line_used,
                    now - ByteTime(link) * static_cast<Clock::rep>(kInputFifo));
}

// An empty chunk still holds a place: it carries a switch of the serial settings.
std::size_t BufferCost(const Chunk& chunk) {
    return std::max<std::size_t>(chunk.data.size(), 1);
}

// The UART takes up the module's stored serial settings.
void SwitchLine(ModuleLink& link, const Log& log) {
    link.switch_at.reset();
    if (link.line_rate == link.state.serial_rate && link.line_parity == link.state.parity)
        return;
    link.line_rate = link.state.serial_rate;
    link.line_parity = link.state.parity;
    log.Event(link.index, "now at " + std::to_string(core::BaudFromRateCode(link.line_rate)) +
                              " baud, parity code " + std::to_string(link.line_parity));
}

} // namespace

std::size_t InputAllowance(const ModuleLink& link, TimePoint now) {
    const TimePoint start = InputLineStart(link, now);
    if (now <= start)
        return 0;
    return static_cast<std::size_t>((now - start) / ByteTime(link));
}

void TakeInputAllowance(ModuleLink& link, std::size_t count, TimePoint now) {
    link.input_line_used =
        InputLineStart(link, now) + ByteTime(link) * static_cast<Clock::rep>(count);
}

TimePoint NextInputRead(const ModuleLink& link) {
    const Clock::duration byte_time = ByteTime(link);
    const auto batch = std::clamp<Clock::rep>(kInputBatch / byte_time, 1, kInputFifo);
    return link.input_line_used + byte_time * batch;
}

void QueueInput(ModuleLink& link, std::string_view bytes, bool eded, TimePoint now) {
    link.waiting += bytes;
    if (link.waiting.size() <= kHostBuffer)
        return;
    const std::string_view waiting = link.waiting;
    std::size_t cut = 0;
    while (waiting.size() - cut > kHostBuffer) {
        const core::ScanResult scan = core::ScanRequest(waiting.substr(cut), eded);
        cut += scan.status == core::ScanStatus::kRequest ? scan.length : 1;
    }
    // The request begun in `input` has lost its end.
    link.input_drops.Add(link.input.size() + cut, now);
    link.input.clear();
    link.waiting.erase(0, cut);
}

core::Bytes ReceiveInput(ModuleLink& link, TimePoint now) {
    const std::size_t count = std::min(InputAllowance(link, now), link.waiting.size());
    if (count == 0)
        return {};
    TakeInputAllowance(link, count, now);
    core::Bytes bytes = link.waiting.substr(0, count);
    link.waiting.erase(0, count);
    return bytes;
}

void QueueOutput(ModuleLink& link, Chunk chunk, TimePoint now) {
    link.output.push_back(std::move(chunk));
    auto waiting = link.output.begin() + (link.chunk_started ? 1 : 0);
    std::size_t size = 0;
    for (auto it = waiting; it != link.output.end(); ++it)
        size += BufferCost(*it);
    // The newest chunk always gets in, even one larger than the buffer.
    std::size_t dropped = 0;
    while (size > kOutputBuffer && std::next(waiting) != link.output.end()) {
        size -= BufferCost(*waiting);
        dropped += waiting->data.size();
        // The settings still move, after the chunk that now comes first.
        std::next(waiting)->switch_after |= waiting->switch_after;
        waiting = link.output.erase(waiting);
    }
    link.output_drops.Add(dropped, now);
}

std::optional<TimePoint> PumpOutput(ModuleLink& link, TimePoint now, const Log& log) {
    if (link.switch_at && *link.switch_at <= now)
        SwitchLine(link, log);
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
                // does not wait, so the bytes due now are lost and the rest follow at their time,
                // to be heard once the host has room again. The line stays paced: no busy loop.
                link.output_drops.Add(due - link.chunk_sent, now);
                link.chunk_sent = due;
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
        if (chunk.switch_after) {
            link.switch_at = end + link.switch_delay;
            if (*link.switch_at <= now)
                SwitchLine(link, log);
        }
        link.output.pop_front();
        link.chunk_started = false;
    }
    return link.switch_at;
}

} // namespace sim
