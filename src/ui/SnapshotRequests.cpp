#include "ui/SnapshotRequests.h"

#include "core/Shop.h"
#include "ui/AboutBox.h"
#include "ui/CMainDlg.h"
#include "ui/MenuBar.h"
#include "ui/SplashWindow.h"
#include "ui/WindowedShop.h"

#include <QDir>
#include <QFile>
#include <QWidget>

namespace quillon {

SnapshotRequests::SnapshotRequests(WindowedShop& shop, QString folder)
    : QObject(&shop), m_shop(shop), m_folder(std::move(folder)) {
    QDir().mkpath(m_folder);
    if (SplashWindow* splash = shop.splash())
        connect(splash, &SplashWindow::animationEnded, this,
                [this, splash] { save(splash, QStringLiteral("splash")); });
    const TransferList& transfers = shop.shop().transfers();
    connect(&transfers, &TransferList::rowChanged, this, [this, &transfers](int row) {
        const int progress = transfers.row(row).progress;
        if (m_receiving && progress > 0 && progress < 100) {
            m_receiving = false;
            save(&m_shop.window(), QStringLiteral("receiving"));
        }
    });
    m_poll.setInterval(200);
    connect(&m_poll, &QTimer::timeout, this, &SnapshotRequests::poll);
    m_poll.start();
}

void SnapshotRequests::poll() {
    QFile request(QDir(m_folder).filePath(QStringLiteral("request")));
    if (!m_shop.window().isVisible() || !request.open(QIODevice::ReadOnly))
        return;
    const QStringList names = QString::fromUtf8(request.readAll()).split('\n', Qt::SkipEmptyParts);
    request.close();
    for (const QString& name : names)
        take(name.trimmed());
    request.remove();
}

void SnapshotRequests::take(const QString& name) {
    CMainDlg& window = m_shop.window();
    const QStringList menus{QStringLiteral("menu-system"), QStringLiteral("menu-action"),
                            QStringLiteral("menu-display")};
    if (name == QLatin1String("window")) {
        save(&window, name);
    } else if (menus.contains(name)) {
        window.menuBar()->openByKeyboard(int(menus.indexOf(name)));
        save(&window, name);
        window.menuBar()->closeDropDown();
    } else if (name == QLatin1String("receiving")) {
        m_receiving = true;
    } else if (name == QLatin1String("about")) {
        AboutBox box(&window);
        box.show();
        save(&box, name);
    }
}

void SnapshotRequests::save(QWidget* widget, const QString& name) const {
    // Written under another name first, so a reader never sees half a file.
    const QString path = QDir(m_folder).filePath(name + QStringLiteral(".png"));
    const QString partial = path + QStringLiteral(".part");
    if (widget->grab().save(partial, "PNG")) {
        QFile::remove(path);
        QFile::rename(partial, path);
    }
}

} // namespace quillon
