// The System menu's account commands end to end: dialogs driven on the
// offscreen platform, requests to the simulated central service.
#include "ui/menus/AccountCommands.h"
#include "core/ShopFields.h"
#include "protocol/SessionRequests.h"
#include "ui/dialogs/CChangePasswordDlg.h"
#include "ui/dialogs/CEditShopInfoDlg.h"
#include "ui/dialogs/CLoginDialog.h"
#include "ui/dialogs/CNewProductDlg.h"
#include "ui/dialogs/CProductDialog.h"

#include "support/gui/DialogDriver.h"
#include "support/shop/ShopHarness.h"

#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <algorithm>

using namespace quillon;
using namespace testsupport;
using Texts = std::vector<std::string>;

namespace {

class AccountCommands : public ::testing::Test {
protected:
    void SetUp() override {
        served = std::make_unique<ServedShop>();
        served->h.create();
        window.show();
    }
    void fault(const char* rule) { ASSERT_TRUE(served->service.writeFaults(rule)); }

    Shop& shop() { return *served->h.shop; }
    Prompter& prompter() { return served->h.prompter; }
    std::vector<std::string> shown() { return served->h.prompter.messages(); }
    bool idle() {
        return processUntil([this] { return !shop().account().isBusy(); },
                            std::chrono::seconds(30));
    }
    void logIn() {
        ASSERT_TRUE(shop().account().login(shop().settings().shopid, "secret"));
        ASSERT_TRUE(idle());
        ASSERT_TRUE(shop().account().isLoggedIn());
    }
    // Adds a product through "New product" in the open product list.
    static void add(CProductDialog& list, const char* code) {
        WhenShown<CNewProductDlg> enter([code](CNewProductDlg& d) {
            child(d, "code")->setText(code);
            child(d, "price")->setText("2.5");
            d.accept();
        });
        child<QPushButton>(list, "add")->click();
    }

    std::unique_ptr<ServedShop> served;
    QWidget window;
};

} // namespace

TEST_F(AccountCommands, LoginShopInformationAndAnExpiredSession) {
    std::vector<bool> logins;
    QObject::connect(&shop().account(), &AccountSession::loginChanged,
                     [&](bool in) { logins.push_back(in); });
    // A slow answer: the window shows it is busy and the command cannot
    // start again meanwhile.
    fault(R"([{"kind": "2/0", "action": "delay", "ms": 400}])");
    WhenShown<CLoginDialog> login([this](CLoginDialog& d) {
        EXPECT_EQ(d.shopId().toStdString(), shop().settings().shopid);
        child(d, "password")->setText("secret");
        d.accept();
    });
    loginOrLogout(shop(), prompter(), &window);
    EXPECT_EQ(window.cursor().shape(), Qt::BusyCursor);
    EXPECT_FALSE(shop().account().login("x", "y"));
    ASSERT_TRUE(idle());
    EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor);
    ASSERT_TRUE(shop().account().isLoggedIn());

    // Shop information: fetched, edited, sent back with its logo as it came.
    const ServiceEndpoint service = shop().account().serviceEndpoint();
    CollectingPrompter quiet;
    ShopInfo stored = fetchShopInformation(service, quiet, shop().account().session()).info;
    // Noise: a JPEG of it changes when it is encoded again.
    QImage logo(120, 40, QImage::Format_RGB32);
    for (int y = 0; y < logo.height(); ++y)
        for (int x = 0; x < logo.width(); ++x)
            logo.setPixel(x, y, qRgb(x * 37 % 256, y * 91 % 256, (x * y) % 256));
    stored.hasLogo = 1;
    stored.logo = encodeLogo(logo);
    ASSERT_EQ(updateShopInformation(service, quiet, shop().account().session(), stored), 1);
    WhenShown<CEditShopInfoDlg> edit([&](CEditShopInfoDlg& d) {
        EXPECT_EQ(d.values().email1, "shop@example.com");
        child(d, "City")->setText("Kampen");
        d.accept();
    });
    openShopInformation(shop().account(), prompter(), &window);
    ASSERT_TRUE(processUntil([&] { return shown().size() == 2; }));
    ShopInfo updated = fetchShopInformation(service, quiet, shop().account().session()).info;
    EXPECT_EQ(std::tuple(updated.city, updated.logo.view(), shown().back()),
              std::tuple("Kampen", stored.logo.view(), "Shop information updated."));

    fault(R"([{"kind": "4/3", "action": "returncode", "value": -1}])");
    WhenShown<CChangePasswordDlg> change([](CChangePasswordDlg& d) {
        child(d, "oldPassword")->setText("secret");
        child(d, "newPassword")->setText("changed1");
        child(d, "retypedPassword")->setText("changed1");
        d.accept();
    });
    openChangePassword(shop().account(), prompter(), &window);
    ASSERT_TRUE(idle());
    EXPECT_FALSE(shop().account().isLoggedIn());
    EXPECT_EQ(logins, (std::vector<bool>{true, false})); // its text is the request test's
}

TEST_F(AccountCommands, ProductListIsReplacedOnlyByUpdate) {
    logIn();
    const ProductList* before = shop().products();
    ASSERT_TRUE(before);
    const size_t count = before->size();

    WhenShown<CProductDialog> cancelled([](CProductDialog& d) {
        add(d, "901");
        add(d, "902");
        d.reject();
    });
    openProductInformation(shop(), prompter(), &window);
    EXPECT_EQ(std::tuple(shop().products(), before->size()), std::tuple(before, count));

    // An upload that gets no answer was not sent: the dialog stays with the
    // edits, says why, and sends them again when asked.
    fault(R"([{"kind": "4/2", "action": "close"}])");
    QPointer<CProductDialog> dialog;
    bool openAfterFailure = false;
    int rowsAfterFailure = 0;
    WhenShown<CProductDialog> retried([&](CProductDialog& d) {
        dialog = &d;
        add(d, "904");
        child<QPushButton>(d, "update")->click();
    });
    const auto retry = QObject::connect(
        &shop().account(), &AccountSession::commandFinished, &window,
        [&] {
            if (!dialog || std::exchange(openAfterFailure, dialog->isVisible()))
                return;
            rowsAfterFailure = child<QTableWidget>(*dialog, "products")->rowCount();
            fault("[]");
            child<QPushButton>(*dialog, "update")->click();
        },
        Qt::QueuedConnection);
    openProductInformation(shop(), prompter(), &window);
    QObject::disconnect(retry);
    EXPECT_EQ(std::tuple(openAfterFailure, rowsAfterFailure), std::tuple(true, int(count) + 1));
    ASSERT_TRUE(idle());
    ASSERT_NE(shop().products(), before);
    // The old list is kept for orders that still use it.
    EXPECT_EQ(std::tuple(shop().products()->back().code, before->size()), std::tuple(904, count));
    const std::vector<std::string> lines = served->h.texts();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Product list modified."), 1);
    ASSERT_TRUE(processUntil([&] { return shown().size() >= 3; }));
    const Texts messages = shown();
    EXPECT_EQ(Texts(messages.end() - 2, messages.end()),
              (Texts{kServiceUnreachableText, kProductsUpdatedText}));

    // An expired session still leaves the edited list in place.
    before = shop().products();
    fault(R"([{"kind": "4/2", "action": "returncode", "value": -1}])");
    WhenShown<CProductDialog> updated([](CProductDialog& d) {
        add(d, "903");
        d.accept();
    });
    openProductInformation(shop(), prompter(), &window);
    ASSERT_TRUE(idle());
    ASSERT_NE(shop().products(), before);
    EXPECT_EQ(std::tuple(shop().products()->size(), shop().products()->back().code,
                         shop().account().isLoggedIn()),
              std::tuple(count + 2, 903, false));
}

TEST_F(AccountCommands, ACommandWithoutAnAnswerSaysSoOnce) {
    logIn();
    // An answer of the wrong kind says so itself, and nothing more.
    for (auto [action, text] :
         {std::pair{"close", kServiceUnreachableText}, std::pair{"wrong-kind", kBadCommText}}) {
        const size_t before = shown().size();
        fault(qPrintable(QString(R"([{"kind": "raw3", "action": "%1"}])").arg(action)));
        loginOrLogout(shop(), prompter(), &window);
        ASSERT_TRUE(idle());
        EXPECT_EQ(std::tuple(shop().account().isLoggedIn(), window.cursor().shape()),
                  std::tuple(true, Qt::ArrowCursor));
        ASSERT_TRUE(processUntil([&] { return shown().size() == before + 1; }));
        EXPECT_EQ(shown().back(), text) << action;
    }

    // No connection at all: the login and the history say so.
    ShopHarness unserved;
    unserved.create(false);
    ASSERT_TRUE(unserved.shop->account().login("ANY", "secret"));
    ASSERT_TRUE(unserved.shop->account().fetchHistory(90101, 90101));
    ASSERT_TRUE(processUntil([&] { return unserved.prompter.messages().size() == 2; }));
    EXPECT_EQ(unserved.prompter.messages(),
              (Texts{kServiceUnreachableText, kServiceUnreachableText}));
}
