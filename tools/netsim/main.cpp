// quillon-netsim: a simulated Velorin Photo Network for the tests and the
// demo. It plays the network's side of every conversation with the shop.
#include "CommandLine.h"
#include "CredentialCommands.h"
#include "RegisterCommand.h"
#include "SendOrderCommand.h"
#include "ServiceCommand.h"

#include "netlib/Socket.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

struct Command {
    const char* name;
    int (*run)(const QStringList&);
    const char* summary;
};

constexpr Command kCommands[] = {
    {"service", quillon::runServiceCommand,
     "run the central service and the chat service (with faults on demand)"},
    {"register", quillon::runRegisterCommand,
     "register a new order with the shop on its order server 2"},
    {"status-query", quillon::runStatusQueryCommand,
     "ask the shop's order server 2 for its set-up"},
    {"send-order", quillon::runSendOrderCommand,
     "register orders and send their pictures to the shop's order server 1"},
    {"mint-shop-id", quillon::runMintShopIdCommand, "print the SHOP ID of a shop number"},
    {"shop-number", quillon::runShopNumberCommand, "print the shop number of a SHOP ID"},
    {"encrypt", quillon::runEncryptCommand, "print the credential encryption of a text"},
};

void printUsage(std::FILE* out) {
    std::fprintf(out,
                 "Usage: %s COMMAND [options]\n\n"
                 "A simulated Velorin Photo Network: the central service, the chat and the\n"
                 "network's sending side, for the tests and the demo.\n\nCommands:\n",
                 quillon::kProgram);
    for (const Command& c : kCommands)
        std::fprintf(out, "  %-14s %s\n", c.name, c.summary);
    std::fprintf(out,
                 "\n'%s COMMAND --help' explains a command.\n"
                 "Exit status: 0 done, 1 the conversation failed, 2 bad command line,\n"
                 "3 the service could not start.\n",
                 quillon::kProgram);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        printUsage(stderr);
        return quillon::kExitUsage;
    }
    QString name = args.first();
    if (name == "--help" || name == "-h" || name == "help") {
        printUsage(stdout);
        return quillon::kExitOk;
    }
    for (const Command& c : kCommands) {
        if (name == c.name) {
            return c.run(args.mid(1));
        }
    }
    std::fprintf(stderr, "%s: unknown command \"%s\"\n\n", quillon::kProgram,
                 name.toLocal8Bit().constData());
    printUsage(stderr);
    return quillon::kExitUsage;
}
