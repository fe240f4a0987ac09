#include "OrderHandlers.h"

#include "ServiceRequest.h"
#include "ServiceState.h"

#include "protocol/OrderCheckMessages.h"
#include "protocol/OrderNumberMessages.h"
#include "protocol/PaymentStatusMessages.h"

namespace quillon {

namespace {

std::string orderLabel(const std::string& reference1, const std::string& reference2) {
    return "order \"" + reference1 + "\"/\"" + reference2 + "\"";
}

} // namespace

void handleOrderCheck(ServiceRequest& request) {
    OrderCheckRequest body;
    if (!request.receive(body, false, "6/2 order check"))
        return;
    OrderRecord order = request.state().checkOrder(body.reference1, body.reference2);
    FaultPlan plan = request.faults("6/2", body.reference1, body.reference2);
    OrderCheckAnswer reply;
    reply.result = plan.returncode.value_or(order.checkResult);
    if (reply.result == 1) {
        reply.shipping1 = order.shipping1;
        reply.shipping2 = order.shipping2;
        reply.shipping3 = order.shipping3;
    }
    std::string how = request.answer(reply, false, plan);
    request.log("6/2 order check, " + orderLabel(body.reference1, body.reference2) + ": " +
                outcomeText("result", reply.result, plan) + "; " + how);
}

void handleOrderNumberReport(ServiceRequest& request) {
    OrderNumberReport body;
    if (!request.receive(body, false, "6/3 order number report"))
        return;
    int32_t result =
        request.state().reportOrderNumber(body.reference1, body.reference2, body.orderNumber);
    FaultPlan plan = request.faults("6/3", body.reference1, body.reference2);
    OrderNumberAnswer reply;
    reply.result = plan.returncode.value_or(result);
    std::string how = request.answer(reply, false, plan);
    request.log("6/3 order number " + body.orderNumber + ", " +
                orderLabel(body.reference1, body.reference2) + ": " +
                outcomeText("result", reply.result, plan) + "; " + how);
}

void handlePaymentStatus(ServiceRequest& request) {
    PaymentStatusRequest body;
    if (!request.receive(body, false, "6/4 payment status"))
        return;
    OrderRecord order = request.state().paymentStatus(body.reference1, body.reference2);
    FaultPlan plan = request.faults("6/4", body.reference1, body.reference2);
    PaymentStatusAnswer reply;
    reply.result = plan.returncode.value_or(1);
    reply.paymentCode = plan.payment ? plan.payment->code : order.paymentCode;
    reply.paymentText1 = plan.payment ? plan.payment->text1 : order.paymentText1;
    reply.paymentText2 = plan.payment ? plan.payment->text2 : order.paymentText2;
    std::string how = request.answer(reply, false, plan);
    request.log("6/4 payment status of " + body.orderNumber + ", " +
                orderLabel(body.reference1, body.reference2) + ": " +
                outcomeText("result", reply.result, plan) + ", payment code " +
                std::to_string(reply.paymentCode) + " \"" + reply.paymentText1 + "\" \"" +
                reply.paymentText2 + "\"; " + how);
}

} // namespace quillon
