#include "core/OrderIntake.h"

#include "core/AccountSession.h"
#include "core/CounterWriter.h"
#include "core/OrderBookFiles.h"
#include "core/RequestRunner.h"
#include "core/SettingsStore.h"
#include "core/ShopConfig.h"
#include "core/StatusLines.h"
#include "core/ThreadHop.h"
#include "orders/Clock.h"
#include "orders/Notification.h"
#include "orders/OrderBook.h"
#include "orders/PluginHost.h"
#include "orders/QtText.h"
#include "orders/Reception.h"
#include "orders/Registration.h"
#include "orders/SummaryBuilder.h"
#include "orders/ThumbnailLoader.h"
#include "protocol/CentralService.h"

#include <QCoreApplication>
#include <algorithm>
#include <utility>

namespace quillon {

namespace {

// How long a registration waits for the next order number to reach the
// profile before it sends its number anyway.
constexpr std::chrono::seconds kCounterStoreWait{5};

// Runs `call` on `context`'s thread with an object that cannot be copied.
template <class T, class F> void postWith(QObject* context, std::unique_ptr<T> value, F call) {
    auto holder = std::make_shared<std::unique_ptr<T>>(std::move(value));
    QMetaObject::invokeMethod(
        context, [holder, call] { call(std::move(*holder)); }, Qt::QueuedConnection);
}

} // namespace

OrderIntake::OrderIntake(IntakeParts parts, QObject* parent)
    : QObject(parent), m_parts(std::move(parts)),
      m_receptions(size_t(std::max(m_parts.config.maxReceptions, 1))) {
    if (m_parts.store)
        m_counterWriter = std::make_unique<CounterWriter>(m_parts.store->iniFile());
}

OrderIntake::~OrderIntake() {
    close();
}

void OrderIntake::close() {
    QCoreApplication::removePostedEvents(this);
    m_receptions.abortAll();
    QCoreApplication::removePostedEvents(this);
}

bool OrderIntake::waitForRoom(std::chrono::milliseconds wait) {
    return m_receptions.waitForRoom(wait);
}

void OrderIntake::receive(std::unique_ptr<Socket> connection) {
    uint16_t key = m_transfers.addReception();

    ReceptionParams params;
    params.connection = std::shared_ptr<Socket>(std::move(connection));
    params.plugins = &m_parts.plugins;
    params.products = m_parts.products;
    params.rowId = key;
    params.rootpath = m_parts.settings.rootpath;
    params.handedOut = &m_handedOutFolders;
    params.clock = &m_parts.clock;
    params.makeSummary = m_parts.config.makeSummaries;
    params.idleLimitMs = m_parts.config.receptionIdleLimitMs;
    params.events.completed = [this](std::unique_ptr<OrderEntry> order) {
        postWith(this, std::move(order),
                 [this](std::unique_ptr<OrderEntry> o) { orderCompleted(std::move(o)); });
    };
    params.events.aborted = [this](std::unique_ptr<OrderEntry> order, const std::string& reason) {
        postWith(this, std::move(order), [this, reason](std::unique_ptr<OrderEntry> o) {
            receptionAborted(std::move(o), reason);
        });
    };
    params.events.progress = [this](int rowId, int k, int n, const std::string& number) {
        QMetaObject::invokeMethod(
            this, [this, rowId, k, n, number] { orderProgress(rowId, k, n, number); },
            Qt::QueuedConnection);
    };
    std::shared_ptr<Socket> socket = params.connection;
    m_receptions.start(socket, [params]() mutable { receiveOrder(std::move(params)); });
}

void OrderIntake::orderCompleted(std::unique_ptr<OrderEntry> order) {
    m_receptions.collectFinished();
    m_parts.plugins.postOrder(order->orderNumber, order->folder);
    // The payment status is asked first, since its code is part of the
    // order's record; the order is stored as soon as the answer is in (or
    // the request has failed), and the e-mail goes after that.
    const ServiceEndpoint service = m_parts.account.serviceEndpoint();
    const std::string ref1 = order->reference1, ref2 = order->reference2;
    const std::string number = order->orderNumber;
    auto holder = std::make_shared<std::unique_ptr<OrderEntry>>(std::move(order));
    m_parts.requests.run<PaymentStatusResult>(
        "",
        [service, ref1, ref2, number](Prompter& p) {
            return requestPaymentStatus(service, p, ref1, ref2, number);
        },
        [this, holder](RequestOutcome<PaymentStatusResult> payment) {
            storeOrder(std::move(*holder), payment.value);
            m_parts.status.showMessages(payment.messages);
        });
}

void OrderIntake::storeOrder(std::unique_ptr<OrderEntry> order,
                             const PaymentStatusResult& payment) {
    order->paymentCode = payment.paymentCode;
    order->paymentStatus =
        paymentStatusText(payment.paymentCode, payment.paymentText1, payment.paymentText2);
    const uint16_t key = uint16_t(order->rowId);
    const CompletedTransfer done{order->orderNumber, order->customer,    order->amount,
                                 order->received,    order->paymentCode, order->paymentStatus};
    const Settings& s = m_parts.settings;
    const bool notify = s.notification;
    auto mail = [sender = s.sender, customer = order->customer, smtp = s.smtp, subject = s.subject,
                 number = order->orderNumber, body = s.body,
                 summary = summaryPath(order->folder, order->orderNumber), attach = s.attach,
                 errors = m_parts.config.workingDirectory](Prompter&) {
        return sendNotification(sender, customer, smtp, subject, number, body, summary, attach,
                                errors);
    };

    handOverThumbnails(*order);
    m_parts.book.store(std::move(order));
    m_transfers.setCompleted(key, done, m_parts.clock.now());
    if (notify)
        m_parts.requests.run<int>("", mail, [](RequestOutcome<int>) {});
    emit orderReceived(toQString(done.orderNumber), toQString(done.customer),
                       QString::fromStdString(formatTotal(done.amount)), done.received);
}

void OrderIntake::handOverThumbnails(OrderEntry& order) {
    const std::vector<QImage> thumbnails = std::move(order.thumbnails);
    order.thumbnails.clear();
    for (size_t p = 0; p < thumbnails.size() && p < order.pictures.size(); ++p)
        if (!thumbnails[p].isNull())
            emit thumbnailMade(picturePath(order.folder, order.pictures[p].fileName),
                               thumbnails[p]);
}

void OrderIntake::orderProgress(int rowId, int k, int n, const std::string& orderNumber) {
    m_transfers.setProgress(uint16_t(rowId), k, n, orderNumber, m_parts.clock.now());
}

void OrderIntake::receptionAborted(std::unique_ptr<OrderEntry> order, const std::string& reason) {
    m_receptions.collectFinished();
    m_parts.status.add("Order " + order->orderNumber + " aborted.");
    m_transfers.setAborted(uint16_t(order->rowId), order->orderNumber, order->customer);
    emit orderAborted(toQString(order->orderNumber), toQString(reason));
}

void OrderIntake::answerRegistration(AcceptedConnection connection) {
    // Runs on order server 2's accept thread; the shop's state is touched
    // only through onShop.
    RegistrationContext context;
    context.settings = &m_parts.settings;
    context.plugins = &m_parts.plugins;
    context.trusted = &m_parts.trusted;
    context.folders = &m_handedOutFolders;
    context.offline = m_parts.offline;
    context.onShop = [this](const std::function<void()>& step) {
        return runOnThreadAndWait(this, step, m_parts.closing);
    };
    context.addStatusLine = [this](const std::string& line) { m_parts.status.add(line); };
    context.counterAdvanced = [this] {
        m_parts.application.currentnumber = m_parts.settings.currentnumber;
        if (m_counterWriter)
            m_counterWriter->write(m_parts.settings.currentnumber);
    };
    context.counterStored = [this] {
        // Runs on this registration's thread, never the shop's. A profile
        // that cannot be written in this time does not hold the order up.
        if (m_counterWriter)
            m_counterWriter->waitUntilWritten(kCounterStoreWait);
    };
    context.prompter = &m_parts.status.queuedPrompter();
    handleRegistrationConnection(*connection.socket, connection.opening, context);
}

} // namespace quillon
