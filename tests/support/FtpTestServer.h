#pragma once

#include "support/PythonServer.h"

#include <QString>

namespace testsupport {

// A real FTP server (ftp_server.py, python3-pyftpdlib) on 127.0.0.1 whose
// one account reads `folder` as its start folder. With `refuseLogins` every
// login fails, as on a server whose account was closed.
class FtpTestServer {
public:
    FtpTestServer(const QString& folder, const QString& user, const QString& password,
                  bool refuseLogins = false) {
        QStringList args{"--folder", folder, "--user", user, "--password", password};
        m_server.start("ftp_server.py", refuseLogins ? args << "--refuse" : args);
    }

    bool isRunning() const { return m_server.isRunning(); }
    // "127.0.0.1:port", usable as a host name with a port.
    QString address() const { return QString("127.0.0.1:%1").arg(m_server.port()); }
    QString errorOutput() { return m_server.errorOutput(); }

private:
    PythonServer m_server;
};

} // namespace testsupport
