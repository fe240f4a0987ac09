#pragma once

#include "core/RequestRunner.h"
#include "protocol/CentralService.h"
#include "protocol/ShopSetupRequests.h"

#include <QObject>
#include <QStringList>
#include <string>

namespace quillon {

// The two registration steps of a new shop, as the start-up dialogs run
// them: each request runs off the user-interface thread, one at a time, and
// its outcome comes back as a signal, emitted once the event loop is free,
// with the messages the dialog is to show.
class ShopRegistration : public QObject {
    Q_OBJECT
public:
    explicit ShopRegistration(ServiceEndpoint service, QObject* parent = nullptr);

    // False, and nothing is sent, while a step runs.
    bool sendSetup(const ShopSetupDetails& details, const std::string& retypedPassword);
    bool confirm(const std::string& shopId, const std::string& email);
    // From the start of a step until its signal.
    bool isBusy() const { return m_busy; }

signals:
    void setupFinished(const quillon::ShopSetupResult& result, const QStringList& messages);
    void confirmationFinished(const quillon::ConfirmationResult& result,
                              const QStringList& messages);

private:
    ServiceEndpoint m_service;
    bool m_busy = false;
    RequestRunner m_requests;
};

} // namespace quillon
