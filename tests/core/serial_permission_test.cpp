#include "core/serial_permission.h"

#include <gtest/gtest.h>

using core::DeviceAccess;

TEST(SerialPermission, SaysTheFixOnlyWhenEveryDeviceRefusesForItsGroup) {
    const DeviceAccess usb{"/dev/ttyUSB0", true, "dialout"};
    const DeviceAccess builtIn{"/dev/ttyS0", true, "dialout"};
    const DeviceAccess open{"/dev/ttyS1", false, "dialout"};
    const DeviceAccess uucp{"/dev/ttyACM0", true, "uucp"};
    const DeviceAccess rootOnly{"/dev/ttyS2", true, "root", false};
    const std::vector<std::string> user{"alice", "users"};
    const struct {
        const char* what;
        std::vector<DeviceAccess> devices;
        std::vector<std::string> groups;
        std::string said;
    } rows[] = {
        {"no device at all", {}, user, ""},
        {"one refused",
         {usb},
         user,
         "No serial device may be opened for lack of permission (/dev/ttyUSB0; group dialout, "
         "which this user is not in). Fix: sudo usermod -aG dialout $USER, then log in again."},
        {"all refused",
         {usb, builtIn},
         user,
         "No serial device may be opened for lack of permission (/dev/ttyUSB0 and 1 more; group "
         "dialout, which this user is not in). Fix: sudo usermod -aG dialout $USER, then log in "
         "again."},
        {"one may be opened", {usb, open}, user, ""},
        {"refused although in the group", {usb, builtIn}, {"users", "dialout"}, ""},
        {"two groups",
         {uucp, usb},
         user,
         "No serial device may be opened for lack of permission (/dev/ttyACM0 and 1 more; group "
         "uucp,dialout, which this user is not in). Fix: sudo usermod -aG uucp,dialout $USER, "
         "then log in again."},
        {"in one of two groups", {uucp, usb}, {"uucp"}, ""},
        {"a group that may not open it either", {usb, rootOnly}, user, ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(core::SerialPermissionProblem(row.devices, row.groups), row.said) << row.what;
}
