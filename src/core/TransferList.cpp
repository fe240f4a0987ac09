#include "core/TransferList.h"

#include "orders/Clock.h"

#include <cstdio>

namespace quillon {

namespace {

TransferRow receivingRow(int progress) {
    TransferRow r;
    r.orderNumber = TransferList::kReceiving;
    r.progress = progress;
    return r;
}

TransferRow completedRow(const CompletedTransfer& t) {
    TransferRow r;
    r.orderNumber = t.orderNumber;
    r.customer = t.customer;
    r.total = formatTotal(t.amount);
    r.transferStatus = orderReceivedText(t.received);
    r.paymentStatus = t.paymentStatus;
    return r;
}

} // namespace

int TransferList::append(TransferRow row) {
    m_rows.push_back(std::move(row));
    return int(m_rows.size()) - 1;
}

TransferRow* TransferList::receptionRow(uint16_t key, int* index) {
    auto it = m_receptions.find(key);
    if (it == m_receptions.end() || it->second.row < 0 || it->second.row >= rowCount())
        return nullptr;
    if (index)
        *index = it->second.row;
    return &m_rows[size_t(it->second.row)];
}

uint16_t TransferList::addReception() {
    // Keys are 16-bit; skip those still in use after a wrap.
    while (m_receptions.count(m_nextKey))
        ++m_nextKey;
    const uint16_t key = m_nextKey++;
    const int index = append(receivingRow(0));
    m_receptions[key] = Reception{index, 0};
    emit rowsInserted(index, index);
    return key;
}

void TransferList::setProgress(uint16_t key, int k, int n, const std::string& orderNumber,
                               int64_t now) {
    int index = -1;
    TransferRow* r = receptionRow(key, &index);
    if (!r || n <= 0)
        return;
    r->orderNumber = orderNumber;
    const int percent = int(int64_t(k) * 100 / n);
    m_receptions[key].progress = percent;
    r->progress = percent;
    if (k == n) {
        r->progress = -1;
        r->transferStatus = orderReceivedText(now);
    }
    emit rowChanged(index);
}

void TransferList::setCompleted(uint16_t key, const CompletedTransfer& order, int64_t now) {
    m_completed.push_back(order);
    int index = -1;
    if (TransferRow* r = receptionRow(key, &index)) {
        // An order without files had no progress to name it yet.
        if (r->progress >= 0) {
            r->orderNumber = order.orderNumber;
            r->progress = -1;
            r->transferStatus = orderReceivedText(now);
        }
        r->customer = order.customer;
        r->total = formatTotal(order.amount);
        r->paymentStatus = order.paymentStatus;
        emit rowChanged(index);
    }
    m_receptions.erase(key);
}

void TransferList::setAborted(uint16_t key, const std::string& orderNumber,
                              const std::string& customer) {
    int index = -1;
    if (TransferRow* r = receptionRow(key, &index)) {
        r->progress = -1;
        r->orderNumber = orderNumber;
        r->customer = customer;
        r->total = "N/A";
        r->transferStatus = "Aborted";
        r->aborted = true;
        emit rowChanged(index);
    }
    // The reception is over: a later rebuild must not show it as receiving.
    m_receptions.erase(key);
}

void TransferList::rebuild() {
    m_rows.clear();
    for (const CompletedTransfer& t : m_completed)
        append(completedRow(t));
    for (auto& [key, reception] : m_receptions)
        reception.row = append(receivingRow(reception.progress));
    emit rowsReset();
}

std::string formatTotal(float amount) {
    char text[64];
    std::snprintf(text, sizeof text, "%1.2f", double(amount));
    return text;
}

std::string orderReceivedText(int64_t t) {
    std::tm tm = Clock::localTime(t);
    char text[64];
    std::snprintf(text, sizeof text, "Order received %02d.%02d.%02d %02d:%02d",
                  (tm.tm_year - 100) % 100, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min);
    return text;
}

std::string paymentStatusText(int32_t code, const std::string& text1, const std::string& text2) {
    if (code == 1)
        return text1 + " - " + text2;
    if (code == 2)
        return "Sandbox";
    return "Outstanding";
}

} // namespace quillon
