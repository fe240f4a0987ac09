#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>
#include <thread>

namespace testsupport {

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

namespace {

bool pollUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit,
               bool processEvents) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        if (processEvents) {
            // Under the glib event dispatcher a loop run from inside a queued
            // call does not deliver the calls queued behind it until something
            // new is posted: send them first.
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(processEvents ? 2 : 5));
    }
    return true;
}

} // namespace

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    return pollUntil(condition, limit, false);
}

bool processUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    return pollUntil(condition, limit, true);
}

void whenReady(QObject* context, std::function<bool()> ready, std::function<void()> act,
               std::function<void()> giveUp, std::chrono::milliseconds limit) {
    auto* timer = new QTimer(context);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        const bool isReady = ready();
        if (!isReady && std::chrono::steady_clock::now() < deadline)
            return;
        timer->stop();
        timer->deleteLater();
        if (isReady)
            return act();
        ADD_FAILURE() << "a step waited in vain for " << limit.count() << " ms";
        if (giveUp)
            giveUp();
    });
    timer->start(5);
}

} // namespace testsupport
