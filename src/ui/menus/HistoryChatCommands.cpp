#include "ui/menus/HistoryChatCommands.h"

#include "core/HistoryFields.h"
#include "core/Shop.h"
#include "core/WorkingFolders.h"
#include "orders/Clock.h"
#include "orders/FilePaths.h"
#include "ui/dialogs/CChatDlg.h"
#include "ui/dialogs/CHistoryDlg.h"

namespace quillon {

void openTransactionHistory(Shop& shop, Prompter& prompter, QWidget* parent) {
    const std::string folder = joinPath(shop.config().workingDirectory, kHistoryFolder);
    CHistoryDlg dialog(lastHistoryYear(shop.clock().localNow().tm_year + 1900),
                       qtPath(joinPath(folder, "History.txt")), prompter, parent);
    AccountSession& account = shop.account();
    QObject::connect(&dialog, &CHistoryDlg::findRequested, &dialog,
                     [&account, &dialog](int32_t from, int32_t to) {
                         if (!account.fetchHistory(from, to))
                             dialog.showRecords({});
                     });
    QObject::connect(&account, &AccountSession::historyFetched, &dialog, &CHistoryDlg::showRecords);
    dialog.exec();
}

void openLiveChat(Shop& shop, Prompter& prompter, QWidget* window) {
    CChatDlg* chat = nullptr;
    if (window)
        for (CChatDlg* open : window->findChildren<CChatDlg*>(Qt::FindDirectChildrenOnly))
            if (!open->hasEnded())
                chat = open;
    if (!chat) {
        const Settings& s = shop.settings();
        chat = new CChatDlg(shop.account().chatEndpoint(), s.shopid, shop.config().workingDirectory,
                            prompter, window);
        chat->setAttribute(Qt::WA_DeleteOnClose);
    }
    chat->setSessionDetails(sessionDetailsOf(shop.settings(), shop.servers().isOffline()));
    chat->show();
    chat->raise();
    chat->activateWindow();
}

} // namespace quillon
