#include "ui/orderlist/OrderOpener.h"

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
    const std::string summary = summaryPath(folder, orderNumber);
    // The test must not create a missing summary.
    QFile test(qtPath(summary));
    if (!test.open(QIODevice::ReadWrite | QIODevice::ExistingOnly)) {
        m_prompter.showMessage("Order details cannot be found or already opened.");
        return false;
    }
    test.close();
    return launch(summary);
}

bool OrderOpener::openFolder(const std::string& folder) {
    return launch(folder);
}

bool OrderOpener::launch(const std::string& path) {
    if (m_launch(QUrl::fromLocalFile(qtPath(path))))
        return true;
    m_prompter.showMessage("No program was found to open " + path + ".");
    return false;
}

} // namespace quillon
