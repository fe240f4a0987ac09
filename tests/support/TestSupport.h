#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <chrono>
#include <functional>

namespace testsupport {

// Reads a whole file; empty when it cannot be read.
QByteArray readFile(const QString& path);
bool writeFile(const QString& path, const QByteArray& bytes);

// Polls `condition` every few milliseconds until it holds or `limit` passes.
bool waitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds limit = std::chrono::seconds(10));

// Like waitUntil, but runs the Qt event loop while waiting, so queued calls
// to objects of this thread are delivered, also those queued before a slot
// that waits. Still, a slot or queued call should record and let the test
// assert after it (see whenReady): a loop run inside it runs other slots in
// the middle of it.
bool processUntil(const std::function<bool()>& condition,
                  std::chrono::milliseconds limit = std::chrono::seconds(10));

// Runs `act` from the running event loop once `ready` holds, asking every
// few milliseconds, and returns at once: a slot or a dialog's action that
// must wait for something schedules its next step this way, records what it
// sees and lets the test assert after the run. After `limit` the test fails
// and `giveUp` runs instead (to close the window, say, so the run ends).
void whenReady(QObject* context, std::function<bool()> ready, std::function<void()> act,
               std::function<void()> giveUp = {},
               std::chrono::milliseconds limit = std::chrono::seconds(30));

} // namespace testsupport
