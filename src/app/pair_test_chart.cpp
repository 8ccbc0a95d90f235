#include "pair_test_chart.h"

#include "operations/pair_test_tab.h"

#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QLineSeries>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

PairTestChart::PairTestChart(const PairTestTab& test, QWidget* parent)
    : QWidget(parent), m_test(test), m_view(new QChartView(this)), m_rate(new QLineSeries),
      m_trip(new QLineSeries), m_time(new QValueAxis), m_rateAxis(new QValueAxis),
      m_tripAxis(new QValueAxis) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    QChart* chart = m_view->chart();
    // The plot is small beside the logs: no legend and no axis titles take its height. Each
    // label carries its unit, and each value axis is drawn in its line's colour.
    chart->legend()->hide();
    chart->setMargins(QMargins(2, 2, 2, 2));
    chart->setBackgroundRoundness(0);
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->addSeries(m_rate);
    chart->addSeries(m_trip);
    m_time->setLabelFormat(QStringLiteral("%.1f s"));
    m_rateAxis->setRange(0, 100);
    m_rateAxis->setLabelFormat(QStringLiteral("%d%%"));
    m_tripAxis->setLabelFormat(QStringLiteral("%.0f ms"));
    for (QValueAxis* axis : {m_rateAxis, m_tripAxis})
        axis->setTickCount(3);
    chart->addAxis(m_time, Qt::AlignBottom);
    chart->addAxis(m_rateAxis, Qt::AlignLeft);
    chart->addAxis(m_tripAxis, Qt::AlignRight);
    for (QLineSeries* series : {m_rate, m_trip})
        series->attachAxis(m_time);
    m_rate->attachAxis(m_rateAxis);
    m_trip->attachAxis(m_tripAxis);
    m_rateAxis->setLabelsColor(m_rate->color());
    m_tripAxis->setLabelsColor(m_trip->color());
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setMinimumHeight(160);
    Restart();
    m_timer.setInterval(kSampleMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { Sample(); });
    m_timer.start();
}

void PairTestChart::Restart() {
    m_rate->clear();
    m_trip->clear();
    m_time->setRange(0, 10);
    m_tripAxis->setRange(0, 100);
    m_seenFrames = -1;
    m_tripMax = 0;
}

void PairTestChart::Sample() {
    if (m_test.Run() != m_run) {
        m_run = m_test.Run();
        Restart();
    }
    const core::PairTally& tally = m_test.Tally();
    // Nothing new since the last sample: no point, no redraw.
    const std::int64_t frames = tally.sent + tally.received;
    if (m_run == 0 || frames == m_seenFrames)
        return;
    m_seenFrames = frames;
    const double seconds = static_cast<double>(m_test.ElapsedMs()) / 1000.0;
    if (const auto rate = core::SuccessPercent(tally))
        m_rate->append(seconds, *rate);
    if (const auto trip = m_test.Trips().Last()) {
        m_trip->append(seconds, static_cast<double>(*trip));
        m_tripMax = std::max(m_tripMax, static_cast<double>(*trip));
        m_tripAxis->setRange(0, std::max(100.0, m_tripMax * 1.1));
    }
    for (QLineSeries* series : {m_rate, m_trip}) {
        if (series->count() > kSampleLimit)
            series->removePoints(0, series->count() - kSampleLimit);
    }
    // Whole seconds at the left edge, so the ticks fall on round times.
    const double start = m_rate->count() > 0 ? std::floor(m_rate->at(0).x()) : 0.0;
    m_time->setRange(start, std::max(start + 10.0, seconds));
}
