#include "RegisterCommand.h"

#include "CommandLine.h"
#include "OrderRegistration.h"

#include "protocol/NewOrderMessages.h"
#include "protocol/StatusMessages.h"

#include <QCommandLineParser>
#include <cstdio>
#include <utility>
#include <variant>
#include <vector>

namespace quillon {

namespace {

using FieldValue = std::variant<int64_t, std::string>;

void printFields(const std::vector<std::pair<const char*, FieldValue>>& fields) {
    for (const auto& [name, value] : fields) {
        QString text = std::holds_alternative<int64_t>(value)
                           ? QString::number(std::get<int64_t>(value))
                           : QString::fromLatin1(printable(std::get<std::string>(value)).c_str());
        printLine(QString("%1: %2").arg(name, text));
    }
}

void addEndpointOptions(QCommandLineParser& parser) {
    parser.addOptions({
        {"host", "The shop's address (default 127.0.0.1).", "HOST", "127.0.0.1"},
        {"port", "The shop's order server 2 port (default 5552).", "PORT", "5552"},
        {"timeout", "Longest wait for each step of the shop, in ms (default 30000).", "MS",
         "30000"},
    });
}

std::optional<ShopEndpoint> endpointOf(const QCommandLineParser& parser, QString& error) {
    auto port = intOption(parser, "port", 1, 65535, error);
    auto timeout = port ? intOption(parser, "timeout", 1, 600000, error) : std::nullopt;
    if (!timeout)
        return std::nullopt;
    return ShopEndpoint{parser.value("host").toStdString(), int(*port), int(*timeout)};
}

int conversationFailed(const char* command, const std::string& error) {
    std::fprintf(stderr, "%s %s: %s\n", kProgram, command, error.c_str());
    return kExitFailed;
}

} // namespace

int runRegisterCommand(const QStringList& arguments) {
    constexpr char command[] = "register";
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Registers a new order with the shop on its order server 2, as the network does\n"
        "before it sends the order's data, and prints the shop's six answer fields, one\n"
        "per line as \"name: value\" (result, folder, number, shipping1, shipping2,\n"
        "trusted). Exit status 0 when the conversation completed, whatever the result;\n"
        "1 when it failed on the way.");
    parser.addOptions({
        {"shop-number", "The shop number the order is for.", "N"},
        {"ref1", "First order reference.", "A"},
        {"ref2", "Second order reference.", "B"},
        {"email", "The customer's e-mail address.", "E"},
    });
    addEndpointOptions(parser);
    if (auto done = parseCommand(parser, command, arguments))
        return *done;
    QString error;
    for (const char* required : {"shop-number", "ref1", "ref2", "email"})
        if (!parser.isSet(required))
            return usageError(command, QString("--%1 is required").arg(required));
    auto shopNumber = intOption(parser, "shop-number", 0, 9999999, error);
    auto shop = shopNumber ? endpointOf(parser, error) : std::nullopt;
    if (!shop)
        return usageError(command, error);

    Registration registration{int(*shopNumber), parser.value("ref1").toLatin1().toStdString(),
                              parser.value("ref2").toLatin1().toStdString(),
                              parser.value("email").toLatin1().toStdString()};
    NewOrderAnswer answer;
    std::string failure;
    if (!registerOrder(*shop, registration, answer, failure))
        return conversationFailed(command, failure);
    printFields({{"result", answer.result},
                 {"folder", answer.folder},
                 {"number", answer.orderNumber},
                 {"shipping1", answer.shippingFlag1},
                 {"shipping2", answer.shippingFlag2},
                 {"trusted", answer.trustedCustomer}});
    return kExitOk;
}

int runStatusQueryCommand(const QStringList& arguments) {
    constexpr char command[] = "status-query";
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Asks the shop's order server 2 for its set-up (the status query 11/9) and\n"
        "prints the 22 answer fields, one per line as \"name: value\", named after the\n"
        "shop's settings (result, attach, body, currentnumber, ..., offline,\n"
        "writetest). Control characters in texts are written as \\n, \\r, \\t or \\xNN.\n"
        "Exit status 0 when the conversation completed, 1 when it failed.");
    parser.addOption({"shop-id",
                      "The SHOP ID to ask about (the shop answers -1 unless it is "
                      "its own).",
                      "ID"});
    addEndpointOptions(parser);
    if (auto done = parseCommand(parser, command, arguments))
        return *done;
    if (!parser.isSet("shop-id"))
        return usageError(command, "--shop-id is required");
    QString error;
    auto shop = endpointOf(parser, error);
    if (!shop)
        return usageError(command, error);

    StatusQuery query;
    query.shopId = parser.value("shop-id").toLatin1().toStdString();
    StatusAnswer answer;
    std::string failure;
    if (!askShop(*shop, query, answer, failure))
        return conversationFailed(command, failure);
    const SessionDetails& d = answer.details;
    printFields({{"result", answer.result},
                 {"attach", d.attach},
                 {"body", d.body},
                 {"currentnumber", d.currentNumber},
                 {"email", d.email},
                 {"fontsize", d.fontSize},
                 {"notification", d.notification},
                 {"numdigit", d.numDigit},
                 {"postfix", d.postfix},
                 {"prefix", d.prefix},
                 {"purge", d.purge},
                 {"rootordernumber", d.rootOrderNumber},
                 {"rootpath", d.rootPath},
                 {"sender", d.sender},
                 {"shopid", answer.shopId},
                 {"showlast", d.showLast},
                 {"smtp", d.smtp},
                 {"status", d.status},
                 {"subject", d.subject},
                 {"wraparound", d.wrapAround},
                 {"offline", d.offline},
                 {"writetest", answer.writeTest}});
    return kExitOk;
}

} // namespace quillon
