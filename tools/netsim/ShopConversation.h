#pragma once

#include "sender/ShopEndpoint.h"

#include <string>

namespace quillon {

class Message;

// One conversation with order server 2, from the network's side: sends
// `request` as the sending side of a plain exchange, then takes the shop's
// answer as the receiving side (its opening, the version answer, its
// body). False with the reason when any step fails.
bool askShop(const ShopEndpoint& shop, const Message& request, Message& answer, std::string& error);

// A wire text made printable on one line: control characters are written
// as \n, \r, \t or \xNN, and a backslash as two.
std::string printable(const std::string& text);

} // namespace quillon
