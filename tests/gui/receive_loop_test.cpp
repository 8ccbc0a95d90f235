#include "core/receive_timing.h"
#include "port_dialog/port_dialog.h"
#include "protocol/receive_loop.h"
#include "receive_peer.h"
#include "ui_port_dialog.h"

#include <QStringList>

namespace {

QStringList Lines(QPlainTextEdit* memo) {
    return memo->toPlainText().split('\n', Qt::SkipEmptyParts);
}

void FillLines(QPlainTextEdit* memo, int count) {
    for (int i = 0; i < count; ++i)
        memo->appendPlainText(QString::number(i));
}

// The air-rate write's answer 0003, accepted while LastCommand is 8003.
const std::string kAnswer = Answer5A5A("0003", "");

} // namespace

TEST(ReceiveLoop, AnAnswerIsHandledOnceWholeAndTheRestByTheQuietGap) {
    ModulePeer m("CEO=EN", "Delay time=400");
    m.g().LastCommand = "8003";
    const std::string head = kAnswer.substr(0, 10), tail = kAnswer.substr(10);

    // Second piece inside the frame delay: one answer.
    ASSERT_TRUE(m.Write(head));
    ASSERT_TRUE(QTest::qWaitFor([&] { return m.g().DataPending; }, 2000));
    ASSERT_TRUE(m.Write(tail));
    EXPECT_TRUE(m.h.WaitStatus(2, "RF Parameters Write OK!"));
    EXPECT_TRUE(m.ui().Memo2->toPlainText().isEmpty());

    // A whole answer does not wait out the frame delay.
    m.ui().SpinEdit2->setValue(3000);
    m.h.Ctx().status.Set(2, "-");
    ASSERT_TRUE(m.Write(kAnswer));
    EXPECT_TRUE(m.h.WaitStatus(2, "RF Parameters Write OK!", 1500));
    EXPECT_FALSE(m.g().DataPending);

    // A gap longer than the delay: each piece is a text of its own, and neither is a frame.
    m.ui().SpinEdit2->setValue(60);
    ASSERT_TRUE(m.Deliver(head));
    ASSERT_TRUE(m.Deliver(tail));
    EXPECT_EQ(Lines(m.ui().Memo2),
              QStringList({QString::fromStdString(head), QString::fromStdString(tail)}));

    // Two answers without a gap are two answers: the first is accepted, the second, its
    // checksum broken, refused on its own.
    m.ui().Memo2->clear();
    m.h.Ctx().status.Set(2, "-");
    const std::string broken = kAnswer.substr(0, kAnswer.size() - 6) + "FF0D0A";
    ASSERT_TRUE(m.Deliver(kAnswer + broken));
    EXPECT_EQ(Lines(m.ui().Memo2),
              QStringList({QString::fromStdString(broken), "Checksum is error!"}));
    EXPECT_EQ(m.h.Status(2), "RF Parameters Write OK!");

    // A suspended receive leaves the bytes waiting in the port; released, its next step takes
    // them, and the port's readiness is watched again.
    m.h.Ctx().status.Set(2, "-");
    m.g().PollSuspended = true;
    ASSERT_TRUE(m.Write(kAnswer));
    const int waiting = static_cast<int>(kAnswer.size() / 2);
    ASSERT_TRUE(WaitUntil([&] { return m.h.Sio().sio_iqueue(1) == waiting; }));
    m.h.Ctx().receive->Timer1Timer();
    EXPECT_EQ(m.h.Sio().sio_iqueue(1), waiting);
    EXPECT_EQ(m.h.Ctx().receive->Held(), 0u);
    EXPECT_FALSE(m.g().DataPending);
    // The bytes keep the port readable: the receive period's poll, not the readiness, looks
    // for the end of the suspension.
    EXPECT_TRUE(m.h.Ctx().Timer1.isActive());
    m.g().PollSuspended = false;
    m.h.Ctx().receive->Timer1Timer();
    EXPECT_EQ(m.h.Ctx().receive->Held(), 0u);
    EXPECT_EQ(m.h.Status(2), "RF Parameters Write OK!");
    // Nothing arriving, nothing runs: no poll, no quiet timer.
    EXPECT_FALSE(m.h.Ctx().Timer1.isActive());
    EXPECT_TRUE(m.Deliver(kAnswer));
}

TEST(ReceiveLoop, PairTestStatesGetTheirFrameDelayAndTheReceipt) {
    ModulePeer m("CEO=EN", "Delay time=60");
    // 10 bytes last sent at the port's 9600 baud: (10 + 83 + 3000) / 10.
    m.g().LastSentData = "0123456789";
    m.g().AppState = StatePairReply;
    ASSERT_EQ(m.h.Ctx().frmPortSet->Form().ComboBox2->currentText(), "9600");
    m.h.Ctx().receive->Timer1Timer();
    EXPECT_EQ(m.ui().SpinEdit2->value(), 309);
    EXPECT_EQ(m.g().FrameDelayMs, 309);
    // A rate chosen in the dialog but not opened is not the line's rate: the delay stays.
    m.h.Ctx().frmPortSet->Form().ComboBox2->setCurrentIndex(0);
    m.h.Ctx().receive->Timer1Timer();
    EXPECT_EQ(m.g().FrameDelayMs, 309);

    // Timed sending does not answer, so the receive's status text stays.
    m.ui().RadioButton2->setChecked(true);
    FillLines(m.ui().Memo2, 1000);
    ASSERT_TRUE(m.Deliver("414243"));
    EXPECT_EQ(m.h.Status(2), "Transmit both sides: Data received!!");
    EXPECT_EQ(m.ui().Memo2->toPlainText(), "ABC");
    EXPECT_EQ(m.h.Ctx().receive->Held(), 0u);
    EXPECT_EQ(m.g().AppState, StatePairReply);

    // A fixed frame delay wins over the computed one.
    m.ui().CheckBox2->setChecked(true);
    m.ui().SpinEdit2->setValue(100);
    ASSERT_TRUE(QTest::qWaitFor([&] { return m.g().FrameDelayMs == 100; }, 2000));
    EXPECT_EQ(m.ui().SpinEdit2->value(), 100);
}

TEST(ReceiveLoop, TerminalShowsTextOrHexAndStartsAfreshAtThousandLines) {
    ModulePeer m("CEO=EN");
    m.g().AppState = StateDataComm;
    QPlainTextEdit* memo = m.ui().Memo4;
    m.ui().RadioButton7->setChecked(true);
    ASSERT_TRUE(m.Deliver("68656C6C6F")); // "hello"
    m.ui().RadioButton8->setChecked(true);
    ASSERT_TRUE(m.Deliver("00FF0D")); // bytes shown as hex, the zero byte included
    EXPECT_EQ(Lines(memo), QStringList({"hello", "00FF0D"}));

    memo->clear();
    FillLines(memo, 1000);
    ASSERT_TRUE(m.Deliver("4142"));
    EXPECT_EQ(memo->toPlainText(), "4142");
    EXPECT_EQ(m.g().AppState, StateDataComm);
    EXPECT_TRUE(m.ui().Memo2->toPlainText().isEmpty());
}

TEST(ReceiveLoop, StreamWithoutPausesIsHandedOnAtTheBound) {
    ModulePeer m("CEO=EN", "Delay time=3000");
    m.g().AppState = StateDataComm;
    m.ui().RadioButton8->setChecked(true);
    QPlainTextEdit* memo = m.ui().Memo4;
    // Keep the line busy: the next chunk as soon as the receive has taken the last one, which
    // it does 1025 bytes at a time.
    const std::size_t chunk = 1024;
    std::size_t written = 0;
    auto collected = [&] {
        return m.h.Ctx().receive->Held() + static_cast<std::size_t>(memo->toPlainText().size()) / 2;
    };
    while (memo->toPlainText().isEmpty() && written < 2 * core::kReceiveBufferLimit) {
        ASSERT_TRUE(m.Write(core::BytesToHex(std::string(chunk, '\x55'))));
        written += chunk;
        ASSERT_TRUE(QTest::qWaitFor([&] { return collected() >= written; }, 2000));
    }
    const QStringList lines = Lines(memo);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0].size(), static_cast<qsizetype>(2 * core::kReceiveBufferLimit));
    EXPECT_TRUE(lines[0].startsWith("5555"));
    EXPECT_LT(m.h.Ctx().receive->Held(), core::kReceiveBufferLimit);
}
