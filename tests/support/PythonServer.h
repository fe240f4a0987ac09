#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace testsupport {

// A test server written in Python: a script in tests/support/ run with the
// system interpreter (SYSTEM_PYTHON, which has python3-aiosmtpd and
// python3-pyftpdlib). The script binds 127.0.0.1 on a free port and prints
// that port as its first line. The server is killed when this object goes,
// and exits by itself when the test process dies (its stdin closes).
class PythonServer {
public:
    PythonServer(const QString& script, const QStringList& arguments);
    ~PythonServer();
    PythonServer(const PythonServer&) = delete;
    PythonServer& operator=(const PythonServer&) = delete;

    bool isRunning() const { return m_port > 0 && m_process.state() == QProcess::Running; }
    int port() const { return m_port; }
    // "127.0.0.1:port", usable as a host name with a port.
    QString address() const { return QString("127.0.0.1:%1").arg(m_port); }
    // What the script wrote to stderr so far, for failure messages.
    QString errorOutput() { return QString::fromLocal8Bit(m_process.readAllStandardError()); }

    // The full path of a file in tests/support/.
    static QString supportFile(const QString& name);

private:
    QProcess m_process;
    int m_port = 0;
};

// A real FTP server (ftp_server.py, python3-pyftpdlib) on 127.0.0.1 whose
// one account reads `folder` as its start folder. With `refuseLogins` every
// login fails, as on a server whose account was closed.
class FtpTestServer : public PythonServer {
public:
    FtpTestServer(const QString& folder, const QString& user, const QString& password,
                  bool refuseLogins = false)
        : PythonServer("ftp_server.py",
                       QStringList{"--folder", folder, "--user", user, "--password", password} +
                           (refuseLogins ? QStringList{"--refuse"} : QStringList{})) {}
};

// A port on 127.0.0.1 on which nothing listens (bound and closed again), for
// "server down" cases: a connection there is refused at once.
int closedLocalPort();

} // namespace testsupport
