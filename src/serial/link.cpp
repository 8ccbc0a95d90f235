#include "link.h"

#include <algorithm>

namespace serial {

Link::Link(TCommFun& commFun) : m_commFun(commFun) {}

Link::ObserverId Link::AddObserver(Observer observer) {
    const ObserverId id = m_nextId++;
    m_observers.push_back({id, std::make_shared<const Observer>(std::move(observer))});
    return id;
}

void Link::RemoveObserver(ObserverId id) {
    const auto entry = std::find_if(m_observers.begin(), m_observers.end(),
                                    [id](const Entry& e) { return e.id == id; });
    if (entry == m_observers.end())
        return;
    // A running notification walks the list by position, so it is only emptied here.
    if (m_notifying > 0)
        entry->observer.reset();
    else
        m_observers.erase(entry);
}

bool Link::Send(int port, const core::Request& request) {
    return Write(port, request.bytes, request.pendingCommand);
}

bool Link::SendRaw(int port, const core::Bytes& data) {
    return Write(port, data, {});
}

core::Bytes Link::Receive(int port) {
    core::Bytes received;
    m_commFun.ReceiveData(port, received);
    if (!received.empty())
        Notify(Direction::kReceived, port, received, {});
    return received;
}

bool Link::Write(int port, const core::Bytes& data, std::string_view pendingCommand) {
    if (!m_commFun.SendData(port, data, static_cast<int>(data.size())))
        return false;
    Notify(Direction::kSent, port, data, pendingCommand);
    return true;
}

void Link::Notify(Direction direction, int port, std::string_view bytes,
                  std::string_view pendingCommand) {
    const Traffic traffic{std::chrono::steady_clock::now(), direction, port, bytes, pendingCommand};
    ++m_notifying;
    // Observers added meanwhile wait for the next frame; the copy keeps a running observer
    // alive when it removes itself.
    const std::size_t count = m_observers.size();
    for (std::size_t i = 0; i < count; ++i) {
        const auto observer = m_observers[i].observer;
        if (observer)
            (*observer)(traffic);
    }
    if (--m_notifying == 0)
        std::erase_if(m_observers, [](const Entry& e) { return !e.observer; });
}

} // namespace serial
