// The live plot of a pair test run: success rate and round-trip time over the run. It samples
// the test a few times a second on a timer of its own, so the receive poll never waits for a
// redraw however fast the frames come.
#pragma once

#include <QTimer>
#include <QWidget>

class PairTestTab;
class QChartView;
class QLineSeries;
class QValueAxis;

class PairTestChart : public QWidget {
public:
    static constexpr int kSampleMs = 250;
    // At most this many samples per line: past it the oldest go, so a long run keeps a
    // bounded plot that still shows its last hour at the sample period.
    static constexpr int kSampleLimit = 14400;

    PairTestChart(const PairTestTab& test, QWidget* parent);

    // One sample: the points of the run so far and the axes fitted to them.
    void Sample();
    QTimer& SampleTimer() { return m_timer; }
    const QLineSeries& RateSeries() const { return *m_rate; }
    const QLineSeries& TripSeries() const { return *m_trip; }

private:
    void Restart();

    const PairTestTab& m_test;
    QTimer m_timer;
    QChartView* m_view;
    QLineSeries* m_rate;
    QLineSeries* m_trip;
    QValueAxis* m_time;
    QValueAxis* m_rateAxis;
    QValueAxis* m_tripAxis;
    int m_run = 0;
    std::int64_t m_seenFrames = -1;
    double m_tripMax = 0;
};
