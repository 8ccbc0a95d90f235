#include "port_dialog/port_dialog.h"
#include "receive_peer.h"
#include "ui_port_dialog.h"

using core::FrameTextEDED;

// What the short answers mean and the texts they show is the exchange's table; here, the port
// and lists after a serial-settings answer that tells the rate alone.
TEST(AnswerEDED, SerialAnswersTellTheRateAndTheModuleKeepsItsParity) {
    ModulePeer m("type=MORVANTELIS\nCEO=EN");
    auto& ui = m.ui();
    Ui::TfrmPortSet& dialog = m.h.Ctx().frmPortSet->Form();
    const core::LineSettings& line = m.g().Line;
    m.ChooseModel(6);
    // the module was found at 4800 odd
    m.h.Ctx().frmPortSet->ReopenPort(4, 2);
    ASSERT_EQ(line.PortParityCode, 0x08);
    EXPECT_EQ(m.StatusAfter("8002", FrameTextEDED("02", "04")), "串口参数读取成功!");
    EXPECT_EQ(ui.ComboBox2->currentText(), "4800");
    EXPECT_EQ(ui.ComboBox3->currentText(), "ODD");
    EXPECT_EQ(dialog.ComboBox3->currentText(), "ODD");
    EXPECT_EQ(line.PortParityCode, 0x08);
    // a new rate written: the port follows it and stays odd
    EXPECT_EQ(m.StatusAfter("8001", FrameTextEDED("01", "05")), "串口参数设置成功!");
    EXPECT_EQ(dialog.ComboBox2->currentText(), "9600");
    EXPECT_EQ(line.BaudRate, 9600);
    EXPECT_EQ(line.PortParityCode, 0x08);
    EXPECT_TRUE(m.g().PortOpenFlags[0]);
    EXPECT_TRUE(m.h.Boxes().empty());
}
