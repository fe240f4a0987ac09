#include "core/CommandLineOptions.h"

namespace quillon {

std::optional<long long> intOption(const QCommandLineParser& parser, const QString& name,
                                   long long min, long long max, QString& error) {
    bool ok = false;
    long long value = parser.value(name).toLongLong(&ok);
    if (!ok || value < min || value > max) {
        error = QString("--%1 must be a whole number from %2 to %3, not \"%4\"")
                    .arg(name)
                    .arg(min)
                    .arg(max)
                    .arg(parser.value(name));
        return std::nullopt;
    }
    return value;
}

} // namespace quillon
