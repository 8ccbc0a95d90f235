#include "serial/ports.h"
#include "serial/posix_sio.h"

#include <gtest/gtest.h>

#include <cerrno>

using namespace serial;

TEST(Ports, KeysNamePortsOneToThirtySix) {
    const std::pair<std::string, int> rows[] = {
        {"COM1", 1},  {"com7", 7}, {"Com36", 36}, {"COM37", 0}, {"COM0", 0},
        {"COM07", 0}, {"COM", 0},  {"COM1x", 0},  {"PORT1", 0}, {"COM-1", 0},
    };
    for (const auto& [key, port] : rows)
        EXPECT_EQ(PortOfKey(key), port) << key;
}

TEST(Ports, OverridesWinAndTheRestFollowTheSystemList) {
    const std::vector<std::string> system = {"/dev/serial/by-id/usb-FTDI_A-if00-port0",
                                             "/dev/ttyACM0", "/dev/ttyS0"};
    const PortOverrides overrides = {
        {"COM2", "/tmp/qx/ttyQX0"}, {"com5", "/dev/ttyUSB3"}, {"COM3", ""}, {"Other", "/x"}};
    const auto devices = PortDevices(overrides, system);
    EXPECT_EQ(devices[0], system[0]);
    EXPECT_EQ(devices[1], "/tmp/qx/ttyQX0");
    EXPECT_EQ(devices[2], "/dev/ttyS0"); // an empty value falls back to the system's third
    EXPECT_EQ(devices[3], "");
    EXPECT_EQ(devices[4], "/dev/ttyUSB3");
    EXPECT_EQ(devices[35], "");

    const auto plain = PortDevices({}, system);
    EXPECT_EQ(std::vector<std::string>(plain.begin(), plain.begin() + 4),
              (std::vector<std::string>{system[0], system[1], system[2], ""}));
    EXPECT_EQ(DeviceForPort(0, overrides, system), "");
    EXPECT_EQ(DeviceForPort(37, overrides, system), "");
}

TEST(Ports, WindowsPortsStandAtTheirOwnNumbers) {
    // as the registry lists them: any order, names past COM36 and odd ones among them
    const auto listed = ComPortsByNumber({"COM12", "COM3", "com1", "COM40", "LPT1", "COM03"});
    ASSERT_EQ(listed.size(), 12u);
    EXPECT_EQ(listed[0], "COM1");
    EXPECT_EQ(listed[1], "");
    EXPECT_EQ(listed[2], "COM3");
    EXPECT_EQ(listed[11], "COM12");
    const auto devices = PortDevices({{"COM2", "COM9"}}, listed);
    EXPECT_EQ(devices[1], "COM9");
    EXPECT_EQ(devices[3], "");
    EXPECT_EQ(devices[11], "COM12");
    EXPECT_TRUE(ComPortsByNumber({}).empty());
}

TEST(Ports, AdaptersComeFirstByTheirStableNames) {
    const auto names = OrderSerialDevices({
        {"/dev/ttyS0", ""},
        {"/dev/ttyUSB10", ""},
        {"/dev/ttyUSB2", ""},
        {"/dev/ttyACM0", "/dev/serial/by-id/usb-Acme_Radio_01-if00"},
        {"/dev/ttyUSB0", "/dev/serial/by-id/usb-FTDI_B-if00-port0"},
        {"/dev/ttyS10", ""},
        {"/dev/ttyS2", ""},
    });
    EXPECT_EQ(names, (std::vector<std::string>{
                         "/dev/serial/by-id/usb-Acme_Radio_01-if00",
                         "/dev/serial/by-id/usb-FTDI_B-if00-port0",
                         "/dev/ttyUSB2", // numbers compare as numbers, not as text
                         "/dev/ttyUSB10",
                         "/dev/ttyS0",
                         "/dev/ttyS2",
                         "/dev/ttyS10",
                     }));
}

TEST(Ports, OpenFailuresSayWhatToDo) {
    EXPECT_EQ(OpenFailureReason("/dev/ttyUSB0", EACCES),
              "/dev/ttyUSB0: Permission denied (add your user to the dialout group: sudo usermod "
              "-aG dialout $USER, then log in again)");
    EXPECT_EQ(OpenFailureReason("/dev/ttyUSB0", EBUSY), "/dev/ttyUSB0: in use by another program");
    EXPECT_EQ(OpenFailureReason("/dev/ttyUSB9", ENOENT), "/dev/ttyUSB9: No such file or directory");
}
