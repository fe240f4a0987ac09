#include "support/FtpTestServer.h"

namespace testsupport {

FtpTestServer::FtpTestServer(const QString& folder, const QString& user, const QString& password,
                             bool refuseLogins) {
    QStringList args{"--folder", folder, "--user", user, "--password", password};
    if (refuseLogins)
        args << "--refuse";
    m_server.start("ftp_server.py", args);
}

} // namespace testsupport
