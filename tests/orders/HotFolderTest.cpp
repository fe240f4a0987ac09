#include "netlib/AnsiText.h"
#include "orders/PluginHost.h"

#include "support/PluginFolder.h"
#include "support/TestSupport.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

using namespace quillon;

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

    static OrderEntry order() {
        OrderEntry order;
        order.pictures.push_back({"p1.jpg", {{10, 2}, {20, 1}}});
        order.pictures.push_back({"p2.jpg", {{10, 3}, {30, 0}}});
        return order;
    }

    void receive(const std::string& number, const std::string& folder,
                 const OrderEntry& entry = order()) {
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
    testsupport::PluginFolder m_plugins;
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
    OrderEntry entry = order();
    entry.pictures.push_back({"../secret.jpg", {{10, 1}}});
    receive("N1", m_folder, entry);
    complete("N1", m_folder);
    EXPECT_EQ(hotFiles(), QStringList({"10/N1_2x_p1.jpg", "10/N1_3x_p2.jpg", "20/N1_1x_p1.jpg"}));
    EXPECT_EQ(std::filesystem::hard_link_count(m_folder + "/p1.jpg"), 3u);
    EXPECT_EQ(hotFile("10/N1_3x_p2.jpg"), "two N1");
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
    EXPECT_EQ(hotFiles().size(), threads * orders * 3);
    EXPECT_EQ(hotFile("10/C17_p2.jpg"), "two C17");
    EXPECT_EQ(hotFile("20/C31_p1.jpg"), "one C31");
}
