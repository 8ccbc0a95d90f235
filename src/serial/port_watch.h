// Tells when serial devices came or went, so the lists of them are read again without polling.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

namespace serial {

class PortWatch {
public:
    virtual ~PortWatch() = default;
    // `changed` runs on the thread that made the watch, once after each burst of devices coming
    // or going; empty for none.
    virtual void OnChange(std::function<void()> changed) = 0;
};

// The system's watch, run by the Qt event loop: udev's events for tty devices where udevd runs;
// without udevd (containers, CI) a watch on /dev and /dev/serial/by-id, as on `directories`
// when given (by-id may appear later and is then watched too).
class SystemPortWatch : public PortWatch {
public:
    SystemPortWatch();
    explicit SystemPortWatch(std::vector<std::filesystem::path> directories);
    ~SystemPortWatch() override;
    SystemPortWatch(const SystemPortWatch&) = delete;
    SystemPortWatch& operator=(const SystemPortWatch&) = delete;

    void OnChange(std::function<void()> changed) override;
    // "udev", "inotify", or "none" when neither could be set up (the lists then follow only
    // at the next look).
    const char* Source() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace serial
