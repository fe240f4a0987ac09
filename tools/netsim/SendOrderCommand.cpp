#include "SendOrderCommand.h"

#include "CommandLine.h"
#include "DemoCatalogue.h"
#include "OrderRegistration.h"
#include "PictureGenerator.h"
#include "sender/OrderSender.h"

#include "protocol/NewOrderMessages.h"

#include <QCommandLineParser>
#include <QDateTime>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <cstdio>
#include <thread>

namespace quillon {

namespace {

constexpr char kCommand[] = "send-order";

const char* description() {
    return R"TXT(Sends orders to the shop as the network's sending side does. Unless --number
and --folder are given, each order is first registered on order server 2
(--register-port, as the register command does), which gives its number and
folder. Then the order goes to order server 1 (--port): the order header, the
item list (one entry per picture with the --items), and per picture its file
header and its data block by block, waiting for every acknowledgement.

Each acknowledgement is printed as it arrives: "ack header N", "ack ready 1",
"ack file-header N", "ack block N" (with "(expected M)" when it differs).
With --concurrent N the lines carry "[k] " for order k. --json prints one JSON
document at the end instead. Exit status 0 only when every acknowledgement of
every order was as expected and the shop closed after the last file.

Misbehaving on purpose (for tests):
  --disconnect-after-files K   close the connection after K files
  --file-size-lie DELTA        announce every file DELTA bytes larger (or
                               smaller, when negative) than the data sent)TXT";
}

struct Plan {
    SenderOptions sender;
    ShopEndpoint registrar;
    Registration registration;
    OrderToSend order;
    std::vector<ItemQuantity> itemsOfEveryPicture{{uint32_t(kFirstDemoProductCode), 1}};
    int64_t fileSizeLie = 0;
    bool registered = false; // number and folder given
    int concurrent = 1;
    bool json = false;
};

struct Outcome {
    Registration registration;
    int registrationResult = 0;
    std::string number;
    std::string folder;
    bool ok = false;
    std::string error;
    std::vector<Acknowledgement> acks;
};

std::optional<std::vector<ItemQuantity>> parseItems(const QString& text) {
    std::vector<ItemQuantity> items;
    for (const QString& part : text.split(',', Qt::SkipEmptyParts)) {
        QStringList pair = part.split(':');
        bool codeOk = false, quantityOk = false;
        uint32_t code = pair.value(0).toUInt(&codeOk);
        uint32_t quantity = pair.value(1).toUInt(&quantityOk);
        if (pair.size() != 2 || !codeOk || !quantityOk)
            return std::nullopt;
        items.push_back({code, quantity});
    }
    return items;
}

std::string defaultReference(int index) {
    static const QString stamp = QDateTime::currentDateTime().toString("yyMMddhhmmsszzz");
    return QString("VPN-%1-%2").arg(stamp).arg(index).toStdString();
}

Outcome runOrder(const Plan& plan, int index) {
    Outcome out;
    out.registration = plan.registration;
    if (plan.registration.reference1.empty())
        out.registration.reference1 = defaultReference(index);
    else if (plan.concurrent > 1)
        out.registration.reference1 += "-" + std::to_string(index);
    OrderToSend order = plan.order;
    order.reference1 = out.registration.reference1;
    order.reference2 = out.registration.reference2;
    auto print = [&](const QString& line) {
        if (!plan.json)
            printLine(plan.concurrent > 1 ? QString("[%1] %2").arg(index).arg(line) : line);
    };

    if (!plan.registered) {
        NewOrderAnswer answer;
        if (!registerOrder(plan.registrar, out.registration, answer, out.error)) {
            out.error = "registration failed: " + out.error;
            return out;
        }
        out.registrationResult = answer.result;
        if (answer.result != 1) {
            out.error =
                "the shop refused the registration with result " + std::to_string(answer.result);
            return out;
        }
        order.number = answer.orderNumber;
        order.folder = answer.folder;
        print(QString("registered %1 in %2")
                  .arg(QString::fromLatin1(order.number.c_str()),
                       QString::fromLatin1(order.folder.c_str())));
    }
    out.number = order.number;
    out.folder = order.folder;
    OrderSender sender(plan.sender, [&](const Acknowledgement& ack) {
        QString line = QString("ack %1 %2").arg(ack.step.c_str()).arg(ack.value);
        if (!ack.matches())
            line += QString(" (expected %1)").arg(ack.expected);
        print(line);
    });
    out.ok = sender.send(order);
    out.error = sender.error();
    out.acks = sender.acknowledgements();
    if (plan.sender.disconnectAfterFiles >= 0 &&
        plan.sender.disconnectAfterFiles < int(order.files.size()))
        print(QString("disconnected after %1 file(s) as asked")
                  .arg(plan.sender.disconnectAfterFiles));
    return out;
}

QJsonObject toJson(const Outcome& o) {
    QJsonArray acks;
    for (const Acknowledgement& a : o.acks)
        acks.append(QJsonObject{{"step", a.step.c_str()},
                                {"value", qint64(a.value)},
                                {"expected", qint64(a.expected)}});
    return {{"reference1", QString::fromLatin1(o.registration.reference1.c_str())},
            {"reference2", QString::fromLatin1(o.registration.reference2.c_str())},
            {"registration", o.registrationResult},
            {"number", QString::fromLatin1(o.number.c_str())},
            {"folder", QString::fromLatin1(o.folder.c_str())},
            {"ok", o.ok},
            {"error", QString::fromStdString(o.error)},
            {"acks", acks}};
}

std::optional<std::vector<OrderFile>> picturesIn(const QString& folder, QString& error) {
    QDir dir(folder);
    if (!dir.exists()) {
        error = "no folder " + folder;
        return std::nullopt;
    }
    std::vector<OrderFile> files;
    for (const QFileInfo& f : dir.entryInfoList(QDir::Files, QDir::Name))
        files.push_back({f.fileName().toLatin1().toStdString(), {}, f.filePath()});
    if (files.empty()) {
        error = "no files in " + folder;
        return std::nullopt;
    }
    return files;
}

} // namespace

int runSendOrderCommand(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(description());
    parser.addOptions({
        {"pictures", "Sends every file of this folder, in name order.", "DIR"},
        {"generate", "Sends K generated photo-like JPEG pictures.", "K"},
        {"items", "Items ordered of every picture (default: one of the first demo product).",
         "CODE:QTY,..."},
        {"block-size", "File bytes between two acknowledgements (default 65536).", "B", "65536"},
        {"tax", "Tax rate in percent (default 0).", "PERCENT", "0"},
        {"title", "Summary title (default \"Velorin Photo Order\").", "T", "Velorin Photo Order"},
        {"email", "The customer's e-mail address (default customer@example.com).", "E",
         "customer@example.com"},
        {"shop-number", "The shop number the order is registered for (default 1).", "N", "1"},
        {"ref1", "First order reference (default: made up; with --concurrent, -k is added).", "A"},
        {"ref2", "Second order reference (default WEB).", "B", "WEB"},
        {"number", "Order number to use without registering (needs --folder).", "X"},
        {"folder", "Order folder to use without registering (needs --number).", "F"},
        {"concurrent", "Sends N orders at once, each registered separately.", "N", "1"},
        {"host", "The shop's address (default 127.0.0.1).", "H", "127.0.0.1"},
        {"port", "The shop's order server 1 port (default 5553).", "PORT", "5553"},
        {"register-port", "The shop's order server 2 port (default 5552).", "PORT", "5552"},
        {"timeout", "Longest wait for each step of the shop, in ms (default 30000).", "MS",
         "30000"},
        {"json", "Prints one JSON document at the end instead of the lines."},
        {"disconnect-after-files", "Closes the connection after K files.", "K"},
        {"file-size-lie", "Announces each file DELTA bytes larger than it is.", "DELTA"},
    });
    if (auto done = parseCommand(parser, kCommand, arguments))
        return *done;
    if (parser.isSet("pictures") == parser.isSet("generate"))
        return usageError(kCommand, "give either --pictures DIR or --generate K");
    if (parser.isSet("number") != parser.isSet("folder"))
        return usageError(kCommand, "--number and --folder go together");

    QString error;
    Plan plan;
    auto blockSize = intOption(parser, "block-size", 1, 16 << 20, error);
    auto shopNumber =
        blockSize ? intOption(parser, "shop-number", 0, 9999999, error) : std::nullopt;
    auto concurrent = shopNumber ? intOption(parser, "concurrent", 1, 64, error) : std::nullopt;
    auto port = concurrent ? intOption(parser, "port", 1, 65535, error) : std::nullopt;
    auto registerPort = port ? intOption(parser, "register-port", 1, 65535, error) : std::nullopt;
    auto timeout = registerPort ? intOption(parser, "timeout", 1, 600000, error) : std::nullopt;
    if (!timeout)
        return usageError(kCommand, error);
    bool taxOk = false;
    plan.order.taxRate = parser.value("tax").toFloat(&taxOk);
    if (!taxOk)
        return usageError(kCommand, "--tax must be a number");
    if (parser.isSet("disconnect-after-files")) {
        auto k = intOption(parser, "disconnect-after-files", 0, 1000000, error);
        if (!k)
            return usageError(kCommand, error);
        plan.sender.disconnectAfterFiles = int(*k);
    }
    if (parser.isSet("file-size-lie")) {
        auto lie = intOption(parser, "file-size-lie", -(1LL << 31), 1LL << 31, error);
        if (!lie)
            return usageError(kCommand, error);
        plan.fileSizeLie = *lie;
    }
    if (parser.isSet("items")) {
        auto items = parseItems(parser.value("items"));
        if (!items)
            return usageError(kCommand, "--items must be CODE:QTY pairs separated by commas");
        plan.itemsOfEveryPicture = *items;
    }
    plan.concurrent = int(*concurrent);
    if (parser.isSet("number") && plan.concurrent > 1)
        return usageError(kCommand, "--number and --folder name one order; drop --concurrent");

    std::string host = parser.value("host").toStdString();
    plan.sender.shop = {host, int(*port), int(*timeout)};
    plan.sender.blockSize = int(*blockSize);
    plan.registrar = {host, int(*registerPort), int(*timeout)};
    plan.registration = {int(*shopNumber), parser.value("ref1").toLatin1().toStdString(),
                         parser.value("ref2").toLatin1().toStdString(),
                         parser.value("email").toLatin1().toStdString()};
    plan.registered = parser.isSet("number");
    plan.order.number = parser.value("number").toLatin1().toStdString();
    plan.order.folder = parser.value("folder").toLatin1().toStdString();
    plan.order.title = parser.value("title").toLatin1().toStdString();
    plan.order.email = plan.registration.email;
    plan.json = parser.isSet("json");

    QTemporaryDir generated;
    if (parser.isSet("generate")) {
        auto count = intOption(parser, "generate", 1, 1000, error);
        if (!count)
            return usageError(kCommand, error);
        QStringList paths;
        if (!generated.isValid() || !PictureGenerator(uint32_t(QDateTime::currentMSecsSinceEpoch()))
                                         .generate(generated.path(), int(*count), paths, error)) {
            std::fprintf(stderr, "%s %s: %s\n", kProgram, kCommand,
                         error.toLocal8Bit().constData());
            return kExitFailed;
        }
        for (const QString& p : paths)
            plan.order.files.push_back({QFileInfo(p).fileName().toStdString(), {}, p});
    } else {
        auto files = picturesIn(parser.value("pictures"), error);
        if (!files)
            return usageError(kCommand, error);
        plan.order.files = *files;
    }
    for (OrderFile& file : plan.order.files) {
        file.sizeLie = plan.fileSizeLie;
        plan.order.items.push_back({file.name, plan.itemsOfEveryPicture});
    }

    std::vector<Outcome> outcomes(size_t(plan.concurrent));
    std::vector<std::thread> threads;
    for (int k = 0; k < plan.concurrent; ++k)
        threads.emplace_back([&, k] { outcomes[size_t(k)] = runOrder(plan, k + 1); });
    for (std::thread& t : threads)
        t.join();

    bool allOk = true;
    QJsonArray orders;
    for (const Outcome& o : outcomes) {
        allOk = allOk && o.ok;
        orders.append(toJson(o));
        if (!o.ok && !plan.json)
            std::fprintf(stderr, "%s %s: order %s: %s\n", kProgram, kCommand,
                         o.registration.reference1.c_str(), o.error.c_str());
    }
    if (plan.json)
        std::fputs(QJsonDocument(QJsonObject{{"ok", allOk}, {"orders", orders}})
                       .toJson(QJsonDocument::Indented)
                       .constData(),
                   stdout);
    return allOk ? kExitOk : kExitFailed;
}

} // namespace quillon
