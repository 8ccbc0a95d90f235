// The frame monitor's rows: the newest records in a ring of a bounded size, so memory stays flat
// however long the monitor runs; rows arrive in batches, one model change per batch.
#pragma once

#include "core/frame_trace.h"

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <vector>

class TraceTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kHexColumn = 8;
    static constexpr int kVerdictColumn = 9;

    explicit TraceTableModel(std::size_t bound, QObject* parent = nullptr);

    // The oldest rows go where the batch would pass the bound.
    void Append(std::vector<core::FrameTraceRecord> batch);
    // Keeps the newest `bound` rows.
    void SetBound(std::size_t bound);
    std::size_t Bound() const { return m_bound; }
    void Clear();
    const core::FrameTraceRecord& Record(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<core::FrameTraceRecord> m_ring; // grows to the bound, then is overwritten
    std::size_t m_head = 0;                     // where row 0 lies in the ring
    std::size_t m_rows = 0;
    std::size_t m_bound;
};

// The rows of one direction, or both, whose name holds a text (a command number or a word).
class TraceFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    enum class Direction { kBoth, kSent, kReceived };

    explicit TraceFilter(TraceTableModel& model, QObject* parent = nullptr);
    void SetDirection(Direction direction);
    void SetCommand(const QString& text);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    TraceTableModel& m_model;
    Direction m_direction = Direction::kBoth;
    QString m_command;
};
