#include "orders/TrustedCustomers.h"

#include "orders/FilePaths.h"
#include "orders/SaveFile.h"
#include "orders/SortedInsertion.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <array>

namespace quillon {

namespace {

constexpr char separator = ';';
constexpr int separatedFields = 4; // the address takes the rest of the line

std::string sortKey(const std::string& email) {
    std::string key = email;
    for (char& c : key)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return key;
}

bool isTrailingSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Splits at the first four ";"; false when the line has fewer.
bool parseLine(const std::string& line, TrustedCustomer& customer) {
    std::array<std::string*, separatedFields> fields{&customer.email, &customer.firstName,
                                                     &customer.lastName, &customer.phone};
    std::size_t start = 0;
    for (std::string* field : fields) {
        std::size_t end = line.find(separator, start);
        if (end == std::string::npos)
            return false;
        *field = line.substr(start, end - start);
        start = end + 1;
    }
    customer.address = line.substr(start);
    return true;
}

std::string formatLine(const TrustedCustomer& c) {
    return c.email + ';' + c.firstName + ';' + c.lastName + ';' + c.phone + ';' + c.address +
           "\r\n";
}

} // namespace

std::string trustedEditMessage(TrustedEditResult result) {
    switch (result) {
    case TrustedEditResult::Done:
        return {};
    case TrustedEditResult::SemicolonInField:
        return "The e-mail address, first name, last name and phone number cannot contain \";\". "
               "Please remove it.";
    case TrustedEditResult::ControlCharacterInField:
        return "A customer's details cannot contain line breaks.";
    case TrustedEditResult::LineTooLong:
        return "The customer's details are too long to be stored.";
    case TrustedEditResult::NoSuchEntry:
        return "The customer is no longer in the list.";
    }
    return {};
}

void TrustedCustomers::load(const std::string& path) {
    m_list.clear();
    // Each line is placed as an insertion in sorted place would place it,
    // but all at once: a file in descending order must not take quadratic
    // time.
    struct Keyed {
        std::string key;
        TrustedCustomer customer;
    };
    std::vector<Keyed> lines;
    QFile file(qtPath(path));
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.readAll();
        qsizetype start = 0;
        while (start < bytes.size()) {
            qsizetype end = bytes.indexOf('\n', start);
            if (end < 0)
                end = bytes.size();
            std::string line(bytes.constData() + start, end - start);
            start = end + 1;
            if (line.size() > maxLineLength)
                continue;
            // The line is a C text: it ends at a NUL.
            line.resize(std::min(line.size(), line.find('\0')));
            while (!line.empty() && isTrailingSpace(line.back()))
                line.pop_back();
            TrustedCustomer customer;
            if (!line.empty() && parseLine(line, customer)) {
                std::string key = sortKey(customer.email);
                lines.push_back({std::move(key), std::move(customer)});
            }
        }
    }
    std::vector<Keyed> sorted;
    fileSorted(sorted, std::move(lines),
               [](const Keyed& k) -> const std::string& { return k.key; });
    m_list.reserve(sorted.size());
    for (Keyed& k : sorted)
        m_list.push_back(std::move(k.customer));
    rebuildLookup();
}

bool TrustedCustomers::save(const std::string& path) const {
    QSaveFile file(qtPath(path));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    std::string content;
    for (const TrustedCustomer& customer : m_list)
        content += formatLine(customer);
    if (!writeAll(file, content)) {
        file.cancelWriting();
        file.commit();
        return false;
    }
    return commitWhole(file);
}

const TrustedCustomer* TrustedCustomers::isTrusted(const std::string& email) const {
    auto found = m_lookup.find(email);
    return found == m_lookup.end() ? nullptr : &m_list[found->second];
}

TrustedEditResult TrustedCustomers::check(const TrustedCustomer& c) {
    for (const std::string* field : {&c.email, &c.firstName, &c.lastName, &c.phone})
        if (field->find(separator) != std::string::npos)
            return TrustedEditResult::SemicolonInField;
    for (const std::string* field : {&c.email, &c.firstName, &c.lastName, &c.phone, &c.address})
        if (field->find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
            return TrustedEditResult::ControlCharacterInField;
    if (formatLine(c).size() - 2 > maxLineLength)
        return TrustedEditResult::LineTooLong;
    return TrustedEditResult::Done;
}

TrustedEditResult TrustedCustomers::add(const TrustedCustomer& customer) {
    TrustedEditResult result = check(customer);
    if (result != TrustedEditResult::Done)
        return result;
    insertSorted(customer);
    rebuildLookup();
    return result;
}

TrustedEditResult TrustedCustomers::edit(std::size_t index, const TrustedCustomer& customer) {
    if (index >= m_list.size())
        return TrustedEditResult::NoSuchEntry;
    TrustedEditResult result = check(customer);
    if (result != TrustedEditResult::Done)
        return result;
    m_list[index] = customer;
    rebuildLookup();
    return result;
}

bool TrustedCustomers::remove(std::size_t index) {
    if (index >= m_list.size())
        return false;
    m_list.erase(m_list.begin() + static_cast<std::ptrdiff_t>(index));
    rebuildLookup();
    return true;
}

// An entry whose key equals existing ones lands after them, except that one
// equal to the last entry's key lands just before it: the search covers the
// entries before the last.
void TrustedCustomers::insertSorted(TrustedCustomer customer) {
    const std::string key = sortKey(customer.email);
    auto less = [](const std::string& k, const TrustedCustomer& c) { return k < sortKey(c.email); };
    std::size_t place;
    if (m_list.empty() || key > sortKey(m_list.back().email))
        place = m_list.size();
    else if (key < sortKey(m_list.front().email))
        place = 0;
    else
        place = std::upper_bound(m_list.begin(), m_list.end() - 1, key, less) - m_list.begin();
    m_list.insert(m_list.begin() + static_cast<std::ptrdiff_t>(place), std::move(customer));
}

// The lookup holds positions in the list, so it is rebuilt after every
// change; an entry later in the list wins over an earlier one with the same
// e-mail text.
void TrustedCustomers::rebuildLookup() {
    m_lookup.clear();
    m_lookup.reserve(m_list.size());
    for (std::size_t i = 0; i < m_list.size(); ++i)
        m_lookup[m_list[i].email] = i;
}

} // namespace quillon
