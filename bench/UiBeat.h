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
    Beat() {
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            m_late.push_back(double(now - m_last) / 1e6 - kBeatMs);
            m_last = now;
        });
    }
    void start() {
        m_clock.start();
        m_last = 0;
        m_timer.start(kBeatMs);
    }
    Lateness stop() {
        m_timer.stop();
        // A tick held up until now counts too.
        m_late.push_back(std::max(0.0, double(m_clock.nsecsElapsed() - m_last) / 1e6 - kBeatMs));
        Lateness l;
        l.seconds = double(m_clock.elapsed()) / 1000;
        std::sort(m_late.begin(), m_late.end());
        l.worst = m_late.back();
        l.p99 = m_late[m_late.size() * 99 / 100];
        return l;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    std::vector<double> m_late;
};

} // namespace bench
