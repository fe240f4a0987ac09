#include "CredentialCommands.h"

#include "CommandLine.h"
#include "ServiceState.h"

#include "protocol/Credentials.h"

#include <QCommandLineParser>

namespace quillon {

int runMintShopIdCommand(const QStringList& arguments) {
    constexpr char command[] = "mint-shop-id";
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Prints the SHOP ID ticket of a shop number: the credential encryption of \"O1\"\n"
        "followed by the six-digit number. It is the ID that the service gives the shop\n"
        "and that the shop's order server 2 checks registrations against.");
    parser.addPositionalArgument("N", "Shop number, 1 to 999999.");
    if (auto done = parseCommand(parser, command, arguments, "N"))
        return *done;
    QStringList args = parser.positionalArguments();
    bool ok = false;
    int number = args.value(0).toInt(&ok);
    if (args.size() != 1 || !ok || number < 1 || number > 999999)
        return usageError(command, "give one shop number from 1 to 999999");
    printLine(QString::fromStdString(ServiceState::mintShopId(number)));
    return kExitOk;
}

int runShopNumberCommand(const QStringList& arguments) {
    constexpr char command[] = "shop-number";
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Prints the shop number in a SHOP ID ticket, the reverse of mint-shop-id: the\n"
        "number that the network's registrations of orders for this shop carry.");
    parser.addPositionalArgument("ID", "SHOP ID, 32 hexadecimal characters.");
    if (auto done = parseCommand(parser, command, arguments, "ID"))
        return *done;
    QStringList args = parser.positionalArguments();
    std::optional<Ticket> ticket;
    if (args.size() == 1)
        ticket = decryptTicket(args.first().toLatin1().toStdString());
    if (!ticket)
        return usageError(command, "give one SHOP ID");
    printLine(QString::number(ticket->shopNumber));
    return kExitOk;
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
