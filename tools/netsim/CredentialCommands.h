#pragma once

#include <QStringList>

namespace quillon {

// quillon-netsim mint-shop-id N: the SHOP ID ticket of shop number N.
int runMintShopIdCommand(const QStringList& arguments);
// quillon-netsim shop-number ID: the shop number in a SHOP ID ticket.
int runShopNumberCommand(const QStringList& arguments);
// quillon-netsim encrypt TEXT: a password as the shop sends it.
int runEncryptCommand(const QStringList& arguments);

} // namespace quillon
