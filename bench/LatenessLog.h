#pragma once

// The lateness of a thread's event loop, tick by tick, in a file: what the
// soak benchmark measures on the shop's user-interface thread and, as its
// anchor, on a bare event loop in another process.
#include "UiBeat.h"

#include <QDateTime>
#include <QFile>
#include <QObject>
#include <QTimer>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace bench {

// The lateness of the thread it lives on, tick by tick, as lines
// "MS LATE_MS RUN_MS WAIT_MS" in a file, written out once a second. MS is
// the tick's time in milliseconds since 1970; RUN_MS and WAIT_MS are how long
// since the tick before the thread ran and how long it waited, ready, for a
// processor (the scheduler's own count), so a late tick can be told apart:
// work on the thread, a machine busy with others, or the thread blocked.
class LatenessLog : public QObject {
public:
    // Nothing is measured when the file cannot be written; isOpen() says so.
    LatenessLog(const QString& path, QObject* parent) : QObject(parent), m_file(path) {
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return;
        m_schedule = ::open("/proc/thread-self/schedstat", O_RDONLY | O_CLOEXEC);
        readSchedule(m_runNs, m_waitNs);
        m_beat.setSink([this](double atMs, double lateMs) {
            qint64 run = m_runNs, wait = m_waitNs;
            readSchedule(run, wait);
            m_pending += QByteArray::number(double(m_startMs) + atMs, 'f', 1) + ' ' +
                         QByteArray::number(lateMs, 'f', 2) + ' ' +
                         QByteArray::number(double(run - m_runNs) / 1e6, 'f', 2) + ' ' +
                         QByteArray::number(double(wait - m_waitNs) / 1e6, 'f', 2) + '\n';
            m_runNs = run;
            m_waitNs = wait;
        });
        m_flush.setInterval(1000);
        connect(&m_flush, &QTimer::timeout, this, [this] {
            m_file.write(m_pending);
            m_file.flush();
            m_pending.clear();
        });
        m_startMs = QDateTime::currentMSecsSinceEpoch();
        m_beat.start();
        m_flush.start();
    }
    ~LatenessLog() override {
        if (m_file.isOpen())
            m_file.write(m_pending);
        if (m_schedule >= 0)
            ::close(m_schedule);
    }
    bool isOpen() const { return m_file.isOpen(); }

private:
    // The thread's run and wait times in ns, from the scheduler.
    bool readSchedule(qint64& runNs, qint64& waitNs) {
        char text[96];
        const ssize_t n = m_schedule < 0 ? -1 : ::pread(m_schedule, text, sizeof text - 1, 0);
        if (n <= 0)
            return false;
        text[n] = 0;
        long long run = 0, wait = 0;
        if (std::sscanf(text, "%lld %lld", &run, &wait) != 2)
            return false;
        runNs = run;
        waitNs = wait;
        return true;
    }

    QFile m_file;
    QByteArray m_pending;
    qint64 m_startMs = 0;
    int m_schedule = -1;
    qint64 m_runNs = 0;
    qint64 m_waitNs = 0;
    Beat m_beat;
    QTimer m_flush;
};

} // namespace bench
