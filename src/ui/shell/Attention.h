#pragma once

#include <QString>

namespace quillon {

// An order that has just been stored, as the shop owner is told of it.
struct NewOrderNotice {
    QString orderNumber;
    QString customer;
    QString total;
};

// How the window asks for the shop owner's attention: the desktop's way in
// a real run, a recorder in tests.
class Attention {
public:
    virtual ~Attention() = default;
    virtual void ask(const NewOrderNotice& notice) = 0;
};

} // namespace quillon
