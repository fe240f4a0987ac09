#include "netlib/FtpClient.h"
#include "netlib/Socket.h"

#include "support/FtpTestServer.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>

using namespace quillon;
using namespace testsupport;
using namespace std::chrono;

namespace {

const char* const kUser = "shop@velorin.test";
const char* const kPassword = "pass;word,1";

// CRLF, a lone LF, Latin-1 bytes and a NUL must all arrive unchanged.
const std::string kContent =
    std::string("central.example;1\r\nsecond line\n\xE9\xFC", 33) + std::string(1, '\0') + "end";

class FtpClientTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(writeFile(m_dir.filePath("initinfo.txt"),
                              QByteArray(kContent.data(), qsizetype(kContent.size()))));
    }

    void configure(FtpClient& client, const QString& address, const std::string& password) {
        client.SetHostname(address.toStdString());
        client.SetUsername(kUser);
        client.SetPassword(password);
        client.SetConnectTimeout(5);
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(FtpClientTest, ReadsAFileWholeInPassiveAndActiveMode) {
    FtpTestServer server(m_dir.path(), kUser, kPassword);
    ASSERT_TRUE(server.isRunning()) << server.errorOutput().toStdString();

    for (bool passive : {true, false}) {
        SCOPED_TRACE(passive ? "passive" : "active");
        FtpClient client;
        configure(client, server.address(), kPassword);
        client.SetPassive(passive);
        ASSERT_TRUE(client.Connect()) << client.LastErrorText();
        EXPECT_TRUE(client.IsConnected());
        std::string text = "stale";
        ASSERT_TRUE(client.GetRemoteFileTextData("initinfo.txt", text)) << client.LastErrorText();
        EXPECT_EQ(text, kContent);

        // A missing file fails without losing the connection.
        EXPECT_FALSE(client.GetRemoteFileTextData("missing.txt", text));
        EXPECT_TRUE(text.empty());
        EXPECT_FALSE(client.LastErrorText().empty());
        EXPECT_TRUE(client.GetRemoteFileTextData("initinfo.txt", text));
        EXPECT_EQ(text, kContent);

        client.Disconnect();
        EXPECT_FALSE(client.IsConnected());
        EXPECT_FALSE(client.GetRemoteFileTextData("initinfo.txt", text));
    }
}

TEST_F(FtpClientTest, RefusedLoginsFail) {
    FtpTestServer server(m_dir.path(), kUser, kPassword);
    ASSERT_TRUE(server.isRunning()) << server.errorOutput().toStdString();
    FtpClient client;
    configure(client, server.address(), "wrong");
    EXPECT_FALSE(client.Connect());
    EXPECT_FALSE(client.IsConnected());
    EXPECT_FALSE(client.LastErrorText().empty());
    std::string text;
    EXPECT_FALSE(client.GetRemoteFileTextData("initinfo.txt", text));

    FtpTestServer closed(m_dir.path(), kUser, kPassword, true);
    ASSERT_TRUE(closed.isRunning()) << closed.errorOutput().toStdString();
    configure(client, closed.address(), kPassword);
    EXPECT_FALSE(client.Connect());
}

TEST_F(FtpClientTest, ReadsOnlyPlainNamesAndBoundedSizes) {
    FtpTestServer server(m_dir.path(), kUser, kPassword);
    ASSERT_TRUE(server.isRunning()) << server.errorOutput().toStdString();
    FtpClient client;
    configure(client, server.address(), kPassword);
    ASSERT_TRUE(client.Connect()) << client.LastErrorText();
    std::string text;
    for (const char* name : {"", ".", "..", "../initinfo.txt", "sub/initinfo.txt",
                             "initinfo.txt\r\nDELE initinfo.txt"})
        EXPECT_FALSE(client.GetRemoteFileTextData(name, text)) << name;

    client.SetMaxFileSize(kContent.size() - 1);
    EXPECT_FALSE(client.GetRemoteFileTextData("initinfo.txt", text));
    EXPECT_TRUE(text.empty());
    client.SetMaxFileSize(kContent.size());
    EXPECT_TRUE(client.GetRemoteFileTextData("initinfo.txt", text)) << client.LastErrorText();
}

TEST_F(FtpClientTest, HostsThatWouldChangeTheRequestAreRefused) {
    FtpClient client;
    for (const char* host :
         {"", "user@127.0.0.1", "127.0.0.1/other", "127.0.0.1?x", "127.0.0.1\r\n", "two words"}) {
        client.SetHostname(host);
        EXPECT_FALSE(client.Connect()) << host;
        EXPECT_FALSE(client.LastErrorText().empty());
    }
}

TEST_F(FtpClientTest, UnreachableOrSilentServersFailWithinTheConnectTimeout) {
    FtpClient client;
    configure(client, QString("127.0.0.1:%1").arg(closedLocalPort()), kPassword);
    auto start = steady_clock::now();
    EXPECT_FALSE(client.Connect());
    EXPECT_LT(steady_clock::now() - start, seconds(3));

    // A server that takes the connection but never greets.
    Socket silent;
    ASSERT_TRUE(silent.BindAndListen(0, 5, "127.0.0.1"));
    configure(client, QString("127.0.0.1:%1").arg(silent.LocalPort()), kPassword);
    client.SetConnectTimeout(1);
    start = steady_clock::now();
    EXPECT_FALSE(client.Connect());
    auto took = steady_clock::now() - start;
    EXPECT_GE(took, milliseconds(900));
    EXPECT_LT(took, seconds(4));
}
