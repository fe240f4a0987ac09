#pragma once

namespace quillon {

class ServiceRequest;

// The shop's account: login (2/0), the raw logout, password change (4/3),
// and the shop information update (4/0) and fetch (4/1).
void handleLogin(ServiceRequest& request);
void handleLogout(ServiceRequest& request);
void handleChangePassword(ServiceRequest& request);
void handleShopInfoUpdate(ServiceRequest& request);
void handleShopInfoFetch(ServiceRequest& request);

} // namespace quillon
