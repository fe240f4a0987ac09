#include "ui/shell/WindowedShop.h"

#include "core/Shop.h"
#include "ui/mainwindow/CMainDlg.h"
#include "ui/shell/DesktopAttention.h"
#include "ui/shell/NewOrderAlert.h"
#include "ui/shell/SplashWindow.h"

#include <QEvent>
#include <QTimer>

namespace quillon {

WindowedShop::WindowedShop(Shop& shop, Prompter& prompter, WindowOptions options,
                           Attention* attention)
    : m_shop(shop), m_options(options), m_window(std::make_unique<CMainDlg>(shop, prompter)) {
    if (!attention) {
        m_desktopAttention = std::make_unique<DesktopAttention>(m_window.get());
        attention = m_desktopAttention.get();
    }
    new NewOrderAlert(shop, m_window.get(), *attention);
    m_window->installEventFilter(this);
    // The window closes itself on this signal first (it connected earlier).
    connect(&shop, &Shop::closeRequested, this, &WindowedShop::closed);
    if (m_options.splash) {
        m_splash = std::make_unique<SplashWindow>(m_options.splashTickMs);
        connect(m_splash.get(), &SplashWindow::closed, this, &WindowedShop::showWindow);
    }
}

WindowedShop::~WindowedShop() = default;

void WindowedShop::start() {
    if (m_splash)
        m_splash->start();
    else
        showWindow();
    m_shop.initialise();
    m_shop.startClock();
}

void WindowedShop::showWindow() {
    if (m_window->isVisible())
        return;
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

bool WindowedShop::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window.get() && event->type() == QEvent::Paint && !m_painted) {
        m_painted = true;
        QTimer::singleShot(0, this, &WindowedShop::shown);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quillon
