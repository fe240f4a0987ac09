#pragma once

#include "orders/OrderBook.h"
#include "ui/orderlist/OrderListView.h"

#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace quillon {

struct SamplePicture {
    std::string fileName;
    std::vector<std::pair<int32_t, int32_t>> items; // code, quantity
};

// An order book in a temporary folder and an order list view over it, shown
// on the offscreen platform.
class OrderListFixture : public ::testing::Test {
protected:
    void SetUp() override { m_book.setProducts(&m_products); }

    void addOrder(const std::string& number, std::vector<SamplePicture> pictures = {},
                  const std::string& customer = "ann@example.org") {
        auto order = std::make_unique<OrderEntry>();
        order->orderNumber = number;
        order->customer = customer;
        order->folder = (m_dir.path() + "/" + QString::fromStdString(number)).toStdString();
        order->amount = 12.5f;
        order->received = 1'700'000'000;
        for (SamplePicture& sample : pictures) {
            PictureEntry picture{sample.fileName, {}};
            for (auto [code, quantity] : sample.items) {
                const auto product =
                    std::find_if(m_products.begin(), m_products.end(),
                                 [code](const ProductItem& p) { return p.code == code; });
                picture.items.push_back(
                    {code, quantity, product == m_products.end() ? nullptr : &*product});
                order->itemCount += quantity;
            }
            order->pictures.push_back(std::move(picture));
        }
        m_book.add(std::move(order));
    }

    OrderListView& view(QSize size = {400, 300}) {
        if (!m_view) {
            m_view = std::make_unique<OrderListView>(m_book);
            m_view->resize(size);
            m_view->show();
        }
        return *m_view;
    }

    QTemporaryDir m_dir;
    ProductList m_products{{101, 1.5f, "Print 10x15"}, {109, 4.0f, "Poster A4"}};
    OrderBook m_book{(m_dir.path() + "/OE.DB").toStdString()};
    std::unique_ptr<OrderListView> m_view;
};

} // namespace quillon
