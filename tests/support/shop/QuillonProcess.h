#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <chrono>
#include <memory>

namespace testsupport {

// `quillon --headless` run as a child process in a given working folder,
// with its own profile, listening on free ports of 127.0.0.1.
class QuillonProcess {
public:
    QuillonProcess(QString workingDirectory, QString profile);
    ~QuillonProcess();

    // Starts it and waits until start-up is over ("System started" and, with
    // --online, both servers' ports).
    bool start(const QStringList& options,
               std::chrono::milliseconds limit = std::chrono::seconds(30));
    int port1() const { return m_port1; }
    int port2() const { return m_port2; }
    // Everything it printed on standard output so far.
    QString output();
    bool waitForOutput(const QString& text,
                       std::chrono::milliseconds limit = std::chrono::seconds(10));
    // SIGTERM and the exit code (-1 when it had to be killed).
    int terminate(std::chrono::milliseconds limit = std::chrono::seconds(10));
    // SIGKILL: a crash or a power cut.
    void kill();
    // Before start(): its standard output goes through a reader process (as
    // into a terminal's pipe), which dropOutputReader() ends.
    void readOutputThroughPipe() { m_throughPipe = true; }
    void dropOutputReader();

private:
    QString m_workingDirectory;
    QString m_profile;
    std::unique_ptr<QProcess> m_process;
    std::unique_ptr<QProcess> m_reader;
    bool m_throughPipe = false;
    QString m_output;
    int m_port1 = 0;
    int m_port2 = 0;
};

} // namespace testsupport
