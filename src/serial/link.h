// The one way in and out of the port for the protocol: every request and raw write leaves
// through a Link, every received chunk enters through it, and observers (a frame monitor, a
// command-line front end, tests) see each one with the moment it passed.
#pragma once

#include "commfunction.h"
#include "core/request.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

namespace serial {

enum class Direction { kSent, kReceived };

// One frame or chunk that passed the port. The views are valid during the notification only.
struct Traffic {
    std::chrono::steady_clock::time_point at;
    Direction direction;
    int port;
    std::string_view bytes;
    // The command a sent request awaits the answer of; empty for raw writes and received chunks.
    std::string_view pendingCommand;
};

class Link {
public:
    using Observer = std::function<void(const Traffic&)>;
    using ObserverId = std::uint64_t;

    explicit Link(TCommFun& commFun);

    // Observers may be added and removed at any time, also from within a notification: one
    // added then first hears the next frame, one removed then hears no more, itself included.
    ObserverId AddObserver(Observer observer);
    void RemoveObserver(ObserverId id);

    // Writes through TCommFun, so its messages stay. Only bytes the port took are observed: a
    // refused write is reported by the false result and its box, and never seen as sent.
    bool Send(int port, const core::Request& request);
    bool SendRaw(int port, const core::Bytes& data);
    // What is waiting on `port`; empty when nothing is.
    core::Bytes Receive(int port);

private:
    struct Entry {
        ObserverId id;
        std::shared_ptr<const Observer> observer; // null once removed during a notification
    };

    bool Write(int port, const core::Bytes& data, std::string_view pendingCommand);
    void Notify(Direction direction, int port, std::string_view bytes,
                std::string_view pendingCommand);

    TCommFun& m_commFun;
    std::vector<Entry> m_observers;
    ObserverId m_nextId = 1;
    int m_notifying = 0; // depth: an observer may itself send through the link
};

} // namespace serial
