#include "support/SmtpTestServer.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <algorithm>

namespace testsupport {

SmtpTestServer::SmtpTestServer(const QString& folder, const QString& credentials)
    : PythonServer("smtp_server.py",
                   QStringList{"--folder", folder} + (credentials.isEmpty()
                                                          ? QStringList{}
                                                          : QStringList{"--auth", credentials})),
      m_folder(folder) {}

QStringList SmtpTestServer::messageFiles() const {
    QFileInfoList files = QDir(m_folder).entryInfoList({"*.eml"}, QDir::Files);
    std::sort(files.begin(), files.end(), [](const QFileInfo& a, const QFileInfo& b) {
        return a.completeBaseName().toInt() < b.completeBaseName().toInt();
    });
    QStringList paths;
    for (const auto& f : files)
        paths << f.absoluteFilePath();
    return paths;
}

bool SmtpTestServer::waitForMessages(int count, std::chrono::milliseconds limit) const {
    return waitUntil([&] { return messageFiles().size() >= count; }, limit);
}

QStringList ReceivedMail::headerValues(const QString& name) const {
    QStringList values;
    for (const auto& [key, value] : headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            values << value;
    return values;
}

ReceivedMail readReceivedMail(const QString& emlPath) {
    ReceivedMail mail;
    QProcess parser;
    parser.start(QStringLiteral(SYSTEM_PYTHON),
                 {PythonServer::supportFile("parse_mail.py"), emlPath});
    if (!parser.waitForFinished(20000) || parser.exitCode() != 0)
        return mail;
    QJsonObject o = QJsonDocument::fromJson(parser.readAllStandardOutput()).object();
    if (o.isEmpty())
        return mail;

    for (const auto& h : o["headers"].toArray())
        mail.headers.append({h.toArray().at(0).toString(), h.toArray().at(1).toString()});
    std::tie(mail.from, mail.to, mail.subject, mail.body, mail.bodyCharset) =
        std::tuple(o["from"].toString(), o["to"].toString(), o["subject"].toString(),
                   o["body"].toString(), o["body_charset"].toString());
    for (const auto& d : o["defects"].toArray())
        mail.defects << d.toString();
    for (const auto& value : o["attachments"].toArray()) {
        QJsonObject a = value.toObject();
        mail.attachments.append({a["filename"].toString(), a["content_type"].toString(),
                                 qint64(a["size"].toDouble()), a["sha256"].toString()});
    }

    QString envelopePath =
        QFileInfo(emlPath).path() + "/" + QFileInfo(emlPath).completeBaseName() + ".json";
    QJsonObject envelope = QJsonDocument::fromJson(readFile(envelopePath)).object();
    mail.envelopeFrom = envelope["mail_from"].toString();
    for (const auto& r : envelope["rcpt_tos"].toArray())
        mail.envelopeTo << r.toString();
    mail.parsed = true;
    return mail;
}

} // namespace testsupport
