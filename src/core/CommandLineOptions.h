#pragma once

#include <QCommandLineParser>
#include <QString>
#include <optional>

namespace quillon {

// The option's value as a whole number from `min` to `max`, or none with
// `error` naming the option and the value given. A bad number is the
// caller's usage error, never quietly the default.
std::optional<long long> intOption(const QCommandLineParser& parser, const QString& name,
                                   long long min, long long max, QString& error);

} // namespace quillon
