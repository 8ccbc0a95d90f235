#include "port_dialog/port_dialog.h"
#include "receive_peer.h"
#include "ui_port_dialog.h"

using core::FrameTextEDED;

TEST(AnswerEDED, ShortAnswersAndPassedOnFullOnes) {
    ModulePeer m("type=MORVANTELIS\nCEO=EN");
    auto& ui = m.ui();
    m.ChooseModel(6);
    // the first eight codes answer in Chinese whatever the language
    EXPECT_EQ(m.StatusAfter("8003", FrameTextEDED("03", "")), "空中参数设置成功!");
    // the later ones follow the language; data from character 7: ID 012C
    EXPECT_EQ(m.StatusAfter("800D", FrameTextEDED("0D", "012C")), "Read ID OK!");
    EXPECT_EQ(ui.Edit15->text(), "300");
    // serial settings read: rate 05 alone, so no parity
    EXPECT_EQ(m.StatusAfter("8002", FrameTextEDED("02", "05")), "串口参数读取成功!");
    EXPECT_EQ(ui.ComboBox2->currentIndex(), 3);
    EXPECT_EQ(ui.ComboBox3->currentText(), "NONE");
    EXPECT_EQ(m.h.Ctx().frmPortSet->Form().ComboBox2->currentText(), "9600");
    // 08 = 57600 where the model offers it
    m.ChooseModel(31);
    EXPECT_EQ(m.StatusAfter("8004", FrameTextEDED("04", "08")), "空中参数读取成功!");
    EXPECT_EQ(ui.ComboBox1->currentText(), "57600");
    EXPECT_EQ(m.StatusAfter("8002", FrameTextEDED("02", "08")), "串口参数读取成功!");
    EXPECT_EQ(ui.ComboBox2->currentText(), "57600");
    EXPECT_EQ(m.h.Ctx().frmPortSet->Form().ComboBox2->currentText(), "57600");
    EXPECT_TRUE(m.h.Boxes().empty());
    // a 5A5A answer is handled as such
    EXPECT_EQ(m.StatusAfter("8003", Answer5A5A("0003", "")), "RF Parameters Write OK!");
    EXPECT_TRUE(ui.Memo2->toPlainText().isEmpty());
}

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
    // a 5A5A answer tells its parity, even
    EXPECT_EQ(m.StatusAfter("8001", Answer5A5A("0001", "0501")), "Parameters of Com Port Set OK!");
    EXPECT_EQ(line.PortParityCode, 0x18);
    EXPECT_TRUE(m.h.Boxes().empty());
}

TEST(AnswerEDED, OtherTextIsDroppedAndBadSumsLogged) {
    ModulePeer m("type=MORVANTELIS\nCEO=EN");
    // an IO answer and plain noise
    EXPECT_EQ(m.StatusAfter("40408013", core::FrameText4040("0001", "A6", "0013", "0100")), "-");
    EXPECT_EQ(m.StatusAfter("8016", "313233"), "-");
    EXPECT_FALSE(m.g().ModuleFound);
    EXPECT_TRUE(m.ui().Memo2->toPlainText().isEmpty());
    // ED ED 03 05 with the checksum E3 instead of E2
    ASSERT_TRUE(m.Deliver("EDED0305E3"));
    EXPECT_EQ(m.ui().Memo2->toPlainText(), "EDED0305E3\nChecksum is error!");
}

TEST(AnswerEDED, ChainWritesAllBeforeTheSerialNumber) {
    ModulePeer m("type=MORVANTELIS\nCEO=EN");
    m.g().ChainSetAll = true;
    // all written -> 10 ms -> the serial number write, which refuses its empty year
    EXPECT_EQ(m.StatusAfter("800E", FrameTextEDED("0E", "03050500")), "Write All Parameters OK!");
    EXPECT_EQ(m.h.later.pauses, std::vector<int>({10}));
    EXPECT_TRUE(m.h.later.FireNext());
    EXPECT_EQ(m.h.Boxes(), std::vector<std::string>({"Year is NULL!"}));
    EXPECT_EQ(m.StatusAfter("8007", FrameTextEDED("07", "")), "启动测试成功!");
    EXPECT_FALSE(m.g().ChainSetAll);
}
