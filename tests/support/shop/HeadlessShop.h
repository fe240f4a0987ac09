#pragma once

#include "core/WorkingFolders.h"
#include "support/NetsimService.h"
#include "support/TestSupport.h"
#include "support/shop/QuillonProcess.h"
#include "support/shop/ShopFolder.h"

#include <QRegularExpression>
#include <QSettings>
#include <gtest/gtest.h>

namespace testsupport {

// `quillon --headless` as shop 42 of a simulated network, set up in a
// profile of its own. With `board` its counter board is switched on at
// 127.0.0.1 on a free port; the board's password hash goes into `profile`
// (or comes from --set-board-password) before startBoard().
struct HeadlessShop {
    NetsimService service;
    ShopFolder folder;
    QString profile = folder.filePath("profile.ini");
    QuillonProcess shop{folder.path(), profile};
    QString url; // the board's: http://127.0.0.1:PORT/
    int port = 0;

    explicit HeadlessShop(bool board = false) {
        EXPECT_TRUE(service.start({"--shop", "42:secret:shop@example.com", "--seed"}))
            << service.log().toStdString();
        QSettings p(profile, QSettings::IniFormat);
        p.setValue("status", 2);
        p.setValue("shopid", NetsimService::shopId(42));
        p.setValue("hostaddress", "127.0.0.1");
        p.setValue("rootpath", folder.filePath(quillon::kOrdersFolder));
        if (board) {
            p.setValue("board", 1);
            p.setValue("boardaddress", "127.0.0.1");
        }
    }
    QStringList options() const {
        return {"--online", "--service-port", QString::number(service.servicePort())};
    }
    // Starts the shop on-line and waits for its board's status line.
    bool startBoard() {
        if (!shop.start(options() + QStringList{"--board-port", "0"}) ||
            !shop.waitForOutput("Counter board at http://127.0.0.1:"))
            return false;
        const auto m =
            QRegularExpression("Counter board at (http://127.0.0.1:(\\d+)/)").match(shop.output());
        url = m.captured(1);
        port = m.captured(2).toInt();
        return port > 0;
    }
    // The arguments of `quillon-netsim send-order` for one order of
    // `pictures` pictures to the running shop.
    QStringList sendOrder(int pictures) const {
        return QString("send-order --shop-number 42 --generate %1 --email ann@example.com "
                       "--port %2 --register-port %3")
            .arg(pictures)
            .arg(shop.port1())
            .arg(shop.port2())
            .split(' ');
    }
    QString readProfile(const char* key) const {
        return QSettings(profile, QSettings::IniFormat).value(key).toString();
    }
};

} // namespace testsupport
