#include "port_watch.h"

#include <QSocketNotifier>
#include <QTimer>

#include <array>
#include <libudev.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace serial {

namespace {

// One plug brings several events (the tty node, its links, its group); they are told as one.
constexpr int kSettleMs = 100;

const std::vector<std::filesystem::path> kSystemDirectories{"/dev", "/dev/serial/by-id"};

// udevd's control socket: where it is missing, udev's monitor would never hear anything.
bool UdevRuns() {
    return ::access("/run/udev/control", F_OK) == 0;
}

} // namespace

struct SystemPortWatch::Impl {
    std::function<void()> changed;
    QTimer settle;
    std::unique_ptr<QSocketNotifier> notifier;
    const char* source = "none";
    udev* context = nullptr;
    udev_monitor* monitor = nullptr;
    int inotifyFd = -1;
    std::vector<std::filesystem::path> directories;
    std::vector<bool> watched;

    Impl() {
        settle.setSingleShot(true);
        settle.setInterval(kSettleMs);
        QObject::connect(&settle, &QTimer::timeout, [this] {
            if (changed)
                changed();
        });
    }

    ~Impl() {
        notifier.reset();
        if (monitor != nullptr)
            udev_monitor_unref(monitor);
        if (context != nullptr)
            udev_unref(context);
        if (inotifyFd >= 0)
            ::close(inotifyFd);
    }

    bool StartUdev() {
        context = udev_new();
        if (context == nullptr)
            return false;
        monitor = udev_monitor_new_from_netlink(context, "udev");
        if (monitor == nullptr ||
            udev_monitor_filter_add_match_subsystem_devtype(monitor, "tty", nullptr) < 0 ||
            udev_monitor_enable_receiving(monitor) < 0)
            return false;
        Listen(udev_monitor_get_fd(monitor), [this] {
            while (udev_device* device = udev_monitor_receive_device(monitor))
                udev_device_unref(device);
        });
        source = "udev";
        return true;
    }

    bool StartInotify(std::vector<std::filesystem::path> dirs) {
        inotifyFd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (inotifyFd < 0)
            return false;
        directories = std::move(dirs);
        watched.assign(directories.size(), false);
        AddWatches();
        Listen(inotifyFd, [this] {
            std::array<char, 4096> events;
            while (::read(inotifyFd, events.data(), events.size()) > 0) {
            }
            // A directory made since (by-id at the first adapter) is watched from now on.
            AddWatches();
        });
        source = "inotify";
        return true;
    }

    void AddWatches() {
        for (std::size_t i = 0; i < directories.size(); ++i)
            if (!watched[i])
                watched[i] = ::inotify_add_watch(inotifyFd, directories[i].c_str(),
                                                 IN_CREATE | IN_DELETE | IN_MOVED_FROM |
                                                     IN_MOVED_TO | IN_ATTRIB) >= 0;
    }

    template <class Drain> void Listen(int fd, Drain drain) {
        notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, [this, drain] {
            drain();
            settle.start();
        });
    }
};

SystemPortWatch::SystemPortWatch() : m_impl(std::make_unique<Impl>()) {
    if (UdevRuns() && m_impl->StartUdev())
        return;
    m_impl = std::make_unique<Impl>();
    m_impl->StartInotify(kSystemDirectories);
}

SystemPortWatch::SystemPortWatch(std::vector<std::filesystem::path> directories)
    : m_impl(std::make_unique<Impl>()) {
    m_impl->StartInotify(std::move(directories));
}

SystemPortWatch::~SystemPortWatch() = default;

void SystemPortWatch::OnChange(std::function<void()> changed) {
    m_impl->changed = std::move(changed);
}

const char* SystemPortWatch::Source() const {
    return m_impl->source;
}

} // namespace serial
