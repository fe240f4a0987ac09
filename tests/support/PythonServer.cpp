#include "support/PythonServer.h"

#include "support/TestSupport.h"

#include <QDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testsupport {

QString PythonServer::supportFile(const QString& name) {
    return QStringLiteral(TEST_SUPPORT_DIR "/") + name;
}

PythonServer::PythonServer(const QString& script, const QStringList& arguments) {
    m_process.start(QStringLiteral(SYSTEM_PYTHON),
                    QStringList{"-u", supportFile(script)} + arguments);
    // Bounded: a script that dies or never prints leaves port() at 0.
    waitUntil(
        [this] {
            m_process.waitForReadyRead(100);
            return m_process.canReadLine() || m_process.state() == QProcess::NotRunning;
        },
        std::chrono::seconds(20));
    if (m_process.canReadLine())
        m_port = m_process.readLine().trimmed().toInt();
}

PythonServer::~PythonServer() {
    m_process.kill();
    m_process.waitForFinished(5000);
}

int closedLocalPort() {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return 0;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
        port = ntohs(addr.sin_port);
    ::close(fd);
    return port;
}

} // namespace testsupport
