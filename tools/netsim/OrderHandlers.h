#pragma once

namespace quillon {

class ServiceRequest;

// The shop's questions about an order: the order check (6/2), the order
// number report (6/3) and the payment status (6/4).
void handleOrderCheck(ServiceRequest& request);
void handleOrderNumberReport(ServiceRequest& request);
void handlePaymentStatus(ServiceRequest& request);

} // namespace quillon
