// One module's end of its serial line: the host's bytes taken in no faster than the line carries
// them, from a queue no longer than a host's serial driver holds, and the answers and air data on
// their way back, paced at the module's line rate as its UART would send them, in a buffer of
// bounded size.
#pragma once

#include "clock.h"
#include "drop_report.h"
#include "pty_device.h"

#include "core/hex.h"
#include "core/module/module_state.h"

#include <deque>
#include <optional>
#include <string_view>

namespace sim {

class Log;

struct Chunk {
    core::Bytes data;
    TimePoint not_before;
    Clock::duration gap_before{}; // after the chunk before it has left (a split answer)
    bool switch_after = false;    // take up the module's stored serial settings afterwards
};

struct ModuleLink {
    int index = 0;
    PtyDevice pty;
    core::ModuleState state;
    // The settings the UART runs at now; they follow `state` only once an answer has left.
    int line_rate = 5;
    int line_parity = 0;
    core::Bytes waiting; // the host's bytes not yet through the UART (see QueueInput)
    DropReport input_drops;
    core::Bytes input; // the beginning of what may be a request
    core::Bytes raw;   // data gathered for the air
    TimePoint last_input{};
    TimePoint input_line_used{}; // the line time up to which the host's bytes have been taken
    std::deque<Chunk> output;
    DropReport output_drops;
    bool chunk_started = false;
    TimePoint chunk_start{};
    std::size_t chunk_sent = 0;
    TimePoint line_free{};               // when the UART sent its last byte
    std::optional<TimePoint> output_due; // when the next byte is due
    // How long after the answer has left the module takes up new serial settings, and when it
    // will, while it has yet to.
    Clock::duration switch_delay{};
    std::optional<TimePoint> switch_at;
    TimePoint resting_until{}; // the master reported a hang-up: do not poll it until then
};

// How many of the host's bytes the UART has received by `now` and not handed on: one a byte
// time, and after a pause no more than its receive FIFO holds.
std::size_t InputAllowance(const ModuleLink& link, TimePoint now);
// `count` bytes of the allowance were taken at `now`.
void TakeInputAllowance(ModuleLink& link, std::size_t count, TimePoint now);
// When a link with bytes waiting is read again: once a few milliseconds' worth have come.
TimePoint NextInputRead(const ModuleLink& link);

// How many of the host's bytes a real line holds on their way to the module: what the host's
// serial driver buffers (4 KiB on Linux). A pseudo-terminal takes tens of kilobytes more.
inline constexpr std::size_t kHostBuffer = 4096;

// Queues bytes the host has written. When more than kHostBuffer wait, the oldest are dropped,
// as a host's driver would not have taken them or a busy module would have lost them: whole
// requests where one begins, so that the next one is heard entire, together with the request
// the UART is in the middle of, and other bytes one by one. The count goes to `input_drops`.
void QueueInput(ModuleLink& link, std::string_view bytes, bool eded, TimePoint now);
// The waiting bytes the UART has received by `now` (no more than InputAllowance), taken off.
core::Bytes ReceiveInput(ModuleLink& link, TimePoint now);

// Queues a chunk for the host. The chunks waiting behind the one on the line are bounded in size
// like a module's transmit buffer: the oldest of them make room, their bytes counted as dropped.
void QueueOutput(ModuleLink& link, Chunk chunk, TimePoint now);
// Writes the bytes that are due by `now` and takes up new serial settings when they are due;
// returns when the next byte or switch is due, if any.
std::optional<TimePoint> PumpOutput(ModuleLink& link, TimePoint now, const Log& log);

} // namespace sim
