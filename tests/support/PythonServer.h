#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <chrono>
#include <memory>

namespace testsupport {

// A test server written in Python: a script in tests/support/ run with the
// system interpreter (SYSTEM_PYTHON, which has python3-aiosmtpd and
// python3-pyftpdlib). The script binds 127.0.0.1 on a free port and prints
// that port as its first line on stdout. The server is killed when this
// object goes (and exits by itself when the test process dies, because its
// stdin closes).
class PythonServer {
public:
    PythonServer() = default;
    ~PythonServer() { stop(); }
    PythonServer(const PythonServer&) = delete;
    PythonServer& operator=(const PythonServer&) = delete;

    // Starts the script and waits at most `limit` for its port.
    bool start(const QString& script, const QStringList& arguments,
               std::chrono::milliseconds limit = std::chrono::seconds(20));
    void stop();

    bool isRunning() const;
    int port() const { return m_port; }
    // What the script wrote to stderr so far, for failure messages.
    QString errorOutput();

    // The full path of a file in tests/support/.
    static QString supportFile(const QString& name);

private:
    std::unique_ptr<QProcess> m_process;
    int m_port = 0;
    QString m_error;
};

// A port on 127.0.0.1 on which nothing listens (bound and closed again), for
// "server down" cases: a connection there is refused at once.
int closedLocalPort();

} // namespace testsupport
