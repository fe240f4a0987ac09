// Order reception over 127.0.0.1: one order of 100 pictures x 4 MB sent in
// 64 KiB and in 1 MiB blocks, to each receiver in turn, interleaved:
//   raw      the same bytes copied one way into files, no exchange at all;
//   minimal  bench_minimal_receiver, the least a receiver speaking the same
//            exchange can do (one acknowledgement per block), at normal
//            priority and at the shop's reception priority;
//   shop     a real Shop on-line in a working folder, summaries off.
// One sender drives them all. Then the shop's peak resident memory while it
// receives one 1 GiB picture, next to its peak before the order.
//
//   bench_reception [--dir FOLDER] [--repetitions N] [--compare PROGRAM] [--no-memory]
//     --compare   runs PROGRAM --shop as a fifth receiver, "shop compared":
//                 another build of this benchmark, e.g. the one before a change
//     --no-memory leaves out the 1 GiB peak memory measurement
//   bench_reception --shop WORKDIR      (child role: the shop)
//
// Every receiver runs in a child process that prints "port N" when it
// listens and one line per order when the order is over.

#include "core/Shop.h"
#include "netlib/Socket.h"
#include "orders/Clock.h"
#include "orders/OrderBook.h"
#include "orders/Settings.h"
#include "protocol/FileHeader.h"
#include "protocol/FramedPacket.h"
#include "protocol/ItemList.h"
#include "protocol/OrderHeader.h"
#include "protocol/Prompter.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <unistd.h>
#include <vector>

using namespace quillon;

namespace {

constexpr int kPictures = 100;
constexpr uint32_t kPictureSize = 4'000'000;
constexpr uint32_t kBigPictureSize = uint32_t(1) << 30;
constexpr int32_t kSmallBlock = 64 << 10;
constexpr int32_t kLargeBlock = 1 << 20;
// A stalled receiver fails the run instead of hanging it.
constexpr int kIdleLimitMs = 60000;
constexpr int kOrderEndWaitMs = 120000;
// The priority of the shop's reception workers.
constexpr int kWorkerNiceness = 5;

// Every picture's bytes: one random-ish pattern, repeated. Its size is a
// multiple of every block size, so a block never wraps.
class Pattern {
public:
    static constexpr size_t kSize = size_t(4) << 20;

    Pattern() : m_bytes(kSize) {
        uint64_t state = 0x9E3779B97F4A7C15ull;
        for (size_t i = 0; i < kSize; i += 8) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            std::memcpy(&m_bytes[i], &state, 8);
        }
    }
    const uint8_t* at(uint64_t offset) const { return m_bytes.data() + offset % kSize; }

private:
    std::vector<uint8_t> m_bytes;
};

struct OrderPlan {
    std::string number;
    std::string folder;
    int pictures = kPictures;
    uint32_t pictureSize = kPictureSize;
    int32_t blockSize = kSmallBlock;

    uint64_t totalBytes() const { return uint64_t(pictures) * pictureSize; }
};

std::string pictureName(int k) {
    char name[32];
    std::snprintf(name, sizeof name, "IMG_%04d.jpg", k);
    return name;
}

bool connectTo(Socket& s, int port) {
    s.SetReadIdleLimit(kIdleLimitMs);
    s.SetSendIdleLimit(kIdleLimitMs);
    return s.Connect("127.0.0.1", port, false, 5000);
}

bool expectAck(Socket& s, int32_t expected) {
    ByteData ack;
    return s.ReceiveBytesN(4, ack) && int32_t(ack.u32At(0)) == expected;
}

// The receiver ends an order by closing the connection.
bool closedByReceiver(Socket& s) {
    ByteData rest;
    return !s.ReceiveBytes(rest) && rest.empty() &&
           s.LastErrorText() == "Connection closed by peer";
}

// One file's bytes, in blocks; each block waits for its acknowledgement
// unless the copy is raw.
bool sendFileData(Socket& s, const Pattern& pattern, uint32_t size, int32_t blockSize,
                  bool acknowledged) {
    for (uint64_t offset = 0; offset < size; offset += uint64_t(blockSize)) {
        const size_t n = size_t(std::min<uint64_t>(uint64_t(blockSize), size - offset));
        if (!s.SendBytes(pattern.at(offset), n))
            return false;
        if (acknowledged && !expectAck(s, int32_t(n)))
            return false;
    }
    return true;
}

// The network's sending side of order server 1: header, item list packet,
// then every file header and block, each waiting for its acknowledgement.
bool sendOrder(int port, const OrderPlan& plan, const Pattern& pattern) {
    Socket s;
    if (!connectTo(s, port))
        return false;
    OrderHeader header;
    header.blockSize = plan.blockSize;
    header.fileCount = plan.pictures;
    header.title = "Benchmark order";
    header.reference1 = "REF-1";
    header.reference2 = "REF-2";
    header.customer = "bench@example.org";
    header.orderNumber = plan.number;
    header.folder = plan.folder;
    const ByteData headerBytes = header.encode();
    if (!s.SendBytes(headerBytes) || !expectAck(s, int32_t(headerBytes.size())))
        return false;

    ItemList items;
    for (int k = 0; k < plan.pictures; ++k)
        items.push_back({pictureName(k), {{1, 1}}});
    if (FramedPacket(kPlainProtocolId, encodeItemList(items)).sendPacket(s) != 1 ||
        !expectAck(s, 1))
        return false;

    for (int k = 0; k < plan.pictures; ++k) {
        FileHeader file;
        file.size = plan.pictureSize;
        file.name = pictureName(k);
        const ByteData fileHeader = encodeFileHeader(file);
        if (!s.SendBytes(fileHeader) || !expectAck(s, int32_t(fileHeader.size())) ||
            !sendFileData(s, pattern, plan.pictureSize, plan.blockSize, true))
            return false;
    }
    return closedByReceiver(s);
}

// The same bytes with no exchange: file count and size, then the files.
bool sendRaw(int port, const OrderPlan& plan, const Pattern& pattern) {
    Socket s;
    if (!connectTo(s, port) || !s.SendU32(uint32_t(plan.pictures)) || !s.SendU32(plan.pictureSize))
        return false;
    for (int k = 0; k < plan.pictures; ++k)
        if (!sendFileData(s, pattern, plan.pictureSize, plan.blockSize, false))
            return false;
    return closedByReceiver(s);
}

long statusKilobytes(qint64 pid, const char* field) {
    QFile status(QString("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(std::strlen(field))).trimmed().split(' ').value(0).toLong();
    return -1;
}

// User plus system time of every thread of a process, in seconds.
double cpuSeconds(qint64 pid) {
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    // Fields after the command name, which may hold spaces: state is 3rd.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    return double(fields[11].toLongLong() + fields[12].toLongLong()) / double(sysconf(_SC_CLK_TCK));
}

// A receiver in a child process.
class Receiver {
public:
    Receiver(QString program, QStringList arguments)
        : m_program(std::move(program)), m_arguments(std::move(arguments)) {}
    ~Receiver() { stop(); }

    bool start() {
        m_process.setProgram(m_program);
        m_process.setArguments(m_arguments);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
        const QString line = nextLine(30000);
        if (line.startsWith("port "))
            m_port = line.mid(5).toInt();
        return m_port > 0;
    }
    int port() const { return m_port; }
    qint64 pid() const { return m_process.processId(); }

    // The line that tells how the last order ended.
    QString nextLine(int waitMs) {
        QDeadlineTimer deadline(waitMs);
        while (!m_process.canReadLine()) {
            if (m_process.state() == QProcess::NotRunning || deadline.hasExpired())
                return {};
            m_process.waitForReadyRead(int(std::max<qint64>(deadline.remainingTime(), 1)));
        }
        return QString::fromUtf8(m_process.readLine()).trimmed();
    }

    // Closing its input makes the receiver end in order.
    void stop() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(3000)) {
            m_process.terminate();
            if (!m_process.waitForFinished(3000)) {
                m_process.kill();
                m_process.waitForFinished(3000);
            }
        }
    }

private:
    QString m_program;
    QStringList m_arguments;
    QProcess m_process;
    int m_port = 0;
};

// The files of the one order folder under `root` are the pattern's bytes;
// the folder is removed afterwards.
bool storedAsSent(const QString& root, const OrderPlan& plan, const Pattern& pattern) {
    const QFileInfoList folders = QDir(root).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot);
    bool ok = folders.size() == 1;
    if (ok) {
        QDir folder(folders.first().filePath());
        ok = folder.entryList(QDir::Files).size() == plan.pictures;
        for (int k = 0; ok && k < plan.pictures; ++k) {
            QFile file(folder.filePath(QString::fromStdString(pictureName(k))));
            ok = file.size() == plan.pictureSize;
            // The first and last files are compared byte for byte.
            if (ok && (k == 0 || k == plan.pictures - 1) && plan.pictureSize <= Pattern::kSize)
                ok = file.open(QIODevice::ReadOnly) &&
                     file.readAll() ==
                         QByteArray::fromRawData(reinterpret_cast<const char*>(pattern.at(0)),
                                                 qsizetype(plan.pictureSize));
        }
    }
    for (const QFileInfo& f : folders)
        QDir(f.filePath()).removeRecursively();
    return ok;
}

// The shop as users run it, minus the window: on-line on free ports of
// 127.0.0.1, summaries off, no central service to talk to.
int runShop(const QString& workdir) {
    QDir(workdir).mkpath("Orders");
    QDir(workdir).mkpath("Db");
    Settings settings;
    settings.status = 2;
    settings.rootpath = QDir(workdir).filePath("Orders").toStdString();
    settings.hostaddress = "127.0.0.1";
    {
        // A port that refuses at once: the payment status request after
        // each order fails quickly and says so to no one.
        Socket closed;
        closed.BindAndListen(0, 1, "127.0.0.1");
        settings.centralServicePort = closed.LocalPort();
    }
    ShopConfig config;
    config.workingDirectory = workdir.toStdString();
    config.server1Port = 0;
    config.server2Port = 0;
    config.listenAddress = "127.0.0.1";
    config.makeSummaries = false;
    SystemClock clock;
    SilentPrompter prompter;
    Shop shop(config, settings, nullptr, clock, prompter);

    auto say = [](const char* line) {
        std::printf("%s\n", line);
        std::fflush(stdout);
    };
    QObject::connect(&shop.orderBook(), &OrderBook::orderInserted, [&] { say("completed"); });
    QObject::connect(&shop.statusLines(), &StatusLines::lineAdded, [&](const QString& line) {
        if (line.endsWith(" aborted."))
            say("aborted");
    });
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char c;
        if (::read(STDIN_FILENO, &c, 1) <= 0)
            QCoreApplication::quit();
    });
    shop.goOnline();
    if (!shop.servers().server1Running())
        return 1;
    std::printf("port %d\n", shop.servers().server1Port());
    std::fflush(stdout);
    return QCoreApplication::exec();
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

QString loadAverage() {
    QFile f("/proc/loadavg");
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readLine()).section(' ', 0, 2)
                                       : QString("?");
}

struct Variant {
    const char* label;
    Receiver* receiver;
    QString ordersRoot;
    bool raw;
    // Per block size: MB/s and receiver processor seconds per run.
    std::map<int32_t, std::vector<double>> rates;
    std::map<int32_t, std::vector<double>> cpu;
};

struct Run {
    double megabytesPerSecond = 0;
    double receiverCpuSeconds = 0;
};

int g_orderSerial = 0;

// One order to one variant; nothing when the run failed.
std::optional<Run> runOnce(Variant& v, int32_t blockSize, const Pattern& pattern) {
    char number[32];
    std::snprintf(number, sizeof number, "BENCH-%06d", ++g_orderSerial);
    OrderPlan plan;
    plan.number = number;
    plan.folder = QDir(v.ordersRoot).filePath(number).toStdString();
    plan.blockSize = blockSize;

    const double cpuBefore = cpuSeconds(v.receiver->pid());
    const auto start = std::chrono::steady_clock::now();
    const bool sent = v.raw ? sendRaw(v.receiver->port(), plan, pattern)
                            : sendOrder(v.receiver->port(), plan, pattern);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const QString outcome = v.receiver->nextLine(kOrderEndWaitMs);
    const double cpuUsed = cpuSeconds(v.receiver->pid()) - cpuBefore;
    const bool stored = storedAsSent(v.ordersRoot, plan, pattern);
    if (!sent || (outcome != "done" && outcome != "completed") || !stored) {
        std::fprintf(stderr,
                     "%s, %d-byte blocks: run failed (sent %d, receiver said \"%s\", "
                     "files stored %d)\n",
                     v.label, blockSize, sent, qPrintable(outcome), stored);
        return std::nullopt;
    }
    return Run{double(plan.totalBytes()) / 1e6 / seconds, cpuUsed};
}

// `compare`, when not empty, is another build of this benchmark whose shop
// runs beside ours (e.g. the one before a change), as "shop compared".
int throughput(const QString& dir, int repetitions, const Pattern& pattern,
               const QString& compare) {
    const QString minimalProgram =
        QDir(QCoreApplication::applicationDirPath()).filePath("bench_minimal_receiver");
    const QString rawRoot = QDir(dir).filePath("raw");
    const QString minimalRoot = QDir(dir).filePath("minimal");
    const QString niceRoot = QDir(dir).filePath("minimal-nice");
    const QString shopDir = QDir(dir).filePath("shop");
    for (const char* folder : {"raw", "minimal", "minimal-nice"})
        QDir(dir).mkpath(folder);
    Receiver raw(minimalProgram, {"--raw", rawRoot});
    Receiver minimal(minimalProgram, {minimalRoot});
    // The shop's reception worker runs below normal priority; on a busy
    // machine that alone costs it time, so the anchor is also measured at
    // the worker's priority.
    Receiver minimalNice(QStandardPaths::findExecutable("nice"),
                         {"-n", QString::number(kWorkerNiceness), minimalProgram, niceRoot});
    Receiver shop(QCoreApplication::applicationFilePath(), {"--shop", shopDir});
    const QString compareDir = QDir(dir).filePath("shop-compared");
    Receiver compared(compare, {"--shop", compareDir});
    if (!raw.start() || !minimal.start() || !minimalNice.start() || !shop.start() ||
        (!compare.isEmpty() && !compared.start())) {
        std::fprintf(stderr, "a receiver did not start\n");
        return 1;
    }
    enum { Raw, Minimal, MinimalNice, ShopSide };
    std::vector<Variant> variants{{"raw copy", &raw, rawRoot, true, {}, {}},
                                  {"minimal C", &minimal, minimalRoot, false, {}, {}},
                                  {"minimal C nice 5", &minimalNice, niceRoot, false, {}, {}},
                                  {"shop", &shop, QDir(shopDir).filePath("Orders"), false, {}, {}}};
    if (!compare.isEmpty())
        variants.push_back(
            {"shop compared", &compared, QDir(compareDir).filePath("Orders"), false, {}, {}});
    const int32_t blockSizes[] = {kSmallBlock, kLargeBlock};

    const QString loadBefore = loadAverage();
    std::printf("sending %d pictures x %.1f MB = %.0f MB per order, %d repetitions...\n", kPictures,
                kPictureSize / 1e6, kPictures * (kPictureSize / 1e6), repetitions);
    std::fflush(stdout);
    // Round 0 warms every path up and is not counted. The order of the
    // variants turns round by round, so none always runs first.
    for (int round = 0; round <= repetitions; ++round) {
        for (int32_t block : blockSizes) {
            for (size_t i = 0; i < variants.size(); ++i) {
                Variant& v = variants[(i + size_t(round)) % variants.size()];
                const std::optional<Run> run = runOnce(v, block, pattern);
                if (!run)
                    return 1;
                if (round > 0) {
                    v.rates[block].push_back(run->megabytesPerSecond);
                    v.cpu[block].push_back(run->receiverCpuSeconds);
                }
            }
        }
    }
    const QString loadAfter = loadAverage();

    std::printf("\nmedian MB/s, and the receiver's processor time per order (user + system)\n");
    std::printf("%-7s", "block");
    for (const Variant& v : variants)
        std::printf(" %19s", v.label);
    std::printf(" %13s %13s %9s%s\n", "shop/minimal", "shop/nice 5", "shop/raw",
                compare.isEmpty() ? "" : "  compared/minimal");
    for (int32_t block : blockSizes) {
        std::printf("%-7s", block == kSmallBlock ? "64 KiB" : "1 MiB");
        std::vector<double> m;
        for (Variant& v : variants) {
            m.push_back(median(v.rates[block]));
            std::printf(" %6.0f MB/s %5.0f ms", m.back(), 1000 * median(v.cpu[block]));
        }
        std::printf(" %13.2f %13.2f %9.2f", m[ShopSide] / m[Minimal], m[ShopSide] / m[MinimalNice],
                    m[ShopSide] / m[Raw]);
        if (!compare.isEmpty())
            std::printf("  %16.2f", m[ShopSide + 1] / m[Minimal]);
        std::printf("\n");
    }
    std::printf("goal: shop/minimal >= 1.00\n");
    std::printf("load average before %s, after %s\n", qPrintable(loadBefore),
                qPrintable(loadAfter));
    return 0;
}

// Peak resident memory of a receiver process around one big picture.
struct Peak {
    long beforeKb = -1;
    long afterKb = -1;
};

std::optional<Peak> peakAroundBigPicture(Receiver& receiver, const QString& ordersRoot,
                                         const Pattern& pattern) {
    if (!receiver.start())
        return std::nullopt;
    OrderPlan plan;
    plan.number = "BENCH-BIG";
    plan.folder = QDir(ordersRoot).filePath("BENCH-BIG").toStdString();
    plan.pictures = 1;
    plan.pictureSize = kBigPictureSize;
    plan.blockSize = kSmallBlock;
    Peak peak;
    peak.beforeKb = statusKilobytes(receiver.pid(), "VmHWM:");
    const bool sent = sendOrder(receiver.port(), plan, pattern);
    const QString outcome = receiver.nextLine(kOrderEndWaitMs);
    peak.afterKb = statusKilobytes(receiver.pid(), "VmHWM:");
    const bool stored = storedAsSent(ordersRoot, plan, pattern);
    receiver.stop();
    if (!sent || (outcome != "done" && outcome != "completed") || !stored) {
        std::fprintf(stderr, "the 1 GiB order failed (sent %d, receiver said \"%s\", stored %d)\n",
                     sent, qPrintable(outcome), stored);
        return std::nullopt;
    }
    return peak;
}

int memory(const QString& dir, const Pattern& pattern) {
    const qint64 needed = qint64(kBigPictureSize) + (qint64(256) << 20);
    if (QStorageInfo(dir).bytesAvailable() < needed) {
        std::printf("peak memory: skipped, fewer than %lld MB free in the data folder\n",
                    needed >> 20);
        return 0;
    }
    const QString minimalRoot = QDir(dir).filePath("minimal");
    const QString shopDir = QDir(dir).filePath("shop-memory");
    QDir(dir).mkpath("minimal");
    Receiver minimal(
        QDir(QCoreApplication::applicationDirPath()).filePath("bench_minimal_receiver"),
        {minimalRoot});
    Receiver shop(QCoreApplication::applicationFilePath(), {"--shop", shopDir});
    const std::optional<Peak> shopPeak =
        peakAroundBigPicture(shop, QDir(shopDir).filePath("Orders"), pattern);
    const std::optional<Peak> minimalPeak = peakAroundBigPicture(minimal, minimalRoot, pattern);
    if (!shopPeak || !minimalPeak)
        return 1;
    auto mb = [](long kb) { return kb / 1024.0; };
    std::printf("\npeak resident memory (VmHWM), one 1 GiB picture in 64 KiB blocks:\n");
    std::printf("  shop       before the order %6.1f MB, after %6.1f MB, growth %6.1f MB "
                "(goal: under 64 MB)\n",
                mb(shopPeak->beforeKb), mb(shopPeak->afterKb),
                mb(shopPeak->afterKb - shopPeak->beforeKb));
    std::printf("  minimal C  before the order %6.1f MB, after %6.1f MB, growth %6.1f MB\n",
                mb(minimalPeak->beforeKb), mb(minimalPeak->afterKb),
                mb(minimalPeak->afterKb - minimalPeak->beforeKb));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == "--shop")
        return runShop(args[2]);

    QString base = QDir::tempPath();
    int repetitions = 5;
    QString compare;
    bool peakMemory = true;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == "--no-memory")
            peakMemory = false;
        else if (i + 1 < args.size() && args[i] == "--dir")
            base = args[++i];
        else if (i + 1 < args.size() && args[i] == "--repetitions")
            repetitions = std::max(1, args[++i].toInt());
        else if (i + 1 < args.size() && args[i] == "--compare")
            compare = QFileInfo(args[++i]).absoluteFilePath();
    }
    // Everything written goes below one temporary folder, removed at the end.
    QTemporaryDir dir(QDir(base).filePath("quillon-reception-XXXXXX"));
    if (!dir.isValid()) {
        std::fprintf(stderr, "cannot make a temporary folder in %s\n", qPrintable(base));
        return 1;
    }
    const QStorageInfo storage(dir.path());
    std::printf("files go to %s (%s)\n", qPrintable(dir.path()),
                storage.fileSystemType().constData());
    const Pattern pattern;
    if (int rc = throughput(dir.path(), repetitions, pattern, compare))
        return rc;
    return peakMemory ? memory(dir.path(), pattern) : 0;
}
