#include "netlib/Socket.h"

#include "netlib/AbortSwitch.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quillon {

namespace {

using Clock = std::chrono::steady_clock;

std::string errorText(int err) {
    char buf[256];
    // GNU strerror_r returns the text, which may or may not live in buf.
    const char* text = strerror_r(err, buf, sizeof buf);
    return text ? text : "unknown error";
}

void setNonBlocking(int fd) {
    int flags = fcntl(fd, F_GETFL, 0);
    if (flags >= 0)
        fcntl(fd, F_SETFL, flags | O_NONBLOCK);
}

int remainingMs(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? int(left.count()) : 0;
}

} // namespace

Socket::Socket() = default;

Socket::Socket(int fd) : m_fd(fd) {}

Socket::~Socket() {
    if (m_abortSwitch)
        m_abortSwitch->detach(*this);
    Close();
}

void Socket::Close() {
    std::lock_guard lock(m_closeMutex);
    int fd = m_fd.exchange(-1);
    if (fd >= 0)
        ::close(fd);
    m_listening = false;
}

void Socket::Abort() {
    std::lock_guard lock(m_closeMutex);
    m_aborted = true;
    for (int fd : {m_fd.load(), m_connecting.load()})
        if (fd >= 0)
            ::shutdown(fd, SHUT_RDWR);
}

void Socket::SetAbortSwitch(std::shared_ptr<AbortSwitch> hangUp) {
    if (m_abortSwitch)
        m_abortSwitch->detach(*this);
    m_abortSwitch = std::move(hangUp);
    if (m_abortSwitch)
        m_abortSwitch->attach(*this);
}

bool Socket::setConnecting(int fd) {
    std::lock_guard lock(m_closeMutex);
    m_connecting = m_aborted ? -1 : fd;
    return fd < 0 || !m_aborted;
}

void Socket::setError(const std::string& what, int err) {
    m_lastError = err ? what + ": " + errorText(err) : what;
    m_timedOut = false;
}

// Waits until the socket is ready for `events`; limitMs 0 waits forever.
bool Socket::waitFor(short events, int limitMs, const char* what) {
    int fd = m_fd.load();
    if (fd < 0) {
        setError("Socket is not open", 0);
        return false;
    }
    // Checked before the wait: an abort after this point shuts the socket
    // down, which ends the wait.
    if (m_aborted) {
        setError(std::string(what) + " aborted", 0);
        return false;
    }
    pollfd p{fd, events, 0};
    for (;;) {
        int n = ::poll(&p, 1, limitMs > 0 ? limitMs : -1);
        if (n > 0) {
            // A hang-up or error still counts as ready: the following read or
            // write reports what happened.
            return true;
        }
        if (n == 0) {
            setError(std::string(what) + " timed out", 0);
            m_timedOut = true;
            return false;
        }
        if (errno != EINTR) {
            setError(what, errno);
            return false;
        }
    }
}

bool Socket::Connect(const std::string& host, int port, bool tls, int maxWaitMs) {
    Close();
    if (tls) {
        setError("TLS connections are not supported", 0);
        return false;
    }
    if (port <= 0 || port > 65535) {
        setError("Invalid port", 0);
        return false;
    }
    auto deadline = Clock::now() + std::chrono::milliseconds(maxWaitMs > 0 ? maxWaitMs : 1);

    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    std::string service = std::to_string(port);
    int rc = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &list);
    if (rc != 0) {
        m_lastError = "Cannot resolve host " + host + ": " + gai_strerror(rc);
        return false;
    }
    int lastErr = 0;
    for (addrinfo* ai = list; ai; ai = ai->ai_next) {
        int fd = ::socket(ai->ai_family, ai->ai_socktype | SOCK_CLOEXEC, ai->ai_protocol);
        if (fd < 0) {
            lastErr = errno;
            continue;
        }
        setNonBlocking(fd);
        if (!setConnecting(fd)) {
            ::close(fd);
            lastErr = ECONNABORTED;
            break;
        }
        if (::connect(fd, ai->ai_addr, ai->ai_addrlen) == 0) {
            setConnecting(-1);
            m_fd = fd;
            break;
        }
        if (errno != EINPROGRESS) {
            lastErr = errno;
            setConnecting(-1);
            ::close(fd);
            continue;
        }
        pollfd p{fd, POLLOUT, 0};
        int n;
        do {
            n = ::poll(&p, 1, remainingMs(deadline));
        } while (n < 0 && errno == EINTR);
        int soErr = 0;
        socklen_t len = sizeof soErr;
        setConnecting(-1);
        if (n > 0 && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &soErr, &len) == 0 && soErr == 0 &&
            !m_aborted) {
            m_fd = fd;
            break;
        }
        lastErr = m_aborted ? ECONNABORTED : n == 0 ? ETIMEDOUT : (n < 0 ? errno : soErr);
        ::close(fd);
        if (m_aborted || remainingMs(deadline) == 0)
            break;
    }
    ::freeaddrinfo(list);
    if (m_fd < 0) {
        setError("Cannot connect to " + host + ":" + service, lastErr ? lastErr : ETIMEDOUT);
        return false;
    }
    int one = 1;
    ::setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    m_lastError.clear();
    return true;
}

bool Socket::BindAndListen(int port, int backlog, const std::string& address) {
    Close();
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        setError("Cannot create socket", errno);
        return false;
    }
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(uint16_t(port));
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    if (!address.empty() && ::inet_pton(AF_INET, address.c_str(), &addr.sin_addr) != 1) {
        ::close(fd);
        setError("Invalid listen address " + address, 0);
        return false;
    }
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        setError("Cannot bind port " + std::to_string(port), errno);
        ::close(fd);
        return false;
    }
    if (::listen(fd, backlog) != 0) {
        setError("Cannot listen on port " + std::to_string(port), errno);
        ::close(fd);
        return false;
    }
    setNonBlocking(fd);
    m_fd = fd;
    m_listening = true;
    m_lastError.clear();
    return true;
}

int Socket::LocalPort() const {
    sockaddr_storage addr{};
    socklen_t len = sizeof addr;
    if (m_fd < 0 || ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
        return 0;
    if (addr.ss_family == AF_INET)
        return ntohs(reinterpret_cast<sockaddr_in*>(&addr)->sin_port);
    if (addr.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<sockaddr_in6*>(&addr)->sin6_port);
    return 0;
}

std::string Socket::PeerAddress() const {
    sockaddr_storage addr{};
    socklen_t len = sizeof addr;
    if (m_fd < 0 || ::getpeername(m_fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
        return {};
    char host[INET6_ADDRSTRLEN] = {};
    if (addr.ss_family == AF_INET)
        ::inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(&addr)->sin_addr, host, sizeof host);
    else if (addr.ss_family == AF_INET6)
        ::inet_ntop(AF_INET6, &reinterpret_cast<sockaddr_in6*>(&addr)->sin6_addr, host,
                    sizeof host);
    return host;
}

std::unique_ptr<Socket> Socket::AcceptNextConnection(int maxWaitMs) {
    if (!IsListening()) {
        setError("Socket is not listening", 0);
        return nullptr;
    }
    pollfd p{m_fd, POLLIN, 0};
    int n;
    do {
        n = ::poll(&p, 1, maxWaitMs > 0 ? maxWaitMs : 0);
    } while (n < 0 && errno == EINTR);
    if (n <= 0)
        return nullptr;
    int fd = ::accept4(m_fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
        setError("Accept failed", errno);
        return nullptr;
    }
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &one, sizeof one);
    std::unique_ptr<Socket> s(new Socket(fd));
    s->m_readIdleMs = m_readIdleMs;
    s->m_sendIdleMs = m_sendIdleMs;
    s->m_maxReceiveSize = m_maxReceiveSize;
    return s;
}

bool Socket::SendBytes(const void* data, size_t count) {
    const auto* p = static_cast<const uint8_t*>(data);
    while (count > 0) {
        int fd = m_fd.load();
        if (fd < 0 || m_listening) {
            setError("Socket is not connected", 0);
            return false;
        }
        ssize_t n = ::send(fd, p, count, MSG_NOSIGNAL);
        if (n > 0) {
            p += n;
            count -= size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!waitFor(POLLOUT, m_sendIdleMs, "Send"))
                return false;
            continue;
        }
        setError("Send failed", n < 0 ? errno : EPIPE);
        return false;
    }
    return true;
}

bool Socket::SendU32(uint32_t value) {
    uint8_t b[4];
    writeU32LE(b, value);
    return SendBytes(b, 4);
}

bool Socket::ReceiveBytes(ByteData& out, size_t limit) {
    size_t want = m_maxReceiveSize;
    if (limit != 0 && limit < want)
        want = limit;
    const size_t old = out.size();
    out.resize(old + want);
    const size_t n = ReceiveSome(out.data() + old, want);
    out.resize(old + n);
    return n > 0;
}

size_t Socket::ReceiveSome(void* buffer, size_t size) {
    for (;;) {
        int fd = m_fd.load();
        if (fd < 0 || m_listening) {
            setError("Socket is not connected", 0);
            return 0;
        }
        ssize_t n = ::recv(fd, buffer, size, 0);
        if (n > 0)
            return size_t(n);
        if (n == 0) {
            setError("Connection closed by peer", 0);
            return 0;
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            setError("Receive failed", errno);
            return 0;
        }
        if (!waitFor(POLLIN, m_readIdleMs, "Receive"))
            return 0;
    }
}

bool Socket::ReceiveBytesN(size_t count, ByteData& out) {
    size_t got = 0;
    while (got < count) {
        size_t before = out.size();
        if (!ReceiveBytes(out, count - got))
            return false;
        got += out.size() - before;
    }
    return true;
}

} // namespace quillon
