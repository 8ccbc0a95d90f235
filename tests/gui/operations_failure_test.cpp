// A frame the port refuses: the serial link's warning, then the operation's failure status
// and box; the state stays, and what a read cleared stays cleared.
#include "operations_fixture.h"

#include "serial/commfunction.h"

namespace {

struct Failure {
    const char* button;
    const char* status;
    const char* box;
};

TEST_F(OperationsTest, ClosedPortShowsTheFailureTextsAndKeepsTheState) {
    const std::vector<Failure> english{
        {"SpeedButton2", "Read Channel and Frequency fail!", "Read Fail!"},
        {"SpeedButton8", "Write Channel and frequency Fail!", "Write Fail!"},
        {"SpeedButton4", "Read RF Baud Rate Fail!", "Read Fail!"},
        {"SpeedButton9", "Write RF Baud Rate fail!", "Set fail!"},
        {"SpeedButton5", "Read COM Baud Rate Fail!", "Read Fail!"},
        {"SpeedButton10", "Write COM Baud Rate Fail!", "Set fail!"},
        {"SpeedButton22", "Read RF protocol fail!", "Read Fail!"},
        {"SpeedButton23", "Writing RF protocol Fail!", "Set fail!"},
        {"SpeedButton26", "Read ID Fail!", "Read Fail!"},
        {"SpeedButton27", "Write ID Fail!", "Set fail!"},
        {"SpeedButton33", "Set Power Fail!", "Set fail!"},
        {"SpeedButton11", "Read Fail!", "Read Fail!"},
        {"SpeedButton28", "Write powersaved mode fail!", "Write powersaved mode fail!"},
        {"SpeedButton29", "Wake up from COM Port Fail", "Wake up from COM Port Fail!"},
        {"SpeedButton39", "Write duty cycle time Fail!", "Write Fail!"},
        {"SpeedButton13", "IO status Read Fail!", "Read Fail!"},
        {"SpeedButton12", "Write output status Fail!", "Write Fail!"},
        {"SpeedButton32", "Write output status Fail!", "Write Fail!"},
        {"Button1", "Read Fail!", "Read Field Strength Fail!"},
        {"Button2", "Write Power Level Fail!", "Write Fail!"},
    };
    ASSERT_TRUE(h->Ctx().CommFun.ClosePort(h->G().Line.CurrentPort));
    h->G().LangCode = "EN";
    for (const Failure& c : english) {
        SCOPED_TRACE(c.button);
        FillParameters();
        h->G().AppState = StateDataComm;
        h->dialogs.shown.clear();
        h->Click(c.button);
        EXPECT_EQ(Boxes(), (std::vector<std::string>{"The Port NOT be opened!", c.box}));
        EXPECT_EQ(h->Status(2), QString::fromUtf8(c.status));
        EXPECT_EQ(h->G().AppState, StateDataComm);
    }
    // A read's clearing is not undone; Chinese texts where the English one is not "EN".
    FillParameters();
    h->G().LangCode = "CN";
    h->dialogs.shown.clear();
    h->Click("SpeedButton2");
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"The Port NOT be opened!", "读取失败!"}));
    EXPECT_EQ(h->Status(2), QString::fromUtf8("正在读取与频率失败!"));
    EXPECT_EQ(List("ComboBox4")->currentIndex(), -1);
    EXPECT_TRUE(Field("Edit1")->text().isEmpty());
    h->dialogs.shown.clear();
    h->Click("SpeedButton28");
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"The Port NOT be opened!", "设置省电模式失败!"}));
    EXPECT_EQ(h->Status(2), QString::fromUtf8("设置省电模式失败"));
}

} // namespace
