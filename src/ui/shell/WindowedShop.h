#pragma once

#include <QObject>
#include <memory>

namespace quillon {

class Attention;
class CMainDlg;
class Prompter;
class Shop;
class SplashWindow;

struct WindowOptions {
    // Without the splash the window shows at once.
    bool splash = true;
    int splashTickMs = 100;
};

// The shop with its window: the splash, then the main window until the
// shop has shut down. Neither waits for the order database: the list fills
// in when its load is over.
class WindowedShop : public QObject {
    Q_OBJECT
public:
    // `prompter` shows the window's messages. Without `attention` the
    // desktop's own is asked when an order arrives.
    WindowedShop(Shop& shop, Prompter& prompter, WindowOptions options = {},
                 Attention* attention = nullptr);
    ~WindowedShop() override;

    // Runs the shop's start-up with the splash up, or the window at once.
    void start();
    CMainDlg& window() { return *m_window; }
    Shop& shop() { return m_shop; }
    SplashWindow* splash() { return m_splash.get(); }

signals:
    // The main window has been painted and the event loop is free again.
    void shown();
    // The shop has shut down and the window has closed.
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showWindow();

    Shop& m_shop;
    WindowOptions m_options;
    std::unique_ptr<CMainDlg> m_window;
    std::unique_ptr<SplashWindow> m_splash;
    std::unique_ptr<Attention> m_desktopAttention;
    bool m_painted = false;
};

} // namespace quillon
