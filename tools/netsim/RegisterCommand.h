#pragma once

#include <QStringList>

namespace quillon {

// quillon-netsim register: a new-order registration on order server 2.
int runRegisterCommand(const QStringList& arguments);
// quillon-netsim status-query: the status query on order server 2.
int runStatusQueryCommand(const QStringList& arguments);

} // namespace quillon
