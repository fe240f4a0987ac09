#include "ui/WindowedShop.h"

#include "core/Shop.h"
#include "ui/CMainDlg.h"
#include "ui/GuiPrompter.h"
#include "ui/SplashWindow.h"

#include <QEvent>
#include <QTimer>

namespace quillon {

WindowedShop::WindowedShop(Shop& shop, GuiPrompter& prompter, WindowOptions options)
    : m_shop(shop), m_options(options), m_window(std::make_unique<CMainDlg>(shop)) {
    prompter.setParent(m_window.get());
    m_window->installEventFilter(this);
    // The window closes itself on this signal first (it connected earlier).
    connect(&shop, &Shop::closeRequested, this, &WindowedShop::closed);
    if (m_options.splash) {
        m_splash = std::make_unique<SplashWindow>(m_options.splashTickMs);
        connect(m_splash.get(), &SplashWindow::closed, this, &WindowedShop::showWindow);
        connect(&m_shop, &Shop::ordersLoaded, m_splash.get(), &SplashWindow::loadEnded);
    } else {
        connect(&m_shop, &Shop::ordersLoaded, this, &WindowedShop::showWindow);
    }
}

WindowedShop::~WindowedShop() = default;

void WindowedShop::start() {
    if (m_splash)
        m_splash->start();
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
