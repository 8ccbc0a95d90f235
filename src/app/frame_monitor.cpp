#include "frame_monitor.h"

#include "core/csv.h"
#include "core/services.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <fstream>

namespace {

bool EndsWithCsv(const std::string& path) {
    return path.size() >= 4 && QString::fromStdString(path.substr(path.size() - 4))
                                       .compare(".csv", Qt::CaseInsensitive) == 0;
}

std::vector<std::string> HeadFields() {
    std::vector<std::string> fields(1);
    for (const char c : core::kFrameTraceColumns) {
        if (c == '\t')
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

} // namespace

FrameMonitor::FrameMonitor(FrameFeed& feed, core::SaveFileChooser& files, core::Dialogs& dialogs,
                           QWidget* parent)
    : QWidget(parent, Qt::Window), m_feed(feed), m_files(files), m_dialogs(dialogs) {
    setObjectName("FrameMonitor");
    setWindowTitle("Frame monitor");
    resize(1360, 500);

    auto* direction = new QComboBox(this);
    direction->setObjectName("MonitorDirection");
    direction->addItem("both directions", static_cast<int>(TraceFilter::Direction::kBoth));
    direction->addItem("sent", static_cast<int>(TraceFilter::Direction::kSent));
    direction->addItem("received", static_cast<int>(TraceFilter::Direction::kReceived));
    connect(direction, &QComboBox::currentIndexChanged, this, [this, direction] {
        m_filter.SetDirection(
            static_cast<TraceFilter::Direction>(direction->currentData().toInt()));
    });
    auto* command = new QLineEdit(this);
    command->setObjectName("MonitorCommand");
    command->setPlaceholderText("command: 8010, read, search ...");
    connect(command, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_filter.SetCommand(text); });
    auto* bound = new QSpinBox(this);
    bound->setObjectName("MonitorBound");
    bound->setRange(100, 1000000);
    bound->setSingleStep(10000);
    bound->setValue(static_cast<int>(kDefaultRows));
    bound->setSuffix(" rows");
    connect(bound, &QSpinBox::editingFinished, this,
            [this, bound] { m_model.SetBound(static_cast<std::size_t>(bound->value())); });
    auto* pause = new QPushButton("Pause", this);
    pause->setObjectName("MonitorPause");
    pause->setCheckable(true);
    connect(pause, &QPushButton::toggled, this, [this, pause](bool paused) {
        m_paused = paused;
        pause->setText(paused ? "Resume" : "Pause");
        if (!paused)
            Flush();
    });
    auto* copy = new QPushButton("Copy", this);
    copy->setObjectName("MonitorCopy");
    connect(copy, &QPushButton::clicked, this, [this] { CopySelected(); });
    auto* clear = new QPushButton("Clear", this);
    clear->setObjectName("MonitorClear");
    connect(clear, &QPushButton::clicked, this, [this] {
        m_pending.clear();
        m_model.Clear();
    });
    auto* save = new QPushButton("Save…", this);
    save->setObjectName("MonitorSave");
    connect(save, &QPushButton::clicked, this, [this] { Save(); });

    auto* bar = new QHBoxLayout;
    bar->addWidget(direction);
    bar->addWidget(command, 1);
    bar->addWidget(new QLabel("keep", this));
    bar->addWidget(bound);
    for (QWidget* button : {pause, copy, clear, save})
        bar->addWidget(button);

    m_table = new QTableView(this);
    m_table->setObjectName("MonitorTable");
    m_table->setModel(&m_filter);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setWordWrap(false);
    // Fixed row heights: the view never measures 100 000 rows.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->verticalHeader()->hide();
    // Each column as wide as its texts, the header's included; hex gets what is left.
    QHeaderView* header = m_table->horizontalHeader();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(TraceTableModel::kHexColumn, QHeaderView::Stretch);
    for (int column = 0; column < m_model.columnCount(); ++column) {
        m_fitted.push_back(header->sectionSizeHint(column));
        if (column != TraceTableModel::kHexColumn)
            header->resizeSection(column, m_fitted.back());
    }

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_table);

    m_flush.setInterval(kFlushMs);
    connect(&m_flush, &QTimer::timeout, this, [this] { Flush(); });
}

FrameMonitor::~FrameMonitor() {
    if (m_reader != 0)
        m_feed.RemoveReader(m_reader);
}

void FrameMonitor::showEvent(QShowEvent* event) {
    if (m_reader == 0)
        m_reader = m_feed.AddReader([this](const core::FrameTraceRecord& r) { Take(r); });
    m_flush.start();
    QWidget::showEvent(event);
}

void FrameMonitor::hideEvent(QHideEvent* event) {
    // Closed, the monitor costs nothing; opened again it goes on below the rows it kept.
    Flush();
    m_flush.stop();
    if (m_reader != 0)
        m_feed.RemoveReader(m_reader);
    m_reader = 0;
    QWidget::hideEvent(event);
}

void FrameMonitor::Take(const core::FrameTraceRecord& record) {
    m_pending.push_back(record);
    // Paused, only the newest rows the table could hold are kept for the resume.
    if (m_pending.size() >= 2 * m_model.Bound())
        m_pending.erase(m_pending.begin(),
                        m_pending.end() - static_cast<std::ptrdiff_t>(m_model.Bound()));
}

void FrameMonitor::Flush() {
    if (m_paused || m_pending.empty())
        return;
    QScrollBar* scroll = m_table->verticalScrollBar();
    const bool atEnd = scroll->value() == scroll->maximum();
    FitColumns(m_pending);
    m_model.Append(std::exchange(m_pending, {}));
    if (atEnd)
        m_table->scrollToBottom();
}

void FrameMonitor::FitColumns(const std::vector<core::FrameTraceRecord>& batch) {
    const QFontMetrics metrics = m_table->fontMetrics();
    // The margins the view draws beside an item's text, and a little air between columns.
    const int margin =
        2 * (m_table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_table) + 1) +
        metrics.averageCharWidth();
    const auto first =
        batch.end() - static_cast<std::ptrdiff_t>(std::min(batch.size(), kMeasuredRows));
    for (auto record = first; record != batch.end(); ++record) {
        const std::vector<std::string> fields = core::FrameTraceFields(*record);
        for (std::size_t column = 0; column < fields.size(); ++column) {
            if (static_cast<int>(column) == TraceTableModel::kHexColumn)
                continue;
            const int width =
                metrics.horizontalAdvance(QString::fromStdString(fields[column])) + margin;
            if (width > m_fitted[column]) {
                m_fitted[column] = width;
                m_table->horizontalHeader()->resizeSection(static_cast<int>(column), width);
            }
        }
    }
}

std::vector<const core::FrameTraceRecord*> FrameMonitor::ShownRecords() const {
    std::vector<const core::FrameTraceRecord*> records;
    records.reserve(static_cast<std::size_t>(m_filter.rowCount()));
    for (int row = 0; row < m_filter.rowCount(); ++row)
        records.push_back(&m_model.Record(m_filter.mapToSource(m_filter.index(row, 0)).row()));
    return records;
}

void FrameMonitor::CopySelected() {
    QModelIndexList rows = m_table->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end());
    QString text;
    for (const QModelIndex& row : rows)
        text += QString::fromStdString(
                    core::FormatFrameTrace(m_model.Record(m_filter.mapToSource(row).row()))) +
                '\n';
    QApplication::clipboard()->setText(text);
}

void FrameMonitor::Save() {
    const std::string path =
        m_files.Choose("Save frames", "frames.txt", "Text (*.txt *.log);;CSV (*.csv)");
    if (path.empty())
        return;
    const bool csv = EndsWithCsv(path);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    // CSV records end in CRLF; the text keeps the log's form.
    const char* end = csv ? "\r\n" : "\n";
    file << (csv ? core::CsvLine(HeadFields()) : std::string(core::kFrameTraceColumns)) << end;
    for (const core::FrameTraceRecord* record : ShownRecords())
        file << (csv ? core::CsvLine(core::FrameTraceFields(*record))
                     : core::FormatFrameTrace(*record))
             << end;
    file.close();
    if (!file)
        m_dialogs.Warning("The frames could not be saved to " + path);
}
