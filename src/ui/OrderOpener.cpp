#include "ui/OrderOpener.h"

#include "orders/FilePaths.h"
#include "orders/SummaryBuilder.h"
#include "protocol/Prompter.h"

#include <QDesktopServices>
#include <QFile>

namespace quillon {

OrderOpener::OrderOpener(Prompter& prompter, Launcher launch)
    : m_prompter(prompter), m_launch(launch ? std::move(launch) : [](const QUrl& url) {
          return QDesktopServices::openUrl(url);
      }) {}

bool OrderOpener::openSummary(const std::string& folder, const std::string& orderNumber) {
    const QString path = qtPath(summaryPath(folder, orderNumber));
    // The test must not create a missing summary.
    QFile test(path);
    if (!test.open(QIODevice::ReadWrite | QIODevice::ExistingOnly)) {
        m_prompter.showMessage("Order details cannot be found or already opened.");
        return false;
    }
    test.close();
    return m_launch(QUrl::fromLocalFile(path));
}

bool OrderOpener::openFolder(const std::string& folder) {
    return m_launch(QUrl::fromLocalFile(qtPath(folder)));
}

} // namespace quillon
