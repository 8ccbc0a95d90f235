// The frame monitor and the session log against a simulated module and a bare pseudo-terminal;
// the test flushes the monitor and ticks the search itself.
#include "app/frame_monitor.h"
#include "app/session_log.h"
#include "core/line_settings.h"
#include "fixed_baud_server.h"
#include "form/status_panels.h"
#include "models_test_widgets.h"
#include "operations/radio_search.h"
#include "pty.h"
#include "serial/link.h"
#include "sim_process.h"
#include "ui_main_window.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <fstream>
#include <gtest/gtest.h>
#include <limits>
#include <set>
#include <sstream>

namespace {

// English, 9600 baud without parity as the module, and a short frame delay so answers and
// missed answers are told apart quickly.
const char* const kConfig = "[Ver]\nCEO=EN\n[COM]\nRate=4\nVerify=2\n[Option]\nDelay time=60\n";

FrameMonitor& OpenMonitor(GuiHarness& h) {
    h.Window().Form().FrameMonitorItem->trigger();
    FrameMonitor& monitor = h.Window().Monitor();
    EXPECT_TRUE(monitor.isVisible());
    monitor.FlushTimer().stop(); // the test flushes
    return monitor;
}

std::string Lines(const TraceTableModel& rows) {
    std::string text;
    for (int row = 0; row < rows.rowCount(); ++row)
        text += core::FormatFrameTrace(rows.Record(row)) + '\n';
    return text;
}

// Direction, line setting, name and verdict of each row from `from` on, and whether it has a
// round trip.
std::string Summary(const TraceTableModel& rows, int from = 0) {
    std::string text;
    for (int row = from; row < rows.rowCount(); ++row) {
        const std::vector<std::string> f = core::FrameTraceFields(rows.Record(row));
        text += f[2] + ' ' + f[4] + ' ' + f[6] + " | " + f[9] + (f[10].empty() ? "" : " | timed") +
                '\n';
    }
    return text;
}

bool WaitForRow(FrameMonitor& monitor, const std::string& text) {
    return QTest::qWaitFor(
        [&] {
            monitor.Flush();
            return Lines(monitor.Rows()).find(text) != std::string::npos;
        },
        5000);
}

std::string ReadFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST(FrameMonitor, ListsRequestsAnswersAndTheirVerdictsAsTheSessionLogWritesThem) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--bad-checksum", "800B", "--silent", "8015"})) << sim.error();
    GuiHarness h(kConfig, sim.paths()[0]);
    h.Start();
    ASSERT_TRUE(h.Boxes().empty()) << "the port did not open";
    h.Window().Timer(4).setInterval(std::numeric_limits<int>::max());
    Ui::TForm1& ui = h.Window().Form();
    ui.SessionLogItem->trigger();
    FrameMonitor& monitor = OpenMonitor(h);

    // The search is answered at once; its answer sends the serial-number read, whose answer
    // comes with a wrong checksum. The read-all is never answered.
    h.Click("SpeedButton20");
    ASSERT_TRUE(WaitForRow(monitor, "bad checksum")) << Summary(monitor.Rows());
    ui.N18->setChecked(false);
    h.Click("SpeedButton3");
    ASSERT_TRUE(WaitForRow(monitor, "no answer")) << Summary(monitor.Rows());
    EXPECT_EQ(Summary(monitor.Rows()),
              "out 9600 8N1 8000 search | \n"
              "in 9600 8N1 0000 search = 86X V1.2 433MHZ | accepted | timed\n"
              "out 9600 8N1 800B read serial number | \n"
              "in 9600 8N1  | bad checksum | timed\n"
              "out 9600 8N1 8015 read all parameters | \n"
              "in 9600 8N1 awaited 8015 read all parameters | no answer\n");
    EXPECT_TRUE(h.Boxes().empty());

    // At its default size each column shows its texts and its name whole; hex takes the rest,
    // enough for these frames.
    auto* table = monitor.findChild<QTableView*>("MonitorTable");
    const QAbstractItemView* view = table; // where the texts' width is public
    int others = 0;
    for (int column = 0; column < monitor.Rows().columnCount(); ++column) {
        const int content = std::max(view->sizeHintForColumn(column),
                                     table->horizontalHeader()->sectionSizeHint(column));
        EXPECT_GE(table->columnWidth(column), content) << "column " << column;
        if (column != TraceTableModel::kHexColumn)
            others += table->columnWidth(column);
    }
    EXPECT_EQ(table->columnWidth(TraceTableModel::kHexColumn), table->viewport()->width() - others);
    // A frame too long for it shows whole where the pointer rests.
    EXPECT_EQ(table->model()->index(0, TraceTableModel::kHexColumn).data(Qt::ToolTipRole),
              "5A 5A 00 00 5A 80 00 02 00 00 90 0D 0A");

    // The log holds the very lines, below the column names; a text save of the rows too.
    const std::string log = std::string(core::kFrameTraceColumns) + '\n' + Lines(monitor.Rows());
    ui.SessionLogItem->trigger(); // off: what is buffered is written
    EXPECT_EQ(ReadFile(SessionLog(h.Dir()).FileFor(std::chrono::system_clock::now())), log);
    EXPECT_NE(h.ReadConfigFile().find("Session log=0"), std::string::npos);
    h.files.path = (h.Dir() / "frames.txt").string();
    monitor.findChild<QPushButton*>("MonitorSave")->click();
    EXPECT_EQ(ReadFile(h.Dir() / "frames.txt"), log);
    h.files.path = (h.Dir() / "frames.CSV").string();
    monitor.findChild<QPushButton*>("MonitorSave")->click();
    const std::string csv = ReadFile(h.Dir() / "frames.CSV");
    EXPECT_EQ(csv.substr(0, csv.find("\r\n")),
              "ms,wall clock,dir,port,line,framing,name,length,hex,verdict,round trip");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 7);

    // Filters by direction and command; a copy takes the rows selected among those shown.
    monitor.findChild<QComboBox*>("MonitorDirection")->setCurrentIndex(2); // received
    monitor.findChild<QLineEdit*>("MonitorCommand")->setText("8015");
    ASSERT_EQ(monitor.Shown().rowCount(), 1);
    monitor.findChild<QTableView*>("MonitorTable")->selectAll();
    monitor.findChild<QPushButton*>("MonitorCopy")->click();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(),
              core::FormatFrameTrace(monitor.Rows().Record(5)) + '\n');
    EXPECT_EQ(sim.Stop(), 0);
}

TEST(FrameMonitor, ProfileEntriesShowTheExchangesOwnVerdictsInEveryState) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({})) << sim.error();
    GuiHarness h(kConfig, sim.paths()[0]);
    h.Start();
    ASSERT_TRUE(h.Boxes().empty()) << "the port did not open";
    Ui::TForm1& ui = h.Window().Form();
    ui.SessionLogItem->trigger();
    FrameMonitor& monitor = OpenMonitor(h);

    // Terminal data is not judged, but the profile's exchange judges its own answers.
    for (const int state : {StateDataComm, StateCommand}) {
        SCOPED_TRACE(state);
        h.G().AppState = state;
        const int before = monitor.Rows().rowCount();
        h.files.path = (h.Dir() / "module.ini").string();
        ui.SaveProfileItem->trigger();
        ASSERT_TRUE(h.WaitProgressGone());
        ASSERT_EQ(h.Status(2).toStdString(), "Module settings saved: " + h.files.path);
        // whatever the frame delay would still hand on
        QTest::qWait(100);
        monitor.Flush();
        EXPECT_EQ(Summary(monitor.Rows(), before),
                  "out 9600 8N1 8000 search | \n"
                  "in 9600 8N1 0000 search = 86X V1.2 433MHZ | accepted | timed\n"
                  "out 9600 8N1 800B read serial number | \n"
                  "in 9600 8N1 000B serial number = model 21 2024-01 00001 | accepted | timed\n"
                  "out 9600 8N1 8015 read all parameters | \n"
                  "in 9600 8N1 0015 all parameters = channel 1, air 9600, serial 9600 none | "
                  "accepted | timed\n"
                  "out 9600 8N1 8010 read power-saving mode | \n"
                  "in 9600 8N1 0010 power-saving mode = no sleep | accepted | timed\n"
                  "out 9600 8N1 8014 read air protocol | \n"
                  "in 9600 8N1 0014 air protocol = Velmora | accepted | timed\n"
                  "out 9600 8N1 800D read module ID | \n"
                  "in 9600 8N1 000D module ID = 1 | accepted | timed\n");
    }
    // The rows count on the window's clock, not each exchange's own.
    const core::FrameTraceRecord& first = monitor.Rows().Record(0);
    for (int row = 1; row < monitor.Rows().rowCount(); ++row) {
        const core::FrameTraceRecord& record = monitor.Rows().Record(row);
        EXPECT_GE(record.sinceStart, monitor.Rows().Record(row - 1).sinceStart) << row;
        const auto drift =
            (record.wallClock - first.wallClock) - (record.sinceStart - first.sinceStart);
        EXPECT_LT(std::chrono::abs(drift), std::chrono::milliseconds(1)) << row;
    }

    // The session log holds the very lines.
    const std::string log = std::string(core::kFrameTraceColumns) + '\n' + Lines(monitor.Rows());
    ui.SessionLogItem->trigger();
    EXPECT_EQ(ReadFile(SessionLog(h.Dir()).FileFor(std::chrono::system_clock::now())), log);
    EXPECT_EQ(sim.Stop(), 0);
}

TEST(FrameMonitor, EachSearchStepShowsTheLineSettingItWasSentAt) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    GuiHarness h(kConfig, pty.SlavePath());
    h.Start();
    h.Window().Timer(4).setInterval(std::numeric_limits<int>::max());
    FrameMonitor& monitor = OpenMonitor(h);

    std::vector<std::string> settings;
    h.Click("SpeedButton20");
    settings.push_back(core::LineSettingText(h.G().Line));
    for (int step = 1; step < 21; ++step) {
        h.Window().Search().Timer4Timer();
        settings.push_back(core::LineSettingText(h.G().Line));
    }
    monitor.Flush();
    std::vector<std::string> shown;
    for (int row = 0; row < monitor.Rows().rowCount(); ++row) {
        const core::FrameTraceRecord& record = monitor.Rows().Record(row);
        if (record.direction == core::TraceDirection::kSent)
            shown.push_back(record.lineSetting);
    }
    EXPECT_EQ(shown, settings);
    EXPECT_EQ(std::set<std::string>(settings.begin(), settings.end()).size(), 21u);
}

// The port's server holds 19200 whatever is asked: its rows show the line the bytes go at, not
// the 9600 the window asked for.
TEST(FrameMonitor, ANetworkPortsRowsShowTheLineItsServerAcknowledged) {
    FixedBaudServer server(19200);
    ASSERT_TRUE(server.Ok());
    GuiHarness h(kConfig, server.Url());
    h.Start();
    ASSERT_EQ(h.Boxes().size(), 1u);
    EXPECT_NE(h.Boxes()[0].find(server.Url() +
                                ": the server acknowledged 19200 8N1 where 9600 8N1 was asked"),
              std::string::npos)
        << h.Boxes()[0];
    FrameMonitor& monitor = OpenMonitor(h);
    h.Window().Form().N18->setChecked(false); // no search before the read
    h.Click("SpeedButton3");
    ASSERT_TRUE(WaitForRow(monitor, "no answer")) << Summary(monitor.Rows());
    EXPECT_EQ(Summary(monitor.Rows()),
              "out 19200 8N1 8015 read all parameters | \n"
              "in 19200 8N1 awaited 8015 read all parameters | no answer\n");
    EXPECT_EQ(core::LineSettingText(h.G().Line), "9600 8N1");
}

TEST(FrameMonitor, KeepsTheNewestRowsAtItsBoundAndHoldsRowsWhilePaused) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    GuiHarness h(kConfig, pty.SlavePath());
    h.Start();
    ASSERT_TRUE(h.Boxes().empty()) << "the port did not open";
    FrameMonitor& monitor = OpenMonitor(h);
    auto* bound = monitor.findChild<QSpinBox*>("MonitorBound");
    EXPECT_EQ(bound->value(), 100000);
    bound->setValue(1000);
    emit bound->editingFinished();

    serial::Link& link = h.Window().SerialLink();
    const auto frame = [](int i) { return core::Bytes(reinterpret_cast<const char*>(&i), 4); };
    constexpr int kFrames = 200000;
    for (int i = 0; i < kFrames; ++i) {
        ASSERT_TRUE(link.SendRaw(1, frame(i)));
        if (i % 100 == 99) {
            ASSERT_EQ(pty.Read(400).size(), 400u);
            if (i % 5000 == 4999)
                monitor.Flush();
        }
    }
    monitor.Flush();
    const TraceTableModel& rows = monitor.Rows();
    ASSERT_EQ(rows.rowCount(), 1000);
    EXPECT_EQ(rows.Record(0).bytes, frame(kFrames - 1000));
    EXPECT_EQ(rows.Record(999).bytes, frame(kFrames - 1));

    auto* pause = monitor.findChild<QPushButton*>("MonitorPause");
    pause->click();
    ASSERT_TRUE(link.SendRaw(1, frame(kFrames)));
    monitor.Flush();
    EXPECT_EQ(rows.Record(999).bytes, frame(kFrames - 1));
    pause->click();
    EXPECT_EQ(rows.Record(999).bytes, frame(kFrames));
    EXPECT_EQ(rows.rowCount(), 1000);
}

TEST(SessionLog, AnUnwritableLogIsReportedOnceAndTheToolGoesOn) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    // The log was on when the tool last ended; reads go without a search.
    GuiHarness h(std::string(kConfig) + "Session log=1\nSearch before R/W=0\n", pty.SlavePath());
    // A directory where the day's log would go stops even a root that ignores the mode.
    const SessionLog names(h.Dir());
    const auto now = std::chrono::system_clock::now();
    const std::filesystem::path file = names.FileFor(now);
    std::filesystem::create_directory(file);
    std::filesystem::create_directory(names.FileFor(now + std::chrono::hours(24)));
    std::filesystem::permissions(h.Dir(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    h.Start();
    ASSERT_TRUE(h.Boxes().empty()) << "the port did not open";
    Ui::TForm1& ui = h.Window().Form();
    EXPECT_TRUE(ui.SessionLogItem->isChecked());

    // The read whose request is the first line shows its own progress; the failure comes in a
    // box once the read is done, so nothing replaces it unseen.
    h.Click("SpeedButton3");
    EXPECT_EQ(Utf8(h.Status(2)), "Reading All Parameters......");
    const std::vector<std::string> box{"Session log cannot be written: " + file.string()};
    ASSERT_TRUE(QTest::qWaitFor([&] { return !h.Boxes().empty(); }, 2000));
    EXPECT_EQ(h.Boxes(), box);
    // and only once
    ASSERT_TRUE(h.Window().SerialLink().SendRaw(1, "two"));
    QCoreApplication::processEvents();
    EXPECT_EQ(h.Boxes(), box);
    EXPECT_EQ(pty.Read(16).substr(13), "two");
    EXPECT_TRUE(ui.SessionLogItem->isChecked());
    std::filesystem::permissions(h.Dir(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
}
