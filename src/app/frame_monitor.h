// The frame monitor: a window of its own, beside the main window, listing every frame through
// the serial link since it was opened, decoded, with filters, pause, copy, clear and save.
#pragma once

#include "frame_feed.h"
#include "trace_table_model.h"

#include <QTimer>
#include <QWidget>
#include <vector>

class QTableView;
namespace core {
class Dialogs;
class SaveFileChooser;
} // namespace core

class FrameMonitor : public QWidget {
    Q_OBJECT
public:
    static constexpr std::size_t kDefaultRows = 100000;
    // Rows reach the table at most this often, so a flood of frames costs the poll one append
    // per frame and the table one change per batch.
    static constexpr int kFlushMs = 100;
    // The newest rows of a batch that the column widths are fitted to: on a quiet link every
    // row, in a flood's batch no more than these.
    static constexpr std::size_t kMeasuredRows = 10;

    FrameMonitor(FrameFeed& feed, core::SaveFileChooser& files, core::Dialogs& dialogs,
                 QWidget* parent);
    ~FrameMonitor() override;

    // Moves what came since the last flush into the table, unless paused; the flush timer's tick.
    void Flush();
    QTimer& FlushTimer() { return m_flush; }
    const TraceTableModel& Rows() const { return m_model; }
    const TraceFilter& Shown() const { return m_filter; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Take(const core::FrameTraceRecord& record);
    // Widens each column but hex to the widest text seen in it; hex takes the rest of the width.
    void FitColumns(const std::vector<core::FrameTraceRecord>& batch);
    void CopySelected();
    void Save();
    // The rows shown, in the order shown.
    std::vector<const core::FrameTraceRecord*> ShownRecords() const;

    FrameFeed& m_feed;
    core::SaveFileChooser& m_files;
    core::Dialogs& m_dialogs;
    TraceTableModel m_model{kDefaultRows};
    TraceFilter m_filter{m_model};
    QTableView* m_table = nullptr;
    QTimer m_flush;
    std::vector<core::FrameTraceRecord> m_pending;
    // The widest text fitted per column so far: a column the operator narrowed stays so until
    // a wider text comes.
    std::vector<int> m_fitted;
    bool m_paused = false;
    FrameFeed::ReaderId m_reader = 0; // 0 while hidden
};
