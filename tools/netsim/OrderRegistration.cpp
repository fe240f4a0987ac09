#include "OrderRegistration.h"

#include "protocol/NewOrderMessages.h"

namespace quillon {

bool registerOrder(const ShopEndpoint& shop, const Registration& registration,
                   NewOrderAnswer& answer, std::string& error) {
    NewOrderRequest request;
    request.shopNumber = registration.shopNumber;
    request.reference1 = registration.reference1;
    request.reference2 = registration.reference2;
    request.customerEmail = registration.email;
    return askShop(shop, request, answer, error);
}

} // namespace quillon
