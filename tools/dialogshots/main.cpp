// Renders the settings, account, history and chat dialogs with sample values into PNG files, on the
// offscreen platform unless another is chosen:
//
//     quillon-dialogshots OUTDIR [PLUGINDIR]
//
// PLUGINDIR is a folder of built plug-ins for the plug-in selection list.
#include "core/ShopFields.h"
#include "core/WorkingFolders.h"
#include "orders/FilePaths.h"
#include "orders/PluginHost.h"
#include "protocol/Prompter.h"
#include "ui/dialogs/CChangePasswordDlg.h"
#include "ui/dialogs/CChatDlg.h"
#include "ui/dialogs/CConfigDlg.h"
#include "ui/dialogs/CEditProductDlg.h"
#include "ui/dialogs/CEditShopInfoDlg.h"
#include "ui/dialogs/CEmailSetupDlg.h"
#include "ui/dialogs/CHistoryDlg.h"
#include "ui/dialogs/CLoginDialog.h"
#include "ui/dialogs/CNewProductDlg.h"
#include "ui/dialogs/CNewTrustedCustomerDlg.h"
#include "ui/dialogs/CPayPalSetupDlg.h"
#include "ui/dialogs/CPluginParamDlg.h"
#include "ui/dialogs/CPluginSelectionDlg.h"
#include "ui/dialogs/CProductDialog.h"
#include "ui/dialogs/CShopSetupConfirmDlg.h"
#include "ui/dialogs/CShopSetupDialog.h"
#include "ui/dialogs/CTrustedCustomerDlg.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <cstdio>

using namespace quillon;

namespace {

// The dialog under a plain title bar, since the offscreen platform draws no
// window frames.
bool shoot(QDialog& dialog, const QDir& out, const QString& name) {
    dialog.show();
    QApplication::processEvents();
    const QPixmap content = dialog.grab();
    const int bar = dialog.fontMetrics().height() + 10;
    QPixmap picture(content.width(), content.height() + bar);
    picture.fill(QColor(0xD8, 0xDC, 0xE2));
    QPainter painter(&picture);
    painter.setFont(dialog.font());
    painter.drawText(QRect(8, 0, content.width() - 16, bar), Qt::AlignVCenter,
                     dialog.windowTitle());
    painter.drawPixmap(0, bar, content);
    painter.end();
    const QString path = out.filePath(name + ".png");
    const bool saved = picture.save(path);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    dialog.hide();
    return saved;
}

TrustedCustomers sampleCustomers() {
    TrustedCustomers list;
    list.add({"anna.keller@example.com", "Anna", "Keller", "+41 44 123 45 67", "Seestrasse 12"});
    list.add({"b.okafor@example.org", "Bola", "Okafor", "020 7946 0018", "14 Mill Lane"});
    list.add({"marie.dupont@example.fr", "Marie", "Dupont", "01 23 45 67 89", "8 rue Haute"});
    list.add({"jhansen@example.net", "Jonas", "Hansen", "555-0142", "77 Harbour Rd"});
    list.add({"lucia.romano@example.it", "Lucia", "Romano", "06 1234 5678", "Via Roma 3"});
    return list;
}

char labelText[32] = "Front desk";

const PluginParam sampleParameters[] = {
    {PLUGIN_PARAM_FLAG, "Enabled", {.flag = 1}, 0},
    {PLUGIN_PARAM_INTEGER, "Copies per picture", {.integer = 2}, 0},
    {PLUGIN_PARAM_DECIMAL, "Border (mm)", {.decimal = 1.5f}, 0},
    {PLUGIN_PARAM_TEXT, "Printer name", {.text = labelText}, sizeof labelText},
    {PLUGIN_PARAM_CHOICE, "Paper", {.choices = "Matt;Gloss;Silk;"}, 1},
    {PLUGIN_PARAM_END, nullptr, {.integer = 0}, 0},
};

QImage sampleLogo() {
    QImage logo(140, 44, QImage::Format_RGB32);
    logo.fill(QColor(0x1F, 0x4E, 0x79));
    QPainter painter(&logo);
    painter.setPen(Qt::white);
    painter.setFont(QFont("Arial", 14, QFont::Bold));
    painter.drawText(logo.rect(), Qt::AlignCenter, "Foto Verhoef");
    return logo;
}

ShopInfo sampleShop() {
    ShopInfo info;
    info.country = "Netherlands";
    info.city = "Zwolle";
    info.streetAddress = "Diezerstraat 41";
    info.zipCode = "8011 RH";
    info.phone1 = "+31 38 421 5566";
    info.email1 = "info@fotoverhoef.nl";
    info.primaryContact = "Anneke Verhoef";
    info.url = "https://www.fotoverhoef.nl";
    info.shopStatus = 1;
    info.currency = 5;
    info.orderRestriction = 1;
    info.salesTax = salesTaxBits(21.0f);
    info.payPal = "betalen@fotoverhoef.nl";
    info.paymentType = 2;
    return info;
}

// The account dialogs: login, password, products, shop information and
// the two registration steps.
bool shootAccountDialogs(const QDir& out, Prompter& prompter) {
    bool ok = true;
    CLoginDialog login("3F9A0C27E51B84D6A2C0F17E93B5D048", prompter);
    ok &= shoot(login, out, "CLoginDialog");
    CChangePasswordDlg password(prompter);
    ok &= shoot(password, out, "CChangePasswordDlg");

    ProductList products{{101, 0.25f, "Print 9x13 cm, glossy"},
                         {102, 0.29f, "Print 10x15 cm, glossy"},
                         {103, 0.29f, "Print 10x15 cm, matt"},
                         {110, 1.95f, "Enlargement 20x30 cm"},
                         {120, 14.95f, "Photo book, 24 pages, hard cover"},
                         {130, 12.5f, "Mug with photo"}};
    CProductDialog list(products, prompter);
    ok &= shoot(list, out, "CProductDialog");
    CNewProductDlg newProduct(prompter);
    ok &= shoot(newProduct, out, "CNewProductDlg");
    CEditProductDlg editProduct(products[4], prompter);
    ok &= shoot(editProduct, out, "CEditProductDlg");

    CEditShopInfoDlg info(sampleShop(), sampleLogo(), prompter);
    ok &= shoot(info, out, "CEditShopInfoDlg");
    CPayPalSetupDlg payPal("betalen@fotoverhoef.nl", sampleLogo(), prompter);
    ok &= shoot(payPal, out, "CPayPalSetupDlg");
    const ServiceEndpoint service{"localhost", 8890};
    CShopSetupDialog setup(service, "info@fotoverhoef.nl", prompter);
    ok &= shoot(setup, out, "CShopSetupDialog");
    CShopSetupConfirmDlg confirm(service, "info@fotoverhoef.nl", prompter);
    ok &= shoot(confirm, out, "CShopSetupConfirmDlg");
    return ok;
}

std::vector<HistoryRecord> sampleHistory() {
    return {{"WEB-000131", "anna.keller@example.com", 12.5f, 2.17f, 240612, 931, 2, "PayPal"},
            {"WEB-000132", "b.okafor@example.org", 3.75f, 0.65f, 240614, 1402, 2, "Outstanding"},
            {"WEB-000133", "marie.dupont@example.fr", 29.95f, 5.2f, 240618, 1710, 1, "Sandbox"},
            {"WEB-000134", "jhansen@example.net", 64.2f, 11.14f, 240621, 1045, 3, "PayPal"},
            {"WEB-000135", "lucia.romano@example.it", 8.99f, 1.56f, 240625, 1622, 0, ""},
            {"WEB-000136", "anna.keller@example.com", 145.0f, 25.17f, 240628, 1159, 2, "PayPal"}};
}

// The history with rows found, and the chat in the middle of a conversation
// (its lines filled in as the session would, since no service answers here).
bool shootHistoryAndChat(const QDir& out, Prompter& prompter) {
    CHistoryDlg history(2024, qtPath(joinPath(kHistoryFolder, "History.txt")), prompter);
    // The dates the sample rows were found between: June 2024.
    for (const char* end : {"from", "to"}) {
        const QString name(end);
        history.findChild<QSpinBox*>(name + "Year")->setValue(2024);
        history.findChild<QComboBox*>(name + "Month")->setCurrentIndex(5);
    }
    history.findChild<QSpinBox*>("toDay")->setValue(30);
    history.showRecords(sampleHistory());
    bool ok = shoot(history, out, "CHistoryDlg");

    CChatDlg chat({"localhost", 8891}, "3F9A0C27E51B84D6A2C0F17E93B5D048", ".", prompter);
    auto* lines = chat.findChild<QListWidget*>("chatLines");
    lines->addItems({"Welcome to Velorin support, Foto Verhoef. A member of staff is with you. "
                     "How can we help?",
                     "[Anneke]", "Hello, the price of our canvas prints is wrong on the web shop.",
                     "It shows 19.95 instead of 24.95.", "[Velorin Support]",
                     "Prices come from your product list; update it from the Products menu and "
                     "the network uses the new prices for the next order."});
    lines->setCurrentRow(lines->count() - 1);
    chat.findChild<QPushButton*>("connect")->setText("Disconnect");
    chat.findChild<QPushButton*>("send")->setEnabled(true);
    chat.findChild<QPlainTextEdit*>("input")->setPlainText("Thank you, I will do that now.");
    ok &= shoot(chat, out, "CChatDlg");
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: quillon-dialogshots OUTDIR [PLUGINDIR]\n");
        return 2;
    }
    QDir out(args[1]);
    out.mkpath(".");
    SilentPrompter prompter;
    bool ok = true;

    Settings settings;
    settings.shopid = "3F9A0C27E51B84D6A2C0F17E93B5D048";
    settings.rootpath = "/srv/quillon/Orders";
    settings.prefix = "WEB-";
    settings.purge = 3;
    settings.board = true;
    settings.boardpassword = "pbkdf2-sha256$..."; // a password is set
    CConfigDlg config(prompter);
    config.setValues(configurationOf(settings));
    ok &= shoot(config, out, "CConfigDlg");

    settings.notification = true;
    settings.smtp = "smtp.example.com";
    settings.sender = "orders@example-photo.com";
    settings.attach = true;
    settings.readymail = true;
    settings.shopname = "Foto Lind";
    CEmailSetupDlg email(prompter);
    email.setValues(notificationOf(settings));
    ok &= shoot(email, out, "CEmailSetupDlg");

    CTrustedCustomerDlg trusted(sampleCustomers(), prompter);
    ok &= shoot(trusted, out, "CTrustedCustomerDlg");
    CNewTrustedCustomerDlg customer(CNewTrustedCustomerDlg::Edit, sampleCustomers().at(0),
                                    prompter);
    ok &= shoot(customer, out, "CNewTrustedCustomerDlg");

    PluginHost plugins;
    if (args.size() > 2)
        plugins.load(args[2]);
    CPluginSelectionDlg selection(plugins, prompter);
    if (auto* list = selection.findChild<QListWidget*>(); list && list->count() > 0)
        list->setCurrentRow(0);
    ok &= shoot(selection, out, "CPluginSelectionDlg");
    CPluginParamDlg parameters(PluginParamTable::copyOf(sampleParameters), prompter);
    ok &= shoot(parameters, out, "CPluginParamDlg");
    ok &= shootAccountDialogs(out, prompter);
    ok &= shootHistoryAndChat(out, prompter);
    return ok ? 0 : 1;
}
