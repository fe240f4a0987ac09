#include "DemoCatalogue.h"

#include <array>

namespace quillon {

ProductList demoProducts() {
    return {
        {101, 0.25f, "Print 10x15 cm glossy"},
        {102, 0.25f, "Print 10x15 cm matte"},
        {103, 0.49f, "Print 13x18 cm glossy"},
        {104, 0.99f, "Print 15x20 cm glossy"},
        {105, 2.99f, "Print 20x30 cm matte"},
        {106, 12.95f, "Poster 50x70 cm"},
        {107, 29.95f, "Canvas 30x40 cm"},
        {108, 69.00f, "Canvas 60x90 cm"},
        {109, 9.95f, "Photo mug, white"},
        {110, 19.95f, "Wall calendar A4, 12 months"},
        {111, 24.95f, "Photo book 21x28 cm, 24 pages"},
        {112, 3.49f, "Fridge magnet 7x10 cm"},
        {113, 6.50f, "Passport photos, set of 4"},
    };
}

std::vector<HistoryRecord> demoHistory(const QDate& today, int shopNumber) {
    static const std::array<const char*, 6> customers{
        "anna.berg@example.com", "j.morales@example.net", "li.wei@example.org",
        "p.okafor@example.com",  "m.dubois@example.fr",   "k.nowak@example.pl"};
    static const std::array<float, 8> amounts{12.5f, 3.75f, 29.95f, 64.20f,
                                              8.99f, 45.0f, 19.95f, 2.50f};
    static const std::array<const char*, 3> payments{"PayPal", "Outstanding", "Sandbox"};
    std::vector<HistoryRecord> rows;
    for (int i = 0; i < 8; ++i) {
        // Every fifth day or so, going back from today.
        QDate date = today.addDays(-(i * 5 + (shopNumber + i) % 3));
        HistoryRecord row;
        row.orderNumber = QString("%1").arg(100 + 8 - i, 6, 10, QChar('0')).toStdString();
        row.customer = customers[size_t(shopNumber + i) % customers.size()];
        row.amount = amounts[size_t(i)];
        row.tax = 7.5f;
        row.date = ((date.year() - 2000) * 100 + date.month()) * 100 + date.day();
        row.time = (9 + (i * 7) % 10) * 100 + (i * 13) % 60;
        row.status = i == 7 ? 1 : 2;
        row.payment = payments[size_t(i) % payments.size()];
        rows.push_back(row);
    }
    return rows;
}

ShopInfo demoShopInfo(int number, const std::string& email) {
    ShopInfo info;
    info.country = "Netherlands";
    info.city = "Utrecht";
    info.streetAddress = "Oudegracht " + std::to_string(number % 300 + 1);
    info.zipCode = "3511 AB";
    info.phone1 = "+31 30 555 0" + std::to_string(100 + number % 900);
    info.email1 = email;
    info.primaryContact = "Shop manager";
    info.url = "https://shop" + std::to_string(number) + ".example.com";
    info.shopStatus = 1;
    info.currency = 5; // Euro
    info.salesTax = 0;
    return info;
}

} // namespace quillon
