#pragma once

#include "netlib/Socket.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <utility>
#include <vector>

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

// Four bytes of a little-endian u32, for building what a peer sends.
inline std::string u32le(uint32_t v) {
    return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

// The first `size` bytes, for cutting a message short.
inline quillon::ByteData prefix(const quillon::ByteData& bytes, size_t size) {
    return quillon::ByteData(bytes.view().substr(0, size));
}

// One step of a scripted peer: read exactly `read` bytes, then send `send`.
struct PeerStep {
    size_t read = 0;
    std::string send;
};

// A peer handler that runs the steps in order and stops (closing the
// connection) at the first that fails.
inline std::function<void(quillon::Socket&)> scripted(std::vector<PeerStep> steps) {
    return [steps = std::move(steps)](quillon::Socket& s) {
        for (const PeerStep& step : steps) {
            quillon::ByteData got;
            if (step.read && !s.ReceiveBytesN(step.read, got))
                return;
            if (!step.send.empty() && !s.SendBytes(step.send.data(), step.send.size()))
                return;
        }
    };
}

// `call` on a client of a peer that runs `steps` fails (< 0), and well
// before the idle limit: the step that failed is noticed, not waited out.
inline void expectFailsAtOnce(const char* step, std::vector<PeerStep> steps,
                              const std::function<int(quillon::Socket&)>& call) {
    SCOPED_TRACE(step);
    LoopbackPeer peer(scripted(std::move(steps)));
    auto client = peer.connect();
    ASSERT_TRUE(client);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_LT(call(*client), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start,
              std::chrono::milliseconds(kLoopbackIdleMs / 2));
}

} // namespace testsupport
