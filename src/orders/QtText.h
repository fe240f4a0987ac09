#pragma once

#include "netlib/AnsiText.h"

#include <QString>
#include <string>
#include <string_view>

namespace quillon {

// The shop's 8-bit texts (netlib/AnsiText.h) as Qt shows and edits them.
inline QString toQString(std::string_view ansi) {
    const std::string utf8 = ansiToUtf8(ansi);
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

inline std::string fromQString(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return utf8ToAnsi(std::string_view(utf8.constData(), size_t(utf8.size())));
}

} // namespace quillon
