#include "ui/shell/NewOrderAlert.h"

#include "core/Shop.h"

namespace quillon {

NewOrderAlert::NewOrderAlert(const Shop& shop, QWidget* window, Attention& attention)
    : QObject(window), m_shop(shop), m_window(window), m_attention(attention) {
    connect(&shop.intake(), &OrderIntake::orderReceived, this,
            [this](const QString& number, const QString& customer, const QString& total) {
                if (!m_shop.settings().notifyneworders || !m_window || m_window->isActiveWindow())
                    return;
                m_attention.ask({number, customer, total});
            });
}

} // namespace quillon
