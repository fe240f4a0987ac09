#include "orders/OrderLogWriter.h"
#include "orders/OrderBook.h"
#include "support/OrderSamples.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

using namespace quillon;
using testsupport::readFile;
using testsupport::sampleOrder;

namespace {

class OrderLogWriterTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    OrderBook book{dir.filePath("OE.DB").toStdString()};
    QString log = dir.filePath("ORDERLOG000000.XML");
};

TEST_F(OrderLogWriterTest, WritesTheExactLines) {
    EXPECT_EQ(book.writeXmlLog(log.toStdString()), 1);
    EXPECT_EQ(readFile(log), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<log>\r\n</log>\r\n");

    const ProductList products = {{101, 1.5f, "Print 10x15"}, {101, 2.0f, "not this one"}};
    book.setProducts(&products);
    book.add(sampleOrder("Q-2", 0, "b@example.org"));
    auto bare = sampleOrder("Q-1", 0, "a@example.org");
    bare->pictures = {};
    book.add(std::move(bare));
    EXPECT_EQ(book.writeXmlLog(log.toStdString()), 1);
    EXPECT_EQ(readFile(log), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                             "<log>\r\n"
                             "<order>\r\n"
                             "  <ordernumber>Q-1</ordernumber>\r\n"
                             "  <customer>a@example.org</customer>\r\n"
                             "</order>\r\n"
                             "<order>\r\n"
                             "  <ordernumber>Q-2</ordernumber>\r\n"
                             "  <customer>b@example.org</customer>\r\n"
                             "  <picture>\r\n"
                             "    <filename>p1.jpg</filename>\r\n"
                             "    <item><code>101</code><description>Print 10x15</description>"
                             "<quantity>2</quantity></item>\r\n"
                             "    <item><code>42</code><quantity>1</quantity></item>\r\n"
                             "  </picture>\r\n"
                             "  <picture>\r\n"
                             "    <filename>p2.jpg</filename>\r\n"
                             "  </picture>\r\n"
                             "</order>\r\n"
                             "</log>\r\n");

    book.setProducts(nullptr);
    EXPECT_EQ(book.writeXmlLog(log.toStdString()), 1);
    EXPECT_FALSE(readFile(log).contains("<description>"));
}

TEST_F(OrderLogWriterTest, ValuesStayWellFormedAndComeBack) {
    const std::string customer = "Ren\xE9 <r&d> \"o'k\"";
    const std::string file = "a\r\nb\x01.jpg";
    auto order = sampleOrder("Q<1>&", 0, customer);
    order->pictures = {{file, {{101, 2}}}};
    book.add(std::move(order));
    ASSERT_EQ(book.writeXmlLog(log.toStdString()), 1);
    const QByteArray bytes = readFile(log);
    EXPECT_EQ(bytes.count("\r\n"), bytes.count('\n'));

    QStringList texts;
    QXmlStreamReader reader(bytes);
    while (!reader.atEnd())
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() != u"log" &&
            reader.name() != u"order" && reader.name() != u"picture")
            texts << reader.readElementText(QXmlStreamReader::SkipChildElements);
    ASSERT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    ASSERT_GE(texts.size(), 3);
    EXPECT_EQ(texts[0], "Q<1>&");
    EXPECT_EQ(texts[1], QString::fromLatin1(customer));
    EXPECT_EQ(texts[2], QString::fromUtf8("a\r\nb\xEF\xBF\xBD.jpg"));
}

TEST_F(OrderLogWriterTest, UncreatableFileGivesZeroAndNoFile) {
    book.add(sampleOrder("Q-1"));
    const QString path = dir.filePath("missing/log.xml");
    EXPECT_EQ(book.writeXmlLog(path.toStdString()), 0);
    EXPECT_FALSE(QFile::exists(path));
}

} // namespace
