#include "orders/PluginHost.h"

#include "support/PluginFolder.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quillon;
using testsupport::PluginFolder;

namespace {

const char* const behaviourKeys[] = {"PRE", "FLAGS", "END", "POST", "FILL", "NOPARAMS"};
const char* const tags[] = {"TESTPLUGIN_A", "TESTPLUGIN_B"};

// Two copies of the test plug-in, a and b, with a shared call log.
class PluginHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("QUILLON_TESTPLUGIN_LOG", m_logDir.filePath("calls.log").toLocal8Bit());
        for (const char* tag : tags)
            for (const char* key : behaviourKeys)
                qunsetenv(variable(tag, key).constData());
        ASSERT_TRUE(m_folder.add("testplugin", "testplugin_a"));
        ASSERT_TRUE(m_folder.add("testplugin", "testplugin_b"));
    }
    void TearDown() override { qunsetenv("QUILLON_TESTPLUGIN_LOG"); }

    static QByteArray variable(const char* tag, const char* key) {
        return QByteArray("QUILLON_TESTPLUGIN_") + tag + "_" + key;
    }
    static void set(const char* tag, const char* key, const QByteArray& value) {
        qputenv(variable(tag, key).constData(), value);
    }

    // The log lines, all or those of one export, in the order they were written.
    QStringList calls(const QString& exportName = {}) const {
        const QStringList lines =
            QString::fromLatin1(testsupport::readFile(m_logDir.filePath("calls.log")))
                .split('\n', Qt::SkipEmptyParts);
        QStringList chosen;
        for (const QString& line : lines)
            if (exportName.isEmpty() || line.section('|', 1, 1) == exportName)
                chosen.append(line);
        return chosen;
    }

    static OrderEntry sampleOrder() {
        OrderEntry order;
        order.pictures.push_back({"p1.jpg", {{10, 2}, {20, 1}}});
        order.pictures.push_back({"p2.jpg", {{30, 4}}});
        return order;
    }

    QTemporaryDir m_logDir;
    PluginFolder m_folder;
};

} // namespace

TEST_F(PluginHostTest, LoadsByNameAndSkipsRefusedLibraries) {
    ASSERT_TRUE(m_folder.add("testplugin_badversion", "testplugin_0badversion"));
    ASSERT_TRUE(m_folder.add("testplugin_noend", "testplugin_0noend"));
    ASSERT_TRUE(testsupport::writeFile(m_folder.path() + "/broken.so", "not a library"));
    ASSERT_TRUE(testsupport::writeFile(m_folder.path() + "/notes.txt", "not a plug-in"));

    PluginHost host;
    ASSERT_EQ(host.load(m_folder.path()), 2u);
    EXPECT_EQ(host.fileName(0), "testplugin_a.so");
    EXPECT_EQ(host.fileName(1), "testplugin_b.so");
    EXPECT_EQ(host.caption(0), "Test plug-in testplugin_a");
    EXPECT_EQ(host.caption(1), "Test plug-in testplugin_b");

    // Both refused libraries were asked for their version, neither was
    // initialised, and the good ones were initialised with zeroed contexts.
    EXPECT_EQ(calls(), QStringList({"testplugin_0badversion|PluginAPIVersion",
                                    "testplugin_0noend|PluginAPIVersion",
                                    "testplugin_a|PluginAPIVersion", "testplugin_a|InitLibrary",
                                    "testplugin_b|PluginAPIVersion", "testplugin_b|InitLibrary"}));

    PluginHost none;
    EXPECT_EQ(none.load(m_folder.path() + "/missing"), 0u);
    EXPECT_TRUE(none.empty());
}

// Chaining through the shop is the registration tests'; here: what each
// plug-in is handed.
TEST_F(PluginHostTest, PreOrderAndShippingHandOnCutTextsAndFreshFlags) {
    set("TESTPLUGIN_A", "FLAGS", "3,5");
    set("TESTPLUGIN_B", "PRE", "B-");
    PluginHost host;
    ASSERT_EQ(host.load(m_folder.path()), 2u);

    std::string number(2000, 'N'), folder = "/orders/N";
    host.preOrder(17, std::string(3000, 'R'), number, folder);
    EXPECT_EQ(calls("PreOrderTx").value(0), "testplugin_a|PreOrderTx|17|" + QString(1023, 'R') +
                                                "|" + QString(1023, 'N') + "|/orders/N");
    EXPECT_EQ(number, "B-" + std::string(1021, 'N'));
    EXPECT_EQ(folder, "/orders/B-N") << "the root path is not rewritten";

    uint32_t flag1 = 99, flag2 = 99;
    host.shipping("c@example.org", "N1", "Parcel", std::string(200, 'S'), "", flag1, flag2);
    EXPECT_EQ(calls("OnShippingHandling").value(0),
              "testplugin_a|OnShippingHandling|c@example.org|N1|Parcel|" + QString(127, 'S') +
                  "||0|0");
    EXPECT_EQ(std::tuple(flag1, flag2), std::tuple(3u, 5u));
    PluginHost empty;
    empty.shipping("c@example.org", "N1", "", "", "", flag1, flag2);
    EXPECT_EQ(std::tuple(flag1, flag2), std::tuple(0u, 0u));
}

TEST_F(PluginHostTest, ReceptionStepsSeeTheTableAndTakeBackEndAndPostRewrites) {
    set("TESTPLUGIN_A", "END", "E-");
    set("TESTPLUGIN_B", "POST", "P-");
    PluginHost host;
    ASSERT_EQ(host.load(m_folder.path()), 2u);

    const PictureTable table(sampleOrder());
    std::string email = "c@example.org", number = "N1", folder = "/orders/N1";
    host.beginData(email, number, folder, table);
    for (int i = 0; i < 3; ++i)
        host.dataStep(i, number, folder, "f" + std::to_string(i) + ".jpg", table.entry(i));
    host.endData(email, number, folder, table);
    EXPECT_EQ(email, "E-c@example.org");
    EXPECT_EQ(number, "E-N1");
    EXPECT_EQ(folder, "/orders/E-N1");
    host.postOrder(number, folder);
    EXPECT_EQ(number, "P-E-N1");
    EXPECT_EQ(folder, "/orders/P-E-N1");

    const QString pictures = "2|p1.jpg:10*2+20*1|p2.jpg:30*4";
    EXPECT_EQ(calls().mid(4),
              QStringList({
                  "testplugin_a|OnBeginDataTx|c@example.org|N1|/orders/N1|" + pictures,
                  "testplugin_b|OnBeginDataTx|c@example.org|N1|/orders/N1|" + pictures,
                  "testplugin_a|OnDataTx|0|N1|/orders/N1|f0.jpg|p1.jpg:10*2+20*1",
                  "testplugin_b|OnDataTx|0|N1|/orders/N1|f0.jpg|p1.jpg:10*2+20*1",
                  "testplugin_a|OnDataTx|1|N1|/orders/N1|f1.jpg|p2.jpg:30*4",
                  "testplugin_b|OnDataTx|1|N1|/orders/N1|f1.jpg|p2.jpg:30*4",
                  "testplugin_a|OnDataTx|2|N1|/orders/N1|f2.jpg|-",
                  "testplugin_b|OnDataTx|2|N1|/orders/N1|f2.jpg|-",
                  "testplugin_a|OnEndDataTx|c@example.org|N1|/orders/N1|" + pictures,
                  "testplugin_b|OnEndDataTx|E-c@example.org|E-N1|/orders/E-N1|" + pictures,
                  "testplugin_a|PostOrderTx|E-N1|/orders/E-N1",
                  "testplugin_b|PostOrderTx|E-N1|/orders/E-N1",
              }));
}

TEST_F(PluginHostTest, BufferFilledToItsEndIsReadBackWithinIt) {
    set("TESTPLUGIN_A", "FILL", "1");
    PluginHost host;
    ASSERT_EQ(host.load(m_folder.path()), 2u);
    const std::string full(1023, 'Z');

    std::string number = "N1", folder = "/orders/N1", email = "c@example.org";
    host.preOrder(1, "/orders", number, folder);
    EXPECT_EQ(number, full);
    EXPECT_EQ(folder, full);

    number = "N1";
    folder = "/orders/N1";
    host.endData(email, number, folder, PictureTable());
    EXPECT_EQ(email, full);
    EXPECT_EQ(number, full);
    EXPECT_EQ(folder, full);

    number = "N1";
    host.postOrder(number, folder);
    EXPECT_EQ(number, full);
    // The next plug-in got the cut text with its NUL in place.
    EXPECT_TRUE(calls("PostOrderTx")
                    .contains("testplugin_b|PostOrderTx|" + QString(full.c_str()) + "|" +
                              QString(full.c_str())));
}

// Release on destruction is the intake test's, through the shop.
TEST_F(PluginHostTest, ReleaseCallsEveryPluginInOrderOnce) {
    {
        PluginHost host;
        ASSERT_EQ(host.load(m_folder.path()), 2u);
        host.release();
        EXPECT_TRUE(host.empty());
        host.release();
    }
    EXPECT_EQ(calls("ReleaseLibrary"),
              QStringList({"testplugin_a|ReleaseLibrary", "testplugin_b|ReleaseLibrary"}));
}

TEST_F(PluginHostTest, ParametersAreTheTableOfContextOne) {
    set("TESTPLUGIN_B", "NOPARAMS", "1");
    PluginHost host;
    ASSERT_EQ(host.load(m_folder.path()), 2u);

    PluginParam* table = host.parameters(0); // the test plug-in's own table
    ASSERT_NE(table, nullptr);
    EXPECT_STREQ(table[3].name, "Label");
    EXPECT_EQ(table[5].type, PLUGIN_PARAM_END);
    EXPECT_EQ(host.parameters(1), nullptr);

    // Every call after loading got back the contexts InitLibrary set; a
    // text that no plug-in rewrote stays whole, past the plug-ins' buffer.
    std::string number(2000, 'N'), folder = "F";
    host.postOrder(number, folder);
    EXPECT_EQ(number, std::string(2000, 'N'));
    host.release();
    EXPECT_FALSE(calls().join('\n').contains("bad-context"));
}

// What the table holds is the reception steps' test above; here, that a
// moved table still points at its own copies.
TEST(PictureTable, SurvivesAMoveAndEndsAtItsCount) {
    OrderEntry order;
    order.pictures.push_back({"a.jpg", {{7, 1}, {8, 3}}});
    PictureTable source(order);
    order.pictures.clear();
    const PictureTable table(std::move(source));
    ASSERT_EQ(table.count(), 1);
    EXPECT_EQ(table.entry(0), table.data());
    EXPECT_STREQ(table.entry(0)->fileName, "a.jpg");
    EXPECT_EQ(table.entry(0)->items[1].quantity, 3);
    EXPECT_EQ(table.entry(1), nullptr);
    EXPECT_EQ(PictureTable().data(), nullptr);
}
