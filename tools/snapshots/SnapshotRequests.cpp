#include "SnapshotRequests.h"

#include "core/HistoryFields.h"
#include "core/Shop.h"
#include "core/ShopStatuses.h"
#include "orders/Clock.h"
#include "orders/OrderBook.h"
#include "protocol/SessionRequests.h"
#include "ui/dialogs/AboutBox.h"
#include "ui/dialogs/CChatDlg.h"
#include "ui/dialogs/CHistoryDlg.h"
#include "ui/mainwindow/CMainDlg.h"
#include "ui/menus/HistoryChatCommands.h"
#include "ui/menus/MenuBar.h"
#include "ui/orderlist/OrderListView.h"
#include "ui/orderlist/PopupMenu.h"
#include "ui/orderlist/StatusChoiceBox.h"
#include "ui/shell/SplashWindow.h"
#include "ui/shell/WindowedShop.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QPointer>
#include <QSpinBox>
#include <QWidget>

namespace quillon {

SnapshotRequests::SnapshotRequests(WindowedShop& shop, Prompter& prompter, QString folder)
    : QObject(&shop), m_shop(shop), m_prompter(prompter), m_folder(std::move(folder)) {
    QDir().mkpath(m_folder);
    if (SplashWindow* splash = shop.splash())
        connect(splash, &SplashWindow::animationEnded, this,
                [this, splash] { save(splash, QStringLiteral("splash")); });
    const TransferList& transfers = shop.shop().intake().transfers();
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
    } else if (name == QLatin1String("history")) {
        takeHistory();
    } else if (name == QLatin1String("chat")) {
        takeChat();
    } else if (name == QLatin1String("statuses")) {
        takeStatuses();
    }
}

namespace {

std::string demoPassword() {
    return qEnvironmentVariable("QUILLON_DEMO_PASSWORD").toStdString();
}

} // namespace

void SnapshotRequests::takeHistory() {
    Shop& shop = m_shop.shop();
    const std::tm today = shop.clock().localNow();
    const int year = today.tm_year + 1900;
    QPointer<CHistoryDlg> dialog =
        new CHistoryDlg(lastHistoryYear(year), QString(), m_prompter, &m_shop.window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->findChild<QSpinBox*>("toYear")->setValue(year);
    dialog->findChild<QComboBox*>("toMonth")->setCurrentIndex(today.tm_mon);
    dialog->findChild<QSpinBox*>("toDay")->setValue(today.tm_mday);
    dialog->show();
    // A login of its own, so no message box covers the window.
    shop.requests().run<HistoryFetch>(
        "",
        [service = shop.account().serviceEndpoint(), shopId = shop.settings().shopid,
         to = historyDate(year, today.tm_mon + 1, today.tm_mday)](Prompter& p) {
            const LoginResult in = login(service, p, shopId, demoPassword());
            return fetchHistory(service, p, in.session, historyDate(kFirstHistoryYear, 1, 1), to);
        },
        [this, dialog](RequestOutcome<HistoryFetch> fetched) {
            if (!dialog)
                return;
            dialog->showRecords(fetched.value.rows);
            save(dialog, QStringLiteral("history"));
            dialog->close();
        });
}

void SnapshotRequests::takeChat() {
    openLiveChat(m_shop.shop(), m_prompter, &m_shop.window());
    QPointer<CChatDlg> chat = m_shop.window().findChild<CChatDlg*>();
    if (!chat)
        return;
    ChatSession& session = chat->session();
    session.setPollInterval(500);
    // Asked once the greeting shows.
    connect(
        &session, &ChatSession::connectedChanged, chat,
        [&session] {
            QTimer::singleShot(0, &session, [&session] {
                session.send({"Hello, the price of our canvas prints is wrong on the web shop.",
                              "It shows 19.95 instead of 24.95."});
            });
        },
        Qt::SingleShotConnection);
    // The greeting, the question under its heading, then the staff's answer.
    auto* waiting = new QObject(chat);
    connect(&session, &ChatSession::linesAdded, waiting, [this, chat, waiting, &session] {
        if (session.script().size() < 6)
            return;
        delete waiting;
        save(chat, QStringLiteral("chat"));
        session.exit();
    });
    session.open(m_shop.shop().settings().shopid, demoPassword(), "Anneke");
}

void SnapshotRequests::takeStatuses() {
    Shop& shop = m_shop.shop();
    std::vector<OrderKey> keys = shop.orderBook().withOrders([](const OrderBook::Orders& orders) {
        std::vector<OrderKey> first;
        for (size_t i = 0; i < orders.size() && i < 4; ++i)
            first.push_back(keyOf(*orders[i]));
        return first;
    });
    if (keys.size() < 4)
        return;
    ShopStatuses& statuses = shop.statuses();
    statuses.setStatus({keys[0]}, OrderStatus::InProduction);
    statuses.setStatus({keys[1]}, OrderStatus::Ready);
    const uint64_t last = statuses.setStatus({keys[3]}, OrderStatus::PickedUp);
    auto* waiting = new QObject(this);
    connect(&statuses.store(), &StatusStore::changesCommitted, waiting,
            [this, waiting, last](quint64 request) {
                if (request != last)
                    return;
                delete waiting;
                CMainDlg& window = m_shop.window();
                OrderListView& list = *window.orderList();
                window.statusChoice()->setCurrentIndex(int(kOrderStatuses.size()) + 1);
                const auto click = [&list](int row, Qt::MouseButton button,
                                           Qt::KeyboardModifiers keys) {
                    const QPointF at = list.titleBox(row).center();
                    QMouseEvent press(QEvent::MouseButtonPress, at, list.mapToGlobal(at), button,
                                      button, keys);
                    QApplication::sendEvent(&list, &press);
                };
                click(0, Qt::LeftButton, Qt::NoModifier);
                click(1, Qt::LeftButton, Qt::ControlModifier);
                click(1, Qt::RightButton, Qt::NoModifier);
                save(&window, QStringLiteral("statuses"));
                list.popup().dismiss();
                window.statusChoice()->setCurrentIndex(0);
            });
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
