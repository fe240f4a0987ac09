#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class QWidget;

namespace quillon {

class Prompter;
class WindowedShop;

// Saves pictures of the running window for the screenshot script: it
// moves a file of names, one a line, to <folder>/request; each name becomes
// <folder>/<name>.png, and the request file is removed when all are saved.
// Names: "window", "menu-system", "menu-action", "menu-display", "about",
// and "receiving", saved at the next progress of an order on its way. The
// splash is saved as "splash.png" when its animation ends. "history" (the
// history found since 2009) and "chat" (a question and the staff's answer)
// log in with the demo shop's password from QUILLON_DEMO_PASSWORD.
// "statuses" gives the first orders statuses, selects two, lets the list
// show only the orders not picked up yet and opens the pop-up menu.
class SnapshotRequests : public QObject {
    Q_OBJECT
public:
    // `prompter` shows the messages of the windows it opens.
    SnapshotRequests(WindowedShop& shop, Prompter& prompter, QString folder);

private:
    void poll();
    void take(const QString& name);
    void save(QWidget* widget, const QString& name) const;
    void takeHistory();
    void takeChat();
    void takeStatuses();

    WindowedShop& m_shop;
    Prompter& m_prompter;
    QString m_folder;
    QTimer m_poll;
    // A "receiving" request waiting for an order's progress.
    bool m_receiving = false;
};

} // namespace quillon
