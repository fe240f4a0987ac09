#pragma once

#include <string>

namespace quillon {

class Socket;
struct ServiceContext;

enum class ServicePort { Service, Chat };

// Reads what a connection starts with, as the shop's side sends it: a
// 12-byte opening (kinds 0, 6, 10, and 11 on the chat port), a 108-byte
// session opening (kinds 2 and 4), or a raw request (first word 1, 3 or 5).
// Then runs the one exchange it names. Anything else is logged and the
// connection closed; nothing a peer sends is trusted for a size.
void serveConnection(Socket& socket, ServicePort port, const std::string& peer,
                     const ServiceContext& context);

} // namespace quillon
