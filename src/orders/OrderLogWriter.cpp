#include "orders/OrderLogWriter.h"

#include "netlib/XmlText.h"
#include "orders/FilePaths.h"
#include "orders/ProductIndex.h"
#include "orders/SaveFile.h"

#include <QSaveFile>

namespace quillon {

namespace {

constexpr std::string_view kEol = "\r\n";

void appendElement(std::string& out, std::string_view indent, std::string_view name,
                   std::string_view text) {
    out.append(indent).append("<").append(name).append(">");
    appendXmlText(out, text);
    out.append("</").append(name).append(">");
}

void appendNumberElement(std::string& out, std::string_view name, int32_t value) {
    out.append("<").append(name).append(">");
    out.append(std::to_string(value));
    out.append("</").append(name).append(">");
}

void appendItem(std::string& out, const ItemLine& item, const ProductIndex& products) {
    out.append("    <item>");
    appendNumberElement(out, "code", item.code);
    if (const ProductItem* product = products.find(item.code))
        appendElement(out, "", "description", product->description);
    appendNumberElement(out, "quantity", item.quantity);
    out.append("</item>").append(kEol);
}

void appendOrder(std::string& out, const OrderEntry& order, const ProductIndex& products) {
    out.append("<order>").append(kEol);
    appendElement(out, "  ", "ordernumber", order.orderNumber);
    out.append(kEol);
    appendElement(out, "  ", "customer", order.customer);
    out.append(kEol);
    for (const PictureView picture : order.pictures) {
        out.append("  <picture>").append(kEol);
        appendElement(out, "    ", "filename", picture.fileName);
        out.append(kEol);
        for (const ItemLine& item : picture.items)
            appendItem(out, item, products);
        out.append("  </picture>").append(kEol);
    }
    out.append("</order>").append(kEol);
}

} // namespace

std::string orderLogText(const std::vector<std::unique_ptr<OrderEntry>>& orders,
                         const ProductList* products) {
    const ProductIndex index(products);
    std::string out;
    out.append(R"(<?xml version="1.0" encoding="UTF-8"?>)").append(kEol);
    out.append("<log>").append(kEol);
    for (const auto& order : orders)
        appendOrder(out, *order, index);
    out.append("</log>").append(kEol);
    return out;
}

int writeOrderLogFile(const std::string& path,
                      const std::vector<std::unique_ptr<OrderEntry>>& orders,
                      const ProductList* products) {
    QSaveFile f(qtPath(path));
    if (!f.open(QIODevice::WriteOnly))
        return 0;
    const std::string text = orderLogText(orders, products);
    return writeAll(f, text) && commitWhole(f) ? 1 : 0;
}

} // namespace quillon
