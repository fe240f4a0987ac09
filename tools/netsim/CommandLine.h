#pragma once

#include "core/CommandLineOptions.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <optional>

namespace quillon {

// Exit statuses of every command.
enum ExitStatus : int {
    kExitOk = 0,
    kExitFailed = 1,      // the conversation failed or went other than expected
    kExitUsage = 2,       // bad command line
    kExitCannotStart = 3, // cannot listen, cannot read the state file
};

inline constexpr char kProgram[] = "quillon-netsim";

// A command's parser with --help. `arguments` starts with the command
// name. Returns the exit status when the command should end here (help
// shown, or a usage error reported), none when it should go on.
std::optional<int> parseCommand(QCommandLineParser& parser, const QString& command,
                                const QStringList& arguments, const QString& usageTail = {},
                                const QString& moreHelp = {});

// Reports a usage error for `command` on stderr; returns kExitUsage.
int usageError(const QString& command, const QString& message);

// Prints a line to stdout and flushes it, so a reading process sees it.
void printLine(const QString& line);

} // namespace quillon
