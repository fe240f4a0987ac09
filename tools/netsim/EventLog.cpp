#include "EventLog.h"

#include <QDateTime>

namespace quillon {

void EventLog::write(std::string_view peer, std::string_view text) {
    std::string stamp =
        QDateTime::currentDateTime().toString("yyyy-MM-dd hh:mm:ss.zzz").toStdString();
    // A peer's bytes may end up in a text: control characters would break
    // the one-line form, and wire texts are Latin-1, so they are written as
    // UTF-8.
    std::string cleaned(text);
    for (char& c : cleaned)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    std::string line =
        stamp + "  " + std::string(peer.empty() ? "-" : peer) + "  " +
        QString::fromLatin1(cleaned.data(), qsizetype(cleaned.size())).toStdString() + '\n';
    std::lock_guard lock(m_mutex);
    std::fputs(line.c_str(), m_stream);
    std::fflush(m_stream);
}

} // namespace quillon
