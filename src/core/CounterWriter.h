#pragma once

#include <QString>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

namespace quillon {

// Keeps the profile's currentnumber up to date as orders are numbered, so a
// crash never hands out a number whose folder already exists. The profile
// is written (and flushed to disk) on a thread of its own, so numbering an
// order never waits for the disk; only the latest number is written.
class CounterWriter {
public:
    // `iniFile` as the settings store takes it (empty: the native profile).
    explicit CounterWriter(QString iniFile);
    // Writes the last number given, then ends.
    ~CounterWriter();

    void write(uint32_t currentnumber);

private:
    void run();

    QString m_iniFile;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<uint32_t> m_pending;
    bool m_quit = false;
    std::thread m_thread;
};

} // namespace quillon
