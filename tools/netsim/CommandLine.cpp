#include "CommandLine.h"

#include <cstdio>

namespace quillon {

std::optional<int> parseCommand(QCommandLineParser& parser, const QString& command,
                                const QStringList& arguments, const QString& usageTail,
                                const QString& moreHelp) {
    QCommandLineOption help({"h", "help"}, "Shows this help.");
    parser.addOption(help);
    QStringList args = arguments;
    args.prepend(kProgram);
    if (!parser.parse(args))
        return usageError(command, parser.errorText());
    if (parser.isSet(help)) {
        QString text = parser.helpText();
        // The first line names the program as started; name the command.
        qsizetype end = text.indexOf('\n');
        QString usage = QString("Usage: %1 %2 [options]").arg(kProgram, command);
        if (!usageTail.isEmpty())
            usage += ' ' + usageTail;
        text.replace(0, end, usage);
        if (!moreHelp.isEmpty())
            text += '\n' + moreHelp + '\n';
        std::fputs(text.toLocal8Bit().constData(), stdout);
        std::fflush(stdout);
        return kExitOk;
    }
    return std::nullopt;
}

int usageError(const QString& command, const QString& message) {
    std::fprintf(stderr, "%s %s: %s\nTry '%s %s --help'.\n", kProgram,
                 command.toLocal8Bit().constData(), message.toLocal8Bit().constData(), kProgram,
                 command.toLocal8Bit().constData());
    return kExitUsage;
}

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

void printLine(const QString& line) {
    std::fputs((line + '\n').toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
}

} // namespace quillon
