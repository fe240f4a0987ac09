#pragma once

#include "netlib/AnsiText.h"

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace quillon {

// The shop's 8-bit texts (netlib/AnsiText.h) as Qt shows and edits them.
inline QString toQString(std::string_view ansi) {
    const std::string utf8 = ansiToUtf8(ansi);
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

// Exact for a text that foreignCharacter finds nothing in; otherwise each
// character the 8-bit texts cannot hold becomes '?'.
inline std::string fromQString(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return utf8ToAnsi(std::string_view(utf8.constData(), size_t(utf8.size())));
}

// A character of a QString that the 8-bit texts cannot hold: where it
// starts, how many UTF-16 units it takes (2 for a surrogate pair) and its
// code point (a lone surrogate is its own code).
struct ForeignCharacter {
    qsizetype position = 0;
    qsizetype length = 1;
    char32_t code = 0;
};

// The first such character of `text`; none when fromQString keeps it whole.
inline std::optional<ForeignCharacter> foreignCharacter(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar unit = text[i];
        ForeignCharacter found{i, 1, unit.unicode()};
        if (unit.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            found = {i, 2, QChar::surrogateToUcs4(unit, text[i + 1])};
        else if (!unit.isSurrogate() && ansiByte(unit.unicode()))
            continue;
        return found;
    }
    return std::nullopt;
}

} // namespace quillon
