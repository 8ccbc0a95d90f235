#include "port_dialog/port_dialog.h"
#include "receive_peer.h"
#include "ui_port_dialog.h"

#include <utility>
#include <vector>

namespace {

// What a control of the main window shows: a list its position, an edit its text.
QString Shown(ModulePeer& m, const char* name) {
    if (auto* list = m.ui().centralwidget->findChild<QComboBox*>(name))
        return QString::number(list->currentIndex());
    auto* edit = m.ui().centralwidget->findChild<QLineEdit*>(name);
    return edit != nullptr ? edit->text() : QString("no control");
}

struct RowCase {
    const char* why;
    const char* lastCommand;
    const char* code;
    const char* payload;
    std::vector<std::pair<const char*, const char*>> shows;
    const char* portBaud = nullptr; // where the port was reopened: its baud and parity codes
    int portParity = 0;
};

void RunRows(ModulePeer& m, const std::vector<RowCase>& rows) {
    for (const RowCase& row : rows) {
        SCOPED_TRACE(row.why);
        m.g().LastCommand = row.lastCommand;
        ASSERT_TRUE(m.Deliver(Answer5A5A(row.code, row.payload)));
        for (const auto& [control, value] : row.shows)
            EXPECT_EQ(Shown(m, control), QString::fromUtf8(value)) << control;
        if (row.portBaud != nullptr) {
            EXPECT_EQ(m.h.Ctx().frmPortSet->Form().ComboBox2->currentText(), row.portBaud);
            EXPECT_EQ(m.g().Line.PortParityCode, row.portParity);
        }
        EXPECT_EQ(m.g().LastCommand, row.lastCommand);
        EXPECT_TRUE(m.ui().Memo2->toPlainText().isEmpty());
    }
}

} // namespace

// What each answer means and the text it shows is the exchange's table (core tests); here,
// where the window's groups put the values, and that a refused answer changes nothing.
TEST(Answer5A5A, AcceptedAnswersFillTheirControlsAndOthersAreRefused) {
    ModulePeer m("CEO=EN");
    m.ChooseModel(6); // QX871: channels and rates up to 38400
    // The band the channel's frequency is taken from.
    m.h.dialogs.answers.push_back(true);
    m.ui().ComboBox16->setCurrentText("433MHZ");
    m.h.Ctx().models->ComboBox16Click();
    // clang-format off
    RunRows(m, {
        // a list shows the position of the code, 05 = 9600; refused, it stays
        {"air rate", "8004", "0004", "0500", {{"ComboBox1", "3"}}},
        {"air rate refused", "8003", "0004", "0700", {{"ComboBox1", "3"}}},
        // channel 3 is position 2, and its frequency shows
        {"channel", "8006", "0006", "0300", {{"ComboBox4", "2"}, {"Edit1", "431.7360MHZ"}}},
        // a field shows the number; each setting in the control its table row names
        {"id 012C", "800D", "000D", "012C", {{"Edit15", "300"}}},
        {"power saving", "8010", "0010", "0200", {{"ComboBox6", "2"}}},
        {"protocol", "8014", "0014", "0100", {{"ComboBox5", "1"}}},
        // field strength 0x5A as its two characters and as 90
        {"field strength", "8012", "0012", "5A00", {{"Edit16", "5A"}, {"Edit17", "90"}}},
    });
    // clang-format on
}

TEST(Answer5A5A, SerialSettingsAnswersMoveThePortToTheModulesSettings) {
    ModulePeer m("CEO=EN");
    m.ChooseModel(6);
    // clang-format off
    RunRows(m, {
        // rate 07 = 38400, parity 02 = odd
        {"serial read", "8002", "0002", "0702", {{"ComboBox2", "5"}, {"ComboBox3", "1"}}, "38400", 0x08},
        // channel 3, air 9600, serial 19200, parity 01 = even
        {"read all", "8015", "0015", "03050601",
         {{"ComboBox4", "2"}, {"ComboBox1", "3"}, {"ComboBox2", "4"}, {"ComboBox3", "0"}}, "19200", 0x18},
        // write all: serial rate 05 and parity 00 from bytes 2 and 3
        {"write all", "800E", "000E", "03050500", {}, "9600", 0x00},
        // channel 17 clears the channel; parity 05 is unknown and leaves the list as it was
        {"read all odd values", "8015", "0015", "11050405",
         {{"ComboBox4", "-1"}, {"ComboBox2", "2"}, {"ComboBox3", "0"}}},
    });
    // clang-format on
}

TEST(Answer5A5A, FramesThatFailTheChecksGoToTheReceiveLog) {
    ModulePeer m("CEO=EN");
    m.g().LastCommand = "8003";
    // checksum 98 of the air-rate answer replaced by 99; no trailer
    const std::string badSum = "5A5A00005A0003020500990D0A";
    for (const std::string& text : {badSum, std::string("5A5A00005A00030205009800")})
        ASSERT_TRUE(m.Deliver(text));
    EXPECT_EQ(m.ui().Memo2->toPlainText().toStdString(),
              badSum + "\nChecksum is error!\n5A5A00005A00030205009800");

    // A log one line short of full keeps the frame with its verdict.
    m.ui().Memo2->clear();
    for (int i = 0; i < 999; ++i)
        m.ui().Memo2->appendPlainText("x");
    ASSERT_TRUE(m.Deliver(badSum));
    EXPECT_TRUE(m.ui().Memo2->toPlainText().endsWith(
        QString::fromStdString("x\n" + badSum + "\nChecksum is error!")));
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
    ASSERT_TRUE(m.Deliver(core::FrameText4040("0001", "A6", "0012", "0200")));
    EXPECT_TRUE(lime(ui.Shape3));
    EXPECT_FALSE(lime(ui.Shape4));

    m.g().LastCommand = "40408013";
    // module 012C = 300 reports input 1 high, input 2 low
    ASSERT_TRUE(m.Deliver(core::FrameText4040("012C", "A6", "0013", "0100")));
    EXPECT_EQ(ui.Edit10->text(), "300");
    EXPECT_EQ(ui.ComboBox7->currentIndex(), 1);
    EXPECT_EQ(ui.ComboBox8->currentIndex(), 0);
    EXPECT_TRUE(lime(ui.Shape1));
    EXPECT_FALSE(lime(ui.Shape2));

    m.g().LastCommand = "8013";
    m.g().LangCode = "CN"; // the power value follows the Chinese text only
    ASSERT_TRUE(m.Deliver(Answer5A5A("0013", "0C00")));
    EXPECT_EQ(m.h.Status(2), "功率设置成功,功率值为：12");
}
