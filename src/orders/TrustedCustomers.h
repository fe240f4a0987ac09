#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace quillon {

// A customer whose orders count as trusted, looked up by e-mail address.
struct TrustedCustomer {
    std::string email;
    std::string firstName;
    std::string lastName;
    std::string phone;
    std::string address;

    bool operator==(const TrustedCustomer&) const = default;
};

// Why an add or edit was refused; a dialog turns it into a message.
enum class TrustedEditResult {
    Done,
    SemicolonInField,        // e-mail, names or phone hold a ";", which would shift the fields
    ControlCharacterInField, // a CR, LF or NUL would split or cut the stored line
    LineTooLong,             // the stored line would be longer than a load accepts
    NoSuchEntry,
};

// What the customer dialog tells the shop about a refused entry; empty for Done.
std::string trustedEditMessage(TrustedEditResult result);

// The trusted customers list: kept sorted by e-mail address without regard
// to case, stored one customer a line, and an exact (case-sensitive) lookup
// by e-mail address. Used on the user-interface thread only.
class TrustedCustomers {
public:
    // Longest line a load accepts, without its line end. A longer line is
    // skipped whole: its fields could not be trusted.
    static constexpr std::size_t maxLineLength = 1023;

    // Replaces the list with the file's customers. A missing or unreadable
    // file gives an empty list; blank lines, lines with fewer than four ";"
    // and over-long lines are skipped.
    void load(const std::string& path);
    // Writes one "email;first;last;phone;address" line with CR LF per
    // customer, through a temporary file renamed over the old one, so a
    // failed save leaves the old file whole. False when it failed.
    bool save(const std::string& path) const;

    // The customer stored with exactly this e-mail text, or null. The pointer
    // stays valid until the list next changes.
    const TrustedCustomer* isTrusted(const std::string& email) const;

    std::size_t size() const { return m_list.size(); }
    bool empty() const { return m_list.empty(); }
    const TrustedCustomer& at(std::size_t index) const { return m_list.at(index); }
    const std::vector<TrustedCustomer>& customers() const { return m_list; }

    // Whether `customer` can be stored and read back unchanged.
    static TrustedEditResult check(const TrustedCustomer& customer);
    // Inserts in sorted place.
    TrustedEditResult add(const TrustedCustomer& customer);
    // Replaces the entry's texts; its place in the list stays.
    TrustedEditResult edit(std::size_t index, const TrustedCustomer& customer);
    bool remove(std::size_t index);

private:
    void insertSorted(TrustedCustomer customer);
    void rebuildLookup();

    std::vector<TrustedCustomer> m_list;
    std::unordered_map<std::string, std::size_t> m_lookup;
};

} // namespace quillon
