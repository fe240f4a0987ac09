#pragma once

// How late the user-interface thread answers: a 10-ms timer on it, and the
// event loop run until something is done.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <vector>

namespace bench {

constexpr int kBeatMs = 10;

// Runs the event loop until `done` or `limitMs`; false on the limit.
inline bool runUntil(const std::function<bool()>& done, int limitMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// The worst and the 99th-percentile lateness of a run, in ms.
struct Lateness {
    double worst = 0;
    double p99 = 0;
    double seconds = 0;
};

// A 10-ms timer on this thread, noting how late each tick comes.
class Beat {
public:
    // Takes each tick's time since the start and its lateness, in ms.
    using Sink = std::function<void(double atMs, double lateMs)>;

    Beat() {
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            note(double(now) / 1e6, double(now - m_last) / 1e6 - kBeatMs);
            m_last = now;
        });
    }
    // With a sink the ticks go to it and are not kept; stop() then gives
    // only the seconds.
    void setSink(Sink sink) { m_sink = std::move(sink); }
    void start() {
        m_clock.start();
        m_last = 0;
        m_timer.start(kBeatMs);
    }
    Lateness stop() {
        m_timer.stop();
        // A tick held up until now counts too.
        const qint64 now = m_clock.nsecsElapsed();
        note(double(now) / 1e6, std::max(0.0, double(now - m_last) / 1e6 - kBeatMs));
        Lateness l;
        l.seconds = double(m_clock.elapsed()) / 1000;
        if (m_late.empty())
            return l;
        std::sort(m_late.begin(), m_late.end());
        l.worst = m_late.back();
        l.p99 = m_late[m_late.size() * 99 / 100];
        return l;
    }

private:
    void note(double atMs, double lateMs) {
        if (m_sink)
            m_sink(atMs, lateMs);
        else
            m_late.push_back(lateMs);
    }

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    std::vector<double> m_late;
    Sink m_sink;
};

} // namespace bench
