// Read all and write all: directly on a pseudo-terminal, and after a search of a simulated
// module whose timers the test ticks itself.
#include "core/frame.h"
#include "models_test_widgets.h"
#include "operations/radio_search.h"
#include "operations/read_write_all.h"
#include "operations_fixture.h"
#include "sim_process.h"
#include "ui_main_window.h"

#include <limits>

namespace {

std::string Frame(const char* command, const char* payload) {
    return core::BytesToHex(core::BuildFrame5A5A("0000", command, payload));
}

TEST_F(OperationsTest, WithoutSearchReadClearsAndWriteChecksItsListsFirst) {
    h->Window().Form().N18->setChecked(false);
    h->G().LangCode = "EN";
    FillParameters();
    Select("ComboBox3", -1);
    h->Click("SpeedButton21");
    EXPECT_EQ(Boxes(), std::vector<std::string>{"COM verify is NULL！"});
    EXPECT_TRUE(HasFocus("ComboBox3"));
    EXPECT_EQ(Utf8(h->Status(2)), "Searching......");
    EXPECT_TRUE(NothingSent());

    // channel 3, 9600 (05), 19200 (06), odd (02)
    Select("ComboBox3", 1);
    h->Window().Form().N6->trigger();
    EXPECT_EQ(Sent(15), Frame("800E", "03050602"));
    EXPECT_EQ(h->G().LastCommand, "800E");
    EXPECT_EQ(Utf8(h->Status(2)), "Write all Parameters.....");

    h->Click("SpeedButton3");
    EXPECT_EQ(Sent(13), Frame("8015", "0000"));
    for (const char* list : {"ComboBox4", "ComboBox1", "ComboBox2", "ComboBox3"})
        EXPECT_EQ(List(list)->currentIndex(), -1) << list;
    EXPECT_EQ(Field("Edit1")->text(), "");
    EXPECT_EQ(Field("Edit19")->text(), "");
    EXPECT_EQ(Utf8(h->Status(2)), "Reading All Parameters......");
}

// Channel 4, air rate 2400 (code 3), 9600 no parity: the dialog's own setting, found at the
// first try.
class SearchFirst : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.Start({"--channel", "4", "--air-rate", "3", "--verbose"})) << sim.error();
        h = std::make_unique<GuiHarness>(
            "[Ver]\ntype=QXTEST\nQX=1\nCEO=EN\n[COM]\nRate=4\nVerify=2\n", sim.paths()[0]);
        h->Start();
        ASSERT_TRUE(h->Boxes().empty()) << "the port did not open";
        // The test ticks both timers itself.
        h->Window().Timer(4).setInterval(std::numeric_limits<int>::max());
        h->Window().Timer(2).setInterval(std::numeric_limits<int>::max());
    }

    QComboBox* List(const char* name) { return h->Find<QComboBox>(name); }

    // The module has answered the search and the serial-number read that follows it.
    void WaitForModel() {
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return h->G().ModuleFound && h->G().ModuleModelIndex >= 0; }, 5000))
            << sim.ErrorOutput();
    }

    // The search timer's tick after the answers hands over to the sequence timer, whose tick
    // carries out the pending action.
    void CarryOutPendingAction() {
        WaitForModel();
        h->Window().Search().Timer4Timer();
        ASSERT_TRUE(h->Window().Timer(2).isActive());
        h->Window().Timer2Timer();
        EXPECT_FALSE(h->Window().Timer(2).isActive());
    }

    SimProcess sim;
    std::unique_ptr<GuiHarness> h;
};

TEST_F(SearchFirst, ReadFillsTheFourListsAtTheSettingFound) {
    h->Click("SpeedButton3");
    EXPECT_EQ(Utf8(h->Status(2)), "Reading......");
    EXPECT_EQ(Utf8(h->Progress()), "Search try 1 of 21: 9600 8N1 [1/21]");
    EXPECT_EQ(h->G().SequenceMode, "Read");
    CarryOutPendingAction();
    EXPECT_EQ(h->Progress(), "");
    ASSERT_TRUE(h->WaitStatus(2, "Read All Parameters OK!")) << Utf8(h->Status(2));
    EXPECT_EQ(List("ComboBox4")->currentIndex(), 3);
    EXPECT_EQ(List("ComboBox1")->currentIndex(), 1);
    EXPECT_EQ(List("ComboBox2")->currentIndex(), 3);
    EXPECT_EQ(List("ComboBox3")->currentIndex(), 2);
    EXPECT_TRUE(h->Boxes().empty());
    EXPECT_EQ(sim.Stop(), 0);
}

TEST_F(SearchFirst, NoPendingActionOutlivesTheSearchItBelongsTo) {
    QTimer& sequence = h->Window().Timer(2);
    h->Click("SpeedButton3");
    WaitForModel();
    h->Window().Search().Timer4Timer();
    ASSERT_TRUE(sequence.isActive());
    // A plain search within the second drops the pending read, and its timer with it.
    h->Click("SpeedButton20");
    EXPECT_EQ(h->G().SequenceMode, "");
    EXPECT_FALSE(sequence.isActive());
    // A tick that finds no action of its own is the last all the same.
    sequence.start();
    h->Window().Timer2Timer();
    EXPECT_FALSE(sequence.isActive());
    // So the next read search sends its read only once that search has found the module.
    h->Click("SpeedButton3");
    EXPECT_FALSE(sequence.isActive());
    EXPECT_EQ(sim.ErrorOutput().find(Frame("8015", "0000")), std::string::npos)
        << sim.ErrorOutput();
    EXPECT_EQ(sim.Stop(), 0);
}

TEST_F(SearchFirst, WriteSendsTheSelectionsOfThePressAfterTheSearch) {
    // A first search fills the lists to choose from.
    h->Click("SpeedButton20");
    WaitForModel();
    h->Window().Search().Timer4Timer();
    // channel 3, 9600 (05) on the air and on the line, no parity (00)
    List("ComboBox4")->setCurrentIndex(2);
    List("ComboBox1")->setCurrentIndex(3);
    List("ComboBox2")->setCurrentIndex(3);
    List("ComboBox3")->setCurrentIndex(2);

    h->Click("SpeedButton21");
    EXPECT_EQ(Utf8(h->Status(2)), "Searching......");
    List("ComboBox4")->setCurrentIndex(0);
    CarryOutPendingAction();
    ASSERT_TRUE(h->WaitStatus(2, "Write All Parameters OK!")) << Utf8(h->Status(2));
    EXPECT_NE(sim.ErrorOutput().find(Frame("800E", "03050500")), std::string::npos)
        << sim.ErrorOutput();
    EXPECT_EQ(List("ComboBox4")->currentIndex(), 2);
    EXPECT_TRUE(h->Boxes().empty());
    EXPECT_EQ(sim.Stop(), 0);
}

} // namespace
