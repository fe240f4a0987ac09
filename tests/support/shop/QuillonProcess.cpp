#include "support/shop/QuillonProcess.h"

#include "support/TestSupport.h"

#include <QRegularExpression>
#include <csignal>

namespace testsupport {

QuillonProcess::QuillonProcess(QString workingDirectory, QString profile)
    : m_workingDirectory(std::move(workingDirectory)), m_profile(std::move(profile)) {}

QuillonProcess::~QuillonProcess() {
    if (m_process && m_process->state() != QProcess::NotRunning)
        kill();
    dropOutputReader();
}

bool QuillonProcess::start(const QStringList& options, std::chrono::milliseconds limit) {
    m_process = std::make_unique<QProcess>();
    m_process->setWorkingDirectory(m_workingDirectory);
    m_process->setProgram(QUILLON_BIN);
    m_process->setArguments(QStringList{"--headless", "--profile", m_profile, "--listen",
                                        "127.0.0.1", "--server1-port", "0", "--server2-port", "0"} +
                            options);
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_output.clear();
    m_port1 = m_port2 = 0;
    if (m_throughPipe) {
        m_reader = std::make_unique<QProcess>();
        m_process->setStandardOutputProcess(m_reader.get());
        m_reader->start("cat", {});
    }
    m_process->start();
    if (!m_process->waitForStarted(int(limit.count())))
        return false;
    bool online = options.contains("--online");
    static const QRegularExpression port("Server ([12]) started\\. Port (\\d+)\\.");
    return waitUntil(
               [&] {
                   QString out = output();
                   for (auto it = port.globalMatch(out); it.hasNext();) {
                       auto m = it.next();
                       (m.captured(1) == "1" ? m_port1 : m_port2) = m.captured(2).toInt();
                   }
                   bool started = out.contains("System started");
                   return m_process->state() == QProcess::NotRunning ||
                          (started && (!online || (m_port1 && m_port2)));
               },
               limit) &&
           m_process->state() == QProcess::Running;
}

QString QuillonProcess::output() {
    if (QProcess* source = m_reader ? m_reader.get() : m_process.get()) {
        source->waitForReadyRead(10);
        m_output += QString::fromLatin1(source->readAllStandardOutput());
    }
    return m_output;
}

void QuillonProcess::dropOutputReader() {
    if (!m_reader)
        return;
    output();
    m_reader->kill();
    m_reader->waitForFinished(5000);
    m_reader.reset();
}

bool QuillonProcess::waitForOutput(const QString& text, std::chrono::milliseconds limit) {
    return waitUntil([&] { return output().contains(text); }, limit);
}

int QuillonProcess::terminate(std::chrono::milliseconds limit) {
    if (!m_process || m_process->state() == QProcess::NotRunning)
        return m_process ? m_process->exitCode() : -1;
    ::kill(pid_t(m_process->processId()), SIGTERM);
    if (!m_process->waitForFinished(int(limit.count()))) {
        kill();
        return -1;
    }
    output();
    return m_process->exitStatus() == QProcess::NormalExit ? m_process->exitCode() : -1;
}

void QuillonProcess::kill() {
    if (!m_process)
        return;
    m_process->kill();
    m_process->waitForFinished(5000);
    output();
}

} // namespace testsupport
