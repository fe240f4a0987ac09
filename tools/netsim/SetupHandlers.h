#pragma once

namespace quillon {

class ServiceRequest;

// A new shop: its details (0/0), answered with the new SHOP ID in the
// message, and the raw confirmation of that ID with the e-mail address.
void handleShopSetup(ServiceRequest& request);
void handleSetupConfirmation(ServiceRequest& request);

} // namespace quillon
