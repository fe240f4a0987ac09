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

// `quillon --headless --online` with its counter board switched on at
// 127.0.0.1 on a free port, shop 42 of a simulated network; the board's
// password hash goes into `profile` (or comes from --set-board-password)
// before start().
struct BoardShop {
    NetsimService service;
    ShopFolder folder;
    QString profile = folder.filePath("profile.ini");
    QuillonProcess shop{folder.path(), profile};
    QString url; // http://127.0.0.1:PORT/
    int port = 0;

    BoardShop() {
        EXPECT_TRUE(service.start({"--shop", "42:secret:shop@example.com", "--seed"}));
        QSettings p(profile, QSettings::IniFormat);
        p.setValue("status", 2);
        p.setValue("shopid", NetsimService::shopId(42));
        p.setValue("hostaddress", "127.0.0.1");
        p.setValue("rootpath", folder.filePath(quillon::kOrdersFolder));
        p.setValue("board", 1);
        p.setValue("boardaddress", "127.0.0.1");
    }
    // Starts the shop and waits for its board's status line.
    bool start() {
        if (!shop.start({"--online", "--service-port", QString::number(service.servicePort()),
                         "--board-port", "0"}) ||
            !shop.waitForOutput("Counter board at http://127.0.0.1:"))
            return false;
        const auto m =
            QRegularExpression("Counter board at (http://127.0.0.1:(\\d+)/)").match(shop.output());
        url = m.captured(1);
        port = m.captured(2).toInt();
        return port > 0;
    }
    // The arguments of `quillon-netsim send-order` for one order of
    // `pictures` pictures to this shop.
    QStringList sendOrder(int pictures) const {
        return {"send-order",
                "--shop-number",
                "42",
                "--generate",
                QString::number(pictures),
                "--email",
                "ann@example.com",
                "--port",
                QString::number(shop.port1()),
                "--register-port",
                QString::number(shop.port2())};
    }
};

} // namespace testsupport
