#include "CredentialCommands.h"

#include "CommandLine.h"
#include "ServiceState.h"

#include "protocol/Credentials.h"

#include <QCommandLineParser>
#include <functional>

namespace quillon {

namespace {

struct OneArgumentCommand {
    const char* name;
    const char* description;
    const char* argument;
    const char* argumentHelp;
    const char* refusal; // the usage error for anything but one good argument
};

// A command that takes one argument and prints what `convert` makes of it;
// nothing from `convert` is a usage error.
int runOneArgumentCommand(const QStringList& arguments, const OneArgumentCommand& c,
                          const std::function<std::optional<QString>(const QString&)>& convert) {
    QCommandLineParser parser;
    parser.setApplicationDescription(c.description);
    parser.addPositionalArgument(c.argument, c.argumentHelp);
    if (auto done = parseCommand(parser, c.name, arguments, c.argument))
        return *done;
    const QStringList args = parser.positionalArguments();
    const std::optional<QString> line = args.size() == 1 ? convert(args.first()) : std::nullopt;
    if (!line)
        return usageError(c.name, c.refusal);
    printLine(*line);
    return kExitOk;
}

} // namespace

int runMintShopIdCommand(const QStringList& arguments) {
    const OneArgumentCommand c{
        "mint-shop-id",
        "Prints the SHOP ID ticket of a shop number: the credential encryption of \"O1\"\n"
        "followed by the six-digit number. It is the ID that the service gives the shop\n"
        "and that the shop's order server 2 checks registrations against.",
        "N", "Shop number, 1 to 999999.", "give one shop number from 1 to 999999"};
    return runOneArgumentCommand(arguments, c, [](const QString& text) -> std::optional<QString> {
        bool ok = false;
        const int number = text.toInt(&ok);
        if (!ok || number < 1 || number > 999999)
            return std::nullopt;
        return QString::fromStdString(ServiceState::mintShopId(number));
    });
}

int runShopNumberCommand(const QStringList& arguments) {
    const OneArgumentCommand c{
        "shop-number",
        "Prints the shop number in a SHOP ID ticket, the reverse of mint-shop-id: the\n"
        "number that the network's registrations of orders for this shop carry.",
        "ID", "SHOP ID, 32 hexadecimal characters.", "give one SHOP ID"};
    return runOneArgumentCommand(arguments, c, [](const QString& text) -> std::optional<QString> {
        const std::optional<Ticket> ticket = decryptTicket(text.toLatin1().toStdString());
        if (!ticket)
            return std::nullopt;
        return QString::number(ticket->shopNumber);
    });
}

int runEncryptCommand(const QStringList& arguments) {
    constexpr char command[] = "encrypt";
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Prints the credential encryption of TEXT: 32 uppercase hexadecimal characters,\n"
        "as the shop sends a password. Only the first 8 characters of TEXT count.");
    parser.addPositionalArgument("TEXT", "The text to encrypt.");
    if (auto done = parseCommand(parser, command, arguments, "TEXT"))
        return *done;
    QStringList args = parser.positionalArguments();
    if (args.size() != 1)
        return usageError(command, "give one text to encrypt");
    std::string cipher = encryptCredential(args.first().toLatin1().toStdString());
    if (cipher.empty()) {
        std::fprintf(stderr, "%s %s: the cipher failed\n", kProgram, command);
        return kExitFailed;
    }
    printLine(QString::fromStdString(cipher));
    return kExitOk;
}

} // namespace quillon
