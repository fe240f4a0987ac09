#pragma once

#include <QString>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

namespace quillon {

// Keeps the profile's currentnumber up to date as orders are numbered, so a
// crash never hands out a number whose folder already exists. The profile
// is written (and flushed to disk) on a thread of its own, so numbering an
// order never waits for the disk on the shop's thread; only the latest
// number is written. The registration waits on its own thread until the
// number is on disk before it sends the number out.
class CounterWriter {
public:
    // `iniFile` as the settings store takes it (empty: the native profile).
    explicit CounterWriter(QString iniFile);
    // Writes the last number given, then ends.
    ~CounterWriter();

    void write(uint32_t currentnumber);
    // Returns once every number given so far is on disk (true), or when
    // `limit` has passed or the writer is ending (false).
    bool waitUntilWritten(std::chrono::milliseconds limit);

private:
    void run();

    QString m_iniFile;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_written;
    std::optional<uint32_t> m_pending;
    // Numbers given and numbers on disk, counted; the counter wraps around,
    // these do not.
    uint64_t m_givenCount = 0;
    uint64_t m_writtenCount = 0;
    bool m_quit = false;
    std::thread m_thread;
};

} // namespace quillon
