#include "orders/OrderLogWriter.h"

#include "orders/ProductIndex.h"

#include "orders/SaveFile.h"
#include <QFile>

#include <QSaveFile>

namespace quillon {

namespace {

constexpr std::string_view kEol = "\r\n";

void appendElement(std::string& out, std::string_view indent, std::string_view name,
                   std::string_view latin1) {
    out.append(indent).append("<").append(name).append(">");
    appendXmlText(out, latin1);
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
    for (const PictureEntry& picture : order.pictures) {
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

void appendXmlText(std::string& out, std::string_view latin1) {
    for (const char ch : latin1) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '&':
            out.append("&amp;");
            break;
        case '<':
            out.append("&lt;");
            break;
        case '>':
            out.append("&gt;");
            break;
        case '"':
            out.append("&quot;");
            break;
        case '\'':
            out.append("&apos;");
            break;
        case '\r':
            out.append("&#13;");
            break;
        case '\n':
            out.append("&#10;");
            break;
        case '\t':
            out.push_back('\t');
            break;
        default:
            if (c < 0x20) {
                out.append("\xEF\xBF\xBD");
            } else if (c < 0x80) {
                out.push_back(char(c));
            } else {
                out.push_back(char(0xC0 | (c >> 6)));
                out.push_back(char(0x80 | (c & 0x3F)));
            }
        }
    }
}

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
    QSaveFile f(QFile::decodeName(QByteArray::fromStdString(path)));
    if (!f.open(QIODevice::WriteOnly))
        return 0;
    const std::string text = orderLogText(orders, products);
    return writeAll(f, text) && commitWhole(f) ? 1 : 0;
}

} // namespace quillon
