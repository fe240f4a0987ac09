#pragma once

#include <QStringList>

namespace quillon {

// quillon-netsim service: the central service and the chat service.
int runServiceCommand(const QStringList& arguments);

} // namespace quillon
