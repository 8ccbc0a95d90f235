// One module's end of its serial line: the host's bytes taken in no faster than the line carries
// them, and the answers and air data on their way back, paced at the module's line rate as its
// UART would send them, in a buffer of bounded size.
#pragma once

#include "clock.h"
#include "drop_report.h"
#include "pty_device.h"

#include "core/hex.h"
#include "core/module/module_state.h"

#include <deque>
#include <optional>

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
    core::Bytes input; // the beginning of what may be a request
    core::Bytes raw;   // data gathered for the air
    TimePoint last_input{};
    TimePoint input_line_used{}; // the line time up to which the host's bytes have been taken
    // The last read took all the line allowed, so more may wait in the pty: the link is read on
    // its timer, not polled.
    bool input_throttled = false;
    std::deque<Chunk> output;
    DropReport output_drops;
    bool chunk_started = false;
    TimePoint chunk_start{};
    std::size_t chunk_sent = 0;
    TimePoint line_free{};               // when the UART sent its last byte
    std::optional<TimePoint> output_due; // when the next byte is due
    TimePoint resting_until{};           // the master reported a hang-up: do not poll it until then
};

// How many of the host's bytes the UART has received by `now` and not handed on: one a byte
// time, and after a pause no more than its receive FIFO holds.
std::size_t InputAllowance(const ModuleLink& link, TimePoint now);
// `count` bytes of the allowance were taken at `now`.
void TakeInputAllowance(ModuleLink& link, std::size_t count, TimePoint now);
// When a throttled link is read again: once a few milliseconds' worth of bytes have come.
TimePoint NextInputRead(const ModuleLink& link);

// Queues a chunk for the host. The chunks waiting behind the one on the line are bounded in size
// like a module's transmit buffer: the oldest of them make room, their bytes counted as dropped.
void QueueOutput(ModuleLink& link, Chunk chunk, TimePoint now);
// Writes the bytes that are due by `now`; returns when the next byte is due, if any.
std::optional<TimePoint> PumpOutput(ModuleLink& link, TimePoint now, const Log& log);

} // namespace sim
