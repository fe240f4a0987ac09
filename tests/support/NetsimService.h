#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <chrono>
#include <memory>

namespace testsupport {

// A running `quillon-netsim service` (the simulated central service and
// chat) on 127.0.0.1 with free ports. Fault rules go in as options
// ({"--fault", "6/2:returncode=-3"}) or through its fault control file
// (writeFaults), read before each request; `quillon-netsim service --help`
// documents them.
// The log (one line per request) goes to a file, so a busy test never
// blocks the service. It stops when this object goes, or by itself when the
// test process dies (its standard input closes).
class NetsimService {
public:
    NetsimService();
    ~NetsimService();
    NetsimService(const NetsimService&) = delete;
    NetsimService& operator=(const NetsimService&) = delete;

    // Starts the service with `options` added and waits at most `limit` for
    // its two ports. False when it did not start; log() then says why.
    bool start(const QStringList& options = {},
               std::chrono::milliseconds limit = std::chrono::seconds(20));

    QString host() const { return QStringLiteral("127.0.0.1"); }
    int servicePort() const { return m_servicePort; }
    int chatPort() const { return m_chatPort; }

    // What the service logged so far, one line per request.
    QString log() const;
    // Waits until the log holds `text`.
    bool waitForLog(const QString& text,
                    std::chrono::milliseconds limit = std::chrono::seconds(10)) const;

    // Replaces the fault rules (a JSON list); each write differs from the
    // last, so the service arms the rules afresh even when they are the same.
    bool writeFaults(const QByteArray& json);

    // The SHOP ID that the service gives shop number `number`.
    static QString shopId(int number);
    static QString program();

private:
    // Asks it to stop and waits (bounded); kills it when it does not.
    void stop();
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

    std::unique_ptr<QProcess> m_process;
    QTemporaryDir m_dir;
    int m_servicePort = 0;
    int m_chatPort = 0;
    int m_faultWrites = 0;
};

// The outcome of a quillon-netsim command run to its end.
struct NetsimRun {
    bool finished = false; // false when it had to be killed
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs `quillon-netsim arguments...` and waits at most `limit` for it. With
// `keepEventLoopRunning` the Qt event loop turns meanwhile, so a shop on this
// thread can answer the command.
NetsimRun runNetsim(const QStringList& arguments,
                    std::chrono::milliseconds limit = std::chrono::seconds(60),
                    bool keepEventLoopRunning = false);

} // namespace testsupport
