// The RF test group: the transmit test's start and end, calibration, and the set-all chain in
// both answer orders, on a pseudo-terminal the test plays the module on or against qxsim.
#include "chain_fields.h"
#include "core/frame.h"
#include "core/models.h"
#include "models_test_widgets.h"
#include "operations/radio_search.h"
#include "operations/rf_test.h"
#include "operations_fixture.h"
#include "receive_peer.h"
#include "serial/link.h"
#include "sim_process.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace {

using core::FrameTextEDED;

std::string Frame(const char* command, const char* payload) {
    return core::BytesToHex(core::BuildFrame5A5A("0000", command, payload));
}
std::string ShortFrame(const char* command, const char* payload) {
    return core::BytesToHex(core::BuildFrameEDED(command, payload));
}

// The command of every request the window writes, in order.
class SentCommands {
public:
    explicit SentCommands(serial::Link& link) : m_link(link) {
        m_id = link.AddObserver([this](const serial::Traffic& traffic) {
            if (traffic.direction == serial::Direction::kSent)
                commands.emplace_back(traffic.pendingCommand);
        });
    }
    ~SentCommands() { m_link.RemoveObserver(m_id); }
    SentCommands(const SentCommands&) = delete;
    SentCommands& operator=(const SentCommands&) = delete;

    std::vector<std::string> commands;

private:
    serial::Link& m_link;
    serial::Link::ObserverId m_id;
};

TEST(SetAllChain, Under5A5AEachAnswerPausesThenStartsTheNextStepUpToTheTxTest) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({})) << sim.error();
    GuiHarness h("[Ver]\ntype=QXTEST\nCEO=EN\n[COM]\nRate=4\nVerify=2\n"
                 "[Option]\nTest Delay Time=1200\n",
                 sim.paths()[0]);
    h.Start();
    ASSERT_TRUE(h.Boxes().empty()) << "the port did not open";
    FillChainFields(h.Window().Form());
    h.later.flowing = true;
    SentCommands sent(h.Window().SerialLink());
    h.Click("SpeedButton38");
    EXPECT_EQ(Utf8(h.Progress()), "Set all: step 1 of 4 [0/4]");
    ASSERT_TRUE(h.WaitStatus(2, "TX Test OK!")) << Utf8(h.Status(2)) << sim.ErrorOutput();
    EXPECT_EQ(h.Progress(), "");
    EXPECT_EQ(sent.commands, std::vector<std::string>({"8009", "800A", "800E", "8007"}));
    // 10 ms after the protocol and the serial number, TestDelayTime before the TX test
    EXPECT_EQ(h.later.pauses, std::vector<int>({10, 10, 1200}));
    EXPECT_FALSE(h.G().ChainSetAll);
    EXPECT_EQ(h.Window().Form().Edit2->text(), "00259");
    EXPECT_TRUE(h.Boxes().empty());
    EXPECT_EQ(sim.Stop(), 0);
}

TEST(SetAllChain, UnderEDEDShortAnswersWriteAllBeforeTheSerialNumber) {
    ModulePeer m("type=MORVANTELIS\nCEO=EN", "Delay time=60\nTest Delay Time=1200");
    FillChainFields(m.ui());
    SentCommands sent(m.h.Window().SerialLink());
    m.h.Click("SpeedButton38");
    ASSERT_TRUE(m.Deliver(FrameTextEDED("09", "")));
    EXPECT_TRUE(m.h.later.FireNext());
    // all written at 9600 (05) without parity: the port stays where it is
    ASSERT_TRUE(m.Deliver(FrameTextEDED("0E", "03050500")));
    EXPECT_TRUE(m.h.later.FireNext());
    ASSERT_TRUE(m.Deliver(FrameTextEDED("0A", "")));
    EXPECT_TRUE(m.h.later.FireNext());
    EXPECT_TRUE(m.g().ChainSetAll);
    EXPECT_EQ(Utf8(m.h.Progress()), "Set all: step 4 of 4 [3/4]");
    ASSERT_TRUE(m.Deliver(FrameTextEDED("07", "")));
    EXPECT_EQ(m.h.Progress(), "");
    EXPECT_EQ(sent.commands, std::vector<std::string>({"8009", "800E", "800A", "8007"}));
    EXPECT_EQ(m.h.later.pauses, std::vector<int>({10, 10, 10}));
    EXPECT_EQ(Utf8(m.h.Status(2)), "启动测试成功!");
    EXPECT_FALSE(m.g().ChainSetAll);
    EXPECT_TRUE(m.h.Boxes().empty());
    // the start of the test went in EDED: 8009 (13 bytes), 800E (15), 800A (16), then ED ED 07
    m.Sent(13 + 15 + 16);
    EXPECT_EQ(m.Sent(5), ShortFrame("07", "00"));
}

TEST(SetAllChain, AnOperationStartedWhileAStepAwaitsItsAnswerOrItsPauseEndsTheChain) {
    // The module never answers the chain, or answers and the chain waits out its pause; then
    // the operator writes the air protocol himself, searches, runs a pair test or sends
    // terminal data, ends that, and then the late answer or the pause's end arrives.
    const std::pair<const char*, const char*> operations[] = {{"SpeedButton23", nullptr},
                                                              {"SpeedButton20", "SpeedButton30"},
                                                              {"SpeedButton17", "SpeedButton18"},
                                                              {"SpeedButton37", "CheckBox3"}};
    for (const bool inPause : {false, true})
        for (const auto& [start, end] : operations) {
            SCOPED_TRACE(start + std::string(inPause ? " in the pause" : " awaiting the answer"));
            ModulePeer m("CEO=EN");
            FillChainFields(m.ui());
            m.ui().Edit4->setText("QX");
            m.ui().Memo3->setPlainText("QX");
            SentCommands sent(m.h.Window().SerialLink());
            m.h.Click("SpeedButton38");
            EXPECT_TRUE(m.g().ChainSetAll);
            if (inPause) {
                ASSERT_TRUE(m.Deliver(Answer5A5A("0009", "")));
                EXPECT_EQ(m.h.later.Waiting(), 1u);
            }
            m.h.Click(start);
            EXPECT_FALSE(m.g().ChainSetAll);
            if (end != nullptr) {
                m.h.dialogs.answers.push_back(true); // leaving the terminal: Yes
                m.h.Click(end);
            }
            ASSERT_TRUE(m.Deliver(Answer5A5A("0009", "")));
            while (m.h.later.FireNext()) {
            }
            EXPECT_FALSE(m.g().ChainSetAll);
            EXPECT_EQ(std::count(sent.commands.begin(), sent.commands.end(), "800A"), 0);
            EXPECT_EQ(m.h.later.pauses.size(), inPause ? 1u : 0u);
        }
}

TEST_F(OperationsTest, TxTestStartsAndEndsInTheVariantsFraming) {
    h->G().LangCode = "EN";
    h->Click("SpeedButton14");
    EXPECT_EQ(Sent(13), Frame("8007", "0000"));
    EXPECT_EQ(Utf8(h->Status(2)), "Searching......");
    EXPECT_EQ(h->G().LastCommand, "8007");
    h->Window().Form().N15->trigger();
    EXPECT_EQ(Sent(13), Frame("8008", "0000"));
    EXPECT_EQ(Utf8(h->Status(2)), "Stoping TX test......");
    EXPECT_EQ(h->G().LastCommand, "8008");

    h->G().VariantType = "MORVANTELIS";
    h->G().LangCode = "CN";
    h->Window().Form().N8->trigger();
    EXPECT_EQ(Sent(5), ShortFrame("07", "00"));
    EXPECT_EQ(Utf8(h->Status(2)), "正在测试电台.....");
    h->Click("SpeedButton15");
    EXPECT_EQ(Sent(5), ShortFrame("08", "00"));
    EXPECT_EQ(Utf8(h->Status(2)), "正在结束测试.....");
    EXPECT_EQ(h->G().LastCommand, "8008");
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(OperationsTest, TxTestPressedDuringASearchGoesAgainIn5A5AOnceTheModuleIsFound) {
    h->G().VariantType = "MORVANTELIS";
    h->G().LangCode = "EN";
    // The test ticks both timers itself.
    h->Window().Timer(4).setInterval(std::numeric_limits<int>::max());
    h->Window().Timer(2).setInterval(std::numeric_limits<int>::max());
    h->Click("SpeedButton20");
    EXPECT_EQ(Sent(5), ShortFrame("00", "00"));
    h->Click("SpeedButton14");
    EXPECT_EQ(Sent(5), ShortFrame("07", "00"));
    ASSERT_TRUE(pty.Write(core::HexToBytes(core::FrameText5A5A("0000", "0000", "200102"))));
    ASSERT_TRUE(QTest::qWaitFor([&] { return h->G().ModuleFound; }, 5000));
    EXPECT_EQ(Sent(13), Frame("800B", "0000")); // the search answer's own serial-number read
    h->Window().Search().Timer4Timer();
    ASSERT_TRUE(h->Window().Timer(2).isActive());
    h->Window().Timer2Timer();
    EXPECT_FALSE(h->Window().Timer(2).isActive());
    EXPECT_EQ(Sent(13), Frame("8007", "0000"));
    EXPECT_EQ(Utf8(h->Status(2)), "Setting TX test......");
    EXPECT_EQ(h->G().LastCommand, "8007");
}

TEST_F(OperationsTest, CalibrationSendsTheValueAndRefusesOneOutOfRangeBeforeTheState) {
    h->G().LangCode = "EN";
    QLineEdit* value = Field("Edit18");
    value->setFocus();
    QTest::keyClicks(value, "-1a27");
    EXPECT_EQ(value->text(), "127");
    h->Click("SpeedButton40");
    EXPECT_EQ(Sent(13), Frame("8019", "7F00"));
    EXPECT_EQ(Utf8(h->Status(2)), "Adjusting Capacitance......");
    EXPECT_EQ(h->G().LastCommand, "8019");

    // A running pair test does not hide a wrong value.
    h->G().AppState = StatePairTimed;
    for (const auto& [typed, box] :
         {std::pair{"128", "The value is out of range!"}, std::pair{"", "The value is null!"}}) {
        SetText("Edit18", typed);
        h->dialogs.shown.clear();
        h->Window().Form().Edit2->setFocus();
        h->Click("SpeedButton40");
        EXPECT_EQ(Boxes(), std::vector<std::string>{box});
        EXPECT_TRUE(HasFocus("Edit18"));
    }
    EXPECT_TRUE(NothingSent());
    EXPECT_EQ(h->G().AppState, StatePairTimed);
}

// Write all at 57600 on a 2.4 GHz model, whose serial rates go that high.
TEST(WriteAllAt57600, ThePortFollowsTheModuleWhichKeepsAnswering) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--model", "2401"})) << sim.error();
    GuiHarness h("[Ver]\ntype=QXTEST\nQX=1\nCEO=EN\n[COM]\nRate=4\nVerify=2\n", sim.paths()[0]);
    h.Start();
    ASSERT_TRUE(h.Boxes().empty()) << "the port did not open";
    Ui::TForm1& ui = h.Window().Form();
    ui.N18->setChecked(false);
    ui.ComboBox15->setCurrentIndex(core::ModelIndexFromCode("61"));
    h.Ctx().models->ComboBox15Click();
    ui.ComboBox16->setCurrentIndex(0);
    h.Ctx().models->ComboBox16Click();
    ui.ComboBox4->setCurrentIndex(0);
    ui.ComboBox1->setCurrentIndex(ui.ComboBox1->findText("9600"));
    ui.ComboBox2->setCurrentIndex(ui.ComboBox2->findText("57600"));
    ui.ComboBox3->setCurrentIndex(2);
    ASSERT_GE(ui.ComboBox2->currentIndex(), 0);
    h.dialogs.shown.clear(); // the base frequency's question

    h.Click("SpeedButton21");
    ASSERT_TRUE(h.WaitStatus(2, "Write All Parameters OK!")) << Utf8(h.Status(2));
    EXPECT_EQ(h.G().Line.BaudRate, 57600);
    EXPECT_EQ(h.InPortDialog<QComboBox>("ComboBox2")->currentText(), "57600");
    // The module answers at its new rate.
    h.Click("SpeedButton3");
    ASSERT_TRUE(h.WaitStatus(2, "Read All Parameters OK!")) << Utf8(h.Status(2));
    EXPECT_EQ(ui.ComboBox2->currentText(), "57600");
    EXPECT_TRUE(h.Boxes().empty());
    EXPECT_EQ(sim.Stop(), 0);
}

} // namespace
