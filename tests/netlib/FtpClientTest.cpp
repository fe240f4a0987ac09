#include "netlib/FtpClient.h"
#include "netlib/Socket.h"

#include "support/PythonServer.h"
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
const std::string kContent("central.example;1\r\nline\n\xE9\xFC\0end", 30);

class FtpClientTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(writeFile(m_dir.filePath("initinfo.txt"),
                              QByteArray(kContent.data(), qsizetype(kContent.size()))));
        ASSERT_TRUE(m_server.isRunning()) << m_server.errorOutput().toStdString();
    }

    void configure(const QString& address, const std::string& password = kPassword) {
        m_client.SetHostname(address.toStdString());
        m_client.SetUsername(kUser);
        m_client.SetPassword(password);
        m_client.SetConnectTimeout(5);
    }

    QTemporaryDir m_dir;
    FtpTestServer m_server{m_dir.path(), kUser, kPassword};
    FtpClient m_client;
};

} // namespace

TEST_F(FtpClientTest, ReadsWholeFilesInPassiveAndActiveMode) {
    for (bool passive : {true, false}) {
        SCOPED_TRACE(passive ? "passive" : "active");
        configure(m_server.address());
        m_client.SetPassive(passive);
        ASSERT_TRUE(m_client.Connect()) << m_client.LastErrorText();
        std::string text = "stale";
        ASSERT_TRUE(m_client.GetRemoteFileTextData("initinfo.txt", text))
            << m_client.LastErrorText();
        EXPECT_EQ(text, kContent);
        // A missing file fails without losing the connection.
        EXPECT_FALSE(m_client.GetRemoteFileTextData("missing.txt", text) || !text.empty());
        EXPECT_TRUE(m_client.GetRemoteFileTextData("initinfo.txt", text));
        m_client.Disconnect();
        EXPECT_FALSE(m_client.GetRemoteFileTextData("initinfo.txt", text));
    }
}

TEST_F(FtpClientTest, RefusesOddHostsAndNamesAndOversizedFiles) {
    for (const char* host : {"", "user@127.0.0.1", "127.0.0.1/x", "127.0.0.1\r\n", "a b"}) {
        configure(host);
        EXPECT_FALSE(m_client.Connect()) << host;
    }
    configure(m_server.address());
    ASSERT_TRUE(m_client.Connect()) << m_client.LastErrorText();
    std::string text;
    for (const char* name : {"", "..", "../initinfo.txt", "sub/initinfo.txt", "a\r\nDELE b"})
        EXPECT_FALSE(m_client.GetRemoteFileTextData(name, text)) << name;
    m_client.SetMaxFileSize(kContent.size() - 1);
    EXPECT_FALSE(m_client.GetRemoteFileTextData("initinfo.txt", text));
    m_client.SetMaxFileSize(kContent.size());
    EXPECT_TRUE(m_client.GetRemoteFileTextData("initinfo.txt", text));
}

// Refused logins and servers that are down are the start-up accounts' test.
TEST_F(FtpClientTest, SilentServersFailWithinTheConnectTimeout) {
    Socket silent; // takes the connection, never greets
    ASSERT_TRUE(silent.BindAndListen(0, 5, "127.0.0.1"));
    configure(QString("127.0.0.1:%1").arg(silent.LocalPort()));
    m_client.SetConnectTimeout(1);
    auto start = steady_clock::now();
    EXPECT_FALSE(m_client.Connect());
    EXPECT_LT(steady_clock::now() - start, seconds(10)) << "the connect time-out was not used";
}
