#include "trace_table_model.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPalette>
#include <algorithm>
#include <iterator>

namespace {

// The trace's own column names, split for the header.
const QStringList& ColumnNames() {
    static const QStringList names =
        QString::fromLatin1(core::kFrameTraceColumns.data(),
                            static_cast<qsizetype>(core::kFrameTraceColumns.size()))
            .split('\t');
    return names;
}

bool Failed(core::TraceVerdict verdict) {
    using V = core::TraceVerdict;
    return verdict == V::kRefused || verdict == V::kBadChecksum || verdict == V::kNotAFrame ||
           verdict == V::kNoAnswer;
}

// Red that reads on the palette's base: dark on a light theme, light on a dark one.
QColor FailureColour() {
    const bool dark = QApplication::palette().color(QPalette::Base).lightness() < 128;
    return dark ? QColor(255, 128, 128) : QColor(176, 0, 0);
}

} // namespace

TraceTableModel::TraceTableModel(std::size_t bound, QObject* parent)
    : QAbstractTableModel(parent), m_bound(std::max<std::size_t>(bound, 1)) {}

void TraceTableModel::Append(std::vector<core::FrameTraceRecord> batch) {
    if (batch.empty())
        return;
    auto first = batch.begin();
    if (batch.size() > m_bound)
        first = batch.end() - static_cast<std::ptrdiff_t>(m_bound);
    const auto count = static_cast<std::size_t>(batch.end() - first);
    const std::size_t drop =
        std::min(m_rows, (m_rows + count > m_bound) ? m_rows + count - m_bound : 0);
    if (drop > 0) {
        beginRemoveRows({}, 0, static_cast<int>(drop) - 1);
        m_head = (m_head + drop) % m_ring.size();
        m_rows -= drop;
        endRemoveRows();
    }
    beginInsertRows({}, static_cast<int>(m_rows), static_cast<int>(m_rows + count) - 1);
    for (auto record = first; record != batch.end(); ++record) {
        if (m_ring.size() < m_bound) {
            m_ring.push_back(std::move(*record));
        } else {
            m_ring[(m_head + m_rows) % m_ring.size()] = std::move(*record);
        }
        ++m_rows;
    }
    endInsertRows();
}

void TraceTableModel::SetBound(std::size_t bound) {
    bound = std::max<std::size_t>(bound, 1);
    beginResetModel();
    const std::size_t keep = std::min(m_rows, bound);
    std::vector<core::FrameTraceRecord> newest;
    newest.reserve(keep);
    for (std::size_t row = m_rows - keep; row < m_rows; ++row)
        newest.push_back(std::move(m_ring[(m_head + row) % m_ring.size()]));
    m_ring = std::move(newest);
    m_head = 0;
    m_rows = keep;
    m_bound = bound;
    endResetModel();
}

void TraceTableModel::Clear() {
    beginResetModel();
    m_ring = {};
    m_head = 0;
    m_rows = 0;
    endResetModel();
}

const core::FrameTraceRecord& TraceTableModel::Record(int row) const {
    return m_ring[(m_head + static_cast<std::size_t>(row)) % m_ring.size()];
}

int TraceTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows);
}

int TraceTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(ColumnNames().size());
}

QVariant TraceTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const core::FrameTraceRecord& record = Record(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(
            core::FrameTraceFields(record)[static_cast<std::size_t>(index.column())]);
    case Qt::ToolTipRole:
        // A frame longer than the hex column shows whole where the pointer rests.
        if (index.column() == kHexColumn)
            return QString::fromStdString(core::FrameTraceFields(record)[kHexColumn]);
        return {};
    case Qt::FontRole:
        if (index.column() == kHexColumn)
            return QFontDatabase::systemFont(QFontDatabase::FixedFont);
        return {};
    case Qt::ForegroundRole:
        if (index.column() == kVerdictColumn && Failed(record.verdict))
            return FailureColour();
        return {};
    case Qt::BackgroundRole:
        // Requests stand apart from what came back, in the theme's own alternate shade.
        if (record.direction == core::TraceDirection::kSent)
            return QApplication::palette().color(QPalette::AlternateBase);
        return {};
    default:
        return {};
    }
}

QVariant TraceTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return ColumnNames().value(section);
}

TraceFilter::TraceFilter(TraceTableModel& model, QObject* parent)
    : QSortFilterProxyModel(parent), m_model(model) {
    setSourceModel(&model);
}

void TraceFilter::SetDirection(Direction direction) {
    m_direction = direction;
    invalidateRowsFilter();
}

void TraceFilter::SetCommand(const QString& text) {
    m_command = text.trimmed();
    invalidateRowsFilter();
}

bool TraceFilter::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    const core::FrameTraceRecord& record = m_model.Record(sourceRow);
    if (m_direction == Direction::kSent && record.direction != core::TraceDirection::kSent)
        return false;
    if (m_direction == Direction::kReceived && record.direction != core::TraceDirection::kReceived)
        return false;
    return m_command.isEmpty() ||
           QString::fromStdString(record.name).contains(m_command, Qt::CaseInsensitive);
}
