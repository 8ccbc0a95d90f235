// The serial layer on a network port: ser2net serves a pseudo-terminal whose master the test
// plays, over RFC 2217 and over raw TCP.
#include "port_reading.h"
#include "serial/commfunction.h"
#include "serial/device_sio.h"
#include "support/pty.h"
#include "support/recording_dialogs.h"
#include "support/ser2net_process.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <netdb.h>
#include <termios.h>
#include <thread>

using namespace serial;

namespace {

class NetworkPort : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.Ok());
        ASSERT_TRUE(server.Start(pty.SlavePath())) << server.error();
        comm.OnPortLost([this](int) { ++lost; });
    }
    std::string Collect(std::size_t count) { return ::Collect(comm, 1, count); }
    termios Line() { return LineOf(pty); }

    PtyPair pty;
    Ser2netProcess server;
    std::string url;
    std::string variant;
    RecordingDialogs dialogs;
    DeviceSio sio{[this](int port) { return port == 1 ? url : std::string(); }};
    TCommFun comm{sio, dialogs, variant};
    int lost = 0;
};

// Bytes with IAC (0xFF) alone, doubled and at the end, zeros and CR LF among them.
const core::Bytes kFrame("\x5A\xFF\x00\x0D\x0A\xFF\xFF\x0D\x00\xF0\xFA\xFF", 12);

} // namespace

TEST(NetDevice, UrlsNameHostAndPortAndTheRestIsLocal) {
    struct Case {
        std::string name;
        bool net;
        bool rfc2217;
        std::string host, service;
    };
    const Case cases[] = {
        {"rfc2217://127.0.0.1:2217", true, true, "127.0.0.1", "2217"},
        {"socket://mast-3.example:4001", true, false, "mast-3.example", "4001"},
        {"rfc2217://[::1]:2217", true, true, "::1", "2217"},
        {"/dev/ttyUSB0", false, false, "", ""},
        {"rfc2217://host", false, false, "", ""},
        {"rfc2217://:2217", false, false, "", ""},
        {"socket://host:", false, false, "", ""},
        {"socket://host:40x1", false, false, "", ""},
        {"socket://host:999999", false, false, "", ""},
        {"tcp://host:4001", false, false, "", ""},
    };
    for (const Case& k : cases) {
        const auto d = ParseNetDevice(k.name);
        ASSERT_EQ(d.has_value(), k.net) << k.name;
        if (!d)
            continue;
        EXPECT_EQ(d->rfc2217, k.rfc2217) << k.name;
        EXPECT_EQ(d->host, k.host) << k.name;
        EXPECT_EQ(d->service, k.service) << k.name;
    }
    EXPECT_TRUE(FixedLine("socket://h:1"));
    EXPECT_FALSE(FixedLine("rfc2217://h:1"));
    EXPECT_FALSE(FixedLine("/dev/ttyS0"));
}

TEST_F(NetworkPort, Rfc2217LineReachesTheDeviceAndIacCrossesBothWays) {
    url = server.Rfc2217Url();
    ASSERT_TRUE(comm.OpenPort(1)) << dialogs.Texts().back();
    EXPECT_EQ(comm.AcknowledgedLine(1), "") << "no line asked yet";
    ASSERT_TRUE(comm.SetPortParams(1, 6, kData8, kStop2, kParityOdd));
    EXPECT_EQ(comm.AcknowledgedLine(1), "600 8O2");
    termios tio = Line();
    EXPECT_EQ(::cfgetospeed(&tio), B600);
    EXPECT_TRUE(tio.c_cflag & PARODD);
    EXPECT_TRUE(tio.c_cflag & CSTOPB);
    ASSERT_TRUE(comm.SetPortParams(1, 15, kData8, kStop1, kParityNone));
    tio = Line();
    EXPECT_EQ(::cfgetospeed(&tio), B57600);
    // (no parity is the parity-enable flag cleared, which a pseudo-terminal never keeps: the
    // server leaves the odd flag as it was)
    EXPECT_FALSE(tio.c_cflag & CSTOPB);

    EXPECT_TRUE(comm.SendData(1, kFrame, static_cast<int>(kFrame.size())));
    EXPECT_EQ(pty.Read(kFrame.size()), kFrame);
    ASSERT_TRUE(pty.Write(kFrame));
    EXPECT_EQ(Collect(kFrame.size()), kFrame);
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.Texts().front();
    EXPECT_TRUE(comm.ClosePort(1));
}

TEST_F(NetworkPort, ARawSocketKeepsTheServersLineAndPassesBytesAsTheyAre) {
    url = server.SocketUrl();
    ASSERT_TRUE(comm.OpenPort(1)) << dialogs.Texts().back();
    // taken and remembered, but nothing here can change the server's line, nor knows it
    EXPECT_TRUE(comm.SetPortParams(1, 6, kData8, kStop1, kParityOdd));
    EXPECT_EQ(comm.AcknowledgedLine(1), "");
    ASSERT_TRUE(comm.SendData(1, kFrame, static_cast<int>(kFrame.size())));
    EXPECT_EQ(pty.Read(kFrame.size()), kFrame);
    const termios tio = Line();
    EXPECT_EQ(::cfgetospeed(&tio), B9600);
    EXPECT_FALSE(tio.c_cflag & PARODD);
    ASSERT_TRUE(pty.Write(kFrame));
    EXPECT_EQ(Collect(kFrame.size()), kFrame);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(NetworkPort, AServerThatEndsIsAVanishedPortOnceAndOpensAgainWhenBack) {
    for (const bool rfc2217 : {true, false}) {
        SCOPED_TRACE(rfc2217 ? "rfc2217" : "socket");
        dialogs.shown.clear();
        lost = 0;
        url = rfc2217 ? server.Rfc2217Url() : server.SocketUrl();
        ASSERT_TRUE(comm.OpenPort(1)) << dialogs.Texts().back();
        server.Stop();
        EXPECT_TRUE(WaitUntil([&] {
            core::Bytes chunk;
            comm.ReceiveData(1, chunk);
            return lost > 0;
        }));
        core::Bytes chunk;
        comm.ReceiveData(1, chunk);
        EXPECT_EQ(lost, 1);
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_NE(dialogs.shown[0].text.find(url + ": the server closed the connection"),
                  std::string::npos)
            << dialogs.shown[0].text;
        EXPECT_EQ(sio.sio_readiness(1), kSioBadPort);

        // a dead host: one message that names it
        dialogs.shown.clear();
        EXPECT_FALSE(comm.OpenPort(1));
        ASSERT_EQ(dialogs.shown.size(), 1u);
        const std::string port = url.substr(url.rfind(':') + 1);
        EXPECT_NE(dialogs.shown[0].text.find("no server at 127.0.0.1 port " + port),
                  std::string::npos)
            << dialogs.shown[0].text;

        ASSERT_TRUE(server.Start(pty.SlavePath())) << server.error();
        dialogs.shown.clear();
        EXPECT_TRUE(comm.OpenPort(1)) << dialogs.Texts().back();
        // the server flushes the device as it opens it, which may be just after our first bytes
        EXPECT_TRUE(WaitUntil([&] {
            return comm.SendData(1, kFrame, static_cast<int>(kFrame.size())) &&
                   pty.Read(kFrame.size(), 200) == kFrame;
        }));
        EXPECT_TRUE(comm.ClosePort(1));
    }
}

TEST_F(NetworkPort, APlainTcpServerIsNoRfc2217Port) {
    // the raw accepter answers no negotiation: the open gives up within its wait
    url = "rfc2217://127.0.0.1:" + server.SocketUrl().substr(server.SocketUrl().rfind(':') + 1);
    const auto began = std::chrono::steady_clock::now();
    EXPECT_FALSE(comm.OpenPort(1));
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::milliseconds(1500));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_NE(dialogs.shown[0].text.find("did not agree to binary COM port control within"),
              std::string::npos)
        << dialogs.shown[0].text;
}

TEST_F(NetworkPort, AHangingNameLookupEndsTheOpenInTimeAndANumericHostNeedsNone) {
    std::atomic<int> lookups = 0;
    NetSio net([this](int) { return url; },
               [&lookups](const std::string&, const std::string&, const addrinfo&, addrinfo**) {
                   ++lookups;
                   std::this_thread::sleep_for(std::chrono::seconds(3));
                   return EAI_AGAIN;
               });
    url = "socket://mast-3.example:4001";
    const auto began = std::chrono::steady_clock::now();
    EXPECT_EQ(net.sio_open(1), kSioOpenFail);
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::milliseconds(1500));
    EXPECT_EQ(net.LastOpenError(1), url + ": the lookup of mast-3.example port 4001 took longer "
                                          "than 1000 ms");
    EXPECT_EQ(lookups, 1);

    url = server.Rfc2217Url();
    EXPECT_EQ(net.sio_open(1), kSioOk) << net.LastOpenError(1);
    EXPECT_EQ(lookups, 1);
    EXPECT_EQ(net.sio_close(1), kSioOk);
}
