// The "Transaction history" dialog and the "Chat" window, opened from the
// main window's menus on a real shop, driven on the offscreen platform
// against the simulated central service and its scripted faults.
#include "core/WorkingFolders.h"
#include "protocol/ChatRequests.h"
#include "protocol/HistoryRequest.h"
#include "ui/dialogs/CChatDlg.h"
#include "ui/dialogs/CHistoryDlg.h"
#include "ui/dialogs/CLoginDialog.h"
#include "ui/mainwindow/CMainDlg.h"

#include "support/gui/DialogDriver.h"
#include "support/shop/ShopHarness.h"

#include <QComboBox>
#include <QFile>
#include <QInputDialog>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

using namespace quillon;
using namespace testsupport;
using Texts = std::vector<std::string>;

namespace {

// Shop 42's history: a leap day, a customer whose text holds the export's
// separator and quotes, and a status no text belongs to.
constexpr char kState[] = R"({"shops": [{"number": 42, "shopId": "%1", "name": "Photo shop 42",
  "history": [
    {"orderNumber": "000101  ", "customer": "Anna Berg ", "amount": 12.5, "tax": 1.5,
     "date": 120229, "time": 905, "status": 2, "payment": "PayPal"},
    {"orderNumber": "000102", "customer": "Smith; \"Jo\"", "amount": 3.75, "tax": 0,
     "date": 120301, "time": 1730, "status": 9, "payment": "Outstanding"},
    {"orderNumber": "000103", "customer": "li.wei@example.org", "amount": 29.95, "tax": 0,
     "date": 130115, "time": 1200, "status": 0, "payment": "Sandbox"}]}]})";

constexpr char kPassword[] = "secret";
const auto kLimit = std::chrono::seconds(30);

class HistoryAndChat : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(writeFile(m_dir.filePath("state.json"),
                              QString(kState).arg(NetsimService::shopId(42)).toUtf8()));
        served = std::make_unique<ServedShop>(QStringList{"--state", m_dir.filePath("state.json")});
        served->h.create();
        window = std::make_unique<CMainDlg>(shop(), served->h.prompter);
        window->show();
    }

    void choose(int menu, int item) { chooseMenuItem(*window->menuBar(), menu, item); }
    Shop& shop() { return *served->h.shop; }
    NetsimService& service() { return served->service; }
    Texts shown() { return served->h.prompter.messages(); }
    bool shownCount(size_t n) {
        return processUntil([&] { return shown().size() == n; }, kLimit);
    }
    void fault(const QByteArray& rules) { ASSERT_TRUE(service().writeFaults(rules)); }
    QString file(const QString& name) { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    std::unique_ptr<ServedShop> served;
    std::unique_ptr<CMainDlg> window;
};

void setDate(CHistoryDlg& d, const char* which, int year, int month, int day) {
    const QString name(which);
    child<QSpinBox>(d, qPrintable(name + "Year"))->setValue(year);
    child<QComboBox>(d, qPrintable(name + "Month"))->setCurrentIndex(month - 1);
    child<QSpinBox>(d, qPrintable(name + "Day"))->setValue(day);
}

std::vector<QStringList> tableTexts(QTableWidget& table) {
    std::vector<QStringList> rows;
    for (int r = 0; r < table.rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < table.columnCount(); ++c)
            row << table.item(r, c)->text();
        rows.push_back(row);
    }
    return rows;
}

QStringList listTexts(QListWidget& list) {
    QStringList texts;
    for (int i = 0; i < list.count(); ++i)
        texts << list.item(i)->text();
    return texts;
}

} // namespace

TEST_F(HistoryAndChat, HistoryFindsShowsAndExportsRecords) {
    ASSERT_TRUE(shop().account().login(shop().settings().shopid, kPassword));
    ASSERT_TRUE(processUntil([this] { return !shop().account().isBusy(); }, kLimit));
    shownCount(1);
    QString proposed;
    QString target = file("History.txt");
    WhenShown<CHistoryDlg> use([&](CHistoryDlg& d) {
        d.setSaveFileChooser([&](QWidget*, const QString& path) {
            proposed = path;
            return target;
        });
        QTableWidget& records = *child<QTableWidget>(d, "records");
        auto find = [&] {
            clickButton(d, "Find records...");
            EXPECT_EQ(records.rowCount(), 0);
            EXPECT_TRUE(
                processUntil([&] { return child<QPushButton>(d, "find")->isEnabled(); }, kLimit));
        };
        // The choosers start at 2009-01-01; no order lies there.
        find();
        EXPECT_TRUE(service().waitForLog("10/2 history 90101-90101"));
        EXPECT_EQ(records.rowCount(), 0);
        clickButton(d, "Export Transaction Records");
        EXPECT_TRUE(QFile::exists(file("History.txt")) && readFile(file("History.txt")).isEmpty());

        // February of a leap year has its 29th.
        setDate(d, "to", 2012, 2, 29);
        EXPECT_EQ(child<QSpinBox>(d, "toDay")->value(), 29);
        find();
        EXPECT_TRUE(service().waitForLog("10/2 history 90101-120229"));
        EXPECT_EQ(tableTexts(records),
                  (std::vector<QStringList>{
                      {"000101", "12.50", "Anna Berg", "2012-02-29 09:05", "Live", "PayPal"}}));

        setDate(d, "to", 2013, 12, 31);
        find();
        const std::vector<QStringList> shownRows = tableTexts(records);
        ASSERT_EQ(shownRows.size(), 3u);
        EXPECT_EQ(shownRows[1][4], "");
        clickButton(d, "Export Transaction Records");
        // One line a row (how a line is quoted is the history fields' test).
        EXPECT_EQ(readFile(file("History.txt")).count("\r\n"), 3);

        // A failed exchange ends silently with an empty list; the service's
        // refusals show their texts; an expired session logs the shop out.
        fault(R"([{"kind": "10/2", "action": "short"}])");
        find();
        EXPECT_EQ(records.rowCount(), 0);
        for (int rc : {-2, -3, -1}) {
            fault(QString(R"([{"kind": "10/2", "action": "returncode", "value": %1}])")
                      .arg(rc)
                      .toUtf8());
            find();
        }
        EXPECT_TRUE(shownCount(4));
        target = file("missing/History.txt");
        clickButton(d, "Export Transaction Records");
        d.reject();
    });
    choose(0, 4);
    EXPECT_TRUE(processUntil([&] { return use.acted(); }, kLimit));
    EXPECT_EQ(proposed, served->h.folder.filePath(kHistoryFolder, "History.txt"));
    const Texts texts = shown();
    EXPECT_EQ(Texts(texts.begin() + 1, texts.end()),
              (Texts{kHistoryDatabaseErrorText, kHistoryBadDataText,
                     "Your session has timeout. Please login and try again.",
                     "The file " + target.toStdString() + " could not be written."}));
    EXPECT_FALSE(shop().account().isLoggedIn());
}

TEST_F(HistoryAndChat, ChatWindowFromConnectToExit) {
    choose(1, 1);
    ASSERT_TRUE(processUntil([this] { return window->findChild<CChatDlg*>(); }, kLimit));
    QPointer<CChatDlg> chat = window->findChild<CChatDlg*>();
    EXPECT_TRUE(chat->isVisible());
    ChatSession& session = chat->session();
    session.setPollInterval(300);
    QPushButton& connectButton = *child<QPushButton>(*chat, "connect");
    QPushButton& send = *child<QPushButton>(*chat, "send");
    QListWidget& lines = *child<QListWidget>(*chat, "chatLines");
    const ServiceEndpoint desk{"127.0.0.1", service().chatPort()};
    const std::string shopId = shop().settings().shopid;
    auto logged = [this](const QString& text, qsizetype times = 1) {
        return processUntil([&] { return service().log().count(text) >= times; }, kLimit);
    };

    auto connectAs = [&](const char* password) {
        WhenShown<CLoginDialog> login([password](CLoginDialog& d) {
            child(d, "password")->setText(password);
            d.accept();
        });
        WhenShown<QInputDialog> name([](QInputDialog& d) {
            d.setTextValue("Anna");
            d.accept();
        });
        connectButton.click();
        EXPECT_TRUE(login.acted() && name.acted());
        EXPECT_TRUE(processUntil([&] { return !session.isOpening(); }, kLimit));
    };

    // Opened at the service with no line to show: the window stays "Connect"
    // and the next opening finds the session there.
    fault(R"([{"kind": "11/0", "action": "empty"}])");
    connectAs(kPassword);
    EXPECT_EQ(std::tuple(connectButton.text(), lines.count(), send.isEnabled()),
              std::tuple(QString("Connect"), 0, false));
    connectAs(kPassword);
    CollectingPrompter quiet;
    ASSERT_EQ(closeChatSession(desk, quiet, shopId), ChatOutcome::Done);
    connectAs("wrong");
    EXPECT_TRUE(shownCount(2));
    EXPECT_EQ(shown(), (Texts{kChatAlreadyOpenText, kChatIncorrectPasswordText}));
    EXPECT_EQ(connectButton.text(), "Connect");

    connectAs(kPassword);
    EXPECT_EQ(std::tuple(connectButton.text(), lines.count(), send.isEnabled()),
              std::tuple(QString("Disconnect"), 1, true));
    EXPECT_TRUE(session.isPolling());

    // A line that cannot be sent as typed stays in the input, with the reason.
    auto* input = child<QPlainTextEdit>(*chat, "input");
    input->setPlainText(QString::fromUtf8("Здравствуйте"));
    send.click();
    EXPECT_EQ(std::tuple(input->toPlainText(), lines.count(), shown().back().substr(0, 9)),
              std::tuple(QString::fromUtf8("Здравствуйте"), 1, "Message: "));

    // The lines show under the chat name at once, before any reply.
    child<QPlainTextEdit>(*chat, "input")->setPlainText("Hello there\nA question\nabout prices");
    send.click();
    EXPECT_EQ(listTexts(lines).mid(1),
              (QStringList{"[Anna]", "Hello there", "A question", "about prices"}));
    EXPECT_TRUE(logged("11/3 chat send of 3 line(s)"));
    EXPECT_TRUE(processUntil([&] { return lines.count() > 5; }, kLimit));
    EXPECT_EQ(std::tuple(lines.item(5)->text(), lines.currentRow()),
              std::tuple("[Velorin Support]", lines.count() - 1));

    // Polls answered with result 0 take the staff's answer and show nothing.
    fault(R"([{"kind": "11/6", "action": "returncode", "value": 0, "count": 0}])");
    const int before = lines.count();
    const qsizetype answers = service().log().count("chat poll, 1 record(s)");
    child<QPlainTextEdit>(*chat, "input")->setPlainText("thanks\n\n");
    send.click();
    EXPECT_TRUE(logged("chat poll, 1 record(s)", answers + 1));
    // A failed poll keeps the session and its polling.
    const qsizetype dropped = service().log().count("closed without an answer");
    fault(R"([{"kind": "11/6", "action": "close"}])");
    EXPECT_TRUE(logged("closed without an answer", dropped + 1));
    EXPECT_TRUE(logged("chat poll", service().log().count("chat poll") + 2));
    EXPECT_EQ(listTexts(lines).mid(before), (QStringList{"[Anna]", "thanks"}));
    EXPECT_TRUE(session.isConnected() && session.isPolling());

    // "Disconnect", then "Save script": every line with CR LF, no password.
    connectButton.click();
    EXPECT_TRUE(processUntil([&] { return connectButton.text() == "Connect"; }, kLimit));
    EXPECT_EQ(lines.item(lines.count() - 1)->text(), "Chat session ended.");
    EXPECT_FALSE(send.isEnabled() || session.isPolling());
    chat->setSaveFileChooser([&](QWidget*, const QString& path) {
        EXPECT_EQ(path, served->h.folder.filePath(kHistoryFolder, "ChatScript.txt"));
        return file("script.txt");
    });
    clickButton(*chat, "Save script");
    const QByteArray script = readFile(file("script.txt"));
    EXPECT_EQ(QString::fromLatin1(script), listTexts(lines).join("\r\n") + "\r\n");
    EXPECT_FALSE(script.contains(kPassword));
    for (const std::string& line : shop().statusLines().lines())
        EXPECT_EQ(line.find(kPassword), std::string::npos) << line;

    // "Exit" while connected closes the session, then the window.
    connectAs(kPassword);
    ASSERT_TRUE(session.isConnected());
    const qsizetype closes = service().log().count("11/1 chat close");
    clickButton(*chat, "Exit");
    EXPECT_TRUE(processUntil([&] { return chat.isNull(); }, kLimit));
    EXPECT_TRUE(logged("11/1 chat close", closes + 1));
    EXPECT_EQ(service().log().count("11/1 chat close"), closes + 1);
    EXPECT_EQ(closeChatSession(desk, quiet, shopId), ChatOutcome::Refused);
}
