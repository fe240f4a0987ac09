#pragma once

#include "netlib/Socket.h"

#include <functional>
#include <future>
#include <memory>
#include <utility>

namespace testsupport {

// Every wait of a loopback test ends within this, so a fault fails the test
// instead of hanging it.
inline constexpr int kLoopbackIdleMs = 5000;

// A peer on 127.0.0.1 at an ephemeral port: its first connection is handed
// to `handler` on a thread of its own, and closed when the handler returns.
class LoopbackPeer {
public:
    explicit LoopbackPeer(std::function<void(quillon::Socket&)> handler) {
        m_listener.SetReadIdleLimit(kLoopbackIdleMs);
        m_listener.SetSendIdleLimit(kLoopbackIdleMs);
        m_listening = m_listener.BindAndListen(0, 4, "127.0.0.1");
        m_done = std::async(std::launch::async, [this, handler = std::move(handler)] {
            if (auto socket = m_listener.AcceptNextConnection(kLoopbackIdleMs))
                handler(*socket);
        });
    }
    ~LoopbackPeer() {
        if (m_done.valid())
            m_done.wait();
    }
    LoopbackPeer(const LoopbackPeer&) = delete;
    LoopbackPeer& operator=(const LoopbackPeer&) = delete;

    bool listening() const { return m_listening; }
    int port() const { return m_listener.LocalPort(); }
    // Waits until the handler has returned and its connection is closed.
    void finish() {
        if (m_done.valid())
            m_done.get();
    }
    // A client connected to this peer, with bounded waits.
    std::unique_ptr<quillon::Socket> connect() const {
        auto socket = std::make_unique<quillon::Socket>();
        if (!socket->Connect("127.0.0.1", port(), false, kLoopbackIdleMs))
            return nullptr;
        socket->SetReadIdleLimit(kLoopbackIdleMs);
        socket->SetSendIdleLimit(kLoopbackIdleMs);
        return socket;
    }

private:
    quillon::Socket m_listener;
    bool m_listening = false;
    std::future<void> m_done;
};

} // namespace testsupport
