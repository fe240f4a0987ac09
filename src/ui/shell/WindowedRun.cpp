#include "ui/shell/WindowedRun.h"

#include "ui/dialogs/GuiRegistrationDialogs.h"
#include "ui/mainwindow/CMainDlg.h"
#include "ui/shell/GuiPrompter.h"

#include <QCoreApplication>

namespace quillon {

int runWindowed(SettingsStore& store, const WindowedRunOptions& options) {
    GuiPrompter prompter;
    GuiRegistrationDialogs dialogs(options.run.servicePort.value_or(Settings{}.centralServicePort),
                                   prompter);
    return runShop(store, prompter, &dialogs, options.run, [&](Shop& shop) {
        WindowedShop windowed(shop, prompter, options.window);
        // Message boxes sit on the window.
        prompter.setParent(&windowed.window());
        QObject::connect(&windowed, &WindowedShop::closed, qApp, &QCoreApplication::quit,
                         Qt::QueuedConnection);
        if (options.attach)
            options.attach(windowed, prompter);
        windowed.start();
        if (options.online)
            shop.goOnline();
        const int result = QCoreApplication::exec();
        prompter.setParent(nullptr);
        return result;
    });
}

} // namespace quillon
