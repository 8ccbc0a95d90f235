#include "receive_peer.h"

#include <QComboBox>

// The set-all chain continues after each of its answers, accepted or not, after a pause that
// holds nothing up: the next step waits for its timer.
TEST(AnswerChain, EachStepPausesThenStartsTheNextOperation) {
    ModulePeer m("CEO=EN", "Delay time=60\nTest Delay Time=1200");
    m.g().ChainSetAll = true;
    // air protocol written -> 10 ms -> the serial number write, which refuses its empty year
    EXPECT_EQ(m.StatusAfter("8009", Answer5A5A("0009", "")), "Write RF Protocol OK!");
    EXPECT_EQ(m.h.later.pauses, std::vector<int>({10}));
    EXPECT_TRUE(m.h.Boxes().empty());
    EXPECT_TRUE(m.h.later.FireNext());
    EXPECT_EQ(m.h.Boxes(), std::vector<std::string>({"Year is NULL!"}));
    EXPECT_EQ(m.h.Progress(), ""); // a step that sent nothing: no answer will carry it on
    // all written -> TestDelayTime, refused answers go on too: the TX test's start shows; the
    // same answer twice during the pause starts the step once
    const QString refused = m.StatusAfter("8009", Answer5A5A("000E", "03050500"));
    EXPECT_EQ(m.StatusAfter("8009", Answer5A5A("000E", "03050500")), refused);
    EXPECT_EQ(m.h.later.Waiting(), 1u);
    EXPECT_TRUE(m.h.later.FireNext());
    EXPECT_FALSE(m.h.later.FireNext());
    EXPECT_EQ(m.h.Status(2), "Searching......");
    EXPECT_EQ(m.Sent(13), core::BytesToHex(core::BuildFrame5A5A("0000", "8007", "0000")));
    EXPECT_EQ(m.h.later.pauses, std::vector<int>({10, 1200, 1200}));
    EXPECT_EQ(core::BytesToHex(m.pty.Read(13, 100)), ""); // once
    // the start of the TX test ends the chain, accepted or not
    EXPECT_EQ(m.StatusAfter("8009", Answer5A5A("0007", "")), "Answer data is error!");
    EXPECT_FALSE(m.g().ChainSetAll);
    ASSERT_TRUE(m.Deliver(Answer5A5A("0009", "")));
    EXPECT_EQ(m.h.later.pauses.size(), 3u);
}

TEST(AnswerChain, WrittenSerialNumberIsSavedAndSteppedOn) {
    ModulePeer m("CEO=EN");
    auto& ui = m.ui();
    ui.ComboBox11->setCurrentIndex(18);
    ui.ComboBox12->setCurrentText("2012");
    ui.ComboBox13->setCurrentText("05");
    ui.Edit2->setText("00258");
    EXPECT_EQ(m.StatusAfter("800A", Answer5A5A("000A", "")), "Write SN OK!");
    EXPECT_EQ(ui.Edit2->text(), "00259");
    const std::string ini = m.h.ReadConfigFile();
    for (const char* line : {"Model=18", "Year=2012", "Month=05", "NO=00258"})
        EXPECT_NE(ini.find(line), std::string::npos) << line << " in\n" << ini;
    EXPECT_TRUE(m.h.later.pauses.empty()); // no chain running
    // a refused answer saves and steps nothing
    EXPECT_EQ(m.StatusAfter("800B", Answer5A5A("000A", "")), "Answer data is error!");
    EXPECT_EQ(ui.Edit2->text(), "00259");
}
