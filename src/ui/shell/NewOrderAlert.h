#pragma once

#include "ui/shell/Attention.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace quillon {

class Shop;

// Asks for attention once per stored order while the window is not the
// active one, unless the profile's notifyneworders is off: the owner is
// serving customers and must notice a new order.
class NewOrderAlert : public QObject {
    Q_OBJECT
public:
    NewOrderAlert(const Shop& shop, QWidget* window, Attention& attention);

private:
    const Shop& m_shop;
    QPointer<QWidget> m_window;
    Attention& m_attention;
};

} // namespace quillon
