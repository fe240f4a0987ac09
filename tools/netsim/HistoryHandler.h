#pragma once

namespace quillon {

class ServiceRequest;

// The transaction history (10/2, named fields): the session's rows dated
// between the two YYMMDD values.
void handleHistory(ServiceRequest& request);

} // namespace quillon
