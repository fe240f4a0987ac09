#include "core/TransferList.h"

#include "orders/Clock.h"

#include <cstdio>

namespace quillon {

TransferRow* TransferList::row(int index) {
    return index >= 0 && size_t(index) < m_rows.size() ? &m_rows[size_t(index)] : nullptr;
}

int TransferList::appendRow(TransferRow row) {
    m_rows.push_back(std::move(row));
    return int(m_rows.size()) - 1;
}

uint16_t TransferList::addReception() {
    // Keys are 16-bit; skip those still in use after a wrap.
    while (m_receptions.count(m_nextKey))
        ++m_nextKey;
    uint16_t key = m_nextKey++;
    TransferRow r;
    r.orderNumber = kReceiving;
    r.progress = 0;
    m_receptions[key] = Reception{appendRow(std::move(r)), 0};
    return key;
}

TransferRow* TransferList::receptionRow(uint16_t key) {
    auto it = m_receptions.find(key);
    return it == m_receptions.end() ? nullptr : row(it->second.row);
}

void TransferList::setReceptionProgress(uint16_t key, int percent) {
    auto it = m_receptions.find(key);
    if (it == m_receptions.end())
        return;
    it->second.progress = percent;
    if (TransferRow* r = row(it->second.row))
        r->progress = percent;
}

void TransferList::removeReception(uint16_t key) {
    m_receptions.erase(key);
}

void TransferList::rebuild(const std::vector<CompletedTransfer>& completed) {
    m_rows.clear();
    for (const CompletedTransfer& t : completed)
        appendRow(completedRow(t));
    for (auto& [key, reception] : m_receptions) {
        TransferRow r;
        r.orderNumber = kReceiving;
        r.progress = reception.progress;
        reception.row = appendRow(std::move(r));
    }
}

TransferRow TransferList::completedRow(const CompletedTransfer& t) {
    TransferRow r;
    r.orderNumber = t.orderNumber;
    r.customer = t.customer;
    r.total = formatTotal(t.amount);
    r.transferStatus = orderReceivedText(t.received);
    r.paymentStatus = t.paymentCode == 1   ? t.paymentStatus
                      : t.paymentCode == 2 ? "Sandbox"
                                           : "Outstanding";
    return r;
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
