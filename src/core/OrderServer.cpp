#include "core/OrderServer.h"

#include <QMetaObject>
#include <QObject>
#include <chrono>
#include <future>

namespace quillon {

OrderServer::~OrderServer() {
    stop();
}

bool OrderServer::listen(int port, const std::string& address) {
    if (m_listener.IsListening())
        return true;
    m_listener.SetMaxReceiveSize(32768);
    return m_listener.BindAndListen(port, 25, address);
}

void OrderServer::startThread(QObject* context, Handler handler, const std::atomic<bool>* stop,
                              std::function<void()> ended, int acceptWaitMs) {
    m_thread = std::thread(&OrderServer::run, this, context, std::move(handler), stop,
                           std::move(ended), acceptWaitMs);
}

void OrderServer::run(QObject* context, Handler handler, const std::atomic<bool>* stop,
                      std::function<void()> ended, int acceptWaitMs) {
    while (!stop->load()) {
        std::unique_ptr<Socket> connection = m_listener.AcceptNextConnection(acceptWaitMs);
        if (!connection)
            continue;
        // Hand the connection over and wait until the handler has run. If the
        // context drops the queued call (it is going away), the promise breaks
        // and the wait ends. A stop also ends the wait, so the
        // UI thread may join this thread without waiting for itself.
        auto done = std::make_shared<std::promise<void>>();
        std::future<void> handled = done->get_future();
        auto sock = std::make_shared<std::unique_ptr<Socket>>(std::move(connection));
        QMetaObject::invokeMethod(
            context,
            [handler, sock, done] {
                handler(std::move(*sock));
                done->set_value();
            },
            Qt::QueuedConnection);
        done.reset();
        while (handled.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready)
            if (stop->load())
                break;
    }
    QMetaObject::invokeMethod(context, std::move(ended), Qt::QueuedConnection);
}

void OrderServer::stop() {
    if (m_thread.joinable())
        m_thread.join();
    m_listener.Close();
}

} // namespace quillon
