#pragma once

#include <QStringList>

namespace quillon {

// quillon-netsim send-order: registers orders and sends them to the shop's
// order server 1.
int runSendOrderCommand(const QStringList& arguments);

} // namespace quillon
