// The serial layer against a real pseudo-terminal: the test plays the module on the master.
#include "port_reading.h"
#include "serial/commfunction.h"
#include "serial/posix_sio.h"
#include "support/pty.h"
#include "support/recording_dialogs.h"

#include <gtest/gtest.h>

#include <termios.h>

using namespace serial;

namespace {

class PtyPort : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.Ok());
        ASSERT_TRUE(comm.OpenPort(1));
        ASSERT_TRUE(comm.SetPortParams(1, 12, kData8, kStop1, kParityNone));
    }
    std::string Collect(std::size_t count) { return ::Collect(comm, 1, count); }
    termios LineSettings() { return LineOf(pty); }

    PtyPair pty;
    std::string variant;
    RecordingDialogs dialogs;
    PosixSio sio{[this](int port) { return port == 1 ? pty.SlavePath() : std::string(); }};
    TCommFun comm{sio, dialogs, variant};
};

// Bytes with zeros, CR, LF and 0xFF inside: nothing may be cut or translated on the way.
const core::Bytes kFrame("\x5A\x5A\x00\x00\x5A\x80\x00\x00\x8E\x0D\x0A\x00\xFF\x11\x13", 15);

} // namespace

TEST_F(PtyPort, FramesWithZeroBytesCrossWholeBothWays) {
    EXPECT_TRUE(comm.SendData(1, kFrame, static_cast<int>(kFrame.size())));
    EXPECT_EQ(pty.Read(kFrame.size()), kFrame);
    ASSERT_TRUE(pty.Write(kFrame));
    EXPECT_EQ(Collect(kFrame.size()), kFrame);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(PtyPort, MoreThanOneBufferArrivesOverTwoPolls) {
    std::string sent(1500, '\0');
    for (std::size_t i = 0; i < sent.size(); ++i)
        sent[i] = static_cast<char>(i * 7);
    ASSERT_TRUE(pty.Write(sent));
    ASSERT_TRUE(WaitUntil([&] { return sio.sio_iqueue(1) == 1500; }));
    core::Bytes first, second, third = "untouched";
    comm.ReceiveData(1, first);
    comm.ReceiveData(1, second);
    comm.ReceiveData(1, third);
    EXPECT_EQ(first, sent.substr(0, 1025));
    EXPECT_EQ(second, sent.substr(1025));
    EXPECT_EQ(third, "untouched");
}

struct LineRow {
    int baud, data, stop, parity;
    speed_t speed;
    tcflag_t size, stopFlag, parityFlags;
};
const LineRow kLineRows[] = {
    {6, kData8, kStop1, kParityNone, B600, CS8, 0, 0},
    {7, kData8, kStop1, kParityEven, B1200, CS8, 0, PARENB},
    {9, kData7, kStop2, kParityEven, B2400, CS7, CSTOPB, PARENB},
    {10, kData8, kStop1, kParityNone, B4800, CS8, 0, 0},
    {12, kData6, kStop1, kParityOdd, B9600, CS6, 0, PARENB | PARODD},
    {13, kData8, kStop1, kParityOdd, B19200, CS8, 0, PARENB | PARODD},
    {14, kData5, kStop2, kParityMark, B38400, CS5, CSTOPB, PARENB | PARODD | CMSPAR},
    {15, kData8, kStop1, kParitySpace, B57600, CS8, 0, PARENB | CMSPAR},
};

TEST(PosixSio, LineCodesBecomeTerminalFlags) {
    for (const auto& r : kLineRows) {
        SCOPED_TRACE(::testing::Message() << "baud code " << r.baud << " parity " << r.parity);
        termios tio{};
        tio.c_cflag = CS8 | PARENB | PARODD | CMSPAR | CSTOPB | CLOCAL | CREAD; // all replaced
        EXPECT_NE(ApplyLineCodes(tio, r.baud, r.data | r.stop | r.parity), 0);
        EXPECT_EQ(::cfgetospeed(&tio), r.speed);
        EXPECT_EQ(::cfgetispeed(&tio), r.speed);
        EXPECT_EQ(tio.c_cflag & CSIZE, r.size);
        EXPECT_EQ(tio.c_cflag & CSTOPB, r.stopFlag);
        EXPECT_EQ(tio.c_cflag & (PARENB | PARODD | CMSPAR), r.parityFlags);
        EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    }
}

// What a read-back must show. A serial device that drops a flag did not take the line asked
// for (an unsupported setting); a pseudo-terminal always drops parity-enable and data bits.
TEST(PosixSio, ReadBackDecidesWhetherTheLineHeld) {
    termios asked{};
    ASSERT_NE(ApplyLineCodes(asked, 10, kData7 | kStop2 | kParityOdd), 0);
    struct Row {
        const char* what;
        tcflag_t cleared, set;
        speed_t speed;
        bool onSerialDevice, onPseudoTerminal;
    };
    const Row rows[] = {
        {"all kept", 0, 0, B4800, true, true},
        {"parity-enable dropped", PARENB, 0, B4800, false, true},
        {"8 data bits forced", CSIZE, CS8, B4800, false, true},
        {"odd flag dropped", PARODD, 0, B4800, false, false},
        {"mark parity", 0, CMSPAR, B4800, false, false},
        {"one stop bit", CSTOPB, 0, B4800, false, false},
        {"another speed", 0, 0, B9600, false, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        termios held = asked;
        held.c_cflag = (held.c_cflag & ~r.cleared) | r.set;
        ::cfsetospeed(&held, r.speed);
        EXPECT_EQ(LineHeld(asked, held, false), r.onSerialDevice);
        EXPECT_EQ(LineHeld(asked, held, true), r.onPseudoTerminal);
    }
}

TEST_F(PtyPort, AWriteTheFarEndNeverTakesFailsInsteadOfHanging) {
    ASSERT_TRUE(comm.SetPortParams(1, 15, kData8, kStop1, kParityNone));
    // More than the pseudo-terminal buffers (about 20 KB) while the master reads nothing.
    const std::string data(24 * 1024, 'x');
    EXPECT_EQ(sio.sio_write(1, data.data(), static_cast<int>(data.size())), kSioWriteTimeout);
    EXPECT_EQ(sio.sio_iqueue(1), 0); // the port stays open
}

// A pseudo-terminal forces 8 data bits and clears PARENB; speed, stop bits, PARODD and CMSPAR
// it keeps, so those are read back here.
TEST_F(PtyPort, LineSettingsLandInTheTerminal) {
    for (const auto& r : kLineRows) {
        SCOPED_TRACE(::testing::Message() << "baud code " << r.baud << " parity " << r.parity);
        EXPECT_TRUE(comm.SetPortParams(1, r.baud, r.data, r.stop, r.parity));
        const termios tio = LineSettings();
        EXPECT_EQ(::cfgetospeed(&tio), r.speed);
        EXPECT_EQ(tio.c_cflag & CSTOPB, r.stopFlag);
        EXPECT_EQ(tio.c_cflag & (PARODD | CMSPAR), r.parityFlags & (PARODD | CMSPAR));
        // Raw: no echo, no CR/LF translation, reads return at once.
        EXPECT_EQ(tio.c_lflag & (ECHO | ICANON | ISIG), 0u);
        EXPECT_EQ(tio.c_iflag & (ICRNL | INLCR | IXON), 0u);
        EXPECT_EQ(tio.c_oflag & OPOST, 0u);
        EXPECT_EQ(tio.c_cc[VMIN], 0);
        EXPECT_EQ(tio.c_cc[VTIME], 0);
    }
    EXPECT_TRUE(dialogs.shown.empty());
}

// Asking a pseudo-terminal again for its parity, or for even parity on a line without, changes
// nothing it keeps: no failure, after a reopen neither (the tool reopens to follow a module).
TEST_F(PtyPort, ParityAskedAgainIsNoFailure) {
    for (const int parity : {kParityOdd, kParityOdd, kParityNone, kParityEven, kParityEven}) {
        EXPECT_TRUE(comm.SetPortParams(1, 10, kData8, kStop1, parity)) << parity;
        EXPECT_EQ(LineSettings().c_cflag & PARODD, parity == kParityOdd ? PARODD : 0u) << parity;
    }
    ASSERT_TRUE(comm.SetPortParams(1, 10, kData8, kStop1, kParityOdd));
    ASSERT_TRUE(comm.ClosePort(1));
    ASSERT_TRUE(comm.OpenPort(1));
    EXPECT_TRUE(comm.SetPortParams(1, 10, kData8, kStop1, kParityOdd));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(PtyPort, CodesOutsideTheTablesAreRefusedAndChangeNothing) {
    ASSERT_TRUE(comm.SetPortParams(1, 9, kData8, kStop2, kParityOdd));
    const int badCalls[][2] = {
        {8, kData8},         // 1800 baud is not offered
        {16, kData8},        // nor is 115200
        {12, 0x10},          // parity bits 0x10 name no parity
        {12, kData8 | 0x40}, // a bit outside every field
    };
    for (const auto& call : badCalls) {
        EXPECT_EQ(sio.sio_ioctl(1, call[0], call[1]), kSioBadParam) << call[0] << " " << call[1];
        termios tio{};
        EXPECT_EQ(ApplyLineCodes(tio, call[0], call[1]), 0);
        EXPECT_EQ(tio.c_cflag, 0u);
    }
    const termios tio = LineSettings();
    EXPECT_EQ(::cfgetospeed(&tio), static_cast<speed_t>(B2400));
    EXPECT_EQ(tio.c_cflag & (PARODD | CSTOPB), static_cast<tcflag_t>(PARODD | CSTOPB));
    EXPECT_EQ(sio.sio_write(1, nullptr, 3), kSioBadParam);
    EXPECT_EQ(sio.sio_write(1, "x", -1), kSioBadParam);
}

TEST_F(PtyPort, AClosedPortRefusesWritesWithItsMessage) {
    ASSERT_TRUE(comm.ClosePort(1));
    EXPECT_FALSE(comm.SendData(1, kFrame, 3));
    EXPECT_FALSE(comm.SendData(2, kFrame, 3)); // never opened
    EXPECT_FALSE(comm.SetPortParams(1, 12, kData8, kStop1, kParityOdd));
    EXPECT_FALSE(comm.ClosePort(1)); // closing twice fails, silently
    EXPECT_EQ(sio.sio_iqueue(1), kSioBadPort);
    EXPECT_EQ(dialogs.Texts(),
              (std::vector<std::string>{"The Port NOT be opened!", "The Port NOT be opened!",
                                        "The Port NOT be opened!"}));
    EXPECT_TRUE(comm.OpenPort(1)); // and it opens again
}

TEST_F(PtyPort, APortOpenElsewhereIsInUse) {
    PosixSio other([this](int) { return pty.SlavePath(); });
    RecordingDialogs otherDialogs;
    TCommFun otherComm(other, otherDialogs, variant);
    EXPECT_FALSE(otherComm.OpenPort(5));
    ASSERT_EQ(otherDialogs.Texts().size(), 1u);
    EXPECT_EQ(otherDialogs.Texts()[0],
              "The port open fail,the port NOT exist or other software have used it!\n" +
                  pty.SlavePath() + ": in use by another program");
    ASSERT_TRUE(comm.ClosePort(1));
    EXPECT_TRUE(otherComm.OpenPort(5));
}

TEST_F(PtyPort, AVanishedDeviceClosesThePortAndIsReportedOnce) {
    pty.CloseMaster();
    core::Bytes received;
    for (int poll = 0; poll < 10; ++poll)
        comm.ReceiveData(1, received);
    EXPECT_TRUE(received.empty());
    EXPECT_EQ(sio.sio_iqueue(1), kSioBadPort);
    EXPECT_FALSE(comm.SendData(1, kFrame, 2));
    EXPECT_FALSE(comm.SetPortParams(1, 12, kData8, kStop1, kParityNone));
    EXPECT_EQ(dialogs.Texts(),
              (std::vector<std::string>{"The Port NOT be opened!\n" + pty.SlavePath() +
                                            ": the device was disconnected (Input/output error)",
                                        "The Port NOT be opened!", "The Port NOT be opened!"}));
    // Closing what vanished succeeds once, so the port can be chosen and opened again.
    EXPECT_TRUE(comm.ClosePort(1));
    EXPECT_FALSE(comm.ClosePort(1));
}

TEST(PosixSio, AbsentDevicesFailAsNotExisting) {
    struct Row {
        std::string variant;
        int port;
        std::string text;
    };
    const std::string english =
        "The port open fail,the port NOT exist or other software have used it!\n";
    const std::string missing = "/nonexistent/ttyQX9: No such file or directory";
    const Row rows[] = {
        {"", 1, english + missing},
        {"GERMAN", 1, "KEIN PORT GEFUNDEN!\n" + missing},
        {"", 2,
         english + "No device for COM2: name one as COM2=/dev/... in section [Ports] of "
                   "Config.ini"},
        {"", 37, english + "COM37 is not a port number (COM1 to COM36)"},
        {"", 0, english + "COM0 is not a port number (COM1 to COM36)"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        RecordingDialogs dialogs;
        PosixSio sio([](int port) { return port == 1 ? "/nonexistent/ttyQX9" : ""; });
        TCommFun comm(sio, dialogs, r.variant);
        EXPECT_EQ(sio.sio_open(r.port), kSioOpenFail);
        EXPECT_FALSE(comm.OpenPort(r.port));
        EXPECT_EQ(dialogs.shown, (std::vector<Shown>{{Shown::Warning, r.text}}));
    }
}

TEST(PosixSio, AFileThatIsNoTerminalIsRefused) {
    PosixSio sio([](int) { return "/dev/null"; });
    EXPECT_EQ(sio.sio_open(1), kSioOpenFail);
    EXPECT_EQ(sio.LastOpenError(1), "/dev/null: not a serial device");
    EXPECT_EQ(sio.sio_write(1, "x", 1), kSioBadPort);
}
