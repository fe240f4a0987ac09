#include "orders/Registration.h"

#include "netlib/Socket.h"
#include "orders/FolderRegistry.h"
#include "orders/OrderNumbering.h"
#include "orders/PluginHost.h"
#include "orders/Settings.h"
#include "orders/TrustedCustomers.h"
#include "protocol/CentralService.h"
#include "protocol/Credentials.h"
#include "protocol/Exchange.h"
#include "protocol/NewOrderMessages.h"
#include "protocol/StatusMessages.h"

namespace quillon {

namespace {

constexpr uint32_t kNewOrderKind = 6, kNewOrderSubkind = 1;
constexpr uint32_t kStatusKind = 11, kStatusSubkind = 9;

ServiceEndpoint serviceOf(const Settings& s) {
    return ServiceEndpoint{s.hostaddress, s.centralServicePort};
}

// The state steps of an accepted order, on the shop's thread: number and
// folder, the plug-ins' pre-order and shipping steps, the trusted mark, the
// counter. One registration at a time, so no number is given twice.
void assignOrder(RegistrationContext& ctx, const NewOrderRequest& request,
                 const OrderCheckResult& check, NewOrderAnswer& answer) {
    Settings& s = *ctx.settings;
    std::string number = formatOrderNumber(s);
    std::string folder = orderFolder(s.rootpath, number);
    ctx.plugins->preOrder(s.currentnumber, s.rootpath, number, folder);
    answer.orderNumber = number;
    answer.folder = folder;
    ctx.folders->add(folder);
    ctx.plugins->shipping(request.customerEmail, number, check.shipping1, check.shipping2,
                          check.shipping3, answer.shippingFlag1, answer.shippingFlag2);
    answer.trustedCustomer = ctx.trusted->isTrusted(request.customerEmail) ? 1 : 0;
    if (advanceCounter(s))
        ctx.addStatusLine("Order number wrapped around.");
    ctx.counterAdvanced();
}

void registerOrder(Socket& connection, const ByteData& opening, RegistrationContext& ctx) {
    NewOrderRequest request;
    if (receivePlain(request, bytesOf(opening), connection) < 0)
        return;
    Settings now;
    if (!ctx.onShop([&] { now = *ctx.settings; }))
        return;
    std::optional<Ticket> ticket = decryptTicket(now.shopid);
    if (!ticket)
        return;

    NewOrderAnswer answer;
    OrderCheckResult check;
    if (request.shopNumber != ticket->shopNumber)
        check.result = -3;
    else
        check = checkOrder(serviceOf(now), *ctx.prompter, request.reference1, request.reference2);

    if (check.result == 1) {
        if (!ctx.onShop([&] { assignOrder(ctx, request, check, answer); }))
            return;
        if (ctx.counterStored)
            ctx.counterStored();
        reportOrderNumber(serviceOf(now), *ctx.prompter, request.reference1, request.reference2,
                          answer.orderNumber);
    }
    answer.result = check.result;
    sendPlain(answer, connection);
}

void answerStatusQuery(Socket& connection, const ByteData& opening, RegistrationContext& ctx) {
    StatusQuery query;
    if (receivePlain(query, bytesOf(opening), connection) < 0)
        return;
    Settings s;
    bool offline = true;
    if (!ctx.onShop([&] {
            s = *ctx.settings;
            offline = *ctx.offline;
        }))
        return;
    StatusAnswer answer;
    if (query.shopId != s.shopid) {
        answer.result = -1;
    } else {
        answer.result = 1;
        answer.details = sessionDetailsOf(s, offline);
        answer.shopId = s.shopid;
        answer.writeTest = writeTestFile(s.rootpath);
    }
    sendPlain(answer, connection);
}

} // namespace

void handleRegistrationConnection(Socket& connection, const ByteData& opening,
                                  RegistrationContext& ctx) {
    uint32_t kind = 0, subkind = 0;
    if (!opening.getU32(0, kind))
        return;
    if (kind != kNewOrderKind && kind != kStatusKind)
        return;
    if (opening.size() <= 8) {
        ctx.onShop([&] { ctx.addStatusLine("Bad comm data."); });
        return;
    }
    opening.getU32(4, subkind);
    if (kind == kNewOrderKind && subkind == kNewOrderSubkind)
        registerOrder(connection, opening, ctx);
    else if (kind == kStatusKind && subkind == kStatusSubkind)
        answerStatusQuery(connection, opening, ctx);
}

} // namespace quillon
