// The plug-in host with copies of the test plug-in, which log each call,
// and with the hot folder plug-in, which copies or links pictures by product.
#include "orders/PluginHost.h"
#include "netlib/AnsiText.h"

#include "support/PluginFolder.h"
#include "support/TestSupport.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

using namespace quillon;
using testsupport::PluginFolder;
using testsupport::TestPluginSettings;

namespace {

// Two pictures; an item of quantity 0 is on the order but not delivered.
OrderEntry sampleOrder() {
    OrderEntry order;
    order.pictures.push_back({"p1.jpg", {{10, 2}, {20, 1}}});
    order.pictures.push_back({"p2.jpg", {{10, 3}, {30, 0}}});
    return order;
}

// Two copies of the test plug-in, a and b, with a shared call log.
class PluginHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_folder.add("testplugin", "testplugin_a"));
        ASSERT_TRUE(m_folder.add("testplugin", "testplugin_b"));
    }
    void set(const char* tag, const char* key, const QByteArray& value) {
        m_settings.set(QByteArray(tag) + "_" + key, value);
    }

    // The log lines, all or those of one export, in the order they were written.
    QStringList calls(const QString& exportName = {}) const {
        const QStringList lines = m_settings.calls();
        return exportName.isEmpty()
                   ? lines
                   : lines.filter(QRegularExpression("^[^|]*\\|" + exportName + "(\\||$)"));
    }

    TestPluginSettings m_settings;
    PluginFolder m_folder;
    PluginHost host;
};

} // namespace

TEST_F(PluginHostTest, LoadsByNameAndSkipsRefusedLibraries) {
    ASSERT_TRUE(m_folder.add("testplugin_badversion", "testplugin_0badversion"));
    ASSERT_TRUE(m_folder.add("testplugin_noend", "testplugin_0noend"));
    ASSERT_TRUE(testsupport::writeFile(m_folder.path() + "/broken.so", "not a library"));
    ASSERT_TRUE(testsupport::writeFile(m_folder.path() + "/notes.txt", "not a plug-in"));

    ASSERT_EQ(host.load(m_folder.path()), 2u);
    EXPECT_EQ(std::tuple(host.fileName(0), host.fileName(1), host.caption(1)),
              std::tuple("testplugin_a.so", "testplugin_b.so", "Test plug-in testplugin_b"));

    // Both refused libraries were asked for their version, neither was
    // initialised, and the good ones were initialised with zeroed contexts.
    EXPECT_EQ(calls(), QStringList({"testplugin_0badversion|PluginAPIVersion",
                                    "testplugin_0noend|PluginAPIVersion",
                                    "testplugin_a|PluginAPIVersion", "testplugin_a|InitLibrary",
                                    "testplugin_b|PluginAPIVersion", "testplugin_b|InitLibrary"}));
}

// Chaining through the shop is the registration tests'; here: what each
// plug-in is handed.
TEST_F(PluginHostTest, PreOrderAndShippingHandOnCutTextsAndFreshFlags) {
    set("TESTPLUGIN_A", "FLAGS", "3,5");
    set("TESTPLUGIN_B", "PRE", "B-");
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
    ASSERT_EQ(host.load(m_folder.path()), 2u);

    const PictureTable table(sampleOrder());
    std::string email = "c@example.org", number = "N1", folder = "/orders/N1";
    host.beginData(email, number, folder, table);
    for (int i = 0; i < 3; ++i)
        host.dataStep(i, number, folder, "f" + std::to_string(i) + ".jpg", table.entry(i));
    host.endData(email, number, folder, table);
    EXPECT_EQ(std::tie(email, number, folder),
              std::tuple("E-c@example.org", "E-N1", "/orders/E-N1"));
    host.postOrder(number, folder);
    EXPECT_EQ(std::tie(number, folder), std::tuple("P-E-N1", "/orders/P-E-N1"));

    const QString pictures = "2|p1.jpg:10*2+20*1|p2.jpg:10*3+30*0";
    EXPECT_EQ(calls().mid(4),
              QStringList({
                  "testplugin_a|OnBeginDataTx|c@example.org|N1|/orders/N1|" + pictures,
                  "testplugin_b|OnBeginDataTx|c@example.org|N1|/orders/N1|" + pictures,
                  "testplugin_a|OnDataTx|0|N1|/orders/N1|f0.jpg|p1.jpg:10*2+20*1",
                  "testplugin_b|OnDataTx|0|N1|/orders/N1|f0.jpg|p1.jpg:10*2+20*1",
                  "testplugin_a|OnDataTx|1|N1|/orders/N1|f1.jpg|p2.jpg:10*3+30*0",
                  "testplugin_b|OnDataTx|1|N1|/orders/N1|f1.jpg|p2.jpg:10*3+30*0",
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
    ASSERT_EQ(host.load(m_folder.path()), 2u);
    const std::string full(1023, 'Z');

    std::string number = "N1", folder = "/orders/N1", email = "c@example.org";
    host.preOrder(1, "/orders", number, folder);
    EXPECT_EQ(std::tie(number, folder), std::tie(full, full));
    number = "N1";
    host.endData(email, number, folder, PictureTable());
    EXPECT_EQ(std::tie(email, number), std::tie(full, full));

    number = "N1";
    host.postOrder(number, folder);
    EXPECT_EQ(number, full);
    // The next plug-in got the cut text with its NUL in place.
    EXPECT_TRUE(calls("PostOrderTx")
                    .contains("testplugin_b|PostOrderTx|" + QString(full.c_str()) + "|" +
                              QString(full.c_str())));
}

TEST_F(PluginHostTest, ParametersAreTheTableOfContextOne) {
    set("TESTPLUGIN_B", "NOPARAMS", "1");
    ASSERT_EQ(host.load(m_folder.path()), 2u);

    PluginParam* table = host.parameters(0); // the test plug-in's own table
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(std::tuple(std::string(table[3].name), table[5].type),
              std::tuple("Label", PLUGIN_PARAM_END));
    EXPECT_EQ(host.parameters(1), nullptr);

    // Every call after loading got back the contexts InitLibrary set; a
    // text that no plug-in rewrote stays whole, past the plug-ins' buffer.
    std::string number(2000, 'N'), folder = "F";
    host.postOrder(number, folder);
    EXPECT_EQ(number, std::string(2000, 'N'));
    // Release calls every plug-in once, in order (on destruction it is the
    // intake test's, through the shop).
    host.release();
    EXPECT_TRUE(host.empty());
    host.release();
    EXPECT_FALSE(calls().join('\n').contains("bad-context"));
    EXPECT_EQ(calls("ReleaseLibrary"),
              QStringList({"testplugin_a|ReleaseLibrary", "testplugin_b|ReleaseLibrary"}));
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
    EXPECT_EQ(std::tuple(table.entry(0), std::string(table.entry(0)->fileName),
                         table.entry(0)->items[1].quantity, table.entry(1)),
              std::tuple(table.data(), "a.jpg", 3, nullptr));
    EXPECT_EQ(PictureTable().data(), nullptr);
}

namespace {

// The hot folder plug-in loaded from a plug-in folder, an order folder with
// two pictures, and an empty hot folder.
class HotFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_plugins.add("hotfolder", "hotfolder"));
        ASSERT_EQ(m_host.load(m_plugins.path()), 1u);
        ASSERT_EQ(m_host.caption(0), "Hot folder");
        m_hot = m_work.filePath("hot").toStdString();
        m_folder = makeOrderFolder("N1");
        setText("Hot folder", m_hot);
        param("Enabled").value.flag = 1;
    }

    PluginParam& param(const char* name) {
        for (PluginParam* p = m_host.parameters(0); p->type != PLUGIN_PARAM_END; ++p)
            if (std::strcmp(p->name, name) == 0)
                return *p;
        throw std::runtime_error(name);
    }

    // As the parameters dialog does: cut to the buffer, written in place.
    void setText(const char* name, const std::string& text) {
        PluginParam& p = param(name);
        const std::size_t length = std::min<std::size_t>(text.size(), p.sizeOrIndex - 1);
        std::memcpy(p.value.text, text.data(), length);
        p.value.text[length] = '\0';
    }

    std::string makeOrderFolder(const std::string& number) {
        const QString folder = m_work.filePath("orders/" + QString::fromStdString(number));
        QDir().mkpath(folder);
        testsupport::writeFile(folder + "/p1.jpg", "one " + QByteArray(number.c_str()));
        testsupport::writeFile(folder + "/p2.jpg", "two " + QByteArray(number.c_str()));
        return folder.toStdString();
    }

    void receive(const std::string& number, const std::string& folder,
                 const OrderEntry& entry = sampleOrder()) {
        std::string email = "c@example.org", n = number, f = folder;
        m_host.endData(email, n, f, PictureTable(entry));
    }

    // The plug-in's end of a completed order.
    void complete(std::string number, std::string folder) { m_host.postOrder(number, folder); }

    QByteArray hotFile(const QString& relative) const {
        return testsupport::readFile(QString::fromStdString(m_hot) + "/" + relative);
    }

    QStringList hotFiles() const {
        QStringList files;
        QDirIterator it(QString::fromStdString(m_hot), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files.append(it.next().mid(static_cast<qsizetype>(m_hot.size()) + 1));
        files.sort();
        return files;
    }

    QTemporaryDir m_work;
    PluginFolder m_plugins;
    PluginHost m_host;
    std::string m_hot;
    std::string m_folder;
};

} // namespace

TEST_F(HotFolderTest, CopiesEachPictureIntoAFolderPerProductCodeOnceWhenEnabled) {
    param("Enabled").value.flag = 0;
    receive("N0", makeOrderFolder("N0"));
    complete("N0", m_work.filePath("orders/N0").toStdString());
    param("Enabled").value.flag = 1;
    complete("N0", m_work.filePath("orders/N0").toStdString());
    EXPECT_TRUE(hotFiles().isEmpty()) << "disabled; then used up by its completion";

    receive("N1", m_folder);
    EXPECT_TRUE(hotFiles().isEmpty()) << "nothing before the order is complete";
    complete("X-N1", m_folder); // a rewritten number: the folder still finds it
    EXPECT_EQ(hotFiles(), QStringList({"10/X-N1_p1.jpg", "10/X-N1_p2.jpg", "20/X-N1_p1.jpg"}));
    EXPECT_EQ(hotFile("10/X-N1_p1.jpg") + hotFile("20/X-N1_p1.jpg") + hotFile("10/X-N1_p2.jpg"),
              "one N1one N1two N1");

    // Number and folder both rewritten: the order is not recognised.
    const std::string other = makeOrderFolder("N2");
    receive("N2", other);
    complete("Y-N2", other + "-moved");
    EXPECT_EQ(hotFiles().filter("N2").size(), 0);
}

// A picture name leading out of the order folder is skipped.
TEST_F(HotFolderTest, LinksWithQuantityInTheNameAndOnlyFromTheOrderFolder) {
    param("Transfer").sizeOrIndex = 1;
    param("Quantity in file name").value.flag = 1;
    testsupport::writeFile(m_work.filePath("orders/secret.jpg"), "secret");
    OrderEntry entry = sampleOrder();
    entry.pictures.push_back({"../secret.jpg", {{10, 1}}});
    receive("N1", m_folder, entry);
    complete("N1", m_folder);
    EXPECT_EQ(hotFiles(), QStringList({"10/N1_2x_p1.jpg", "10/N1_3x_p2.jpg", "20/N1_1x_p1.jpg"}));
    EXPECT_EQ(std::tuple(std::filesystem::hard_link_count(m_folder + "/p1.jpg"),
                         hotFile("10/N1_3x_p2.jpg")),
              std::tuple(3u, "two N1"));
}

// Texts are Windows-1252 bytes: the hot folder, the number and the picture
// name spell each file as the shop does, an unassigned byte (0x81) too.
TEST_F(HotFolderTest, NamesItsFilesAsTheShopDoes) {
    const std::string hot = m_hot + "/h\xF6t", name = "\xE9t\xE9\x80\x81.jpg";
    setText("Hot folder", hot);
    std::ofstream(ansiPath(m_folder + "/" + name)) << "picture";
    OrderEntry entry;
    entry.pictures.push_back({name, {{10, 1}}});
    receive("N\xFC", m_folder, entry);
    complete("N\xFC", m_folder);
    std::ifstream delivered(ansiPath(hot + "/10/N\xFC_" + name));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(delivered), {}), "picture");
}

TEST_F(HotFolderTest, KeepsConcurrentOrdersApart) {
    constexpr int threads = 4, orders = 8;
    std::vector<std::string> folders;
    for (int i = 0; i < threads * orders; ++i)
        folders.push_back(makeOrderFolder("C" + std::to_string(i)));
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back([&, t] {
            for (int i = t * orders; i < (t + 1) * orders; ++i)
                receive("C" + std::to_string(i), folders[i]);
        });
    for (std::thread& w : workers)
        w.join();
    for (int i = 0; i < threads * orders; ++i)
        complete("C" + std::to_string(i), folders[i]);
    EXPECT_EQ(std::tuple(hotFiles().size(), hotFile("10/C17_p2.jpg"), hotFile("20/C31_p1.jpg")),
              std::tuple(threads * orders * 3, "two C17", "one C31"));
}
