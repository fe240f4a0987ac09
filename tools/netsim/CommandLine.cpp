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

void printLine(const QString& line) {
    std::fputs((line + '\n').toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
}

} // namespace quillon
