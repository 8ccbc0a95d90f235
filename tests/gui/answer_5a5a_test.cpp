#include "receive_peer.h"
#include "serial/dialog/port_dialog.h"
#include "ui_port_dialog.h"

#include <functional>

namespace {

struct RowCase {
    const char* why;
    const char* lastCommand;
    const char* code;
    const char* payload;
    const char* status; // "-": panel 2 keeps what it showed
    std::function<void(ModulePeer&)> check;
};

void RunRows(ModulePeer& m, std::initializer_list<RowCase> rows) {
    for (const RowCase& row : rows) {
        SCOPED_TRACE(row.why);
        m.g().LastCommand = row.lastCommand;
        m.h.Ctx().status.Set(2, "-");
        ASSERT_TRUE(m.Deliver(Answer5A5A(row.code, row.payload)));
        EXPECT_EQ(m.h.Status(2), QString::fromUtf8(row.status));
        if (row.check)
            row.check(m);
        EXPECT_TRUE(m.ui().Memo2->toPlainText().isEmpty());
    }
}

} // namespace

TEST(Answer5A5A, AcceptedAnswersFillTheirControlsAndOthersAreRefused) {
    ModulePeer m("CEO=EN");
    m.ChooseModel(6); // QX871: channels and rates up to 38400
    auto& ui = m.ui();
    RunRows(
        m,
        {
            {"air rate written", "8003", "0003", "", "RF Parameters Write OK!", nullptr},
            {"answer to another command", "8005", "0003", "", "Answer data is error!",
             [](ModulePeer& p) { EXPECT_EQ(p.g().LastCommand, "8005"); }},
            // rate code 05 = 9600, position 3
            {"air rate read", "8004", "0004", "0500", "RF Parameters Read OK!",
             [&](ModulePeer&) { EXPECT_EQ(ui.ComboBox1->currentIndex(), 3); }},
            // refused: the list keeps its selection
            {"air rate refused", "8003", "0004", "0700", "Answer data is error!",
             [&](ModulePeer&) { EXPECT_EQ(ui.ComboBox1->currentIndex(), 3); }},
            // rate code 08 is outside 2..7: no selection
            {"air rate unknown", "8004", "0004", "0800", "RF Parameters Read OK!",
             [&](ModulePeer&) { EXPECT_EQ(ui.ComboBox1->currentIndex(), -1); }},
            // channel 3 is position 2
            {"channel read", "8006", "0006", "0300", "Read Channel and frequency OK!",
             [&](ModulePeer&) { EXPECT_EQ(ui.ComboBox4->currentIndex(), 2); }},
            // ID 012C = 300
            {"id read", "800D", "000D", "012C", "Read ID OK!",
             [&](ModulePeer&) { EXPECT_EQ(ui.Edit15->text(), "300"); }},
            {"power saving read", "8010", "0010", "0200", "Read PowerSaved Mode OK!",
             [&](ModulePeer&) { EXPECT_EQ(ui.ComboBox6->currentIndex(), 2); }},
            // field strength 0x5A: shown as its two characters and as 90
            {"field strength", "8012", "0012", "5A00", "Read OK!",
             [&](ModulePeer&) {
                 EXPECT_EQ(ui.Edit16->text(), "5A");
                 EXPECT_EQ(ui.Edit17->text(), "90");
             }},
            {"field strength refused", "8013", "0012", "1100", "-",
             [&](ModulePeer&) { EXPECT_EQ(ui.Edit16->text(), "5A"); }},
            {"power level", "8013", "0013", "0900", "Power be set OK!", nullptr},
            {"protocol read", "8014", "0014", "0100", "Read RF Protocol OK!",
             [&](ModulePeer&) { EXPECT_EQ(ui.ComboBox5->currentIndex(), 1); }},
            {"serial settings refused", "8003", "0001", "0500", "answer data is error!", nullptr},
            {"read all refused", "8014", "0015", "03050600",
             "Recieved All Parameters Setting Command !", nullptr},
            {"duty cycle refused", "8017", "0016", "", "Sleep interval Set error!", nullptr},
            {"output power refused", "8016", "0017", "", "-", nullptr},
            {"capacitance", "8019", "0019", "", "The capacitance frequency adjust OK!", nullptr},
            // 0018 is no answer code: nothing at all
            {"unknown code", "8018", "0018", "", "-", nullptr},
        });
}

TEST(Answer5A5A, SerialSettingsAnswersMoveThePortToTheModulesSettings) {
    ModulePeer m("CEO=EN");
    m.ChooseModel(6);
    auto& port = m.h.Ctx().frmPortSet->Form();
    RunRows(m, {
                   // rate 07 = 38400, parity 02 = odd
                   {"serial read", "8002", "0002", "0702", "COM Parameters Read OK!",
                    [&](ModulePeer& p) {
                        EXPECT_EQ(p.ui().ComboBox2->currentIndex(), 5);
                        EXPECT_EQ(p.ui().ComboBox3->currentText(), "奇校验");
                        EXPECT_EQ(port.ComboBox2->currentText(), "38400");
                        EXPECT_EQ(p.g().PortParityCode, 0x08);
                    }},
                   // channel 3, air 9600, serial 19200, parity 01 = even
                   {"read all", "8015", "0015", "03050601", "Read All Parameters OK!",
                    [&](ModulePeer& p) {
                        EXPECT_EQ(p.ui().ComboBox4->currentIndex(), 2);
                        EXPECT_EQ(p.ui().ComboBox1->currentIndex(), 3);
                        EXPECT_EQ(p.ui().ComboBox2->currentIndex(), 4);
                        EXPECT_EQ(p.ui().ComboBox3->currentText(), "偶校验");
                        EXPECT_EQ(port.ComboBox2->currentText(), "19200");
                        EXPECT_EQ(p.g().PortParityCode, 0x18);
                    }},
                   // write all: serial rate 05 and parity 00 from bytes 2 and 3
                   {"write all", "800E", "000E", "03050500", "Write All Parameters OK!",
                    [&](ModulePeer& p) {
                        EXPECT_EQ(port.ComboBox2->currentText(), "9600");
                        EXPECT_EQ(p.g().PortParityCode, 0x00);
                    }},
                   // channel 17 clears the channel; parity 05 is unknown and leaves the list
                   {"read all odd values", "8015", "0015", "11050405", "Read All Parameters OK!",
                    [&](ModulePeer& p) {
                        EXPECT_EQ(p.ui().ComboBox4->currentIndex(), -1);
                        EXPECT_EQ(p.ui().ComboBox2->currentIndex(), 2);
                        EXPECT_EQ(p.ui().ComboBox3->currentText(), "偶校验");
                    }},
               });
}

TEST(Answer5A5A, FramesThatFailTheChecksGoToTheReceiveLog) {
    ModulePeer m("CEO=EN");
    m.g().LastCommand = "8003";
    // checksum 98 of the air-rate answer replaced by 99
    const std::string badSum = "5A5A00005A0003020500990D0A";
    ASSERT_TRUE(m.Deliver(badSum));
    // an IO answer with a wrong checksum has its own line
    const std::string badIo = "4040A6000107001300000D0A";
    ASSERT_TRUE(m.Deliver(badIo));
    // no trailer
    ASSERT_TRUE(m.Deliver("5A5A00005A00030205009800"));
    EXPECT_EQ(m.ui().Memo2->toPlainText().toStdString(),
              badSum + "\nChecksum is error!\n" + badIo +
                  "\nShecksum is error!\n5A5A00005A00030205009800");
    EXPECT_EQ(m.h.Status(2), "-");

    m.ui().Memo2->clear();
    m.g().LangCode = "en"; // not exactly "EN": Chinese
    ASSERT_TRUE(m.Deliver(badSum));
    EXPECT_EQ(m.ui().Memo2->toPlainText().toStdString(), badSum + "\n返回应答校验出错！");
}

TEST(Answer5A5A, IoAnswersPaintTheIndicators) {
    ModulePeer m("CEO=EN");
    auto& ui = m.ui();
    auto lime = [](QFrame* shape) {
        return shape->styleSheet().startsWith("background-color: lime");
    };
    m.g().LastCommand = "40408012";
    // line 1 high, then line 2 low
    ASSERT_TRUE(m.Deliver(core::FrameText4040("0001", "A6", "0012", "0101")));
    EXPECT_EQ(m.h.Status(2), "Write IO OK!");
    ASSERT_TRUE(m.Deliver(core::FrameText4040("0001", "A6", "0012", "0200")));
    EXPECT_TRUE(lime(ui.Shape3));
    EXPECT_FALSE(lime(ui.Shape4));

    m.g().LastCommand = "40408013";
    // module 012C = 300 reports input 1 high, input 2 low
    ASSERT_TRUE(m.Deliver(core::FrameText4040("012C", "A6", "0013", "0100")));
    EXPECT_EQ(m.h.Status(2), "Read IO status OK!");
    EXPECT_EQ(ui.Edit10->text(), "300");
    EXPECT_EQ(ui.ComboBox7->currentIndex(), 1);
    EXPECT_EQ(ui.ComboBox8->currentIndex(), 0);
    EXPECT_TRUE(lime(ui.Shape1));
    EXPECT_FALSE(lime(ui.Shape2));

    m.g().LastCommand = "8013"; // the power-level command, not the IO read
    ASSERT_TRUE(m.Deliver(core::FrameText4040("0001", "A6", "0013", "0001")));
    EXPECT_EQ(m.h.Status(2), "Answer data is error!");
    EXPECT_EQ(ui.Edit10->text(), "300");
    EXPECT_TRUE(m.ui().Memo2->toPlainText().isEmpty());
}

TEST(Answer5A5A, PowerValueFollowsTheChineseText) {
    ModulePeer m("CEO=CN");
    m.g().LastCommand = "8013";
    ASSERT_TRUE(m.Deliver(Answer5A5A("0013", "0C00")));
    EXPECT_EQ(m.h.Status(2), "功率设置成功,功率值为：12");
}
