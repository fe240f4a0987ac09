#include "orders/Reception.h"
#include "netlib/Socket.h"
#include "netsim/sender/OrderSender.h"
#include "orders/FilePaths.h"
#include "orders/FolderRegistry.h"
#include "protocol/OrderHeader.h"
#include "support/FileSizeLimit.h"
#include "support/ManualClock.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <thread>

using namespace quillon;
using testsupport::ManualClock;

namespace {

// Runs one reception worker on the next connection to its port.
struct Receiver {
    QTemporaryDir dir;
    std::string root;
    Socket listener;
    std::thread thread;
    ManualClock clock{1796000000};
    FolderRegistry handedOut;
    std::shared_ptr<ProductList> products = std::make_shared<ProductList>(
        ProductList{{10, 2.5f, "Print 10x15"}, {20, 1.25f, "Magnet"}, {10, 99.0f, "Later twin"}});

    std::mutex mutex;
    std::unique_ptr<OrderEntry> completed;
    std::unique_ptr<OrderEntry> aborted;
    std::string abortReason;
    std::vector<std::pair<int, int>> progress;
    bool ended = false;
    SenderOptions sending{{"127.0.0.1", 0, 15000}, 4096};

    // No summary: its PDF is the summary builder's test.
    explicit Receiver(int idleLimitMs = kReceptionIdleLimitMs) {
        QDir(dir.path()).mkdir("Orders");
        root = dir.filePath("Orders").toStdString();
        EXPECT_TRUE(listener.BindAndListen(0, 5, "127.0.0.1"));
        thread = std::thread([this, idleLimitMs] {
            if (auto c = listener.AcceptNextConnection(10000)) {
                ReceptionParams p;
                p.connection = std::shared_ptr<Socket>(std::move(c));
                std::tie(p.products, p.rowId, p.rootpath, p.handedOut, p.clock, p.makeSummary,
                         p.idleLimitMs) =
                    std::tuple(products, 7, root, &handedOut, &clock, false, idleLimitMs);
                p.events.completed = [this](std::unique_ptr<OrderEntry> o) {
                    std::lock_guard l(mutex);
                    completed = std::move(o);
                };
                p.events.aborted = [this](std::unique_ptr<OrderEntry> o, const std::string& why) {
                    std::lock_guard l(mutex);
                    aborted = std::move(o);
                    abortReason = why;
                };
                p.events.progress = [this](int row, int k, int n, const std::string&) {
                    std::lock_guard l(mutex);
                    EXPECT_EQ(row, 7);
                    progress.emplace_back(k, n);
                };
                receiveOrder(std::move(p));
            }
            std::lock_guard l(mutex);
            ended = true;
        });
    }
    ~Receiver() {
        if (thread.joinable())
            thread.join();
    }
    int port() const { return listener.LocalPort(); }
    void waitEnded() {
        ASSERT_TRUE(testsupport::waitUntil([this] {
            std::lock_guard l(mutex);
            return ended;
        }));
    }
    struct Sent {
        bool whole = false; // every acknowledgement as expected, then closed by the shop
        std::vector<int64_t> acks;
    };
    // Sends `o` and waits until the worker has ended.
    Sent receive(const OrderToSend& o) {
        sending.shop.port = port();
        OrderSender sender(sending);
        Sent sent;
        sent.whole = sender.send(o);
        for (const Acknowledgement& ack : sender.acknowledgements())
            sent.acks.push_back(ack.value);
        waitEnded();
        return sent;
    }
    std::string folder(const std::string& name) const { return root + "/" + name; }
    // A file under the root: its bytes, or "missing".
    QByteArray stored(const std::string& name) const {
        const QString path = QString::fromStdString(folder(name));
        return QFile::exists(path) ? testsupport::readFile(path) : "missing";
    }
    OrderToSend order(const std::string& number) const {
        return {"Order summary", "REF-1", "REF-2", "ann@example.com", number, folder(number)};
    }
};

std::string bytes(size_t n, char seed) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = char(seed + i * 7 % 251);
    return s;
}

} // namespace

// The acknowledgement of every header and block is the order sender's test
// against a shop; here what the worker reports.
TEST(Reception, FilesArriveWholeAndTheEntryIsReported) {
    Receiver r;
    OrderToSend o = r.order("WEB-000001");
    o.items = {{"a.jpg", {{10, 2}}}, {"empty.jpg", {}}};
    o.files = {{"a.jpg", bytes(10000, 'a')}, {"empty.jpg", ""}};
    EXPECT_TRUE(r.receive(o).whole);
    EXPECT_EQ(r.stored("WEB-000001/a.jpg"), QByteArray::fromStdString(o.files[0].data));

    ASSERT_TRUE(r.completed);
    EXPECT_EQ(r.progress, (std::vector<std::pair<int, int>>{{1, 2}, {2, 2}}));
    EXPECT_EQ(std::tie(r.completed->orderNumber, r.completed->customer, r.completed->reference1),
              std::tuple("WEB-000001", "ann@example.com", "REF-1"));
    EXPECT_EQ(std::tuple(r.completed->received, r.completed->rowId), std::tuple(1796000000u, 7));
}

// An order without files completes after the ready acknowledgement.
TEST(Reception, AmountAndItemCount) {
    Receiver r;
    OrderToSend o = r.order("T");
    o.taxRate = 7.5f;
    // Code 10 twice in the list: the first product prices it. Code 77 is
    // unknown: no price, but its quantity still counts.
    o.items = {{"a.jpg", {{10, 3}, {20, 4}}}, {"b.jpg", {{77, 5}}}};
    EXPECT_EQ(r.receive(o).acks.at(1), 1);
    ASSERT_TRUE(r.completed);
    EXPECT_TRUE(r.progress.empty());
    EXPECT_FLOAT_EQ(r.completed->amount, 13.4375f); // (3 x 2.5 + 4 x 1.25) x 1.075
    EXPECT_EQ(r.completed->itemCount, 12);
    EXPECT_EQ(r.completed->pictures[0].items[0].product->description, "Print 10x15");
    EXPECT_EQ(r.completed->pictures[1].items[0].product, nullptr);
}

TEST(Reception, AnExistingFolderIsRefusedAndLeftAlone) {
    Receiver r;
    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(r.folder("DUP"))));
    ASSERT_TRUE(testsupport::writeFile(QString::fromStdString(r.folder("DUP/keep.jpg")), "old"));
    OrderToSend o = r.order("DUP");
    o.files = {{"keep.jpg", "new data"}};
    const std::vector<int64_t> acks = r.receive(o).acks;
    ASSERT_EQ(acks.size(), 2u);
    EXPECT_EQ(acks[1], -1); // folder not created
    ASSERT_TRUE(r.aborted && !r.completed);
    EXPECT_EQ(r.aborted->orderNumber, "DUP");
    EXPECT_EQ(r.stored("DUP/keep.jpg"), "old");
}

TEST(Reception, FoldersOutsideTheRootAreRefusedUnlessHandedOut) {
    QTemporaryDir elsewhere;
    for (bool handedOut : {false, true}) {
        Receiver r;
        OrderToSend o = r.order("X");
        o.folder = handedOut ? elsewhere.filePath("escaped").toStdString() : r.root + "/../escaped";
        if (handedOut)
            r.handedOut.add(o.folder); // a plug-in moved it at registration
        r.receive(o);
        EXPECT_EQ(std::tuple(bool(r.completed), bool(r.aborted)),
                  std::tuple(handedOut, !handedOut));
        EXPECT_EQ(QDir(QString::fromStdString(o.folder)).exists(), handedOut);
    }
}

// Orders a sender cannot be trusted with: each is aborted, the files before
// the bad one stay and nothing lands outside the order folder.
TEST(Reception, MalformedOrdersAreAbortedWithinTheirFolder) {
    const std::vector<std::function<void(OrderToSend&, SenderOptions&)>> spoil = {
        [](OrderToSend&, SenderOptions& how) { how.blockSize = 0; },
        [](OrderToSend& o, SenderOptions&) { o.files[1].sizeLie = -50; }, // 50 bytes too many
        [](OrderToSend& o, SenderOptions&) { o.files[1].name = "../evil.jpg"; },
        [](OrderToSend& o, SenderOptions&) { o.files[1].name = ".."; },
    };
    for (size_t i = 0; i < spoil.size(); ++i) {
        Receiver r;
        OrderToSend o = r.order("P");
        o.files = {{"ok.jpg", "fine"}, {"evil.jpg", bytes(100, 'e')}};
        spoil[i](o, r.sending);
        SCOPED_TRACE(i);
        r.receive(o);
        EXPECT_TRUE(r.aborted && !r.completed);
        EXPECT_EQ(r.stored("evil.jpg"), "missing");
        EXPECT_EQ(r.stored("P/evil.jpg"), "missing");
        if (i > 0) // the file before the bad one stays
            EXPECT_EQ(r.stored("P/ok.jpg"), "fine");
    }
}

// A picture that was not stored is never acknowledged as received.
TEST(Reception, APictureThatCannotBeStoredAbortsTheOrder) {
    {
        Receiver r; // a name longer than the file system allows
        OrderToSend o = r.order("LONG");
        o.files = {{std::string(300, 'n'), "data"}};
        auto sent = r.receive(o);
        EXPECT_TRUE(r.aborted && !r.completed);
        EXPECT_EQ(sent.acks.size(), 3u); // header, ready, file header: no block
    }
    {
        Receiver r; // the disk fills up within the second block
        testsupport::FileSizeLimit limit(6000);
        ASSERT_TRUE(limit.active());
        OrderToSend o = r.order("FULL");
        o.files = {{"a.jpg", bytes(10000, 'a')}};
        auto sent = r.receive(o);
        EXPECT_TRUE(r.aborted && !r.completed);
        ASSERT_EQ(sent.acks.size(), 4u);
        EXPECT_EQ(sent.acks.back(), 4096);
        EXPECT_EQ(r.stored("FULL/a.jpg"), "missing");
    }
}

// Before the item list the entry holds the header's order number.
TEST(Reception, AFailedItemListIsAborted) {
    Receiver r;
    {
        OrderHeader header;
        header.orderNumber = "EARLY";
        Socket s;
        ASSERT_TRUE(s.Connect("127.0.0.1", r.port(), false, 2000));
        ASSERT_TRUE(s.SendBytes(header.encode()));
        ByteData ack;
        ASSERT_TRUE(s.ReceiveBytesN(4, ack));
        EXPECT_GT(int32_t(ack.u32At(0)), 0);
    } // closes before any item list
    r.waitEnded();
    ASSERT_TRUE(r.aborted && !r.completed);
    EXPECT_EQ(std::tie(r.aborted->orderNumber, r.abortReason),
              std::tuple("EARLY", "the item list did not arrive whole"));
}

// A sender that leaves or falls silent: the partial file goes, the files
// before it stay.
TEST(Reception, ASenderThatLeavesOrFallsSilentIsGivenUp) {
    struct Case {
        const char* what;
        int disconnectAfterFiles;
        int64_t stallAfterBytes;
        const char* reason;
    };
    const Case cases[] = {
        {"leaves between files", 1, -1, "the sender went away"},
        {"falls silent in the second file", -1, 7000, "the sender was silent for 2 s"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Long enough that a busy machine never makes a sender seem silent.
        Receiver r(2000);
        OrderToSend o = r.order("CUT");
        o.files = {{"1.jpg", bytes(5000, '1')}, {"2.jpg", bytes(5000, '2')}};
        r.sending.disconnectAfterFiles = c.disconnectAfterFiles;
        r.sending.stallAfterBytes = c.stallAfterBytes;
        r.receive(o);
        ASSERT_TRUE(r.aborted);
        EXPECT_EQ(std::tie(r.aborted->orderNumber, r.abortReason), std::tuple("CUT", c.reason));
        EXPECT_EQ(
            std::tuple(r.progress.size(), r.stored("CUT/1.jpg").size(), r.stored("CUT/2.jpg")),
            std::tuple(1u, 5000, "missing"));
    }
}

// The checks of names and folders that the reception relies on.
TEST(FilePaths, PlainNames) {
    for (const char* ok : {"a.jpg", "IMG 0001.JPG", "..a", "a..b", ".hidden"})
        EXPECT_TRUE(isPlainFileName(ok)) << ok;
    for (const char* bad : {"", ".", "..", "a/b", "../a", "/abs", "a\\b"})
        EXPECT_FALSE(isPlainFileName(bad)) << bad;
    EXPECT_FALSE(isPlainFileName(std::string("a\0b", 3)));
}

TEST(FilePaths, FoldersMustBeMadeInsideTheRoot) {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("root");
    QDir(dir.path()).mkdir("outside");
    std::string root = dir.filePath("root").toStdString();
    EXPECT_TRUE(folderLiesInside(root, root + "/A0001"));
    EXPECT_TRUE(folderLiesInside(root + "/", root + "//A0001"));
    EXPECT_FALSE(folderLiesInside(root, root));
    EXPECT_FALSE(folderLiesInside(root, root + "/../outside/A0001"));
    EXPECT_FALSE(folderLiesInside(root, root + "x/A0001")); // a sibling with a longer name
    EXPECT_FALSE(folderLiesInside(root, "A0001"));          // relative
    EXPECT_FALSE(folderLiesInside("", root + "/A0001"));
    // A link inside the root that points out of it does not count as inside.
    ASSERT_TRUE(QFile::link(dir.filePath("outside"), dir.filePath("root/link")));
    EXPECT_FALSE(folderLiesInside(root, root + "/link/A0001"));
}
