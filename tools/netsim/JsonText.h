#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QString>
#include <optional>

namespace quillon {

// Parses JSON text; on failure `error` says where and why.
inline std::optional<QJsonDocument> parseJsonText(const QByteArray& json, QString& error) {
    QJsonParseError parseError;
    QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        error = QString("not valid JSON at offset %1: %2")
                    .arg(parseError.offset)
                    .arg(parseError.errorString());
        return std::nullopt;
    }
    return doc;
}

} // namespace quillon
