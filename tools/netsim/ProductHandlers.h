#pragma once

namespace quillon {

class ServiceRequest;

// The shop's product list: the update (4/2) and the raw fetch, answered
// with a framed packet of protocol ID 1.
void handleProductUpdate(ServiceRequest& request);
void handleProductFetch(ServiceRequest& request);

} // namespace quillon
