#pragma once

#include "core/SettingsStore.h"
#include "core/Shop.h"
#include "core/WorkingFolders.h"
#include "support/ManualClock.h"
#include "support/NetsimService.h"
#include "support/RecordingPrompter.h"
#include "support/TestSupport.h"
#include "support/shop/ShopFolder.h"

#include <QMap>
#include <QTemporaryDir>
#include <memory>

namespace testsupport {

// A real Shop in a temporary working folder, listening on free ports of
// 127.0.0.1, with a profile file of its own and a recording prompter; set
// `settings` and `config`, then create(). The shop lives on the test's thread, so anything that
// waits for it must keep the event loop running (processUntil, runNetsim with
// keepEventLoopRunning).
struct ShopHarness {
    ShopFolder folder;
    QTemporaryDir profileDir;
    quillon::Settings settings; // the application's record
    std::unique_ptr<quillon::SettingsStore> store;
    // Starts at the real time; tests may move it.
    ManualClock clock{quillon::SystemClock().now()};
    RecordingPrompter prompter;
    quillon::ShopConfig config;
    std::unique_ptr<quillon::Shop> shop;

    ShopHarness();
    ~ShopHarness();

    // Points the shop at the simulated central service.
    void useService(const NetsimService& service);
    // Call before create(): the order database's load is held once the file
    // has been read, until releaseLoad() (at the latest, the harness's end).
    void holdLoad();
    // Waits, without turning the event loop, until the load is held.
    bool loadHeld();
    void releaseLoad();
    // Builds the shop; with `initialise` it also runs its start-up steps.
    void create(bool initialise = true);

    QString port1() const;
    QString port2() const;
    // The status lines without their time stamps.
    std::vector<std::string> texts() const;
    bool hasLine(const std::string& text) const;
    std::string rootpath() const { return folder.filePath(quillon::kOrdersFolder).toStdString(); }

    // `quillon-netsim send-order` for shop 42 to this shop's two servers,
    // with `options` added; the event loop turns meanwhile.
    NetsimRun sendOrders(const QStringList& options) const;
    // `quillon-netsim register` on order server 2: the answer's fields.
    QMap<QString, QString> registerOrder(const QString& email = "ann@example.com",
                                         const QString& ref1 = "R1", int shopNumber = 42) const;
    // `quillon-netsim status-query` on order server 2: the answer's fields.
    QMap<QString, QString> statusQuery(const QString& shopId) const;

private:
    struct LoadGate;
    std::shared_ptr<LoadGate> m_loadGate;
};

// A shop and the simulated network with shop 42 (password "secret", demo
// products): set h.settings, then go().
struct ServedShop {
    NetsimService service;
    ShopHarness h;
    explicit ServedShop(const QStringList& serviceOptions = {});
    // Builds the shop (with its start-up steps when `initialise`) and puts
    // it on-line.
    void go(bool initialise = true);
};

// "name: value" lines into a map.
QMap<QString, QString> fieldsOf(const QString& output);

} // namespace testsupport
