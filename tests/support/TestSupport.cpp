#include "support/TestSupport.h"

#include <QFile>
#include <thread>

namespace testsupport {

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

} // namespace testsupport

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

namespace testsupport {

bool processUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

struct ShopFolder::Impl {
    QTemporaryDir dir;
};

ShopFolder::ShopFolder() : m_impl(new Impl) {
    QDir d(m_impl->dir.path());
    for (const char* sub : {"Db", "SystemLog", "OrderLog", "plugin", "History", "Orders"})
        d.mkdir(sub);
}

ShopFolder::~ShopFolder() {
    delete m_impl;
}

QString ShopFolder::path() const {
    return m_impl->dir.path();
}

QString ShopFolder::filePath(const QString& relative) const {
    return m_impl->dir.filePath(relative);
}

QStringList ShopFolder::files(const QString& folder) const {
    return QDir(filePath(folder)).entryList(QDir::Files, QDir::Name);
}

} // namespace testsupport
