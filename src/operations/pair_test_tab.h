// The pair transfer test tab: two tools, one module each, measure the radio link between them.
// The main transmitter sends a test text and, by default, sends it again whenever something
// comes back; the main receiver answers every frame it receives. Test data goes to the port raw.
// The tab's work lies in pair_test_*.cpp, one file for each part: its controls, sending, receipt,
// the timers around answers, and the results.
#pragma once

#include "core/hex.h"
#include "core/pair_record.h"
#include "form/globals.h"

#include <QString>
#include <QTimer>
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

class CommandSequence;
class EventHook;
class QKeyEvent;
class QLineEdit;
class StatusPanels;
namespace core {
class Dialogs;
class Later;
class SaveFileChooser;
} // namespace core
namespace serial {
class Link;
}
namespace Ui {
class TForm1;
}

// What the test reads and changes of the session.
struct PairTestState : SessionLanguage {
    int& AppState;
    int& FrameDelayMs;
    bool& PollSuspended;
    std::string& LastSentData;
    bool& TestStopFlag;
    core::PairTally& Tally;
    const core::LineSettings& Line;
};

// The platform the test uses besides the link: boxes, the timer of the pause before an answer,
// the chooser of the results file.
struct PairTestServices {
    core::Dialogs& dialogs;
    core::Later& later;
    core::SaveFileChooser& files;
};

class PairTestTab {
public:
    // `timer1` is the receive poll, whose period the test sets; `timer3` the timed sending.
    // A start ends a waiting set-all chain through `sequence`.
    PairTestTab(Ui::TForm1& ui, const PairTestState& state, PairTestServices services,
                StatusPanels& status, serial::Link& link, CommandSequence& sequence, QTimer& timer1,
                QTimer& timer3);
    ~PairTestTab();

    void SpeedButton17Click(); // start
    void SpeedButton18Click(); // stop
    void SpeedButton16Click(); // byte totals to 0
    // The start button says the role chosen, in the language now in force.
    void ShowStartCaption();
    void Timer3Timer();
    // The answer-driven test's answer is overdue: its frame goes again when the operator asked
    // for resending, else the status says that the test waits.
    void ResendTimerTimer();
    QTimer& ResendTimer() { return m_resend; }

    // Writes `data` raw; on success it becomes LastSentData and the state `state` (3, 4, or 5
    // for the terminal), and in 3 and 4 the frame is counted and logged. False when it was
    // empty or the write failed.
    bool SendTestFrame(const core::Bytes& data, int state);
    // One complete frame from the receive poll, with the stop flag and state the poll found.
    void ProcessTestReceipt(const core::Bytes& received, bool stopFlag, int state);

    // The test ends (a stop, or leaving the tab): no more timed, repeated or pending answer
    // sends, and the run's time stops.
    void Interrupt();
    // The run as CSV, to the file the operator chooses.
    void SaveResults();

    // For the live plot and the results: the counters, round trips and time of the current
    // run, which ends at a stop.
    const core::PairTally& Tally() const { return m_state.Tally; }
    const core::RoundTrips& Trips() const { return m_trips; }
    std::int64_t ElapsedMs() const;
    // Counts the starts, so a plot knows when a new run begins.
    int Run() const { return m_run; }

private:
    // The controls and their handlers (pair_test_tab.cpp).
    void ConnectControls();
    void RadioButton15Click();
    void RadioButton16Click();
    void RadioButton3Click();
    bool Edit4KeyPress(const QKeyEvent& key);
    void BeginRun();
    void EnableRoleAndFormat(bool enabled);
    bool MainTransmitter() const;
    QString Text(core::TextId id) const;

    // The timers around answers (pair_test_answers.cpp).
    bool AwaitingAnswer() const;
    // Times the wait for the answer of the frame sent last: resend, or the note that it waits.
    void ArmAnswerWait();
    // Sends `frame` as the answer to a receipt once the answer pause is over.
    void AnswerAfterPause(core::Bytes frame);
    void CancelAnswers();

    // The figures the tab shows (pair_test_results.cpp).
    void ResetCounters();
    void ShowRate();
    void ShowTrips();

    Ui::TForm1& m_ui;
    PairTestState m_state;
    PairTestServices m_services;
    StatusPanels& m_status;
    serial::Link& m_link;
    CommandSequence& m_sequence;
    QTimer& m_timer1;
    QTimer& m_timer3;
    QTimer m_resend;
    std::vector<std::unique_ptr<EventHook>> m_hooks;
    // The answers that wait out their pause, oldest first.
    std::vector<std::uint64_t> m_waitingAnswers;

    bool m_answerStopFlag = false;
    core::RoundTrips m_trips;
    core::PairRecord m_record;
    std::chrono::steady_clock::time_point m_runStart{};
    std::optional<std::chrono::steady_clock::time_point> m_runEnd; // set by a stop
    std::chrono::steady_clock::time_point m_lastSend{};
    // When the port last delivered bytes: the end of the frame the poll hands on.
    std::chrono::steady_clock::time_point m_lastArrival{};
    std::uint64_t m_observer = 0;
    bool m_sentSinceStart = false;
    int m_run = 0;
};
