#include "core/ShopRegistration.h"

#include "orders/QtText.h"

#include <QTimer>

namespace quillon {

namespace {

constexpr char kStep[] = "registration";

QStringList textsOf(const std::vector<std::string>& messages) {
    QStringList texts;
    for (const std::string& m : messages)
        texts << toQString(m);
    return texts;
}

} // namespace

ShopRegistration::ShopRegistration(ServiceEndpoint service, QObject* parent)
    : QObject(parent), m_service(std::move(service)) {}

bool ShopRegistration::sendSetup(const ShopSetupDetails& details,
                                 const std::string& retypedPassword) {
    if (m_busy)
        return false;
    return m_busy = m_requests.run<ShopSetupResult>(
               kStep,
               [service = m_service, details, retypedPassword](Prompter& p) {
                   return sendShopSetup(service, p, details, retypedPassword);
               },
               [this](RequestOutcome<ShopSetupResult> outcome) {
                   // The dialog may show boxes and close: not inside the runner.
                   QTimer::singleShot(0, this, [this, outcome] {
                       m_busy = false;
                       emit setupFinished(outcome.value, textsOf(outcome.messages));
                   });
               });
}

bool ShopRegistration::confirm(const std::string& shopId, const std::string& email) {
    if (m_busy)
        return false;
    return m_busy = m_requests.run<ConfirmationResult>(
               kStep,
               [service = m_service, shopId, email](Prompter& p) {
                   return confirmShopSetup(service, p, shopId, email);
               },
               [this](RequestOutcome<ConfirmationResult> outcome) {
                   QTimer::singleShot(0, this, [this, outcome] {
                       m_busy = false;
                       emit confirmationFinished(outcome.value, textsOf(outcome.messages));
                   });
               });
}

} // namespace quillon
