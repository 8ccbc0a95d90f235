// Windows tells of COM ports coming and going only to a window's message loop
// (WM_DEVICECHANGE), which this watch does not listen to: the lists of ports follow at their next
// look, as on a Linux machine without udev or inotify.
#include "port_watch.h"

namespace serial {

struct SystemPortWatch::Impl {};

SystemPortWatch::SystemPortWatch() : m_impl(std::make_unique<Impl>()) {}

SystemPortWatch::SystemPortWatch(std::vector<std::filesystem::path>) : SystemPortWatch() {}

SystemPortWatch::~SystemPortWatch() = default;

void SystemPortWatch::OnChange(std::function<void()>) {}

const char* SystemPortWatch::Source() const {
    return "none";
}

} // namespace serial
