// The shop with its window, as `quillon` runs it, saving pictures of its
// windows on request for the screenshot script:
//
//     quillon-snapshots FOLDER [--online] [--profile FILE]
//
// FOLDER takes the requests and the pictures (see SnapshotRequests.h).
#include "SnapshotRequests.h"
#include "core/SettingsStore.h"
#include "core/ShutdownSignals.h"
#include "ui/shell/GuiApplication.h"
#include "ui/shell/WindowedRun.h"

#include <QCommandLineParser>
#include <csignal>
#include <cstdio>

using namespace quillon;

int main(int argc, char** argv) {
    std::signal(SIGPIPE, SIG_IGN);
    std::unique_ptr<QCoreApplication> app = makeGuiApplication(argc, argv);
    QCoreApplication::setApplicationName("Quillon");
    QCoreApplication::setOrganizationName("Tarvex");

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "The shop with its window, saving pictures of it on request into FOLDER.");
    parser.addHelpOption();
    parser.addOptions({
        {"online", "Put the system on-line after start-up."},
        {"profile", "Use the INI file <file> as the profile instead of the user's.", "file"},
    });
    parser.addPositionalArgument("FOLDER", "Where the requests arrive and the pictures go.");
    parser.process(*app);
    if (parser.positionalArguments().size() != 1) {
        std::fputs("quillon-snapshots: give one FOLDER\nTry 'quillon-snapshots --help'.\n", stderr);
        return 2;
    }

    SettingsStore store(parser.value("profile"));
    WindowedRunOptions options;
    options.online = parser.isSet("online");
    const QString folder = parser.positionalArguments().constFirst();
    options.attach = [&folder](WindowedShop& windowed, Prompter& prompter) {
        exitOnShutdownSignals(windowed.shop());
        new SnapshotRequests(windowed, prompter, folder);
    };
    return runWindowed(store, options);
}
