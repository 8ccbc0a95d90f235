#include "fake_sio.h"
#include "serial/commfunction.h"
#include "support/recording_dialogs.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

enum class Op { Open, Params, Close, Send };

struct Case {
    Op op;
    int code;
    std::string variant;
    bool ok;
    std::vector<Shown> shown;
};

const std::string kNotExist =
    "The port open fail,the port NOT exist or other software have used it!";
const std::string kSendParams = "The parameters error when sending data!";
const std::string kWin32 = "Call Win32 funtion fail!";

// A TCommFun on a fake library; the variant may change between calls.
struct Rig {
    FakeSio sio;
    RecordingDialogs dialogs;
    std::string variant;
    TCommFun comm{sio, dialogs, variant};
};

bool Call(TCommFun& comm, Op op) {
    switch (op) {
    case Op::Open:
        return comm.OpenPort(1);
    case Op::Params:
        return comm.SetPortParams(1, 9, 3, 0, 0);
    case Op::Close:
        return comm.ClosePort(1);
    case Op::Send:
        return comm.SendData(1, "ab", 2);
    }
    return false;
}

} // namespace

TEST(CommFun, ResultCodesGiveTheirBoxes) {
    const std::vector<Case> cases = {
        {Op::Open, 0, "", true, {}},
        {Op::Open,
         -1,
         "GERMAN",
         false,
         {{Shown::Warning, "The port open fail，hardware is error!"}}},
        {Op::Open, -5, "", false, {{Shown::Warning, kNotExist}}},
        {Op::Open, -5, "GERMAN", false, {{Shown::Warning, "KEIN PORT GEFUNDEN!"}}},
        {Op::Open, -5, "german", false, {{Shown::Warning, kNotExist}}}, // compared exactly
        {Op::Open, -8, "GERMAN", false, {{Shown::Warning, kWin32}}},
        {Op::Open, -2, "", false, {}},
        {Op::Open, 3, "", false, {}}, // only 0 is success
        {Op::Params, 0, "", true, {}},
        {Op::Params, -1, "", false, {{Shown::Warning, "The Port NOT be opened!"}}},
        {Op::Params, -1, "GERMAN", false, {{Shown::Warning, "KEIN PORT GEOEFFNET!"}}},
        {Op::Params, -8, "", false, {{Shown::Warning, kWin32}}},
        {Op::Params, -7, "", false, {}},
        {Op::Close, 0, "", true, {}},
        {Op::Close, -8, "", false, {{Shown::Warning, kWin32}}},
        {Op::Close, -1, "", false, {}},
        {Op::Send, 0, "", true, {}},
        {Op::Send, -1, "", false, {{Shown::Warning, "The Port NOT be opened!"}}},
        {Op::Send, -1, "GERMAN", false, {{Shown::Warning, "KEIN PORT GEOEFFNET!"}}},
        {Op::Send, -7, "GERMAN", false, {{Shown::Error, kSendParams}}},
        {Op::Send, -11, "", false, {{Shown::Warning, kSendParams}}},
        {Op::Send, -12, "", false, {}},
        {Op::Send, -8, "", false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "op " << static_cast<int>(c.op) << " code " << c.code
                                          << " variant " << c.variant);
        Rig rig;
        rig.variant = c.variant;
        rig.sio.result = c.code;
        EXPECT_EQ(Call(rig.comm, c.op), c.ok);
        EXPECT_EQ(rig.dialogs.shown, c.shown);
    }
}

TEST(CommFun, AFailedLineNamesTheReasonTheLibraryGives) {
    Rig rig;
    rig.sio.result = serial::kSioSystemFail;
    rig.sio.lineError = "rfc2217://mast:2217: the server acknowledged 9600 8N1 where 600 8O1 "
                        "was asked";
    EXPECT_FALSE(rig.comm.SetPortParams(1, 6, 3, 0, 0x08));
    EXPECT_EQ(rig.dialogs.shown,
              (std::vector<Shown>{{Shown::Warning, kWin32 + "\n" + rig.sio.lineError}}));
}

TEST(CommFun, SetPortParamsOrsTheModeCodes) {
    Rig rig;
    EXPECT_TRUE(rig.comm.SetPortParams(3, 12, 2, 4, 0x18)); // 9600, 7 data bits, 2 stop, even
    EXPECT_EQ(rig.sio.baud, 12);
    EXPECT_EQ(rig.sio.mode, 0x1E);
}

TEST(CommFun, SendDataRefusesALengthBeyondTheData) {
    Rig rig;
    EXPECT_FALSE(rig.comm.SendData(1, "abc", 4));
    EXPECT_FALSE(rig.comm.SendData(1, "abc", -1));
    EXPECT_EQ(rig.sio.writes, 0);
    EXPECT_EQ(rig.dialogs.shown,
              (std::vector<Shown>{{Shown::Error, kSendParams}, {Shown::Error, kSendParams}}));
}

TEST(CommFun, ALostDeviceIsReportedOnceThenCallsFailAsUsual) {
    Rig rig;
    rig.sio.result = -1;
    rig.sio.lostReason = "/dev/ttyUSB0: the device was disconnected";
    std::vector<int> closed; // whoever keeps the open flags hears of each vanish once
    rig.comm.OnPortLost([&closed](int port) { closed.push_back(port); });
    core::Bytes received;
    for (int poll = 0; poll < 5; ++poll)
        rig.comm.ReceiveData(1, received);
    EXPECT_FALSE(rig.comm.SendData(1, "x", 1));
    // The variant is read at each message; a write that finds the device gone shows one box.
    rig.variant = "GERMAN";
    rig.sio.lostReason = "/dev/ttyACM0: the device was disconnected";
    EXPECT_FALSE(rig.comm.SendData(1, "x", 1));
    EXPECT_TRUE(received.empty());
    EXPECT_EQ(rig.dialogs.Texts(),
              (std::vector<std::string>{
                  "The Port NOT be opened!\n/dev/ttyUSB0: the device was disconnected",
                  "The Port NOT be opened!",
                  "KEIN PORT GEOEFFNET!\n/dev/ttyACM0: the device was disconnected"}));
    EXPECT_EQ(closed, (std::vector<int>{1, 1}));
}
