#include "receive_peer.h"
#include "serial/link.h"

namespace {

// The serial-number read the tool sends by itself: 5A5A 0000 5A 800B 02 0000, sum, 0D0A.
const std::string kSerialNumberRead =
    core::BytesToHex(core::BuildFrame5A5A("0000", "800B", "0000"));

} // namespace

TEST(AnswerSearch, SearchAnswerRecordsTheModuleAndReadsItsSerialNumber) {
    ModulePeer m("CEO=EN\nQX=1");
    // family 0x20 (86X), version 0x12, base frequency 0x02 (433 MHz); taken whatever is pending
    EXPECT_EQ(m.StatusAfter("8003", Answer5A5A("0000", "201202")),
              "RF Module(Radio) Searched OK!(Model read ok)");
    EXPECT_EQ(m.h.Status(3), "QX86X V1.2");
    EXPECT_EQ(m.g().ModuleFamily, "QX86X");
    EXPECT_EQ(m.g().ModuleBaseFrequency, "433MHZ");
    EXPECT_TRUE(m.g().ModuleFound && m.g().AutoSnRead);
    EXPECT_EQ(m.g().LastCommand, "800B");
    for (const char* read : {"SpeedButton2", "SpeedButton4", "SpeedButton5"})
        EXPECT_TRUE(m.h.Find<QWidget>(read)->isEnabled()) << read;
    EXPECT_EQ(m.Sent(13), kSerialNumberRead);

    // base frequency 0x06 (2.4 GHz) is recorded but not announced as a model read
    EXPECT_EQ(m.StatusAfter("800B", Answer5A5A("0000", "601306")), "RF Module(Radio) Searched OK!");
    EXPECT_EQ(m.g().ModuleBaseFrequency, "2.4GHZ");
    EXPECT_EQ(m.h.Status(3), "QX240X V1.3");
    EXPECT_EQ(m.Sent(13), kSerialNumberRead);
}

TEST(AnswerSearch, TheLinkSeesTheAnswerComeInAndTheSerialNumberReadGoOut) {
    ModulePeer m("CEO=EN\nQX=1");
    std::string in, out, pending;
    m.h.Window().SerialLink().AddObserver([&](const serial::Traffic& t) {
        EXPECT_EQ(t.port, m.g().Line.CurrentPort);
        if (t.direction == serial::Direction::kReceived) {
            EXPECT_TRUE(out.empty()) << "a chunk came in after the read went out";
            in += t.bytes;
        } else {
            out += t.bytes;
            pending = t.pendingCommand;
        }
    });
    const std::string answer = Answer5A5A("0000", "201202");
    m.g().LastCommand = "8000";
    ASSERT_TRUE(m.Deliver(answer));
    EXPECT_EQ(core::BytesToHex(in), answer);
    EXPECT_EQ(core::BytesToHex(out), kSerialNumberRead);
    EXPECT_EQ(pending, "800B");
}

TEST(AnswerSearch, SerialNumberAnswerSelectsModelBaseFrequencyAndFields) {
    ModulePeer m("CEO=EN\nQX=1");
    auto& ui = m.ui();
    // a QX885 (family 88X) on 490 MHz: search, then model code 45, year 0x0C, month 0x05,
    // number 0x0102
    ASSERT_TRUE(m.Deliver(Answer5A5A("0000", "401203")));
    EXPECT_EQ(m.StatusAfter("800B", Answer5A5A("000B", "450C050102")),
              "RF Module(Radio) Searched OK!(Model,base frequency read ok)");
    EXPECT_EQ(ui.ComboBox15->currentIndex(), 17);
    EXPECT_EQ(ui.ComboBox11->currentIndex(), 17);
    EXPECT_EQ(m.g().ModuleModelName, "QX885");
    EXPECT_EQ(ui.ComboBox16->currentText(), "490MHZ");
    EXPECT_EQ(ui.ComboBox12->currentText(), "2012");
    EXPECT_EQ(ui.ComboBox13->currentText(), "05");
    EXPECT_EQ(ui.Edit2->text(), "00258");
    EXPECT_TRUE(m.h.Boxes().empty());

    // the module reports 2.4 GHz, which a QX885 does not offer
    ASSERT_TRUE(m.Deliver(Answer5A5A("0000", "401206")));
    ASSERT_TRUE(m.Deliver(Answer5A5A("000B", "450C050102")));
    EXPECT_EQ(m.h.Boxes(), std::vector<std::string>({"The base frequency Not be found!2.4GHZ"}));

    // the operator's own read of a module with an unknown model code
    m.g().AutoSnRead = false;
    EXPECT_EQ(m.StatusAfter("800B", Answer5A5A("000B", "990C050102")), "Read SN OK!");
    EXPECT_EQ(ui.ComboBox15->currentIndex(), -1);
    EXPECT_EQ(ui.ComboBox11->currentIndex(), -1);
    EXPECT_EQ(m.g().ModuleModelName, "QX885"); // kept from the last known model
}
