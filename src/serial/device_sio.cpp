#include "device_sio.h"

namespace serial {

namespace {

bool Valid(int port) {
    return port >= 1 && port <= kPortCount;
}

} // namespace

DeviceSio::DeviceSio(DeviceOf deviceOf) : m_deviceOf(std::move(deviceOf)) {}

int DeviceSio::sio_open(int port) {
    if (!Valid(port))
        return m_local.sio_open(port);
    const auto at = static_cast<std::size_t>(port - 1);
    // an open port stays with the implementation that opened it
    if (Of(port).sio_readiness(port) != kSioBadPort)
        return kSioOk;
    m_devices[at] = m_deviceOf(port);
    m_net[at] = IsNetName(m_devices[at]);
    return Of(port).sio_open(port);
}

bool DeviceSio::Net(int port) const {
    return Valid(port) && m_net[static_cast<std::size_t>(port - 1)];
}

} // namespace serial
