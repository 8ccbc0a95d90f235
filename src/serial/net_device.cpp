#include "net_device.h"

#include <string_view>

namespace serial {

namespace {

constexpr std::string_view kRfc2217Scheme = "rfc2217://";
constexpr std::string_view kSocketScheme = "socket://";

} // namespace

std::optional<NetDevice> ParseNetDevice(const std::string& name) {
    NetDevice d;
    std::string_view rest = name;
    if (rest.starts_with(kRfc2217Scheme)) {
        d.rfc2217 = true;
        rest.remove_prefix(kRfc2217Scheme.size());
    } else if (rest.starts_with(kSocketScheme)) {
        rest.remove_prefix(kSocketScheme.size());
    } else {
        return std::nullopt;
    }
    // host:port, the host of an IPv6 address in brackets
    const auto colon = rest.rfind(':');
    if (colon == std::string_view::npos || colon == 0 || colon + 1 == rest.size())
        return std::nullopt;
    std::string_view host = rest.substr(0, colon);
    const std::string_view service = rest.substr(colon + 1);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    if (service.find_first_not_of("0123456789") != std::string_view::npos || service.size() > 5 ||
        host.find_first_of("/ ") != std::string_view::npos)
        return std::nullopt;
    d.host = std::string(host);
    d.service = std::string(service);
    return d;
}

bool IsNetName(const std::string& name) {
    return name.starts_with(kRfc2217Scheme) || name.starts_with(kSocketScheme);
}

bool FixedLine(const std::string& device) {
    const auto d = ParseNetDevice(device);
    return d && !d->rfc2217;
}

} // namespace serial
