#include "support/NetsimService.h"

#include "support/TestSupport.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSaveFile>

namespace testsupport {

namespace {

constexpr int kStopWaitMs = 5000;

} // namespace

QString NetsimService::program() {
    return QStringLiteral(NETSIM_BIN);
}

QString NetsimService::shopId(int number) {
    NetsimRun run = runNetsim({"mint-shop-id", QString::number(number)});
    return run.exitCode == 0 ? run.out.trimmed() : QString();
}

NetsimService::NetsimService() = default;

NetsimService::~NetsimService() {
    stop();
}

bool NetsimService::start(const QStringList& options, std::chrono::milliseconds limit) {
    stop();
    m_process = std::make_unique<QProcess>();
    m_process->setProgram(program());
    m_process->setArguments(QStringList{"service", "--host", host(), "--port", "0", "--chat-port",
                                        "0", "--print-ports", "--stop-on-eof", "--faults",
                                        filePath("faults.json")} +
                            options);
    m_process->setStandardErrorFile(filePath("service.log"));
    m_process->start();
    if (!m_process->waitForStarted(int(limit.count())))
        return false;
    QElapsedTimer timer;
    timer.start();
    static const QRegularExpression portLine("^(service|chat) port (\\d+)$");
    while (m_servicePort == 0 || m_chatPort == 0) {
        if (!m_process->canReadLine()) {
            qint64 left = limit.count() - timer.elapsed();
            if (left <= 0 || m_process->state() != QProcess::Running) {
                stop();
                return false;
            }
            m_process->waitForReadyRead(int(std::min<qint64>(left, 200)));
            continue;
        }
        auto match = portLine.match(QString::fromUtf8(m_process->readLine()).trimmed());
        if (match.hasMatch())
            (match.captured(1) == "service" ? m_servicePort : m_chatPort) =
                match.captured(2).toInt();
    }
    return true;
}

void NetsimService::stop() {
    if (!m_process)
        return;
    if (m_process->state() != QProcess::NotRunning) {
        // The service stops in order when its standard input ends.
        m_process->closeWriteChannel();
        if (!m_process->waitForFinished(kStopWaitMs)) {
            m_process->kill();
            m_process->waitForFinished(kStopWaitMs);
        }
    }
    m_process.reset();
    m_servicePort = m_chatPort = 0;
}

QString NetsimService::log() const {
    return QString::fromUtf8(readFile(filePath("service.log")));
}

bool NetsimService::waitForLog(const QString& text, std::chrono::milliseconds limit) const {
    return waitUntil([&] { return log().contains(text); }, limit);
}

bool NetsimService::writeFaults(const QByteArray& json) {
    // Whole or not at all: the service may read the file at any moment.
    QSaveFile file(filePath("faults.json"));
    const QByteArray bytes = json + QByteArray(++m_faultWrites, ' ');
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

NetsimRun runNetsim(const QStringList& arguments, std::chrono::milliseconds limit,
                    bool keepEventLoopRunning) {
    QProcess process;
    process.setProgram(NetsimService::program());
    process.setArguments(arguments);
    process.start();
    NetsimRun run;
    run.finished =
        process.waitForStarted(int(limit.count())) &&
        (keepEventLoopRunning
             ? processUntil([&] { return process.state() == QProcess::NotRunning; }, limit)
             : process.waitForFinished(int(limit.count())));
    if (!run.finished) {
        process.kill();
        process.waitForFinished(kStopWaitMs);
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace testsupport
