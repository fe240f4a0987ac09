#include "support/PythonServer.h"

#include <QDir>
#include <QElapsedTimer>

#include <algorithm>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testsupport {

QString PythonServer::supportFile(const QString& name) {
    return QDir::cleanPath(QStringLiteral(TEST_DATA_DIR) + "/../support/" + name);
}

bool PythonServer::start(const QString& script, const QStringList& arguments,
                         std::chrono::milliseconds limit) {
    stop();
    m_process = std::make_unique<QProcess>();
    m_process->setProgram(QStringLiteral(SYSTEM_PYTHON));
    m_process->setArguments(QStringList{"-u", supportFile(script)} + arguments);
    m_process->start();
    if (!m_process->waitForStarted(int(limit.count()))) {
        m_error = m_process->errorString();
        stop();
        return false;
    }
    QElapsedTimer timer;
    timer.start();
    QByteArray line;
    while (!m_process->canReadLine()) {
        qint64 left = limit.count() - timer.elapsed();
        if (left <= 0 || m_process->state() != QProcess::Running) {
            errorOutput();
            stop();
            return false;
        }
        m_process->waitForReadyRead(int(std::min<qint64>(left, 200)));
    }
    bool ok = false;
    m_port = m_process->readLine().trimmed().toInt(&ok);
    if (!ok || m_port <= 0 || m_port > 65535) {
        stop();
        return false;
    }
    return true;
}

void PythonServer::stop() {
    if (m_process) {
        m_error += QString::fromLocal8Bit(m_process->readAllStandardError());
        if (m_process->state() != QProcess::NotRunning) {
            m_process->kill();
            m_process->waitForFinished(5000);
        }
        m_process.reset();
    }
    m_port = 0;
}

bool PythonServer::isRunning() const {
    return m_process && m_process->state() == QProcess::Running;
}

QString PythonServer::errorOutput() {
    if (m_process)
        m_error += QString::fromLocal8Bit(m_process->readAllStandardError());
    return m_error;
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
