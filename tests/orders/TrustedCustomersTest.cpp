#include "orders/TrustedCustomers.h"

#include "support/FileSizeLimit.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quillon;

namespace {

struct TrustFile {
    QTemporaryDir dir;
    std::string path() const { return dir.filePath("TRUST.TXT").toStdString(); }
    bool write(const QByteArray& bytes) const {
        return testsupport::writeFile(QString::fromStdString(path()), bytes);
    }
    QByteArray read() const { return testsupport::readFile(QString::fromStdString(path())); }
};

std::vector<std::string> emails(const TrustedCustomers& list) {
    std::vector<std::string> result;
    for (const TrustedCustomer& c : list.customers())
        result.push_back(c.email);
    return result;
}

TrustedCustomers loaded(const QByteArray& content) {
    TrustFile file;
    file.write(content);
    TrustedCustomers list;
    list.load(file.path());
    return list;
}

} // namespace

TEST(TrustedCustomers, SplitsAtTheFirstFourSeparatorsAndSkipsShortLines) {
    TrustedCustomers list = loaded("ann@x.org;Ann;Lee;555;Main St; Unit 4\r\n"
                                   "three@x.org;only;three\r\n"
                                   "empty@x.org;;;;\n"
                                   "last@x.org;L;M;1;no line end  \t");
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list.at(0), (TrustedCustomer{"ann@x.org", "Ann", "Lee", "555", "Main St; Unit 4"}));
    EXPECT_EQ(list.at(1), (TrustedCustomer{"empty@x.org", "", "", "", ""}));
    EXPECT_EQ(list.at(2), (TrustedCustomer{"last@x.org", "L", "M", "1", "no line end"}));
}

TEST(TrustedCustomers, BlankMissingAndOverlongInputGiveNoEntries) {
    TrustedCustomers missing;
    missing.load("/nonexistent/folder/TRUST.TXT");
    EXPECT_TRUE(loaded("").empty() && loaded("\r\n   \n\t\r\n\n").empty() && missing.empty());

    // A line over the line buffer is dropped whole, not split into pieces.
    const QByteArray longLine = "long@x.org;A;B;C;" + QByteArray(1100, 'x') + "\r\n";
    TrustedCustomers list = loaded(longLine + "ok@x.org;A;B;C;" + QByteArray(1006, 'y') + "\n");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.at(0).address.size(), 1006u);
}

TEST(TrustedCustomers, SortsWithoutRegardToCaseButLooksUpExactly) {
    EXPECT_EQ(emails(loaded("Bob;1;;;\nalice;2;;;\n")), (std::vector<std::string>{"alice", "Bob"}));

    // An equal key lands after the existing equal ones, except that one
    // equal to the last entry's key lands just before it.
    TrustedCustomers list = loaded("a;1;;;\nc;1;;;\nd;1;;;\nC;2;;;\nA;2;;;\nd;2;;;\n");
    std::vector<std::string> firstNames;
    for (const TrustedCustomer& c : list.customers())
        firstNames.push_back(c.email + c.firstName);
    EXPECT_EQ(firstNames, (std::vector<std::string>{"a1", "A2", "c1", "C2", "d2", "d1"}));

    // The lookup is exact, and the later of equal entries wins ("d1").
    EXPECT_EQ(list.isTrusted("d "), nullptr);
    for (auto [email, first] : {std::pair{"a", "1"}, {"A", "2"}, {"d", "1"}}) {
        ASSERT_NE(list.isTrusted(email), nullptr) << email;
        EXPECT_EQ(list.isTrusted(email)->firstName, first) << email;
    }
    // That the lookup follows adds, edits and removals is the trusted
    // customer dialog's test; one past the end removes nothing.
    EXPECT_FALSE(list.remove(6));
    EXPECT_EQ(list.size(), 6u);
}

TEST(TrustedCustomers, RefusesEntriesThatWouldNotReadBackTheSame) {
    TrustedCustomers list;
    ASSERT_EQ(list.add({"b@x.org", "B", "C", "1", "Main St; Unit 4"}), TrustedEditResult::Done);
    EXPECT_EQ(list.add({"a;b@x.org", "", "", "", ""}), TrustedEditResult::SemicolonInField);
    EXPECT_EQ(list.add({"a@x.org", "", "", "", "one\ntwo"}),
              TrustedEditResult::ControlCharacterInField);
    EXPECT_EQ(list.add({"a@x.org", "", "", "", std::string(1100, 'x')}),
              TrustedEditResult::LineTooLong);
    EXPECT_EQ(list.edit(0, {"b@x.org", "", "Le;e", "", ""}), TrustedEditResult::SemicolonInField);
    EXPECT_EQ(list.edit(1, {"c@x.org", "", "", "", ""}), TrustedEditResult::NoSuchEntry);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.at(0).lastName, "C");
}

TEST(TrustedCustomers, SavesCrLfLinesThatLoadBackAlike) {
    TrustedCustomers list;
    list.add({"Bob@x.org", "Bob", "Ray", "555-1", "Main St; Unit 4"});
    list.add({"alice@x.org", "Alice", "", "", ""});
    TrustFile file;
    ASSERT_TRUE(list.save(file.path()));
    EXPECT_EQ(file.read(), "alice@x.org;Alice;;;\r\nBob@x.org;Bob;Ray;555-1;Main St; Unit 4\r\n");

    TrustedCustomers again;
    again.load(file.path());
    EXPECT_EQ(again.customers(), list.customers());
}

TEST(TrustedCustomers, FailedSaveLeavesTheOldFileWhole) {
    TrustFile file;
    const QByteArray old = "old@x.org;O;L;1;Address\r\n";
    ASSERT_TRUE(file.write(old));
    TrustedCustomers list;
    for (int i = 0; i < 10; ++i)
        list.add({"new" + std::to_string(i) + "@x.org", "First", "Last", "555", "Street 1"});

    {
        testsupport::FileSizeLimit limit(64);
        ASSERT_TRUE(limit.active());
        EXPECT_FALSE(list.save(file.path()));
    }
    EXPECT_EQ(file.read(), old);
    EXPECT_EQ(QDir(file.dir.path()).entryList(QDir::Files), QStringList({"TRUST.TXT"}));
}
