#pragma once

#include "support/PythonServer.h"

namespace testsupport {

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

} // namespace testsupport
