#include "core/Logs.h"

#include "core/WorkingFolders.h"
#include "orders/FilePaths.h"
#include "orders/SaveFile.h"

#include <QDir>
#include <QSaveFile>
#include <cstdio>
#include <vector>

namespace quillon {

std::string formatStatusLine(const std::tm& t, const std::string& text) {
    char stamp[40];
    std::snprintf(stamp, sizeof stamp, "%02d.%02d.%02d %02d:%02d  ", (t.tm_year - 100) % 100,
                  t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min);
    return stamp + text;
}

std::string formatClock(const std::tm& t) {
    char text[40];
    std::snprintf(text, sizeof text, "%02d-%02d-%02d %02d:%02d", (t.tm_year - 100) % 100,
                  t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min);
    return text;
}

std::string nextLogFileName(const std::string& folder, const std::string& prefix,
                            const std::string& extension) {
    constexpr int kNames = 1000000;
    // One listing of the folder instead of a million opens. A name counts
    // as taken when any entry has it, even one we could not read.
    std::vector<bool> taken(kNames, false);
    const QString pre = QString::fromStdString(prefix);
    const QString ext = "." + QString::fromStdString(extension);
    const QStringList names =
        QDir(qtPath(folder)).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        if (name.size() != pre.size() + 6 + ext.size() || !name.startsWith(pre) ||
            !name.endsWith(ext))
            continue;
        bool ok = false;
        QStringView digits = QStringView(name).mid(pre.size(), 6);
        int n = digits.toInt(&ok);
        if (ok && n >= 0 && n < kNames && digits.front().isDigit())
            taken[n] = true;
    }
    for (int n = 0; n < kNames; ++n) {
        if (!taken[n]) {
            char number[8];
            std::snprintf(number, sizeof number, "%06d", n);
            return joinPath(folder, prefix + number + "." + extension);
        }
    }
    return joinPath(folder, prefix + "OVERFLOW." + extension);
}

bool writeSystemLog(const std::string& workingDirectory, const std::vector<std::string>& lines) {
    std::string path =
        nextLogFileName(joinPath(workingDirectory, kSystemLogFolder), "SYSLOG", "TXT");
    QSaveFile file(qtPath(path));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return writeAll(file, text) && commitWhole(file);
}

std::string nextOrderLogFileName(const std::string& workingDirectory) {
    return nextLogFileName(joinPath(workingDirectory, kOrderLogFolder), "ORDERLOG", "XML");
}

bool MidnightPurgeTrigger::tick(const std::tm& t, int purgeSetting) {
    if (purgeSetting == 0)
        return false;
    if (t.tm_hour != 0 || t.tm_min != 0) {
        m_purgedThisMinute = false;
        return false;
    }
    if (m_purgedThisMinute)
        return false;
    m_purgedThisMinute = true;
    return true;
}

} // namespace quillon
