#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
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
        if (processEvents)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
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

ShopFolder::ShopFolder() {
    QDir d(m_dir.path());
    for (const char* sub : {"Db", "SystemLog", "OrderLog", "plugin", "History", "Orders"})
        d.mkdir(sub);
}

QStringList ShopFolder::files(const QString& folder) const {
    return QDir(filePath(folder)).entryList(QDir::Files, QDir::Name);
}

} // namespace testsupport
