#include "simulator.h"

#include "core/module/module_brain.h"
#include "core/module/module_state_file.h"
#include "core/module/request_scanner.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <poll.h>
#include <unistd.h>

namespace sim {

namespace {

// Raw data counts as one air packet once the host has been quiet this long, or at this size.
constexpr auto kQuietGap = std::chrono::milliseconds(20);
constexpr std::size_t kMaxPacket = 512;
// After a hang-up on a master, it is polled again only after this pause.
constexpr auto kRest = std::chrono::milliseconds(100);
// Reads of the pty at one time: more than it holds, yet bounded against a host that keeps
// writing while it is read.
constexpr int kMaxReads = 32;

} // namespace

Simulator::Simulator(const Options& options, std::vector<ModuleLink> links,
                     std::vector<core::ModuleState> saved)
    : options_(options), log_(options.verbose),
      air_(options.seed, options.loss, options.bit_errors, options.air_delay_ms),
      links_(std::move(links)), saved_(std::move(saved)) {}

void Simulator::SaveState() {
    if (options_.state_file.empty())
        return;
    if (saved_.size() < links_.size())
        saved_.resize(links_.size());
    for (const ModuleLink& link : links_)
        saved_[static_cast<std::size_t>(link.index)] = link.state;
    // Written beside and renamed over, so an interrupted save leaves the old file whole.
    const std::string temporary = options_.state_file + ".tmp";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << core::FormatStateFile(saved_);
        if (!out.flush()) {
            Log::Problem("cannot write " + temporary);
            return;
        }
    }
    if (std::rename(temporary.c_str(), options_.state_file.c_str()) != 0)
        Log::Problem("cannot replace " + options_.state_file + ": " + std::strerror(errno));
}

void Simulator::Run(const volatile std::sig_atomic_t& stop, const sigset_t& wait_mask) {
    std::vector<pollfd> fds;
    std::vector<ModuleLink*> polled;
    while (stop == 0) {
        TimePoint now = Clock::now();
        RunTimers(now);
        fds.clear();
        polled.clear();
        for (ModuleLink& link : links_) {
            // A link with bytes waiting is read on its timer, so that a host writing without
            // pause does not wake the loop for every write.
            if (link.resting_until > now || !link.waiting.empty())
                continue;
            fds.push_back(pollfd{link.pty.master, POLLIN, 0});
            polled.push_back(&link);
        }
        timespec timeout{1, 0};
        if (const auto next = NextTimer()) {
            const auto wait = std::clamp<Clock::duration>(*next - now, Clock::duration::zero(),
                                                          std::chrono::seconds(1));
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
            timeout =
                timespec{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
        }
        const int ready = ppoll(fds.data(), fds.size(), &timeout, &wait_mask);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            Log::Problem(std::string("poll: ") + std::strerror(errno));
            return;
        }
        now = Clock::now();
        // Timers first: a burst whose quiet time ran out while this process was not
        // scheduled ends before newer bytes are read.
        RunTimers(now);
        for (std::size_t i = 0; i < fds.size(); ++i)
            if (fds[i].revents != 0)
                ReadHost(*polled[i], now);
    }
}

void Simulator::ReadHost(ModuleLink& link, TimePoint now) {
    // Everything the pty holds is taken at once and queued as a host's driver would hold it, so
    // a flood the pty took in costs no more time than it would on a real line (see QueueInput).
    char buffer[4096];
    for (int read_count = 0; read_count < kMaxReads; ++read_count) {
        const ssize_t got = read(link.pty.master, buffer, sizeof buffer);
        if (got <= 0) {
            // No host side open (EIO) or a hang-up: not fatal, the host may open it again.
            if (got == 0 || (errno != EAGAIN && errno != EINTR))
                link.resting_until = now + kRest;
            break;
        }
        const std::string_view bytes(buffer, static_cast<std::size_t>(got));
        const auto host = ReadHostLine(link.pty.master);
        if (!host || !LineMatches(*host, link.line_rate, link.line_parity))
            log_.Frame(link.index, "drop", core::Bytes(bytes),
                       "host at " + std::to_string(host ? host->baud : 0) + " baud" +
                           (host && host->odd ? " odd parity" : "") + ", module elsewhere");
        else
            QueueInput(link, bytes, options_.eded, now);
        if (got < static_cast<ssize_t>(sizeof buffer))
            break;
    }
    Receive(link, now);
}

void Simulator::Receive(ModuleLink& link, TimePoint now) {
    // No faster than the line carries them: the rest waits in the link's queue.
    const core::Bytes bytes = ReceiveInput(link, now);
    if (bytes.empty())
        return;
    link.last_input = now;
    if (!link.raw.empty()) {
        // Within a burst of raw data everything is data.
        link.raw += bytes;
    } else {
        link.input += bytes;
        TakeInput(link, now);
    }
    if (link.raw.size() >= kMaxPacket) {
        air_.Send(link, links_, link.raw, now, log_);
        link.raw.clear();
    }
}

void Simulator::TakeInput(ModuleLink& link, TimePoint now) {
    while (!link.input.empty()) {
        const core::ScanResult scan = core::ScanRequest(link.input, options_.eded);
        if (scan.status == core::ScanStatus::kNeedMore)
            return;
        if (scan.status == core::ScanStatus::kNotRequest) {
            link.raw += link.input;
            link.input.clear();
            return;
        }
        const core::Bytes frame = link.input.substr(0, scan.length);
        link.input.erase(0, scan.length);
        HandleRequest(link, scan.framing, frame, now);
    }
}

void Simulator::HandleRequest(ModuleLink& link, core::Framing framing, const core::Bytes& frame,
                              TimePoint now) {
    const core::ModuleReply reply = core::Respond(link.state, framing, frame);
    if (reply.kind == core::ModuleReply::Kind::kNotForMe) {
        log_.Frame(link.index, "in", frame, DescribeFrame(framing, frame) + ", not this ID");
        link.raw += frame + link.input;
        link.input.clear();
        return;
    }
    log_.Frame(link.index, "in", frame, DescribeFrame(framing, frame));
    const bool changed = reply.state != link.state;
    link.state = reply.state;
    if (changed)
        SaveState();
    if (reply.kind == core::ModuleReply::Kind::kSilent) {
        log_.Event(link.index, "no answer");
        return;
    }
    const core::FaultedAnswer faulted =
        core::ApplyAnswerFaults(options_.faults, reply.command, reply.answer_framing, reply.answer);
    if (faulted.pieces.empty())
        log_.Event(link.index, "silent by fault option");
    const auto start = now + std::chrono::milliseconds(options_.turnaround_ms);
    for (std::size_t i = 0; i < faulted.pieces.size(); ++i) {
        Chunk chunk{faulted.pieces[i], start};
        if (i > 0)
            chunk.gap_before = std::chrono::milliseconds(faulted.gap_ms);
        log_.Frame(link.index, "out", chunk.data,
                   DescribeFrame(reply.answer_framing, reply.answer));
        QueueOutput(link, std::move(chunk), now);
    }
    if (reply.serial_switch) {
        if (link.output.empty())
            QueueOutput(link, Chunk{{}, start}, now);
        link.output.back().switch_after = true;
    }
}

void Simulator::RunTimers(TimePoint now) {
    air_.Deliver(links_, now, log_);
    for (ModuleLink& link : links_) {
        if (!link.waiting.empty() && NextInputRead(link) <= now)
            ReadHost(link, now);
        // While bytes wait for the line the host has not gone quiet.
        if (link.waiting.empty() && now - link.last_input >= kQuietGap) {
            // A request never completed: its bytes were data after all.
            link.raw += link.input;
            link.input.clear();
            if (!link.raw.empty()) {
                air_.Send(link, links_, link.raw, now, log_);
                link.raw.clear();
            }
        }
        link.output_due = PumpOutput(link, now, log_);
        if (const auto dropped = link.input_drops.Take(now))
            Log::Problem("module " + std::to_string(link.index) +
                         ": host writing faster than the line carries; bytes beyond what a "
                         "host's serial driver holds dropped: " +
                         std::to_string(*dropped));
        if (const auto dropped = link.output_drops.Take(now))
            Log::Problem("module " + std::to_string(link.index) +
                         ": output buffer full or host not reading; bytes of answers and air "
                         "data dropped: " +
                         std::to_string(*dropped));
        if (link.resting_until <= now)
            link.resting_until = {};
    }
}

std::optional<TimePoint> Simulator::NextTimer() const {
    std::optional<TimePoint> next = air_.NextTimer();
    const auto earlier = [&next](std::optional<TimePoint> t) {
        if (t && (!next || *t < *next))
            next = t;
    };
    for (const ModuleLink& link : links_) {
        if (!link.waiting.empty())
            earlier(NextInputRead(link));
        else if (!link.input.empty() || !link.raw.empty())
            earlier(link.last_input + kQuietGap);
        earlier(link.output_due);
        earlier(link.input_drops.Due());
        earlier(link.output_drops.Due());
        if (link.resting_until > Clock::time_point{})
            earlier(link.resting_until);
    }
    return next;
}

} // namespace sim
