#include "receive_peer.h"
#include "serial/dialog/port_dialog.h"
#include "ui_port_dialog.h"

namespace {

std::string AnswerEDED(const char* code, const char* payload) {
    return core::FrameTextEDED(code, payload);
}

} // namespace

TEST(AnswerEDED, ShortAnswersAndPassedOnFullOnes) {
    ModulePeer m("type=MORVANTELIS\nCEO=EN");
    auto& ui = m.ui();
    m.ChooseModel(6);
    // the first eight codes answer in Chinese whatever the language
    m.g().LastCommand = "8003";
    ASSERT_TRUE(m.Deliver(AnswerEDED("03", "")));
    EXPECT_EQ(m.h.Status(2), "空中参数设置成功!");
    m.g().LastCommand = "8005";
    ASSERT_TRUE(m.Deliver(AnswerEDED("03", "")));
    EXPECT_EQ(m.h.Status(2), "返回空中参数设置应答!");
    // the later ones follow the language; data from character 7: ID 012C
    m.g().LastCommand = "800D";
    ASSERT_TRUE(m.Deliver(AnswerEDED("0D", "012C")));
    EXPECT_EQ(m.h.Status(2), "Read ID OK!");
    EXPECT_EQ(ui.Edit15->text(), "300");
    // serial settings read: rate 05 alone, so no parity
    m.g().LastCommand = "8002";
    ASSERT_TRUE(m.Deliver(AnswerEDED("02", "05")));
    EXPECT_EQ(m.h.Status(2), "串口参数读取成功!");
    EXPECT_EQ(ui.ComboBox2->currentIndex(), 3);
    EXPECT_EQ(ui.ComboBox3->currentText(), "无校验");
    EXPECT_EQ(m.h.Ctx().frmPortSet->Form().ComboBox2->currentText(), "9600");
    // a 5A5A answer is handled as such
    m.g().LastCommand = "8003";
    ASSERT_TRUE(m.Deliver(Answer5A5A("0003", "")));
    EXPECT_EQ(m.h.Status(2), "RF Parameters Write OK!");
    EXPECT_TRUE(ui.Memo2->toPlainText().isEmpty());
}

TEST(AnswerEDED, OtherTextIsDroppedAndBadSumsLogged) {
    ModulePeer m("type=MORVANTELIS\nCEO=EN");
    m.g().LastCommand = "40408013";
    // an IO answer and plain noise leave no trace
    ASSERT_TRUE(m.Deliver(core::FrameText4040("0001", "A6", "0013", "0100")));
    ASSERT_TRUE(m.Deliver("313233"));
    // 16 and 00 are not EDED answers
    m.g().LastCommand = "8016";
    ASSERT_TRUE(m.Deliver(AnswerEDED("16", "")));
    ASSERT_TRUE(m.Deliver(AnswerEDED("00", "201202")));
    EXPECT_FALSE(m.g().ModuleFound);
    EXPECT_EQ(m.h.Status(2), "-");
    EXPECT_TRUE(m.ui().Memo2->toPlainText().isEmpty());
    // ED ED 03 05 with the checksum E3 instead of E2
    ASSERT_TRUE(m.Deliver("EDED0305E3"));
    EXPECT_EQ(m.ui().Memo2->toPlainText(), "EDED0305E3\nChecksum is error!");
}

TEST(AnswerEDED, ChainWritesAllBeforeTheSerialNumber) {
    ModulePeer m("type=MORVANTELIS\nCEO=EN");
    m.g().ChainSetAll = true;
    m.g().LastCommand = "800E";
    // all written -> 10 ms -> the serial number write, which refuses its empty year
    ASSERT_TRUE(m.Deliver(AnswerEDED("0E", "03050500")));
    EXPECT_EQ(m.h.pause.pauses, std::vector<int>({10}));
    EXPECT_EQ(m.h.Boxes(), std::vector<std::string>({"Year is NULL!"}));
    m.g().LastCommand = "8007";
    ASSERT_TRUE(m.Deliver(AnswerEDED("07", "")));
    EXPECT_EQ(m.h.Status(2), "启动测试成功!");
    EXPECT_FALSE(m.g().ChainSetAll);
}
