#pragma once

#include "netlib/ByteData.h"

#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>

namespace quillon {

class AbortSwitch;

// One TCP endpoint, connected or listening, over POSIX sockets. Every wait
// is a poll with a limit; nothing spins. A Socket is used by one thread at a
// time; different sockets may be used on different threads at once. Results
// are true/false; LastErrorText says what went wrong. Destroying it closes it.
class Socket {
public:
    static constexpr size_t kDefaultMaxReceiveSize = 65536;
    static constexpr int kDefaultIdleLimitMs = 10000;

    Socket();
    ~Socket();
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    // Connects to host:port, waiting at most maxWaitMs for the connection.
    // TLS is not offered; asking for it fails.
    bool Connect(const std::string& host, int port, bool tls, int maxWaitMs);

    // Idle limits: the longest wait for the peer to make progress, in ms;
    // 0 waits as long as it takes.
    void SetReadIdleLimit(int ms) { m_readIdleMs = ms; }
    void SetSendIdleLimit(int ms) { m_sendIdleMs = ms; }
    int ReadIdleLimit() const { return m_readIdleMs; }
    // The most bytes that one ReceiveBytes takes.
    void SetMaxReceiveSize(size_t bytes) { m_maxReceiveSize = bytes ? bytes : 1; }
    size_t MaxReceiveSize() const { return m_maxReceiveSize; }

    // Listens on `port` (0 picks a free one) at `address` (empty: every
    // IPv4 interface).
    bool BindAndListen(int port, int backlog, const std::string& address = {});
    int LocalPort() const;

    // Waits at most maxWaitMs for a connection. The new socket inherits the
    // idle limits and the maximum receive size of this one.
    std::unique_ptr<Socket> AcceptNextConnection(int maxWaitMs);

    // True when every byte was handed to the connection.
    bool SendBytes(const void* data, size_t count);
    bool SendBytes(const ByteData& bytes) { return SendBytes(bytes.data(), bytes.size()); }
    bool SendU32(uint32_t value);

    // Appends exactly `count` bytes to `out`; false when they did not all
    // arrive (the buffer then holds what did).
    bool ReceiveBytesN(size_t count, ByteData& out);
    // Appends whatever is available, at least one byte and at most the
    // maximum receive size (or `limit` when smaller and not 0).
    bool ReceiveBytes(ByteData& out, size_t limit = 0);
    // Receives whatever is available straight into `buffer`, at least one
    // byte and at most `size` (not 0); 0 when nothing can arrive.
    size_t ReceiveSome(void* buffer, size_t size);

    bool IsListening() const { return m_fd >= 0 && m_listening; }
    std::string PeerAddress() const;
    const std::string& LastErrorText() const { return m_lastError; }
    // True when the last operation failed because a wait reached its limit.
    bool TimedOut() const { return m_timedOut; }

    void Close();
    // Wakes up any wait on this socket from another thread, a connect
    // included; the waiting operation fails, and so does every later one.
    // Safe to call from any thread.
    void Abort();
    // Aborts this socket when `hangUp` is thrown (at once if it has been).
    void SetAbortSwitch(std::shared_ptr<AbortSwitch> hangUp);

private:
    explicit Socket(int fd);
    bool waitFor(short events, int limitMs, const char* what);
    void setError(const std::string& what, int err);
    // The descriptor that a connect is waiting on, or -1; false when the
    // socket has been aborted (the descriptor is then not taken).
    bool setConnecting(int fd);

    std::atomic<int> m_fd{-1};
    std::atomic<int> m_connecting{-1};
    std::atomic<bool> m_aborted{false};
    std::shared_ptr<AbortSwitch> m_abortSwitch;
    // Keeps Abort from shutting down a descriptor number that Close has
    // just released for reuse.
    std::mutex m_closeMutex;
    bool m_listening = false;
    int m_readIdleMs = kDefaultIdleLimitMs;
    int m_sendIdleMs = kDefaultIdleLimitMs;
    size_t m_maxReceiveSize = kDefaultMaxReceiveSize;
    std::string m_lastError;
    bool m_timedOut = false;
};

} // namespace quillon
