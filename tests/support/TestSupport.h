#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <string>

namespace testsupport {

// Reads a whole file; empty when it cannot be read.
QByteArray readFile(const QString& path);
bool writeFile(const QString& path, const QByteArray& bytes);

// Polls `condition` every few milliseconds until it holds or `limit` passes.
bool waitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds limit = std::chrono::seconds(10));

} // namespace testsupport
