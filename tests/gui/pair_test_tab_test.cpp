// The pair transfer test and the terminal in one window, the test playing the far side on a
// pseudo-terminal: what goes on the wire, how receipts are judged and shown, the key checks, and
// the questions a change of tab asks.
#include "app/pair_test_chart.h"
#include "core/hex.h"
#include "models_test_widgets.h"
#include "operations/data_terminal.h"
#include "operations/pair_test_tab.h"
#include "pair_drive.h"
#include "receive_peer.h"

#include <QAccessible>
#include <QClipboard>
#include <QGraphicsTextItem>
#include <QGraphicsView>
#include <QGuiApplication>
#include <QTabWidget>
#include <limits>

namespace {

const char* const kFastPoll = "Frame delay=1\nDelay time=60";

class PairTab : public ::testing::Test {
protected:
    void SetUp() override { Open("CEO=EN"); }
    void Open(const std::string& ver) {
        m = std::make_unique<ModulePeer>(ver, kFastPoll);
        // The test ticks the poll and the timed sending itself.
        m->h.Window().Timer(1).stop();
        // The operator clicks what the pair test tab shows.
        ui().PageControl1->setCurrentIndex(1);
    }
    TForm1& W() { return m->h.Window(); }
    Ui::TForm1& ui() { return m->ui(); }
    Globals& g() { return m->g(); }
    // The far side sends `text`; the window takes it as one frame, and the pause before its
    // answer passes.
    bool Receive(const std::string& text) {
        const bool taken = Take(text);
        while (m->h.later.FireNext()) {
        }
        return taken;
    }
    // The same, the pause before the answer still running.
    bool Take(const std::string& text) { return m->pty.Write(text) && HandOn(W(), text.size()); }
    std::string Sent(std::size_t count) { return m->pty.Read(count, 2000); }
    std::vector<Shown>& Asked() { return m->h.dialogs.shown; }
    // As the operator's click, by the button's name.
    void Click(const char* name) { m->h.Find<QAbstractButton>(name)->click(); }

    std::unique_ptr<ModulePeer> m;
};

TEST_F(PairTab, StartWithoutDataWarnsAfterResettingAndStartWithDataSendsIt) {
    ui().Edit7->setText("5");
    ui().Edit8->setText("2");
    ui().Label23->setText("99");
    Click("SpeedButton17");
    EXPECT_EQ(m->h.Boxes(), std::vector<std::string>{"Data is NULL!"});
    EXPECT_EQ(ui().Edit7->text(), "0");
    EXPECT_EQ(ui().Edit8->text(), "");
    EXPECT_EQ(ui().Edit9->text(), "0");
    EXPECT_EQ(ui().Label23->text(), "0");
    EXPECT_TRUE(ui().Edit4->hasFocus());
    EXPECT_EQ(g().AppState, StateCommand);

    ui().Edit4->setText("ABCDEFGHIJ");
    Click("SpeedButton17");
    EXPECT_EQ(Sent(10), "ABCDEFGHIJ");
    EXPECT_EQ(g().AppState, StatePairReply);
    EXPECT_EQ(g().LastSentData, "ABCDEFGHIJ");
    EXPECT_EQ(ui().Edit5->text(), "1");
    EXPECT_EQ(ui().Edit8->text(), "");
    EXPECT_EQ(ui().Edit9->text(), "0"); // the frame waits for its answer: no rate yet
    EXPECT_EQ(ui().Edit12->text(), "10");
    EXPECT_EQ(ui().Label23->text(), "10");
    EXPECT_EQ(ui().Memo1->toPlainText(), "ABCDEFGHIJ");
    EXPECT_EQ(Utf8(m->h.Status(1)), "Work Mode：Main TX");
    EXPECT_EQ(Utf8(m->h.Status(2)), "Transmit Both Sides:Data have been sent ok!");
    for (QRadioButton* locked :
         {ui().RadioButton3, ui().RadioButton4, ui().RadioButton15, ui().RadioButton16})
        EXPECT_FALSE(locked->isEnabled()) << Utf8(locked->objectName());

    // Every answer that comes back is judged and answered with the test text after the pause.
    ASSERT_TRUE(Receive("ABCDEFGHIJ"));
    EXPECT_EQ(Sent(10), "ABCDEFGHIJ");
    EXPECT_EQ(m->h.later.pauses, std::vector<int>{20});
    EXPECT_EQ(ui().Edit6->text(), "1");
    EXPECT_EQ(ui().Edit7->text(), "1");
    EXPECT_EQ(ui().Edit5->text(), "2");
    EXPECT_EQ(ui().Edit9->text(), "100.00%"); // the second frame, in flight, is not a failure
    EXPECT_EQ(ui().Label25->text(), "10");
    EXPECT_FALSE(ui().EditTripLast->text().isEmpty());
    EXPECT_EQ(ui().EditLost->text(), "0"); // nor lost
}

// The main transmitter's frames are answered by the far side; a receipt that lost a few bytes
// is taken as the reference when its ends agree, never a longer one, never under QXTEST and
// never with the correction switched off on this side.
TEST_F(PairTab, EchoCorrection) {
    struct Row {
        const char* variant;
        bool correction;
        std::string received;
        bool right;
        const char* shown;
    };
    const Row rows[] = {
        {"", true, "ABCDEFGHIJ", true, "ABCDEFGHIJ"},
        {"", true, "ABCJ", true, "ABCDEFGHIJ"},          // 6 short, first and last agree
        {"", true, "AXXXXJ", true, "ABCDEFGHIJ"},        // only the ends agree
        {"", true, "ABCDEFGHIJK", false, "ABCDEFGHIJK"}, // longer: never corrected
        {"", true, "QBCDEFGHIZ", false, "QBCDEFGHIZ"},   // same length
        {"", true, "ZZZZZ", false, "ZZZZZ"},             // no end and no half agrees
        {"QXTEST", true, "ABCJ", false, "ABCJ"},
        {"", false, "ABCJ", false, "ABCJ"},
    };
    ui().Edit4->setText("ABCDEFGHIJ");
    Click("SpeedButton17");
    ASSERT_EQ(Sent(10), "ABCDEFGHIJ");
    std::int64_t right = 0, wrong = 0;
    for (const Row& r : rows) {
        g().VariantType = r.variant;
        ui().CheckBox1->setChecked(r.correction);
        ASSERT_TRUE(Receive(r.received)) << r.received;
        (r.right ? right : wrong) += 1;
        EXPECT_EQ(g().Tally.right, right) << r.received << " " << r.variant;
        EXPECT_EQ(g().Tally.wrong, wrong) << r.received << " " << r.variant;
        EXPECT_EQ(ui().Edit3->text(), r.shown) << r.received << " " << r.variant;
        EXPECT_EQ(ui().Edit13->text(), QString::number(QString(r.shown).size()));
        EXPECT_EQ(Sent(10), "ABCDEFGHIJ") << r.received;
    }
    EXPECT_EQ(ui().Edit8->text(), QString::number(wrong));
}

// The main receiver takes its first frame as right whatever it holds and answers with what it
// received; after Stop a late frame is counted and shown but not answered.
TEST_F(PairTab, MainReceiverAnswersAndAFrameAfterStopIsCountedOnly) {
    Click("RadioButton16");
    EXPECT_EQ(ui().SpeedButton17->text(), "Receive");
    EXPECT_FALSE(ui().RadioButton2->isEnabled());
    Click("SpeedButton17");
    EXPECT_EQ(g().AppState, StatePairReply);
    EXPECT_TRUE(g().LastSentData.empty());

    ASSERT_TRUE(Receive("first"));
    EXPECT_EQ(Sent(5), "first");
    ASSERT_TRUE(Receive("first"));
    EXPECT_EQ(Sent(5), "first");
    // Short by one, first half agrees with the last good frame: answered as that frame.
    ASSERT_TRUE(Receive("firs"));
    EXPECT_EQ(Sent(5), "first");
    EXPECT_EQ(g().Tally.right, 3);
    EXPECT_EQ(ui().Edit7->text(), "3");
    EXPECT_EQ(ui().Edit9->text(), "100.00%");
    EXPECT_EQ(Utf8(m->h.Status(1)), "Work mode：Main RX");

    Click("SpeedButton18");
    EXPECT_EQ(g().AppState, StateStopped);
    EXPECT_EQ(Utf8(m->h.Status(2)), "Transmit Both Sides is stopped！");
    EXPECT_EQ(Utf8(m->h.Status(1)), "Work mode：Stop work");
    EXPECT_TRUE(ui().RadioButton15->isEnabled());
    ASSERT_TRUE(Receive("late"));
    EXPECT_EQ(ui().Edit6->text(), "4");
    EXPECT_EQ(ui().Edit3->text(), "late");
    EXPECT_EQ(g().Tally.sent, 3); // answering would have counted a fourth send
    EXPECT_EQ(g().LastSentData, "first");
}

// The window goes on during the pause before an answer: a frame that comes meanwhile is counted
// at once and answered after a pause of its own, in order; a stop drops the answers that wait.
TEST_F(PairTab, ThePauseBeforeAnAnswerHoldsNothingUp) {
    Click("RadioButton16");
    Click("SpeedButton17");
    ASSERT_TRUE(Take("first"));
    EXPECT_EQ(m->pty.Read(5, 100), "");
    ASSERT_TRUE(Take("again"));
    EXPECT_EQ(ui().Edit6->text(), "2");
    EXPECT_EQ(m->h.later.Waiting(), 2u);
    EXPECT_EQ(g().Tally.sent, 0);
    ASSERT_TRUE(m->h.later.FireNext());
    ASSERT_TRUE(m->h.later.FireNext());
    EXPECT_EQ(Sent(10), "firstagain");
    EXPECT_EQ(g().Tally.sent, 2);

    ASSERT_TRUE(Take("third"));
    Click("SpeedButton18");
    EXPECT_EQ(m->h.later.Waiting(), 0u);
    EXPECT_EQ(m->pty.Read(5, 100), "");
    EXPECT_EQ(g().Tally.sent, 2);
    EXPECT_EQ(m->h.later.pauses, std::vector<int>({20, 20, 20}));
}

// The role is the checked button's, whatever the start button reads: German captions, a
// language switch, a role chosen by an assistive technology's toggle, which clicks nothing.
TEST_F(PairTab, TheRoleComesFromItsButtonNotFromTheCaption) {
    m.reset(); // one window at a time: each harness has its start directory
    Open("CEO=EN\ntype=GERMAN");
    EXPECT_EQ(ui().SpeedButton17->text(), "SENDEN");
    ui().Edit4->setText("ping");
    Click("SpeedButton17");
    EXPECT_EQ(Sent(4), "ping");
    EXPECT_EQ(g().AppState, StatePairReply);
    Click("SpeedButton18");

    QAccessibleInterface* role = QAccessible::queryAccessibleInterface(ui().RadioButton16);
    ASSERT_NE(role, nullptr);
    ASSERT_NE(role->actionInterface(), nullptr);
    role->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    ASSERT_TRUE(ui().RadioButton16->isChecked());
    EXPECT_EQ(ui().SpeedButton17->text(), "Receive");
    EXPECT_FALSE(ui().RadioButton2->isEnabled());
    W().SwitchLanguage("CN");
    EXPECT_EQ(ui().SpeedButton17->text(), "接收");
    W().SwitchLanguage("EN");
    EXPECT_EQ(ui().SpeedButton17->text(), "Receive");
    Click("SpeedButton17");
    EXPECT_EQ(g().AppState, StatePairReply);
    EXPECT_EQ(g().Tally.sent, 0);
    EXPECT_TRUE(m->pty.Read(1, 200).empty()); // the main receiver sends nothing by itself
    ASSERT_TRUE(Receive("pong"));
    EXPECT_EQ(Sent(4), "pong");
    Click("SpeedButton18");

    // Back to the main transmitter by the keyboard's choice of the checked button.
    ui().RadioButton15->setChecked(true);
    EXPECT_EQ(ui().SpeedButton17->text(), "SENDEN");
    EXPECT_TRUE(ui().RadioButton2->isEnabled());
}

// Without resend, an answer two frame delays overdue is reported as awaited; resend switched on
// while the frame waits applies to that frame, which then counts as lost.
TEST_F(PairTab, AnOverdueAnswerIsAwaitedAndResendTakesEffectAtOnce) {
    ui().CheckBoxResend->setChecked(false);
    ui().Edit4->setText("ping");
    Click("SpeedButton17");
    ASSERT_EQ(Sent(4), "ping");
    QTimer& wait = W().PairTest().ResendTimer();
    EXPECT_TRUE(wait.isActive());
    EXPECT_LE(wait.interval(), 2 * g().FrameDelayMs);
    W().PairTest().ResendTimerTimer();
    EXPECT_EQ(Utf8(m->h.Status(2)), "Transmit Both Sides: no answer yet, waiting...");
    EXPECT_TRUE(m->pty.Read(1, 200).empty());
    EXPECT_EQ(ui().EditLost->text(), "0");

    const int resendMs = 10000;
    ui().SpinEditResend->setValue(resendMs);
    ui().CheckBoxResend->click();
    EXPECT_TRUE(wait.isActive());
    EXPECT_LE(wait.interval(), resendMs); // counted from the send, not from the tick
    W().PairTest().ResendTimerTimer();
    EXPECT_EQ(Sent(4), "ping");
    EXPECT_EQ(ui().Edit5->text(), "2");
    EXPECT_EQ(ui().EditLost->text(), "1");
    EXPECT_EQ(ui().Edit9->text(), "0.00%");
    ASSERT_TRUE(Receive("ping"));
    EXPECT_EQ(Sent(4), "ping");
    EXPECT_EQ(ui().Edit9->text(), "50.00%");
    EXPECT_EQ(ui().EditLost->text(), "1");

    // Stopped, the wait ends: nothing is resent.
    Click("SpeedButton18");
    EXPECT_FALSE(wait.isActive());
}

TEST_F(PairTab, TimedSendingHexAndTheLogLimits) {
    Click("RadioButton3");
    ui().Edit4->setText("41 42 43");
    Click("RadioButton2");
    ui().SpinEdit1->setValue(100);
    Click("SpeedButton17");
    EXPECT_EQ(Sent(3), "ABC");
    EXPECT_TRUE(W().Timer(3).isActive());
    EXPECT_EQ(W().Timer(3).interval(), 100);
    // The test ticks it itself: a slow run must not see a real tick while it waits for bytes.
    W().Timer(3).start(std::numeric_limits<int>::max());
    EXPECT_EQ(g().AppState, StatePairTimed);
    EXPECT_EQ(Utf8(m->h.Status(1)), "Work mode：Transmit Both Sides timing");
    EXPECT_EQ(ui().Memo1->toPlainText(), "41 42 43 ");
    EXPECT_EQ(ui().Edit4->text(), "41 42 43 ");

    // Each tick sends, answered or not; a receipt does not.
    for (int i = 0; i < 1001; ++i)
        ui().Memo1->appendPlainText("x");
    W().PairTest().Timer3Timer();
    EXPECT_EQ(ui().Memo1->toPlainText(), "41 42 43 "); // past 1000 lines: emptied first
    W().PairTest().Timer3Timer();
    EXPECT_EQ(Sent(6), "ABCABC");
    ASSERT_TRUE(Receive("ABC"));
    EXPECT_EQ(ui().Memo2->toPlainText(), "41 42 43 ");
    EXPECT_EQ(ui().Edit5->text(), "3");
    EXPECT_EQ(ui().Edit7->text(), "1");
    EXPECT_EQ(ui().Edit9->text(), "33.33%");
    EXPECT_EQ(ui().EditLost->text(), "2");
    EXPECT_TRUE(m->pty.Read(1, 200).empty());

    Click("SpeedButton18");
    EXPECT_FALSE(W().Timer(3).isActive());
    EXPECT_EQ(W().Timer(1).interval(), 30); // the poll keeps the test's period
}

TEST_F(PairTab, KeyChecksOfTheTestTextAndTheTerminal) {
    QLineEdit* edit = ui().Edit4;
    edit->setFocus();
    QTest::keyClicks(edit, "ab");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(edit->text(), "ab\r\n");
    EXPECT_TRUE(m->h.Boxes().empty());

    // Switching to hex finds the first character that is not hex.
    edit->setText("0A 1g");
    Click("RadioButton3");
    EXPECT_EQ(m->h.Boxes(), std::vector<std::string>{"NOT HEX character！"});
    EXPECT_TRUE(ui().RadioButton4->isChecked());
    EXPECT_EQ(edit->selectedText(), "0A 1g");

    edit->setText("0A");
    Click("RadioButton3");
    ASSERT_TRUE(ui().RadioButton3->isChecked());
    edit->setFocus();
    edit->end(false);
    QTest::keyClicks(edit, " fZ");
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(edit->text(), "0A ");
    // A shortcut is no typing: undo takes the backspace back, without a warning.
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "0A f");
    EXPECT_EQ(m->h.Boxes(),
              (std::vector<std::string>{"NOT HEX character！", "Please input HEX character！",
                                        "Please input HEX character！"}));

    m->h.dialogs.shown.clear();
    QPlainTextEdit* memo = ui().Memo3;
    memo->setFocus();
    QTest::keyClicks(memo, "x!");
    EXPECT_EQ(memo->toPlainText(), "x!");
    Click("RadioButton6");
    QTest::keyClicks(memo, "4q");
    EXPECT_EQ(memo->toPlainText(), "x!4");
    EXPECT_EQ(m->h.Boxes(), std::vector<std::string>{"Please input HEX character!"});
    QTest::mouseDClick(memo->viewport(), Qt::LeftButton);
    EXPECT_TRUE(memo->toPlainText().isEmpty());

    // A paste passes the key check; the whole field is checked when it is sent.
    m->h.dialogs.shown.clear();
    QGuiApplication::clipboard()->setText("zz");
    memo->setFocus();
    QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(memo->toPlainText(), "zz");
    Click("SpeedButton37");
    EXPECT_EQ(g().AppState, StateCommand);
    edit->clear();
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(edit->text(), "zz");
    Click("SpeedButton17");
    EXPECT_EQ(g().Tally.sent, 0);
    EXPECT_EQ(g().AppState, StateCommand);
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_TRUE(m->pty.Read(1, 200).empty());
    EXPECT_EQ(m->h.Boxes(), (std::vector<std::string>{"Please input HEX character!",
                                                      "Please input HEX character！"}));
}

TEST_F(PairTab, TerminalSendsRawAndItsBoxAsksBeforeLeaving) {
    Click("SpeedButton37");
    EXPECT_EQ(m->h.Boxes(), std::vector<std::string>{"Data is Null!"});
    EXPECT_EQ(g().AppState, StateCommand);

    ui().Memo3->setPlainText("hi\nthere");
    Click("SpeedButton37");
    EXPECT_EQ(Sent(8), "hi\nthere");
    EXPECT_EQ(g().AppState, StateDataComm);
    EXPECT_TRUE(ui().CheckBox3->isChecked());
    EXPECT_EQ(Utf8(m->h.Status(1)), "Work mode：Data Communication");
    EXPECT_EQ(Utf8(m->h.Status(2)), "Data have been sent!");
    EXPECT_EQ(g().Tally.sent, 0);
    Click("RadioButton6");
    ui().Memo3->setPlainText("41 42");
    Click("SpeedButton37");
    EXPECT_EQ(Sent(2), "AB");

    m->h.dialogs.shown.clear();
    m->h.dialogs.answers = {false, true};
    Click("CheckBox3");
    EXPECT_TRUE(ui().CheckBox3->isChecked());
    EXPECT_EQ(g().AppState, StateDataComm);
    Click("CheckBox3");
    EXPECT_FALSE(ui().CheckBox3->isChecked());
    EXPECT_EQ(g().AppState, StateStopped);
    // Unchecked outside the terminal state: nothing is asked; checked: the state, unasked.
    ui().CheckBox3->setChecked(true);
    g().AppState = StateCommand;
    Click("CheckBox3");
    EXPECT_EQ(g().AppState, StateCommand);
    Click("CheckBox3");
    EXPECT_EQ(g().AppState, StateDataComm);
    EXPECT_EQ(Asked(),
              (std::vector<Shown>{{Shown::Question, "Data Transmiting,Will you exit it?"},
                                  {Shown::Question, "Data Transmiting,Will you exit it?"}}));
}

// Every question a change of tab asks, in both languages' box kinds, with Yes and with No.
TEST_F(PairTab, TabChangesAskToLeaveTheTestOrTheTerminal) {
    QTabWidget* pages = ui().PageControl1;
    const std::string stopTest = "Will you stop Transmiting both sides?";
    const std::string enter = "Will you change into Data transmiting?";
    const std::string stopData = "Will you stop Data transmitting?";
    auto asked = [&] {
        std::vector<Shown> out = Asked();
        Asked().clear();
        return out;
    };

    // No tab change, or none that leaves a state: nothing is asked.
    pages->setCurrentIndex(0);
    W().Form().N9->trigger();
    EXPECT_EQ(pages->currentIndex(), 1);
    W().Form().N9->trigger();
    EXPECT_TRUE(asked().empty());

    ui().Edit4->setText("ping");
    ui().RadioButton2->setChecked(true);
    Click("SpeedButton17");
    ASSERT_EQ(g().AppState, StatePairTimed);
    pages->setCurrentIndex(2);
    EXPECT_EQ(asked(), std::vector<Shown>({{Shown::WarningQuestion, stopTest}}));
    EXPECT_EQ(pages->currentIndex(), 1);
    EXPECT_EQ(g().AppState, StatePairTimed);
    EXPECT_TRUE(W().Timer(3).isActive());

    m->h.dialogs.answers = {true, false};
    pages->setCurrentIndex(2);
    EXPECT_EQ(asked(),
              (std::vector<Shown>{{Shown::WarningQuestion, stopTest}, {Shown::Question, enter}}));
    EXPECT_EQ(pages->currentIndex(), 2);
    EXPECT_EQ(g().AppState, StateStopped);
    EXPECT_FALSE(W().Timer(3).isActive());
    EXPECT_EQ(m->h.Status(1), "");
    EXPECT_FALSE(ui().CheckBox3->isChecked());

    pages->setCurrentIndex(0);
    EXPECT_TRUE(asked().empty());
    m->h.dialogs.answers = {true};
    pages->setCurrentIndex(2);
    EXPECT_EQ(asked(), std::vector<Shown>({{Shown::Question, enter}}));
    EXPECT_EQ(g().AppState, StateDataComm);
    EXPECT_TRUE(ui().CheckBox3->isChecked());

    // The menu's change of tab asks once; No returns to the terminal.
    W().Form().N9->trigger();
    EXPECT_EQ(asked(), std::vector<Shown>({{Shown::Question, stopData}}));
    EXPECT_EQ(pages->currentIndex(), 2);
    EXPECT_EQ(g().AppState, StateDataComm);
    m->h.dialogs.answers = {true};
    pages->setCurrentIndex(0);
    EXPECT_EQ(asked(), std::vector<Shown>({{Shown::Question, stopData}}));
    EXPECT_EQ(pages->currentIndex(), 0);
    EXPECT_EQ(g().AppState, StateStopped);
    EXPECT_FALSE(ui().CheckBox3->isChecked());

    // In Chinese the question to stop the test is a confirmation.
    g().LangCode = "CN";
    g().AppState = StatePairReply;
    pages->setCurrentIndex(1);
    pages->setCurrentIndex(0);
    EXPECT_EQ(asked(),
              std::vector<Shown>({{Shown::Question, "正在进行对传测试,你确定停止对传测试吗？"}}));
    EXPECT_EQ(pages->currentIndex(), 1);
}

} // namespace
// The live plot at the window's default size: every axis label shows its whole number and unit,
// none is cut to an ellipsis.
TEST_F(PairTab, ThePlotsAxisLabelsAreReadable) {
    ui().Edit4->setText("ping");
    Click("SpeedButton17");
    for (int frame = 0; frame < 3; ++frame) {
        ASSERT_EQ(Sent(4), "ping");
        ASSERT_TRUE(Receive("ping"));
        W().Chart().Sample();
    }
    QApplication::processEvents();
    const auto* view = W().Chart().findChild<QGraphicsView*>();
    ASSERT_NE(view, nullptr);
    QStringList labels;
    for (const QGraphicsItem* item : view->scene()->items()) {
        const auto* text = dynamic_cast<const QGraphicsTextItem*>(item);
        if (text != nullptr && text->isVisible() && !text->toPlainText().isEmpty())
            labels << text->toPlainText();
    }
    // Five on the time axis, three on each value axis.
    EXPECT_GE(labels.size(), 11) << labels.join(" | ").toStdString();
    for (const QString& label : labels) {
        EXPECT_TRUE(label.front().isDigit()) << label.toStdString();
        EXPECT_FALSE(label.contains("...") || label.contains(QChar(0x2026))) << label.toStdString();
    }
    EXPECT_TRUE(labels.contains("100%") && labels.contains("100 ms") && labels.contains("10.0 s"))
        << labels.join(" | ").toStdString();
}
