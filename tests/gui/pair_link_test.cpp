// Two windows, one per role, on two simulated modules sharing one air: the pair transfer test
// end to end, its saved results, and the terminal between the two. The test ticks both polls
// and fires the resend itself.
#include "core/module/module_air.h"
#include "models_test_widgets.h"
#include "operations/pair_test_tab.h"
#include "pair_drive.h"
#include "ser2net_process.h"
#include "sim_process.h"
#include "ui_main_window.h"

#include <QAbstractButton>
#include <array>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

const std::string kText = "QX link 01";

class PairLink : public ::testing::Test {
protected:
    // Both modules and both lines at 57600, so a frame spends little time on the wire. With
    // `served`, each window reaches its module through a ser2net of its own over RFC 2217.
    void Start(std::vector<std::string> faults = {}, bool served = false) {
        std::vector<std::string> args = {"--modules",  "2", "--serial-rate", "8",
                                         "--air-rate", "8", "--verbose"};
        args.insert(args.end(), faults.begin(), faults.end());
        ASSERT_TRUE(sim.Start(args, 2)) << sim.error();
        for (std::size_t i = 0; i < h.size(); ++i) {
            if (served) {
                ASSERT_TRUE(servers[i].Start(sim.paths()[i])) << servers[i].error();
            }
            h[i] = std::make_unique<GuiHarness>(
                "[COM]\nRate=7\nVerify=2\n[Ver]\nCEO=EN\n[Option]\nFrame delay=1\nDelay time=60\n",
                served ? servers[i].Rfc2217Url() : sim.paths()[i]);
            h[i]->IgnoreSystemPorts();
            h[i]->Start();
            h[i]->later.flowing = true;
            ASSERT_TRUE(h[i]->Boxes().empty()) << "the port did not open";
            h[i]->Window().Timer(1).stop();
            h[i]->Window().Form().PageControl1->setCurrentIndex(1);
        }
    }
    TForm1& Tx() { return h[0]->Window(); }
    TForm1& Rx() { return h[1]->Window(); }
    static void Click(TForm1& w, const char* name) {
        w.findChild<QAbstractButton*>(QString::fromLatin1(name))->click();
    }
    // The receiver answers, the transmitter's text goes out.
    void StartBoth() {
        Click(Rx(), "RadioButton16");
        Click(Rx(), "SpeedButton17");
        Tx().Form().Edit4->setText(QString::fromStdString(kText));
        Click(Tx(), "SpeedButton17");
    }
    std::size_t LostPackets() const {
        const std::string log = sim.ErrorOutput();
        std::size_t count = 0;
        for (auto at = log.find(" lost"); at != std::string::npos; at = log.find(" lost", at + 1))
            ++count;
        return count;
    }

    SimProcess sim;
    std::array<Ser2netProcess, 2> servers;
    std::array<std::unique_ptr<GuiHarness>, 2> h;
};

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> CsvLines(const std::string& csv) {
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = csv.find("\r\n", start)) != std::string::npos;
         start = end + 2)
        lines.push_back(csv.substr(start, end - start));
    return lines;
}

TEST_F(PairLink, HundredFramesOnALosslessAirAndTheirResults) {
    Start();
    StartBoth();
    for (int frame = 1; frame <= 100; ++frame) {
        ASSERT_TRUE(HandOn(Rx(), kText.size())) << frame;
        // Stopped before the last answer arrives: it is counted, and nothing more is sent.
        if (frame == 100)
            Click(Tx(), "SpeedButton18");
        ASSERT_TRUE(HandOn(Tx(), kText.size())) << frame;
    }
    for (TForm1* w : {&Tx(), &Rx()}) {
        Ui::TForm1& ui = w->Form();
        EXPECT_EQ(ui.Edit5->text(), "100");
        EXPECT_EQ(ui.Edit6->text(), "100");
        EXPECT_EQ(ui.Edit7->text(), "100");
        EXPECT_EQ(ui.Edit8->text(), "");
        EXPECT_EQ(ui.Edit9->text(), "100.00%");
        EXPECT_EQ(ui.Label23->text(), "1000");
        EXPECT_EQ(ui.Label25->text(), "1000");
    }
    EXPECT_EQ(Tx().Form().EditLost->text(), "0");
    const Ui::TForm1& tx = Tx().Form();
    const int least = tx.EditTripMin->text().toInt(), most = tx.EditTripMax->text().toInt();
    EXPECT_GT(least, 0);
    EXPECT_LE(least, tx.EditTripLast->text().toInt());
    EXPECT_LE(tx.EditTripLast->text().toInt(), most);
    EXPECT_LE(least, tx.EditTripMean->text().toDouble());
    EXPECT_LE(tx.EditTripMean->text().toDouble(), most);

    // Cancelled: nothing written. Then the button, and the menu entry, write the run.
    const auto file = h[0]->Dir() / "run.csv";
    Tx().Form().ActionSaveResults->trigger();
    EXPECT_FALSE(std::filesystem::exists(file));
    h[0]->files.path = file.string();
    Click(Tx(), "ButtonSaveResults");
    EXPECT_EQ(Utf8(h[0]->Status(2)), "Results saved!");
    const std::vector<std::string> lines = CsvLines(ReadFile(file));
    ASSERT_EQ(lines.size(), 202u);
    EXPECT_TRUE(lines[0].starts_with("time_ms,direction,length,verdict,round_trip_ms,data_hex,"))
        << lines[0];
    const std::string hex = core::BytesToHex(kText);
    const std::string noFigures(13, ',');
    EXPECT_EQ(lines[1], "0,sent,10,,," + hex + noFigures);
    for (std::size_t row = 1; row <= 200; ++row) {
        const std::string kind = row % 2 == 1 ? ",sent,10,,," : ",received,10,right,";
        EXPECT_NE(lines[row].find(kind), std::string::npos) << lines[row];
        EXPECT_TRUE(lines[row].ends_with(hex + noFigures)) << lines[row];
    }
    // The summary comes at the run's end, after the answer that came after the stop, with one
    // column per figure.
    const std::size_t comma = lines[201].find(',');
    EXPECT_GE(std::stoll(lines[201].substr(0, comma)),
              std::stoll(lines[200].substr(0, lines[200].find(','))));
    EXPECT_EQ(lines[201].substr(comma), ",summary,,,,,100.00,100,100,100,0,0,0,1000,1000," +
                                            tx.EditTripMin->text().toStdString() + "," +
                                            tx.EditTripMean->text().toStdString() + "," +
                                            tx.EditTripMax->text().toStdString() + ",0");
    const std::string saved = ReadFile(file);
    std::filesystem::remove(file);
    Tx().Form().ActionSaveResults->trigger();
    EXPECT_EQ(ReadFile(file), saved);
    EXPECT_TRUE(h[0]->Boxes().empty());
    EXPECT_EQ(sim.Stop(), 0);
}

// A seeded lossy air loses the packets its seed says; the resend after a silence keeps the
// answer-driven test going, and the counters come out as the seed predicts.
TEST_F(PairLink, LossySeededAirWithResend) {
    const std::uint64_t seed = 11;
    const double loss = 0.25;
    Start({"--loss", "0.25", "--seed", std::to_string(seed)});
    Tx().Form().CheckBoxResend->setChecked(true);
    // The test ticks the resend itself; the longest silence keeps a slow run from a real one.
    Tx().Form().SpinEditResend->setValue(10000);
    StartBoth();
    core::AirNoise noise(seed, loss, 0);
    const int attempts = 40;
    int rxGot = 0, txGot = 0, lost = 0;
    for (int attempt = 1;; ++attempt) {
        const bool reachedRx = !noise.Lost();
        if (reachedRx) {
            ASSERT_TRUE(HandOn(Rx(), kText.size())) << attempt;
            ++rxGot;
        }
        const bool cameBack = reachedRx && !noise.Lost();
        if (attempt == attempts) {
            Click(Tx(), "SpeedButton18");
            if (cameBack) {
                ASSERT_TRUE(HandOn(Tx(), kText.size()));
                ++txGot;
            }
            break;
        }
        if (cameBack) {
            ASSERT_TRUE(HandOn(Tx(), kText.size())) << attempt;
            ++txGot;
            continue;
        }
        // The air has dropped the packet; only then the silence is over.
        ++lost;
        ASSERT_TRUE(QTest::qWaitFor([&] {
            return LostPackets() == static_cast<std::size_t>(lost);
        })) << attempt
            << "\n"
            << sim.ErrorOutput();
        ASSERT_TRUE(Tx().PairTest().ResendTimer().isActive()) << attempt;
        Tx().PairTest().ResendTimerTimer();
    }
    ASSERT_GT(lost, 3) << "the seed should lose a few packets";
    const core::PairTally& tx = Tx().G().Tally;
    const core::PairTally& rx = Rx().G().Tally;
    EXPECT_EQ(tx.sent, attempts);
    EXPECT_EQ(tx.received, txGot);
    EXPECT_EQ(tx.right, txGot);
    EXPECT_EQ(rx.received, rxGot);
    EXPECT_EQ(rx.sent, rxGot);
    EXPECT_EQ(rx.right, rxGot);
    EXPECT_EQ(Tx().Form().EditLost->text(), QString::number(attempts - txGot));
    EXPECT_EQ(Tx().Form().Edit9->text(), QString::number(100.0 * txGot / attempts, 'f', 2) + "%");
    EXPECT_EQ(Rx().Form().Edit9->text(), "100.00%");
    EXPECT_EQ(sim.Stop(), 0);
}

TEST_F(PairLink, TerminalRoundTripInAsciiAndHex) {
    Start();
    Ui::TForm1& a = Tx().Form();
    Ui::TForm1& b = Rx().Form();
    Click(Rx(), "CheckBox3");
    ASSERT_EQ(Rx().G().AppState, StateDataComm);
    a.Memo3->setPlainText("AB");
    Click(Tx(), "SpeedButton37");
    ASSERT_TRUE(HandOn(Rx(), 2));
    Click(Rx(), "RadioButton8");
    Click(Tx(), "RadioButton6");
    a.Memo3->setPlainText("41 42");
    Click(Tx(), "SpeedButton37");
    ASSERT_TRUE(HandOn(Rx(), 2));
    EXPECT_EQ(b.Memo4->toPlainText(), "AB\n4142");
    EXPECT_EQ(Tx().G().Tally.sent, 0);
    EXPECT_EQ(sim.Stop(), 0);
}

// IAC (0xFF) alone, doubled, before SE and SB: each window doubles it to its server and undoes
// the server's doubling, so the modules send and the other window shows the bytes as typed.
TEST_F(PairLink, TerminalHexDataWithIacCrossesRfc2217BothWays) {
    Start({}, true);
    for (TForm1* w : {&Tx(), &Rx()}) {
        Click(*w, "CheckBox3");
        Click(*w, "RadioButton6"); // hex entry
        Click(*w, "RadioButton8"); // hex view
    }
    const std::array<std::pair<TForm1*, TForm1*>, 2> ways{{{&Tx(), &Rx()}, {&Rx(), &Tx()}}};
    const std::array<std::string, 2> typed{"FF 41 FF FF 0D 0A FF F0", "00 FF FA 2C 01 FF FF"};
    for (std::size_t i = 0; i < ways.size(); ++i) {
        auto [from, to] = ways[i];
        const std::string hex = QString::fromStdString(typed[i]).remove(' ').toStdString();
        from->Form().Memo3->setPlainText(QString::fromStdString(typed[i]));
        Click(*from, "SpeedButton37");
        ASSERT_TRUE(HandOn(*to, hex.size() / 2)) << sim.ErrorOutput();
        EXPECT_EQ(Utf8(to->Form().Memo4->toPlainText()), hex);
        // what the sending module took from its host and put on the air
        EXPECT_NE(sim.ErrorOutput().find("module " + std::to_string(i) + " air  " + hex),
                  std::string::npos)
            << sim.ErrorOutput();
    }
    EXPECT_TRUE(h[0]->Boxes().empty() && h[1]->Boxes().empty());
}

} // namespace
