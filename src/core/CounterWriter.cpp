#include "core/CounterWriter.h"

#include "core/SettingsStore.h"

#include <QSettings>

namespace quillon {

CounterWriter::CounterWriter(QString iniFile)
    : m_iniFile(std::move(iniFile)), m_thread([this] { run(); }) {}

CounterWriter::~CounterWriter() {
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_one();
    m_written.notify_all();
    m_thread.join();
}

void CounterWriter::write(uint32_t currentnumber) {
    {
        std::lock_guard lock(m_mutex);
        m_pending = currentnumber;
        ++m_givenCount;
    }
    m_wake.notify_one();
}

bool CounterWriter::waitUntilWritten(std::chrono::milliseconds limit) {
    std::unique_lock lock(m_mutex);
    const uint64_t given = m_givenCount;
    return m_written.wait_for(lock, limit, [&] { return m_writtenCount >= given || m_quit; }) &&
           m_writtenCount >= given;
}

void CounterWriter::run() {
    // A QSettings of this thread's own: distinct objects may use the same
    // profile from several threads at once.
    SettingsStore store(m_iniFile);
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_pending || m_quit; });
        if (m_pending) {
            const uint32_t n = *m_pending;
            const uint64_t count = m_givenCount;
            m_pending.reset();
            lock.unlock();
            store.writeCurrentNumber(n);
            lock.lock();
            m_writtenCount = count;
            m_written.notify_all();
            continue;
        }
        return;
    }
}

} // namespace quillon
