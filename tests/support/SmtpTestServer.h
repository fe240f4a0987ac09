#pragma once

#include "support/PythonServer.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <chrono>

namespace testsupport {

// A real SMTP server (smtp_server.py, python3-aiosmtpd) on 127.0.0.1 that
// stores every message it accepts in `folder`. With `credentials`
// ("user:password") it requires AUTH before it accepts mail.
class SmtpTestServer : public PythonServer {
public:
    explicit SmtpTestServer(const QString& folder, const QString& credentials = {});

    // The stored messages (N.eml), oldest first.
    QStringList messageFiles() const;
    bool waitForMessages(int count,
                         std::chrono::milliseconds limit = std::chrono::seconds(10)) const;

private:
    QString m_folder;
};

// One stored message as Python's e-mail package reads it (parse_mail.py),
// with the envelope the server received.
struct ReceivedMail {
    struct Attachment {
        QString fileName;
        QString contentType;
        qint64 size = 0;
        QString sha256; // hex
    };

    bool parsed = false;
    QString envelopeFrom;
    QStringList envelopeTo;
    QList<QPair<QString, QString>> headers; // in order, values as sent (unfolded)
    QString from;                           // decoded header texts
    QString to;
    QString subject;
    QString body; // the text/plain part, decoded, lines ending in LF
    QString bodyCharset;
    QList<Attachment> attachments;
    QStringList defects; // problems the parser found in the message

    // Every value of the header `name` (case-insensitive).
    QStringList headerValues(const QString& name) const;
};

ReceivedMail readReceivedMail(const QString& emlPath);

} // namespace testsupport
