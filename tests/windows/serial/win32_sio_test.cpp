// The Win32 serial calls' reading of the system's errors, and what they do without a device.
// Opening real COM ports is left to the Linux-driven tests, which make sure where each leads.
#include "serial/device_sio.h"
#include "serial/win32_sio.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace serial;

namespace {

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

} // namespace

// A port another program holds cannot be shown under Wine, which lets two programs open one COM
// port; what Windows answers then is read here.
TEST(Win32Sio, OpenFailuresTellTheOperatorWhy) {
    struct Row {
        unsigned long error;
        int code;
        std::string says;
    };
    const Row rows[] = {
        {ERROR_ACCESS_DENIED, kSioOpenFail, "COM3: in use by another program"},
        {ERROR_SHARING_VIOLATION, kSioOpenFail, "COM3: in use by another program"},
        {ERROR_FILE_NOT_FOUND, kSioOpenFail, "COM3: no such port here ("},
        {ERROR_PATH_NOT_FOUND, kSioOpenFail, "COM3: no such port here ("},
        {ERROR_INVALID_FUNCTION, kSioOpenFail, "COM3: not a serial device ("},
        {ERROR_NOT_ENOUGH_MEMORY, kSioSystemFail, "COM3: "},
        {ERROR_TOO_MANY_OPEN_FILES, kSioSystemFail, "COM3: "},
        {ERROR_GEN_FAILURE, kSioOpenFail, "COM3: "},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.error);
        const Win32Outcome outcome = OpenFailure("COM3", row.error);
        EXPECT_EQ(outcome.code, row.code);
        EXPECT_EQ(outcome.reason.rfind(row.says, 0), 0u) << outcome.reason;
    }
    // the busy message is the one the exchange adds the holder to
    EXPECT_TRUE(
        EndsWith(OpenFailure("COM3", ERROR_ACCESS_DENIED).reason, "in use by another program"));
    // the system's own words and the number
    const std::string text = SystemErrorText(ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(EndsWith(text, "(error 2)")) << text;
    EXPECT_GT(text.size(), std::string(" (error 2)").size()) << text;
    EXPECT_EQ(SystemErrorText(0x2000FFFF), "error 536936447");
}

TEST(Win32Sio, DevicesThatWentAwayAreToldFromOtherFailures) {
    for (const unsigned long gone : {ERROR_NOT_READY, ERROR_BAD_COMMAND, ERROR_DEVICE_NOT_CONNECTED,
                                     ERROR_DEVICE_REMOVED, ERROR_GEN_FAILURE, ERROR_ACCESS_DENIED})
        EXPECT_TRUE(DeviceGone(gone)) << gone;
    for (const unsigned long other : {ERROR_INVALID_PARAMETER, ERROR_OPERATION_ABORTED,
                                      ERROR_NOT_ENOUGH_MEMORY, ERROR_IO_PENDING})
        EXPECT_FALSE(DeviceGone(other)) << other;
}

TEST(Win32Sio, ComNamesTakeTheDevicePrefix) {
    EXPECT_EQ(Win32DeviceName("COM1"), L"\\\\.\\COM1");
    EXPECT_EQ(Win32DeviceName("COM10"), L"\\\\.\\COM10");
    EXPECT_EQ(Win32DeviceName("com36"), L"\\\\.\\com36");
    EXPECT_EQ(Win32DeviceName("\\\\.\\CNCA0"), L"\\\\.\\CNCA0");
    EXPECT_EQ(Win32DeviceName("COMX"), L"COMX");
}

// A network URL goes to the network ports, on Windows as elsewhere (this one lacks its port).
TEST(Win32Sio, ANetworkUrlIsTheNetworkPortsToOpen) {
    DeviceSio sio([](int) { return "rfc2217://127.0.0.1"; });
    EXPECT_EQ(sio.sio_open(3), kSioOpenFail);
    EXPECT_EQ(sio.LastOpenError(3), "rfc2217://127.0.0.1: not a network port: write "
                                    "rfc2217://host:port or socket://host:port");
}

TEST(Win32Sio, ARefusedLineCountsWhenSpeedBitsAndStopBitsHold) {
    EXPECT_TRUE(LineTaken(9600, 8, ONESTOPBIT, 9600, 8, ONESTOPBIT));
    EXPECT_FALSE(LineTaken(9600, 8, ONESTOPBIT, 19200, 8, ONESTOPBIT));
    EXPECT_FALSE(LineTaken(9600, 7, ONESTOPBIT, 9600, 8, ONESTOPBIT));
    EXPECT_FALSE(LineTaken(9600, 8, TWOSTOPBITS, 9600, 8, ONESTOPBIT));
}

TEST(Win32Sio, WithoutADeviceEveryCallSaysSo) {
    std::string device = "\\\\.\\QXNOSUCHPORT";
    Win32Sio sio([&](int) { return device; });
    EXPECT_EQ(sio.sio_open(3), kSioOpenFail);
    EXPECT_EQ(sio.LastOpenError(3).rfind("\\\\.\\QXNOSUCHPORT: no such port here (", 0), 0u)
        << sio.LastOpenError(3);
    EXPECT_EQ(sio.sio_readiness(3), kSioBadPort);
    char one = 0;
    EXPECT_EQ(sio.sio_write(3, "x", 1), kSioBadPort);
    EXPECT_EQ(sio.sio_read(3, &one, 1), kSioBadPort);
    EXPECT_EQ(sio.sio_iqueue(3), kSioBadPort);
    EXPECT_EQ(sio.sio_ioctl(3, 12, kData8), kSioBadPort);
    EXPECT_EQ(sio.sio_close(3), kSioBadPort);
    EXPECT_EQ(sio.sio_open(0), kSioOpenFail);
    EXPECT_EQ(sio.sio_open(37), kSioOpenFail);

    device.clear();
    EXPECT_EQ(sio.sio_open(3), kSioOpenFail);
    EXPECT_NE(sio.LastOpenError(3).find("section [Ports]"), std::string::npos);
}
